// The process-wide virtual input device: keyboard, mouse-button and consumer-control reports
// kept in their 64-byte device format and replayed as evdev events on a uinput device.
#pragma once

#include "keys/IVHidevProxy.h"

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class IClipboard;
class PacingClock;
class UinputDevice;

// One key event of a macro as the device plays it.
struct MacroStep {
    int code = 0;        // HID keyboard usage, or a media code 232-249 for a consumer key
    bool pressed = false;
    int delayMs = 0;     // pause after the event; raised to the 5 ms minimum when played
};

class VHidev final : public IVHidevProxy {
public:
    static constexpr int kReportSize = 64;
    static constexpr int kKeyboardReportId = 1;
    static constexpr int kMouseReportId = 2;
    static constexpr int kConsumerReportId = 3;
    static constexpr int kFourthReportId = 4;
    static constexpr int kMinMacroPauseMs = 5;
    static constexpr int kShortcutPauseMs = 10;
    static constexpr int kPastePauseMs = 100;

    VHidev();
    ~VHidev() override;
    VHidev(const VHidev&) = delete;
    VHidev& operator=(const VHidev&) = delete;

    // The instance the program shares, created on first use.
    static VHidev& Instance();

    // Creates the uinput device unless one is open. Without access to /dev/uinput it returns false
    // and, the first time only, prints which rules to install (see UnavailableMessage).
    bool Open();
    bool IsOpen() const;
    void Close();
    // Writes the events to `fd` (not owned) instead of a uinput device; -1 detaches.
    void UseOutput(int fd);
    // Folder of the shipped udev rules, named in the message about a missing /dev/uinput.
    void SetDriverFolder(const std::string& folder);
    // Text telling the user how to enable software remapping; empty while the device works.
    std::string UnavailableMessage() const;

    // Builds the 64-byte device report and replays it as evdev events (only what changed).
    bool Send(const uint8_t* data, std::size_t length, uint8_t reportId) override;

    // Sets or clears keyboard usage `usage` and sends the keyboard report.
    void SetKeyboardUsage(int usage, bool pressed);
    // Sets or clears bit `bit` of the mouse report (0 left, 1 right, 2 middle, 3 fourth, 4 fifth) and sends it.
    void SetMouseBit(int bit, bool pressed);
    // Sends the consumer report holding `usage` (0 = none).
    void SetConsumerUsage(uint16_t usage);
    // Sends all four reports with nothing held.
    void ReleaseAll();
    // Plays shortcut `value` (1-15): each press and release its own report, then a 10 ms pause.
    void PlayShortcut(int value, PacingClock& clock);
    // Plays `steps` `playTimes` times, releasing everything after each round.
    void PlayMacro(const std::vector<MacroStep>& steps, int playTimes, PacingClock& clock);
    // Puts `utf8` on the clipboard and pastes it with Ctrl+V; false when the clipboard refused.
    bool TypeText(const std::string& utf8, IClipboard& clipboard, PacingClock& clock);

    // The last 64-byte report built by Send.
    std::array<uint8_t, kReportSize> LastReport() const;

    // Releases every key and button the device holds without taking the lock: only write(2) and
    // atomics, so a fatal-signal handler may call it.
    void ReleaseAllFromSignal();
    // Installs handlers for fatal signals that release the device's keys before the process dies.
    static void InstallCrashRelease();

private:
    bool SendLocked(const uint8_t* data, std::size_t length, uint8_t reportId);
    void ApplyReportLocked();
    void SetKeyboardUsageLocked(int usage, bool pressed);
    void SetConsumerUsageLocked(uint16_t usage);
    void ReleaseAllLocked();
    int OutputFdLocked() const;

    // Guards the report buffers, the emitted state and every write: the key filter thread and
    // the worker both send, and neither may see the other's half-updated bitmap.
    mutable std::mutex m_lock;
    std::unique_ptr<UinputDevice> m_device;
    int m_externalFd = -1;
    bool m_reportedUnavailable = false;
    std::string m_unavailableReason;
    std::string m_driverFolder = "/usr/share/molvane/driver";

    // Report blocks: keyboard (byte 0 zero, bytes 1-32 the usage bitmap), mouse, consumer, fourth.
    std::array<uint8_t, 33> m_keyboard{};
    std::array<uint8_t, 4> m_mouse{};
    std::array<uint8_t, 2> m_consumer{};
    std::array<uint8_t, 2> m_fourth{};
    std::array<uint8_t, kReportSize> m_report{};

    // What the evdev side currently holds, to emit only changes.
    std::bitset<256> m_keysDown;
    uint8_t m_buttonsDown = 0;
    int m_consumerKeyDown = 0;

    // Mirror of the held evdev codes for the signal path, which may not lock.
    std::atomic<int> m_signalFd{-1};
    std::array<std::atomic<uint64_t>, 12> m_signalHeld{};
};
