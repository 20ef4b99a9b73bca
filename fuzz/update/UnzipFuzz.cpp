// Feeds arbitrary bytes to the ZIP extractor as an archive file and unpacks them into a scratch
// folder, which is emptied after every input.
//   update_unzip_fuzz -max_total_time=60 fuzz/update/corpus
#include "update/Unzip.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string ScratchFolder()
{
    std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = base + "/molvane-unzip-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()))
        std::abort();
    return pattern;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string scratch = ScratchFolder();
    static const std::string folder = scratch + "/out";
    int fd = memfd_create("archive", MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size))
        std::abort();
    UnzipResult result = UnzipFromDescriptor(fd, folder);
    close(fd);
    // Nothing may ever appear beside the target folder, and no link inside it.
    for (const auto& item : std::filesystem::directory_iterator(scratch)) {
        if (item.path().filename() != "out")
            std::abort();
    }
    std::error_code error;
    for (auto item = std::filesystem::recursive_directory_iterator(folder, error);
         item != std::filesystem::recursive_directory_iterator(); item.increment(error)) {
        if (item->is_symlink())
            std::abort();
    }
    std::filesystem::remove_all(folder, error);
    (void)result;
    return 0;
}
