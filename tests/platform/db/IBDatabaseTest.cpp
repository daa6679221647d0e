// Connections: what a failure means for the user, connections prepared on
// a thread of their own, the engine's own configuration, and the signal
// handlers the engine installs when it starts.
#include "platform/db/IBDatabase.h"

#include <gtest/gtest.h>
#include <ibase.h>
#include <signal.h>

#include <cerrno>
#include <fstream>

#include "platform/db/IBQuery.h"
#include "platform/win/EndSignals.h"
#include "support/TestSupport.h"

namespace {

const std::vector<AnsiString> kParams = {"user_name=SYSDBA", "password=x", "lc_ctype=WIN1251"};

// The first value of a one-row, one-column query.
AnsiString Ask(TIBDatabase& Db, const AnsiString& Sql) {
    TIBTransaction tr(nullptr);
    tr.SetDefaultDatabase(&Db);
    TIBQuery q(nullptr);
    q.SetDatabase(&Db);
    q.SetTransaction(&tr);
    q.SetSQL(Sql);
    q.Open();
    const AnsiString value = q.Fields(0).AsString();
    q.Close();
    return value;
}

// The status vectors the engine answers the failures of an attach with, as
// they were seen, and what each means for the user.
TEST(IBDatabase, FailuresTellWhatTheyMeanForTheUser) {
    const char* path = "/home/u/Luvora/DB/Luvora.FDB";
    struct TCase {
        const char* What;
        std::vector<ISC_STATUS> Status;
        TIBErrorKind Kind;
    } cases[] = {
        {"held by another process",
         {isc_arg_gds, isc_already_opened, isc_arg_string, ISC_STATUS(path)},
         TIBErrorKind::ekFileInUse},
        {"read-only file",
         {isc_arg_gds, isc_no_priv, isc_arg_string, ISC_STATUS("read-write"), isc_arg_string,
          ISC_STATUS("database"), isc_arg_string, ISC_STATUS(path)},
         TIBErrorKind::ekNoAccess},
        {"no permission to open",
         {isc_arg_gds, isc_io_error, isc_arg_string, ISC_STATUS("open"), isc_arg_string, ISC_STATUS(path),
          isc_arg_gds, isc_io_open_err, isc_arg_unix, EACCES},
         TIBErrorKind::ekNoAccess},
        {"no such file",
         {isc_arg_gds, isc_io_error, isc_arg_string, ISC_STATUS("open"), isc_arg_string, ISC_STATUS(path),
          isc_arg_gds, isc_io_open_err, isc_arg_unix, ENOENT},
         TIBErrorKind::ekNoFile},
        {"a folder, not a file",
         {isc_arg_gds, isc_io_error, isc_arg_string, ISC_STATUS("read"), isc_arg_string, ISC_STATUS(path),
          isc_arg_gds, isc_io_read_err, isc_arg_unix, EISDIR},
         TIBErrorKind::ekNoFile},
        {"shorter than its header",
         {isc_arg_gds, isc_io_error, isc_arg_string, ISC_STATUS("read"), isc_arg_string, ISC_STATUS(path),
          isc_arg_gds, isc_random, isc_arg_string, ISC_STATUS("File size is less than expected")},
         TIBErrorKind::ekFileDamaged},
        {"not a database",
         {isc_arg_gds, isc_bad_db_format, isc_arg_string, ISC_STATUS(path)},
         TIBErrorKind::ekFileDamaged},
        {"made by another version",
         {isc_arg_gds, isc_wrong_ods, isc_arg_string, ISC_STATUS(path), isc_arg_number, 11, isc_arg_number, 0,
          isc_arg_number, 12, isc_arg_number, 2},
         TIBErrorKind::ekOtherVersion},
        {"no lock folder",
         {isc_arg_gds, isc_lock_dir_access, isc_arg_string, ISC_STATUS("/nonexistent/x")},
         TIBErrorKind::ekLockFolder},
        {"a lock folder that is a file",
         {isc_arg_gds, isc_sys_request, isc_arg_string, ISC_STATUS("access"), isc_arg_unix, ENOTDIR,
          isc_arg_gds, isc_random, isc_arg_string, ISC_STATUS("/tmp/x/")},
         TIBErrorKind::ekLockFolder},
        {"no embedded engine",
         {isc_arg_gds, isc_network_error, isc_arg_string, ISC_STATUS("localhost"), isc_arg_gds,
          isc_net_connect_err},
         TIBErrorKind::ekNoEngine},
        {"a statement the engine refuses",
         {isc_arg_gds, isc_dsql_error, isc_arg_gds, isc_sqlerr, isc_arg_number, -204},
         TIBErrorKind::ekOther},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        std::vector<intptr_t> status(c.Status.begin(), c.Status.end());
        status.push_back(isc_arg_end);
        try {
            IBCheck(status.data());
            ADD_FAILURE() << "no error raised";
        } catch (const EIBError& e) {
            EXPECT_EQ(int(e.Kind), int(c.Kind)) << e.Message;
            EXPECT_FALSE(e.Message.empty());
        }
    }
}

TEST(IBDatabase, APreparedConnectionIsTakenNotMadeAgain) {
    TTempFolder folder;
    const std::string file = folder.Path() + "t.fdb";
    ASSERT_NO_FATAL_FAILURE(CreateEmptyDatabase(file));
    PrepareConnections({{file, kParams}, {folder.Path() + "absent.fdb", kParams}});

    TIBDatabase db(nullptr);
    db.DatabaseName = file;
    db.Params = kParams;
    db.Open();
    EXPECT_EQ(Ask(db, "select 6 * 7 from RDB$DATABASE"), "42");

    // The failure of a prepared attach is the Open's.
    TIBDatabase absent(nullptr);
    absent.DatabaseName = folder.Path() + "absent.fdb";
    absent.Params = kParams;
    try {
        absent.Open();
        ADD_FAILURE() << "opened a file that is not there";
    } catch (const EIBError& e) {
        EXPECT_EQ(int(e.Kind), int(TIBErrorKind::ekNoFile)) << e.Message;
    }
    EXPECT_FALSE(absent.Connected());

    // Taken once: a second connection to the same file attaches on its own.
    TIBDatabase second(nullptr);
    second.DatabaseName = file;
    second.Params = kParams;
    second.Open();
    EXPECT_NE(second.Handle(), db.Handle());
    DiscardPreparedConnections();
    EXPECT_EQ(Ask(db, "select 1 from RDB$DATABASE"), "1") << "the taken connection stays";
}

TEST(IBDatabase, AConnectionNobodyTookIsLetGo) {
    TTempFolder folder;
    const std::string file = folder.Path() + "t.fdb";
    ASSERT_NO_FATAL_FAILURE(CreateEmptyDatabase(file));
    PrepareConnections({{file, kParams}});
    DiscardPreparedConnections();
    // With the prepared attachment gone, this one is the only one.
    TIBDatabase db(nullptr);
    db.DatabaseName = file;
    db.Params = kParams;
    db.Open();
    EXPECT_EQ(Ask(db, "select count(*) from MON$ATTACHMENTS where MON$SYSTEM_FLAG = 0"), "1");
}

TEST(IBDatabase, TheEnginesOwnConfigurationGoesWithTheConnection) {
    TTempFolder folder;
    const std::string file = folder.Path() + "t.fdb";
    ASSERT_NO_FATAL_FAILURE(CreateEmptyDatabase(file));
    TIBDatabase db(nullptr);
    db.DatabaseName = file;
    db.Params = kParams;
    db.Params.push_back("config=DefaultDbCachePages = 256");
    db.Params.push_back("config=GCPolicy = cooperative");
    db.Open();
    EXPECT_EQ(Ask(db, "select MON$PAGE_BUFFERS from MON$DATABASE"), "256");
    EXPECT_EQ(Ask(db, "select RDB$GET_CONTEXT('SYSTEM', 'ENGINE_VERSION') from RDB$DATABASE").substr(0, 2),
              "3.");
}

// The engine installs handlers of its own for SIGTERM and SIGINT when it
// starts; left in place, they would stop the engine under the program's feet
// and leave the program running.
TEST(IBDatabase, EndSignalsStayWithTheProgramOnceTheEngineRuns) {
    InstallEndSignalHandlers();
    ForgetEndSignals();
    TTempFolder folder;
    const std::string file = folder.Path() + "t.fdb";
    ASSERT_NO_FATAL_FAILURE(CreateEmptyDatabase(file));
    TIBDatabase db(nullptr);
    db.DatabaseName = file;
    db.Params = kParams;
    db.Open();
    ::raise(SIGTERM);
    ::raise(SIGINT);
    EXPECT_EQ(EndSignalCount(), 2);
    EXPECT_EQ(Ask(db, "select 1 from RDB$DATABASE"), "1") << "the engine still serves the connection";
    db.Close();
    ForgetEndSignals();
}

} // namespace
