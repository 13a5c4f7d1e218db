#pragma once
// Fakes of the monitor's ports that know nothing of a test's world: the
// settings window, the warning window, the log, the tray icon, and the
// settings file held in memory under the real store and profile codec.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/MonitorPorts.h"
#include "engine/Warning.h"
#include "power/ManualCommands.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"

namespace vesko::testing {

class FakeView : public MonitorView {
public:
    Settings draft;  // what the window's controls hold
    bool visible = false, hiddenAfterOk = false, functionSwitch = false, outlookVisible = true;
    std::vector<std::string> errors, notices, fallbacks;
    std::string summary;
    std::vector<std::string> sleepKinds;
    int beeps = 0;
    std::function<void(const std::string& due)> onCountdown;
    std::function<void()> onBeep;

    void ShowStatus(const StatusDisplay&) override {}
    bool OutlookVisible() const override { return outlookVisible; }
    void ShowOutlook(const std::array<std::string, kConditionCount>&, const std::string& line) override {
        summary = line;
    }
    void ShowDraft(const Settings& d) override { draft = d; }
    void ShowSetting(const SettingMember&, const Settings& d) override { draft = d; }
    void ReadDraft(Settings& d) const override { d = draft; }
    void ShowStartWithWindows(bool) override {}
    bool StartWithWindowsChecked() const override { return false; }
    // The countdown's labels, which the window reads back with the draft.
    void ShowCountdown(const std::string& set, const std::string& due) override {
        draft.Timer_SetTime = set, draft.Timer_ScheduleTime.text = due;
        if (onCountdown) onCountdown(due);
    }
    void ShowSleepKinds(const std::vector<std::string>& lines) override { sleepKinds = lines; }
    void SetChoiceEnabled(bool Settings::*, bool) override {}
    void ShowPowerCommandEnabled(ManualCommand, bool) override {}
    void ShowFunctionSwitch(bool on) override { functionSwitch = on; }
    void ShowPlacement(const std::string&, int, int, bool) override {}
    bool IsVisible() const override { return visible; }
    bool Shown() const override { return visible; }
    void Hide() override { visible = false; }
    void HideAfterOk() override { visible = false, hiddenAfterOk = true; }
    void ShowError(const std::string& m) override { errors.push_back(m); }
    void ShowNotice(const std::string& m) override { notices.push_back(m); }
    void ShowFallbackNotice(const std::string& m) override { fallbacks.push_back(m); }
    void Beep() override {
        ++beeps;
        if (onBeep) onBeep();
    }
};

// The warning window, and how long it has been on screen without a break on
// the monotonic count it is given.
class FakeWarning : public WarningDialog {
public:
    explicit FakeWarning(const std::uint64_t& mono) : mono_(mono) {}
    bool shown = false;
    std::string text;

    std::string LabelText() override { return text; }
    void SetLabelText(const std::string& t) override { text = t; }
    bool IsVisible() override { return shown; }
    void Show() override {
        if (!shown) since_ = mono_;
        shown = true;
    }
    void Hide() override {
        if (shown) lastSince_ = since_, hiddenAt_ = mono_;
        shown = false;
    }
    void Repaint() override {}
    void SetAbortEnabled(bool) override {}
    // The machine slept: the screen was dark until now.
    void Woke() { since_ = mono_; }
    // On screen until now, or until the action hid it at this very count.
    std::uint64_t ShownMs() const {
        if (shown) return mono_ - since_;
        return hiddenAt_ == mono_ ? mono_ - lastSince_ : 0;
    }

private:
    const std::uint64_t& mono_;
    std::uint64_t since_ = 0, lastSince_ = 0, hiddenAt_ = 0;
};

struct FakeLog : LogWriter {
    std::vector<std::string> lines;
    void WriteLog(const std::string& message, DateTime) override { lines.push_back(message); }
};

struct FakeTray : TrayIconPort {
    int icon = -1;
    bool IsShell5OrLater() const override { return true; }
    void SetTip(const std::string&) override {}
    void SetIcon(int index) override { icon = index; }
    void Show() override {}
    void Remove() override {}
};

// "vesko.ini" as a string, read and written whole by the portable profile file.
struct MemorySettingsFile {
    std::string text;
    bool refuses = false;
    int writes = 0;
    SettingsStore store{[this] {
        TextFileAccess a = TextFileAccess::Plain();
        a.read = [this](const std::string&) { return std::optional<std::string>(text); };
        a.write = [this](const std::string&, const std::string& bytes) {
            if (refuses) return false;
            ++writes, text = bytes;
            return true;
        };
        return std::make_unique<IniFile>("C:\\app\\vesko.ini", a);
    }};

    std::string Value(const std::string& key) const {
        const auto at = text.find("\n" + key + "=");
        if (at == std::string::npos) return "";
        const auto from = at + key.size() + 2;
        return text.substr(from, text.find('\r', from) - from);
    }
};

// "vesko.ini" as the keys it is asked to write, each told in order; a
// refused write tells none.
struct RecordedSettingsFile {
    std::function<void(const ProfileEdit&)> onWrite;
    bool refuses = false;

    struct Opened : ProfileFile {
        explicit Opened(RecordedSettingsFile& f) : file(f) {}
        RecordedSettingsFile& file;
        std::string ReadString(const std::string&, const std::string&, const std::string& fallback) override {
            return fallback;
        }
        bool WriteStrings(std::span<const ProfileEdit> edits) override {
            if (file.refuses) return false;
            for (const ProfileEdit& e : edits) file.onWrite(e);
            return true;
        }
        const std::string& Path() const override { return path; }
        std::string path = "C:\\app\\vesko.ini";
    };
    SettingsStore store{[this] { return std::make_unique<Opened>(*this); }};
};

}  // namespace vesko::testing
