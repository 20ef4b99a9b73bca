// The process-wide profile database: one SQLite file per keyboard model and every operation on its rows.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "store/ProfileRecords.h"
#include "store/SQLiteDB.h"

// What the last Open found, so the window can tell an unreadable file from a missing folder.
enum class DatabaseOpenResult {
    NotOpened,    // no Open yet, or closed since
    Opened,       // an existing file
    Created,      // a new file with the schema
    Unreadable,   // the file exists but is not a database (or is damaged); it was left untouched
    Failed,       // the file could not be opened or created (folder missing, no permission, schema failed)
};

class ProfileDatabase {
public:
    // The custom per-key colour set shared by all profiles.
    static constexpr int kCustomLightId = 128;

    ProfileDatabase();
    ~ProfileDatabase();
    ProfileDatabase(const ProfileDatabase&) = delete;
    ProfileDatabase& operator=(const ProfileDatabase&) = delete;

    // "<dataFolder>db/<keyboardName>_data_v14.db"; a missing trailing "/" on the folder is added.
    static std::string DatabasePath(const std::string& dataFolder, const std::string& keyboardName);

    // Opens the model's file, creating it with the schema when it does not exist. Never overwrites
    // an existing file: one that is not a database makes Open fail (see GetOpenResult).
    bool Open(const std::string& dataFolder, const std::string& keyboardName);
    // Runs the schema on a newly created file; succeeds only when every statement does.
    bool CreateSchema();
    bool Close();
    // Removes the model's file with its WAL companions. Refused (false) while a connection is open.
    // A file that is not a readable database is renamed to "<file>.unreadable" instead of deleted.
    bool DeleteDatabaseFile(const std::string& dataFolder, const std::string& keyboardName);
    // The order a layout load uses: close when open, then open the model's file.
    bool SwitchModel(const std::string& dataFolder, const std::string& keyboardName);

    bool IsOpen() const { return m_open; }
    DatabaseOpenResult GetOpenResult() const { return m_openResult; }
    const std::string& GetPath() const { return m_path; }

    // Profiles
    int InsertProfile(const ProfileRecord& record);
    bool DeleteProfile(int profileId);
    bool RenameProfile(int profileId, const std::string& name);
    bool GetProfileName(int profileId, std::string& name);
    int LoadProfiles(std::vector<ProfileRecord>& list);
    bool SelectProfile(int profileId);
    int GetSelectedProfile();
    // On an empty profile table: "<baseName> 1" to "<baseName> 3", the configuration rows, the first
    // made current, all in one transaction. True when the profiles were created.
    bool CreateFirstProfiles(const std::string& baseName);
    void InsertDefaultConfig();

    // Key assignments
    int SaveKeyAssignment(const KeyAssignmentRecord& record);
    bool LoadKeyAssignment(int profile, int fnLayer, int keyCode, KeyAssignmentRecord& record);
    int LoadKeyAssignments(int profile, int fnLayer, std::vector<KeyAssignmentRecord>& list);
    void DeleteKeyAssignments(int profile);

    // Key extra data
    int InsertKeyExtra(const std::string& description, const std::string& parameter, int type);
    bool LoadKeyExtra(int macroValue, std::string& description, std::string& parameter, int& type);

    // Macros and their events
    int CreateMacro(const std::string& name);
    int InsertMacro(const MacroRecord& record);
    bool RenameMacro(int macroId, const std::string& name);
    bool UpdateMacroSettings(const MacroRecord& record);
    bool DeleteMacro(int macroId);
    bool GetMacroPlayTimes(int macroId, int& times);
    bool LoadMacro(int macroId, MacroRecord& record);
    int LoadMacros(std::vector<MacroRecord>& list);
    int InsertMacroEvent(const MacroEventRecord& record);
    void SaveMacroEvents(const std::vector<MacroEventRecord>& list);
    int LoadMacroEvents(int macroId, std::vector<MacroEventRecord>& list);
    bool DeleteMacroEvents(int macroId);
    int CountMacroActions(int macroId);

    // Light modes
    int CountLightModes(int profile);
    int InsertLightMode(const LightModeRecord& record);
    bool UpdateLightMode(int profile, int mode, const LightModeRecord& record);
    bool SelectLightMode(int profile, int mode);
    int GetSelectedLightMode(int profile);
    bool LoadLightMode(int profile, int mode, LightModeRecord& record);
    int LoadLightModes(int profile, std::vector<LightModeRecord>& list);

    // Per-key colours
    int SaveKeyLights(const std::vector<KeyLightRecord>& list);
    bool DeleteKeyLights(int lightId);
    int LoadKeyLights(int lightId, std::vector<KeyLightRecord>& list);

    // Music-rhythm layers (the system has one layer, id 1, of profile 1)
    int CountMusicLayers(int profile);
    int InsertMusicLayer(const std::string& name, int foreMode);
    bool LoadMusicLayer(int layerId, MusicLayerRecord& record);
    bool UpdateMusicLayer(const MusicLayerRecord& record);
    bool SelectMusicLayer(int profile, int layerId);
    int GetSelectedMusicLayer(int profile);

    // For SQLiteAutoTransaction and tests.
    SQLiteDB& Connection() { return m_db; }
    std::recursive_mutex& Mutex() { return m_mutex; }

private:
    int InsertedId(int stepResult);
    bool OpenExisting();

    SQLiteDB m_db;
    std::recursive_mutex m_mutex;
    std::string m_path;
    std::string m_key;
    std::atomic<bool> m_open = false;   // read by the worker while the window switches models
    std::atomic<DatabaseOpenResult> m_openResult = DatabaseOpenResult::NotOpened;
};

// The single process-wide database object, created on first use.
ProfileDatabase& GetProfileDatabase();
