// Profile exchange files: a profile's fn-layer-0 key assignments with the macros they play.
#pragma once

#include <string>
#include <vector>

#include "store/ExchangeFile.h"
#include "store/ProfileRecords.h"

class ProfileDatabase;

struct ProfileImportResult {
    ExchangeStatus m_status = ExchangeStatus::FileMissing;
    int m_profileId = 0;                       // the new profile, made current
    std::string m_profileName;
    std::vector<MacroRecord> m_createdMacros;  // in creation order: the macro list appends and selects each
};

// Writes profile `profileId` to `path`; `shownName` is the name the profile list shows for it.
// NothingSelected when `profileId` is not positive.
ExchangeStatus ExportProfile(ProfileDatabase& db, int profileId, const std::string& shownName, const std::string& path);

// Creates a profile named after the file with the file's key assignments and the macros they play
// (reusing a macro of the same name and id), and makes it current. All or nothing: a refused file or
// a failed write leaves the database as it was.
ProfileImportResult ImportProfile(ProfileDatabase& db, const std::string& path);
