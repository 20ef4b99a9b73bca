// The key filter: grabs the keyboard's input nodes, passes every key that is not withheld
// through unchanged to the node's uinput clone, and reports withheld keys to its proxies.
#pragma once

#include "keys/IKeyboardNode.h"
#include "keys/InputEventBatch.h"

#include <bitset>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class HidUsbFilter {
public:
    static constexpr int kMaxKeys = 256;

    // Receives presses and releases of withheld keys as layout key codes (HID usages).
    class IMonitorProxy {
    public:
        virtual ~IMonitorProxy() = default;
        // `unused` carries nothing; a non-zero result stops delivery to later proxies.
        virtual int OnKey(uint8_t unused, uint16_t keyCode, bool pressed) = 0;
    };

    // Forwards OnKey to a member function of `T`.
    template <class T>
    class MonitorProxy final : public IMonitorProxy {
    public:
        using Method = int (T::*)(int keyCode, bool pressed);
        MonitorProxy(T* target, Method method) : m_target(target), m_method(method) {}
        int OnKey(uint8_t, uint16_t keyCode, bool pressed) override { return (m_target->*m_method)(keyCode, pressed); }
        bool Matches(T* target, Method method) const { return m_target == target && m_method == method; }

    private:
        T* m_target;
        Method m_method;
    };

    // While set, every key of the grabbed nodes (repeats included, as evdev codes and values
    // 0 released, 1 pressed, 2 repeated) goes here and nothing reaches other programs.
    class IRecordingSink {
    public:
        virtual ~IRecordingSink() = default;
        virtual void OnRecordedKey(int evdevCode, int value) = 0;
    };

    HidUsbFilter();
    ~HidUsbFilter();
    HidUsbFilter(const HidUsbFilter&) = delete;
    HidUsbFilter& operator=(const HidUsbFilter&) = delete;

    // Registers `method` of `target` unless that pair is registered already; false then.
    template <class T>
    bool RegisterMonitor(T* target, typename MonitorProxy<T>::Method method)
    {
        std::lock_guard<std::mutex> guard(m_proxyLock);
        for (const auto& proxy : m_proxies)
            if (auto* same = dynamic_cast<MonitorProxy<T>*>(proxy.get()); same && same->Matches(target, method))
                return false;
        m_proxies.push_back(std::make_unique<MonitorProxy<T>>(target, method));
        return true;
    }
    void AddProxy(std::unique_ptr<IMonitorProxy> proxy);
    int ProxyCount() const;

    // Replaces the withheld keys as a whole; only the first 256 codes count. Returns how many were taken.
    int SetKeyTable(const std::vector<uint16_t>& keyCodes);
    bool IsWithheld(int keyCode) const;
    // Routes every key to `sink` (null: back to the key table). Takes effect for the next event.
    void SetRecordingSink(IRecordingSink* sink);

    // Starts the event thread on `nodes`. Each node is grabbed once it reports no key held.
    bool Start(std::vector<std::unique_ptr<IKeyboardNode>> nodes);
    // Stops the thread, releases every key it holds down, gives back the grabs and closes the nodes.
    // Never call it from a proxy or the recording sink.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }
    // Names (device paths) of the nodes given to Start; call from the thread that starts and stops.
    std::vector<std::string> NodeNames() const;

private:
    struct NodeState {
        std::unique_ptr<IKeyboardNode> node;
        bool grabbed = false;
        bool dropping = false;     // after SYN_DROPPED, until the next SYN_REPORT
        bool removed = false;
        KeyBits forwarded;         // pressed through the clone, the pending report included
        KeyBits forwardedWritten;  // pressed through the clone by reports already written
        KeyBits withheld;          // reported pressed to the proxies
        KeyBits recorded;          // reported pressed to the recording sink
        InputEventBatch pending;   // pass-through events of the current report
    };

    void Run();
    void TryGrab(NodeState& state);
    void ReadEvents(NodeState& state);
    void HandleEvent(NodeState& state, const input_event& event);
    void HandleKey(NodeState& state, const input_event& event);
    void FlushPending(NodeState& state, const input_event* report);
    void Resync(NodeState& state);
    void ReleaseHeld(NodeState& state);
    void Report(int keyCode, bool pressed);
    bool Record(int evdevCode, int value);

    mutable std::mutex m_proxyLock; // guards the proxy list and the recording sink
    std::vector<std::unique_ptr<IMonitorProxy>> m_proxies;
    IRecordingSink* m_recordingSink = nullptr;

    mutable std::mutex m_tableLock;
    std::bitset<kMaxKeys> m_table;

    std::vector<NodeState> m_nodes; // owned by the event thread while it runs
    int m_stopFd = -1;
    std::thread m_thread;
};
