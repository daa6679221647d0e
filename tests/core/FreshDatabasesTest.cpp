// Fresh database files for tests are copies of pristine ones made once per
// build: each copy opens, and none shares a change with another, not even
// while both are open in one process.
#include <gtest/gtest.h>

#include <string>

#include "platform/db/IBQuery.h"
#include "support/TestSupport.h"

namespace {

// One connection with a read-write transaction and a query on it.
class TConnection {
public:
    explicit TConnection(const std::string& File) {
        FDb.DatabaseName = File;
        FDb.Params = {"user_name=SYSDBA", "password=x", "lc_ctype=WIN1251"};
        FDb.Open();
        FTr.SetDefaultDatabase(&FDb);
        FTr.Params = {"read_committed", "rec_version", "nowait"};
        FQ.SetDatabase(&FDb);
        FQ.SetTransaction(&FTr);
    }

    void Exec(const AnsiString& Sql) {
        FQ.ParamCheck = false;
        FQ.SetSQL(Sql);
        FQ.ExecQuery();
        FTr.Commit();
    }

    int Count(const AnsiString& Table) {
        FQ.SetSQL("select count(*) from " + Table);
        FQ.Open();
        const int n = FQ.Fields(0).AsInteger();
        FQ.Close();
        FTr.Commit();
        return n;
    }

private:
    TIBDatabase FDb{nullptr};
    TIBTransaction FTr{nullptr};
    TIBQuery FQ{nullptr};
};

TEST(FreshDatabases, EveryCopyOfTheProgramFilesIsItsOwn) {
    TTempFolder a, b;
    ASSERT_NO_FATAL_FAILURE(CreateFreshDatabases(a.Path()));
    ASSERT_NO_FATAL_FAILURE(CreateFreshDatabases(b.Path() + "DB/"));
    TConnection mainA(a.Path() + "Luvora.FDB"), dataA(a.Path() + "Luvora_Data.FDB");
    TConnection mainB(b.Path() + "DB/Luvora.FDB"), dataB(b.Path() + "DB/Luvora_Data.FDB");
    const int stens = dataB.Count("STENS");
    ASSERT_GT(stens, 0);

    mainA.Exec("insert into DATABASES (DB_ID, DB_NAME) values (1, 'A')");
    dataA.Exec("delete from STENS");
    EXPECT_EQ(mainA.Count("DATABASES"), 1);
    EXPECT_EQ(dataA.Count("STENS"), 0);
    EXPECT_EQ(mainB.Count("DATABASES"), 0);
    EXPECT_EQ(dataB.Count("STENS"), stens);

    // A copy made after the change starts from the pristine files as well.
    TTempFolder c;
    ASSERT_NO_FATAL_FAILURE(CreateFreshDatabases(c.Path()));
    EXPECT_EQ(TConnection(c.Path() + "Luvora.FDB").Count("DATABASES"), 0);
    EXPECT_EQ(TConnection(c.Path() + "Luvora_Data.FDB").Count("STENS"), stens);
}

TEST(FreshDatabases, EveryEmptyDatabaseIsItsOwn) {
    TTempFolder folder;
    ASSERT_NO_FATAL_FAILURE(CreateEmptyDatabase(folder.Path() + "a.fdb"));
    ASSERT_NO_FATAL_FAILURE(CreateEmptyDatabase(folder.Path() + "b.fdb"));
    TConnection a(folder.Path() + "a.fdb"), b(folder.Path() + "b.fdb");
    const AnsiString tables = "rdb$relations where rdb$system_flag = 0";
    a.Exec("create table T (ID integer)");
    EXPECT_EQ(a.Count(tables), 1);
    EXPECT_EQ(b.Count(tables), 0);
}

} // namespace
