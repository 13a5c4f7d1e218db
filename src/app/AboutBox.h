#pragma once
// The About box, the "バージョン情報" dialog. Made when first opened, then kept
// hidden between showings; shown modally from the main window's menu command.
#include <windows.h>

#include "Window.h"

namespace vesko {

class AboutBox : public Window {
public:
    AboutBox() = default;
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;
    ~AboutBox() override;

    // Creates the hidden box with its controls, centred on the screen.
    bool Create(HINSTANCE instance);

    // Shows the box modally (made first if it is not yet) and returns when it has been closed by OK, Esc or
    // its close box. The owner (may be null) is disabled meanwhile; messages of
    // the whole thread keep flowing, so the main window's timers keep ticking.
    // A call while the box is already open brings it to the front and returns.
    void ShowModal(HWND owner);
    bool Showing() const { return modal_; }

    HWND ProgramIcon = nullptr;
    HWND ProductName = nullptr;
    HWND Version = nullptr;
    HWND Copyright = nullptr;
    HWND Comments = nullptr;
    HWND WebLink = nullptr;
    HWND MailLink = nullptr;
    HWND OKButton = nullptr;

protected:
    void CreateControls() override;
    void PlaceControls() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void EndModal();
    void DrawPicture(const DRAWITEMSTRUCT& item);
    // The picture drawn nearest to its frame's size at the box's DPI.
    void LoadPicture();

    HBITMAP picture_ = nullptr;
    int pictureSize_ = 0;
    bool modal_ = false;
    bool closed_ = false;
};

}  // namespace vesko
