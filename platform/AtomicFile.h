// Whole-file reads and crash-safe whole-file writes.
#pragma once

#include <optional>
#include <string>

// The file's bytes; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces `path` with `content`: a temporary file in the same folder is written, flushed to disk
// and renamed over the target, so readers and a crash see either the old or the new file.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, const std::string& content,
                                       unsigned mode = 0600);
