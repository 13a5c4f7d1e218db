#pragma once
// UrlLink: a label that behaves as a hyperlink. It turns LinkColor under the
// cursor, shows a small hint window with the target beside the cursor, and a
// left press hands the target to the shell. The behaviour lives here against
// a narrow host interface; UrlLink_win.cpp is the Win32 window that hosts it.
#include <cstdint>
#include <functional>
#include <string>

namespace vesko {

enum class UrlKind { Web, Mail };

// A colour as the program stores it: 0x00BBGGRR, or a system colour (high bit set,
// the system colour index in the low byte).
using Color = std::uint32_t;
inline constexpr Color kSystemColorFlag = 0x80000000u;
inline constexpr Color kBlue = 0x00FF0000u;
inline constexpr Color kRed = 0x000000FFu;
inline constexpr Color kWindowTextColor = kSystemColorFlag | 8u;
inline constexpr Color kButtonFaceColor = kSystemColorFlag | 15u;
inline constexpr Color kInfoBackColor = kSystemColorFlag | 24u;

struct LinkFont {
    std::string name;  // empty: the face of the window the label sits on
    int height = 0;    // character height in pixels at 96 DPI; 0: that window's height
    Color color = kWindowTextColor;
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
    Color color = kInfoBackColor;
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
std::string UrlLinkTarget(UrlKind type, const std::string& link);

// Where and how large the hint window is for a text of the given extent with
// the cursor at the given screen point.
HintWindowSetup HintPlacement(LinkPoint cursor, LinkSize textExtent, int offsetX, int offsetY);

// The platform side of one link label.
class UrlLinkHost {
public:
    virtual ~UrlLinkHost() = default;
    virtual void Invalidate() = 0;
    virtual LinkPoint CursorPos() = 0;  // screen coordinates
    virtual LinkSize TextExtent(const LinkFont& font, const std::string& text) = 0;
    // Shows the hint window without activating it.
    virtual void ShowHint(const HintWindowSetup& setup) = 0;
    virtual void HideHint() = 0;
    // Opens the target with the shell; the result is of no interest.
    virtual void ShellOpen(const std::string& target) = 0;
};

class UrlLink {
public:
    explicit UrlLink(UrlLinkHost& host);
    UrlLink(const UrlLink&) = delete;
    UrlLink& operator=(const UrlLink&) = delete;

    static constexpr int kDefaultHintOffset = 15;

    UrlKind Kind() const { return kind_; }
    const std::string& Link() const { return link_; }
    const LinkFont& HintFormFont() const { return hintFormFont_; }
    bool EnableShowHint() const { return enableShowHint_; }
    Color HintFormColor() const { return hintFormColor_; }
    int HintOffsetX() const { return hintOffsetX_; }
    int HintOffsetY() const { return hintOffsetY_; }
    Color LinkColor() const { return linkColor_; }
    // The label's own font; its colour is LinkColor while the cursor is over it.
    const LinkFont& Font() const { return font_; }
    bool HintShowing() const { return hintShowing_; }

    // Each setter stores a changed value and repaints; the current value is a no-op.
    void SetKind(UrlKind value);
    void SetLink(const std::string& value);
    void SetHintFormFont(const LinkFont& value);
    void SetEnableShowHint(bool value);
    void SetHintFormColor(Color value);
    void SetHintOffsetX(int value);
    void SetHintOffsetY(int value);
    void SetLinkColor(Color value);
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

    UrlLinkHost& host_;
    bool hintShowing_ = false;
    bool inside_ = false;
    UrlKind kind_ = UrlKind::Web;
    std::string link_ = "http://";
    Color savedFontColor_ = kBlue;
    Color linkColor_ = kRed;
    Color hintFormColor_ = kInfoBackColor;
    int hintOffsetX_ = kDefaultHintOffset;
    int hintOffsetY_ = kDefaultHintOffset;
    bool enableShowHint_ = true;
    LinkFont hintFormFont_;
    LinkFont font_;  // blue from construction
};

}  // namespace vesko
