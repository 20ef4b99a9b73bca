// The event thread sleeps in poll() on the nodes and an eventfd; nothing wakes it but input
// or Stop. A key's release always goes where its press went, whatever the table says by then,
// so re-arming or recording never leaves a key pressed on one side and released on the other.
#include "keys/HidUsbFilter.h"

#include "keys/KeyTables.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

input_event MakeKeyEvent(int code, int value)
{
    input_event event;
    std::memset(&event, 0, sizeof event);
    event.type = EV_KEY;
    event.code = static_cast<unsigned short>(code);
    event.value = value;
    return event;
}

} // namespace

HidUsbFilter::HidUsbFilter() = default;

HidUsbFilter::~HidUsbFilter()
{
    Stop();
}

void HidUsbFilter::AddProxy(std::unique_ptr<IMonitorProxy> proxy)
{
    std::lock_guard<std::mutex> guard(m_proxyLock);
    m_proxies.push_back(std::move(proxy));
}

int HidUsbFilter::ProxyCount() const
{
    std::lock_guard<std::mutex> guard(m_proxyLock);
    return static_cast<int>(m_proxies.size());
}

int HidUsbFilter::SetKeyTable(const std::vector<uint16_t>& keyCodes)
{
    std::bitset<kMaxKeys> table;
    int taken = 0;
    for (uint16_t code : keyCodes) {
        if (taken == kMaxKeys)
            break;
        ++taken;
        if (code < kMaxKeys)
            table.set(code);
    }
    std::lock_guard<std::mutex> guard(m_tableLock);
    m_table = table;
    return taken;
}

bool HidUsbFilter::IsWithheld(int keyCode) const
{
    if (keyCode <= 0 || keyCode >= kMaxKeys)
        return false;
    std::lock_guard<std::mutex> guard(m_tableLock);
    return m_table.test(static_cast<std::size_t>(keyCode));
}

void HidUsbFilter::SetRecordingSink(IRecordingSink* sink)
{
    std::lock_guard<std::mutex> guard(m_proxyLock);
    m_recordingSink = sink;
}


bool HidUsbFilter::Start(std::vector<std::unique_ptr<IKeyboardNode>> nodes)
{
    Stop();
    m_stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_stopFd < 0)
        return false;
    m_nodes.clear();
    for (auto& node : nodes) {
        NodeState state;
        state.node = std::move(node);
        m_nodes.push_back(std::move(state));
    }
    m_thread = std::thread([this] { Run(); });
    return true;
}

void HidUsbFilter::Stop()
{
    if (m_thread.joinable()) {
        uint64_t one = 1;
        ssize_t ignored = ::write(m_stopFd, &one, sizeof one);
        (void)ignored;
        m_thread.join();
    }
    for (NodeState& state : m_nodes) {
        if (state.removed)
            continue;
        ReleaseHeld(state);
        if (state.grabbed)
            (void)state.node->SetGrab(false);
    }
    m_nodes.clear();
    if (m_stopFd >= 0)
        ::close(m_stopFd);
    m_stopFd = -1;
}

std::vector<std::string> HidUsbFilter::NodeNames() const
{
    std::vector<std::string> names;
    for (const NodeState& state : m_nodes)
        names.push_back(state.node->Name());
    return names;
}

void HidUsbFilter::Run()
{
    for (NodeState& state : m_nodes)
        TryGrab(state);
    std::vector<pollfd> fds;
    for (;;) {
        fds.assign(1, pollfd{m_stopFd, POLLIN, 0});
        for (NodeState& state : m_nodes)
            fds.push_back(pollfd{state.removed ? -1 : state.node->EventFd(), POLLIN, 0});
        int ready = ::poll(fds.data(), fds.size(), -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || (fds[0].revents & POLLIN))
            return;
        for (std::size_t i = 0; i < m_nodes.size(); ++i) {
            NodeState& state = m_nodes[i];
            short revents = fds[i + 1].revents;
            if (state.removed || revents == 0)
                continue;
            if (state.grabbed)
                ReadEvents(state);
            else
                TryGrab(state);
            if ((revents & (POLLHUP | POLLERR | POLLNVAL)) && !(revents & POLLIN)) {
                // The keyboard went away: whatever it held is released on our side too.
                ReleaseHeld(state);
                state.removed = true;
            }
        }
    }
}

// A key held while grabbing would stay down for every other program, so the grab waits for
// a moment with nothing held. What queued before it belongs to the system and is dropped; a
// key pressed between that check and the grab is caught by a second check, which gives the
// grab back until the key is released.
void HidUsbFilter::TryGrab(NodeState& state)
{
    input_event events[64];
    while (::read(state.node->EventFd(), events, sizeof events) > 0) {
    }
    KeyBits held;
    if (state.node->QueryHeldKeys(held) && held.any())
        return;
    if (!state.node->SetGrab(true))
        return;
    if (state.node->QueryHeldKeys(held) && held.any()) {
        (void)state.node->SetGrab(false);
        return;
    }
    state.grabbed = true;
}

