// The settings window's layout table: the faults a wrong entry would show on
// screen (overlaps, clipping, controls outside their frame, a broken tab or
// arrow-key order) and the ids the end-to-end driver relies on.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "power/SleepKinds.h"
#include "ui/ControlIds.h"
#include "ui/SettingsBinding.h"
#include "ui/SettingsLayout.h"

namespace vesko {
namespace {

constexpr int kFrameMargin = 4;   // between a frame's edge and what it holds
constexpr int kCaptionBand = 16;  // the frame's caption line at the top
constexpr int kBoxWidth = 18;     // a check box's or radio button's mark and gap

bool Overlap(const LayoutRect& a, const LayoutRect& b) {
    return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}
bool SameLine(const LayoutRect& a, const LayoutRect& b) { return a.y < b.Bottom() && b.y < a.Bottom(); }

// Width of a caption in the UI font of `em` pixels (12 at 96 DPI), from
// above: full-width characters take the whole em, ASCII at most half of it,
// rounded up; "&" marks an accelerator.
int CaptionWidth(std::string_view text, int em = 12) {
    int width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '&') continue;
        if (c < 0x80) width += (em + 1) / 2;
        else if ((c & 0xC0) != 0x80) width += em;  // lead byte of a multi-byte character
    }
    return width;
}

std::string Describe(const LayoutControl& c) {
    return std::string(c.name.empty() ? c.caption : c.name) + " (id " + std::to_string(c.id) + ")";
}

TEST(SettingsLayout, IdsAndNamesAreUnique) {
    std::set<int> ids;
    std::set<std::string_view> names;
    for (const LayoutControl& c : SettingsLayout()) {
        EXPECT_TRUE(ids.insert(c.id).second) << Describe(c);
        if (!c.name.empty()) {
            EXPECT_TRUE(names.insert(c.name).second) << Describe(c);
        }
    }
}

TEST(SettingsLayout, EveryControlSitsInsideItsFrameAndTheFramesInsideTheWindow) {
    const auto layout = SettingsLayout();
    const LayoutRect client{0, 0, kSettingsClientWidth, kSettingsClientHeight};
    for (const LayoutControl& c : layout) {
        if (c.kind == LayoutKind::Group) {
            EXPECT_TRUE(c.rect.x >= 0 && c.rect.y >= 0 && c.rect.Right() <= client.w && c.rect.Bottom() <= client.h)
                << Describe(c);
            continue;
        }
        if (c.group < 0) {
            EXPECT_TRUE(c.rect.x >= kFrameMargin && c.rect.Right() <= client.w - kFrameMargin &&
                        c.rect.Bottom() <= client.h - kFrameMargin)
                << Describe(c);
            for (const LayoutControl& g : layout) {
                if (g.kind == LayoutKind::Group) {
                    EXPECT_FALSE(Overlap(c.rect, g.rect)) << Describe(c) << " in a frame";
                }
            }
            continue;
        }
        const LayoutRect& g = layout[static_cast<std::size_t>(c.group)].rect;
        EXPECT_GE(c.rect.x, g.x + kFrameMargin) << Describe(c);
        EXPECT_GE(c.rect.y, g.y + kCaptionBand) << Describe(c);
        EXPECT_LE(c.rect.Right(), g.Right() - kFrameMargin) << Describe(c);
        EXPECT_LE(c.rect.Bottom(), g.Bottom() - kFrameMargin) << Describe(c);
    }
}

// The window at every DPI it is laid out at (100 % to 300 %): the places
// scaled and rounded as the window does, the caption widths in the UI font
// at that DPI (its em is 12 pixels at 96 DPI, scaled), the marks of check
// boxes and radio buttons scaled with them.
TEST(SettingsLayout, AtEveryDpiNothingOverlapsAndEveryCaptionFits) {
    const auto layout = SettingsLayout();
    for (int dpi : {96, 120, 144, 192, 288}) {
        SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
        auto scaled = [&](const LayoutRect& r) {
            const int x = ScaleLayout(r.x, dpi), y = ScaleLayout(r.y, dpi);
            return LayoutRect{x, y, ScaleLayout(r.Right(), dpi) - x, ScaleLayout(r.Bottom(), dpi) - y};
        };
        const int em = (12 * dpi + 48) / 96;
        auto caption = [&](std::string_view text) { return CaptionWidth(text, em); };
        for (std::size_t i = 0; i < layout.size(); ++i) {
            const LayoutControl& a = layout[i];
            const LayoutRect ra = scaled(a.rect);
            for (std::size_t j = i + 1; j < layout.size(); ++j) {
                const LayoutControl& b = layout[j];
                // A frame and a control: the containment test's business.
                if ((a.kind == LayoutKind::Group) != (b.kind == LayoutKind::Group)) continue;
                EXPECT_FALSE(Overlap(ra, scaled(b.rect))) << Describe(a) << " / " << Describe(b);
            }
            int room = ra.w;
            if (a.kind == LayoutKind::CheckBox || a.kind == LayoutKind::RadioButton)
                room -= ScaleLayout(kBoxWidth, dpi);
            if (a.kind == LayoutKind::Button || a.kind == LayoutKind::DefaultButton) room -= ScaleLayout(8, dpi);
            if (a.kind != LayoutKind::Group) {
                EXPECT_LE(caption(a.caption), room) << Describe(a);
            }
            for (int day = 0; a.kind == LayoutKind::DayBoxes && day < static_cast<int>(a.items.size()); ++day)
                EXPECT_LE(caption(a.items[static_cast<std::size_t>(day)]),
                          scaled(DayBoxRect(a, day)).w - ScaleLayout(kBoxWidth, dpi))
                    << Describe(a);
        }
    }
}

