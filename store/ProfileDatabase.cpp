// The process-wide profile database: one SQLite file per keyboard model and every operation on its rows.
#include "store/ProfileDatabase.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "store/ProfileSql.h"
#include "store/SQLiteAutoTransaction.h"
#include "store/SQLiteStatement.h"

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

// A modifying statement succeeded when its step returned OK, ROW or DONE.
bool Changed(int rc)
{
    return rc == kSqliteOk || rc == kSqliteRow || rc == kSqliteDone;
}

bool FileExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// A file that SQLite never wrote starts with something other than its 16-byte magic.
bool HasSqliteHeader(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char header[16] = {};
    size_t got = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    return got == 0 || (got == sizeof header && std::memcmp(header, "SQLite format 3", 16) == 0);
}

ProfileRecord ReadProfile(SQLiteStatement& s)
{
    ProfileRecord r;
    r.m_profileId = s.ColumnInt(0);
    r.m_name = s.ColumnString(1);
    r.m_status = s.ColumnInt(2);
    r.m_app = s.ColumnString(3);
    r.m_type = s.ColumnInt(4);
    return r;
}

KeyAssignmentRecord ReadKeyAssignment(SQLiteStatement& s)
{
    KeyAssignmentRecord r;
    r.m_keyId = s.ColumnInt(0);
    r.m_profile = s.ColumnInt(1);
    r.m_fnLayer = s.ColumnInt(2);
    r.m_keyCode = s.ColumnInt(3);
    r.m_layoutValue = s.ColumnInt(4);
    r.m_layoutDesc = s.ColumnString(5);
    r.m_macroType = s.ColumnInt(6);
    r.m_macroValue = s.ColumnInt(7);
    r.m_macroValue2 = s.ColumnInt(8);
    r.m_macroValue3 = s.ColumnInt(9);
    r.m_macroDesc = s.ColumnString(10);
    return r;
}

MacroRecord ReadMacro(SQLiteStatement& s)
{
    MacroRecord r;
    r.m_macroId = s.ColumnInt(0);
    r.m_playTimes = s.ColumnInt(1);
    r.m_delayType = s.ColumnInt(2);
    r.m_delayTime = s.ColumnInt(3);
    r.m_linkCount = s.ColumnInt(4);
    r.m_name = s.ColumnString(5);
    return r;
}

MacroEventRecord ReadMacroEvent(SQLiteStatement& s)
{
    MacroEventRecord r;
    r.m_recordId = s.ColumnInt(0);
    r.m_macroId = s.ColumnInt(1);
    r.m_type = s.ColumnInt(2);
    r.m_recordIndex = s.ColumnInt(3);
    r.m_description = s.ColumnString(4);
    r.m_value = s.ColumnInt(5);
    r.m_delayTime = s.ColumnInt(6);
    return r;
}

LightModeRecord ReadLightMode(SQLiteStatement& s)
{
    LightModeRecord r;
    r.m_lightId = s.ColumnInt(0);
    r.m_profile = s.ColumnInt(1);
    r.m_name = s.ColumnString(2);
    r.m_mode = s.ColumnInt(3);
    r.m_brightness = s.ColumnInt(4);
    r.m_speed = s.ColumnInt(5);
    r.m_direction = s.ColumnInt(6);
    r.m_colorful = s.ColumnInt(7);
    r.m_colorIndex = s.ColumnInt(8);
    r.m_colorValue = s.ColumnInt(9);
    r.m_configFunc = s.ColumnInt(10);
    r.m_reserved = s.ColumnInt(11);
    r.m_status = s.ColumnInt(12);
    return r;
}

KeyLightRecord ReadKeyLight(SQLiteStatement& s)
{
    KeyLightRecord r;
    r.m_keyLightId = s.ColumnInt(0);
    r.m_profile = s.ColumnInt(1);
    r.m_lightId = s.ColumnInt(2);
    r.m_keyCode = s.ColumnInt(3);
    r.m_keyRgb = s.ColumnInt(4);
    return r;
}