void HidUsbFilter::ReadEvents(NodeState& state)
{
    input_event events[64];
    for (;;) {
        ssize_t got = ::read(state.node->EventFd(), events, sizeof events);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        std::size_t count = static_cast<std::size_t>(got) / sizeof(input_event);
        for (std::size_t i = 0; i < count; ++i)
            HandleEvent(state, events[i]);
        if (count < 64)
            return;
    }
}

void HidUsbFilter::HandleEvent(NodeState& state, const input_event& event)
{
    if (event.type == EV_SYN && event.code == SYN_DROPPED) {
        // The kernel lost events: the half-read report is worthless, the key state is re-read.
        state.pending.Clear();
        state.forwarded = state.forwardedWritten;
        state.dropping = true;
        return;
    }
    if (state.dropping) {
        if (event.type == EV_SYN && event.code == SYN_REPORT) {
            state.dropping = false;
            Resync(state);
        }
        return;
    }
    if (event.type == EV_SYN && event.code == SYN_REPORT)
        FlushPending(state, &event);
    else if (event.type == EV_KEY)
        HandleKey(state, event);
    else
        state.pending.AddRaw(event);
}

void HidUsbFilter::HandleKey(NodeState& state, const input_event& event)
{
    int code = event.code;
    if (code >= static_cast<int>(state.forwarded.size()))
        return;
    int usage = EvdevToHidUsage(code);
    if (event.value == 1) {
        if (Record(code, 1)) {
            state.recorded.set(code);
        } else if (IsWithheld(usage)) {
            state.withheld.set(code);
            Report(usage, true);
        } else {
            state.forwarded.set(code);
            state.pending.AddRaw(event);
        }
        return;
    }
    if (state.recorded.test(code)) {
        if (event.value == 0)
            state.recorded.reset(code);
        (void)Record(code, event.value);
    } else if (state.withheld.test(code)) {
        if (event.value == 0) {
            state.withheld.reset(code);
            Report(usage, false);
        }
    } else {
        if (event.value == 0)
            state.forwarded.reset(code);
        state.pending.AddRaw(event);
    }
}

// Writes the report's pass-through events with its own SYN_REPORT. A report left with nothing
// but scan codes belonged to a withheld key and is dropped whole.
void HidUsbFilter::FlushPending(NodeState& state, const input_event* report)
{
    bool meaningful = false;
    for (const input_event& event : state.pending.Events())
        meaningful = meaningful || event.type != EV_MSC;
    state.forwardedWritten = state.forwarded;
    if (!meaningful) {
        state.pending.Clear();
        return;
    }
    if (report != nullptr) {
        state.pending.AddRaw(*report);
        (void)state.pending.Write(state.node->OutputFd());
    } else {
        (void)state.pending.Flush(state.node->OutputFd());
    }
}

void HidUsbFilter::Resync(NodeState& state)
{
    KeyBits now;
    KeyBits known = state.forwarded | state.withheld | state.recorded;
    if (!state.node->QueryHeldKeys(now))
        now = known;
    for (std::size_t code = 0; code < now.size(); ++code)
        if (now.test(code) != known.test(code))
            HandleKey(state, MakeKeyEvent(static_cast<int>(code), now.test(code) ? 1 : 0));
    FlushPending(state, nullptr);
}

void HidUsbFilter::ReleaseHeld(NodeState& state)
{
    state.pending.Clear();
    for (std::size_t code = 0; code < state.forwarded.size(); ++code)
        if (state.forwarded.test(code))
            state.pending.Add(EV_KEY, static_cast<unsigned short>(code), 0);
    state.forwarded.reset();
    state.forwardedWritten.reset();
    (void)state.pending.Flush(state.node->OutputFd());
    for (std::size_t code = 0; code < state.withheld.size(); ++code)
        if (state.withheld.test(code))
            Report(EvdevToHidUsage(static_cast<int>(code)), false);
    state.withheld.reset();
    for (std::size_t code = 0; code < state.recorded.size(); ++code)
        if (state.recorded.test(code))
            (void)Record(static_cast<int>(code), 0);
    state.recorded.reset();
}

void HidUsbFilter::Report(int keyCode, bool pressed)
{
    std::lock_guard<std::mutex> guard(m_proxyLock);
    for (const auto& proxy : m_proxies)
        if (proxy->OnKey(0, static_cast<uint16_t>(keyCode), pressed) != 0)
            break;
}

// Called under the lock, so once SetRecordingSink(nullptr) returns the old sink is never called again.
bool HidUsbFilter::Record(int evdevCode, int value)
{
    std::lock_guard<std::mutex> guard(m_proxyLock);
    if (m_recordingSink == nullptr)
        return false;
    m_recordingSink->OnRecordedKey(evdevCode, value);
    return true;
}
