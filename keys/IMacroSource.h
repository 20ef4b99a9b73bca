// Where macro playback reads a macro and its events; the profile database in the program.
#pragma once

#include "store/ProfileRecords.h"

#include <vector>

class IMacroSource {
public:
    virtual ~IMacroSource() = default;
    // True and the macro when it exists.
    virtual bool LoadMacro(int macroId, MacroRecord& record) = 0;
    // The macro's events in record-index order.
    virtual std::vector<MacroEventRecord> LoadMacroEvents(int macroId) = 0;
};

// Reads from the process-wide profile database.
class DatabaseMacroSource final : public IMacroSource {
public:
    bool LoadMacro(int macroId, MacroRecord& record) override;
    std::vector<MacroEventRecord> LoadMacroEvents(int macroId) override;
};
