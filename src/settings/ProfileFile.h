#pragma once
// One INI file reached by section and key, every call going to the file by
// itself (nothing cached). On Windows the system profile functions do it; the
// portable IniFile gives the same visible behaviour elsewhere.
#include <string>

#include "base/Error.h"

namespace vesko {

class ProfileFile {
public:
    virtual ~ProfileFile() = default;
    // The value cut to kMaxValueLength characters, or defaultValue when the
    // file, section or key is missing.
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) = 0;
    // False when the system refused the write (read-only file or folder).
    virtual bool WriteString(const std::string& section, const std::string& key, const std::string& value) = 0;
    virtual const std::string& Path() const = 0;

    static constexpr std::size_t kMaxValueLength = 2047;
};

// "%s に書き込めません" with the path in place of the placeholder.
class SettingsWriteError : public AppError {
public:
    explicit SettingsWriteError(const std::string& path);
};

}  // namespace vesko
