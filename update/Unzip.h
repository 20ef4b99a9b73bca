// Unpacking of update archives (ZIP, stored and deflated entries) into a folder, refusing entries
// and archives that could write outside it or exhaust the disk.
#pragma once

#include <cstddef>
#include <string>

enum class UnzipStatus {
    Done,           // the archive was read; see the entry counts for what was written
    CannotOpen,     // the archive file cannot be opened
    NotZip,         // no readable ZIP table of contents
    Zip64,          // ZIP64 archive, not supported
    MultiDisk,      // split archive, not supported
    TooManyEntries, // more than 10000 entries
    TooLarge,       // declared contents over 1 GiB
    Overlapping,    // entries share data
    BadFolder,      // the target folder cannot be created or opened
};

struct [[nodiscard]] UnzipResult {
    UnzipStatus status = UnzipStatus::Done;
    std::string message;  // why the archive was refused; empty when Done
    size_t extracted = 0; // files and folders written completely
    size_t failed = 0;    // entries that could not be written (nothing of them is left behind)
    size_t refused = 0;   // entries refused for their name or type (links, climbing names, NUL)
};

// Makes an entry name relative: repeatedly drops a leading drive ("X:"), one leading slash or
// backslash, and everything up to and including the first "\..\", "\../", "/../" or "/..\".
std::string CleanEntryName(const std::string& name);

// Unpacks archive into folder, entry by entry in central-directory order.
UnzipResult UnzipArchive(const std::string& archive, const std::string& folder);
// The same for an archive already open for reading.
UnzipResult UnzipFromDescriptor(int archiveFd, const std::string& folder);

// True when the archive could be read as a whole, whatever happened to single entries.
bool UnzipToFolder(const std::string& archive, const std::string& folder);
