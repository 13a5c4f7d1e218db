#pragma once
// Where the event log's lines go, and the one way a line is dropped.
#include <string>

#include "base/DateTime.h"

namespace vesko {

class LogWriter {
public:
    virtual ~LogWriter() = default;
    // One line, whatever Log_Enabled says; raises when it cannot be written.
    virtual void WriteLog(const std::string& message, DateTime at) = 0;
};

// The log is a record, never a gate: a line that cannot be written (a
// read-only or locked Log.txt) is traced and dropped, and the caller's action
// goes on. The user heard of the unwritable log when the start entry failed.
void WriteLogQuietly(LogWriter& log, const std::string& message, DateTime at) noexcept;

}  // namespace vesko
