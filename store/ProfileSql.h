// The SQL texts of the profile database, kept byte for byte as older files and tools expect them.
#pragma once

namespace ProfileSql {

inline constexpr const char kSchemaConfigTable[] =
    "CREATE TABLE IF NOT EXISTS t_configdata(config_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t  profile INTEGER, key TEXT, value TEXT)";
inline constexpr const char kSchemaProfileTable[] =
    "CREATE TABLE IF NOT EXISTS t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t  name TEXT, status INTEGER, app TEXT, type INTEGER)";
inline constexpr const char kSchemaProfileIndex[] =
    "CREATE INDEX IF NOT EXISTS profileindex ON t_profile_data(profile)";
inline constexpr const char kSchemaKeyMacroTable[] =
    "CREATE TABLE IF NOT EXISTS t_key_macro_data(key_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\tprofile INTEGER, fn_layer INTEGER, key_code INTEGER, layout_value INTEGER, layout_desc TEXT, \t\t\t\t\t\t\t\tmacro_type INTEGER, macro_value INTEGER, macro_value2 INTEGER, macro_value3 INTEGER, macro_desc TEXT)";
inline constexpr const char kSchemaKeyIndex[] =
    "CREATE INDEX IF NOT EXISTS keyindex ON t_key_macro_data(key_id)";
inline constexpr const char kSchemaKeyOtherTable[] =
    "CREATE TABLE IF NOT EXISTS t_key_otherdata(macro_value INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t  macro_desc TEXT, param TEXT, type INTEGER)";
inline constexpr const char kSchemaOtherIdIndex[] =
    "CREATE INDEX IF NOT EXISTS otheridindex ON t_key_otherdata(macro_value)";
inline constexpr const char kSchemaMacroTable[] =
    "CREATE TABLE IF NOT EXISTS t_macro_data(macro_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t  play_times INTEGER, delay_type INTEGER, delay_time INTEGER, link_count INTEGER, name TEXT)";
inline constexpr const char kSchemaMacroIdIndex[] =
    "CREATE INDEX IF NOT EXISTS macroidindex ON t_macro_data(macro_id)";
inline constexpr const char kSchemaMacroRecordTable[] =
    "CREATE TABLE IF NOT EXISTS t_macrorecord(record_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t  macro_id INTEGER, type INTEGER, record_index INTEGER, desc TEXT, value INTEGER, delay_time INTEGER)";
inline constexpr const char kSchemaMacroRecordIndex[] =
    "CREATE INDEX IF NOT EXISTS macrorecordindex ON t_macrorecord(record_id)";
inline constexpr const char kSchemaLightTable[] =
    "CREATE TABLE IF NOT EXISTS t_light_data(light_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t\t\t  profile INTEGER, name TEXT, mode INTEGER, brightness INTEGER, speed INTEGER, \t\t\t\t\t\t\t\t\t\tdirection INTEGER, colorful INTEGER, colorindex INTEGER, \t\t\t\t\t\t\t\t\t\tcolor_value INTEGER, config_func INTEGER, reserved INTEGER, status INTEGER)";
inline constexpr const char kSchemaLightIndex[] =
    "CREATE INDEX IF NOT EXISTS lightindex ON t_light_data(light_id)";
inline constexpr const char kSchemaKeyLightTable[] =
    "CREATE TABLE IF NOT EXISTS t_key_light_data(keylight_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t   profile INTEGER, light_id INTEGER, key_code INTEGER, key_rgb INTEGER)";
inline constexpr const char kSchemaKeyLightIndex[] =
    "CREATE INDEX IF NOT EXISTS keylightindex ON t_key_light_data(keylight_id)";
inline constexpr const char kSchemaMusicLayerTable[] =
    "CREATE TABLE IF NOT EXISTS t_musiclayer_data(layer_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t   profile INTEGER, name TEXT, deviceindex INTEGER, foremode INTEGER, fore_amplitude INTEGER,\t\t\t\t\t\t\t\t   backmode INTEGER, backb_right INTEGER, sel INTEGER)";
inline constexpr const char kSchemaMusicLayerIndex[] =
    "CREATE INDEX IF NOT EXISTS musiclayerindex ON t_musiclayer_data(layer_id)";

// Rows
inline constexpr const char kInsertConfig[] =
    "INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);";
inline constexpr const char kInsertProfile[] =
    "INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);";
inline constexpr const char kDeleteProfile[] =
    "DELETE FROM t_profile_data WHERE profile = ?";
inline constexpr const char kRenameProfile[] =
    "UPDATE t_profile_data SET name = ? WHERE profile = ?";
inline constexpr const char kSelectProfileName[] =
    "SELECT name FROM t_profile_data WHERE profile = ?";
inline constexpr const char kSelectProfiles[] =
    "SELECT * FROM t_profile_data";
inline constexpr const char kClearProfileStatus[] =
    "UPDATE t_profile_data SET status = ?";
inline constexpr const char kSetProfileStatus[] =
    "UPDATE t_profile_data SET status = ? WHERE profile = ?";
inline constexpr const char kSelectCurrentProfile[] =
    "SELECT profile FROM t_profile_data WHERE status = ?";
inline constexpr const char kDeleteKeyAssignment[] =
    "DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?";
inline constexpr const char kInsertKeyAssignment[] =
    "INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, layout_desc,                     macro_type, macro_value, macro_value2, macro_value3, macro_desc) \t\t\t\t\t VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);";
inline constexpr const char kSelectKeyAssignment[] =
    "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?";
inline constexpr const char kSelectKeyAssignments[] =
    "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?";
inline constexpr const char kDeleteKeyAssignments[] =
    "DELETE FROM t_key_macro_data WHERE profile = ?";
inline constexpr const char kInsertKeyExtra[] =
    "INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);";
inline constexpr const char kSelectKeyExtra[] =
    "SELECT macro_desc, param, type FROM t_key_otherdata WHERE macro_value = ?";
inline constexpr const char kInsertMacro[] =
    "INSERT INTO t_macro_data(play_times, delay_type, delay_time, link_count, name) VALUES (?, ?, ?, ?, ?);";
inline constexpr const char kRenameMacro[] =
    "UPDATE t_macro_data SET name = ? WHERE macro_id = ?";
inline constexpr const char kUpdateMacroSettings[] =
    "UPDATE t_macro_data SET play_times = ?, delay_type = ?, \t\t\t\t\t delay_time = ? WHERE macro_id = ?";
inline constexpr const char kDeleteMacro[] =
    "DELETE FROM t_macro_data WHERE macro_id = ?";
inline constexpr const char kDeleteMacroEvents[] =
    "DELETE FROM t_macrorecord WHERE macro_id = ?";
inline constexpr const char kDeleteMacroKeys[] =
    "DELETE FROM t_key_macro_data WHERE macro_type = ? and macro_value = ?";
inline constexpr const char kSelectMacroPlayTimes[] =
    "SELECT play_times FROM t_macro_data WHERE macro_id = ?";
inline constexpr const char kSelectMacro[] =
    "SELECT * FROM t_macro_data WHERE macro_id = ?";
inline constexpr const char kSelectMacros[] =
    "SELECT * FROM t_macro_data";
inline constexpr const char kInsertMacroEvent[] =
    "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) \t\t\t\t\t VALUES (?, ?, ?, ?, ?, ?);";
inline constexpr const char kSelectMacroEvents[] =
    "SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC";
inline constexpr const char kCountLightModes[] =
    "select count(*) FROM t_light_data WHERE profile = ?";
inline constexpr const char kInsertLightMode[] =
    "INSERT INTO t_light_data(profile, name, mode, brightness, speed, direction, \t\t\t\t\t colorful, colorindex, color_value, config_func, reserved, status) \t\t\t\t\t VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);";
inline constexpr const char kUpdateLightMode[] =
    "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, colorful = ?, colorindex = ?,\t\t\t color_value = ?, config_func = ?, reserved = ? WHERE profile = ? AND mode = ?";
inline constexpr const char kClearLightStatus[] =
    "UPDATE t_light_data SET status = ?";
inline constexpr const char kSetLightStatus[] =
    "UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?";
inline constexpr const char kSelectCurrentLightMode[] =
    "SELECT mode FROM t_light_data WHERE profile = ? and status = ?";
inline constexpr const char kSelectLightMode[] =
    "SELECT * FROM t_light_data WHERE profile = ? AND mode = ?";
inline constexpr const char kSelectLightModes[] =
    "SELECT * FROM t_light_data WHERE profile = ?";
inline constexpr const char kInsertKeyLight[] =
    "INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) VALUES (?, ?, ?, ?);";
inline constexpr const char kDeleteKeyLights[] =
    "DELETE FROM t_key_light_data WHERE light_id = ?";
inline constexpr const char kSelectKeyLights[] =
    "SELECT * FROM t_key_light_data WHERE light_id = ?";
inline constexpr const char kCountMusicLayers[] =
    "select count(*) FROM t_musiclayer_data WHERE profile = ?";
inline constexpr const char kInsertMusicLayer[] =
    "INSERT INTO t_musiclayer_data(profile, name, deviceindex, foremode, fore_amplitude, backmode, backb_right, sel) \t\t\t\t\t\t\t\t\t\t\t\t\tVALUES (?, ?, ?, ?, ?, ?, ?, ?);";
inline constexpr const char kSelectMusicLayer[] =
    "SELECT * FROM t_musiclayer_data WHERE layer_id = ?";
inline constexpr const char kUpdateMusicLayer[] =
    "UPDATE t_musiclayer_data SET deviceindex= ?, foremode= ?, fore_amplitude = ?, backmode= ?, backb_right= ? WHERE layer_id = ?";
inline constexpr const char kClearMusicLayerSel[] =
    "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ?";
inline constexpr const char kSetMusicLayerSel[] =
    "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ? AND layer_id = ?";
inline constexpr const char kSelectCurrentMusicLayer[] =
    "SELECT layer_id FROM t_musiclayer_data WHERE profile = ? AND sel = ?";

// Executed in this order when a new file is created.
inline constexpr const char* kSchema[] = {
    kSchemaConfigTable,
    kSchemaProfileTable,
    kSchemaProfileIndex,
    kSchemaKeyMacroTable,
    kSchemaKeyIndex,
    kSchemaKeyOtherTable,
    kSchemaOtherIdIndex,
    kSchemaMacroTable,
    kSchemaMacroIdIndex,
    kSchemaMacroRecordTable,
    kSchemaMacroRecordIndex,
    kSchemaLightTable,
    kSchemaLightIndex,
    kSchemaKeyLightTable,
    kSchemaKeyLightIndex,
    kSchemaMusicLayerTable,
    kSchemaMusicLayerIndex,
};

} // namespace ProfileSql
