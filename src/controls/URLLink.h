#pragma once
// TURLLink: a label that behaves as a hyperlink. It turns LinkColor under the
// cursor, shows a small hint window with the target beside the cursor, and a
// left press hands the target to the shell. The behaviour lives here against
// a narrow host interface; URLLink_win.cpp is the Win32 window that hosts it.
#include <cstdint>
#include <functional>
#include <string>

namespace vesko {

enum TURLtype { tpURL = 0, tpMAIL = 1 };

// A colour as the forms store it: 0x00BBGGRR, or a system colour (high bit set,
// the system colour index in the low byte).
using TColor = std::uint32_t;
inline constexpr TColor clSystemColor = 0x80000000u;
inline constexpr TColor clBlue = 0x00FF0000u;
inline constexpr TColor clRed = 0x000000FFu;
inline constexpr TColor clWindowText = clSystemColor | 8u;
inline constexpr TColor clBtnFace = clSystemColor | 15u;
inline constexpr TColor clInfoBk = clSystemColor | 24u;

struct LinkFont {
    std::string name;  // empty: the face of the window the label sits on
    int height = 0;    // character height in pixels at 96 DPI; 0: that window's height
    TColor color = clWindowText;
    bool underline = false;
    bool operator==(const LinkFont&) const = default;
};

struct LinkPoint {
    int x = 0;
    int y = 0;
};

struct LinkSize {
    int cx = 0;
    int cy = 0;
};

// Everything the hint window is set up with before it is shown. Its text is
// drawn at kHintTextX, kHintTextY of the window.
struct HintWindowSetup {
    TColor color = clInfoBk;
    LinkFont font;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string text;
    bool operator==(const HintWindowSetup&) const = default;
};
inline constexpr int kHintTextX = 2;
inline constexpr int kHintTextY = 2;

enum class MouseButton { Left, Right, Middle };

// What the shell is asked to open: the link itself for a web address, the
// link after "mailto:" for a mail address.
std::string URLLinkTarget(TURLtype type, const std::string& link);

// Where and how large the hint window is for a text of the given extent with
// the cursor at the given screen point.
HintWindowSetup HintPlacement(LinkPoint cursor, LinkSize textExtent, int offsetX, int offsetY);

// The platform side of one link label.
class URLLinkHost {
public:
    virtual ~URLLinkHost() = default;
    virtual void Invalidate() = 0;
    virtual LinkPoint CursorPos() = 0;  // screen coordinates
    virtual LinkSize TextExtent(const LinkFont& font, const std::string& text) = 0;
    // Shows the hint window without activating it.
    virtual void ShowHint(const HintWindowSetup& setup) = 0;
    virtual void HideHint() = 0;
    // Opens the target with the shell; the result is of no interest.
    virtual void ShellOpen(const std::string& target) = 0;
};

class TURLLink {
public:
    explicit TURLLink(URLLinkHost& host);
    TURLLink(const TURLLink&) = delete;
    TURLLink& operator=(const TURLLink&) = delete;

    static constexpr int kDefaultHintOffset = 15;

    TURLtype URLType() const { return urlType_; }
    const std::string& Link() const { return link_; }
    const LinkFont& HintFormFont() const { return hintFormFont_; }
    bool EnableShowHint() const { return enableShowHint_; }
    TColor HintFormColor() const { return hintFormColor_; }
    int HintOffsetX() const { return hintOffsetX_; }
    int HintOffsetY() const { return hintOffsetY_; }
    TColor LinkColor() const { return linkColor_; }
    // The label's own font; its colour is LinkColor while the cursor is over it.
    const LinkFont& Font() const { return font_; }
    bool HintShowing() const { return hintShowing_; }

    // Each setter stores a changed value and repaints; the current value is a no-op.
    void SetURLType(TURLtype value);
    void SetLink(const std::string& value);
    void SetHintFormFont(const LinkFont& value);
    void SetEnableShowHint(bool value);
    void SetHintFormColor(TColor value);
    void SetHintOffsetX(int value);
    void SetHintOffsetY(int value);
    void SetLinkColor(TColor value);
    void SetFont(const LinkFont& value);

    // Mouse events from the host, in the order the window system sends them.
    void MouseEnter();
    void MouseMove();
    void MouseLeave();
    void MouseDown(MouseButton button);

    // The label's mouse-down event; unset is skipped.
    std::function<void(MouseButton)> OnMouseDown;

private:
    template <class T>
    void Assign(T& field, const T& value);

    URLLinkHost& host_;
    bool hintShowing_ = false;
    bool inside_ = false;
    TURLtype urlType_ = tpURL;
    std::string link_ = "http://";
    TColor savedFontColor_ = clBlue;
    TColor linkColor_ = clRed;
    TColor hintFormColor_ = clInfoBk;
    int hintOffsetX_ = kDefaultHintOffset;
    int hintOffsetY_ = kDefaultHintOffset;
    bool enableShowHint_ = true;
    LinkFont hintFormFont_;
    LinkFont font_;  // blue from construction
};

}  // namespace vesko
