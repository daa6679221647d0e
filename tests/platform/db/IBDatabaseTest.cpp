// Connections: the signal handlers the engine installs when it starts.
#include "platform/db/IBDatabase.h"

#include <gtest/gtest.h>
#include <ibase.h>
#include <signal.h>

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
