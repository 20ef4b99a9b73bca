// Base of a thread that repeats one unit of work until it is stopped.
#pragma once

#include <atomic>
#include <thread>

class CThreadBasic {
public:
    CThreadBasic() = default;
    virtual ~CThreadBasic();
    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    // Starts the thread; false when it runs already. With `loop` false DoWork runs once.
    bool Start(bool loop = true);
    // Clears the running flag, wakes DoWork and waits for the thread to end. A derived class
    // must call it in its own destructor, before the state DoWork uses goes away.
    void Stop();
    bool IsRunning() const { return m_running; }

protected:
    // One unit of work; it may block until there is work, as long as WakeUp ends the wait.
    virtual void DoWork() = 0;
    // Called by Stop so that a DoWork blocked waiting for work returns.
    virtual void WakeUp() {}

private:
    void Run(bool loop);

    std::atomic<bool> m_running{false};
    std::thread m_thread;
};
