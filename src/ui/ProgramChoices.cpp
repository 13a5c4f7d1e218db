#include "ui/ProgramChoices.h"

#include <algorithm>
#include <set>
#include <unordered_map>

namespace vesko {
namespace {

// The bare file name: the 9x snapshot names a process by its whole path.
std::string FileNameOf(const RunningProcess& p) {
    const std::string& named = p.ExeName.find_first_not_of(' ') == std::string::npos ? p.ImagePath : p.ExeName;
    const std::size_t cut = named.find_last_of("\\/:");
    return cut == std::string::npos ? named : named.substr(cut + 1);
}

}  // namespace

std::vector<ProgramChoice> ListProgramChoices(const std::vector<RunningProcess>& processes,
                                              const std::vector<ProgramWindow>& windows) {
    std::unordered_map<std::uint32_t, std::string> nameById;
    for (const RunningProcess& p : processes) nameById.emplace(p.Id, FileNameOf(p));
    std::vector<ProgramChoice> out;
    std::set<std::string> taken;  // PathMatchKey of each name listed
    auto add = [&](const std::string& name, const std::string& title) {
        if (name.find_first_not_of(' ') == std::string::npos) return false;
        if (!taken.insert(PathMatchKey(name)).second) return false;
        out.push_back({name, title});
        return true;
    };
    for (const ProgramWindow& w : windows)
        if (auto it = nameById.find(w.ProcessId); it != nameById.end()) add(it->second, w.Title);
    const std::size_t windowed = out.size();
    for (const RunningProcess& p : processes) add(FileNameOf(p), "");
    std::sort(out.begin() + static_cast<std::ptrdiff_t>(windowed), out.end(),
              [](const ProgramChoice& a, const ProgramChoice& b) {
                  return PathMatchKey(a.FileName) < PathMatchKey(b.FileName);
              });
    return out;
}

}  // namespace vesko
