#include "log/LogWriter.h"

#include "base/Trace.h"

namespace vesko {

void WriteLogQuietly(LogWriter& log, const std::string& message, DateTime at) noexcept {
    Guarded("event log", [&] { log.WriteLog(message, at); });
}

}  // namespace vesko
