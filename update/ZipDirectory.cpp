// Parsing of the ZIP end record, central directory and local headers (PKWARE application note).
#include "update/ZipDirectory.h"

#include "update/ZipBytes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;

bool ReadExact(int fd, void* buffer, size_t size, uint64_t offset)
{
    auto* out = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        ssize_t n = pread(fd, out, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        out += n;
        size -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

// The last end-record signature whose comment fits in the file; tail.size() when there is none.
size_t FindEndRecord(const std::vector<unsigned char>& tail)
{
    for (size_t pos = tail.size() - kEndSize + 1; pos-- > 0;) {
        if (ZipGet32(&tail[pos]) == kEndSignature && pos + kEndSize + ZipGet16(&tail[pos + 20]) <= tail.size())
            return pos;
    }
    return tail.size();
}

} // namespace

ZipDirectoryStatus ZipDirectory::Fail(ZipDirectoryStatus status, const std::string& message)
{
    m_entries.clear();
    m_message = message;
    return status;
}

ZipDirectoryStatus ZipDirectory::Read(int fd)
{
    m_entries.clear();
    m_message.clear();
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return Fail(ZipDirectoryStatus::NotZip, "not a regular file");
    uint64_t fileSize = static_cast<uint64_t>(info.st_size);
    ZipDirectoryStatus status = ReadEndRecord(fd, fileSize);
    if (status != ZipDirectoryStatus::Ok)
        return status;
    status = ReadCentralDirectory(fd);
    if (status != ZipDirectoryStatus::Ok)
        return status;
    ReadLocalHeaders(fd, fileSize);
    return CheckOverlaps();
}

ZipDirectoryStatus ZipDirectory::ReadEndRecord(int fd, uint64_t fileSize)
{
    if (fileSize < kEndSize)
        return Fail(ZipDirectoryStatus::NotZip, "file too short for a ZIP archive");
    // The end record sits in the last 22 bytes plus at most a 65535-byte comment.
    size_t tailSize = static_cast<size_t>(std::min<uint64_t>(fileSize, kEndSize + 0xFFFF));
    uint64_t tailOffset = fileSize - tailSize;
    std::vector<unsigned char> tail(tailSize);
    if (!ReadExact(fd, tail.data(), tailSize, tailOffset))
        return Fail(ZipDirectoryStatus::NotZip, "cannot read the end of the file");
    size_t found = FindEndRecord(tail);
    if (found == tailSize)
        return Fail(ZipDirectoryStatus::NotZip, "no end of central directory record");
    uint64_t endOffset = tailOffset + found;
    const unsigned char* end = &tail[found];
    if (endOffset >= 20) {
        unsigned char locator[4];
        if (ReadExact(fd, locator, 4, endOffset - 20) && ZipGet32(locator) == kZip64LocatorSignature)
            return Fail(ZipDirectoryStatus::Zip64, "ZIP64 archives are not supported");
    }
    uint16_t disk = ZipGet16(end + 4), directoryDisk = ZipGet16(end + 6);
    uint16_t entriesHere = ZipGet16(end + 8), entries = ZipGet16(end + 10);
    uint32_t size = ZipGet32(end + 12), offset = ZipGet32(end + 16);
    if (entries == 0xFFFF || entriesHere == 0xFFFF || size == 0xFFFFFFFF || offset == 0xFFFFFFFF)
        return Fail(ZipDirectoryStatus::Zip64, "ZIP64 archives are not supported");
    if (disk != 0 || directoryDisk != 0 || entriesHere != entries)
        return Fail(ZipDirectoryStatus::MultiDisk, "split archives are not supported");
    if (entries > kMaxEntries)
        return Fail(ZipDirectoryStatus::TooManyEntries, "more than 10000 entries");
    if (static_cast<uint64_t>(offset) + size > endOffset)
        return Fail(ZipDirectoryStatus::NotZip, "central directory lies outside the file");
    if (size > kMaxDirectorySize)
        return Fail(ZipDirectoryStatus::TooLarge, "central directory too large");
    m_directoryOffset = offset;
    m_directorySize = size;
    m_entryCount = entries;
    return ZipDirectoryStatus::Ok;
}

ZipDirectoryStatus ZipDirectory::ReadCentralDirectory(int fd)
{
    std::vector<unsigned char> table(m_directorySize);
    if (!ReadExact(fd, table.data(), table.size(), m_directoryOffset))
        return Fail(ZipDirectoryStatus::NotZip, "cannot read the central directory");
    m_entries.reserve(m_entryCount);
    size_t pos = 0;
    uint64_t total = 0;
    for (uint32_t i = 0; i < m_entryCount; ++i) {
        if (table.size() - pos < kCentralSize || ZipGet32(&table[pos]) != kCentralSignature)
            return Fail(ZipDirectoryStatus::NotZip, "central directory is damaged");
        const unsigned char* p = &table[pos];
        size_t nameSize = ZipGet16(p + 28), extraSize = ZipGet16(p + 30), commentSize = ZipGet16(p + 32);
        if (table.size() - pos - kCentralSize < nameSize + extraSize + commentSize)
            return Fail(ZipDirectoryStatus::NotZip, "central directory is damaged");
        ZipEntry entry;
        entry.versionMadeBy = ZipGet16(p + 4);
        entry.flags = ZipGet16(p + 8);
        entry.method = ZipGet16(p + 10);
        entry.dosTime = ZipGet16(p + 12);
        entry.dosDate = ZipGet16(p + 14);
        entry.crc = ZipGet32(p + 16);
        entry.compressedSize = ZipGet32(p + 20);
        entry.uncompressedSize = ZipGet32(p + 24);
        entry.externalAttributes = ZipGet32(p + 38);
        entry.localHeaderOffset = ZipGet32(p + 42);
        if (entry.compressedSize == 0xFFFFFFFF || entry.uncompressedSize == 0xFFFFFFFF
            || entry.localHeaderOffset == 0xFFFFFFFF || ZipGet16(p + 34) == 0xFFFF)
            return Fail(ZipDirectoryStatus::Zip64, "ZIP64 archives are not supported");
        const char* text = reinterpret_cast<const char*>(p + kCentralSize);
        entry.name.assign(text, nameSize);
        entry.centralExtra.assign(text + nameSize, extraSize);
        total += entry.uncompressedSize;
        if (total > kMaxTotalSize)
            return Fail(ZipDirectoryStatus::TooLarge, "declared contents larger than 1 GiB");
        m_entries.push_back(std::move(entry));
        pos += kCentralSize + nameSize + extraSize + commentSize;
    }
    return ZipDirectoryStatus::Ok;
}

void ZipDirectory::ReadLocalHeaders(int fd, uint64_t fileSize)
{
    uint64_t limit = std::min<uint64_t>(m_directoryOffset, fileSize);
    for (ZipEntry& entry : m_entries) {
        unsigned char header[kLocalSize];
        uint64_t offset = entry.localHeaderOffset;
        if (offset + kLocalSize > limit || !ReadExact(fd, header, kLocalSize, offset)
            || ZipGet32(header) != kLocalSignature)
            continue;
        uint64_t nameSize = ZipGet16(header + 26), extraSize = ZipGet16(header + 28);
        entry.dataOffset = offset + kLocalSize + nameSize + extraSize;
        if (entry.dataOffset + entry.compressedSize > limit)
            continue;
        entry.localExtra.resize(extraSize);
        if (extraSize > 0 && !ReadExact(fd, entry.localExtra.data(), extraSize, offset + kLocalSize + nameSize))
            continue;
        entry.localHeaderOk = true;
    }
}

ZipDirectoryStatus ZipDirectory::CheckOverlaps()
{
    std::vector<std::pair<uint64_t, uint64_t>> spans;
    spans.reserve(m_entries.size());
    for (const ZipEntry& entry : m_entries) {
        if (entry.localHeaderOk)
            spans.emplace_back(entry.localHeaderOffset, entry.dataOffset + entry.compressedSize);
    }
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].first < spans[i - 1].second)
            return Fail(ZipDirectoryStatus::Overlapping, "entries overlap");
    }
    return ZipDirectoryStatus::Ok;
}
