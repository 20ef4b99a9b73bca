// Reports are diffed against what the evdev side already holds, so a report that repeats the
// current state writes nothing and every written batch ends with SYN_REPORT.
#include "keys/VHidev.h"

#include "keys/IClipboard.h"
#include "keys/InputEventBatch.h"
#include "keys/KeyTables.h"
#include "keys/UinputDevice.h"
#include "link/MediaCodes.h"
#include "link/PacingClock.h"
#include "link/ShortcutTable.h"

#include <linux/input.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr uint8_t kReportMarker = 0x05;
constexpr int kCtrlUsage = 0xE0;
constexpr int kVUsage = 0x19;

std::atomic<VHidev*> g_crashInstance{nullptr};

void SetHeldBit(std::array<std::atomic<uint64_t>, 12>& held, int code, bool down)
{
    if (code <= 0 || code >= 12 * 64)
        return;
    uint64_t mask = uint64_t{1} << (code % 64);
    if (down)
        held[code / 64].fetch_or(mask);
    else
        held[code / 64].fetch_and(~mask);
}

void CrashHandler(int signal)
{
    if (VHidev* device = g_crashInstance.load())
        device->ReleaseAllFromSignal();
    std::raise(signal); // the handler was installed with SA_RESETHAND: this one is fatal
}

void Pause(PacingClock& clock, int milliseconds)
{
    clock.Sleep(std::chrono::milliseconds(milliseconds));
}

} // namespace

VHidev::VHidev() = default;

VHidev::~VHidev()
{
    VHidev* self = this;
    g_crashInstance.compare_exchange_strong(self, nullptr);
    Close();
}

VHidev& VHidev::Instance()
{
    static VHidev instance;
    return instance;
}

bool VHidev::Open()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (OutputFdLocked() >= 0)
        return true;
    std::string error;
    m_device = UinputDevice::CreateVirtual(error);
    if (m_device) {
        m_unavailableReason.clear();
        m_signalFd = m_device->Fd();
        return true;
    }
    m_unavailableReason = error;
    if (!m_reportedUnavailable) {
        m_reportedUnavailable = true;
        std::string text = "Molvane: software key remapping is off (" + error + ").\n" +
            "To enable it, run once: sudo sh " + m_driverFolder + "/install.sh\n";
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
    }
    return false;
}

bool VHidev::IsOpen() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return OutputFdLocked() >= 0;
}

void VHidev::Close()
{
    std::lock_guard<std::mutex> guard(m_lock);
    // Destroying a uinput device makes the kernel release whatever it still holds.
    m_signalFd = -1;
    m_device.reset();
    m_externalFd = -1;
    m_keysDown.reset();
    m_buttonsDown = 0;
    m_consumerKeyDown = 0;
    for (auto& word : m_signalHeld)
        word = 0;
}

void VHidev::UseOutput(int fd)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_device.reset();
    m_externalFd = fd;
    m_signalFd = fd;
    m_keysDown.reset();
    m_buttonsDown = 0;
    m_consumerKeyDown = 0;
}

void VHidev::SetDriverFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_driverFolder = folder;
}

std::string VHidev::UnavailableMessage() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_unavailableReason.empty())
        return {};
    return "Software key remapping needs access to /dev/uinput (" + m_unavailableReason +
        "). Install the rules once with:\nsudo sh " + m_driverFolder + "/install.sh";
}

int VHidev::OutputFdLocked() const
{
    if (m_externalFd >= 0)
        return m_externalFd;
    return m_device ? m_device->Fd() : -1;
}

bool VHidev::Send(const uint8_t* data, std::size_t length, uint8_t reportId)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return SendLocked(data, length, reportId);
}

bool VHidev::SendLocked(const uint8_t* data, std::size_t length, uint8_t reportId)
{
    m_report.fill(0);
    m_report[0] = kReportMarker;
    std::size_t offset = 1;
    if (reportId != 0) {
        m_report[1] = reportId;
        offset = 2;
    }
    std::size_t count = std::min(length, m_report.size() - offset);
    if (data != nullptr && count > 0)
        std::memcpy(m_report.data() + offset, data, count);
    if (OutputFdLocked() < 0)
        return false;
    if (reportId != 0)
        ApplyReportLocked();
    return true;
}

// Turns the report just built into the evdev events of what changed.
void VHidev::ApplyReportLocked()
{
    InputEventBatch batch;
    switch (m_report[1]) {
    case kKeyboardReportId:
        // Bytes 2 (always 0) and 3-34 (the usage bitmap) of the device report.
        for (int usage = 0; usage < 256; ++usage) {
            bool down = (m_report[3 + usage / 8] >> (usage % 8)) & 1;
            int code = HidUsageToEvdev(usage);
            if (down == m_keysDown[usage] || code == 0)
                continue;
            m_keysDown[usage] = down;
            batch.Add(EV_KEY, static_cast<unsigned short>(code), down ? 1 : 0);
            SetHeldBit(m_signalHeld, code, down);
        }
        break;
    case kMouseReportId:
        for (int bit = 0; bit < 5; ++bit) {
            bool down = (m_report[2] >> bit) & 1;
            if (down == (((m_buttonsDown >> bit) & 1) != 0))
                continue;
            m_buttonsDown = static_cast<uint8_t>(down ? (m_buttonsDown | (1 << bit)) : (m_buttonsDown & ~(1 << bit)));
            int code = MouseReportBitToEvdev(bit);
            batch.Add(EV_KEY, static_cast<unsigned short>(code), down ? 1 : 0);
            SetHeldBit(m_signalHeld, code, down);
        }
        break;
    case kConsumerReportId: {
        int code = ConsumerUsageToEvdev(m_report[2] | (m_report[3] << 8));
        if (code == m_consumerKeyDown)
            break;
        if (m_consumerKeyDown != 0) {
            batch.Add(EV_KEY, static_cast<unsigned short>(m_consumerKeyDown), 0);
            SetHeldBit(m_signalHeld, m_consumerKeyDown, false);
        }
        if (code != 0) {
            batch.Add(EV_KEY, static_cast<unsigned short>(code), 1);
            SetHeldBit(m_signalHeld, code, true);
        }
        m_consumerKeyDown = code;
        break;
    }
    default:
        break; // the fourth report carries nothing the desktop needs
    }
    (void)batch.Flush(OutputFdLocked()); // write results are not acted upon
}

