// The settings window moved to a monitor of 144 DPI while it runs looks
// exactly as one started at 144 DPI: the same places for every control,
// within a pixel, and the same picture; and no caption is clipped at either
// DPI, measured with the fonts the window set. Wine sends no DPI change by
// itself: a message hook (tests/e2e/dpi_hook) hands the running window the
// WM_DPICHANGED Windows would send. The window needs a desktop on which it
// fits at 144 DPI, larger than the lanes' own: only tests/e2e/dpi_change.sh,
// which gives it one, runs this scenario.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "SettingsForm.h"
#include "ui/ControlIds.h"
#include "ui/SettingsLayout.h"

using namespace e2e;
namespace ids = vesko::ids;

namespace {

constexpr int kHighDpi = 144;

// Client rectangles of the controls by id (captions without one by their text).
using Places = std::map<std::string, RECT>;

struct Collect {
    HWND form;
    Places* places;
};

BOOL CALLBACK AddPlace(HWND hwnd, LPARAM lp) {
    auto& c = *reinterpret_cast<Collect*>(lp);
    if (GetParent(hwnd) != c.form) return TRUE;  // the spin arrows move with their field
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, c.form, reinterpret_cast<POINT*>(&r), 2);
    // Captions without an id by their text; labels with one show readings.
    const int id = GetDlgCtrlID(hwnd);
    wchar_t text[128] = {};
    if (id == -1 || id == 0xFFFF) GetWindowTextW(hwnd, text, 128);
    std::string key = std::to_string(id) + " " + Utf8(text);
    while (c.places->count(key)) key += "'";
    (*c.places)[key] = r;
    return TRUE;
}

Places PlacesOf(HWND form) {
    Places places;
    Collect c{form, &places};
    EnumChildWindows(form, AddPlace, reinterpret_cast<LPARAM>(&c));
    return places;
}

struct Masks {
    HWND form;
    int dpi;
    std::vector<RECT>* out;
};

// The glyphs the system draws inside the controls (check marks, radio dots,
// the arrows of spin edits and of the unit list): Wine draws them at the
// session's DPI whatever the window's, where Windows draws them at the
// window's. A check box's or radio button's caption follows its glyph, so
// these controls are left out whole: their places are compared, and their
// captions measured, all the same.
BOOL CALLBACK AddGlyph(HWND hwnd, LPARAM lp) {
    auto& m = *reinterpret_cast<Masks*>(lp);
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, m.form, reinterpret_cast<POINT*>(&r), 2);
    const LONG kind = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
    if (lstrcmpiW(cls, L"Button") == 0 && (kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON)) m.out->push_back(r);
    else if (lstrcmpiW(cls, L"msctls_updown32") == 0) m.out->push_back(r);
    else if (lstrcmpiW(cls, L"ComboBox") == 0)
        m.out->push_back({r.right - MulDiv(20, m.dpi, 96), r.top, r.right, r.top + MulDiv(24, m.dpi, 96)});
    return TRUE;
}

// What is left out of the picture: the system's glyphs, and the readings and
// times, which change from second to second.
std::vector<RECT> Masked(HWND form, int dpi) {
    std::vector<RECT> out;
    Masks m{form, dpi, &out};
    EnumChildWindows(form, AddGlyph, reinterpret_cast<LPARAM>(&m));
    for (int id : {ids::StatusCpu, ids::StatusNetwork, ids::StatusMemory, ids::StatusClock, ids::StatusUptime,
                   ids::TimerSetTimeLabel, ids::TimerDueLabel}) {
        RECT r;
        GetWindowRect(GetDlgItem(form, id), &r);
        MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
        out.push_back(r);
    }
    return out;
}

