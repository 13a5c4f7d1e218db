#include "log/EventLog.h"

#include <cstdio>

namespace vesko {

std::string JapaneseLocaleFormats::ShortDate(const DateTimeParts& p) const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", p.year, p.month, p.day);
    return buf;
}

std::string JapaneseLocaleFormats::LongTime(const DateTimeParts& p) const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d", p.hour, p.minute, p.second);
    return buf;
}

std::string LogTimestamp(DateTime t, const LocaleFormats& formats) {
    DateTimeParts p = DecodeDateTime(t);
    std::string text = formats.ShortDate(p);
    if (p.hour != 0 || p.minute != 0 || p.second != 0) text += " " + formats.LongTime(p);
    return text;
}

std::string LogLine(DateTime t, const std::string& message, const LocaleFormats& formats) {
    return LogTimestamp(t, formats) + " " + message;
}

std::vector<std::string> SplitLogLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0, i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(bytes.substr(start, i - start));
            i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

FileOpenError::FileOpenError(const std::string& path) : AppError("ファイル " + path + " は開けません") {}
FileCreateError::FileCreateError(const std::string& path) : AppError("ファイル " + path + " を作成できません") {}

void AppendLogLine(LogFileSystem& fs, const std::string& path, const std::string& lineUtf8) {
    bool readOk = true;
    std::optional<std::string> old = fs.Read(path, readOk);
    if (!readOk) throw FileOpenError(path);
    // A read-only log refuses the entry, as rewriting it in place would.
    if (old && fs.IsReadOnly(path)) throw FileCreateError(path);

    std::string content;
    if (old) {
        // Old bytes stay as they were apart from line ends; ANSI double-byte
        // characters never contain CR or LF, so splitting bytes is safe.
        for (const std::string& line : SplitLogLines(*old)) content += line + "\r\n";
    }
    content += fs.ToFileText(lineUtf8) + "\r\n";

    if (!ReplaceThroughTemporary(fs, path, content)) throw FileCreateError(path);
}

std::string StartLogMessage(const std::vector<std::string>& args) {
    static const char* const kSwitches[] = {"/e", "/h", "/v", "/c"};
    std::string record;
    bool byWindows = false;
    for (const std::string& a : args) {
        for (const char* s : kSwitches) {
            if (a == s) {
                record += "\"" + a + "\"";
                if (a == "/e") byWindows = true;
            }
        }
    }
    if (byWindows) return "Windowsが起動し引数" + record + "でケルダン!を起動しました";
    if (record.empty()) return "ケルダン!を起動しました";
    return "引数" + record + "でケルダン!を起動しました";
}

}  // namespace vesko
