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
    const bool written =
        bytes.empty() ||
        (WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size());
    // On the disk before it replaces the file: a power call may follow at once.
    return written && FlushFileBuffers(file.Get());
}

// A file another program holds open for a moment (a reader, a virus scanner,
// an indexer) cannot be replaced: the move is tried again for half a second
// before the write counts as refused.
bool WinReplaceFileOperations::Replace(const std::string& source, const std::string& target) {
    const std::wstring from = Widen(source), to = Widen(target);
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        const DWORD error = GetLastError();
        if (attempt >= 10 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) return false;
        Sleep(50);
    }
}

}  // namespace vesko
