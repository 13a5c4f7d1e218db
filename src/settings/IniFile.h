#pragma once
// A profile file's text edited like the system's profile functions edit it:
// names match without regard to case, an existing entry is updated in place,
// a new key goes to the end of its section and a new section to the end of
// the file, and a rewritten file has CR LF line ends. Like the system, a
// write that changes nothing leaves the file untouched, and a rewrite drops
// blank lines and the blanks around "=". Comments, hand-added keys and
// sections stay where they stood.
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "settings/ProfileFile.h"

namespace vesko {

// The parsed form of a profile file's text (UTF-8).
class IniDocument {
public:
    static IniDocument Parse(const std::string& text);
    std::string Serialize() const;

    // Raw stored value of the first matching key of the first matching section.
    std::optional<std::string> Find(const std::string& section, const std::string& key) const;
    // Returns true when the document changed.
    bool Set(const std::string& section, const std::string& key, const std::string& value);

private:
    struct Entry {
        std::string name;
        std::optional<std::string> value;  // none: a line without "="
    };
    struct Section {
        std::string name;  // empty: the lines before the first section
        std::vector<Entry> entries;
    };
    std::vector<Section> sections_;
};

// The text (UTF-8) after the edits, applied in their order as successive
// profile writes would apply them; nullopt when none of them changes it.
std::optional<std::string> EditProfileText(const std::string& text, std::span<const ProfileEdit> edits);

// File access of the portable profile file; replaced in tests.
struct TextFileAccess {
    // nullopt when the file does not exist.
    std::function<std::optional<std::string>(const std::string& path)> read;
    std::function<bool(const std::string& path, const std::string& bytes)> write;
    // Conversion between the file's code page and UTF-8 (identity by default).
    std::function<std::string(const std::string&)> toUtf8;
    std::function<std::string(const std::string&)> fromUtf8;
    static TextFileAccess Plain();
};

class IniFile : public ProfileFile {
public:
    explicit IniFile(std::string path, TextFileAccess access = TextFileAccess::Plain());
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    bool WriteStrings(std::span<const ProfileEdit> edits) override;
    const std::string& Path() const override { return path_; }

private:
    IniDocument Load() const;
    std::string path_;
    TextFileAccess access_;
};

// The value as a profile read returns it: surrounding blanks dropped, one pair
// of matching quotes removed, cut to the maximum length.
std::string ProfileValueForRead(const std::string& stored);

}  // namespace vesko
