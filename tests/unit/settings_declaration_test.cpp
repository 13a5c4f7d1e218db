#include <gtest/gtest.h>

#include <map>

#include "settings/IniFile.h"
#include "settings/SettingsDeclaration.h"
#include "settings/SettingsStore.h"

namespace vesko {
namespace {

// An in-memory file behind the portable profile codec, with a switch that
// makes every write fail as a read-only file would.
struct MemoryFile {
    std::optional<std::string> bytes;
    bool readOnly = false;
    int writes = 0;
    IniFile Open() {
        TextFileAccess a = TextFileAccess::Plain();
        a.read = [this](const std::string&) { return bytes; };
        a.write = [this](const std::string&, const std::string& b) {
            if (readOnly) return false;
            ++writes;
            bytes = b;
            return true;
        };
        return IniFile("C:\\app\\vesko.ini", a);
    }
};

TEST(SettingsDeclaration, NoFileGivesEveryDefault) {
    MemoryFile f;
    IniFile ini = f.Open();
    Settings form;
    Settings active;
    active.Function_Enabled = false;
    active.Shutdown = false;
    active.Timer_Minute = 9;
    form.Function_Enabled = form.Log_Enabled = form.Shutdown = form.Piece_Requirement = false;
    form.Timer_Minute = 9;
    LoadDraft(ini, form);
    LoadActiveSettings(ini, active);
    // Only the function, the log and the any-one combination are on.
    EXPECT_TRUE(active.Function_Enabled);
    EXPECT_TRUE(active.Log_Enabled);
    EXPECT_TRUE(active.Piece_Requirement);
    EXPECT_FALSE(active.All_Requirement);
    EXPECT_TRUE(active.Shutdown);
    EXPECT_FALSE(active.Suspend || active.Hibernation);
    EXPECT_FALSE(active.Timer_Enabled || active.Time_Enabled || active.AppointedTime_Enabled || active.CPU_Enabled ||
                 active.Network_Enabled || active.Memory_Enabled || active.OS_Enabled || active.MouseCursor_Enabled ||
                 active.Warning_Enabled || active.ExeStop_Enabled);
    EXPECT_EQ(active.Timer_Hour, 0);
    EXPECT_EQ(active.Timer_Minute, 1);
    for (int v : {active.CPU_Time, active.Network_Time, active.Memory_Time, active.MouseCursor_Time,
                  active.Warning_Time, active.OS_Minute})
        EXPECT_EQ(v, 1);
    EXPECT_FALSE(HasTimerSchedule(active.Timer_ScheduleTime.time)) << "no countdown in force, never midnight";
    EXPECT_EQ(form.Title, "ケルダン！");
    EXPECT_TRUE(form.Function_Enabled);
    EXPECT_TRUE(form.Log_Enabled);
    EXPECT_TRUE(form.Shutdown);
    EXPECT_TRUE(form.Piece_Requirement);
    EXPECT_EQ(form.Timer_Minute, 1);
    EXPECT_EQ(form.Network_Unit, 0);
    EXPECT_EQ(f.writes, 0) << "loading never writes";
}

TEST(SettingsDeclaration, ValueParsing) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"-7", -7},
        {"+5", 5},
        {"0x1E", 30},
        {"0X1e", 30},
        {"$1E", 30},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"0x", std::nullopt},
        {"00", 0},
        {"1E", std::nullopt},
        {"yes", std::nullopt},
        {"", std::nullopt},
        {"1.5", std::nullopt},
        {" 1", std::nullopt},
        {"$", std::nullopt},
        {"0x1G", std::nullopt},
        {"$100000000", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseProfileInt(c.text), c.value) << c.text;
}

