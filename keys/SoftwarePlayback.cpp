// The virtual device is opened once and kept: a new uinput device per shortcut or macro
// would appear to the desktop as a new keyboard each time, and its first keys could be lost.
#include "keys/SoftwarePlayback.h"

#include "keys/EvdevNode.h"
#include "keys/IMacroSource.h"
#include "keys/InputNodeFinder.h"
#include "keys/KeyTables.h"
#include "keys/VHidev.h"
#include "link/KeyCodeTable.h"
#include "link/MediaCodes.h"

#include <iterator>

namespace {

constexpr int kMacroPressType = 2;

// Modifier bits of a key combination and the left-hand modifier usages they stand for.
constexpr struct {
    int bit;
    int usage;
} kModifierUsages[] = {{1, 0xE0}, {2, 0xE1}, {4, 0xE2}, {8, 0xE3}};

// The consumer usages of the further functions 1 to 7: play/pause, stop, previous track, next
// track, volume up, volume down, mute.
constexpr uint16_t kFurtherUsages[] = {0xCD, 0xB7, 0xB6, 0xB5, 0xE9, 0xEA, 0xE2};
constexpr int kFurtherCount = static_cast<int>(std::size(kFurtherUsages));

} // namespace

SoftwarePlayback::SoftwarePlayback(VHidev& device, IMacroSource& macros, PacingClock& clock)
    : m_device(device), m_macros(macros), m_clock(clock)
{
}

SoftwarePlayback::~SoftwarePlayback()
{
    DisarmFilter();
    m_device.ReleaseAll();
}

void SoftwarePlayback::SetMacroQueue(std::function<void(int macroId)> queue)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_queueMacro = std::move(queue);
}

void SoftwarePlayback::SetActionQueue(std::function<void(int type, int extraId)> queue)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_queueAction = std::move(queue);
}

bool SoftwarePlayback::InitSoftwarePlayback()
{
    if (!m_device.Open())
        return false;
    m_device.ReleaseAll();
    (void)m_filter.RegisterMonitor(this, &SoftwarePlayback::OnFilteredKey);
    return true;
}

int SoftwarePlayback::ArmSoftwarePlayback(const std::vector<KeyAssignmentRecord>& rows)
{
    m_device.ReleaseAll();
    std::vector<uint16_t> table;
    std::unordered_map<int, KeyAction> assignments;
    for (const KeyAssignmentRecord& row : rows) {
        if (table.size() == HidUsbFilter::kMaxKeys)
            break; // further rows are not registered
        table.push_back(static_cast<uint16_t>(row.m_keyCode));
        assignments[row.m_keyCode] = KeyAction{row.m_macroType, row.m_macroValue, row.m_macroValue2};
    }
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_assignments = std::move(assignments);
    }
    return m_filter.SetKeyTable(table);
}

bool SoftwarePlayback::AttachKeyboard(std::vector<std::unique_ptr<IKeyboardNode>> nodes)
{
    // Without the virtual device a withheld key would vanish: the keyboard is left alone then.
    if (!m_device.IsOpen())
        return false;
    return m_filter.Start(std::move(nodes));
}

bool SoftwarePlayback::AttachKeyboard(int vendorId, int productId, std::string& error)
{
    if (!m_device.IsOpen()) {
        error = "the virtual input device is not available";
        return false;
    }
    std::vector<std::unique_ptr<IKeyboardNode>> nodes;
    for (const std::string& path : InputNodeFinder::FindKeyNodes(vendorId, productId))
        if (auto node = EvdevNode::Open(path, error))
            nodes.push_back(std::move(node));
    if (nodes.empty()) {
        if (error.empty())
            error = "the keyboard has no input nodes";
        return false;
    }
    error.clear();
    return AttachKeyboard(std::move(nodes));
}

int SoftwarePlayback::OnFilteredKey(int keyCode, bool pressed)
{
    KeyAction action;
    std::function<void(int)> queue;
    std::function<void(int, int)> queueAction;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_assignments.find(keyCode);
        if (found == m_assignments.end())
            return 0;
        action = found->second;
        queue = m_queueMacro;
        queueAction = m_queueAction;
    }
    switch (action.type) {
    case kTypeKey:
        if (!m_device.Open())
            break;
        if (IsMediaCode(action.value))
            m_device.SetConsumerUsage(pressed ? MediaCodeToConsumerUsage(action.value) : 0);
        else if (action.value >= 0 && action.value < kFirstMediaCode)
            PlayKeyCombination(action.value, action.modifiers, pressed);
        break;
    case kTypeMouse: {
        int bit = MouseButtonToReportBit(action.value);
        if (bit >= 0 && m_device.Open())
            m_device.SetMouseBit(bit, pressed);
        break;
    }
    case kTypeShortcut:
        if (pressed && m_device.Open()) {
            m_device.PlayShortcut(action.value, m_clock);
            m_device.ReleaseAll();
        }
        break;
    case kTypeFurther:
        if (action.value < 1 || action.value > kFurtherCount || !m_device.Open())
            break;
        m_device.SetConsumerUsage(pressed ? kFurtherUsages[action.value - 1] : 0);
        break;
    case kTypeMacro:
        if (pressed && queue)
            queue(action.value);
        break;
    case kTypeProgram:
    case kTypeWebAddress:
    case kTypeText:
    case kTypeProfileSwitch:
        if (pressed && queueAction)
            queueAction(action.type, action.value);
        break;
    default:
        break; // still withheld, produces nothing
    }
    return 0;
}

// Modifiers go down before the key and come up after it, so the target program sees the combination.
void SoftwarePlayback::PlayKeyCombination(int usage, int modifiers, bool pressed)
{
    if (pressed)
        for (const auto& modifier : kModifierUsages)
            if (modifiers & modifier.bit)
                m_device.SetKeyboardUsage(modifier.usage, true);
    m_device.SetKeyboardUsage(usage, pressed);
    if (!pressed)
        for (auto it = std::rbegin(kModifierUsages); it != std::rend(kModifierUsages); ++it)
            if (modifiers & it->bit)
                m_device.SetKeyboardUsage(it->usage, false);
}

void SoftwarePlayback::PlayMacro(int macroId)
{
    if (!m_device.Open())
        return;
    m_device.ReleaseAll();
    MacroRecord macro;
    if (!m_macros.LoadMacro(macroId, macro))
        return;
    std::vector<MacroStep> steps;
    for (const MacroEventRecord& event : m_macros.LoadMacroEvents(macroId))
        steps.push_back(MacroStep{VirtualKeyToUsage(event.m_value), event.m_type == kMacroPressType, event.m_delayTime});
    m_device.PlayMacro(steps, macro.m_playTimes, m_clock);
}

bool SoftwarePlayback::TypeText(const std::string& utf8, IClipboard& clipboard)
{
    if (!m_device.Open())
        return false;
    return m_device.TypeText(utf8, clipboard, m_clock);
}

void SoftwarePlayback::DisarmFilter()
{
    m_filter.Stop();
    (void)m_filter.SetKeyTable({});
}
