// The animation timer: periodic ticks delivered on the UI thread through the loop, never from another thread.
#pragma once

#include <string>
#include <vector>

namespace TavikUI {

class VortaTimer {
public:
    VortaTimer() = default;
    virtual ~VortaTimer();
    VortaTimer(const VortaTimer&) = delete;
    VortaTimer& operator=(const VortaTimer&) = delete;

    // Starts a periodic timer; returns its id (never 0). Ticks arrive as OnMTimer(id).
    unsigned SetMTimer(unsigned period_ms, const std::wstring& name = L"", bool application = false);
    void KillMTimer(unsigned id);
    void KillAllMTimers();
    virtual void OnMTimer(unsigned /*id*/) {}

    // A suspended timer keeps its entry but costs no wake-ups until resumed.
    void SuspendMTimer(unsigned id);
    void ResumeMTimer(unsigned id);
    bool IsMTimerArmed(unsigned id) const;

private:
    struct Entry {
        unsigned id = 0;
        unsigned period = 0;
        unsigned loop_timer = 0; // 0 while suspended
        std::wstring name;
        bool application = false;
    };
    Entry* Find(unsigned id);
    const Entry* Find(unsigned id) const;
    void Arm(Entry& entry);

    std::vector<Entry> m_entries;
    static unsigned s_nextId;
};

} // namespace TavikUI
