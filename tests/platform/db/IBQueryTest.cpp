// The database components on a real database: connecting, parameters, text, blobs and errors.
#include "platform/db/IBQuery.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/TestSupport.h"

namespace {

// An empty database of its own for each test, with a few tables and
// procedures made through the layer itself.
class IBQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string file = Folder.Path() + "t.fdb";
        ASSERT_NO_FATAL_FAILURE(CreateEmptyDatabase(file));

        Db = std::make_unique<TIBDatabase>(nullptr);
        Db->DatabaseName = file;
        Db->Params = {"user_name=SYSDBA", "password=x", "lc_ctype=WIN1251"};
        Db->Open();
        Tr = std::make_unique<TIBTransaction>(nullptr);
        Tr->SetDefaultDatabase(Db.get());
        Tr->Params = {"read_committed", "rec_version", "nowait"};
        Q = std::make_unique<TIBQuery>(nullptr);
        Q->SetDatabase(Db.get());
        Q->SetTransaction(Tr.get());

        for (const char* ddl : {
                 "create table T (ID integer not null primary key, NAME varchar(10), SH smallint, "
                 "BIG bigint, D double precision, TS timestamp, DT date, NUM numeric(9,2), MEMO blob "
                 "sub_type text)",
                 "create procedure ADD_T (NAME varchar(10)) returns (NEW_ID integer) as begin "
                 "select coalesce(max(ID), 0) + 1 from T into :NEW_ID; "
                 "insert into T (ID, NAME) values (:NEW_ID, :NAME); suspend; end",
                 "create procedure TWICE (X integer) returns (Y integer) as begin Y = X * 2; end",
             }) {
            Exec(ddl);
        }
    }

    void Exec(const AnsiString& Sql) {
        if (!Tr->InTransaction()) Tr->StartTransaction();
        Q->ParamCheck = false;
        Q->SetSQL(Sql);
        Q->ExecQuery();
        Tr->Commit();
        Q->ParamCheck = true;
    }

    void Insert(int Id, const AnsiString& Name) {
        Q->SetSQL("insert into T (ID, NAME) values (:ID, :NAME)");
        Q->ParamByName("id").SetAsInteger(Id);
        Q->ParamByName("Name").SetAsString(Name);
        Q->ExecQuery();
    }

    TTempFolder Folder;
    std::unique_ptr<TIBDatabase> Db;
    std::unique_ptr<TIBTransaction> Tr;
    std::unique_ptr<TIBQuery> Q;
};

TEST(IBDatabase, MissingFileRaisesTheServerText) {
    TTempFolder folder;
    TIBDatabase db(nullptr);
    db.DatabaseName = folder.Path() + "absent.fdb";
    db.Params = {"user_name=SYSDBA", "password=x"};
    try {
        db.Open();
        FAIL() << "no error";
    } catch (const EIBError& e) {
        EXPECT_NE(e.Message.find("absent.fdb"), AnsiString::npos) << e.Message;
        EXPECT_NE(e.IBErrorCode, 0);
    }
    EXPECT_FALSE(db.Connected());
}

TEST(IBDatabase, UnknownParametersAreRefused) {
    TIBDatabase db(nullptr);
    db.DatabaseName = "/nonexistent.fdb";
    db.Params = {"colour=blue"};
    EXPECT_THROW(db.Open(), EIBError);
    TIBTransaction tr(nullptr);
    EXPECT_THROW(tr.StartTransaction(), EIBError); // no database
}

