#pragma once
// A file's version resource, read through version.dll loaded for the read:
// version.dll is no library Windows protects by name, so it is never imported.
#include <windows.h>

#include <string>
#include <vector>

#include "base/ScopedWin.h"

namespace vesko {

class FileVersionInfo {
public:
    explicit FileVersionInfo(const std::wstring& path);
    bool Read() const { return !block_.empty(); }
    // VerQueryValueW on the resource; false when the value is absent or unread.
    bool Query(const wchar_t* subBlock, void** value, UINT* length) const;

private:
    ScopedLibrary version_;
    std::vector<BYTE> block_;
};

}  // namespace vesko
