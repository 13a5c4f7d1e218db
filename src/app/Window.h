#pragma once
// A top-level window bound to its object: one class registration and one
// window-procedure trampoline for every window of the program.
#include <windows.h>

namespace vesko {

struct WindowSetup {
    const wchar_t* className;  // registered as given; other programs find the windows by it
    const char* caption;
    int clientWidth, clientHeight;  // at 96 DPI
    DWORD exStyle;
    const wchar_t* icon = nullptr;  // resource name of the class icon
    bool atOrigin = false;          // placed at 0,0 instead of where the system chooses
    bool resizable = false;         // a sizing frame instead of the fixed dialog frame
};

class Window {
public:
    virtual ~Window() = default;
    HWND Handle() const { return hwnd_; }
    // The DPI the window is laid out for.
    int Dpi() const { return dpi_; }

protected:
    // Registers the class, creates the hidden window with a fixed dialog
    // frame, sets the UI font, then calls CreateControls.
    bool CreateWindowFor(HINSTANCE instance, const WindowSetup& setup);
    virtual void CreateControls() {}
    // Pixels at 96 DPI to the window's pixels, and the UI font at its DPI.
    int Px(int px96) const;
    HFONT Font() const;
    // The window was moved to a monitor of another DPI (WM_DPICHANGED): by
    // default the window takes the new DPI and its font, calls PlaceControls
    // and takes the rectangle Windows suggests.
    virtual void OnDpiChanged(int dpi, const RECT& suggested);
    // Moves, sizes and sets the font of every control for Dpi().
    virtual void PlaceControls() {}
    // Takes the new DPI, the font at it and the small icon drawn for it.
    void TakeDpi(int dpi);
    // Closing hides; everything else goes to the default procedure.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Shows this window over `owner` (disabled meanwhile; may be null) with
    // the focus on `focus`, and hands out the thread's messages until `done`
    // is set, so that the main window's timer keeps ticking. A quit request
    // ends the loop and is posted again for the main loop. The owner is
    // enabled before the window hides, so that activation returns to it.
    void RunModal(HWND owner, HWND focus, const bool& done);
    void CenterOnScreen();
    // Centred on another window (on the screen when there is none).
    void CenterOn(HWND other);
    HWND hwnd_ = nullptr;

private:
    int dpi_ = 96;
    const wchar_t* icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
};

}  // namespace vesko
