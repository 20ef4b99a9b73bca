// Extraction of ZIP entries: name checks, folder creation, stored copy or raw inflate, times.
#include "update/Unzip.h"

#include "platform/FileIo.h"

#include "update/ExtractionFolder.h"
#include "update/ZipBytes.h"
#include "update/ZipDirectory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <optional>
#include <vector>

namespace {

constexpr size_t kOutputBlock = 16384;
constexpr size_t kInputBlock = 65536;
constexpr uint32_t kDosDirectory = 0x10;
constexpr uint32_t kDosReadOnly = 0x01;
constexpr uint16_t kEncrypted = 0x0001;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
constexpr uint16_t kExtendedTimestamp = 0x5455; // "UT"

enum class EntryOutcome { Extracted, Failed, Refused };

ssize_t ReadAt(int fd, unsigned char* buffer, size_t size, uint64_t offset)
{
    for (;;) {
        ssize_t n = pread(fd, buffer, size, static_cast<off_t>(offset));
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

uint32_t UnixMode(const ZipEntry& entry)
{
    return entry.externalAttributes >> 16;
}

bool MadeOnUnix(const ZipEntry& entry)
{
    int host = entry.versionMadeBy >> 8;
    return host == 3 || host == 19; // Unix, OS X
}

// Links and device nodes are refused: a link written now would redirect later entries.
bool IsSpecialFile(const ZipEntry& entry)
{
    uint32_t type = UnixMode(entry) & S_IFMT;
    return type != 0 && type != S_IFREG && type != S_IFDIR;
}

bool IsDirectory(const ZipEntry& entry)
{
    const std::string& name = entry.name;
    return (entry.externalAttributes & kDosDirectory) != 0 || (UnixMode(entry) & S_IFMT) == S_IFDIR
        || (!name.empty() && (name.back() == '/' || name.back() == '\\'));
}

mode_t FileMode(const ZipEntry& entry)
{
    if (MadeOnUnix(entry) && (UnixMode(entry) & 0777) != 0)
        return static_cast<mode_t>(UnixMode(entry) & 0777);
    return (entry.externalAttributes & kDosReadOnly) != 0 ? 0444 : 0644;
}

// The path below the target folder, or false when the name must not be used at all.
bool NameComponents(const std::string& name, std::vector<std::string>& components)
{
    if (name.find('\0') != std::string::npos)
        return false;
    // An archive from a stranger has no business naming an absolute place; refuse instead of relocating it.
    bool driveLetter = name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]));
    if (driveLetter || (!name.empty() && (name[0] == '/' || name[0] == '\\')))
        return false;
    std::string cleaned = CleanEntryName(name);
    components.clear();
    size_t start = 0;
    while (start <= cleaned.size()) {
        size_t end = cleaned.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = cleaned.size();
        std::string part = cleaned.substr(start, end - start);
        if (part == "..")
            return false;
        if (!part.empty() && part != ".")
            components.push_back(std::move(part));
        start = end + 1;
    }
    return !components.empty();
}

struct EntryTimes {
    std::optional<time_t> modified;
    std::optional<time_t> accessed;
};

// The "UT" extra field: a flags byte, then the modification, access and creation times that the
// flags announce, as signed 32-bit Unix seconds (the central copy holds at most the first).
EntryTimes ParseExtendedTimestamp(const std::string& extra)
{
    EntryTimes times;
    const auto* p = reinterpret_cast<const unsigned char*>(extra.data());
    size_t pos = 0;
    while (extra.size() - pos >= 4) {
        uint16_t id = ZipGet16(p + pos);
        size_t size = ZipGet16(p + pos + 2);
        pos += 4;
        if (size > extra.size() - pos)
            break;
        if (id == kExtendedTimestamp && size >= 1) {
            uint8_t flags = p[pos];
            size_t at = 1;
            if ((flags & 1) && at + 4 <= size) {
                times.modified = static_cast<int32_t>(ZipGet32(p + pos + at));
                at += 4;
            }
            if ((flags & 2) && at + 4 <= size)
                times.accessed = static_cast<int32_t>(ZipGet32(p + pos + at));
            return times;
        }
        pos += size;
    }
    return times;
}

std::optional<time_t> DosTimeAsLocal(uint16_t date, uint16_t time)
{
    struct tm fields {};
    fields.tm_year = ((date >> 9) & 0x7F) + 80;
    fields.tm_mon = ((date >> 5) & 0x0F) - 1;
    fields.tm_mday = date & 0x1F;
    fields.tm_hour = time >> 11;
    fields.tm_min = (time >> 5) & 0x3F;
    fields.tm_sec = (time & 0x1F) * 2;
    fields.tm_isdst = -1;
    time_t value = mktime(&fields);
    if (value == static_cast<time_t>(-1))
        return std::nullopt;
    return value;
}

