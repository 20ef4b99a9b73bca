// Named ids of the user-visible texts in language/<LCID>.lan, section "KB.DIALOG".
#pragma once

// Look texts up by name: LoadText(TXT_APPLY). Every id here has a text in both shipped language
// files (1033 English, 2052 Simplified Chinese); the language-file test holds them to that.
enum TextId : int {
  // Main window frame: button tooltips and the notification-area menu.
  TXT_CLOSE = 1,
  TXT_MINIMIZE = 2,
  TXT_VISIT_WEBSITE = 5,
  TXT_TRAY_CLOSE_BEHAVIOR = 10,
  TXT_TRAY_QUIT = 11,

  // Buttons of the message box, the close-behaviour dialog and the assignment dialog.
  TXT_OK = 20,
  TXT_APPLY = 22,
  TXT_YES = 23,
  TXT_NO = 25,

  // Close-behaviour dialog; 171 and 172 are also the close button's tooltip.
  TXT_CLOSE_DIALOG_HEADING = 170,
  TXT_CLOSE_TO_TRAY = 171,
  TXT_CLOSE_QUITS = 172,

  // Page tabs and page titles; the home page's status line.
  TXT_TAB_HOME = 50,
  TXT_TAB_KEYS = 51,
  TXT_TAB_MACROS = 52,
  TXT_TAB_LIGHTING = 53,
  TXT_TAB_SETTINGS = 56,
  TXT_STATUS_KEYBOARD_FOUND = 60,
  TXT_STATUS_NO_KEYBOARD = 61,

  // Profile area of the keyboard page: tooltips, the base of new profile names, messages. 26, 27
  // and 33 also caption the macro page's buttons.
  TXT_IMPORT = 26,
  TXT_EXPORT = 27,
  TXT_NEW_PROFILE = 28,
  TXT_RENAME_PROFILE = 29,
  TXT_DELETE_PROFILE = 30,
  TXT_RENAME = 33,
  TXT_PROFILE = 65,
  TXT_DELETE_PROFILE_CONFIRM = 290,
  TXT_DELETE_PROFILE_TITLE = 291,
  TXT_PROFILE_LIMIT = 295,
  TXT_NAME_INVALID = 330,

  // Settings page: captions, confirmations and update messages.
  TXT_LANGUAGE = 150,
  TXT_AUTOSTART = 151,
  TXT_RESTORE_PROFILE_DEFAULTS = 152,
  TXT_FACTORY_RESET = 153,
  TXT_PROGRAM_UPDATE = 156,
  TXT_FIRMWARE_UPDATE = 157,
  TXT_RESTORE_DEFAULTS_CONFIRM = 165,
  TXT_RESTORE_DEFAULTS_TITLE = 166,
  TXT_FACTORY_RESET_CONFIRM = 167,
  TXT_FACTORY_RESET_TITLE = 168,
  TXT_PROGRAM_UP_TO_DATE = 175,
  TXT_FIRMWARE_UPDATE_CONFIRM = 176,
  TXT_FIRMWARE_REINSTALL_CONFIRM = 177,

  // Key assignment: context menu, key tip titles by function type, assignment dialog, messages. 304
  // also titles the keyboard picture.
  TXT_RESTORE_DEFAULT = 201,
  TXT_DISABLE_KEY = 202,
  TXT_FUNCTION_TYPE = 204,
  TXT_TIP_KEY_REMAP = 205,
  TXT_MACRO_FUNCTION = 206,
  TXT_MOUSE_FUNCTION = 207,
  TXT_MULTIMEDIA_FUNCTION = 208,
  TXT_SHORTCUT_FUNCTION = 209,
  TXT_RUN_PROGRAM = 210,
  TXT_OPEN_WEBSITE = 211,
  TXT_TYPE_TEXT = 212,
  TXT_BROWSE_PROGRAM = 218,
  TXT_MACRO_HAS_NO_EVENTS = 293,
  TXT_KEYBOARD = 304,
  TXT_KEY_NOT_ASSIGNABLE = 365,
  TXT_KEY_ASSIGNMENT_TITLE = 366,
  TXT_ASSIGNMENT_LIMIT = 371,
  TXT_ASSIGNMENT_LIMIT_TITLE = 372,