MusicLayerRecord ReadMusicLayer(SQLiteStatement& s)
{
    MusicLayerRecord r;
    r.m_layerId = s.ColumnInt(0);
    r.m_profile = s.ColumnInt(1);
    r.m_name = s.ColumnString(2);
    r.m_deviceIndex = s.ColumnInt(3);
    r.m_foreMode = s.ColumnInt(4);
    r.m_foreAmplitude = s.ColumnInt(5);
    r.m_backMode = s.ColumnInt(6);
    r.m_backBrightness = s.ColumnInt(7);
    return r;
}

void BindMacroEvent(SQLiteStatement& s, const MacroEventRecord& e)
{
    s.BindInt(1, e.m_macroId);
    s.BindInt(2, e.m_type);
    s.BindInt(3, e.m_recordIndex);
    s.BindText(4, e.m_description);
    s.BindInt(5, e.m_value);
    s.BindInt(6, e.m_delayTime);
}

void BindKeyLight(SQLiteStatement& s, const KeyLightRecord& k)
{
    s.BindInt(1, k.m_profile);
    s.BindInt(2, k.m_lightId);
    s.BindInt(3, k.m_keyCode);
    s.BindInt(4, k.m_keyRgb);
}

} // namespace

ProfileDatabase::ProfileDatabase() = default;

ProfileDatabase::~ProfileDatabase()
{
    if (m_open)
        Close();
    m_path.clear();
    m_key.clear();
}

ProfileDatabase& GetProfileDatabase()
{
    static ProfileDatabase database;
    return database;
}

std::string ProfileDatabase::DatabasePath(const std::string& dataFolder, const std::string& keyboardName)
{
    std::string path = dataFolder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + "db/" + keyboardName + "_data_v14.db";
}

int ProfileDatabase::InsertedId(int stepResult)
{
    return Changed(stepResult) ? static_cast<int>(m_db.LastInsertRowId()) : 0;
}

// ---- Opening and closing -------------------------------------------------------------------

bool ProfileDatabase::Open(const std::string& dataFolder, const std::string& keyboardName)
{
    // Opening normally happens while no other thread uses the database; the lock makes sure of it.
    Lock lock(m_mutex);
    std::string path = DatabasePath(dataFolder, keyboardName);
    if (m_db.IsOpen() && path == m_path)
        return m_open = true;
    // A connection left open on another model's file (after a failed schema) must not serve this model.
    if (m_db.IsOpen() && !m_db.Close()) {
        m_openResult = DatabaseOpenResult::Failed;
        return m_open = false;
    }
    m_path = path;
    bool ok = false;
    if (!FileExists(m_path)) {
        ok = CreateSchema();
        m_openResult = ok ? DatabaseOpenResult::Created : DatabaseOpenResult::Failed;
    } else {
        ok = OpenExisting();
    }
    return m_open = ok;
}

bool ProfileDatabase::OpenExisting()
{
    if (!m_db.Open(m_path.c_str(), m_key, kOpenReadWriteFullMutex)) {
        int rc = m_db.LastOpenError();
        m_openResult = (rc == kSqliteNotADatabase || rc == kSqliteCorrupt) ? DatabaseOpenResult::Unreadable
                                                                            : DatabaseOpenResult::Failed;
        return false;
    }
    // A file whose creation was cut short gets its missing tables; complete files are not changed.
    {
        SQLiteAutoTransaction transaction(this);
        for (const char* sql : ProfileSql::kSchema)
            m_db.Execute(sql);
    }
    m_openResult = DatabaseOpenResult::Opened;
    return true;
}

bool ProfileDatabase::CreateSchema()
{
    if (m_db.IsOpen())
        return true;
    if (!m_db.Open(m_path.c_str(), m_key, kOpenCreateReadWriteFullMutex))
        return false;
    bool ok = true;
    {
        // One transaction: a crash leaves either the whole schema or an empty file.
        SQLiteAutoTransaction transaction(this);
        for (const char* sql : ProfileSql::kSchema)
            ok = m_db.Execute(sql) == kSqliteOk && ok;
        if (ok)
            ok = transaction.End();
        else
            transaction.Rollback();
    }
    if (!ok)
        m_db.Close();
    return ok;
}

