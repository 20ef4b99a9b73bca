// What the language-file cache saves when a window looks up all of its texts at once.
#include "platform/AtomicFile.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/LanguageText.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kLookups = 300; // about as many texts as the main window applies

void UseShippedLanguage(int lcid) {
    SetModuleFolder(MOLVANE_SOURCE_DIR "/data/");
    SetCurrentLanguage(lcid);
}

// LoadText as shipped: one stat per lookup, the parsed file from the cache.
void BM_LoadTextCached(benchmark::State& state) {
    UseShippedLanguage(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (int id = 1; id <= kLookups; ++id)
            benchmark::DoNotOptimize(LoadText(id));
    }
    state.SetItemsProcessed(state.iterations() * kLookups);
}
BENCHMARK(BM_LoadTextCached)->Arg(1033)->Arg(2052);

// The same lookups reading and parsing the file each time, as an uncached profile-file reader would.
void BM_LoadTextReparsed(benchmark::State& state) {
    UseShippedLanguage(static_cast<int>(state.range(0)));
    const std::string path = GetLanguageFilePath();
    for (auto _ : state) {
        for (int id = 1; id <= kLookups; ++id) {
            IniFile ini;
            ini.Parse(ReadWholeFile(path).value_or(std::string()));
            benchmark::DoNotOptimize(ini.GetValue(kTextSection, std::to_string(id)));
        }
    }
    state.SetItemsProcessed(state.iterations() * kLookups);
}
BENCHMARK(BM_LoadTextReparsed)->Arg(1033)->Arg(2052);

} // namespace
