#pragma once
// One INI file reached by section and key, every call going to the file by
// itself (nothing cached). On Windows the system profile functions read it;
// the portable IniFile gives the same visible behaviour elsewhere.
#include <span>
#include <string>

#include "base/Error.h"

namespace vesko {

// One key's new value.
struct ProfileEdit {
    std::string section;
    std::string key;
    std::string value;
};

class ProfileFile {
public:
    virtual ~ProfileFile() = default;
    // The value cut to kMaxValueLength characters, or defaultValue when the
    // file, section or key is missing.
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) = 0;
    // The edits as successive profile writes would leave the file, put in
    // place in one step; false when the file could not be written, which then
    // holds none of them (read-only file or folder, a full disk).
    virtual bool WriteStrings(std::span<const ProfileEdit> edits) = 0;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value) {
        const ProfileEdit edit{section, key, value};
        return WriteStrings({&edit, 1});
    }
    virtual const std::string& Path() const = 0;

    static constexpr std::size_t kMaxValueLength = 2047;
};

// "%s に書き込めません" with the path in place of the placeholder.
class SettingsWriteError : public AppError {
public:
    explicit SettingsWriteError(const std::string& path);
};

}  // namespace vesko