bool ProfileDatabase::Close()
{
    Lock lock(m_mutex);
    // Closing after a failed open keeps what the open found: the reset's delete relies on it.
    if (!m_db.IsOpen()) {
        m_open = false;
        return true;
    }
    bool ok = m_db.Close();
    if (ok) {
        m_open = false;
        m_openResult = DatabaseOpenResult::NotOpened;
    }
    return ok;
}

bool ProfileDatabase::SwitchModel(const std::string& dataFolder, const std::string& keyboardName)
{
    Lock lock(m_mutex);
    if (m_open) {
        Close();
        m_open = false;
    }
    return Open(dataFolder, keyboardName);
}

bool ProfileDatabase::DeleteDatabaseFile(const std::string& dataFolder, const std::string& keyboardName)
{
    Lock lock(m_mutex);
    // Unlinking a file that is still open would leave the program writing into a file nobody can reach.
    if (m_db.IsOpen())
        return false;
    std::string path = DatabasePath(dataFolder, keyboardName);
    if (!FileExists(path))
        return false;
    bool unreadable = !HasSqliteHeader(path)
        || (path == m_path && m_openResult == DatabaseOpenResult::Unreadable);
    if (unreadable) {
        // Someone's data may still be recoverable from it: keep it beside the new file.
        std::string aside = path + ".unreadable";
        std::rename((path + "-wal").c_str(), (aside + "-wal").c_str());
        ::unlink((path + "-shm").c_str());
        return std::rename(path.c_str(), aside.c_str()) == 0;
    }
    // A stale WAL beside a new file would be replayed into it.
    ::unlink((path + "-wal").c_str());
    ::unlink((path + "-shm").c_str());
    return ::unlink(path.c_str()) == 0;
}

// ---- Profiles ------------------------------------------------------------------------------

int ProfileDatabase::InsertProfile(const ProfileRecord& record)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kInsertProfile, -1);
    s.BindText(1, record.m_name);
    s.BindInt(2, 0);
    s.BindText(3, record.m_app);
    s.BindInt(4, 0);
    return InsertedId(s.Step());
}

bool ProfileDatabase::DeleteProfile(int profileId)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kDeleteProfile, -1);
    s.BindInt(1, profileId);
    return Changed(s.Step());
}

bool ProfileDatabase::RenameProfile(int profileId, const std::string& name)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kRenameProfile, -1);
    s.BindText(1, name);
    s.BindInt(2, profileId);
    return Changed(s.Step());
}

bool ProfileDatabase::GetProfileName(int profileId, std::string& name)
{
    Lock lock(m_mutex);
    name.clear();
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectProfileName, -1);
    s.BindInt(1, profileId);
    if (s.Step() != kSqliteRow)
        return false;
    name = s.ColumnString(0);
    return true;
}

int ProfileDatabase::LoadProfiles(std::vector<ProfileRecord>& list)
{
    Lock lock(m_mutex);
    list.clear();
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectProfiles, -1);
    while (s.Step() == kSqliteRow)
        list.push_back(ReadProfile(s));
    return static_cast<int>(list.size());
}

bool ProfileDatabase::SelectProfile(int profileId)
{
    // Both updates in one transaction, so a crash never leaves the table without a current profile.
    SQLiteAutoTransaction transaction(this);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kClearProfileStatus, -1);
    s.BindInt(1, 0);
    s.Step();
    m_db.Prepare(s, ProfileSql::kSetProfileStatus, -1);
    s.BindInt(1, 1);
    s.BindInt(2, profileId);
    bool ok = Changed(s.Step());
    s.Finalize();
    if (!ok) {
        transaction.Rollback();
        return false;
    }
    return transaction.End();
}

int ProfileDatabase::GetSelectedProfile()
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectCurrentProfile, -1);
    s.BindInt(1, 1);
    return s.Step() == kSqliteRow ? s.ColumnInt(0) : 0;
}

