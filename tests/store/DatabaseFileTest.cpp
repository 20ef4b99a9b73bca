// The database file itself: where it lies, crash safety, unreadable files, old files, deletion.
#include "store/ProfileDatabase.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "StoreTestSupport.h"
#include "store/SQLiteAutoTransaction.h"
#include "store/SQLiteStatement.h"

namespace {

namespace fs = std::filesystem;

class DatabaseFileTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_folder.Path() + "db"); }
    std::string File(const std::string& model = "MK71") const
    {
        return ProfileDatabase::DatabasePath(m_folder.Path(), model);
    }
    TempFolder m_folder;
};

// Catches a path built without the "db" folder, the suffix, or a missing separator.
TEST_F(DatabaseFileTest, FileNameAndEmptyModelName)
{
    EXPECT_EQ(ProfileDatabase::DatabasePath("/d/", "MK71"), "/d/db/MK71_data_v14.db");
    EXPECT_EQ(ProfileDatabase::DatabasePath("/d", "MK71"), "/d/db/MK71_data_v14.db");
    ProfileDatabase db;
    ASSERT_TRUE(db.Open(m_folder.Path(), ""));
    EXPECT_TRUE(fs::exists(m_folder.Path() + "db/_data_v14.db"));
}

// Catches an open that "succeeds" without its folder, leaving every later write silently lost.
TEST_F(DatabaseFileTest, MissingFolderFailsOpen)
{
    ProfileDatabase db;
    EXPECT_FALSE(db.Open(m_folder.Path() + "nowhere/", "MK71"));
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.GetOpenResult(), DatabaseOpenResult::Failed);
    EXPECT_EQ(db.InsertProfile({}), 0);
}

// Catches a journal mode that can corrupt the file on power loss, and a lost busy connection setting.
TEST_F(DatabaseFileTest, ConnectionRunsWalWithNormalSync)
{
    ProfileDatabase db;
    ASSERT_TRUE(db.Open(m_folder.Path(), "MK71"));
    EXPECT_EQ(db.Connection().JournalMode(), "wal");
    std::string sync;
    db.Connection().Execute("PRAGMA synchronous", [](void* out, int, char** values, char**) {
        *static_cast<std::string*>(out) = values[0];
        return 0;
    }, &sync);
    EXPECT_EQ(sync, "1");   // NORMAL
}

// Catches a file that is not a database being opened, replaced by a fresh schema, or deleted by a reset.
TEST_F(DatabaseFileTest, UnreadableFileIsNeverOverwritten)
{
    const std::string garbage = "these are someone's notes, not a database\n" + std::string(5000, 'x');
    WriteBytes(File(), garbage);
    ProfileDatabase db;
    EXPECT_FALSE(db.Open(m_folder.Path(), "MK71"));
    EXPECT_EQ(db.GetOpenResult(), DatabaseOpenResult::Unreadable);
    EXPECT_FALSE(db.CreateFirstProfiles("Profile"));
    EXPECT_FALSE(db.Open(m_folder.Path(), "MK71"));
    EXPECT_EQ(ReadBytes(File()), garbage);

    // The full reset's delete keeps the old bytes beside the new file.
    EXPECT_TRUE(db.DeleteDatabaseFile(m_folder.Path(), "MK71"));
    EXPECT_EQ(ReadBytes(File() + ".unreadable"), garbage);
    ASSERT_TRUE(db.Open(m_folder.Path(), "MK71"));
    EXPECT_EQ(db.GetOpenResult(), DatabaseOpenResult::Created);
}

