// A scoped transaction on the profile database; holds the database lock for its whole life.
#include "store/SQLiteAutoTransaction.h"

#include "store/ProfileDatabase.h"

SQLiteAutoTransaction::SQLiteAutoTransaction(ProfileDatabase* database)
    : m_database(database)
{
    if (!m_database)
        return;
    // Other threads share the one connection: their statements must not land inside this transaction.
    m_lock = std::unique_lock<std::recursive_mutex>(m_database->Mutex());
    SQLiteDB& db = m_database->Connection();
    if (!db.IsOpen())
        return;
    if (db.InTransaction()) {
        m_joined = true;
        m_active = true;
        return;
    }
    m_active = db.Execute("BEGIN") == kSqliteOk;
}

SQLiteAutoTransaction::~SQLiteAutoTransaction()
{
    if (m_active && m_database && m_database->Connection().IsOpen())
        End();
}

bool SQLiteAutoTransaction::Begin()
{
    if (!m_database || m_active)
        return false;
    SQLiteDB& db = m_database->Connection();
    m_active = true;
    if (!db.IsOpen())
        return false;
    if (db.InTransaction()) {
        m_joined = true;
        return true;
    }
    return db.Execute("BEGIN") == kSqliteOk;
}

bool SQLiteAutoTransaction::End()
{
    bool wasActive = m_active;
    m_active = false;
    if (!m_database || !m_database->Connection().IsOpen())
        return false;
    if (m_joined) {
        m_joined = false;
        return wasActive;
    }
    SQLiteDB& db = m_database->Connection();
    if (db.Execute("END") == kSqliteOk)
        return true;
    // A transaction left open would silently swallow every later write of the program.
    if (db.InTransaction())
        db.Execute("ROLLBACK");
    return false;
}

bool SQLiteAutoTransaction::Rollback()
{
    bool wasActive = m_active;
    m_active = false;
    if (!m_database || !m_database->Connection().IsOpen() || !wasActive || m_joined) {
        m_joined = false;
        return false;
    }
    return m_database->Connection().Execute("ROLLBACK") == kSqliteOk;
}