void ProfileDatabase::InsertDefaultConfig()
{
    static const char* const kRows[][2] = {
        {"version", "1.0.1"},   {"keyboard_layout", "1"}, {"fn_layer", "0"},       {"lightmode", "1"},
        {"sleep_light", "1"},   {"userlight", "0"},       {"customlight_run", "0"}, {"gamemode", "0"},
        {"disable_alttab", "0"}, {"disable_altf4", "0"},  {"disable_win", "0"},
    };
    Lock lock(m_mutex);
    SQLiteStatement s;
    for (const auto& row : kRows) {
        m_db.Prepare(s, ProfileSql::kInsertConfig, -1);
        s.BindInt(1, 1);
        s.BindText(2, row[0], static_cast<int>(std::strlen(row[0])));
        s.BindText(3, row[1], static_cast<int>(std::strlen(row[1])));
        s.Step();
    }
}

bool ProfileDatabase::CreateFirstProfiles(const std::string& baseName)
{
    SQLiteAutoTransaction transaction(this);
    std::vector<ProfileRecord> existing;
    if (!m_db.IsOpen() || LoadProfiles(existing) != 0)
        return false;
    int firstId = 0;
    for (int n = 1; n <= 3; ++n) {
        ProfileRecord record;
        record.m_name = baseName + " " + std::to_string(n);
        int id = InsertProfile(record);
        if (id <= 0) {
            transaction.Rollback();
            return false;
        }
        if (n == 1) {
            firstId = id;
            InsertDefaultConfig();
        }
    }
    if (!SelectProfile(firstId)) {
        transaction.Rollback();
        return false;
    }
    return transaction.End();
}

// ---- Key assignments and extra data --------------------------------------------------------

int ProfileDatabase::SaveKeyAssignment(const KeyAssignmentRecord& r)
{
    if (r.m_keyCode == 0)
        return 0;
    // Delete and insert commit together: a failed insert must not cost the key its old function.
    SQLiteAutoTransaction transaction(this);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kDeleteKeyAssignment, -1);
    s.BindInt(1, r.m_profile);
    s.BindInt(2, r.m_fnLayer);
    s.BindInt(3, r.m_keyCode);
    if (!Changed(s.Step())) {
        s.Finalize();
        transaction.Rollback();
        return 0;
    }
    if (r.m_macroValue == 0 && r.m_macroValue2 == 0) {
        s.Finalize();
        transaction.End();
        return 0;
    }
    m_db.Prepare(s, ProfileSql::kInsertKeyAssignment, -1);
    s.BindInt(1, r.m_profile);
    s.BindInt(2, r.m_fnLayer);
    s.BindInt(3, r.m_keyCode);
    s.BindInt(4, r.m_layoutValue);
    s.BindText(5, r.m_layoutDesc);
    s.BindInt(6, r.m_macroType);
    s.BindInt(7, r.m_macroValue);
    s.BindInt(8, r.m_macroValue2);
    s.BindInt(9, r.m_macroValue3);
    s.BindText(10, r.m_macroDesc);
    int id = InsertedId(s.Step());
    s.Finalize();
    if (id == 0) {
        transaction.Rollback();
        return 0;
    }
    return transaction.End() ? id : 0;
}

bool ProfileDatabase::LoadKeyAssignment(int profile, int fnLayer, int keyCode, KeyAssignmentRecord& record)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectKeyAssignment, -1);
    s.BindInt(1, profile);
    s.BindInt(2, fnLayer);
    s.BindInt(3, keyCode);
    if (s.Step() != kSqliteRow)
        return false;
    record = ReadKeyAssignment(s);
    return true;
}

int ProfileDatabase::LoadKeyAssignments(int profile, int fnLayer, std::vector<KeyAssignmentRecord>& list)
{
    Lock lock(m_mutex);
    list.clear();
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectKeyAssignments, -1);
    s.BindInt(1, profile);
    s.BindInt(2, fnLayer);
    while (s.Step() == kSqliteRow)
        list.push_back(ReadKeyAssignment(s));
    return static_cast<int>(list.size());
}

