// One SQLite connection: open with WAL journaling, run texts, prepare statements.
#include "store/SQLiteDB.h"

#include <sqlite3.h>

#include <cstring>

#include "store/SQLiteStatement.h"

namespace {

// Another process (the command-line tool) may hold the write lock for a moment.
constexpr int kBusyTimeoutMs = 3000;

int ReadTextColumn(void* out, int columns, char** values, char**)
{
    if (columns > 0 && values[0])
        *static_cast<std::string*>(out) = values[0];
    return 0;
}

} // namespace

SQLiteDB::~SQLiteDB()
{
    InterruptAndClose();
}

void SQLiteDB::InterruptAndClose()
{
    if (!m_handle)
        return;
    sqlite3_interrupt(m_handle);
    if (sqlite3_close(m_handle) == SQLITE_OK)
        m_handle = nullptr;
}

bool SQLiteDB::Open(const char* path, const std::string& key, int flags)
{
    InterruptAndClose();
    // No encryption extension in this build: a key cannot be honoured.
    m_lastOpenError = SQLITE_MISUSE;
    if (!path || !key.empty())
        return false;
    m_lastOpenError = sqlite3_open_v2(path, &m_handle, flags, nullptr);
    if (m_lastOpenError != SQLITE_OK) {
        InterruptAndClose();
        return false;
    }
    sqlite3_busy_timeout(m_handle, kBusyTimeoutMs);
    // SQLite opens lazily: the first statement that reads the header tells whether the file is a
    // database at all. Such a file must stay as it is, so the connection is dropped right here.
    // WAL with synchronous=NORMAL survives a crash with at most the last transaction lost, where
    // synchronous=OFF on a rollback journal could leave a corrupt file.
    std::string mode;
    m_lastOpenError = sqlite3_exec(m_handle, "PRAGMA journal_mode", ReadTextColumn, &mode, nullptr);
    if (m_lastOpenError == SQLITE_OK)
        m_lastOpenError = sqlite3_exec(m_handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (m_lastOpenError != SQLITE_OK) {
        InterruptAndClose();
        return false;
    }
    if (mode != "wal") {
        std::string result;
        sqlite3_exec(m_handle, "PRAGMA journal_mode = WAL", ReadTextColumn, &result, nullptr);
        mode = result;
    }
    // Without WAL (a file system lacking shared memory) only FULL keeps the journal safe.
    Execute(mode == "wal" ? "PRAGMA synchronous = NORMAL; " : "PRAGMA synchronous = FULL; ");
    return true;
}

bool SQLiteDB::Close()
{
    if (!m_handle)
        return true;
    if (sqlite3_close(m_handle) != SQLITE_OK)
        return false;
    m_handle = nullptr;
    return true;
}

int SQLiteDB::Prepare(SQLiteStatement& statement, const char* sql, int length)
{
    statement.Finalize();
    if (!m_handle || !sql)
        return SQLITE_MISUSE;
    if (length < 0)
        length = static_cast<int>(std::strlen(sql)) + 1;
    int rc = sqlite3_prepare_v2(m_handle, sql, length, &statement.m_handle, nullptr);
    statement.m_finished = statement.m_handle == nullptr;
    return rc;
}

int SQLiteDB::Execute(const char* sql, ExecCallback callback, void* argument)
{
    if (!m_handle || !sql)
        return SQLITE_MISUSE;
    return sqlite3_exec(m_handle, sql, callback, argument, nullptr);
}

int64_t SQLiteDB::LastInsertRowId() const
{
    return m_handle ? sqlite3_last_insert_rowid(m_handle) : -1;
}

bool SQLiteDB::InTransaction() const
{
    return m_handle && sqlite3_get_autocommit(m_handle) == 0;
}

std::string SQLiteDB::JournalMode()
{
    std::string mode;
    if (m_handle && sqlite3_exec(m_handle, "PRAGMA journal_mode", ReadTextColumn, &mode, nullptr) != SQLITE_OK)
        mode.clear();
    return mode;
}