// The window on common screens at their usual scales (the taskbar 40
// pixels at 96 DPI, the frame of a dialog window, both scaled): whole where
// it fits, else as tall as the work area with the rest scrolled to.
TEST(SettingsLayout, TheWindowFitsTheWorkAreaOfCommonScreens) {
    struct Screen {
        int width, height, dpi;
        bool scrolls;
    };
    const Screen screens[] = {
        {1366, 768, 96, false},   {1366, 768, 144, true},   {1920, 1080, 144, false}, {1920, 1080, 192, true},
        {2560, 1440, 192, false}, {3840, 2160, 288, false}, {1280, 800, 120, true},   {800, 600, 96, true},
    };
    for (const Screen& s : screens) {
        SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height) + " at " + std::to_string(s.dpi));
        const int frameW = ScaleLayout(14, s.dpi), frameH = ScaleLayout(37, s.dpi), bar = ScaleLayout(17, s.dpi);
        const int workH = s.height - ScaleLayout(40, s.dpi);
        const int full = ScaleLayout(kSettingsClientHeight, s.dpi);
        const int shown = SettingsVisibleHeight(full, workH, frameH);
        EXPECT_EQ(shown < full, s.scrolls);
        EXPECT_LE(shown + frameH, workH);
        EXPECT_LE(ScaleLayout(kSettingsClientWidth, s.dpi) + frameW + (s.scrolls ? bar : 0), s.width);
    }
    // A work area smaller than any window still shows some rows.
    EXPECT_EQ(SettingsVisibleHeight(600, 50, 40), 120);
    EXPECT_EQ(SettingsVisibleHeight(100, 50, 40), 100);
}

// Creation order is the tab order: it must follow the reading order, left
// to right along a line and then down, one frame after the other.
TEST(SettingsLayout, TableOrderIsReadingOrder) {
    std::set<int> containers;
    const LayoutControl* prev = nullptr;
    for (const LayoutControl& c : SettingsLayout()) {
        if (c.kind == LayoutKind::Group) continue;
        if (!prev || prev->group != c.group) {
            EXPECT_TRUE(containers.insert(c.group).second) << Describe(c) << ": its frame's controls are split";
        } else if (SameLine(prev->rect, c.rect)) {
            EXPECT_GT(c.rect.x, prev->rect.x) << Describe(c);
        } else {
            EXPECT_GT(c.rect.y, prev->rect.y) << Describe(c);
        }
        prev = &c;
    }
    // The frames in their order: conditions and status first, method and combination below.
    std::vector<std::string_view> frames;
    for (const LayoutControl& c : SettingsLayout()) {
        if (c.kind == LayoutKind::Group) frames.push_back(c.caption);
    }
    EXPECT_EQ(frames, (std::vector<std::string_view>{"節電条件", "現在の状態", "節電方法", "複数条件"}));
}

// The arrow keys move within a keyboard group: each radio set is one group,
// every other control a group of its own.
TEST(SettingsLayout, RadioSetsAreKeyboardGroups) {
    const auto layout = SettingsLayout();
    int sets = 0;
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const LayoutControl& c = layout[i];
        if (!c.TabStop()) {
            EXPECT_FALSE(c.groupStart) << Describe(c);
            continue;
        }
        bool followsRadio = i > 0 && layout[i - 1].kind == LayoutKind::RadioButton;
        bool continuesSet = c.kind == LayoutKind::RadioButton && followsRadio;
        EXPECT_EQ(c.groupStart, !continuesSet) << Describe(c);
        if (c.kind == LayoutKind::RadioButton && !followsRadio) ++sets;
    }
    EXPECT_EQ(sets, 2);
}

