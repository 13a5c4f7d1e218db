#pragma once
// The items of the two pop-up menus in their order: the window's menu and the
// tray icon's menu. The window builds its menus from these lists.
#include <string>
#include <vector>

namespace vesko {

struct PopupMenuItem {
    int id = 0;           // 0: a separator
    std::string name;     // the item's name ("restore1"), empty for a separator
    std::string caption;  // with "&" before the accelerator letter
    bool IsSeparator() const { return id == 0; }
};

// The window's menu ("常に手前に表示", help, About, exit).
const std::vector<PopupMenuItem>& PopupMenu1Items();
// The tray icon's menu: restore, the function switch, the eleven power
// commands, help, About, exit, and a separator at the very end.
const std::vector<PopupMenuItem>& PopupMenu2Items();

// The accelerator letter of a caption (the character after a single "&"),
// upper-cased; 0 when the caption has none.
char AcceleratorOf(const std::string& caption);

}  // namespace vesko
