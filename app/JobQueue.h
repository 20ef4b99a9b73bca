// The worker's queues (job codes, macro ids to play, pressed program keys), safe to use from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

// A pressed key whose function the program carries out: its function type and key extra record id.
struct QueuedKeyAction {
    int m_type = 0;
    int m_extraId = 0;
};

class JobQueue {
public:
    // Jobs: pushed at the back, looked at and removed at the front.
    void PushJob(int code);
    std::optional<int> FrontJob() const;
    void PopJob();
    bool JobsEmpty() const;
    // The worker has started the front job (PopJob ends that).
    void MarkFrontRunning();
    // True while a job `code` waits in the queue and has not started.
    bool HasWaitingJob(int code) const;
    size_t JobCount() const;

    // Macro ids waiting to be played.
    void PushMacro(int macroId);
    std::optional<int> PopMacro();

    // Pressed program keys waiting to be carried out.
    void PushKeyAction(QueuedKeyAction action);
    std::optional<QueuedKeyAction> PopKeyAction();

    // Blocks until a job, a macro or a key action waits; false once Interrupt was called (and until Resume).
    bool WaitForWork();
    void Interrupt();
    void Resume();

    // The worker marks the time it spends on one pass, so callers can wait for their jobs.
    void SetBusy(bool busy);
    // Blocks until all queues are empty and the worker is between passes; false on time-out.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);

private:
    mutable std::mutex m_mutex; // held for each operation, never while a job runs
    std::condition_variable m_changed;
    std::deque<int> m_jobs;
    std::deque<int> m_macros;
    std::deque<QueuedKeyAction> m_keyActions;
    bool m_interrupted = false;
    bool m_busy = false;
    bool m_frontRunning = false;
};
