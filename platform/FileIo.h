// Small file-descriptor helpers shared by the writers of settings, downloads and extracted files.
#pragma once

#include <cstddef>

// Writes all `size` bytes, retrying after interruptions and short writes; false on any failure.
[[nodiscard]] bool WriteAll(int fd, const void* data, std::size_t size);
