#pragma once
// One line for a debugger (OutputDebugString on Windows, stderr elsewhere)
// wherever the program drops an error on purpose: the user sees nothing, a
// field report can still say what failed and where.
#include <string>

namespace vesko {

// "vesko: <where>: <what>".
void Trace(const std::string& where, const std::string& what);
// The exception being handled, traced; call only inside a catch block.
void TraceCurrentException(const std::string& where);

// Runs f; an exception it raises is traced with `where` and dropped. True
// when f completed. For errors that have nowhere to go: a window procedure,
// a destructor, a shell call whose failure only costs a picture.
template <class F>
bool Guarded(const char* where, F&& f) noexcept {
    try {
        f();
        return true;
    } catch (...) {
        TraceCurrentException(where);
        return false;
    }
}

// Where the lines go; the Windows entry points them at the debugger.
using TraceSink = void (*)(const std::string& line);
void SetTraceSink(TraceSink sink);

}  // namespace vesko