TEST(SettingsLayout, SpinRangesCanBeTyped) {
    int spins = 0;
    for (const LayoutControl& c : SettingsLayout()) {
        if (c.kind != LayoutKind::SpinEdit) continue;
        ++spins;
        const SettingDef* d = BoundSetting(c);
        ASSERT_NE(d, nullptr) << Describe(c);
        EXPECT_LE(d->min, d->max) << Describe(c);
        if (d->min != d->max) {
            EXPECT_TRUE(DefaultInt(*d) >= d->min && DefaultInt(*d) <= d->max) << Describe(c);
        }
        // A limit shorter than the largest value would make it unreachable by typing.
        if (d->maxLength > 0 && d->min != d->max) {
            EXPECT_LE(std::to_string(d->max).size(), static_cast<std::size_t>(d->maxLength)) << Describe(c);
        }
    }
    EXPECT_EQ(spins, 21);
    const LayoutControl* units = FindLayoutControl("Network_Unit");
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(units->kind, LayoutKind::DropDownList);
    EXPECT_EQ(units->items.size(), 3u);
}

// Every declared setting shown by a control has exactly one control of its
// kind, named by its key; every value control but the start-with-Windows
// switch (a link, not a key) shows exactly one declared setting.
TEST(SettingsBinding, EachSettingHasOneControlAndEachControlOneSetting) {
    std::set<const LayoutControl*> bound;
    for (const SettingDef& d : SettingsDeclaration()) {
        const auto kind = BoundControlKind(d);
        if (!kind) continue;
        int matches = 0;
        for (const LayoutControl& c : SettingsLayout()) {
            if (c.name != d.key) continue;
            ++matches;
            EXPECT_EQ(c.kind, *kind) << d.key;
            bound.insert(&c);
        }
        EXPECT_EQ(matches, 1) << d.key;
    }
    int bindings = 0;
    for (const SettingBinding& b : SettingBindings()) {
        ++bindings;
        ASSERT_NE(b.control, nullptr) << b.setting->key;
        EXPECT_EQ(BoundSetting(*b.control), b.setting) << b.setting->key;
    }
    EXPECT_EQ(bindings, static_cast<int>(bound.size()));
    for (const LayoutControl& c : SettingsLayout()) {
        const bool valueControl = c.kind == LayoutKind::CheckBox || c.kind == LayoutKind::SpinEdit ||
                                  c.kind == LayoutKind::DropDownList || c.kind == LayoutKind::RadioButton ||
                                  c.kind == LayoutKind::Edit || c.kind == LayoutKind::DayBoxes;
        if (!valueControl || c.name == "StartWithWindows") {
            EXPECT_EQ(BoundSetting(c), nullptr) << Describe(c);
            continue;
        }
        EXPECT_TRUE(bound.count(&c)) << Describe(c) << " shows no declared setting";
    }
    // The check box of the program list shows ExeStop_Enabled; Application_Enabled is saved from it.
    EXPECT_FALSE(BoundControlKind(DeclarationOf(&Settings::Application_Enabled)));
    EXPECT_EQ(BoundSetting(*FindLayoutControl("ExeStop_Enabled")), &DeclarationOf(&Settings::ExeStop_Enabled));
}

// The end-to-end driver finds the status labels by these ids.
TEST(SettingsLayout, StatusLabelsKeepTheirIds) {
    const std::pair<const char*, int> bound[] = {
        {"StatusGroup", ids::GroupStatus},     {"OsVersionLabel", ids::OsVersionLabel},
        {"StatusCpu", ids::StatusCpu},         {"StatusNetwork", ids::StatusNetwork},
        {"StatusMemory", ids::StatusMemory},   {"StatusClock", ids::StatusClock},
        {"StatusUptime", ids::StatusUptime},   {"TimerSetTimeLabel", ids::TimerSetTimeLabel},
        {"TimerDueLabel", ids::TimerDueLabel},
    };
    for (const auto& [name, id] : bound) EXPECT_EQ(LayoutControlId(name), id) << name;
    EXPECT_EQ(LayoutControlId("NoSuchControl"), -1);
}

// The words under the method choices, for every machine there can be: each
// line fits the label's width and all of them its height (a line each).
TEST(SettingsLayout, WhatTheMethodsDoFitsUnderThemOnEveryMachine) {
    const LayoutControl* label = FindLayoutControl("SleepKindsLine");
    ASSERT_NE(label, nullptr);
    constexpr int kLineHeight = 14;
    std::size_t mostLines = 0;
    for (unsigned bits = 0; bits < (1u << 10); ++bits) {
        auto bit = [&](int i) { return (bits >> i & 1u) != 0; };
        const std::optional<bool> hybrid = bit(9) ? std::optional<bool>(bit(8)) : std::nullopt;
        const auto lines = DescribeSleepKinds(
            {bit(0), bit(1), bit(2), bit(3), bit(4), bit(5), bit(6), hybrid, bit(7), bit(8) || bit(5)});
        mostLines = std::max(mostLines, lines.size());
        EXPECT_LE(static_cast<int>(lines.size()) * kLineHeight, label->rect.h) << bits;
        for (const std::string& line : lines) EXPECT_LE(CaptionWidth(line), label->rect.w) << line;
    }
    // No room is kept for lines that never come.
    EXPECT_EQ(static_cast<int>(mostLines) * kLineHeight, label->rect.h);
}

}  // namespace
}  // namespace vesko
