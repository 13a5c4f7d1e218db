// The About box: present and hidden from the start, shown modally by the menu
// command of either pop-up menu, its texts and layout, and every way to close it.
#include <gtest/gtest.h>

#include "Harness.h"
#include "ui/ControlIds.h"

using namespace e2e;
namespace ids = vesko::ids;

namespace {

int Dpi() {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}

int Scaled(int px96) { return MulDiv(px96, Dpi(), 96); }

struct Running {
    Sandbox box;
    Process p;
    HWND form1 = nullptr;
    HWND about = nullptr;

    Running() {
        p = box.Start();
        EXPECT_TRUE(p.handle) << "vesko.exe did not start";
        form1 = WaitForWindow(p.pid, VESKO_CLASS_FORM1);
    }

    // The menu command goes through the main window's queue; the handler does
    // not return while the box is up, so it is posted, not sent.
    bool Open(int command = ids::About) {
        PostMessageW(form1, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        return WaitUntil([&] {
            about = FindProcessWindow(p.pid, VESKO_CLASS_ABOUT);
            return about && IsWindowVisible(about);
        });
    }

    bool Closed() const {
        return WaitUntil([&] { return !IsWindowVisible(about) && IsWindowEnabled(form1); });
    }
};

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

void PostKey(HWND target, UINT vk) {
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

}  // namespace

TEST(About, MadeWhenFirstOpenedWithItsTextsAndLayout) {
    Running r;
    ASSERT_TRUE(r.form1);
    Sleep(1500);  // past the first ticks
    EXPECT_FALSE(FindProcessWindow(r.p.pid, VESKO_CLASS_ABOUT)) << "nothing of the box is held before it is opened";
    ASSERT_TRUE(r.Open());
    EXPECT_EQ(WindowTitle(r.about), "バージョン情報");

    // A fixed dialog frame with a close box only.
    LONG style = GetWindowLongW(r.about, GWL_STYLE), ex = GetWindowLongW(r.about, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(ex & WS_EX_DLGMODALFRAME);
    RECT client;
    GetClientRect(r.about, &client);
    EXPECT_EQ(client.right, Scaled(296));
    EXPECT_EQ(client.bottom, Scaled(170));

    // Position in client pixels. A label may grow to its text when the face
    // that stands in for the designed one runs larger: the word-wrapped
    // comment only downwards, the others to the right and downwards.
    struct Control {
        int id;
        const char* text;
        int x, y, w, h;
        bool wrapped;
    };
    const Control controls[] = {
        {ids::AboutProgramIcon, "", 16, 16, 49, 49, false},
        {ids::AboutProductName, "ケルダン！", 88, 24, 81, 12, false},
        {ids::AboutVersion, "ver 1.20", 184, 24, 40, 12, false},
        {ids::AboutCopyright, "© 2026 vesko developers", 72, 48, 218, 12, false},
        {ids::AboutComments,
         "サポートはホームページ上のBBSまたはE-Mailで行っております。なるべくBBSの方をご利用下さい。", 24, 80, 250, 36,
         true},
        {ids::AboutUrlLink, "https://vesko.example/", 24, 120, 123, 12, false},
        {ids::AboutMailLink, "help@vesko.example", 160, 120, 105, 12, false},
        {ids::AboutOKButton, "OK", 111, 140, 75, 25, false},
    };
    for (const Control& c : controls) {
        SCOPED_TRACE(c.text);
        HWND h = GetDlgItem(r.about, c.id);
        ASSERT_TRUE(h);
        EXPECT_EQ(ControlText(r.about, c.id), c.text);
        RECT rc;
        GetWindowRect(h, &rc);
        MapWindowPoints(nullptr, r.about, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(rc.left, Scaled(c.x));
        EXPECT_EQ(rc.top, Scaled(c.y));
        if (c.wrapped) EXPECT_EQ(rc.right - rc.left, Scaled(c.w));
        else EXPECT_GE(rc.right - rc.left, Scaled(c.w));
        EXPECT_GE(rc.bottom - rc.top, Scaled(c.h));
        EXPECT_LE(rc.bottom - rc.top, Scaled(c.h) + Scaled(c.h) / 4) << "grown by a little at most";
        EXPECT_LE(rc.right, client.right) << "inside the box";
    }
    // Grown or not, nothing overlaps: the name and version side by side, the
    // links side by side below the comment, and OK below them.
    auto rectOf = [&](int id) {
        RECT rc;
        GetWindowRect(GetDlgItem(r.about, id), &rc);
        return rc;
    };
    EXPECT_LE(rectOf(ids::AboutProductName).right, rectOf(ids::AboutVersion).left);
    EXPECT_LE(rectOf(ids::AboutProductName).bottom, rectOf(ids::AboutCopyright).top);
    EXPECT_LE(rectOf(ids::AboutCopyright).bottom, rectOf(ids::AboutComments).top);
    EXPECT_LE(rectOf(ids::AboutComments).bottom, rectOf(ids::AboutUrlLink).top);
    EXPECT_LE(rectOf(ids::AboutUrlLink).right, rectOf(ids::AboutMailLink).left);
    EXPECT_LE(rectOf(ids::AboutMailLink).bottom, rectOf(ids::AboutOKButton).top);
    // OK is the default button and the first stop of the tab order.
    HWND ok = GetDlgItem(r.about, ids::AboutOKButton);
    EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetNextDlgTabItem(r.about, nullptr, FALSE), ok);
    PostMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(r.Closed());
}

TEST(About, MenuCommandShowsItModallyAndEachWayOfClosingEndsIt) {
    Running r;
    ASSERT_TRUE(r.form1);
    struct Way {
        const char* name;
        int command;
        void (*close)(HWND about, HWND ok);
    };
    const Way ways[] = {
        {"OK button", ids::About, [](HWND, HWND ok) { PostMessageW(ok, BM_CLICK, 0, 0); }},
        {"Esc", ids::TrayAbout, [](HWND, HWND ok) { PostKey(ok, VK_ESCAPE); }},
        {"Enter", ids::About, [](HWND, HWND ok) { PostKey(ok, VK_RETURN); }},
        {"close box", ids::TrayAbout, [](HWND about, HWND) { PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    // One process for all: each way must end the box's own message loop, or
    // the next command could not show it again.
    for (const Way& w : ways) {
        SCOPED_TRACE(w.name);
        HWND before = r.about;
        ASSERT_TRUE(r.Open(w.command)) << "the box did not show";
        if (before) EXPECT_EQ(r.about, before) << "hidden between showings, not made again";
        HWND ok = GetDlgItem(r.about, ids::AboutOKButton);
        EXPECT_FALSE(IsWindowEnabled(r.form1)) << "the main window is disabled while the box is up";
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(r.about) == ok; }, 5000)) << "OK has the focus";

        // Centred on the screen.
        RECT wr;
        GetWindowRect(r.about, &wr);
        EXPECT_NEAR((wr.left + wr.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
        EXPECT_NEAR((wr.top + wr.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

        w.close(r.about, ok);
        EXPECT_TRUE(r.Closed()) << "the box is hidden and the main window enabled again";
        EXPECT_TRUE(r.p.Running());
    }
}

TEST(About, TheTickRunsOnWhileTheBoxIsUp) {
    Running r;
    ASSERT_TRUE(r.form1);
    ASSERT_TRUE(r.Open());
    std::string first = ControlText(r.form1, ids::StatusClock);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(r.form1, ids::StatusClock) != first; }, 5000))
        << "the clock label keeps changing under the modal box";
    PostMessageW(GetDlgItem(r.about, ids::AboutOKButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(r.Closed());
}

TEST(About, SecondCommandWhileOpenKeepsOneBox) {
    Running r;
    ASSERT_TRUE(r.form1);
    ASSERT_TRUE(r.Open(ids::About));
    // The tray menu stays reachable while the box is up.
    PostMessageW(r.form1, WM_COMMAND, MAKEWPARAM(ids::TrayAbout, 0), 0);
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(r.about));
    PostMessageW(GetDlgItem(r.about, ids::AboutOKButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(r.Closed()) << "one OK closes it: no second loop was left waiting";
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(r.about));
    EXPECT_TRUE(IsWindowEnabled(r.form1));
}

TEST(About, ExitFromTheTrayMenuWhileTheBoxIsUpEndsTheProgram) {
    Running r;
    ASSERT_TRUE(r.form1);
    ASSERT_TRUE(r.Open());
    PostMessageW(r.form1, WM_COMMAND, MAKEWPARAM(ids::TrayExit, 0), 0);
    auto code = r.p.WaitExit();
    ASSERT_TRUE(code) << "the box's loop must hand the end of the program on";
    EXPECT_EQ(*code, 0u);
    auto log = r.box.ReadText(L"Log.txt");
    ASSERT_TRUE(log);
    EXPECT_NE(log->find("ケルダン!を正常に終了しました"), std::string::npos);
}