TEST(SettingsDeclaration, HandEditedValuesReadAsDocumented) {
    MemoryFile f;
    f.bytes =
        "[Timer]\r\nTimer_Enabled=yes\r\nTimer_ScheduleTime=エラー\r\n[Time]\r\nTime_Enabled=2\r\n"
        "[CPU]\r\nCPU_Percent=150\r\n[MEMORY]\r\nmemory_percent=0x1E\r\n[Network]\r\nNetwork_Unit=5\r\n"
        "[PowerSaving]\r\nShutdown=1\r\nSuspend=1\r\n[Omake]\r\nTitle=\r\n"
        "[ProgramEnd]\r\nProgramEnd_Time=5000\r\nProgramEnd_Name= D:\\jobs\\Render.exe \r\n";
    IniFile ini = f.Open();
    Settings form;
    Settings active;
    LoadDraft(ini, form);
    LoadActiveSettings(ini, active);
    EXPECT_FALSE(active.Timer_Enabled) << "a word reads as the default";
    EXPECT_TRUE(active.Time_Enabled) << "any integer but 0 is true";
    EXPECT_EQ(active.Memory_Percent, 30) << "names match without regard to case";
    EXPECT_EQ(active.CPU_Percent, 99) << "the in-memory copy is clamped like the control";
    EXPECT_EQ(active.Network_Unit, -1) << "a unit outside the box selects none";
    EXPECT_EQ(form.CPU_Percent, 99) << "the control is";
    EXPECT_FALSE(HasTimerSchedule(active.Timer_ScheduleTime.time)) << "no countdown in force, never midnight";
    EXPECT_EQ(form.Network_Unit, -1);
    // Both methods set: the window shows the last, the tick picks shutdown first.
    EXPECT_FALSE(form.Shutdown);
    EXPECT_TRUE(form.Suspend);
    EXPECT_TRUE(active.Shutdown && active.Suspend);
    EXPECT_EQ(form.Title, "") << "a present but empty title";
    EXPECT_EQ(active.ProgramEnd_Time, 1440) << "a day at most";
    EXPECT_EQ(active.ProgramEnd_Name, "Render.exe") << "the file name alone, without blanks";
    EXPECT_EQ(form.ProgramEnd_Name, "Render.exe");
    EXPECT_EQ(ProgramFileName(std::string(300, 'a')).size(), 259u) << "at most 259 characters";
    std::string kana;
    for (int i = 0; i < 300; ++i) kana += "あ";
    EXPECT_EQ(ProgramFileName(kana).size(), 259u * 3) << "characters, not bytes";

    SaveSettings(ini, form);
    IniFile again = f.Open();
    EXPECT_EQ(again.ReadString("Network", "Network_Unit", ""), "-1");
    EXPECT_EQ(again.ReadString("CPU", "CPU_Percent", ""), "99");
    EXPECT_EQ(again.ReadString("Other", "Application_Enabled", ""), again.ReadString("Other", "ExeStop_Enabled", "?"));
}

TEST(SettingsDeclaration, SaveWritesSectionsInTableOrderAfterTheStartKeys) {
    MemoryFile f;
    IniFile ini = f.Open();
    WriteSetting(ini, &Settings::Timer_SetTime, "9:05");
    WriteSetting(ini, &Settings::Timer_ScheduleTime, "9:06");
    Settings form;
    form.Timer_SetTime = "9:05";  // the labels are saved back as they stand
    form.Timer_ScheduleTime.text = "9:06";
    SaveSettings(ini, form);
    WriteSetting(ini, &Settings::WindowPosX, 10);
    std::vector<std::string> sections;
    std::string text = *f.bytes;
    for (std::size_t at = text.find('['); at != std::string::npos; at = text.find('[', at + 1))
        sections.push_back(text.substr(at + 1, text.find(']', at) - at - 1));
    const std::vector<std::string> expected = {"Timer",       "Omake",  "Time", "AppointedTime", "CPU",
                                               "Network",     "Memory", "OS",   "MouseCursor",   "ProgramEnd",
                                               "PowerSaving", "Other",  "Wake", "Window"};
    EXPECT_EQ(sections, expected);
    EXPECT_EQ(text.rfind("[Timer]\r\nTimer_SetTime=9:05\r\nTimer_ScheduleTime=9:06\r\nTimer_Enabled=0\r\n", 0), 0u)
        << text;
}

TEST(SettingsDeclaration, RefusedWriteStopsAtThatKeyWithThePath) {
    MemoryFile f;
    f.bytes = "[Omake]\r\nTitle=x\r\n";
    f.readOnly = true;
    IniFile ini = f.Open();
    Settings form;
    form.Title = "changed";
    try {
        SaveSettings(ini, form);
        FAIL() << "no error";
    } catch (const SettingsWriteError& e) {
        EXPECT_STREQ(e.what(), "C:\\app\\vesko.ini に書き込めません");
    }
    EXPECT_EQ(*f.bytes, "[Omake]\r\nTitle=x\r\n");
}