void SetTimes(int fd, const ZipEntry& entry)
{
    EntryTimes times = ParseExtendedTimestamp(entry.localExtra);
    if (!times.modified)
        times = ParseExtendedTimestamp(entry.centralExtra);
    if (!times.modified)
        times.modified = DosTimeAsLocal(entry.dosDate, entry.dosTime);
    if (!times.modified)
        return;
    struct timespec values[2] {};
    values[0].tv_sec = times.accessed.value_or(*times.modified);
    values[1].tv_sec = *times.modified;
    futimens(fd, values);
}

// Writes one entry's data, checking it against the sizes and CRC the directory declares.
class EntryWriter {
public:
    EntryWriter(int archive, const ZipEntry& entry, int out, z_stream* stream)
        : m_archive(archive), m_entry(entry), m_out(out), m_stream(stream)
    {
    }

    bool Run(std::vector<unsigned char>& input, std::vector<unsigned char>& output)
    {
        bool ok = m_entry.method == kStored ? Copy(output) : Inflate(input, output);
        return ok && m_produced == m_entry.uncompressedSize && m_crc == m_entry.crc;
    }

private:
    bool Emit(const unsigned char* data, size_t size)
    {
        // Declared sizes can lie; what counts is what actually comes out.
        m_produced += size;
        if (m_produced > m_entry.uncompressedSize)
            return false;
        m_crc = crc32(m_crc, data, static_cast<uInt>(size));
        return WriteAll(m_out, data, size);
    }

    bool Copy(std::vector<unsigned char>& output)
    {
        if (m_entry.compressedSize != m_entry.uncompressedSize)
            return false;
        uint64_t offset = m_entry.dataOffset;
        uint64_t remaining = m_entry.compressedSize;
        while (remaining > 0) {
            size_t want = static_cast<size_t>(std::min<uint64_t>(remaining, kOutputBlock));
            ssize_t n = ReadAt(m_archive, output.data(), want, offset);
            if (n <= 0 || !Emit(output.data(), static_cast<size_t>(n)))
                return false;
            offset += static_cast<uint64_t>(n);
            remaining -= static_cast<uint64_t>(n);
        }
        return true;
    }

    bool Inflate(std::vector<unsigned char>& input, std::vector<unsigned char>& output)
    {
        if (!m_stream || inflateReset(m_stream) != Z_OK)
            return false;
        uint64_t offset = m_entry.dataOffset;
        uint64_t remaining = m_entry.compressedSize;
        m_stream->avail_in = 0;
        for (;;) {
            if (m_stream->avail_in == 0 && remaining > 0) {
                size_t want = static_cast<size_t>(std::min<uint64_t>(remaining, kInputBlock));
                ssize_t n = ReadAt(m_archive, input.data(), want, offset);
                if (n <= 0)
                    return false;
                offset += static_cast<uint64_t>(n);
                remaining -= static_cast<uint64_t>(n);
                m_stream->next_in = input.data();
                m_stream->avail_in = static_cast<uInt>(n);
            }
            m_stream->next_out = output.data();
            m_stream->avail_out = kOutputBlock;
            int rc = inflate(m_stream, Z_NO_FLUSH);
            size_t have = kOutputBlock - m_stream->avail_out;
            if (have > 0 && !Emit(output.data(), have))
                return false;
            if (rc == Z_STREAM_END)
                return true;
            bool starved = m_stream->avail_in == 0 && remaining == 0;
            if ((rc != Z_OK && rc != Z_BUF_ERROR) || (starved && have == 0))
                return false;
        }
    }

    int m_archive;
    const ZipEntry& m_entry;
    int m_out;
    z_stream* m_stream;
    uint64_t m_produced = 0;
    uint32_t m_crc = 0;
};

class Extractor {
public:
    Extractor(int archive, ExtractionFolder& folder)
        : m_archive(archive), m_folder(folder), m_input(kInputBlock), m_output(kOutputBlock)
    {
        m_inflateReady = inflateInit2(&m_stream, -MAX_WBITS) == Z_OK;
    }
    ~Extractor()
    {
        if (m_inflateReady)
            inflateEnd(&m_stream);
    }
    Extractor(const Extractor&) = delete;
    Extractor& operator=(const Extractor&) = delete;

