#pragma once
// The list of the job's-end picker ("選択"): the programs running now, those
// with a visible window first, each file name once.
#include <cstdint>
#include <string>
#include <vector>

#include "settings/ExcludedPrograms.h"

namespace vesko {

// A visible top-level window with a title, in the system's window order.
struct ProgramWindow {
    std::uint32_t ProcessId = 0;
    std::string Title;
};

struct ProgramChoice {
    std::string FileName;  // the executable's file name, no folder
    std::string Title;     // its first window's title; empty for a program without one
};

// Programs with a window in window order (the first window's title), then
// the rest by file name; a file name (its case ignored) only once, and
// processes without a name left out.
std::vector<ProgramChoice> ListProgramChoices(const std::vector<RunningProcess>& processes,
                                              const std::vector<ProgramWindow>& windows);

}  // namespace vesko