TEST_F(IBQueryTest, TextKeepsEveryByte) {
    // NUL, control codes, a quote, a line feed and the top of CP1251.
    const AnsiString tricky("\x00\x01\n'\"\x0c\xff\xe0:x", 10);
    Insert(1, tricky);
    AnsiString blob;
    for (int i = 0; i < 100000; ++i)
        blob += char(i * 7 % 256);
    Q->SetSQL("update T set MEMO = :M where ID = 1");
    Q->ParamByName("M").SetAsString(blob);
    Q->ExecQuery();
    Q->SetSQL("select NAME, MEMO from T");
    Q->Open();
    EXPECT_EQ(Q->FieldByName("name").AsString(), tricky);
    EXPECT_EQ(Q->FieldByName("MEMO").AsString(), blob);
    EXPECT_EQ(Q->FieldByName("NAME").Size(), 10);
}

TEST_F(IBQueryTest, EmptyTextIsNotNull) {
    Insert(1, "");
    Q->SetSQL("update T set MEMO = :M where ID = 1");
    Q->ParamByName("M").SetAsString("");
    Q->ExecQuery();
    Q->SetSQL("select NAME, MEMO, SH from T");
    Q->Open();
    EXPECT_FALSE(Q->FieldByName("NAME").IsNull());
    EXPECT_FALSE(Q->FieldByName("MEMO").IsNull());
    EXPECT_TRUE(Q->FieldByName("SH").IsNull());
    EXPECT_EQ(Q->FieldByName("SH").AsInteger(), 0);
}

TEST_F(IBQueryTest, OverlongTextIsRefusedBeforeTheWrite) {
    Q->SetSQL("insert into T (ID, NAME) values (:ID, :NAME)");
    Q->ParamByName("ID").SetAsInteger(1);
    Q->ParamByName("NAME").SetAsString("12345678901");
    try {
        Q->ExecQuery();
        FAIL() << "no error";
    } catch (const EIBError& e) {
        EXPECT_NE(e.Message.find("NAME"), AnsiString::npos) << e.Message;
        EXPECT_NE(e.Message.find("10"), AnsiString::npos) << e.Message;
    }
    Q->SetSQL("select count(*) from T");
    Q->Open();
    EXPECT_EQ(Q->Fields(0).AsInteger(), 0);
}

TEST_F(IBQueryTest, TypedValuesRoundTrip) {
    const TDateTime stamp = EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 7, 250);
    const TDateTime old = -700.75; // 1898, 18:00
    Q->SetSQL("insert into T (ID, SH, BIG, D, TS, DT, NUM) values (:ID, :SH, :BIG, :D, :TS, :DT, :NUM)");
    Q->ParamByName("ID").SetAsInteger(1);
    Q->ParamByName("SH").SetAsSmallint(-5);
    Q->ParamByName("BIG").SetAsInt64(int64_t(1) << 40);
    Q->ParamByName("D").SetAsFloat(12.5);
    Q->ParamByName("TS").SetAsDateTime(stamp);
    Q->ParamByName("DT").SetAsDateTime(stamp);
    Q->ParamByName("NUM").SetAsFloat(3.14159);
    Q->ExecQuery();
    Q->ParamByName("ID").SetAsInteger(2);
    Q->ParamByName("TS").SetAsDateTime(old);
    Q->ExecQuery();
    Q->SetSQL("select * from T order by ID");
    Q->Open();
    EXPECT_EQ(Q->FieldByName("SH").AsInteger(), -5);
    EXPECT_EQ(Q->FieldByName("BIG").AsInt64(), int64_t(1) << 40);
    EXPECT_DOUBLE_EQ(Q->FieldByName("D").AsFloat(), 12.5);
    EXPECT_NEAR(Q->FieldByName("TS").AsDateTime(), stamp, 1e-9);
    EXPECT_DOUBLE_EQ(Q->FieldByName("DT").AsDateTime(), EncodeDate(2024, 2, 29));
    EXPECT_DOUBLE_EQ(Q->FieldByName("NUM").AsFloat(), 3.14);
    Q->Next();
    EXPECT_NEAR(Q->FieldByName("TS").AsDateTime(), old, 1e-9);
}

