#include <windows.h>

#include "base/ReplaceFile_win.h"
#include "base/ScopedWin.h"
#include "base/WinText_win.h"

namespace vesko {

// DeleteFile takes a link away itself, never its target.
void WinReplaceFileOperations::Remove(const std::string& path) { DeleteFileW(Widen(path).c_str()); }

bool WinReplaceFileOperations::WriteNew(const std::string& path, const std::string& bytes) {
    // CREATE_NEW refuses any name already there, a link included.
    const ScopedHandle file(
        CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD put = 0;
    const bool written = bytes.empty() || (WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                                     &put, nullptr) && put == bytes.size());
    // On the disk before it replaces the file: a power call may follow at once.
    return written && FlushFileBuffers(file.Get());
}

bool WinReplaceFileOperations::Replace(const std::string& source, const std::string& target) {
    return MoveFileExW(Widen(source).c_str(), Widen(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace vesko
