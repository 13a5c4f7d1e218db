#pragma once
// The Windows side of a replacement through a temporary file.
#include "base/ReplaceFile.h"

namespace vesko {

class WinReplaceFileOperations : public ReplaceFileOperations {
public:
    void Remove(const std::string& path) override;
    bool WriteNew(const std::string& path, const std::string& bytes) override;
    bool Replace(const std::string& source, const std::string& target) override;
};

}  // namespace vesko