void ProfileDatabase::DeleteKeyAssignments(int profile)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kDeleteKeyAssignments, -1);
    s.BindInt(1, profile);
    s.Step();
}

int ProfileDatabase::InsertKeyExtra(const std::string& description, const std::string& parameter, int type)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kInsertKeyExtra, -1);
    s.BindText(1, description);
    s.BindText(2, parameter);
    s.BindInt(3, type);
    return InsertedId(s.Step());
}

bool ProfileDatabase::LoadKeyExtra(int macroValue, std::string& description, std::string& parameter, int& type)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectKeyExtra, -1);
    s.BindInt(1, macroValue);
    if (s.Step() == kSqliteRow) {
        description = s.ColumnString(0);
        parameter = s.ColumnString(1);
        type = s.ColumnInt(2);
    }
    return true;
}

// ---- Macros --------------------------------------------------------------------------------

int ProfileDatabase::CreateMacro(const std::string& name)
{
    MacroRecord record;
    record.m_name = name;
    record.m_playTimes = 1;
    record.m_delayType = 1;
    return InsertMacro(record);
}

int ProfileDatabase::InsertMacro(const MacroRecord& r)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kInsertMacro, -1);
    s.BindInt(1, r.m_playTimes);
    s.BindInt(2, r.m_delayType);
    s.BindInt(3, r.m_delayTime);
    s.BindInt(4, r.m_linkCount);
    s.BindText(5, r.m_name);
    return InsertedId(s.Step());
}

bool ProfileDatabase::RenameMacro(int macroId, const std::string& name)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kRenameMacro, -1);
    s.BindText(1, name);
    s.BindInt(2, macroId);
    return Changed(s.Step());
}

bool ProfileDatabase::UpdateMacroSettings(const MacroRecord& r)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kUpdateMacroSettings, -1);
    s.BindInt(1, r.m_playTimes);
    s.BindInt(2, r.m_delayType);
    s.BindInt(3, r.m_delayTime);
    s.BindInt(4, r.m_macroId);
    return Changed(s.Step());
}

bool ProfileDatabase::DeleteMacro(int macroId)
{
    // The macro, its events and the keys that play it go together or not at all.
    SQLiteAutoTransaction transaction(this);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kDeleteMacro, -1);
    s.BindInt(1, macroId);
    if (!Changed(s.Step())) {
        s.Finalize();
        transaction.Rollback();
        return false;
    }
    m_db.Prepare(s, ProfileSql::kDeleteMacroEvents, -1);
    s.BindInt(1, macroId);
    s.Step();
    m_db.Prepare(s, ProfileSql::kDeleteMacroKeys, -1);
    s.BindInt(1, 3);
    s.BindInt(2, macroId);
    bool ok = Changed(s.Step());
    s.Finalize();
    if (!ok) {
        transaction.Rollback();
        return false;
    }
    return transaction.End();
}

bool ProfileDatabase::GetMacroPlayTimes(int macroId, int& times)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectMacroPlayTimes, -1);
    s.BindInt(1, macroId);
    if (s.Step() != kSqliteRow)
        return false;
    times = s.ColumnInt(0);
    return true;
}

bool ProfileDatabase::LoadMacro(int macroId, MacroRecord& record)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectMacro, -1);
    s.BindInt(1, macroId);
    if (s.Step() != kSqliteRow)
        return false;
    record = ReadMacro(s);
    return true;
}

int ProfileDatabase::LoadMacros(std::vector<MacroRecord>& list)
{
    Lock lock(m_mutex);
    list.clear();
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectMacros, -1);
    while (s.Step() == kSqliteRow)
        list.push_back(ReadMacro(s));
    return static_cast<int>(list.size());
}

int ProfileDatabase::InsertMacroEvent(const MacroEventRecord& record)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kInsertMacroEvent, -1);
    BindMacroEvent(s, record);
    return InsertedId(s.Step());
}

