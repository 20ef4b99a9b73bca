// Temporary folders and raw SQLite look-ups shared by the store tests.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

// A fresh folder under the system temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "molvane-store-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern + "/" : std::string();
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Runs a query on its own connection and returns the first column of the first row ("" when none).
inline std::string QueryText(const std::string& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    std::string value;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(st, 0);
            value = text ? reinterpret_cast<const char*>(text) : "<null>";
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return value;
}

inline int QueryInt(const std::string& file, const std::string& sql)
{
    return std::atoi(QueryText(file, sql).c_str());
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}
