#pragma once
// Windows bindings of the event log: the file operations and the user's formats.
#include "base/ReplaceFile_win.h"
#include "log/EventLog.h"

namespace vesko {

class WinLogFileSystem : public LogFileSystem {
public:
    std::optional<std::string> Read(const std::string& path, bool& ok) override;
    bool IsReadOnly(const std::string& path) override;
    bool WriteNew(const std::string& path, const std::string& bytes) override { return files_.WriteNew(path, bytes); }
    bool Replace(const std::string& source, const std::string& target) override {
        return files_.Replace(source, target);
    }
    void Remove(const std::string& path) override { files_.Remove(path); }
    std::string ToFileText(const std::string& utf8) override;

private:
    WinReplaceFileOperations files_;
};

class WinLocaleFormats : public LocaleFormats {
public:
    std::string ShortDate(const DateTimeParts& p) const override;
    std::string LongTime(const DateTimeParts& p) const override;
};

}  // namespace vesko
