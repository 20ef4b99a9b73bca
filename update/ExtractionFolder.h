// The folder an archive is unpacked into, reached only through directory descriptors so that no
// symbolic link already inside it is ever followed.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class ExtractionFolder {
public:
    ExtractionFolder() = default;
    ExtractionFolder(const ExtractionFolder&) = delete;
    ExtractionFolder& operator=(const ExtractionFolder&) = delete;
    ~ExtractionFolder();

    // Opens the target folder, creating it and its parents when missing.
    [[nodiscard]] bool Open(const std::string& folder);

    // The folder named by the first count path components below the target, with missing
    // folders created; -1 when a component is not a real folder. The descriptor stays owned here
    // and is valid until the next call.
    [[nodiscard]] int OpenFolder(const std::vector<std::string>& components, size_t count);

    // Replaces whatever non-folder sits at leaf with a new, empty regular file; -1 on failure.
    [[nodiscard]] static int CreateFile(int folder, const std::string& leaf, mode_t mode);

private:
    void ForgetCachedFolder();

    int m_root = -1;
    // Archives list files folder by folder; keeping the last folder open saves the walk.
    std::string m_cachedPath;
    int m_cachedFd = -1;
};
