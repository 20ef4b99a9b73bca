// Profile list rules.
#include "app/ProfileService.h"

#include "app/JobCodes.h"
#include "app/TextIds.h"
#include "keys/KeyAssignmentService.h"
#include "keys/MacroEditor.h"
#include "keys/NameRules.h"
#include "platform/LanguageText.h"
#include "store/ProfileDatabase.h"
#include "store/ProfileExchange.h"

ProfileService::ProfileService(ProfileDatabase& database, KeyAssignmentService& keys, IPlaybackArm& arm,
                               IJobSink& jobs)
    : m_db(database), m_keys(keys), m_arm(arm), m_jobs(jobs) {}

ProfileListItem ProfileService::MakeItem(int id, const std::string& storedName) const {
    return {id, storedName, DisplayName(NamedList::Profiles, storedName)};
}

int ProfileService::CurrentProfile() const {
    return m_selected >= 0 && m_selected < static_cast<int>(m_items.size()) ? m_items[m_selected].m_id : 0;
}

int ProfileService::IndexOf(int profileId) const {
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].m_id == profileId) return static_cast<int>(i);
    return -1;
}

void ProfileService::LoadProfileList() {
    m_items.clear();
    m_selected = -1;
    std::vector<ProfileRecord> profiles;
    if (m_db.LoadProfiles(profiles) == 0 && m_db.CreateFirstProfiles(LoadText(TXT_PROFILE)))
        m_db.LoadProfiles(profiles);
    for (const ProfileRecord& profile : profiles)
        m_items.push_back(MakeItem(profile.m_profileId, profile.m_name));
    if (m_items.empty()) return;
    int index = IndexOf(m_db.GetSelectedProfile());
    if (index < 0) {
        index = 0;
        m_db.SelectProfile(m_items[0].m_id);
    }
    m_selected = index;
    m_keys.ShowProfileKeys(m_items[index].m_id);
}

void ProfileService::MakeCurrent(int index) {
    m_selected = index;
    m_db.SelectProfile(m_items[index].m_id);
    m_keys.ShowProfileKeys(m_items[index].m_id);
}

ServiceOutcome ProfileService::AddProfile(const std::string& name) {
    if (static_cast<int>(m_items.size()) >= kMaxProfiles)
        return ServiceOutcome::Refused(TXT_PROFILE, TXT_PROFILE_LIMIT);
    std::string newName = name;
    if (newName.empty()) {
        std::vector<std::string> shown;
        for (const ProfileListItem& item : m_items)
            shown.push_back(item.m_shownName);
        newName = MakeUniqueName(LoadText(TXT_PROFILE), shown);
    } else if (ContainsForbiddenWord(newName)) {
        return ServiceOutcome::Refused(TXT_RENAME, TXT_NAME_INVALID);
    }
    ProfileRecord record;
    record.m_name = newName;
    const int id = m_db.InsertProfile(record);
    if (id <= 0) return ServiceOutcome::Failed();
    m_items.push_back(MakeItem(id, newName));
    MakeCurrent(static_cast<int>(m_items.size()) - 1);
    m_arm.ArmSoftwarePlayback();
    return ServiceOutcome::Done();
}

ServiceOutcome ProfileService::DeleteProfile(int index) {
    if (m_items.size() <= 1 || index < 0 || index >= static_cast<int>(m_items.size()))
        return ServiceOutcome::Ignored();
    if (!m_db.DeleteProfile(m_items[index].m_id)) return ServiceOutcome::Failed();
    m_items.erase(m_items.begin() + index);
    // The profile that moved into the deleted place, or the new last one; list and current agree.
    MakeCurrent(std::min(index, static_cast<int>(m_items.size()) - 1));
    m_arm.ArmSoftwarePlayback();
    m_jobs.QueueJob(JOB_WRITE_PROFILE);
    m_jobs.ShowWaitDialog();
    return ServiceOutcome::Done();
}

ServiceOutcome ProfileService::SelectProfile(int index) {
    if (index < 0 || index >= static_cast<int>(m_items.size())) return ServiceOutcome::Ignored();
    MakeCurrent(index);
    m_arm.ArmSoftwarePlayback();
    return ServiceOutcome::Done();
}

ServiceOutcome ProfileService::SwitchToProfile(int profileId) {
    const int index = IndexOf(profileId);
    return index < 0 ? ServiceOutcome::Ignored() : SelectProfile(index);
}

ServiceOutcome ProfileService::RenameProfile(int index, const std::string& text) {
    if (index < 0 || index >= static_cast<int>(m_items.size())) return ServiceOutcome::Ignored();
    ProfileListItem& item = m_items[index];
    if (text.empty() || ContainsForbiddenWord(text)) {
        item.m_shownName = DisplayName(NamedList::Profiles, item.m_storedName);
        return ServiceOutcome::Refused(TXT_RENAME, TXT_NAME_INVALID);
    }
    if (!m_db.RenameProfile(item.m_id, text)) {
        item.m_shownName = DisplayName(NamedList::Profiles, item.m_storedName);
        return ServiceOutcome::Failed();
    }
    item = MakeItem(item.m_id, text);
    return ServiceOutcome::Done();
}

ServiceOutcome ProfileService::RestoreDefaults() {
    const int profile = CurrentProfile();
    if (profile <= 0) return ServiceOutcome::Ignored();
    m_db.DeleteKeyAssignments(profile);
    m_keys.ShowProfileKeys(profile);
    m_arm.ArmSoftwarePlayback();
    return ServiceOutcome::Done();
}

void ProfileService::ApplyLanguage() {
    for (ProfileListItem& item : m_items)
        item.m_shownName = DisplayName(NamedList::Profiles, item.m_storedName);
}

ServiceOutcome ProfileService::ExportProfile(int index, const std::string& path) {
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return ServiceOutcome::Refused(TXT_EXPORT_PROFILE_TITLE, TXT_SELECT_PROFILE_FIRST);
    const ProfileListItem& item = m_items[index];
    return ::ExportProfile(m_db, item.m_id, item.m_shownName, path) == ExchangeStatus::Done
               ? ServiceOutcome::Done()
               : ServiceOutcome::Failed();
}

ServiceOutcome ProfileService::ImportProfile(const std::string& path, MacroEditor* macros) {
    if (static_cast<int>(m_items.size()) >= kMaxProfiles)
        return ServiceOutcome::Refused(TXT_PROFILE, TXT_PROFILE_LIMIT);
    const ProfileImportResult result = ::ImportProfile(m_db, path);
    if (result.m_status != ExchangeStatus::Done || result.m_profileId <= 0) return ServiceOutcome::Failed();
    if (macros) macros->AppendCreated(result.m_createdMacros);
    m_items.push_back(MakeItem(result.m_profileId, result.m_profileName));
    MakeCurrent(static_cast<int>(m_items.size()) - 1);
    m_arm.ArmSoftwarePlayback();
    return ServiceOutcome::Done();
}
