#include "base/ReplaceFile.h"

namespace vesko {

std::string TemporaryPathOf(const std::string& path) { return path + ".tmp"; }

bool ReplaceThroughTemporary(ReplaceFileOperations& files, const std::string& path, const std::string& bytes) {
    const std::string temporary = TemporaryPathOf(path);
    // A name left over (or planted) would make the creation fail, or, opened
    // as it is, carry the write to wherever it points.
    files.Remove(temporary);
    if (!files.WriteNew(temporary, bytes) || !files.Replace(temporary, path)) {
        files.Remove(temporary);
        return false;
    }
    return true;
}

}  // namespace vesko
