// One SQLite connection: open with WAL journaling, run texts, prepare statements.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;
class SQLiteStatement;

// SQLite result codes the callers compare against.
inline constexpr int kSqliteOk = 0;
inline constexpr int kSqliteCorrupt = 11;
inline constexpr int kSqliteMisuse = 21;
inline constexpr int kSqliteNotADatabase = 26;
inline constexpr int kSqliteRow = 100;
inline constexpr int kSqliteDone = 101;

// Open flags: read-write, create, serialized (full mutex).
inline constexpr int kOpenReadWriteFullMutex = 0x10002;
inline constexpr int kOpenCreateReadWriteFullMutex = 0x10006;

class SQLiteDB {
public:
    using ExecCallback = int (*)(void*, int, char**, char**);

    SQLiteDB() = default;
    ~SQLiteDB();
    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;

    // Opens (closing any open connection first) and switches the file to WAL with synchronous=NORMAL.
    // False for a null path, a file that cannot be opened or is not a database, or a non-empty key
    // (this build has no encryption).
    bool Open(const char* path, const std::string& key, int flags);
    // True when closed or already closed; false (handle kept) while statements are still alive.
    bool Close();
    // Finalises what `statement` holds, then prepares `sql`; a negative length counts the text plus its zero.
    int Prepare(SQLiteStatement& statement, const char* sql, int length);
    int Execute(const char* sql, ExecCallback callback = nullptr, void* argument = nullptr);
    int64_t LastInsertRowId() const;
    bool IsOpen() const { return m_handle != nullptr; }
    // The SQLite code that made the last Open fail (26 "not a database", 11 "corrupt", ...); 0 after success.
    int LastOpenError() const { return m_lastOpenError; }
    // True while an explicit transaction (BEGIN ... END) is running on this connection.
    bool InTransaction() const;
    // The journal mode the connection ended up with ("wal" normally); empty when closed.
    std::string JournalMode();

private:
    void InterruptAndClose();

    sqlite3* m_handle = nullptr;
    int m_lastOpenError = 0;
};
