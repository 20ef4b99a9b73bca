// A full key upload (13 macro keys, 10 remapped keys) on the real clock against the protocol's floor,
// the sum of its fixed pauses (the same upload run on virtual time).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "link/DeviceLink.h"
#include "link/KeyboardProtocol.h"
#include "link/ProtocolReports.h"
#include "sim/KeyboardEmulator.h"
#include "store/ProfileDatabase.h"

namespace {

struct Profile {
    Profile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "molvane-bench-XXXXXX").string();
        folder = std::string(::mkdtemp(pattern.data())) + "/";
        std::filesystem::create_directories(folder + "db");
        db.Open(folder, "bench");
        for (int i = 0; i < 13; ++i) {
            MacroRecord macro;
            macro.m_name = "macro";
            macro.m_playTimes = 1;
            const int id = db.InsertMacro(macro);
            for (int e = 0; e < 20; ++e) {
                MacroEventRecord event;
                event.m_macroId = id;
                event.m_type = e % 2 == 0 ? kEventKeyDown : kEventKeyUp;
                event.m_recordIndex = e;
                event.m_value = 'A' + e / 2;
                event.m_delayTime = 30;
                db.InsertMacroEvent(event);
            }
            Assign(0x04 + i, kFunctionMacro, id);
        }
        for (int i = 0; i < 10; ++i)
            Assign(0x3A + i, 1, 0x1E + i);
    }
    ~Profile() {
        db.Close();
        std::filesystem::remove_all(folder);
    }
    void Assign(int keyCode, int type, int value) {
        KeyAssignmentRecord r;
        r.m_profile = 1;
        r.m_keyCode = keyCode;
        r.m_macroType = type;
        r.m_macroValue = value;
        db.SaveKeyAssignment(r);
    }
    std::string folder;
    ProfileDatabase db;
};

// Virtual time that also keeps every pause, so the bare pauses can be replayed on the real clock.
class RecordingClock final : public PacingClock {
public:
    void Sleep(std::chrono::microseconds d) override {
        pauses.push_back(d);
        m_clock.Sleep(d);
    }
    std::chrono::microseconds Now() const override { return m_clock.Now(); }
    std::vector<std::chrono::microseconds> pauses;

private:
    VirtualPacingClock m_clock;
};

// Uploads the profile once or twice (the second upload first clears the slots the first filled).
double UploadMs(ProfileDatabase& db, PacingClock& clock, bool slotsInUse) {
    KeyboardEmulator emulator(KeyboardEmulator::DefaultModes(), &clock);
    DeviceLink link(emulator.CreateBackend(), &clock);
    link.AddCatalogueEntry(0x2F5A, 0x7101, "", DeviceLink::kKeyboardDeviceType, 0, "");
    emulator.Plug(0);
    link.Enumerate();
    link.SelectType(DeviceLink::kKeyboardDeviceType);
    KeyboardProtocol protocol(link, db);
    protocol.SetProfile(1, 0);
    if (slotsInUse) protocol.UploadKeyAssignments();
    const auto start = clock.Now();
    protocol.UploadKeyAssignments();
    return (clock.Now() - start).count() / 1000.0;
}

void Upload(benchmark::State& state, bool slotsInUse) {
    Profile profile;
    VirtualPacingClock virtualClock;
    const double floorMs = UploadMs(profile.db, virtualClock, slotsInUse);
    double totalMs = 0;
    for (auto _ : state) {
        const double ms = UploadMs(profile.db, SteadyPacingClock::Shared(), slotsInUse);
        state.SetIterationTime(ms / 1000.0);
        totalMs += ms;
    }
    const double meanMs = totalMs / static_cast<double>(state.iterations());
    state.counters["floor_ms"] = floorMs;
    state.counters["over_floor_pct"] = 100.0 * (meanMs - floorMs) / floorMs;
}

// The same pauses slept back to back with no protocol work: what this machine's scheduler alone adds.
void BM_PausesOnlyEmptyKeyboard(benchmark::State& state) {
    Profile profile;
    RecordingClock recorder;
    const double floorMs = UploadMs(profile.db, recorder, false);
    double totalMs = 0;
    for (auto _ : state) {
        const auto start = SteadyPacingClock::Shared().Now();
        for (const auto pause : recorder.pauses)
            SteadyPacingClock::Shared().Sleep(pause);
        const double ms = (SteadyPacingClock::Shared().Now() - start).count() / 1000.0;
        state.SetIterationTime(ms / 1000.0);
        totalMs += ms;
    }
    const double meanMs = totalMs / static_cast<double>(state.iterations());
    state.counters["floor_ms"] = floorMs;
    state.counters["over_floor_pct"] = 100.0 * (meanMs - floorMs) / floorMs;
    state.counters["pauses"] = static_cast<double>(recorder.pauses.size());
}

void BM_KeyUploadEmptyKeyboard(benchmark::State& state) {
    Upload(state, false);
}
void BM_KeyUploadReplacingSlots(benchmark::State& state) {
    Upload(state, true);
}

} // namespace

BENCHMARK(BM_PausesOnlyEmptyKeyboard)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_KeyUploadEmptyKeyboard)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_KeyUploadReplacingSlots)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
