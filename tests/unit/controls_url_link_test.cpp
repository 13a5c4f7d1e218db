#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/UrlLink.h"

namespace vesko {
namespace {

constexpr Color kGreen = 0x0000FF00u;
constexpr Color kBlack = 0x00000000u;

// Records what the link asks of the window system, in order. Text extents are
// a fixed width per byte and a fixed line height.
class FakeHost : public UrlLinkHost {
public:
    std::vector<std::string> calls;
    std::vector<HintWindowSetup> hints;
    std::vector<LinkFont> measuredFonts;
    LinkPoint cursor{400, 300};
    int charWidth = 7;
    int lineHeight = 12;

    void Invalidate() override { calls.push_back("invalidate"); }
    LinkPoint CursorPos() override { return cursor; }
    LinkSize TextExtent(const LinkFont& font, const std::string& text) override {
        measuredFonts.push_back(font);
        return {static_cast<int>(text.size()) * charWidth, lineHeight};
    }
    void ShowHint(const HintWindowSetup& setup) override {
        hints.push_back(setup);
        calls.push_back("show");
    }
    void HideHint() override { calls.push_back("hide"); }
    void ShellOpen(const std::string& target) override { calls.push_back("open " + target); }

    int Count(const std::string& call) const {
        int n = 0;
        for (const std::string& c : calls) n += c == call;
        return n;
    }
    std::vector<std::string> Opened() const {
        std::vector<std::string> out;
        for (const std::string& c : calls)
            if (c.rfind("open ", 0) == 0) out.push_back(c.substr(5));
        return out;
    }
};

// A link set up as the About box sets up its two labels.
struct AboutLink {
    FakeHost host;
    UrlLink link{host};

