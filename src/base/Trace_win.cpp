#include "base/Trace_win.h"

#include "base/WinText_win.h"

namespace vesko {

void TraceToDebugger() {
    SetTraceSink([](const std::string& line) { OutputDebugStringW(Widen(line).c_str()); });
}

}  // namespace vesko
