// Feeds arbitrary bytes to the profile and macro imports and checks that a refused import changes nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "store/MacroExchange.h"
#include "store/ProfileDatabase.h"
#include "store/ProfileExchange.h"

namespace {

struct FuzzDatabase {
    FuzzDatabase()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "molvane-fuzz-XXXXXX").string();
        m_folder = std::string(::mkdtemp(pattern.data())) + "/";
        std::filesystem::create_directories(m_folder + "db");
        if (!m_db.Open(m_folder, "fuzz"))
            std::abort();
    }
    std::string m_folder;
    ProfileDatabase m_db;
};

int Rows(ProfileDatabase& db)
{
    std::vector<ProfileRecord> profiles;
    std::vector<MacroRecord> macros;
    return db.LoadProfiles(profiles) * 100000 + db.LoadMacros(macros);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzDatabase fuzz;
    ProfileDatabase& db = fuzz.m_db;
    const std::string path = fuzz.m_folder + "input.profile.xml";
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    int before = Rows(db);
    ProfileImportResult profile = ImportProfile(db, path);
    if (profile.m_status != ExchangeStatus::Done && Rows(db) != before)
        std::abort();
    if (profile.m_status == ExchangeStatus::Done && db.GetSelectedProfile() != profile.m_profileId)
        std::abort();
    before = Rows(db);
    MacroImportResult macro = ImportMacro(db, path);
    if (macro.m_status != ExchangeStatus::Done && Rows(db) != before)
        std::abort();
    db.Connection().Execute("DELETE FROM t_profile_data; DELETE FROM t_macro_data; DELETE FROM t_macrorecord; "
                            "DELETE FROM t_key_macro_data;");
    return 0;
}