void VHidev::SetKeyboardUsageLocked(int usage, bool pressed)
{
    if (usage < 0 || usage > 255)
        return;
    uint8_t& byte = m_keyboard[1 + usage / 8];
    uint8_t mask = static_cast<uint8_t>(1 << (usage % 8));
    byte = static_cast<uint8_t>(pressed ? (byte | mask) : (byte & ~mask));
    SendLocked(m_keyboard.data(), m_keyboard.size(), kKeyboardReportId);
}

void VHidev::SetKeyboardUsage(int usage, bool pressed)
{
    std::lock_guard<std::mutex> guard(m_lock);
    SetKeyboardUsageLocked(usage, pressed);
}

void VHidev::SetMouseBit(int bit, bool pressed)
{
    if (bit < 0 || bit > 4)
        return;
    std::lock_guard<std::mutex> guard(m_lock);
    uint8_t mask = static_cast<uint8_t>(1 << bit);
    m_mouse[0] = static_cast<uint8_t>(pressed ? (m_mouse[0] | mask) : (m_mouse[0] & ~mask));
    SendLocked(m_mouse.data(), m_mouse.size(), kMouseReportId);
}

void VHidev::SetConsumerUsageLocked(uint16_t usage)
{
    m_consumer[0] = static_cast<uint8_t>(usage & 0xFF);
    m_consumer[1] = static_cast<uint8_t>(usage >> 8);
    SendLocked(m_consumer.data(), m_consumer.size(), kConsumerReportId);
}

void VHidev::SetConsumerUsage(uint16_t usage)
{
    std::lock_guard<std::mutex> guard(m_lock);
    SetConsumerUsageLocked(usage);
}

void VHidev::ReleaseAllLocked()
{
    m_keyboard.fill(0);
    SendLocked(m_keyboard.data(), m_keyboard.size(), kKeyboardReportId);
    m_mouse.fill(0);
    SendLocked(m_mouse.data(), m_mouse.size(), kMouseReportId);
    SetConsumerUsageLocked(0);
    m_fourth.fill(0);
    SendLocked(m_fourth.data(), m_fourth.size(), kFourthReportId);
}

void VHidev::ReleaseAll()
{
    std::lock_guard<std::mutex> guard(m_lock);
    ReleaseAllLocked();
}

void VHidev::PlayShortcut(int value, PacingClock& clock)
{
    for (const ShortcutEvent& event : ShortcutEvents(value)) {
        SetKeyboardUsage(event.usage, !event.released);
        Pause(clock, kShortcutPauseMs);
    }
}

void VHidev::PlayMacro(const std::vector<MacroStep>& steps, int playTimes, PacingClock& clock)
{
    for (int round = 0; round < playTimes; ++round) {
        for (const MacroStep& step : steps) {
            {
                // One step under one lock: the filter thread's keys cannot split a step.
                std::lock_guard<std::mutex> guard(m_lock);
                if (IsMediaCode(step.code))
                    SetConsumerUsageLocked(step.pressed ? MediaCodeToConsumerUsage(step.code) : 0);
                else
                    SetKeyboardUsageLocked(step.code, step.pressed);
            }
            Pause(clock, std::max(step.delayMs, kMinMacroPauseMs));
        }
        ReleaseAll();
    }
}

bool VHidev::TypeText(const std::string& utf8, IClipboard& clipboard, PacingClock& clock)
{
    if (!clipboard.SetText(utf8))
        return false;
    SetKeyboardUsage(kCtrlUsage, true);
    SetKeyboardUsage(kVUsage, true);
    Pause(clock, kPastePauseMs);
    SetKeyboardUsage(kVUsage, false);
    SetKeyboardUsage(kCtrlUsage, false);
    clipboard.Clear();
    return true;
}

std::array<uint8_t, VHidev::kReportSize> VHidev::LastReport() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_report;
}

void VHidev::ReleaseAllFromSignal()
{
    int fd = m_signalFd.load();
    if (fd < 0)
        return;
    input_event events[64];
    int count = 0;
    auto flush = [&]() {
        std::memset(&events[count], 0, sizeof events[count]);
        events[count].type = EV_SYN;
        events[count].code = SYN_REPORT;
        ++count;
        ssize_t ignored = ::write(fd, events, sizeof(input_event) * static_cast<std::size_t>(count));
        (void)ignored;
        count = 0;
    };
    for (int word = 0; word < 12; ++word) {
        uint64_t bits = m_signalHeld[word].exchange(0);
        for (int bit = 0; bits != 0 && bit < 64; ++bit) {
            if (!((bits >> bit) & 1))
                continue;
            std::memset(&events[count], 0, sizeof events[count]);
            events[count].type = EV_KEY;
            events[count].code = static_cast<unsigned short>(word * 64 + bit);
            events[count].value = 0;
            if (++count == 63)
                flush();
        }
    }
    if (count > 0)
        flush();
}

void VHidev::InstallCrashRelease()
{
    g_crashInstance = &Instance();
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = CrashHandler;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT})
        sigaction(signal, &action, nullptr);
}
