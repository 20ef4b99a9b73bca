// Job and playback queues shared by the pages, the key filter's thread and the worker.
#include "app/JobQueue.h"

void JobQueue::PushJob(int code) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(code);
    }
    m_changed.notify_all();
}

std::optional<int> JobQueue::FrontJob() const {
    std::lock_guard lock(m_mutex);
    if (m_jobs.empty()) return std::nullopt;
    return m_jobs.front();
}

void JobQueue::PopJob() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_jobs.empty()) m_jobs.pop_front();
        m_frontRunning = false;
    }
    m_changed.notify_all();
}

bool JobQueue::JobsEmpty() const {
    std::lock_guard lock(m_mutex);
    return m_jobs.empty();
}

void JobQueue::MarkFrontRunning() {
    std::lock_guard lock(m_mutex);
    m_frontRunning = !m_jobs.empty();
}

bool JobQueue::HasWaitingJob(int code) const {
    std::lock_guard lock(m_mutex);
    for (size_t i = m_frontRunning ? 1 : 0; i < m_jobs.size(); ++i)
        if (m_jobs[i] == code) return true;
    return false;
}

size_t JobQueue::JobCount() const {
    std::lock_guard lock(m_mutex);
    return m_jobs.size();
}

void JobQueue::PushMacro(int macroId) {
    {
        std::lock_guard lock(m_mutex);
        m_macros.push_back(macroId);
    }
    m_changed.notify_all();
}

std::optional<int> JobQueue::PopMacro() {
    std::optional<int> id;
    {
        std::lock_guard lock(m_mutex);
        if (m_macros.empty()) return std::nullopt;
        id = m_macros.front();
        m_macros.pop_front();
    }
    m_changed.notify_all();
    return id;
}

void JobQueue::PushKeyAction(QueuedKeyAction action) {
    {
        std::lock_guard lock(m_mutex);
        m_keyActions.push_back(action);
    }
    m_changed.notify_all();
}

std::optional<QueuedKeyAction> JobQueue::PopKeyAction() {
    std::optional<QueuedKeyAction> action;
    {
        std::lock_guard lock(m_mutex);
        if (m_keyActions.empty()) return std::nullopt;
        action = m_keyActions.front();
        m_keyActions.pop_front();
    }
    m_changed.notify_all();
    return action;
}

bool JobQueue::WaitForWork() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] {
        return m_interrupted || !m_jobs.empty() || !m_macros.empty() || !m_keyActions.empty();
    });
    return !m_interrupted;
}

void JobQueue::Interrupt() {
    {
        std::lock_guard lock(m_mutex);
        m_interrupted = true;
    }
    m_changed.notify_all();
}

void JobQueue::Resume() {
    std::lock_guard lock(m_mutex);
    m_interrupted = false;
}

void JobQueue::SetBusy(bool busy) {
    {
        std::lock_guard lock(m_mutex);
        m_busy = busy;
    }
    m_changed.notify_all();
}

bool JobQueue::WaitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] {
        return !m_busy && m_jobs.empty() && m_macros.empty() && m_keyActions.empty();
    });
}