  // Mouse button functions (values 1, 2, 3, 7, 8).
  TXT_MOUSE_LEFT = 220,
  TXT_MOUSE_MIDDLE = 222,
  TXT_MOUSE_RIGHT = 223,
  TXT_MOUSE_FORWARD = 227,
  TXT_MOUSE_BACK = 228,

  // Media keys: the picker's tooltips and the seven further functions (values 1 to 7 are 230 to
  // 236).
  TXT_MEDIA_PLAY_PAUSE = 230,
  TXT_MEDIA_STOP = 231,
  TXT_MEDIA_PREVIOUS = 232,
  TXT_MEDIA_NEXT = 233,
  TXT_MEDIA_VOLUME_UP = 234,
  TXT_MEDIA_VOLUME_DOWN = 235,
  TXT_MEDIA_MUTE = 236,
  TXT_MEDIA_MY_COMPUTER = 252,
  TXT_MEDIA_CALCULATOR = 270,
  TXT_MEDIA_EMAIL = 271,
  TXT_MEDIA_PLAYER = 272,
  TXT_MEDIA_BROWSER_HOME = 273,
  TXT_MEDIA_BROWSER_REFRESH = 274,
  TXT_MEDIA_BROWSER_STOP = 275,
  TXT_MEDIA_BROWSER_BACK = 276,
  TXT_MEDIA_BROWSER_FORWARD = 277,
  TXT_MEDIA_FAVORITES = 278,
  TXT_MEDIA_SEARCH = 279,

  // Shortcut functions: value v has text kShortcutTextBase + v.
  TXT_SHORTCUT_SELECT_ALL = 701,
  TXT_SHORTCUT_COPY = 702,
  TXT_SHORTCUT_CUT = 703,
  TXT_SHORTCUT_PASTE = 704,
  TXT_SHORTCUT_UNDO = 705,
  TXT_SHORTCUT_SAVE = 706,
  TXT_SHORTCUT_FILE_MANAGER = 707,
  TXT_SHORTCUT_LOCK = 708,
  TXT_SHORTCUT_SHOW_DESKTOP = 709,
  TXT_SHORTCUT_SWITCH_WINDOW = 710,
  TXT_SHORTCUT_MINIMIZE_ALL = 711,
  TXT_SHORTCUT_CLOSE_TAB = 712,
  TXT_SHORTCUT_MAXIMIZE_WINDOW = 713,
  TXT_SHORTCUT_MINIMIZE_WINDOW = 714,
  TXT_SHORTCUT_CLOSE_WINDOW = 715,

  // Macro page: captions, labels, list columns, the base of new macro names, messages. 31 and 32
  // are the copy button and the paste menu item.
  TXT_COPY = 31,
  TXT_PASTE = 32,
  TXT_MACRO_LIST = 300,
  TXT_INSERT_EVENT = 301,
  TXT_INSERT_AFTER = 302,
  TXT_INSERT_BEFORE = 303,
  TXT_EVENT_MOUSE = 305,
  TXT_EVENT_DELAY = 306,
  TXT_LEFT_BUTTON = 307,
  TXT_RIGHT_BUTTON = 308,
  TXT_MIDDLE_BUTTON = 309,
  TXT_NEW = 311,
  TXT_DELETE = 312,
  TXT_PLAY_COUNT = 316,
  TXT_RECORD_DELAYS = 317,
  TXT_NO_DELAYS = 318,
  TXT_FIXED_DELAY = 319,
  TXT_MILLISECONDS = 320,
  TXT_START_RECORDING = 321,
  TXT_STOP_RECORDING = 322,
  TXT_MACRO_EVENTS = 323,
  TXT_SAVE = 329,
  TXT_MACRO = 331,
  TXT_COLUMN_EVENT = 335,
  TXT_COLUMN_ACTION = 336,
  TXT_COLUMN_DELAY = 337,
  TXT_SELECT_MACRO_FIRST = 540,
  TXT_EXPORT_MACRO_TITLE = 541,
  TXT_NAME_FORBIDDEN = 621,

