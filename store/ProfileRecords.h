// Row records of the profile database: one plain struct per table, texts UTF-8, integers 32-bit.
#pragma once

#include <string>

// t_profile_data. status 1 marks the current profile.
struct ProfileRecord {
    int profileId = 0;
    std::string name;
    std::string app;
    int type = 0;
    int status = 0;
};

// t_key_macro_data. The function columns carry the key function code; macro type 3 plays macro `macroValue`.
struct KeyAssignmentRecord {
    int keyId = 0;
    int profile = 0;
    int fnLayer = 0;
    int keyCode = 0;
    int layoutValue = 0;
    std::string layoutDesc;
    int macroType = 0;
    int macroValue = 0;
    int macroValue2 = 0;
    int macroValue3 = 0;
    std::string macroDesc;
};

// t_key_otherdata, identified by its row id (the macro value key assignments refer to).
struct KeyExtraRecord {
    std::string description;
    std::string parameter;
    int type = 0;
};

// t_macro_data.
struct MacroRecord {
    int macroId = 0;
    std::string name;
    int linkCount = 0;
    int playTimes = 0;
    int delayType = 0;
    int delayTime = 0;
};

// t_macrorecord: one key press, release or pause of a macro.
struct MacroEventRecord {
    int recordId = 0;
    int macroId = 0;
    int type = 0;
    int recordIndex = 0;
    int value = 0;
    int delayTime = 0;
    std::string description;
};

// t_light_data: one light effect of a profile; status 1 marks the selected effect.
struct LightModeRecord {
    int lightId = 0;
    int profile = 0;
    std::string name;
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorIndex = 0;
    int colorValue = 0;
    int configFunc = 0;
    int reserved = 0;
    int status = 0;
};

// t_key_light_data: one key's colour (COLORREF) in a colour set; light id 128 is the shared custom set.
struct KeyLightRecord {
    int keyLightId = 0;
    int profile = 0;
    int lightId = 0;
    int keyCode = 0;
    int keyRgb = 0;
};

// t_musiclayer_data (the sel column is not part of the record).
struct MusicLayerRecord {
    int layerId = 0;
    int profile = 0;
    std::string name;
    int deviceIndex = 0;
    int foreMode = 0;
    int foreAmplitude = 0;
    int backMode = 0;
    int backBrightness = 0;
};
