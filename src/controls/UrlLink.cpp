#include "controls/UrlLink.h"

namespace vesko {

std::string UrlLinkTarget(UrlKind type, const std::string& link) {
    return type == UrlKind::Mail ? "mailto:" + link : link;
}

HintWindowSetup HintPlacement(LinkPoint cursor, LinkSize textExtent, int offsetX, int offsetY) {
    HintWindowSetup setup;
    setup.left = cursor.x + offsetX;
    setup.top = cursor.y + offsetY;
    // Room for the text at (2, 2) and a pixel or so of margin on the far sides.
    setup.width = textExtent.cx + 6;
    setup.height = textExtent.cy + 3;
    return setup;
}

UrlLink::UrlLink(UrlLinkHost& host) : host_(host) { font_.color = kBlue; }

template <class T>
void UrlLink::Assign(T& field, const T& value) {
    if (field == value) return;
    field = value;
    host_.Invalidate();
}

void UrlLink::SetKind(UrlKind value) { Assign(kind_, value); }
void UrlLink::SetLink(const std::string& value) { Assign(link_, value); }
void UrlLink::SetHintFormFont(const LinkFont& value) { Assign(hintFormFont_, value); }
void UrlLink::SetEnableShowHint(bool value) { Assign(enableShowHint_, value); }
void UrlLink::SetHintFormColor(Color value) { Assign(hintFormColor_, value); }
void UrlLink::SetHintOffsetX(int value) { Assign(hintOffsetX_, value); }
void UrlLink::SetHintOffsetY(int value) { Assign(hintOffsetY_, value); }
void UrlLink::SetLinkColor(Color value) { Assign(linkColor_, value); }

void UrlLink::SetFont(const LinkFont& value) {
    // While the cursor is inside, the colour given here is the one to come
    // back to on leaving; the label keeps showing LinkColor until then.
    LinkFont font = value;
    if (inside_) {
        savedFontColor_ = value.color;
        font.color = linkColor_;
    }
    Assign(font_, font);
}

void UrlLink::MouseEnter() {
    // The window system pairs enter and leave; a second enter without a leave
    // must not take LinkColor for the colour to restore.
    if (inside_) return;
    inside_ = true;
    savedFontColor_ = font_.color;
    font_.color = linkColor_;
    host_.Invalidate();
}

void UrlLink::MouseMove() {
    if (!enableShowHint_ || hintShowing_) return;
    const LinkPoint cursor = host_.CursorPos();
    HintWindowSetup setup = HintPlacement(cursor, host_.TextExtent(hintFormFont_, link_), hintOffsetX_, hintOffsetY_);
    setup.color = hintFormColor_;
    setup.font = hintFormFont_;
    setup.text = link_;
    host_.ShowHint(setup);
    hintShowing_ = true;
}

void UrlLink::MouseLeave() {
    if (inside_) {
        inside_ = false;
        font_.color = savedFontColor_;
        host_.Invalidate();
    }
    if (hintShowing_) {
        host_.HideHint();
        hintShowing_ = false;
    }
}

void UrlLink::MouseDown(MouseButton button) {
    host_.Invalidate();
    if (OnMouseDown) OnMouseDown(button);
    if (button != MouseButton::Left) return;
    // The target opens on the press, not on the release.
    host_.ShellOpen(UrlLinkTarget(kind_, link_));
    if (hintShowing_) {
        host_.HideHint();
        hintShowing_ = false;
    }
}

}  // namespace vesko
