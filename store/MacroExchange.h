// Macro exchange files: one macro with its settings and events.
#pragma once

#include <string>

#include "store/ExchangeFile.h"

class ProfileDatabase;

struct MacroImportResult {
    ExchangeStatus m_status = ExchangeStatus::FileMissing;
    int m_macroId = 0;     // the new macro; the macro list appends it without selecting it
    std::string m_name;    // its stored name
};

// Writes macro `macroId` to `path`. NothingSelected when `macroId` is not positive.
ExchangeStatus ExportMacro(ProfileDatabase& db, int macroId, const std::string& path);

// Creates a macro named after the file with the file's settings and events. All or nothing.
MacroImportResult ImportMacro(ProfileDatabase& db, const std::string& path);
