// The job loop of the worker thread.
#include "app/JobWorker.h"

#include "app/JobCodes.h"
#include "app/JobQueue.h"
#include "link/PacingClock.h"

#include <chrono>

namespace {

// The keyboard needs a moment after a configuration write before it takes the next one.
constexpr std::chrono::milliseconds kAfterWritePause{100};

} // namespace

JobWorker::JobWorker(JobQueue& queue, IJobRunner& runner, IWorkerFrontEnd& frontEnd, PacingClock* clock)
    : m_queue(queue), m_runner(runner), m_frontEnd(frontEnd),
      m_clock(clock ? *clock : SteadyPacingClock::Shared()) {}

JobWorker::~JobWorker() {
    Stop();
}

bool JobWorker::StartWorker() {
    m_queue.Resume();
    return Start();
}

void JobWorker::DoWork() {
    if (m_queue.WaitForWork()) RunOnce();
}

void JobWorker::WakeUp() {
    m_queue.Interrupt();
}

void JobWorker::RunOnce() {
    m_queue.SetBusy(true);
    if (const std::optional<int> code = m_queue.FrontJob()) RunFrontJob(*code);
    if (const std::optional<int> macro = m_queue.PopMacro()) m_runner.PlayMacro(*macro);
    if (const std::optional<QueuedKeyAction> action = m_queue.PopKeyAction())
        m_runner.CarryOutKeyAction(*action);
    m_queue.SetBusy(false);
}

void JobWorker::RunFrontJob(int code) {
    if (RunsWithoutKeyboard(code)) {
        m_queue.MarkFrontRunning();
        const bool ok = m_runner.RunJob(code);
        m_queue.PopJob();
        m_frontEnd.JobFinished(code, ok ? JobOutcome::Done : JobOutcome::Failed);
        return;
    }
    if (!m_runner.DeviceJobsAllowed()) {
        m_queue.PopJob();
        // The page opened the wait dialog for this write; with the job gone nothing else would close it.
        if (IsWriteJob(code)) m_frontEnd.CloseWaitDialog();
        m_frontEnd.JobFinished(code, JobOutcome::Dropped);
        return;
    }
    m_frontEnd.EnableWindow(false);
    m_queue.MarkFrontRunning();
    const bool ok = m_runner.RunJob(code);
    if (IsWriteJob(code)) {
        m_frontEnd.CloseWaitDialog();
        m_clock.Sleep(kAfterWritePause);
    }
    m_frontEnd.EnableWindow(true);
    m_queue.PopJob();
    m_frontEnd.JobFinished(code, ok ? JobOutcome::Done : JobOutcome::Failed);
}
