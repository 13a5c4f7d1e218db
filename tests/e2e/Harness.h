#pragma once
// Drives the real vesko.exe under Wine: a fresh folder per scenario, the
// program started with switches, its windows found by class and control id,
// message boxes read and answered, its files read back. Every wait is bounded.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD kWaitMs = 15000;

// Polls until the predicate holds or the time is up.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs);

struct Process {
    HANDLE handle = nullptr;
    DWORD pid = 0;
    bool Running() const;
    // Exit code, or nullopt while running after timeoutMs.
    std::optional<DWORD> WaitExit(DWORD timeoutMs = kWaitMs) const;
};

// A temporary folder holding a copy of vesko.exe; the processes it started are
// ended and the folder removed when it goes.
class Sandbox {
public:
    // The folder's name ends with nameTail when given.
    explicit Sandbox(const std::wstring& nameTail = L"");
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::wstring& Dir() const { return dir_; }
    std::wstring PathOf(const std::wstring& name) const { return dir_ + name; }
    std::wstring ExePath() const { return PathOf(L"vesko.exe"); }

    Process Start(const std::vector<std::wstring>& args = {});
    // Starts a copy of vesko.exe under another file name in the folder.
    Process StartAs(const std::wstring& exeName, const std::vector<std::wstring>& args = {});
    // Copies the sleeper program under the given name into the folder and starts it.
    Process StartHelper(const std::wstring& name, const std::vector<std::wstring>& args = {});
    // Only copies it there; returns its path.
    std::wstring PlaceHelper(const std::wstring& name) const;
    // Copies the library that marks its loading (name.loaded) under the given name.
    void PlaceMarkerLibrary(const std::wstring& name) const;
    // The files of the folder whose names end with the suffix.
    std::vector<std::wstring> FilesEndingWith(const std::wstring& suffix) const;
    void EndAll();

    // Files beside the exe. Text helpers convert from and to the ANSI code page.
    std::optional<std::string> ReadBytes(const std::wstring& name) const;
    std::optional<std::string> ReadText(const std::wstring& name) const;  // UTF-8
    void WriteBytes(const std::wstring& name, const std::string& bytes) const;
    void WriteText(const std::wstring& name, const std::string& utf8) const;  // to ANSI
    bool Exists(const std::wstring& name) const;
    // Makes a file refuse writes (or accept them again).
    void SetReadOnly(const std::wstring& name, bool readOnly);

private:
    std::wstring dir_;
    std::vector<Process> started_;
    std::vector<std::wstring> readOnly_;
};

// Top-level windows of a process, by class name (visible or not).
HWND FindProcessWindow(DWORD pid, const wchar_t* className, bool mustBeVisible = false);
HWND WaitForWindow(DWORD pid, const wchar_t* className, bool mustBeVisible = false, DWORD timeoutMs = kWaitMs);
// A message box ("#32770") of the process, and its text.
HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs = kWaitMs);
std::string MessageBoxText(HWND box);
std::string WindowTitle(HWND hwnd);
void AnswerMessageBox(HWND box, int buttonId = IDOK);
// Text of a control through WM_GETTEXT.
std::string ControlText(HWND parent, int id);

// The screen, as the user sees it.
struct Screen {
    RECT area{};                      // screen coordinates of the captured part
    std::vector<COLORREF> pixels;     // row by row, top row first
    COLORREF At(int x, int y) const;  // screen coordinates
};
Screen CaptureScreen(const RECT& area);
// Takes down the shell's tool-tips (the icon's tip stays up for a while
// after the pointer rested on it); those of the program stay.
void PopShellToolTips(DWORD programPid);
// The text of the shell's tool-tip once it is up ("" when none comes).
std::string ShellToolTipText(DWORD programPid);
// The icon's tip as the shell shows it when the pointer rests on the icon at
// `iconCentre`, line by line (none when no tip comes).
std::vector<std::string> ShellTipLines(DWORD programPid, POINT iconCentre);

// Whether `text` ends with a local time in the locale's long time format of
// a second from one before `from` up to now: a reading current to the second.
bool EndsWithTimeSince(const std::string& text, const SYSTEMTIME& from);
// Saves the whole screen as <build>/screenshots/<name>.bmp and returns the path.
std::wstring SaveScreenshot(const std::wstring& name);