TEST_F(IBQueryTest, DateParameterDropsTheTime) {
    Q->SetSQL("insert into T (ID, TS) values (1, :TS)");
    Q->ParamByName("TS").SetAsDate(EncodeDate(2020, 5, 1) + 0.75);
    Q->ExecQuery();
    Q->SetSQL("select TS from T");
    Q->Open();
    EXPECT_DOUBLE_EQ(Q->FieldByName("TS").AsDateTime(), EncodeDate(2020, 5, 1));
}

TEST_F(IBQueryTest, NamedParametersSkipLiteralsAndComments) {
    Insert(1, ":A");
    Insert(2, "b");
    // The same name twice; colons inside a literal, a quoted name and comments stay.
    Q->SetSQL("select ID from T /* :X */ where (NAME = ':A' or ID = :id) -- :Y\n and ID <= :ID");
    ASSERT_EQ(Q->ParamCount(), 1);
    Q->ParamByName("ID").SetAsInteger(2);
    Q->Open();
    ASSERT_EQ(Q->RecordCount(), 2);
    EXPECT_THROW(Q->ParamByName("X"), EIBError);
}

TEST_F(IBQueryTest, RowWalkingAndLocate) {
    for (int i = 1; i <= 3; ++i)
        Insert(i, AnsiString("Row") + char('a' + i - 1));
    Q->SetSQL("select ID, NAME from T order by ID");
    Q->Open();
    EXPECT_EQ(Q->RecordCount(), 3);
    int seen = 0;
    for (Q->First(); !Q->Eof(); Q->Next())
        seen = seen * 10 + Q->FieldByName("ID").AsInteger();
    EXPECT_EQ(seen, 123);
    EXPECT_TRUE(Q->Locate("name", Variant("ROWB"), true));
    EXPECT_EQ(Q->RecNo(), 2);
    EXPECT_FALSE(Q->Locate("NAME", Variant("ROWC")));
    EXPECT_EQ(Q->RecNo(), 2) << "a failed search does not move";
    EXPECT_TRUE(Q->Locate("ID", Variant(3)));
    EXPECT_EQ(Q->FieldByName("NAME").AsString(), "Rowc");
    EXPECT_THROW(Q->FieldByName("NOPE"), EIBError);

    Q->Close();
    Q->SetSQL("select ID from T where ID > 10");
    Q->Open();
    EXPECT_TRUE(Q->Eof());
    EXPECT_TRUE(Q->IsEmpty());
    EXPECT_TRUE(Q->FieldByName("ID").IsNull());
}

TEST_F(IBQueryTest, StoredProcedures) {
    Q->SetSQL("select * from ADD_T(:NAME)");
    Q->ParamByName("NAME").SetAsString("x");
    Q->Open();
    EXPECT_EQ(Q->FieldByName("new_id").AsInteger(), 1);
    Q->Close();
    Q->Open();
    EXPECT_EQ(Q->FieldByName("NEW_ID").AsInteger(), 2);
    Q->Close();
    Q->SetSQL("execute procedure TWICE (:X)");
    Q->ParamByName("X").SetAsInteger(21);
    Q->ExecQuery();
    EXPECT_EQ(Q->FieldByName("Y").AsInteger(), 42);
}

TEST_F(IBQueryTest, ServerErrorsCarryTheirText) {
    Q->SetSQL("selec nothing");
    try {
        Q->Open();
        FAIL() << "no error";
    } catch (const EIBError& e) {
        EXPECT_NE(e.Message.find("Token unknown"), AnsiString::npos) << e.Message;
        EXPECT_EQ(e.SQLCode, -104);
    }
    Insert(1, "a");
    try {
        Insert(1, "b");
        FAIL() << "no error";
    } catch (const EIBError& e) {
        EXPECT_NE(e.Message.find("PRIMARY"), AnsiString::npos) << e.Message;
    }
}

