// Executes key assignments on the PC: the key filter withholds the assigned keys and their
// presses become keys, mouse buttons, media keys, shortcuts or queued macros on the virtual device;
// the functions the program itself carries out (programs, addresses, texts, profile switches) are
// handed on.
#pragma once

#include "keys/HidUsbFilter.h"
#include "store/ProfileRecords.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class IClipboard;
class IMacroSource;
class PacingClock;
class VHidev;

class SoftwarePlayback {
public:
    // Function types of a key assignment that playback acts on.
    static constexpr int kTypeKey = 2;
    static constexpr int kTypeMacro = 3;
    static constexpr int kTypeMouse = 5;
    static constexpr int kTypeFurther = 6; // the seven media functions, values 1 to 7
    static constexpr int kTypeShortcut = 7;
    // Carried out by the program (value: the key extra record id): handed to the action queue.
    static constexpr int kTypeProgram = 8;
    static constexpr int kTypeWebAddress = 9;
    static constexpr int kTypeText = 10;
    static constexpr int kTypeProfileSwitch = 11;

    SoftwarePlayback(VHidev& device, IMacroSource& macros, PacingClock& clock);
    ~SoftwarePlayback();
    SoftwarePlayback(const SoftwarePlayback&) = delete;
    SoftwarePlayback& operator=(const SoftwarePlayback&) = delete;

    // Receives the macro ids that withheld keys ask for (the worker's playback queue).
    void SetMacroQueue(std::function<void(int macroId)> queue);
    // Receives the presses of keys of types 8 to 11 (type, extra record id). Called on the
    // filter's event thread: it must only queue, since carrying them out may re-arm the filter.
    void SetActionQueue(std::function<void(int type, int extraId)> queue);

    // Opens the virtual device, releases everything and registers OnFilteredKey with the filter.
    // False without the device: the program then runs without software remapping (the device
    // has told the user once how to install the rules).
    bool InitSoftwarePlayback();
    // Withholds the keys of `rows` (the first 256) and makes them the assignment map; releases
    // everything first. The table is replaced as a whole, with no moment of an empty table.
    int ArmSoftwarePlayback(const std::vector<KeyAssignmentRecord>& rows);
    // Starts filtering `nodes` (the configured keyboard's input nodes), replacing earlier ones.
    // Refused (false) while the virtual device is not open: withheld keys would produce nothing.
    bool AttachKeyboard(std::vector<std::unique_ptr<IKeyboardNode>> nodes);
    // Finds the input nodes of the keyboard with these ids (the catalogue's) and filters them.
    // False when none could be opened; `error` then says why (for example no access to the nodes).
    bool AttachKeyboard(int vendorId, int productId, std::string& error);
    // Event-thread callback: produces the function assigned to `keyCode`. Always 0.
    int OnFilteredKey(int keyCode, bool pressed);
    // Worker thread: plays macro `macroId` with its stored pauses `play_times` times.
    void PlayMacro(int macroId);
    // Types `utf8` through the clipboard and Ctrl+V.
    bool TypeText(const std::string& utf8, IClipboard& clipboard);
    // Stops the filter (releasing what it holds and giving back the keyboard) and empties the table.
    void DisarmFilter();

    HidUsbFilter& Filter() { return m_filter; }

private:
    void PlayKeyCombination(int usage, int modifiers, bool pressed);
    struct KeyAction {
        int type = 0;
        int value = 0;
        int modifiers = 0; // key combination: Ctrl 1, Shift 2, Alt 4, Win 8
    };

    VHidev& m_device;
    IMacroSource& m_macros;
    PacingClock& m_clock;
    HidUsbFilter m_filter;

    // Rebuilt on the UI thread while the event thread reads it.
    std::mutex m_lock;
    std::unordered_map<int, KeyAction> m_assignments;
    std::function<void(int)> m_queueMacro;
    std::function<void(int, int)> m_queueAction;
};
