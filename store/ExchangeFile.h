// What profile and macro exchange files have in common: results, limits, names and the event items.
#pragma once

#include <string>
#include <vector>

#include "store/ProfileRecords.h"

class MarkupDocument;

enum class ExchangeStatus {
    Done,
    NothingSelected,     // export without a selected profile or macro: the window shows its message
    FileMissing,         // import: no file at the path
    NotAnExchangeFile,   // import: the file does not load or has the wrong root element
    TooLarge,            // import: the file is beyond the limits below; nothing was imported
    WriteFailed,         // export: the file could not be written
    DatabaseFailed,      // import: a database write failed; everything it wrote was undone
};

// Files come from other people: these bound what an import reads and writes.
inline constexpr long kMaxExchangeFileBytes = 8L * 1024 * 1024;
inline constexpr int kMaxImportKeyItems = 1024;
inline constexpr int kMaxImportMacros = 256;
inline constexpr int kMaxImportEvents = 50000;   // in all macros of one file

// The new profile's or macro's name: the file name up to its first ".". A name that would come out
// empty (no "." at all, or a leading one) is the whole file name instead.
std::string NameFromFileName(const std::string& path);

// FileMissing, TooLarge or Done, from the file's existence and size alone.
ExchangeStatus CheckImportFile(const std::string& path);

// A new document holding only the UTF-8 declaration.
void StartExchangeDocument(MarkupDocument& doc);

// Writes the document to `path`, replacing any file there in one step.
ExchangeStatus SaveExchangeDocument(const MarkupDocument& doc, const std::string& path);

// Adds one "item" per event ("desc", "type", "value", "delay_time") under the current parent.
void AddEventItems(MarkupDocument& doc, const std::vector<MacroEventRecord>& events);

// Reads the "item" children of the current parent as events of `macroId`, numbered 0, 1, 2, ...
std::vector<MacroEventRecord> ReadEventItems(MarkupDocument& doc, int macroId);

// Counts the elements named `name` among the children of the current parent; the cursor is kept.
int CountChildren(MarkupDocument& doc, const std::string& name);

int AttributeInt(const MarkupDocument& doc, const char* name);
