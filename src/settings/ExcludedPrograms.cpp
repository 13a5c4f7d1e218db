#include "settings/ExcludedPrograms.h"

#include <algorithm>

#include "log/EventLog.h"

namespace vesko {

// ---- The list file -------------------------------------------------------

std::vector<std::string> ParseExcludedProgramList(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string FormatExcludedProgramList(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries) {
        text += entry;
        text += "\r\n";
    }
    return text;
}

std::optional<std::vector<std::string>> LoadExcludedProgramList(ExcludedListFile& file) {
    if (!file.Exists()) return std::nullopt;
    std::optional<std::string> text = file.Read();
    if (!text) throw FileOpenError(file.Path());
    return ParseExcludedProgramList(*text);
}

void SaveExcludedProgramList(ExcludedListFile& file, const std::vector<std::string>& entries) {
    if (!file.Write(FormatExcludedProgramList(entries))) throw FileCreateError(file.Path());
}

std::vector<std::string> TakeFirstTickEntries(bool& FirstTick, ExcludedListFile& file) {
    if (!FirstTick) return {};
    std::optional<std::vector<std::string>> entries = LoadExcludedProgramList(file);
    FirstTick = false;
    return entries ? std::move(*entries) : std::vector<std::string>{};
}

// ---- Editing the live list ------------------------------------------------

void ReloadExcludedPrograms(std::vector<std::string>& live, ExcludedListFile& file) {
    std::optional<std::vector<std::string>> entries = LoadExcludedProgramList(file);
    live = entries ? std::move(*entries) : std::vector<std::string>{};
}

std::optional<std::string> AddExcludedProgram(std::vector<std::string>& live, const std::string& path,
                                              ExcludedListFile& file) {
    if (!file.CanHold(path))
        return "ファイル名 " + path + " はこのシステムの文字コードで表せないため、一覧に追加できません";
    live.push_back(path);
    return std::nullopt;
}

bool RemoveExcludedProgram(std::vector<std::string>& live, std::size_t index) {
    if (index >= live.size()) return false;
    live.erase(live.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

// ---- Path keys ------------------------------------------------------------

namespace {

std::string TrimBlanks(const std::string& s) {
    std::size_t begin = 0, end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
    return s.substr(begin, end - begin);
}

char32_t UpperOf(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // Latin-1, not the division sign
    if (c == 0xFF) return 0x178;
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;  // Greek, final sigma has no capital
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;                // Cyrillic
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;  // full-width Latin
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Upper-cases the letters UpperOf knows; everything else, ill-formed bytes
// included, is copied unchanged.
std::string FoldCase(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    auto cont = [&](std::size_t i) { return i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80; };
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        char32_t c = 0;
        std::size_t len = 0;
        if (b < 0x80) {
            c = b;
            len = 1;
        } else if ((b & 0xE0) == 0xC0 && b >= 0xC2 && cont(i + 1)) {
            c = (char32_t{b} & 0x1F) << 6 | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
            len = 2;
        } else if ((b & 0xF0) == 0xE0 && cont(i + 1) && cont(i + 2)) {
            c = (char32_t{b} & 0x0F) << 12 | (char32_t{static_cast<unsigned char>(s[i + 1])} & 0x3F) << 6 |
                (static_cast<unsigned char>(s[i + 2]) & 0x3F);
            len = 3;
        }
        const char32_t upper = len ? UpperOf(c) : c;
        if (len && upper != c) {
            AppendUtf8(out, upper);
        } else {
            if (!len) len = 1;
            out.append(s, i, len);
        }
        i += len;
    }
    return out;
}

std::string FileNameOfKey(const std::string& key) {
    const std::size_t cut = key.find_last_of("\\:");
    return cut == std::string::npos ? key : key.substr(cut + 1);
}

// One pass of the key rules. A pass can uncover what an earlier rule would
// have taken (a trailing dot before a control character, three separators
// that leave a long-path prefix), so PathMatchKey repeats it.
std::string KeyPass(const std::string& path) {
    std::string p = TrimBlanks(path);
    std::replace(p.begin(), p.end(), '/', '\\');
    // The long-path prefixes name the same files as the plain forms.
    if (p.starts_with("\\\\?\\UNC\\")) {
        p = "\\\\" + p.substr(8);
    } else if (p.starts_with("\\\\?\\")) {
        p = p.substr(4);
    }

    std::string root;
    std::size_t pos = 0;
    if (p.starts_with("\\\\")) {
        root = "\\\\";
        pos = 2;
    } else if (p.size() >= 2 && p[1] == ':') {
        root = p.substr(0, 2);
        pos = 2;
        if (pos < p.size() && p[pos] == '\\') {
            root += '\\';
            ++pos;
        }
    } else if (p.starts_with("\\")) {
        root = "\\";
        pos = 1;
    }

    std::vector<std::string> names;
    while (pos <= p.size()) {
        std::size_t next = p.find('\\', pos);
        if (next == std::string::npos) next = p.size();
        std::string name = p.substr(pos, next - pos);
        if (name == "..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(std::move(name));
        }
        pos = next + 1;
    }
    if (!names.empty()) {
        std::string& last = names.back();
        while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
        if (last.empty()) names.pop_back();
    }

    std::string key = root;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) key += '\\';
        key += names[i];
    }
    return FoldCase(key);
}

}  // namespace

std::string PathMatchKey(const std::string& path) {
    // No pass makes the text longer, and a pass that changes nothing ends it;
    // the bound only guards against a cycle.
    std::string key = KeyPass(path);
    for (int pass = 0; pass < 16; ++pass) {
        std::string next = KeyPass(key);
        if (next == key) break;
        key = std::move(next);
    }
    return key;
}

// ---- The in-use test ----------------------------------------------------

namespace {

// The key of an executable's file name (a bare name or a full path, as the
// 9x snapshot gives): the last part of a path's key.
std::string NameKey(const std::string& name) {
    const std::size_t cut = name.find_last_of("\\/:");
    return FileNameOfKey(PathMatchKey("C:\\" + (cut == std::string::npos ? name : name.substr(cut + 1))));
}

}  // namespace

void ProgramsInUse::TakeList() {
    taken_ = true;
    std::optional<std::vector<RunningProcess>> processes = system_.ListProcesses();
    if (!processes) return;
    listed_ = true;
    processes_ = std::move(*processes);
    for (std::size_t i = 0; i < processes_.size(); ++i) {
        const RunningProcess& p = processes_[i];
        const std::string& named = TrimBlanks(p.ExeName).empty() ? p.ImagePath : p.ExeName;
        if (!TrimBlanks(named).empty()) byName_.emplace(NameKey(named), i);
    }
}

std::optional<bool> ProgramsInUse::IsNameRunning(const std::string& fileName) {
    const std::string name = TrimBlanks(fileName);
    if (name.empty()) return false;
    if (!taken_) TakeList();
    if (!listed_) return std::nullopt;
    return byName_.count(NameKey(name)) > 0;
}

bool ProgramsInUse::ExclusiveOpenTest(const std::string& path) const {
    return system_.FileExists(path) && system_.ExclusiveOpenFails(path);
}

bool ProgramsInUse::IsFileInUse(const std::string& path) {
    const std::string entry = TrimBlanks(path);
    if (entry.empty()) return false;
    if (!taken_) TakeList();
    if (!listed_) return ExclusiveOpenTest(entry);
    const std::string key = PathMatchKey(system_.FullPathName(entry));
    if (key.empty()) return false;
    // Only processes of the entry's file name can be it: their image paths
    // alone are asked for (opening every process each second is costly).
    bool untold = false;
    const auto [first, last] = byName_.equal_range(FileNameOfKey(key));
    for (auto it = first; it != last; ++it) {
        RunningProcess& p = processes_[it->second];
        if (TrimBlanks(p.ImagePath).empty()) p.ImagePath = system_.ImagePathOf(p.Id);
        if (TrimBlanks(p.ImagePath).empty()) untold = true;
        else if (PathMatchKey(p.ImagePath) == key) return true;
    }
    // A process of that name whose image the system would not name: only the
    // file itself can tell whether it is this one.
    return untold && ExclusiveOpenTest(entry);
}

}  // namespace vesko
