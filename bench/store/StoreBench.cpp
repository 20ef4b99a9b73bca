// Profile database timings that the pages feel: saving and loading a long macro, loading a profile's keys.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "store/ProfileDatabase.h"

namespace {

// A database file in a fresh temporary folder, removed afterwards.
class BenchDatabase {
public:
    BenchDatabase()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "molvane-bench-XXXXXX").string();
        m_folder = std::string(::mkdtemp(pattern.data())) + "/";
        std::filesystem::create_directories(m_folder + "db");
        m_db.Open(m_folder, "MK71");
    }
    ~BenchDatabase()
    {
        m_db.Close();
        std::filesystem::remove_all(m_folder);
    }
    ProfileDatabase& Db() { return m_db; }

private:
    std::string m_folder;
    ProfileDatabase m_db;
};

std::vector<MacroEventRecord> MakeEvents(int macroId, int count)
{
    std::vector<MacroEventRecord> events(count);
    for (int i = 0; i < count; ++i)
        events[i] = {0, macroId, i % 2 ? 2 : 1, i, 0x41 + i % 26, 35, "Key " + std::to_string(i % 26)};
    return events;
}

// Saving a 10 000-event macro; the editor's delete of the old events before it is not timed.
void BM_SaveMacroEvents10000(benchmark::State& state)
{
    BenchDatabase bench;
    int macro = bench.Db().CreateMacro("long");
    std::vector<MacroEventRecord> events = MakeEvents(macro, 10000);
    for (auto _ : state) {
        state.PauseTiming();
        bench.Db().DeleteMacroEvents(macro);
        state.ResumeTiming();
        bench.Db().SaveMacroEvents(events);
    }
    state.SetItemsProcessed(state.iterations() * events.size());
}
BENCHMARK(BM_SaveMacroEvents10000)->Unit(benchmark::kMillisecond);

void BM_LoadMacroEvents10000(benchmark::State& state)
{
    BenchDatabase bench;
    int macro = bench.Db().CreateMacro("long");
    bench.Db().SaveMacroEvents(MakeEvents(macro, 10000));
    std::vector<MacroEventRecord> loaded;
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.Db().LoadMacroEvents(macro, loaded));
    state.SetItemsProcessed(state.iterations() * loaded.size());
}
BENCHMARK(BM_LoadMacroEvents10000)->Unit(benchmark::kMillisecond);

// The key page and the key filter load a profile's whole layer; 64 is the assignment limit.
void BM_LoadKeyAssignments64(benchmark::State& state)
{
    BenchDatabase bench;
    for (int profile = 1; profile <= 10; ++profile) {
        for (int key = 0; key < 64; ++key) {
            KeyAssignmentRecord record{0, profile, 0, 0x04 + key, 1, "layout", 1, 0x1E + key % 10, 0, 0, "desc"};
            bench.Db().SaveKeyAssignment(record);
        }
    }
    std::vector<KeyAssignmentRecord> keys;
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.Db().LoadKeyAssignments(5, 0, keys));
    state.SetItemsProcessed(state.iterations() * keys.size());
}
BENCHMARK(BM_LoadKeyAssignments64)->Unit(benchmark::kMicrosecond);

} // namespace
