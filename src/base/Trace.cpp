#include "base/Trace.h"

#include <cstdio>
#include <exception>

namespace vesko {
namespace {

void ToStandardError(const std::string& line) { std::fputs(line.c_str(), stderr); }

TraceSink g_sink = ToStandardError;

}  // namespace

void SetTraceSink(TraceSink sink) { g_sink = sink ? sink : ToStandardError; }

void Trace(const std::string& where, const std::string& what) {
    // Tracing must never become the next failure.
    try {
        g_sink("vesko: " + where + ": " + what + "\n");
    } catch (...) {
        // Nothing is left to report a failed trace to.
        return;
    }
}

void TraceCurrentException(const std::string& where) {
    try {
        throw;
    } catch (const std::exception& e) {
        Trace(where, e.what());
    } catch (...) {
        Trace(where, "unknown exception");
    }
}

}  // namespace vesko