void ProfileDatabase::SaveMacroEvents(const std::vector<MacroEventRecord>& list)
{
    SQLiteStatement s;
    SQLiteAutoTransaction transaction(this);
    transaction.Begin();
    // One prepare for the batch; each row re-binds the same statement.
    if (m_db.Prepare(s, ProfileSql::kInsertMacroEvent, -1) == kSqliteOk) {
        for (const MacroEventRecord& event : list) {
            s.Reset();
            BindMacroEvent(s, event);
            s.Step();
        }
    }
    s.Finalize();
    transaction.End();
}

int ProfileDatabase::LoadMacroEvents(int macroId, std::vector<MacroEventRecord>& list)
{
    Lock lock(m_mutex);
    list.clear();
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectMacroEvents, -1);
    s.BindInt(1, macroId);
    while (s.Step() == kSqliteRow)
        list.push_back(ReadMacroEvent(s));
    return static_cast<int>(list.size());
}

bool ProfileDatabase::DeleteMacroEvents(int macroId)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kDeleteMacroEvents, -1);
    s.BindInt(1, macroId);
    return Changed(s.Step());
}

int ProfileDatabase::CountMacroActions(int macroId)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectMacroEvents, -1);
    s.BindInt(1, macroId);
    int count = 0;
    while (s.Step() == kSqliteRow) {
        if (s.ColumnInt(2) != 1)
            ++count;
    }
    return count;
}

// ---- Light modes ---------------------------------------------------------------------------

int ProfileDatabase::CountLightModes(int profile)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kCountLightModes, -1);
    s.BindInt(1, profile);
    return s.Step() == kSqliteRow ? s.ColumnInt(0) : 0;
}

int ProfileDatabase::InsertLightMode(const LightModeRecord& r)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kInsertLightMode, -1);
    s.BindInt(1, r.m_profile);
    s.BindText(2, r.m_name);
    s.BindInt(3, r.m_mode);
    s.BindInt(4, r.m_brightness);
    s.BindInt(5, r.m_speed);
    s.BindInt(6, r.m_direction);
    s.BindInt(7, r.m_colorful);
    s.BindInt(8, r.m_colorIndex);
    s.BindInt(9, r.m_colorValue);
    s.BindInt(10, r.m_configFunc);
    s.BindInt(11, r.m_reserved);
    s.BindInt(12, r.m_status);
    return InsertedId(s.Step());
}

bool ProfileDatabase::UpdateLightMode(int profile, int mode, const LightModeRecord& r)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kUpdateLightMode, -1);
    s.BindInt(1, r.m_brightness);
    s.BindInt(2, r.m_speed);
    s.BindInt(3, r.m_direction);
    s.BindInt(4, r.m_colorful);
    s.BindInt(5, r.m_colorIndex);
    s.BindInt(6, r.m_colorValue);
    s.BindInt(7, r.m_configFunc);
    s.BindInt(8, r.m_reserved);
    s.BindInt(9, profile);
    s.BindInt(10, mode);
    return Changed(s.Step());
}

bool ProfileDatabase::SelectLightMode(int profile, int mode)
{
    SQLiteAutoTransaction transaction(this);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kClearLightStatus, -1);
    s.BindInt(1, 0);
    s.Step();
    m_db.Prepare(s, ProfileSql::kSetLightStatus, -1);
    s.BindInt(1, 1);
    s.BindInt(2, profile);
    s.BindInt(3, mode);
    bool ok = Changed(s.Step());
    s.Finalize();
    if (!ok) {
        transaction.Rollback();
        return false;
    }
    return transaction.End();
}

int ProfileDatabase::GetSelectedLightMode(int profile)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectCurrentLightMode, -1);
    s.BindInt(1, profile);
    s.BindInt(2, 1);
    return s.Step() == kSqliteRow ? s.ColumnInt(0) : 0;
}

bool ProfileDatabase::LoadLightMode(int profile, int mode, LightModeRecord& record)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectLightMode, -1);
    s.BindInt(1, profile);
    s.BindInt(2, mode);
    if (s.Step() != kSqliteRow)
        return false;
    record = ReadLightMode(s);
    return true;
}

