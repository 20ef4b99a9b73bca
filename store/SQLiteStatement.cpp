// One prepared statement; finalised by its destructor or by the next Prepare into it.
#include "store/SQLiteStatement.h"

#include <sqlite3.h>

SQLiteStatement::~SQLiteStatement()
{
    Finalize();
}

bool SQLiteStatement::Finalize()
{
    if (!m_handle)
        return true;
    if (sqlite3_finalize(m_handle) != SQLITE_OK) {
        // The handle is released by sqlite3_finalize whatever it reports; the code only repeats
        // the last step's error, so the handle must not be kept for a second finalize.
        m_handle = nullptr;
        m_finished = true;
        return false;
    }
    m_handle = nullptr;
    m_finished = true;
    return true;
}

int SQLiteStatement::BindInt(int index, int value)
{
    return m_handle ? sqlite3_bind_int(m_handle, index, value) : SQLITE_MISUSE;
}

int SQLiteStatement::BindText(int index, const char* text, int bytes)
{
    if (!m_handle)
        return SQLITE_MISUSE;
    // A null pointer would store NULL; an empty text is what callers mean.
    return sqlite3_bind_text(m_handle, index, text ? text : "", text ? bytes : 0, SQLITE_STATIC);
}

int SQLiteStatement::BindText(int index, const std::string& text)
{
    return BindText(index, text.c_str(), static_cast<int>(text.size()));
}

int SQLiteStatement::Step()
{
    if (!m_handle)
        return SQLITE_MISUSE;
    int rc = sqlite3_step(m_handle);
    if (rc == SQLITE_DONE)
        m_finished = true;
    return rc;
}

int SQLiteStatement::Reset()
{
    if (!m_handle)
        return SQLITE_MISUSE;
    m_finished = false;
    return sqlite3_reset(m_handle);
}

int SQLiteStatement::ColumnInt(int column)
{
    return m_handle ? sqlite3_column_int(m_handle, column) : 0;
}

const char* SQLiteStatement::ColumnText(int column)
{
    return m_handle ? reinterpret_cast<const char*>(sqlite3_column_text(m_handle, column)) : nullptr;
}

std::string SQLiteStatement::ColumnString(int column)
{
    const char* text = ColumnText(column);
    return text ? std::string(text) : std::string();
}
