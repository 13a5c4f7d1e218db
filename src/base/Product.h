#pragma once
// The product's name as the user sees it: captions, message boxes, the tray
// tip and the default window title.
namespace vesko {

inline constexpr const char* kProductName = "ケルダン！";

}  // namespace vesko
