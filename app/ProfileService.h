// The profile list without a window: the first profiles, add, delete, select, rename, display
// names, the current profile's defaults, and profile files.
#pragma once

#include "keys/IPlaybackArm.h"
#include "keys/ServiceOutcome.h"

#include <string>
#include <vector>

class IJobSink;
class KeyAssignmentService;
class MacroEditor;
class ProfileDatabase;

struct ProfileListItem {
    int m_id = 0;
    std::string m_storedName;
    std::string m_shownName;
};

class ProfileService {
public:
    static constexpr int kMaxProfiles = 200;

    ProfileService(ProfileDatabase& database, KeyAssignmentService& keys, IPlaybackArm& arm, IJobSink& jobs);

    // Reads the list (creating the three first profiles on an empty database) and shows the
    // stored current profile, or the first one, which is then stored.
    void LoadProfileList();
    const std::vector<ProfileListItem>& Items() const { return m_items; }
    int SelectedIndex() const { return m_selected; }
    int CurrentProfile() const;
    int IndexOf(int profileId) const;

    // Adds "<Profile> n" (the first free n), or `name` when given; refused at 200 profiles and
    // for a given name that is empty or holds a forbidden word. The new profile becomes current.
    ServiceOutcome AddProfile(const std::string& name = {});
    // Deletes the profile at `index` (never the last one left); the profile that moves into its
    // place, or the new last one, becomes current and selected; queues the keyboard's rewrite.
    ServiceOutcome DeleteProfile(int index);
    ServiceOutcome SelectProfile(int index);
    // Stores `text` as the name at `index`; an empty text or one holding a forbidden word is
    // refused and the list shows the old name again.
    ServiceOutcome RenameProfile(int index, const std::string& text);
    // Switches to profile `profileId` (a profile-switch key).
    ServiceOutcome SwitchToProfile(int profileId);
    // Deletes every key assignment of the current profile.
    ServiceOutcome RestoreDefaults();
    // Rewrites the shown names for the current language.
    void ApplyLanguage();

    // Profile files. The import appends its new macros to `macros` when given.
    ServiceOutcome ExportProfile(int index, const std::string& path);
    ServiceOutcome ImportProfile(const std::string& path, MacroEditor* macros);

private:
    void MakeCurrent(int index);
    ProfileListItem MakeItem(int id, const std::string& storedName) const;

    ProfileDatabase& m_db;
    KeyAssignmentService& m_keys;
    IPlaybackArm& m_arm;
    IJobSink& m_jobs;
    std::vector<ProfileListItem> m_items;
    int m_selected = -1;
};
