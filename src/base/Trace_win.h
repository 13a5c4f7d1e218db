#pragma once
// Trace lines to the debugger (OutputDebugStringW; DebugView shows them), and
// the one guard every window procedure of the program runs under.
#include <windows.h>

#include "base/Trace.h"

namespace vesko {

void TraceToDebugger();

// The procedure's body; an exception it raises never unwinds through the
// system's frames: it is traced with the procedure and the message, and the
// message gets the default answer (fallback).
template <class Body, class Fallback>
LRESULT GuardWindowProc(const char* where, UINT msg, Body&& body, Fallback&& fallback) noexcept {
    try {
        return body();
    } catch (...) {
        TraceCurrentException(std::string(where) + ", message " + std::to_string(msg));
    }
    return fallback();
}

}  // namespace vesko