// Catches a damaged first page being treated as an empty database and written over.
TEST_F(DatabaseFileTest, DamagedHeaderPageFailsOpen)
{
    {
        ProfileDatabase db;
        ASSERT_TRUE(db.Open(m_folder.Path(), "MK71"));
        ASSERT_TRUE(db.CreateFirstProfiles("Profile"));
    }
    std::string bytes = ReadBytes(File());
    ASSERT_GT(bytes.size(), 200u);
    for (size_t i = 100; i < 200; ++i)
        bytes[i] = '\x5A';
    WriteBytes(File(), bytes);
    fs::remove(File() + "-wal");
    ProfileDatabase db;
    EXPECT_FALSE(db.Open(m_folder.Path(), "MK71"));
    EXPECT_EQ(db.GetOpenResult(), DatabaseOpenResult::Unreadable);
    EXPECT_EQ(ReadBytes(File()), bytes);
    // The full reset's close and delete set it aside although its header looks like a database's.
    EXPECT_TRUE(db.Close());
    EXPECT_TRUE(db.DeleteDatabaseFile(m_folder.Path(), "MK71"));
    EXPECT_EQ(ReadBytes(File() + ".unreadable"), bytes);
}

// Catches an older rollback-journal file refused or altered in its rows by the switch to WAL.
TEST_F(DatabaseFileTest, OlderRollbackJournalFileOpensWithItsRows)
{
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(File().c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "PRAGMA journal_mode = DELETE;"
                           "CREATE TABLE t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, "
                           "status INTEGER, app TEXT, type INTEGER);"
                           "INSERT INTO t_profile_data(name, status, app, type) VALUES ('Old', 1, '', 0);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);

    ProfileDatabase db;
    ASSERT_TRUE(db.Open(m_folder.Path(), "MK71"));
    EXPECT_EQ(db.GetOpenResult(), DatabaseOpenResult::Opened);
    std::vector<ProfileRecord> profiles;
    ASSERT_EQ(db.LoadProfiles(profiles), 1);
    EXPECT_EQ(profiles[0].m_name, "Old");
    EXPECT_EQ(db.GetSelectedProfile(), profiles[0].m_profileId);
    EXPECT_GT(db.CreateMacro("new table works"), 0);   // the missing tables were added
}

// Catches a delete that unlinks the file under an open connection, or leaves a WAL to replay into the next file.
TEST_F(DatabaseFileTest, DeleteNeedsACloseAndTakesTheWalAlong)
{
    ProfileDatabase db;
    ASSERT_TRUE(db.Open(m_folder.Path(), "MK71"));
    ASSERT_TRUE(db.CreateFirstProfiles("Profile"));
    EXPECT_FALSE(db.DeleteDatabaseFile(m_folder.Path(), "MK71"));
    EXPECT_TRUE(fs::exists(File()));

    // The full reset: close, delete, open a fresh file.
    ASSERT_TRUE(db.Close());
    EXPECT_FALSE(db.IsOpen());
    WriteBytes(File() + "-wal", "stale");
    EXPECT_TRUE(db.DeleteDatabaseFile(m_folder.Path(), "MK71"));
    EXPECT_FALSE(fs::exists(File()));
    EXPECT_FALSE(fs::exists(File() + "-wal"));
    ASSERT_TRUE(db.Open(m_folder.Path(), "MK71"));
    std::vector<ProfileRecord> profiles;
    EXPECT_EQ(db.LoadProfiles(profiles), 0);
}

// Catches the layout switch serving the previous model's rows, or re-opening on every call.
TEST_F(DatabaseFileTest, SwitchModelMovesToTheOtherFile)
{
    ProfileDatabase db;
    ASSERT_TRUE(db.SwitchModel(m_folder.Path(), "A"));
    ASSERT_GT(db.CreateMacro("only in A"), 0);
    ASSERT_TRUE(db.SwitchModel(m_folder.Path(), "B"));
    std::vector<MacroRecord> macros;
    EXPECT_EQ(db.LoadMacros(macros), 0);
    EXPECT_EQ(db.GetPath(), File("B"));
    ASSERT_TRUE(db.SwitchModel(m_folder.Path(), "A"));
    EXPECT_EQ(db.LoadMacros(macros), 1);
}

// Catches a failed batch committed in half, and a nested transaction committing its outer one early.
TEST_F(DatabaseFileTest, TransactionsRollBackAndNest)
{
    ProfileDatabase db;
    ASSERT_TRUE(db.Open(m_folder.Path(), "MK71"));
    {
        SQLiteAutoTransaction outer(&db);
        EXPECT_FALSE(outer.Begin());   // the constructor already began
        db.InsertProfile({});
        db.SaveMacroEvents(std::vector<MacroEventRecord>(3));   // joins, must not commit
        EXPECT_TRUE(db.Connection().InTransaction());
        EXPECT_TRUE(outer.Rollback());
    }
    EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_profile_data"), 0);
    EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_macrorecord"), 0);
    {
        SQLiteAutoTransaction commit(&db);
        db.InsertProfile({});
    }
    EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_profile_data"), 1);
}

// Catches a text bound with length 0 stored as NULL, and statements that misbehave without a handle.
TEST_F(DatabaseFileTest, StatementEdges)
{
    ProfileDatabase db;
    ASSERT_TRUE(db.Open(m_folder.Path(), "MK71"));
    SQLiteStatement s;
    EXPECT_EQ(s.Step(), kSqliteMisuse);
    EXPECT_EQ(s.BindInt(1, 1), kSqliteMisuse);
    EXPECT_EQ(s.ColumnText(0), nullptr);
    EXPECT_EQ(db.Connection().Prepare(s, nullptr, -1), kSqliteMisuse);
    ASSERT_EQ(db.Connection().Prepare(s, "INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);", -1),
              kSqliteOk);
    EXPECT_EQ(s.BindText(1, "ignored", 0), kSqliteOk);
    EXPECT_EQ(s.BindText(2, nullptr, 0), kSqliteOk);
    EXPECT_EQ(s.Step(), kSqliteDone);
    EXPECT_TRUE(s.IsFinished());
    s.Finalize();
    EXPECT_EQ(QueryText(File(), "SELECT typeof(macro_desc) || typeof(param) FROM t_key_otherdata"), "texttext");
    SQLiteDB closed;
    EXPECT_EQ(closed.Execute("SELECT 1"), kSqliteMisuse);
    EXPECT_EQ(closed.LastInsertRowId(), -1);
    EXPECT_TRUE(closed.Close());
    EXPECT_FALSE(closed.Open("x.db", "secret", kOpenCreateReadWriteFullMutex));
}

// Catches a crash in the middle of a batch insert corrupting the file or losing committed batches.
TEST_F(DatabaseFileTest, KilledWriterLeavesAnIntactFileWithEveryCommittedBatch)
{
    constexpr int kBatch = 500;
    {
        ProfileDatabase db;
        ASSERT_TRUE(db.Open(m_folder.Path(), "MK71"));
    }
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        ProfileDatabase db;
        if (!db.Open(m_folder.Path(), "MK71"))
            ::_exit(2);
        for (int batch = 1;; ++batch) {
            std::vector<MacroEventRecord> events(kBatch);
            for (int i = 0; i < kBatch; ++i) {
                events[i].m_macroId = batch;
                events[i].m_recordIndex = i;
                events[i].m_description = std::string(40, 'e');
            }
            db.SaveMacroEvents(events);
            if (::write(pipeFds[1], &batch, sizeof batch) != sizeof batch)
                ::_exit(3);
        }
    }
    ::close(pipeFds[1]);
    int committed = 0;
    while (committed < 12 && ::read(pipeFds[0], &committed, sizeof committed) == sizeof committed) {
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(pipeFds[0]);
    ASSERT_TRUE(WIFSIGNALED(status));

    ProfileDatabase db;
    ASSERT_TRUE(db.Open(m_folder.Path(), "MK71"));
    EXPECT_EQ(QueryText(File(), "PRAGMA integrity_check"), "ok");
    for (int batch = 1; batch <= committed; ++batch)
        EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_macrorecord WHERE macro_id = " + std::to_string(batch)),
                  kBatch) << batch;
    // A batch cut short by the kill is absent as a whole, never present in part.
    EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM (SELECT macro_id FROM t_macrorecord GROUP BY macro_id "
                               "HAVING count(*) <> " + std::to_string(kBatch) + ")"),
              0);
}

} // namespace
