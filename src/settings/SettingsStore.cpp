#include "settings/SettingsStore.h"

namespace vesko {

void SettingsStore::FillDraft(Settings& draft) const { LoadDraft(*open_(), draft); }
void SettingsStore::FillActive(Settings& active) const { LoadActiveSettings(*open_(), active); }
void SettingsStore::FillCountdownLabels(Settings& draft, const std::string& missingText) const {
    LoadCountdownLabels(*open_(), draft, missingText);
}
void SettingsStore::Save(const Settings& draft) const { SaveSettings(*open_(), draft); }

int SettingsStore::Read(int Settings::*member) const { return ReadSetting(*open_(), member); }
bool SettingsStore::Read(bool Settings::*member) const { return ReadSetting(*open_(), member); }

void SettingsStore::Write(int Settings::*member, std::int64_t value) const { WriteSetting(*open_(), member, value); }
void SettingsStore::Write(bool Settings::*member, bool value) const { WriteSetting(*open_(), member, value); }
void SettingsStore::Write(const SettingMember& member, const std::string& value) const {
    WriteSetting(*open_(), member, value);
}
void SettingsStore::Write(std::initializer_list<SettingValue> values) const {
    WriteSettings(*open_(), {values.begin(), values.size()});
}

}  // namespace vesko