// What the notification area shows for the program: its icon is drawn green
// while the function is on and grey with a red bar while it is off.
enum class TrayLook { None, On, Off };
struct TraySpot {
    TrayLook look = TrayLook::None;
    POINT centre{};
};
TraySpot LookAtTray();
// Looks until the tray shows `expected` or the time is up; what it saw last.
TrayLook WaitForLook(TrayLook expected, DWORD timeoutMs = 8000);
// Real input through the system, as a user's mouse and keyboard give it.
void RightClickAt(POINT at);
void LeftClickAt(POINT at);
// A left click at a point of a control: its middle, or dx pixels from its left edge.
void ClickControl(HWND control, int dx = -1);
void PressKey(WORD vk);
// A key pressed while another is held down (Alt+A: PressChord(VK_MENU, 'A')).
void PressChord(WORD held, WORD vk);
// Digits and capital letters typed one key at a time.
void TypeKeys(const char* keys);
// The control holding the keyboard focus in the thread of a window.
HWND FocusedWindow(HWND top);
// Brings a window of the program to the front, as a click on it would.
bool BringToFront(HWND top);
// A left click on the middle of a window (a button, a field).
void ClickWindow(HWND hwnd);
// A click repeated (up to three presses) while its effect does not show within
// 4 s: under a loaded Wine a press on a window shown a moment ago is now and
// then lost. Only for presses whose repetition after a late one does no harm.
bool ClickUntil(POINT at, const std::function<bool()>& shown);
// The same on the middle of a button.
bool Press(HWND button, const std::function<bool()>& shown);
void PressKey(WORD vk);
// Types the text as key presses of its characters.
void TypeText(const std::wstring& text);

// A file held open without sharing, so no other program can read it, until
// the holder goes.
class FileHold {
public:
    explicit FileHold(const std::wstring& path);
    ~FileHold();
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// The captions of a report-view list of another process, in order.
std::vector<std::string> ListViewItems(HWND list, int column = 0);

// Starts the program in a fresh folder (printed first), opens its tray menu
// and presses the key; for commands that end the whole session.
int PressTrayKeyAndLinger(wchar_t key);
// Starts the program in a fresh folder (printed first) with a read-only log
// and a power-off due in the next minute, answers the start's message about
// the log, and waits; the power-off ends the session, this driver included.
int AwaitPowerOffWithAReadOnlyLog();
// Starts the program (a copy of exe when given) in a fresh folder (printed
// first), waits for a file "go" there, then switches a set of conditions on
// and clicks Apply; then waits for the program to be ended from outside (or,
// not waitForKill, for the Apply to be saved), and prints what the file holds.
int ApplyWhileWatched(bool waitForKill, const wchar_t* exe);

// Tells a window of the program it was moved to a monitor at dpi, as Windows
// does (WM_DPICHANGED), with the rectangle Windows would suggest (the frame
// around a client area of client96 scaled) written into the program's memory:
// Wine never sends it by itself.
void SendDpiChange(const Process& p, HWND window, SIZE client96, int dpi);

// The DPI Wine gives the programs started while this stands (each reads the
// session's DPI when it starts); the value before comes back with Restore or
// when it goes, so that no later scenario of the prefix starts at this DPI.
class SessionDpi {
public:
    explicit SessionDpi(int dpi);
    ~SessionDpi() { Restore(); }
    SessionDpi(const SessionDpi&) = delete;
    SessionDpi& operator=(const SessionDpi&) = delete;
    void Restore();

private:
    DWORD before_ = 0;
    bool had_ = false, set_ = false;
};

std::string Utf8(const std::wstring& w);
// Paths from the build arrive as Unix paths; Wine maps "/" to drive Z:.
std::wstring HostPath(const char* unixPath);
std::wstring Wide(const std::string& utf8);
std::string ToAnsi(const std::string& utf8);
std::string FromAnsi(const std::string& ansi);
// A key's value as the settings file beside the exe holds it ("<no file>",
// "<missing>" otherwise), and the event log's lines.
std::string IniValue(const Sandbox& box, const std::string& key);
std::vector<std::string> LogLines(const Sandbox& box);
// Lines of a CR LF text; fails the check when a lone CR or LF is found.
std::vector<std::string> CrLfLines(const std::string& text, bool* wellFormed);

}  // namespace e2e
