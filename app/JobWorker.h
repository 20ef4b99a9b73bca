// The worker: takes the front job, one macro to play and one pressed program key per pass, in
// queue order, and drops device jobs while no keyboard is connected.
#pragma once

#include "app/CThreadBasic.h"
#include "app/JobQueue.h"

class PacingClock;

enum class JobOutcome { Done, Failed, Dropped };

// What the jobs do; implemented by the controller.
class IJobRunner {
public:
    virtual ~IJobRunner() = default;
    // True while a keyboard is connected and open (device jobs may run).
    virtual bool DeviceJobsAllowed() = 0;
    // Runs one job on the worker thread; false when it failed.
    virtual bool RunJob(int code) = 0;
    virtual void PlayMacro(int macroId) = 0;
    // Carries out a pressed key of type 8 to 11 on the worker thread.
    virtual void CarryOutKeyAction(QueuedKeyAction /*action*/) {}
};

// What the worker tells the front end; called on the worker thread, so a window posts them on.
class IWorkerFrontEnd {
public:
    virtual ~IWorkerFrontEnd() = default;
    // Device jobs run with the window disabled, so no click starts another one meanwhile.
    virtual void EnableWindow(bool /*enabled*/) {}
    virtual void CloseWaitDialog() {}
    virtual void JobFinished(int /*code*/, JobOutcome /*outcome*/) {}
};

class JobWorker final : public CThreadBasic {
public:
    // `clock` paces the pause after a write job (null: real time).
    JobWorker(JobQueue& queue, IJobRunner& runner, IWorkerFrontEnd& frontEnd, PacingClock* clock = nullptr);
    ~JobWorker() override;

    // Starts the thread, which sleeps until a job or a macro is queued.
    bool StartWorker();
    // One pass: the front job (if any), then one queued macro and one key action (if any).
    void RunOnce();

protected:
    void DoWork() override;
    void WakeUp() override;

private:
    void RunFrontJob(int code);

    JobQueue& m_queue;
    IJobRunner& m_runner;
    IWorkerFrontEnd& m_frontEnd;
    PacingClock& m_clock;
};