// Cancel puts the stored label texts back, a missing key as the given text;
// nothing else of the draft changes.
TEST(SettingsDeclaration, CountdownLabelsComeBackAsStoredOrAsTheMissingText) {
    MemoryFile f;
    f.bytes = "[Timer]\r\nTimer_SetTime=9:05\r\n";
    IniFile ini = f.Open();
    Settings form;
    form.Timer_SetTime = "10:00";
    form.Timer_ScheduleTime.text = "10:30";
    form.Timer_Hour = 7;
    LoadCountdownLabels(ini, form, "エラー");
    EXPECT_EQ(form.Timer_SetTime, "9:05");
    EXPECT_EQ(form.Timer_ScheduleTime.text, "エラー");
    EXPECT_EQ(form.Timer_Hour, 7);
}

TEST(SettingsDeclaration, NewSettingsHoldTheDefaultsAndTheDraftClampsToEachRange) {
    MemoryFile f;
    IniFile ini = f.Open();
    for (const SettingDef& d : SettingsDeclaration()) {
        if (auto* i = std::get_if<int Settings::*>(&d.member)) {
            if (d.control == SettingControl::SpinEdit && d.min != d.max) {
                EXPECT_GE(DefaultInt(d), d.min) << d.key;
                EXPECT_LE(DefaultInt(d), d.max) << d.key;
                WriteSetting(ini, *i, d.max + 1);
            }
        }
    }
    Settings draft, active;
    LoadDraft(ini, draft);
    LoadActiveSettings(ini, active);
    for (const SettingDef& d : SettingsDeclaration()) {
        auto* i = std::get_if<int Settings::*>(&d.member);
        if (!i || d.control != SettingControl::SpinEdit || d.min == d.max) continue;
        EXPECT_EQ(draft.**i, d.max) << d.key << ": the draft keeps inside the range";
        EXPECT_EQ(active.**i, d.max) << d.key << ": so does the in-memory copy";
    }
}

TEST(SettingsDeclaration, EveryKeyIsDeclaredOnceInItsSection) {
    std::map<std::string, int> seen;
    for (const SettingDef& d : SettingsDeclaration()) {
        EXPECT_EQ(++seen[d.key], 1) << d.key;
        EXPECT_EQ(&DeclarationOf(d.member), &d) << d.key;
        std::string section = d.section, key = d.key;
        if (section != "PowerSaving" && section != "Window" && section != "Omake" && section != "Other")
            EXPECT_EQ(key.rfind(section + "_", 0), 0u) << key;
    }
    EXPECT_EQ(seen.size(), SettingsDeclaration().size());
}

}  // namespace
}  // namespace vesko

namespace vesko {
namespace {

// The store opens the file afresh for every operation and keeps nothing:
// what one operation writes, the next one reads.
TEST(SettingsStore, EveryOperationOpensTheFileAndSeesTheLastWrite) {
    MemoryFile f;
    int opened = 0;
    SettingsStore store([&] {
        ++opened;
        return std::make_unique<IniFile>(f.Open());
    });
    Settings draft;
    draft.CPU_Percent = 42;
    store.Save(draft);
    EXPECT_EQ(f.writes, 1) << "a save is one write of the file";
    store.Write(&Settings::WindowPosX, -7);
    store.Write(&Settings::StayOnTop, true);
    Settings active;
    store.FillActive(active);
    EXPECT_EQ(active.CPU_Percent, 42);
    EXPECT_EQ(store.Read(&Settings::WindowPosX), -7);
    EXPECT_TRUE(store.Read(&Settings::StayOnTop));
    EXPECT_EQ(opened, 6);
    store.Write({{&Settings::WindowPosY, 5}, {&Settings::StayOnTop, false}});
    EXPECT_EQ(f.writes, 4) << "keys written together are one write";
    EXPECT_EQ(store.Read(&Settings::WindowPosY), 5);
    f.readOnly = true;
    EXPECT_THROW(store.Write(&Settings::Function_Enabled, false), SettingsWriteError);
}

}  // namespace
}  // namespace vesko
