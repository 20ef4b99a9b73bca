// A small ZIP writer for the tests: builds archives with exactly the oddities a case needs
// (lying sizes, damaged data, links, climbing names, shared data, ZIP64 markers).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct ZipBuildEntry {
    ZipBuildEntry() = default;
    ZipBuildEntry(std::string entryName, std::string entryData, bool deflated = true)
        : name(std::move(entryName)), data(std::move(entryData)), deflate(deflated)
    {
    }

    std::string name;
    std::string data;
    bool deflate = true;
    uint16_t versionMadeBy = 0x031E;            // Unix, 3.0
    uint32_t externalAttributes = 0100644u << 16; // regular file rw-r--r--
    uint16_t dosTime = 0;
    uint16_t dosDate = (1 << 5) | 1; // 1980-01-01
    std::string localExtra;
    std::string centralExtra;
    std::optional<uint32_t> declaredSize; // replaces the true uncompressed size in both headers
    bool damageData = false;              // flips bytes in the middle of the stored data
    int shareDataWith = -1;               // central entry points at that entry's local header
};

class ZipBuilder {
public:
    ZipBuilder& Add(ZipBuildEntry entry);
    ZipBuilder& AddFile(const std::string& name, const std::string& data, bool deflate = true);
    ZipBuilder& AddDirectory(const std::string& name);
    // Puts a ZIP64 end-of-central-directory locator in front of the end record.
    ZipBuilder& WithZip64Locator();

    std::string Build() const;
    bool WriteTo(const std::string& path) const;

    // An "UT" extra field with the given times (flags 1 and 2).
    static std::string ExtendedTimestamp(int32_t modified, std::optional<int32_t> accessed = std::nullopt);
    static std::string Deflate(const std::string& data);

private:
    std::vector<ZipBuildEntry> m_entries;
    bool m_zip64Locator = false;
};
