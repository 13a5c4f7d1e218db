// The settings window moved to a monitor of 144 DPI while it runs looks
// exactly as one started at 144 DPI: the same places for every control,
// within a pixel, and the same picture; and no caption is clipped at either
// DPI, measured inside the program by a message hook (tests/e2e/dpi_hook)
// with the fonts the window set. The window needs a desktop on which it
// fits at 144 DPI, larger than the lanes' own: only tests/e2e/dpi_change.sh,
// which gives it one, runs this scenario.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "SettingsForm.h"

using namespace e2e;
namespace ids = vesko::ids;

namespace {

constexpr int kHighDpi = 144;

// What a window shows: each control's client rectangle (by id; captions
// without one by their text), the client area's pixels, and what the
// comparison leaves out of them.
struct Look {
    HWND form;
    std::map<std::string, RECT> places;
    std::vector<RECT> masks;
    Screen picture;
};

RECT InForm(HWND form, HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Left out of the picture: the glyphs the system draws inside the controls
// (check marks, radio dots, the arrows of spin edits and of the unit list),
// which Wine draws at the session's DPI whatever the window's, where Windows
// draws them at the window's. A check box's caption follows its glyph, so
// check boxes and radio buttons are left out whole: their places are
// compared, and their captions measured, all the same.
BOOL CALLBACK AddControl(HWND hwnd, LPARAM lp) {
    auto& look = *reinterpret_cast<Look*>(lp);
    const RECT r = InForm(look.form, hwnd);
    wchar_t cls[32] = {}, text[128] = {};
    GetClassNameW(hwnd, cls, 32);
    const LONG kind = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
    if ((lstrcmpiW(cls, L"Button") == 0 && (kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON)) ||
        lstrcmpiW(cls, L"msctls_updown32") == 0)
        look.masks.push_back(r);
    if (lstrcmpiW(cls, L"ComboBox") == 0)
        look.masks.push_back({r.right - MulDiv(20, kHighDpi, 96), r.top, r.right, r.top + MulDiv(24, kHighDpi, 96)});
    if (GetParent(hwnd) != look.form) return TRUE;  // the spin arrows move with their field
    const int id = GetDlgCtrlID(hwnd);
    if (id == -1 || id == 0xFFFF) GetWindowTextW(hwnd, text, 128);
    std::string key = std::to_string(id) + " " + Utf8(text);
    while (look.places.count(key)) key += "'";
    look.places[key] = r;
    return TRUE;
}

Look LookAt(HWND form) {
    Look look{form, {}, {}, {}};
    EnumChildWindows(form, AddControl, reinterpret_cast<LPARAM>(&look));
    // The readings and times change from second to second.
    for (int id : {ids::StatusCpu, ids::StatusNetwork, ids::StatusMemory, ids::StatusClock, ids::StatusUptime,
                   ids::TimerSetTimeLabel, ids::TimerDueLabel})
        look.masks.push_back(InForm(form, GetDlgItem(form, id)));
    RECT client;
    GetClientRect(form, &client);
    MapWindowPoints(form, nullptr, reinterpret_cast<POINT*>(&client), 2);
    look.picture = CaptureScreen(client);
    return look;
}

bool ClientIs(HWND form, int width, int height) {
    RECT r;
    GetClientRect(form, &r);
    return r.right == width && r.bottom == height;
}

// Every caption the hook measured at dpi fits its control.
void ExpectCaptionsFit(HWND form, int dpi) {
    const std::wstring report = HostPath(VESKO_DPI_HOOK_PATH) + L"." + std::to_wstring(dpi) + L".txt";
    DeleteFileW(report.c_str());
    PostMessageW(form, RegisterWindowMessageW(L"vesko.e2e.MeasureCaptions"), static_cast<WPARAM>(dpi), 0);
    ASSERT_TRUE(WaitUntil([&] { return GetFileAttributesW(report.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    HANDLE file = CreateFileW(report.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string text(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    std::istringstream in(text.substr(0, got));
    int lines = 0;
    for (std::string line; std::getline(in, line); ++lines) {
        std::istringstream fields(line);
        int id = 0, needed = 0, room = 0;
        fields >> id >> needed >> room;
        EXPECT_LE(needed, room) << "clipped at " << dpi << " DPI: " << line;
    }
    EXPECT_GT(lines, 60) << "at " << dpi << " DPI";
}

// Shown, its controls built and the first tick's readings in.
bool Ready(const SettingsForm& f) {
    return f.Form() && WaitUntil([&] { return f.Shown() && f.Text("StatusClock").find(':') != std::string::npos; });
}

}  // namespace

TEST(DpiChange, TheRunningSettingsWindowTakes144DpiAndLooksAsOneStartedThere) {
    const int width = vesko::ScaleLayout(vesko::kSettingsClientWidth, kHighDpi);
    const int height = vesko::ScaleLayout(vesko::kSettingsClientHeight, kHighDpi);
    Look moved, started;
    {
        SettingsForm f;
        ASSERT_TRUE(Ready(f));
        HMODULE library = LoadLibraryW(HostPath(VESKO_DPI_HOOK_PATH).c_str());
        auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library, "DpiHookProc")));
        HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, proc, library, GetWindowThreadProcessId(f.Form(), nullptr));
        ASSERT_TRUE(hook);
        ExpectCaptionsFit(f.Form(), 96);
        SendDpiChange(f.Program(), f.Form(), {vesko::kSettingsClientWidth, vesko::kSettingsClientHeight}, kHighDpi);
        EXPECT_TRUE(ClientIs(f.Form(), width, height));
        ExpectCaptionsFit(f.Form(), kHighDpi);
        UnhookWindowsHookEx(hook);
        ASSERT_TRUE(f.Activate());
        Sleep(500);
        moved = LookAt(f.Form());
        SaveScreenshot(L"dpi_changed_to_144");
    }
    {
        SessionDpi session(kHighDpi);
        SettingsForm f;
        session.Restore();
        ASSERT_TRUE(Ready(f));
        ASSERT_TRUE(ClientIs(f.Form(), width, height));
        ASSERT_TRUE(f.Activate());
        Sleep(500);
        started = LookAt(f.Form());
        SaveScreenshot(L"dpi_started_at_144");
    }

    ASSERT_EQ(moved.places.size(), started.places.size());
    for (const auto& [name, r] : started.places) {
        ASSERT_TRUE(moved.places.count(name)) << name;
        const RECT& m = moved.places.at(name);
        EXPECT_TRUE(std::abs(m.left - r.left) <= 1 && std::abs(m.top - r.top) <= 1 &&
                    std::abs(m.right - r.right) <= 1 && std::abs(m.bottom - r.bottom) <= 1)
            << name << ": moved " << m.left << "," << m.top << "-" << m.right << "," << m.bottom << ", started "
            << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
    }
    ASSERT_EQ(moved.picture.pixels.size(), started.picture.pixels.size());
    int differ = 0;
    for (std::size_t i = 0; i < moved.picture.pixels.size(); ++i) {
        const POINT p{static_cast<LONG>(i % width), static_cast<LONG>(i / width)};
        bool masked = false;
        for (const RECT& r : moved.masks) masked = masked || PtInRect(&r, p);
        if (!masked && moved.picture.pixels[i] != started.picture.pixels[i]) ++differ;
    }
    EXPECT_EQ(differ, 0) << "pixels that differ outside the readings and the system's glyphs";
}
