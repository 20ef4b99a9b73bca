// Latency the key filter adds to a key: a report written into the "keyboard" pipe until its
// output (the clone's pass-through, or the virtual device's key for a withheld key) can be read
// from the output pipe. 100 000 events per run; p50 and p99 in microseconds as counters.
#include "keys/HidUsbFilter.h"
#include "keys/IMacroSource.h"
#include "keys/SoftwarePlayback.h"
#include "keys/VHidev.h"
#include "link/PacingClock.h"

#include <benchmark/benchmark.h>
#include <linux/input.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kEvents = 100000;

class PipeNode final : public IKeyboardNode {
public:
    PipeNode(int eventFd, int outputFd) : m_eventFd(eventFd), m_outputFd(outputFd) {}
    int EventFd() const override { return m_eventFd; }
    int OutputFd() const override { return m_outputFd; }
    bool QueryHeldKeys(KeyBits& held) override
    {
        held.reset();
        return true;
    }
    bool SetGrab(bool) override { return true; }
    std::string Name() const override { return "pipe"; }

private:
    int m_eventFd;
    int m_outputFd;
};

class NoMacros final : public IMacroSource {
public:
    bool LoadMacro(int, MacroRecord&) override { return false; }
    std::vector<MacroEventRecord> LoadMacroEvents(int) override { return {}; }
};

input_event Event(unsigned short type, unsigned short code, int value)
{
    input_event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.code = code;
    event.value = value;
    return event;
}

// Reads until a SYN_REPORT has arrived.
void ReadReport(int fd)
{
    input_event events[16];
    for (;;) {
        ssize_t got = ::read(fd, events, sizeof events);
        if (got <= 0)
            return;
        const input_event& last = events[got / static_cast<ssize_t>(sizeof(input_event)) - 1];
        if (last.type == EV_SYN)
            return;
    }
}

void Percentiles(benchmark::State& state, std::vector<double>& micros)
{
    std::sort(micros.begin(), micros.end());
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    state.counters["max_us"] = micros.back();
}

// Sends `kEvents` key events (alternating press and release) through `keyboardFd` and times
// each until its report appears on `outputFd`.
std::vector<double> TimeKeys(int keyboardFd, int outputFd, unsigned short code)
{
    std::vector<double> micros;
    micros.reserve(kEvents);
    for (int i = 0; i < kEvents; ++i) {
        input_event report[2] = {Event(EV_KEY, code, (i + 1) % 2), Event(EV_SYN, SYN_REPORT, 0)};
        auto start = std::chrono::steady_clock::now();
        if (::write(keyboardFd, report, sizeof report) != static_cast<ssize_t>(sizeof report))
            break;
        ReadReport(outputFd);
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    return micros;
}

struct Pipes {
    Pipes()
    {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0)
            return;
        keyboardRead = in[0];
        keyboardWrite = in[1];
        outputRead = out[0];
        outputWrite = out[1];
        ::fcntl(keyboardRead, F_SETFL, O_NONBLOCK); // the filter reads like an evdev node
    }
    ~Pipes()
    {
        for (int fd : {keyboardRead, keyboardWrite, outputRead, outputWrite})
            if (fd >= 0)
                ::close(fd);
    }
    int keyboardRead = -1, keyboardWrite = -1, outputRead = -1, outputWrite = -1;
};

void BM_PassThroughKey(benchmark::State& state)
{
    for (auto _ : state) {
        Pipes pipes;
        HidUsbFilter filter;
        std::vector<std::unique_ptr<IKeyboardNode>> nodes;
        nodes.push_back(std::make_unique<PipeNode>(pipes.keyboardRead, pipes.outputWrite));
        filter.Start(std::move(nodes));
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // let it grab
        std::vector<double> micros = TimeKeys(pipes.keyboardWrite, pipes.outputRead, KEY_B);
        filter.Stop();
        Percentiles(state, micros);
    }
}
BENCHMARK(BM_PassThroughKey)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WithheldKeyToVirtualDevice(benchmark::State& state)
{
    for (auto _ : state) {
        Pipes pipes;
        VHidev device;
        device.UseOutput(pipes.outputWrite);
        NoMacros macros;
        VirtualPacingClock clock;
        SoftwarePlayback playback(device, macros, clock);
        playback.InitSoftwarePlayback();
        KeyAssignmentRecord row;
        row.m_keyCode = 0x05; // B types Z
        row.m_macroType = SoftwarePlayback::kTypeKey;
        row.m_macroValue = 0x1D;
        playback.ArmSoftwarePlayback({row});
        std::vector<std::unique_ptr<IKeyboardNode>> nodes;
        nodes.push_back(std::make_unique<PipeNode>(pipes.keyboardRead, pipes.outputWrite));
        playback.AttachKeyboard(std::move(nodes));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::vector<double> micros = TimeKeys(pipes.keyboardWrite, pipes.outputRead, KEY_B);
        playback.DisarmFilter();
        Percentiles(state, micros);
    }
}
BENCHMARK(BM_WithheldKeyToVirtualDevice)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
