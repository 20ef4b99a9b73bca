// A scoped transaction on the profile database; holds the database lock for its whole life.
#pragma once

#include <mutex>

class ProfileDatabase;

class SQLiteAutoTransaction {
public:
    // Takes the database lock and begins when the connection is open. Inside a transaction that is
    // already running on the connection it joins that one: it neither begins nor commits.
    explicit SQLiteAutoTransaction(ProfileDatabase* database);
    // Commits ("END") when still active.
    ~SQLiteAutoTransaction();
    SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
    SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;

    // False with no database or when already active; with a closed connection marks active and fails.
    bool Begin();
    // Commits; false when there is no connection or the commit failed.
    bool End();
    // Undoes everything since Begin; a joined transaction cannot roll back alone and reports false.
    bool Rollback();
    bool IsActive() const { return m_active; }

private:
    ProfileDatabase* m_database;
    bool m_active = false;
    bool m_joined = false;
    std::unique_lock<std::recursive_mutex> m_lock;
};