Screen ClientPicture(HWND form) {
    RECT r;
    GetClientRect(form, &r);
    MapWindowPoints(form, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return CaptureScreen(r);
}

SIZE ClientSize(HWND form) {
    RECT r;
    GetClientRect(form, &r);
    return {r.right, r.bottom};
}

class Hook {
public:
    explicit Hook(HWND form) : form_(form) {
        library_ = LoadLibraryW(HostPath(VESKO_DPI_HOOK_PATH).c_str());
        auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library_, "DpiHookProc")));
        if (proc) hook_ = SetWindowsHookExW(WH_GETMESSAGE, proc, library_, GetWindowThreadProcessId(form, nullptr));
    }
    ~Hook() {
        if (hook_) UnhookWindowsHookEx(hook_);
    }
    bool Set() const { return hook_ != nullptr; }
    void ChangeDpi(int dpi, int old) const {
        PostMessageW(form_, RegisterWindowMessageW(L"vesko.e2e.DpiChange"), static_cast<WPARAM>(dpi), old);
    }
    // Lines "id needed room caption" measured inside the program.
    std::vector<std::string> Measure(int dpi) const {
        const std::wstring report = HostPath(VESKO_DPI_HOOK_PATH) + L"." + std::to_wstring(dpi) + L".txt";
        DeleteFileW(report.c_str());
        PostMessageW(form_, RegisterWindowMessageW(L"vesko.e2e.MeasureCaptions"), static_cast<WPARAM>(dpi), 0);
        std::vector<std::string> lines;
        if (!WaitUntil([&] { return GetFileAttributesW(report.c_str()) != INVALID_FILE_ATTRIBUTES; })) return lines;
        HANDLE file = CreateFileW(report.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        std::string text(1 << 16, '\0');
        DWORD got = 0;
        if (file != INVALID_HANDLE_VALUE) {
            ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
            CloseHandle(file);
        }
        text.resize(got);
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

private:
    HWND form_;
    HMODULE library_ = nullptr;
    HHOOK hook_ = nullptr;
};

void ExpectCaptionsFit(const std::vector<std::string>& lines, int dpi) {
    EXPECT_GT(lines.size(), 60u) << "at " << dpi << " DPI";
    for (const std::string& line : lines) {
        std::istringstream in(line);
        int id = 0, needed = 0, room = 0;
        in >> id >> needed >> room;
        EXPECT_LE(needed, room) << "clipped at " << dpi << " DPI: " << line;
    }
}

bool Ready(const SettingsForm& f) {
    // Shown, its controls built and the first tick's readings in.
    return f.Form() && WaitUntil([&] {
               return f.Shown() && !f.Text("StatusClock").empty() &&
                      f.Text("StatusClock").find("時刻") == std::string::npos;
           });
}

}  // namespace

TEST(DpiChange, TheRunningSettingsWindowTakes144DpiAndLooksAsOneStartedThere) {
    const SIZE expected{vesko::ScaleLayout(vesko::kSettingsClientWidth, kHighDpi),
                        vesko::ScaleLayout(vesko::kSettingsClientHeight, kHighDpi)};
    Places moved, started;
    Screen movedPicture, startedPicture;
    std::vector<RECT> live;
    {
        SettingsForm f;
        ASSERT_TRUE(Ready(f));
        Hook hook(f.Form());
        ASSERT_TRUE(hook.Set());
        ExpectCaptionsFit(hook.Measure(96), 96);
        hook.ChangeDpi(kHighDpi, 96);
        ASSERT_TRUE(WaitUntil([&] {
            const SIZE s = ClientSize(f.Form());
            return s.cx == expected.cx && s.cy == expected.cy;
        })) << "client "
            << ClientSize(f.Form()).cx << "x" << ClientSize(f.Form()).cy;
        ExpectCaptionsFit(hook.Measure(kHighDpi), kHighDpi);
        ASSERT_TRUE(f.Activate());
        Sleep(500);
        moved = PlacesOf(f.Form());
        movedPicture = ClientPicture(f.Form());
        live = Masked(f.Form(), kHighDpi);
        SaveScreenshot(L"dpi_changed_to_144");
    }
    {
        SessionDpi session(kHighDpi);
        SettingsForm f;
        session.Restore();
        ASSERT_TRUE(Ready(f));
        const SIZE s = ClientSize(f.Form());
        ASSERT_EQ(s.cx, expected.cx);
        ASSERT_EQ(s.cy, expected.cy);
        ASSERT_TRUE(f.Activate());
        Sleep(500);
        started = PlacesOf(f.Form());
        startedPicture = ClientPicture(f.Form());
        SaveScreenshot(L"dpi_started_at_144");
    }

    ASSERT_EQ(moved.size(), started.size());
    for (const auto& [name, r] : started) {
        ASSERT_TRUE(moved.count(name)) << name;
        const RECT& m = moved.at(name);
        EXPECT_TRUE(std::abs(m.left - r.left) <= 1 && std::abs(m.top - r.top) <= 1 &&
                    std::abs(m.right - r.right) <= 1 && std::abs(m.bottom - r.bottom) <= 1)
            << name << ": moved " << m.left << "," << m.top << "-" << m.right << "," << m.bottom << ", started "
            << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
    }
    // The same picture outside the masks.
    ASSERT_EQ(movedPicture.pixels.size(), startedPicture.pixels.size());
    const int w = movedPicture.area.right - movedPicture.area.left;
    int differ = 0;
    for (std::size_t i = 0; i < movedPicture.pixels.size(); ++i) {
        const POINT p{static_cast<LONG>(i % w), static_cast<LONG>(i / w)};
        bool masked = false;
        for (const RECT& r : live) masked = masked || PtInRect(&r, p);
        if (!masked && movedPicture.pixels[i] != startedPicture.pixels[i]) ++differ;
    }
    EXPECT_EQ(differ, 0) << "pixels that differ outside the readings and the system's glyphs";
}