TEST_F(IBQueryTest, TransactionsControlWhatIsKept) {
    Tr->StartTransaction();
    Insert(1, "gone");
    Tr->Rollback();
    Tr->AllowAutoStart = false;
    Q->SetSQL("select count(*) from T");
    EXPECT_THROW(Q->Open(), EIBError);
    Tr->AllowAutoStart = true;
    Q->Open();
    EXPECT_EQ(Q->Fields(0).AsInteger(), 0);
}

TEST_F(IBQueryTest, AutoStopCommitsWhenTheLastQueryCloses) {
    Tr->AutoStopAction = TAutoStopAction::saCommit;
    TIBQuery other(nullptr);
    other.SetDatabase(Db.get());
    other.SetTransaction(Tr.get());
    Q->SetSQL("select 1 from RDB$DATABASE");
    other.SetSQL("select 2 from RDB$DATABASE");
    Q->Open();
    other.Open();
    EXPECT_TRUE(Tr->InTransaction());
    Q->Close();
    EXPECT_TRUE(Tr->InTransaction());
    other.Close();
    EXPECT_FALSE(Tr->InTransaction());
}

TEST_F(IBQueryTest, ClosingTheDatabaseEndsEverything) {
    Q->SetSQL("select 1 from RDB$DATABASE");
    Q->Open();
    Db->Close();
    EXPECT_FALSE(Q->Active());
    EXPECT_FALSE(Tr->InTransaction());
    EXPECT_FALSE(Q->Prepared());
    Db->Open();
    Q->Open();
    EXPECT_EQ(Q->Fields(0).AsInteger(), 1);
}

TEST_F(IBQueryTest, ClosingTheDatabaseGoesOnPastAFailedCommit) {
    // The database refuses to commit a transaction that asked for it.
    Exec("create exception NO_COMMIT 'commit refused'");
    Exec("create trigger REFUSE_COMMIT on transaction commit as begin "
         "if (rdb$get_context('USER_TRANSACTION', 'REFUSE') = '1') then exception NO_COMMIT; end");
    Tr->AutoStopAction = TAutoStopAction::saCommit;
    Q->SetSQL("select rdb$set_context('USER_TRANSACTION', 'REFUSE', '1') from RDB$DATABASE");
    Q->Open();
    TIBTransaction other(nullptr);
    other.SetDefaultDatabase(Db.get());
    other.Params = {"read_committed", "rec_version", "nowait"};
    TIBQuery write(nullptr);
    write.SetDatabase(Db.get());
    write.SetTransaction(&other);
    write.SetSQL("insert into T (ID) values (1)");
    write.ExecQuery();

    try {
        Db->Close();
        FAIL() << "no error";
    } catch (const EIBError& e) {
        EXPECT_NE(e.Message.find("commit refused"), AnsiString::npos) << e.Message;
    }
    EXPECT_FALSE(Db->Connected());
    EXPECT_FALSE(Q->Active());
    EXPECT_FALSE(Tr->InTransaction());
    EXPECT_FALSE(other.InTransaction());

    Db->Open();
    Q->SetSQL("select count(*) from T");
    Q->Open();
    EXPECT_EQ(Q->Fields(0).AsInteger(), 0) << "nothing of the open transactions was kept";
}

TEST_F(IBQueryTest, UnknownTransactionItemIsRefused) {
    TIBTransaction tr(nullptr);
    tr.SetDefaultDatabase(Db.get());
    tr.Params = {"read_committed", "bogus"};
    EXPECT_THROW(tr.StartTransaction(), EIBError);
    EXPECT_FALSE(tr.InTransaction());
}

TEST_F(IBQueryTest, ReadOnlyTransactionRefusesWrites) {
    TIBTransaction ro(nullptr);
    ro.SetDefaultDatabase(Db.get());
    ro.Params = {"read_committed", "rec_version", "nowait", "read"};
    Q->SetTransaction(&ro);
    Q->SetSQL("insert into T (ID) values (1)");
    EXPECT_THROW(Q->ExecQuery(), EIBError);
    ro.Rollback();
}

} // namespace
