// Animation timers as periodic loop timers; a suspended timer has no loop timer at all.
#include "TavikUI/VortaTimer.h"

#include "TavikUI/Manager.h"

#include <algorithm>

namespace TavikUI {

unsigned VortaTimer::s_nextId = 0;

VortaTimer::~VortaTimer() { KillAllMTimers(); }

unsigned VortaTimer::SetMTimer(unsigned period_ms, const std::wstring& name, bool application) {
    Entry entry;
    entry.id = ++s_nextId;
    entry.period = std::max(1u, period_ms);
    entry.name = name;
    entry.application = application;
    m_entries.push_back(entry);
    Arm(m_entries.back());
    return entry.id;
}

void VortaTimer::Arm(Entry& entry) {
    if (entry.loop_timer)
        return;
    unsigned id = entry.id;
    // The tick runs on the UI thread; the object is looked up again in case it was killed meanwhile.
    entry.loop_timer = Manager::SetCallbackTimer(entry.period, [this, id] {
        if (Find(id))
            OnMTimer(id);
    });
}

void VortaTimer::KillMTimer(unsigned id) {
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.id == id; });
    if (it == m_entries.end())
        return;
    if (it->loop_timer)
        Manager::KillCallbackTimer(it->loop_timer);
    m_entries.erase(it);
}

void VortaTimer::KillAllMTimers() {
    for (auto& e : m_entries)
        if (e.loop_timer)
            Manager::KillCallbackTimer(e.loop_timer);
    m_entries.clear();
}

void VortaTimer::SuspendMTimer(unsigned id) {
    if (Entry* e = Find(id); e && e->loop_timer) {
        Manager::KillCallbackTimer(e->loop_timer);
        e->loop_timer = 0;
    }
}

void VortaTimer::ResumeMTimer(unsigned id) {
    if (Entry* e = Find(id))
        Arm(*e);
}

bool VortaTimer::IsMTimerArmed(unsigned id) const {
    const Entry* e = Find(id);
    return e && e->loop_timer != 0;
}

VortaTimer::Entry* VortaTimer::Find(unsigned id) {
    for (auto& e : m_entries)
        if (e.id == id)
            return &e;
    return nullptr;
}

const VortaTimer::Entry* VortaTimer::Find(unsigned id) const {
    for (auto& e : m_entries)
        if (e.id == id)
            return &e;
    return nullptr;
}

} // namespace TavikUI
