// How fast a queued job reaches the sleeping worker, and what a queue operation costs.
#include "app/JobQueue.h"
#include "app/JobWorker.h"
#include "link/PacingClock.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <mutex>

namespace {

// Signals each job it runs, so the benchmark can wait for it.
class SignallingRunner final : public IJobRunner {
public:
    bool DeviceJobsAllowed() override { return true; }
    bool RunJob(int) override {
        {
            std::lock_guard lock(m_mutex);
            ++m_done;
        }
        m_ran.notify_one();
        return true;
    }
    void PlayMacro(int) override {}
    void WaitFor(long count) {
        std::unique_lock lock(m_mutex);
        m_ran.wait(lock, [&] { return m_done >= count; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ran;
    long m_done = 0;
};

// Queue-to-run latency of one job on an idle worker (a polling worker would average 8 ms).
void BM_JobWakeUp(benchmark::State& state) {
    JobQueue queue;
    SignallingRunner runner;
    IWorkerFrontEnd frontEnd;
    VirtualPacingClock clock;
    JobWorker worker(queue, runner, frontEnd, &clock);
    worker.StartWorker();
    long count = 0;
    for (auto _ : state) {
        queue.PushJob(4);
        runner.WaitFor(++count);
    }
    worker.Stop();
}
BENCHMARK(BM_JobWakeUp)->UseRealTime();

void BM_QueuePushPop(benchmark::State& state) {
    JobQueue queue;
    for (auto _ : state) {
        queue.PushMacro(1);
        benchmark::DoNotOptimize(queue.PopMacro());
    }
}
BENCHMARK(BM_QueuePushPop);

} // namespace