  // Lighting page: custom slots, the per-key painting label, the two music effects.
  TXT_CUSTOM_SLOT = 86,
  TXT_PAINT_KEYS_HINT = 87,
  TXT_MUSIC_EFFECT_PULSE = 120,
  TXT_MUSIC_EFFECT_WAVE = 121,

  // Profile export without a selection (151 and 152 caption settings-page controls, so they cannot
  // serve here).
  TXT_SELECT_PROFILE_FIRST = 1001,
  TXT_EXPORT_PROFILE_TITLE = 1002,

  // Download progress of the online update.
  TXT_DOWNLOADING_PROGRAM = 1010,
  TXT_DOWNLOADING_FIRMWARE = 1011,

  // Software remapping unavailable; the caller appends the one command that installs the access
  // rules.
  TXT_REMAP_UNAVAILABLE_TITLE = 1020,
  TXT_REMAP_UNAVAILABLE = 1021,

  // Labels of the lighting page's editors, per-key colours and music settings.
  TXT_LIGHTING_EFFECTS = 1100,
  TXT_BRIGHTNESS = 1101,
  TXT_SPEED = 1102,
  TXT_DIRECTION = 1103,
  TXT_COLOR = 1104,
  TXT_MULTICOLOR = 1105,
  TXT_PRESET_COLORS = 1106,
  TXT_RED = 1107,
  TXT_GREEN = 1108,
  TXT_BLUE = 1109,
  TXT_CUSTOM_LIGHTING = 1110,
  TXT_APPLY_COLORS = 1111,
  TXT_AREA_1 = 1112,
  TXT_AREA_2 = 1113,
  TXT_AREA_3 = 1114,
  TXT_AREA_4 = 1115,
  TXT_AREA_5 = 1116,
  TXT_AREA_6 = 1117,
  TXT_MUSIC_EFFECT = 1120,
  TXT_SENSITIVITY = 1121,
  TXT_REFRESH_INTERVAL = 1122,
  TXT_MUSIC_COLOR = 1123,

  // The assignment dialog's further kinds (key combination, program, address, text, profile
  // switch).
  TXT_KEY_COMBINATION = 1200,
  TXT_SWITCH_PROFILE = 1201,
  TXT_PRESS_KEY_COMBINATION = 1202,
  TXT_PROGRAM_PATH = 1203,
  TXT_WEB_ADDRESS = 1204,
  TXT_TEXT_TO_TYPE = 1205,
  TXT_FILL_IN_FIRST = 1206,

  // Lighting effect names, named by id in the layout files (range 3000 to 3099).
  TXT_EFFECT_OFF = 3000,
  TXT_EFFECT_STATIC = 3001,
  TXT_EFFECT_BREATHING = 3002,
  TXT_EFFECT_SPECTRUM = 3003,
  TXT_EFFECT_WAVE = 3004,
  TXT_EFFECT_RIPPLE = 3005,
  TXT_EFFECT_REACTIVE = 3006,
  TXT_EFFECT_FADE_ON_PRESS = 3007,
  TXT_EFFECT_STARLIGHT = 3008,
  TXT_EFFECT_RAINDROPS = 3009,
  TXT_EFFECT_SNAKE = 3010,
  TXT_EFFECT_NEON = 3011,
  TXT_EFFECT_RADAR = 3012,
  TXT_EFFECT_FIREWORKS = 3013,
  TXT_EFFECT_AURORA = 3014,
  TXT_EFFECT_VORTEX = 3015,
  TXT_EFFECT_CROSS = 3016,
  TXT_EFFECT_MARQUEE = 3017,
  TXT_EFFECT_SINE_WAVE = 3018,
  TXT_EFFECT_CUSTOM_AREAS = 3019,
  TXT_EFFECT_CUSTOM = 3020,
  TXT_EFFECT_MUSIC = 3021,
  TXT_EFFECT_SCREEN_SYNC = 3022,
};

