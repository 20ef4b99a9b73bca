// Whole-buffer writes.
#include "platform/FileIo.h"

#include <cerrno>
#include <unistd.h>

bool WriteAll(int fd, const void* data, std::size_t size)
{
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, next, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // a write of nothing would otherwise spin forever
        next += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
