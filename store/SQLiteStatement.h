// One prepared statement; finalised by its destructor or by the next Prepare into it.
#pragma once

#include <string>

struct sqlite3_stmt;

class SQLiteStatement {
public:
    SQLiteStatement() = default;
    ~SQLiteStatement();
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;

    // Every call below returns 21 (misuse) when the statement holds no handle.
    int BindInt(int index, int value);
    // Binds without copying: `text` must outlive the step. A zero length stores an empty text, not NULL.
    int BindText(int index, const char* text, int bytes);
    int BindText(int index, const std::string& text);
    int Step();
    // Makes the statement ready to run again with new bindings (one prepare for a batch of rows).
    int Reset();
    int ColumnInt(int column);
    // Null when the statement holds no handle or the column is NULL.
    const char* ColumnText(int column);
    // The column as a string; empty for NULL.
    std::string ColumnString(int column);

    // Finalises now; true when there was nothing to finalise or finalising succeeded.
    bool Finalize();
    bool IsFinished() const { return m_finished; }
    bool HasHandle() const { return m_handle != nullptr; }

private:
    friend class SQLiteDB;

    bool m_finished = true;
    sqlite3_stmt* m_handle = nullptr;
};
