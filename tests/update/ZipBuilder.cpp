// ZIP writing for the test archives.
#include "ZipBuilder.h"

#include <zlib.h>

#include <fstream>

namespace {

void Put16(std::string& out, uint32_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

ZipBuilder& ZipBuilder::Add(ZipBuildEntry entry)
{
    m_entries.push_back(std::move(entry));
    return *this;
}

ZipBuilder& ZipBuilder::AddFile(const std::string& name, const std::string& data, bool deflate)
{
    ZipBuildEntry entry;
    entry.name = name;
    entry.data = data;
    entry.deflate = deflate;
    return Add(std::move(entry));
}

ZipBuilder& ZipBuilder::AddDirectory(const std::string& name)
{
    ZipBuildEntry entry;
    entry.name = name;
    entry.deflate = false;
    entry.externalAttributes = (040755u << 16) | 0x10;
    return Add(std::move(entry));
}

ZipBuilder& ZipBuilder::WithZip64Locator()
{
    m_zip64Locator = true;
    return *this;
}

std::string ZipBuilder::Deflate(const std::string& data)
{
    z_stream stream {};
    deflateInit2(&stream, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string ZipBuilder::ExtendedTimestamp(int32_t modified, std::optional<int32_t> accessed)
{
    std::string field;
    Put16(field, 0x5455);
    Put16(field, accessed ? 9 : 5);
    field.push_back(static_cast<char>(accessed ? 3 : 1));
    Put32(field, static_cast<uint32_t>(modified));
    if (accessed)
        Put32(field, static_cast<uint32_t>(*accessed));
    return field;
}

std::string ZipBuilder::Build() const
{
    std::string archive, directory;
    std::vector<uint32_t> localOffsets;
    for (const ZipBuildEntry& entry : m_entries) {
        std::string data = entry.deflate ? Deflate(entry.data) : entry.data;
        if (entry.damageData && !data.empty()) {
            for (size_t i = data.size() / 2; i < data.size() && i < data.size() / 2 + 8; ++i)
                data[i] = static_cast<char>(data[i] ^ 0x5A);
        }
        uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size())));
        uint32_t size = entry.declaredSize.value_or(static_cast<uint32_t>(entry.data.size()));
        uint16_t method = entry.deflate ? 8 : 0;
        uint32_t offset = static_cast<uint32_t>(archive.size());
        if (entry.shareDataWith >= 0) {
            offset = localOffsets[static_cast<size_t>(entry.shareDataWith)];
        } else {
            Put32(archive, 0x04034b50);
            Put16(archive, 20);
            Put16(archive, 0);
            Put16(archive, method);
            Put16(archive, entry.dosTime);
            Put16(archive, entry.dosDate);
            Put32(archive, crc);
            Put32(archive, static_cast<uint32_t>(data.size()));
            Put32(archive, size);
            Put16(archive, static_cast<uint32_t>(entry.name.size()));
            Put16(archive, static_cast<uint32_t>(entry.localExtra.size()));
            archive += entry.name + entry.localExtra + data;
        }
        localOffsets.push_back(offset);
        Put32(directory, 0x02014b50);
        Put16(directory, entry.versionMadeBy);
        Put16(directory, 20);
        Put16(directory, 0);
        Put16(directory, method);
        Put16(directory, entry.dosTime);
        Put16(directory, entry.dosDate);
        Put32(directory, crc);
        Put32(directory, static_cast<uint32_t>(data.size()));
        Put32(directory, size);
        Put16(directory, static_cast<uint32_t>(entry.name.size()));
        Put16(directory, static_cast<uint32_t>(entry.centralExtra.size()));
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, entry.externalAttributes);
        Put32(directory, offset);
        directory += entry.name + entry.centralExtra;
    }
    uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
    archive += directory;
    if (m_zip64Locator) {
        Put32(archive, 0x07064b50);
        Put32(archive, 0);
        Put32(archive, directoryOffset + static_cast<uint32_t>(directory.size()));
        Put32(archive, 0);
        Put32(archive, 1);
    }
    Put32(archive, 0x06054b50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<uint32_t>(m_entries.size()));
    Put16(archive, static_cast<uint32_t>(m_entries.size()));
    Put32(archive, static_cast<uint32_t>(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, 0);
    return archive;
}

bool ZipBuilder::WriteTo(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string bytes = Build();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
