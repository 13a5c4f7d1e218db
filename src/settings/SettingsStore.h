#pragma once
// "vesko.ini" as the monitor uses it: load, save and single writes, each
// through the declaration. The store is the only code that opens the file;
// it opens it afresh for every operation and keeps nothing open.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "settings/SettingsDeclaration.h"

namespace vesko {

class SettingsStore {
public:
    using Opener = std::function<std::unique_ptr<ProfileFile>()>;
    explicit SettingsStore(Opener open) : open_(std::move(open)) {}

    // LoadDraft, LoadActiveSettings, LoadCountdownLabels and SaveSettings on the file.
    void FillDraft(Settings& draft) const;
    void FillActive(Settings& active) const;
    void FillCountdownLabels(Settings& draft, const std::string& missingText) const;
    void Save(const Settings& draft) const;

    int Read(int Settings::*member) const;
    bool Read(bool Settings::*member) const;
    // One key; a refused write raises SettingsWriteError.
    void Write(int Settings::*member, std::int64_t value) const;
    void Write(bool Settings::*member, bool value) const;
    void Write(const SettingMember& member, const std::string& value) const;
    // Several keys in one write of the file: all of them or none.
    void Write(std::initializer_list<SettingValue> values) const;

private:
    Opener open_;
};

}  // namespace vesko