    AboutLink(UrlKind type, const std::string& address) {
        link.SetFont({"ＭＳ Ｐゴシック", 12, kBlue, true});
        link.SetLinkColor(kRed);
        link.SetHintFormFont({"ＭＳ Ｐゴシック", 12, kWindowTextColor, false});
        link.SetKind(type);
        link.SetLink(address);
        host.calls.clear();
    }
};

TEST(UrlLink, StartsWithTheDocumentedPropertyValues) {
    FakeHost host;
    UrlLink link(host);
    EXPECT_EQ(link.Kind(), UrlKind::Web);
    EXPECT_EQ(link.Link(), "http://");
    EXPECT_TRUE(link.EnableShowHint());
    EXPECT_EQ(link.HintFormColor(), kInfoBackColor);
    EXPECT_EQ(link.HintOffsetX(), 15);
    EXPECT_EQ(link.HintOffsetY(), 15);
    EXPECT_EQ(link.LinkColor(), kRed);
    EXPECT_EQ(link.Font().color, kBlue);
    EXPECT_FALSE(link.HintShowing());
    EXPECT_TRUE(host.calls.empty()) << "construction paints nothing by itself";
}

TEST(UrlLink, LeftPressHandsTheShellTheTargetOfItsType) {
    struct Case {
        UrlKind type;
        std::string link;
        std::string target;
    };
    const Case cases[] = {
        {UrlKind::Web, "https://vesko.example/", "https://vesko.example/"},
        {UrlKind::Mail, "help@vesko.example", "mailto:help@vesko.example"},
        // No scheme is added to a web address; nothing stands between
        // "mailto:" and the address, not even for an address with blanks.
        {UrlKind::Web, "vesko.example", "vesko.example"},
        {UrlKind::Mail, " a@b", "mailto: a@b"},
        {UrlKind::Mail, "mailto:a@b", "mailto:mailto:a@b"},
        // An empty link hands the shell an empty target (or the bare prefix).
        {UrlKind::Web, "", ""},
        {UrlKind::Mail, "", "mailto:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        EXPECT_EQ(UrlLinkTarget(c.type, c.link), c.target);
        AboutLink a(c.type, c.link);
        a.link.MouseDown(MouseButton::Left);
        EXPECT_EQ(a.host.Opened(), std::vector<std::string>{c.target});
    }
}

TEST(UrlLink, HintPlacementIsBesideTheCursorAndFitsTheText) {
    struct Case {
        LinkPoint cursor;
        LinkSize extent;
        int offsetX, offsetY;
        int left, top, width, height;
    };
    const Case cases[] = {
        {{400, 300}, {100, 12}, 15, 15, 415, 315, 106, 15},
        {{0, 0}, {0, 12}, 15, 15, 15, 15, 6, 15},            // empty text: 6 wide
        {{-1280, 40}, {50, 16}, 15, 15, -1265, 55, 56, 19},  // a monitor left of the primary one
        {{500, 500}, {80, 12}, -90, 0, 410, 500, 86, 15},    // offsets may point anywhere
    };
    for (const Case& c : cases) {
        HintWindowSetup s = HintPlacement(c.cursor, c.extent, c.offsetX, c.offsetY);
        EXPECT_EQ(s.left, c.left);
        EXPECT_EQ(s.top, c.top);
        EXPECT_EQ(s.width, c.width);
        EXPECT_EQ(s.height, c.height);
    }
}

TEST(UrlLink, HoverTurnsLinkColorShowsTheTargetOnceAndLeaveUndoesBoth) {
    AboutLink a(UrlKind::Mail, "help@vesko.example");
    a.link.MouseEnter();
    EXPECT_EQ(a.link.Font().color, kRed);
    EXPECT_EQ(a.host.calls, std::vector<std::string>{"invalidate"});

    a.link.MouseMove();
    ASSERT_EQ(a.host.hints.size(), 1u);
    const HintWindowSetup& hint = a.host.hints[0];
    // The hint shows the link itself, not "mailto:" and not the caption, in
    // the hint's own font and colour.
    EXPECT_EQ(hint.text, "help@vesko.example");
    EXPECT_EQ(hint.font, (LinkFont{"ＭＳ Ｐゴシック", 12, kWindowTextColor, false}));
    EXPECT_EQ(a.host.measuredFonts.back(), hint.font);
    EXPECT_EQ(hint.color, kInfoBackColor);
    EXPECT_EQ(hint.left, 415);
    EXPECT_EQ(hint.top, 315);
    EXPECT_EQ(hint.width, 18 * 7 + 6);  // "help@vesko.example"
    EXPECT_EQ(hint.height, 12 + 3);
    EXPECT_TRUE(a.link.HintShowing());

    // The hint does not follow the cursor.
    a.host.cursor = {420, 305};
    a.link.MouseMove();
    a.link.MouseMove();
    EXPECT_EQ(a.host.hints.size(), 1u);

    a.link.MouseLeave();
    EXPECT_EQ(a.link.Font().color, kBlue);
    EXPECT_FALSE(a.link.HintShowing());
    EXPECT_EQ(a.host.calls, (std::vector<std::string>{"invalidate", "show", "invalidate", "hide"}));
    EXPECT_TRUE(a.host.Opened().empty());
}

TEST(UrlLink, WithoutTheHintHoverOnlyChangesTheColour) {
    AboutLink a(UrlKind::Web, "https://vesko.example/");
    a.link.SetEnableShowHint(false);
    a.host.calls.clear();
    a.link.MouseEnter();
    a.link.MouseMove();
    EXPECT_EQ(a.link.Font().color, kRed);
    a.link.MouseLeave();
    EXPECT_EQ(a.link.Font().color, kBlue);
    EXPECT_EQ(a.host.calls, (std::vector<std::string>{"invalidate", "invalidate"}));
    EXPECT_TRUE(a.host.measuredFonts.empty());
}

TEST(UrlLink, OtherButtonsOpenNothingAndLeaveTheHintUntilTheCursorGoes) {
    for (MouseButton button : {MouseButton::Right, MouseButton::Middle}) {
        AboutLink a(UrlKind::Web, "https://vesko.example/");
        std::vector<MouseButton> events;
        a.link.OnMouseDown = [&](MouseButton b) { events.push_back(b); };
        a.link.MouseEnter();
        a.link.MouseMove();
        a.host.calls.clear();

        a.link.MouseDown(button);
        EXPECT_EQ(a.host.calls, std::vector<std::string>{"invalidate"});
        EXPECT_EQ(events, std::vector<MouseButton>{button}) << "the label's own event still runs";
        EXPECT_TRUE(a.link.HintShowing());

        a.link.MouseLeave();
        EXPECT_EQ(a.host.Count("hide"), 1);
        EXPECT_TRUE(a.host.Opened().empty());
    }
}

TEST(UrlLink, LeftPressRepaintsRunsTheEventOpensThenHidesTheHint) {
    AboutLink a(UrlKind::Web, "https://vesko.example/");
    a.link.OnMouseDown = [&](MouseButton) { a.host.calls.push_back("event"); };
    a.link.MouseEnter();
    a.link.MouseMove();
    a.host.calls.clear();

    a.link.MouseDown(MouseButton::Left);
    EXPECT_EQ(a.host.calls, (std::vector<std::string>{"invalidate", "event", "open https://vesko.example/", "hide"}));
    EXPECT_FALSE(a.link.HintShowing());
    // Still inside: the next move shows the hint again; the colour stays red.
    a.link.MouseMove();
    EXPECT_EQ(a.host.hints.size(), 2u);
    EXPECT_EQ(a.link.Font().color, kRed);
}

TEST(UrlLink, LeftPressWithoutAHintHidesNothing) {
    AboutLink a(UrlKind::Mail, "help@vesko.example");
    a.link.MouseDown(MouseButton::Left);
    EXPECT_EQ(a.host.calls, (std::vector<std::string>{"invalidate", "open mailto:help@vesko.example"}));
}

TEST(UrlLink, LeavingRestoresTheColourTheFontHadOnEntry) {
    {
        SCOPED_TRACE("LinkColor changed while inside");
        AboutLink a(UrlKind::Web, "x");
        a.link.MouseEnter();
        a.link.SetLinkColor(kGreen);
        a.link.MouseLeave();
        EXPECT_EQ(a.link.Font().color, kBlue);
        a.link.MouseEnter();
        EXPECT_EQ(a.link.Font().color, kGreen) << "the new LinkColor counts from the next entry";
    }
    {
        SCOPED_TRACE("a font colour other than blue");
        AboutLink a(UrlKind::Web, "x");
        a.link.SetFont({"", 0, kBlack, false});
        a.link.MouseEnter();
        a.link.MouseLeave();
        EXPECT_EQ(a.link.Font().color, kBlack);
    }
    {
        SCOPED_TRACE("a second entry without a leave");
        AboutLink a(UrlKind::Web, "x");
        a.link.MouseEnter();
        a.link.MouseEnter();
        a.link.MouseLeave();
        EXPECT_EQ(a.link.Font().color, kBlue);
    }
    {
        SCOPED_TRACE("a new font while inside");
        AboutLink a(UrlKind::Web, "x");
        a.link.MouseEnter();
        a.link.SetFont({"", 14, kBlack, true});
        EXPECT_EQ(a.link.Font().color, kRed) << "still under the cursor";
        EXPECT_EQ(a.link.Font().height, 14);
        a.link.MouseLeave();
        EXPECT_EQ(a.link.Font().color, kBlack);
    }
    {
        SCOPED_TRACE("a leave without an entry");
        AboutLink a(UrlKind::Web, "x");
        a.link.MouseLeave();
        EXPECT_EQ(a.link.Font().color, kBlue);
        EXPECT_TRUE(a.host.calls.empty());
    }
}

TEST(UrlLink, EmptyLinkGivesASixPixelHint) {
    AboutLink a(UrlKind::Web, "");
    a.link.MouseEnter();
    a.link.MouseMove();
    ASSERT_EQ(a.host.hints.size(), 1u);
    EXPECT_EQ(a.host.hints[0].width, 6);
    EXPECT_EQ(a.host.hints[0].height, 15);
    EXPECT_EQ(a.host.hints[0].text, "");
}

TEST(UrlLink, SettersRepaintOnlyOnAChange) {
    struct Case {
        const char* name;
        std::function<void(UrlLink&)> changeTo;  // from the construction value
        std::function<void(UrlLink&)> same;      // the construction value again
    };
    const LinkFont defaultFont;
    const Case cases[] = {
        {"Kind", [](UrlLink& l) { l.SetKind(UrlKind::Mail); }, [](UrlLink& l) { l.SetKind(UrlKind::Web); }},
        {"Link", [](UrlLink& l) { l.SetLink("https://a/"); }, [](UrlLink& l) { l.SetLink("http://"); }},
        {"HintFormFont",
         [](UrlLink& l) {
             l.SetHintFormFont({"x", 9, kBlack, true});
         },
         [&](UrlLink& l) { l.SetHintFormFont(defaultFont); }},
        {"EnableShowHint", [](UrlLink& l) { l.SetEnableShowHint(false); },
         [](UrlLink& l) { l.SetEnableShowHint(true); }},
        {"HintFormColor", [](UrlLink& l) { l.SetHintFormColor(kGreen); },
         [](UrlLink& l) { l.SetHintFormColor(kInfoBackColor); }},
        {"HintOffsetX", [](UrlLink& l) { l.SetHintOffsetX(0); }, [](UrlLink& l) { l.SetHintOffsetX(15); }},
        {"HintOffsetY", [](UrlLink& l) { l.SetHintOffsetY(-3); }, [](UrlLink& l) { l.SetHintOffsetY(15); }},
        {"LinkColor", [](UrlLink& l) { l.SetLinkColor(kBlue); }, [](UrlLink& l) { l.SetLinkColor(kRed); }},
        {"Font",
         [](UrlLink& l) {
             l.SetFont({"", 0, kBlue, true});
         },
         [](UrlLink& l) {
             l.SetFont({"", 0, kBlue, false});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHost host;
        UrlLink link(host);
        c.same(link);
        EXPECT_EQ(host.Count("invalidate"), 0);
        c.changeTo(link);
        EXPECT_EQ(host.Count("invalidate"), 1);
        c.changeTo(link);
        EXPECT_EQ(host.Count("invalidate"), 1);
    }
}

TEST(UrlLink, ChangedHintSettingsApplyToTheNextHint) {
    AboutLink a(UrlKind::Web, "https://a/");
    a.link.SetHintOffsetX(0);
    a.link.SetHintOffsetY(30);
    a.link.SetHintFormColor(kGreen);
    a.link.MouseEnter();
    a.link.MouseMove();
    ASSERT_EQ(a.host.hints.size(), 1u);
    EXPECT_EQ(a.host.hints[0].left, 400);
    EXPECT_EQ(a.host.hints[0].top, 330);
    EXPECT_EQ(a.host.hints[0].color, kGreen);
}

}  // namespace
}  // namespace vesko