int ProfileDatabase::LoadLightModes(int profile, std::vector<LightModeRecord>& list)
{
    Lock lock(m_mutex);
    list.clear();
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectLightModes, -1);
    s.BindInt(1, profile);
    while (s.Step() == kSqliteRow)
        list.push_back(ReadLightMode(s));
    return static_cast<int>(list.size());
}

// ---- Per-key colours -----------------------------------------------------------------------

int ProfileDatabase::SaveKeyLights(const std::vector<KeyLightRecord>& list)
{
    SQLiteStatement s;
    SQLiteAutoTransaction transaction(this);
    transaction.Begin();
    int saved = 0;
    if (m_db.Prepare(s, ProfileSql::kInsertKeyLight, -1) == kSqliteOk) {
        for (const KeyLightRecord& entry : list) {
            s.Reset();
            BindKeyLight(s, entry);
            if (Changed(s.Step()))
                ++saved;
        }
    }
    s.Finalize();
    transaction.End();
    return saved;
}

bool ProfileDatabase::DeleteKeyLights(int lightId)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kDeleteKeyLights, -1);
    s.BindInt(1, lightId);
    return Changed(s.Step());
}

int ProfileDatabase::LoadKeyLights(int lightId, std::vector<KeyLightRecord>& list)
{
    Lock lock(m_mutex);
    list.clear();
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectKeyLights, -1);
    s.BindInt(1, lightId);
    while (s.Step() == kSqliteRow)
        list.push_back(ReadKeyLight(s));
    return static_cast<int>(list.size());
}

// ---- Music-rhythm layers -------------------------------------------------------------------

int ProfileDatabase::CountMusicLayers(int profile)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kCountMusicLayers, -1);
    s.BindInt(1, profile);
    return s.Step() == kSqliteRow ? s.ColumnInt(0) : 0;
}

int ProfileDatabase::InsertMusicLayer(const std::string& name, int foreMode)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kInsertMusicLayer, -1);
    s.BindInt(1, 1);
    s.BindText(2, name);
    s.BindInt(3, 0);
    s.BindInt(4, foreMode);
    s.BindInt(5, 300);
    s.BindInt(6, 0);
    s.BindInt(7, 100);
    s.BindInt(8, 0);
    return InsertedId(s.Step());
}

bool ProfileDatabase::LoadMusicLayer(int layerId, MusicLayerRecord& record)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectMusicLayer, -1);
    s.BindInt(1, layerId);
    if (s.Step() != kSqliteRow)
        return false;
    record = ReadMusicLayer(s);
    return true;
}

bool ProfileDatabase::UpdateMusicLayer(const MusicLayerRecord& r)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kUpdateMusicLayer, -1);
    s.BindInt(1, r.m_deviceIndex);
    s.BindInt(2, r.m_foreMode);
    s.BindInt(3, r.m_foreAmplitude);
    s.BindInt(4, r.m_backMode);
    s.BindInt(5, r.m_backBrightness);
    s.BindInt(6, 1);   // the single layer, whatever id the record carries
    return Changed(s.Step());
}

bool ProfileDatabase::SelectMusicLayer(int profile, int layerId)
{
    SQLiteAutoTransaction transaction(this);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kClearMusicLayerSel, -1);
    s.BindInt(1, 0);
    s.BindInt(2, profile);
    s.Step();
    m_db.Prepare(s, ProfileSql::kSetMusicLayerSel, -1);
    s.BindInt(1, 1);
    s.BindInt(2, profile);
    s.BindInt(3, layerId);
    bool ok = Changed(s.Step());
    s.Finalize();
    if (!ok) {
        transaction.Rollback();
        return false;
    }
    return transaction.End();
}

int ProfileDatabase::GetSelectedMusicLayer(int profile)
{
    Lock lock(m_mutex);
    SQLiteStatement s;
    m_db.Prepare(s, ProfileSql::kSelectCurrentMusicLayer, -1);
    s.BindInt(1, profile);
    s.BindInt(2, 1);
    return s.Step() == kSqliteRow ? s.ColumnInt(0) : 0;
}
