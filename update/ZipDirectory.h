// The table of contents of a ZIP archive: end record, central directory and local headers, checked
// against the limits the extractor sets before anything is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ZipEntry {
    std::string name; // as stored in the central directory (may hold any bytes)
    uint16_t versionMadeBy = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t dosTime = 0;
    uint16_t dosDate = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint32_t externalAttributes = 0;
    uint32_t localHeaderOffset = 0;
    std::string centralExtra;
    std::string localExtra;
    uint64_t dataOffset = 0;   // first byte of the entry's data, from its local header
    bool localHeaderOk = false; // false: the entry's data cannot be located
};

enum class ZipDirectoryStatus {
    Ok,
    NotZip,         // no end record, or the directory lies outside the file
    Zip64,          // ZIP64 records or sizes, not supported
    MultiDisk,      // split archives, not supported
    TooManyEntries, // more than kMaxEntries
    TooLarge,       // declared sizes add up to more than kMaxTotalSize
    Overlapping,    // two entries share bytes (a known zip-bomb construction)
};

class ZipDirectory {
public:
    static constexpr size_t kMaxEntries = 10000;
    static constexpr uint64_t kMaxTotalSize = 1ULL << 30;
    static constexpr uint32_t kMaxDirectorySize = 64U << 20;

    // Reads and checks the archive's table of contents through pread on fd.
    [[nodiscard]] ZipDirectoryStatus Read(int fd);

    const std::vector<ZipEntry>& Entries() const { return m_entries; }
    // A sentence saying why Read failed.
    const std::string& Message() const { return m_message; }

private:
    ZipDirectoryStatus Fail(ZipDirectoryStatus status, const std::string& message);
    ZipDirectoryStatus ReadEndRecord(int fd, uint64_t fileSize);
    ZipDirectoryStatus ReadCentralDirectory(int fd);
    void ReadLocalHeaders(int fd, uint64_t fileSize);
    ZipDirectoryStatus CheckOverlaps();

    std::vector<ZipEntry> m_entries;
    std::string m_message;
    uint64_t m_directoryOffset = 0;
    uint32_t m_directorySize = 0;
    uint32_t m_entryCount = 0;
};