// Text of shortcut function v (1 to 15) is kShortcutTextBase + v.
inline constexpr int kShortcutTextBase = 700;
inline constexpr int kShortcutFunctionCount = 15;

// Layout files name their lighting effects by an id in this range.
inline constexpr int kEffectNameFirst = 3000;
inline constexpr int kEffectNameLast = 3099;

// The function picker's media items (media codes 232 to 249) and their tooltip texts, in the
// order the keyboard page applies them.
struct MediaItemText {
  int value;
  TextId text;
};
inline constexpr MediaItemText kMediaItemTexts[] = {
    {249, TXT_MEDIA_MY_COMPUTER},
    {242, TXT_MEDIA_CALCULATOR},
    {240, TXT_MEDIA_EMAIL},
    {232, TXT_MEDIA_PLAYER},
    {238, TXT_MEDIA_PLAY_PAUSE},
    {236, TXT_MEDIA_STOP},
    {237, TXT_MEDIA_PREVIOUS},
    {239, TXT_MEDIA_NEXT},
    {234, TXT_MEDIA_VOLUME_UP},
    {233, TXT_MEDIA_VOLUME_DOWN},
    {235, TXT_MEDIA_MUTE},
    {241, TXT_MEDIA_BROWSER_HOME},
    {246, TXT_MEDIA_BROWSER_REFRESH},
    {245, TXT_MEDIA_BROWSER_STOP},
    {243, TXT_MEDIA_BROWSER_BACK},
    {244, TXT_MEDIA_BROWSER_FORWARD},
    {248, TXT_MEDIA_FAVORITES},
    {247, TXT_MEDIA_SEARCH},
};

// Mouse-button function values (1 left, 2 middle, 3 right, 7 fifth, 8 fourth button) and their texts.
struct MouseButtonText {
  int value;
  TextId text;
};
inline constexpr MouseButtonText kMouseButtonTexts[] = {
    {1, TXT_MOUSE_LEFT}, {2, TXT_MOUSE_MIDDLE}, {3, TXT_MOUSE_RIGHT}, {7, TXT_MOUSE_FORWARD}, {8, TXT_MOUSE_BACK},
};

// The seven further functions (function type 6): value v (1 to 7) has text TXT_MEDIA_PLAY_PAUSE + v - 1.
inline constexpr int kFurtherFunctionCount = 7;

// Every text id the program looks up, in ascending order.
inline constexpr int kAllTextIds[] = {
    1, 2, 5, 10, 11, 20, 22, 23, 25, 26, 27, 28, 29, 30, 31, 32, 33, 50, 51, 52, 53, 56, 60, 61, 65,
    86, 87, 120, 121, 150, 151, 152, 153, 156, 157, 165, 166, 167, 168, 170, 171, 172, 175, 176,
    177, 201, 202, 204, 205, 206, 207, 208, 209, 210, 211, 212, 218, 220, 222, 223, 227, 228, 230,
    231, 232, 233, 234, 235, 236, 252, 270, 271, 272, 273, 274, 275, 276, 277, 278, 279, 290, 291,
    293, 295, 300, 301, 302, 303, 304, 305, 306, 307, 308, 309, 311, 312, 316, 317, 318, 319, 320,
    321, 322, 323, 329, 330, 331, 335, 336, 337, 365, 366, 371, 372, 540, 541, 621, 701, 702, 703,
    704, 705, 706, 707, 708, 709, 710, 711, 712, 713, 714, 715, 1001, 1002, 1010, 1011, 1020, 1021,
    1100, 1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, 1109, 1110, 1111, 1112, 1113, 1114, 1115,
    1116, 1117, 1120, 1121, 1122, 1123, 1200, 1201, 1202, 1203, 1204, 1205, 1206, 3000, 3001, 3002,
    3003, 3004, 3005, 3006, 3007, 3008, 3009, 3010, 3011, 3012, 3013, 3014, 3015, 3016, 3017, 3018,
    3019, 3020, 3021, 3022,
};