    EntryOutcome Extract(const ZipEntry& entry)
    {
        if (!NameComponents(entry.name, m_components) || IsSpecialFile(entry))
            return EntryOutcome::Refused;
        if (IsDirectory(entry))
            return m_folder.OpenFolder(m_components, m_components.size()) >= 0 ? EntryOutcome::Extracted
                                                                              : EntryOutcome::Failed;
        if (!entry.localHeaderOk || (entry.flags & kEncrypted) != 0
            || (entry.method != kStored && entry.method != kDeflated))
            return EntryOutcome::Failed;
        int folder = m_folder.OpenFolder(m_components, m_components.size() - 1);
        if (folder < 0)
            return EntryOutcome::Failed;
        const std::string& leaf = m_components.back();
        int out = ExtractionFolder::CreateFile(folder, leaf, FileMode(entry));
        if (out < 0)
            return EntryOutcome::Failed;
        EntryWriter writer(m_archive, entry, out, m_inflateReady ? &m_stream : nullptr);
        bool ok = writer.Run(m_input, m_output);
        if (ok)
            SetTimes(out, entry);
        ok = close(out) == 0 && ok;
        if (ok)
            return EntryOutcome::Extracted;
        // A damaged file could later be started as the installer; leave nothing of it.
        unlinkat(folder, leaf.c_str(), 0);
        return EntryOutcome::Failed;
    }

private:
    int m_archive;
    ExtractionFolder& m_folder;
    z_stream m_stream {};
    bool m_inflateReady = false;
    std::vector<unsigned char> m_input;
    std::vector<unsigned char> m_output;
    std::vector<std::string> m_components;
};

UnzipStatus StatusOf(ZipDirectoryStatus status)
{
    switch (status) {
    case ZipDirectoryStatus::Ok: return UnzipStatus::Done;
    case ZipDirectoryStatus::NotZip: return UnzipStatus::NotZip;
    case ZipDirectoryStatus::Zip64: return UnzipStatus::Zip64;
    case ZipDirectoryStatus::MultiDisk: return UnzipStatus::MultiDisk;
    case ZipDirectoryStatus::TooManyEntries: return UnzipStatus::TooManyEntries;
    case ZipDirectoryStatus::TooLarge: return UnzipStatus::TooLarge;
    case ZipDirectoryStatus::Overlapping: return UnzipStatus::Overlapping;
    }
    return UnzipStatus::NotZip;
}

} // namespace

std::string CleanEntryName(const std::string& name)
{
    static const char* const kClimbs[] = {"\\..\\", "\\../", "/../", "/..\\"};
    std::string text = name;
    for (;;) {
        std::string before = text;
        if (text.size() >= 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0])))
            text.erase(0, 2);
        if (!text.empty() && (text[0] == '\\' || text[0] == '/'))
            text.erase(0, 1);
        size_t first = std::string::npos;
        for (const char* climb : kClimbs)
            first = std::min(first, text.find(climb));
        if (first != std::string::npos)
            text.erase(0, first + 4);
        if (text == before)
            return text;
    }
}

UnzipResult UnzipFromDescriptor(int archiveFd, const std::string& folder)
{
    UnzipResult result;
    ZipDirectory directory;
    ZipDirectoryStatus status = directory.Read(archiveFd);
    if (status != ZipDirectoryStatus::Ok) {
        result.status = StatusOf(status);
        result.message = directory.Message();
        return result;
    }
    ExtractionFolder target;
    if (!target.Open(folder)) {
        result.status = UnzipStatus::BadFolder;
        result.message = "cannot open the target folder";
        return result;
    }
    Extractor extractor(archiveFd, target);
    for (const ZipEntry& entry : directory.Entries()) {
        switch (extractor.Extract(entry)) {
        case EntryOutcome::Extracted: ++result.extracted; break;
        case EntryOutcome::Failed: ++result.failed; break;
        case EntryOutcome::Refused: ++result.refused; break;
        }
    }
    return result;
}

UnzipResult UnzipArchive(const std::string& archive, const std::string& folder)
{
    int fd = open(archive.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        UnzipResult result;
        result.status = UnzipStatus::CannotOpen;
        result.message = "cannot open the archive";
        return result;
    }
    UnzipResult result = UnzipFromDescriptor(fd, folder);
    close(fd);
    return result;
}

bool UnzipToFolder(const std::string& archive, const std::string& folder)
{
    return UnzipArchive(archive, folder).status == UnzipStatus::Done;
}
