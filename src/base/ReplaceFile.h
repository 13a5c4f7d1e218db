#pragma once
// Replacing a whole file through a temporary one beside it, so that a process
// ending mid-write never leaves half a file, and never through a link planted
// under the temporary file's name.
#include <string>

namespace vesko {

// The file operations a replacement needs.
class ReplaceFileOperations {
public:
    virtual ~ReplaceFileOperations() = default;
    // Removes the name itself (a link, not what it points at); nothing there is no failure.
    virtual void Remove(const std::string& path) = 0;
    // Creates path anew with the bytes, flushed to the disk; false when the
    // name is taken (even by a dangling link) or the write fails.
    virtual bool WriteNew(const std::string& path, const std::string& bytes) = 0;
    // Puts source in place of target in one step; false on failure.
    virtual bool Replace(const std::string& source, const std::string& target) = 0;
};

// The temporary file of path: path + ".tmp".
std::string TemporaryPathOf(const std::string& path);

// The bytes go to the temporary file, created new after a stale one is
// removed, which then takes path's place. On any failure the temporary file
// is removed, path is untouched, and the answer is false.
bool ReplaceThroughTemporary(ReplaceFileOperations& files, const std::string& path, const std::string& bytes);

}  // namespace vesko
