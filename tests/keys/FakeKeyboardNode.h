// A keyboard node made of two pipes: the test writes the "device" events into one and reads
// what the filter passed through from the other; held keys and grabs are scripted.
#pragma once

#include "keys/HidUsbFilter.h"
#include "keys/IKeyboardNode.h"

#include "EventPipe.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

struct NodeScript {
    std::mutex lock;
    KeyBits held;
    int queries = 0;
    std::vector<bool> grabs;

    template <class Predicate>
    bool WaitFor(Predicate predicate)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < deadline) {
            {
                std::lock_guard<std::mutex> guard(lock);
                if (predicate())
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
};

class FakeKeyboardNode final : public IKeyboardNode {
public:
    FakeKeyboardNode(int eventFd, int outputFd, std::shared_ptr<NodeScript> script)
        : m_eventFd(eventFd), m_outputFd(outputFd), m_script(std::move(script))
    {
    }
    int EventFd() const override { return m_eventFd; }
    int OutputFd() const override { return m_outputFd; }
    bool QueryHeldKeys(KeyBits& held) override
    {
        std::lock_guard<std::mutex> guard(m_script->lock);
        ++m_script->queries;
        held = m_script->held;
        return true;
    }
    bool SetGrab(bool grab) override
    {
        std::lock_guard<std::mutex> guard(m_script->lock);
        m_script->grabs.push_back(grab);
        return true;
    }
    std::string Name() const override { return "fake"; }

private:
    int m_eventFd;
    int m_outputFd;
    std::shared_ptr<NodeScript> m_script;
};

// Collects what the filter reports for withheld keys.
class KeyLog final : public HidUsbFilter::IMonitorProxy {
public:
    int OnKey(uint8_t, uint16_t keyCode, bool pressed) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_keys.emplace_back(keyCode, pressed);
        m_changed.notify_all();
        return 0;
    }
    std::vector<std::pair<int, bool>> WaitFor(std::size_t count)
    {
        std::unique_lock<std::mutex> guard(m_lock);
        m_changed.wait_for(guard, std::chrono::seconds(2), [&] { return m_keys.size() >= count; });
        return m_keys;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<std::pair<int, bool>> m_keys;
};
