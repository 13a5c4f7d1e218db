#pragma once
// The event log "Log.txt": one dated line per start, exit and power action.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/Error.h"
#include "base/ReplaceFile.h"

namespace vesko {

// The user's date and time formats; the Windows side asks the locale.
class LocaleFormats {
public:
    virtual ~LocaleFormats() = default;
    virtual std::string ShortDate(const DateTimeParts& p) const = 0;
    virtual std::string LongTime(const DateTimeParts& p) const = 0;
};

// The Japanese defaults, "yyyy/MM/dd" and "H:mm:ss".
class JapaneseLocaleFormats : public LocaleFormats {
public:
    std::string ShortDate(const DateTimeParts& p) const override;
    std::string LongTime(const DateTimeParts& p) const override;
};

// Date, blank, time; exactly midnight (to the second) drops the blank and the time.
std::string LogTimestamp(DateTime t, const LocaleFormats& formats);
std::string LogLine(DateTime t, const std::string& message, const LocaleFormats& formats);

// Lines split at CR LF, a lone CR and a lone LF.
std::vector<std::string> SplitLogLines(const std::string& bytes);

// The file operations the log needs (the replacement's among them). Bytes
// are in the file's code page.
class LogFileSystem : public ReplaceFileOperations {
public:
    // nullopt: the file does not exist. Throws nothing; reports failure in ok.
    virtual std::optional<std::string> Read(const std::string& path, bool& ok) = 0;
    virtual bool IsReadOnly(const std::string& path) = 0;
    // The message's text in the file's code page.
    virtual std::string ToFileText(const std::string& utf8) = 0;
};

class FileOpenError : public AppError {  // "ファイル %s は開けません"
public:
    explicit FileOpenError(const std::string& path);
};
class FileCreateError : public AppError {  // "ファイル %s を作成できません"
public:
    explicit FileCreateError(const std::string& path);
};

// Adds one line. The new content replaces the log through a temporary file
// beside it (ReplaceThroughTemporary), so that a process ending mid-write
// never leaves a cut log and a link planted there is never written through.
void AppendLogLine(LogFileSystem& fs, const std::string& path, const std::string& lineUtf8);

// The start entry's text from the program's arguments (argument 0 included),
// or nothing when there is no entry to write.
std::string StartLogMessage(const std::vector<std::string>& args);

// The fixed messages of the log.
namespace logmsg {
inline constexpr const char* kExit = "ケルダン!を正常に終了しました";
inline constexpr const char* kShutdown = "ケルダン!を正常に終了しWindowsを終了しました";
inline constexpr const char* kReboot = "ケルダン!を正常に終了しコンピューターを再起動しました";
inline constexpr const char* kRestart = "ケルダン!を正常に終了しWindowsを再起動しました";
inline constexpr const char* kLogOff = "ケルダン!を正常に終了しWindowsをログオフしました";
inline constexpr const char* kForce = "ケルダン!を正常に終了しWindowsを強制終了しました";
inline constexpr const char* kForceHung = "ケルダン!を正常に終了しWindowsを設定を残して強制終了しました";
inline constexpr const char* kMsDos = "ケルダン!を正常に終了しWindowsをMS-DOSモードで再起動しました";
inline constexpr const char* kSuspend = "Windowsをサスペンドしました";
inline constexpr const char* kSuspendResume = "Windowsはサスペンドから復帰しました";
inline constexpr const char* kHibernate = "Windowsを休止状態にしました";
inline constexpr const char* kHibernateResume = "Windowsは休止状態から復帰しました";
}  // namespace logmsg

}  // namespace vesko
