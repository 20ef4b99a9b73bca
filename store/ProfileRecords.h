// Row records of the profile database: one plain struct per table, texts UTF-8, integers 32-bit.
#pragma once

#include <string>

// t_profile_data. status 1 marks the current profile.
struct ProfileRecord {
    int m_profileId = 0;
    std::string m_name;
    std::string m_app;
    int m_type = 0;
    int m_status = 0;
};

// t_key_macro_data. The function columns carry the key function code; macro type 3 plays macro `m_macroValue`.
struct KeyAssignmentRecord {
    int m_keyId = 0;
    int m_profile = 0;
    int m_fnLayer = 0;
    int m_keyCode = 0;
    int m_layoutValue = 0;
    std::string m_layoutDesc;
    int m_macroType = 0;
    int m_macroValue = 0;
    int m_macroValue2 = 0;
    int m_macroValue3 = 0;
    std::string m_macroDesc;
};

// t_key_otherdata, identified by its row id (the macro value key assignments refer to).
struct KeyExtraRecord {
    std::string m_description;
    std::string m_parameter;
    int m_type = 0;
};

// t_macro_data.
struct MacroRecord {
    int m_macroId = 0;
    std::string m_name;
    int m_linkCount = 0;
    int m_playTimes = 0;
    int m_delayType = 0;
    int m_delayTime = 0;
};

// t_macrorecord: one key press, release or pause of a macro.
struct MacroEventRecord {
    int m_recordId = 0;
    int m_macroId = 0;
    int m_type = 0;
    int m_recordIndex = 0;
    int m_value = 0;
    int m_delayTime = 0;
    std::string m_description;
};

// t_light_data: one light effect of a profile; status 1 marks the selected effect.
struct LightModeRecord {
    int m_lightId = 0;
    int m_profile = 0;
    std::string m_name;
    int m_mode = 0;
    int m_brightness = 0;
    int m_speed = 0;
    int m_direction = 0;
    int m_colorful = 0;
    int m_colorIndex = 0;
    int m_colorValue = 0;
    int m_configFunc = 0;
    int m_reserved = 0;
    int m_status = 0;
};

// t_key_light_data: one key's colour (COLORREF) in a colour set; light id 128 is the shared custom set.
struct KeyLightRecord {
    int m_keyLightId = 0;
    int m_profile = 0;
    int m_lightId = 0;
    int m_keyCode = 0;
    int m_keyRgb = 0;
};

// t_musiclayer_data (the sel column is not part of the record).
struct MusicLayerRecord {
    int m_layerId = 0;
    int m_profile = 0;
    std::string m_name;
    int m_deviceIndex = 0;
    int m_foreMode = 0;
    int m_foreAmplitude = 0;
    int m_backMode = 0;
    int m_backBrightness = 0;
};
