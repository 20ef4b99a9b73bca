// Unpacking a generated 50 MB archive of mixed files: our extractor against "unzip -o -qq".
// The archive is made at start-up with the system "zip" command in a temporary folder.
#include "update/Unzip.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct BenchArchive {
    std::string root;
    std::string archive;
    bool ok = false;
};

void WriteFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TextBytes(std::mt19937& random, size_t size)
{
    static const char* const words[] = {"keyboard", "profile", "macro", "lighting", "firmware", "layer",
        "colour", "effect", "update", "device", "report", "slot", "value", "speed", "brightness"};
    std::string text;
    text.reserve(size + 32);
    while (text.size() < size) {
        text += words[random() % std::size(words)];
        text += (random() % 12 == 0) ? '\n' : ' ';
        if (random() % 7 == 0)
            text += std::to_string(random() % 100000);
    }
    text.resize(size);
    return text;
}

std::string RandomBytes(std::mt19937& random, size_t size)
{
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

// About 50 MB of archive: incompressible binaries, compressible texts and many small files.
void MakeSourceTree(const fs::path& source)
{
    std::mt19937 random(1234);
    for (int i = 0; i < 9; ++i)
        WriteFile(source / "bin" / ("blob" + std::to_string(i) + ".dat"), RandomBytes(random, 3 << 20));
    for (int i = 0; i < 24; ++i)
        WriteFile(source / "doc" / ("text" + std::to_string(i) + ".txt"), TextBytes(random, 2 << 20));
    for (int i = 0; i < 3000; ++i) {
        fs::path dir = source / "skins" / ("set" + std::to_string(i % 40));
        bool binary = i % 3 == 0;
        size_t size = 1000 + random() % 12000;
        WriteFile(dir / ("item" + std::to_string(i) + (binary ? ".png" : ".xml")),
            binary ? RandomBytes(random, size) : TextBytes(random, size));
    }
}

const BenchArchive& Archive()
{
    static BenchArchive made = [] {
        BenchArchive result;
        std::string pattern = (fs::temp_directory_path() / "molvane-unzip-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            return result;
        result.root = pattern;
        result.archive = result.root + "/mixed.zip";
        MakeSourceTree(result.root + "/source");
        std::string command = "cd '" + result.root + "/source' && zip -q -r '" + result.archive + "' .";
        result.ok = std::system(command.c_str()) == 0;
        fs::remove_all(result.root + "/source");
        if (result.ok)
            std::printf("archive: %.1f MB\n", static_cast<double>(fs::file_size(result.archive)) / 1e6);
        return result;
    }();
    return made;
}

bool RunInfoZip(const std::string& archive, const std::string& folder)
{
    const char* argv[] = {"unzip", "-o", "-qq", archive.c_str(), "-d", folder.c_str(), nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, "unzip", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

template <typename Extract>
void Measure(benchmark::State& state, Extract extract)
{
    const BenchArchive& archive = Archive();
    if (!archive.ok) {
        state.SkipWithError("could not build the archive with zip");
        return;
    }
    std::string folder = archive.root + "/out";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(folder);
        state.ResumeTiming();
        if (!extract(archive.archive, folder)) {
            state.SkipWithError("extraction failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(archive.archive)));
}

void BM_UnzipToFolder(benchmark::State& state)
{
    Measure(state, [](const std::string& archive, const std::string& folder) {
        UnzipResult result = UnzipArchive(archive, folder);
        return result.status == UnzipStatus::Done && result.failed == 0 && result.refused == 0;
    });
}

void BM_InfoZipUnzip(benchmark::State& state)
{
    Measure(state, RunInfoZip);
}

} // namespace

BENCHMARK(BM_UnzipToFolder)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_InfoZipUnzip)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!Archive().root.empty())
        fs::remove_all(Archive().root);
    return 0;
}
