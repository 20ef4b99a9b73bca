// The profile database behind IMacroSource.
#include "keys/IMacroSource.h"

#include "store/ProfileDatabase.h"

bool DatabaseMacroSource::LoadMacro(int macroId, MacroRecord& record)
{
    return GetProfileDatabase().LoadMacro(macroId, record);
}

std::vector<MacroEventRecord> DatabaseMacroSource::LoadMacroEvents(int macroId)
{
    std::vector<MacroEventRecord> list;
    GetProfileDatabase().LoadMacroEvents(macroId, list);
    return list;
}
