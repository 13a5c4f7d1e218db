#pragma once
// Windows bindings of the event log: the file operations and the user's formats.
#include "log/EventLog.h"

namespace vesko {

class WinLogFileSystem : public LogFileSystem {
public:
    std::optional<std::string> Read(const std::string& path, bool& ok) override;
    bool IsReadOnly(const std::string& path) override;
    bool WriteNew(const std::string& path, const std::string& bytes) override;
    bool Replace(const std::string& source, const std::string& target) override;
    void Remove(const std::string& path) override;
    std::string ToFileText(const std::string& utf8) override;
};

class WinLocaleFormats : public LocaleFormats {
public:
    std::string ShortDate(const DateTimeParts& p) const override;
    std::string LongTime(const DateTimeParts& p) const override;
};

}  // namespace vesko
