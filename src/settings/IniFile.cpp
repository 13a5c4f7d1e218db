#include "settings/IniFile.h"

#include <cstdio>

#include "base/Text.h"

namespace vesko {
namespace {

// Blanks as the profile functions see them, including ^Z (an old DOS end of
// file) and the ideographic space.
bool IsProfileSpaceAt(const std::string& s, std::size_t i, std::size_t* width) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x1a) {
        *width = 1;
        return true;
    }
    if (c == 0xE3 && i + 2 < s.size() + 0 && static_cast<unsigned char>(s[i + 1]) == 0x80 &&
        static_cast<unsigned char>(s[i + 2]) == 0x80) {  // U+3000
        *width = 3;
        return true;
    }
    return false;
}

std::string TrimLeft(const std::string& s) {
    std::size_t i = 0, w = 0;
    while (i < s.size() && IsProfileSpaceAt(s, i, &w)) i += w;
    return s.substr(i);
}

std::string TrimRight(const std::string& s) {
    // Walk forward to find the end of the last non-blank character, so that a
    // multi-byte blank is recognised as a whole.
    std::size_t i = 0, end = 0, w = 0;
    while (i < s.size()) {
        if (IsProfileSpaceAt(s, i, &w)) {
            i += w;
        } else {
            i += Utf8SequenceLength(static_cast<unsigned char>(s[i]));
            end = i < s.size() ? i : s.size();
        }
    }
    return s.substr(0, end);
}

std::string Trim(const std::string& s) { return TrimRight(TrimLeft(s)); }

}  // namespace

IniDocument IniDocument::Parse(const std::string& text) {
    IniDocument doc;
    doc.sections_.push_back(Section{});
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::size_t next = nl == std::string::npos ? text.size() : nl + 1;
        std::string line = Trim(text.substr(pos, next - pos));
        pos = next;
        if (line.empty()) continue;
        if (line[0] == '[') {
            std::size_t close = line.rfind(']');
            if (close != std::string::npos) {
                doc.sections_.push_back(Section{line.substr(1, close - 1), {}});
                continue;
            }
        }
        Entry e;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            e.name = line;
        } else {
            e.name = TrimRight(line.substr(0, eq));
            e.value = TrimLeft(line.substr(eq + 1));
        }
        doc.sections_.back().entries.push_back(std::move(e));
    }
    return doc;
}

std::string IniDocument::Serialize() const {
    std::string out;
    for (const Section& s : sections_) {
        if (!s.name.empty()) out += "[" + s.name + "]\r\n";
        for (const Entry& e : s.entries) {
            out += e.name;
            if (e.value) out += "=" + *e.value;
            out += "\r\n";
        }
    }
    return out;
}

std::optional<std::string> IniDocument::Find(const std::string& section, const std::string& key) const {
    const std::string sec = Trim(section), k = Trim(key);
    for (const Section& s : sections_) {
        if (s.name.empty() || !EqualsIgnoreCase(s.name, sec)) continue;
        // Only the first section of that name counts, as with the system.
        for (const Entry& e : s.entries)
            if (EqualsIgnoreCase(e.name, k)) return e.value;
        return std::nullopt;
    }
    return std::nullopt;
}

bool IniDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
    const std::string sec = Trim(section), k = Trim(key);
    const std::string v = TrimLeft(value);
    for (Section& s : sections_) {
        if (s.name.empty() || !EqualsIgnoreCase(s.name, sec)) continue;
        for (Entry& e : s.entries) {
            if (!EqualsIgnoreCase(e.name, k)) continue;
            if (e.value == v) return false;
            e.value = v;
            return true;
        }
        s.entries.push_back(Entry{TrimLeft(key), v});
        return true;
    }
    sections_.push_back(Section{TrimLeft(section), {Entry{TrimLeft(key), v}}});
    return true;
}

std::optional<std::string> EditProfileText(const std::string& text, std::span<const ProfileEdit> edits) {
    IniDocument doc = IniDocument::Parse(text);
    bool changed = false;
    for (const ProfileEdit& e : edits) changed = doc.Set(e.section, e.key, e.value) || changed;
    if (!changed) return std::nullopt;
    return doc.Serialize();
}

TextFileAccess TextFileAccess::Plain() {
    // C streams rather than iostreams: the resident program then carries no
    // locale machinery it never uses.
    TextFileAccess a;
    a.read = [](const std::string& path) -> std::optional<std::string> {
        std::FILE* in = std::fopen(path.c_str(), "rb");
        if (!in) return std::nullopt;
        std::string bytes;
        char buf[4096];
        std::size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, in)) > 0) bytes.append(buf, got);
        const bool failed = std::ferror(in) != 0;
        std::fclose(in);
        if (failed) return std::nullopt;
        return bytes;
    };
    a.write = [](const std::string& path, const std::string& bytes) {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (!out) return false;
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
        return std::fclose(out) == 0 && written;
    };
    a.toUtf8 = [](const std::string& s) { return s; };
    a.fromUtf8 = [](const std::string& s) { return s; };
    return a;
}

IniFile::IniFile(std::string path, TextFileAccess access) : path_(std::move(path)), access_(std::move(access)) {}

IniDocument IniFile::Load() const {
    std::optional<std::string> bytes = access_.read(path_);
    return bytes ? IniDocument::Parse(access_.toUtf8(*bytes)) : IniDocument::Parse("");
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) {
    std::optional<std::string> stored = Load().Find(section, key);
    return ProfileValueForRead(stored ? *stored : defaultValue);
}

bool IniFile::WriteStrings(std::span<const ProfileEdit> edits) {
    std::optional<std::string> bytes = access_.read(path_);
    std::optional<std::string> edited = EditProfileText(bytes ? access_.toUtf8(*bytes) : "", edits);
    return !edited || access_.write(path_, access_.fromUtf8(*edited));
}

std::string ProfileValueForRead(const std::string& stored) {
    std::string v = Trim(stored);
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    return CutToUtf16Units(v, ProfileFile::kMaxValueLength);
}

SettingsWriteError::SettingsWriteError(const std::string& path) : AppError(path + " に書き込めません") {}

}  // namespace vesko
