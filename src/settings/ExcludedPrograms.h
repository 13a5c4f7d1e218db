#pragma once
// The excluded-program list: full paths of programs during whose run the
// power-saving function stands aside. The list lives in "ExeNameList.txt"
// beside the executable, one entry per line.
//
// The in-use test answers from one list of running processes taken per tick:
// an entry is in use when a running process's image is that file. Opening the
// file exclusively is only the fallback where processes cannot be listed,
// because on current systems that open also fails for every program the user
// may not write to (everything under Program Files), running or not.
#include <memory>
#include <optional>
#include <string>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vesko {

inline constexpr const char* kExcludedListFileName = "ExeNameList.txt";

// ---- The list file -------------------------------------------------------

// The list file as UTF-8 text; the Windows binding converts from and to the
// system ANSI code page.
class ExcludedListFile {
public:
    virtual ~ExcludedListFile() = default;
    virtual const std::string& Path() const = 0;
    virtual bool Exists() = 0;
    // The whole content; nothing when the file cannot be read.
    virtual std::optional<std::string> Read() = 0;
    // Creates or replaces the file; false when it cannot be written.
    virtual bool Write(const std::string& text) = 0;
    // Whether the file's code page holds this text unaltered.
    virtual bool CanHold(const std::string& text) = 0;
};

// Lines split at CR LF, a lone CR or a lone LF; every line is an entry, empty
// and blank ones included. A line end at the very end adds no entry.
std::vector<std::string> ParseExcludedProgramList(const std::string& text);
// Each entry followed by CR LF.
std::string FormatExcludedProgramList(const std::vector<std::string>& entries);

// Nothing when the file does not exist; FileOpenError when it exists but
// cannot be read.
std::optional<std::vector<std::string>> LoadExcludedProgramList(ExcludedListFile& file);
// FileCreateError when the file cannot be written.
void SaveExcludedProgramList(ExcludedListFile& file, const std::vector<std::string>& entries);

// The first tick's load. While FirstTick is set: the file's entries, to be
// appended to the live list, and the flag cleared (a missing file clears it
// too). An unreadable file raises FileOpenError and leaves the flag set, so
// the next tick tries again. Later ticks get nothing.
std::vector<std::string> TakeFirstTickEntries(bool& FirstTick, ExcludedListFile& file);

// ---- Editing the live list ------------------------------------------------

// Before the dialog opens: the live list becomes the file's entries (empty
// when there is no file). An unreadable file raises FileOpenError and leaves
// the live list as it was, so the programs listed keep holding the function
// back.
void ReloadExcludedPrograms(std::vector<std::string>& live, ExcludedListFile& file);

// Appends a path chosen by the user. A path the file's code page cannot hold
// would be saved altered and never match its program: it is not added, and
// the refusal's text is returned instead.
std::optional<std::string> AddExcludedProgram(std::vector<std::string>& live, const std::string& path,
                                              ExcludedListFile& file);

// Removes the entry at index; false (and nothing removed) when there is none.
bool RemoveExcludedProgram(std::vector<std::string>& live, std::size_t index);

// ---- The in-use test ----------------------------------------------------

struct RunningProcess {
    std::string ImagePath;  // full path of the executable; empty when not (yet) told
    std::string ExeName;    // the executable's file name
    std::uint32_t Id = 0;   // the process id, for ImagePathOf
};

class ProgramSystem {
public:
    virtual ~ProgramSystem() = default;
    // The processes running now; nothing when they cannot be listed. Image
    // paths may be left empty, to be asked for by ImagePathOf.
    virtual std::optional<std::vector<RunningProcess>> ListProcesses() = 0;
    // The full path of a listed process's executable; empty when the system
    // will not tell.
    virtual std::string ImagePathOf(std::uint32_t processId) = 0;
    // The full path the system resolves a path to (relative parts, short
    // names); the path unchanged when it cannot.
    virtual std::string FullPathName(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // True when the file cannot be opened for reading and writing with no
    // sharing: the classic sign of a running executable.
    virtual bool ExclusiveOpenFails(const std::string& path) = 0;
};

// The form in which paths are compared: blanks at the ends dropped, "/" as
// "\", repeated separators, "." and ".." resolved, trailing dots and blanks
// of the last name dropped, letters upper-cased (ASCII, Latin-1, Greek,
// Cyrillic and full-width Latin, as the file system ignores their case).
std::string PathMatchKey(const std::string& path);

// The running programs of one moment. Make one per tick and test every entry
// against it: the processes are listed once, at the first test, and not at
// all when nothing is tested.
class ProgramsInUse {
public:
    explicit ProgramsInUse(ProgramSystem& system) : system_(system) {}

    // True when the program at this path is running. An empty or blank entry,
    // or a file that does not exist, is not.
    bool IsFileInUse(const std::string& path);
    // Whether a program of this file name (a folder in it is ignored) runs,
    // its case ignored as the file system does; none when the processes
    // cannot be listed. No other process is opened for it.
    std::optional<bool> IsNameRunning(const std::string& fileName);

private:
    void TakeList();
    bool ExclusiveOpenTest(const std::string& path) const;

    ProgramSystem& system_;
    bool taken_ = false;
    bool listed_ = false;  // false: processes could not be listed
    std::vector<RunningProcess> processes_;
    std::unordered_multimap<std::string, std::size_t> byName_;  // file-name key -> index in processes_
};

// ---- Windows bindings (ExcludedPrograms_win.cpp) --------------------------

// "ExeNameList.txt" in the executable's folder.
std::unique_ptr<ExcludedListFile> OpenExcludedListFile();
// Process list by a toolhelp snapshot, image paths on request by
// QueryFullProcessImageNameW (GetModuleFileNameExW before Vista).
std::unique_ptr<ProgramSystem> CreateProgramSystem();

}  // namespace vesko
