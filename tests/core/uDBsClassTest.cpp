// The list of logical databases: scrambled passwords, updates, deletes and
// closing the list.
#include "core/uDBsClass.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"

class ListDatabasesTest : public CoreFixture {};

TEST_F(ListDatabasesTest, PasswordsAreStoredScrambledAndReadPlain) {
    TListDatabases list;
    EXPECT_TRUE(DM->DB_IBQuery->Active());
    TDatabase added;
    added.DB_NAME = "Отдел кадров"_cp;
    added.DB_PASSWORD = "abc";
    const int32_t id = list.AddDatabase(added);
    ASSERT_GT(id, 0);
    TDatabase open;
    open.DB_NAME = "Без пароля"_cp;
    const int32_t openId = list.AddDatabase(open);
    ASSERT_GT(openId, 0);

    ASSERT_TRUE(list.Refresh(id));
    EXPECT_EQ(list.Dataset->FieldByName("DB_PASSWORD").AsString(), "nop");
    EXPECT_EQ(list.Dataset->FieldByName("ISPROTECTDB").AsInteger(), 1);
    TDatabase read;
    ASSERT_TRUE(list.ReadDatabase(id, read));
    EXPECT_EQ(read.DB_ID, id);
    EXPECT_EQ(read.DB_NAME, "Отдел кадров"_cp);
    EXPECT_EQ(read.DB_PASSWORD, "abc");

    ASSERT_TRUE(list.ReadDatabase(openId, read));
    EXPECT_EQ(read.DB_PASSWORD, "");
    EXPECT_TRUE(list.Dataset->FieldByName("ISPROTECTDB").IsNull());
    EXPECT_EQ(list.Dataset->FieldByName("DB_PASSWORD").AsString(), "");
}

TEST_F(ListDatabasesTest, UpdateDeleteAndMissingRows) {
    TListDatabases list;
    TDatabase db;
    db.DB_NAME = "Первая"_cp;
    db.DB_ID = list.AddDatabase(db);
    ASSERT_GT(db.DB_ID, 0);

    db.DB_NAME = "Переименована"_cp;
    db.DB_PASSWORD = "xyz";
    EXPECT_EQ(list.UpdateDatabase(db), db.DB_ID);
    EXPECT_FALSE(list.Refresh(-1));
    TDatabase read;
    ASSERT_TRUE(list.ReadDatabase(db.DB_ID, read));
    EXPECT_EQ(read.DB_NAME, "Переименована"_cp);
    EXPECT_EQ(read.DB_PASSWORD, "xyz");

    EXPECT_EQ(list.DeleteDatabase(db.DB_ID), db.DB_ID);
    EXPECT_FALSE(list.Refresh(db.DB_ID));
    TDatabase untouched;
    untouched.DB_NAME = "keep";
    EXPECT_FALSE(list.ReadDatabase(db.DB_ID, untouched));
    EXPECT_EQ(untouched.DB_NAME, "keep");
    EXPECT_EQ(untouched.DB_ID, 0);
    EXPECT_TRUE(Boxes.Log.empty());

    // A failed write reports -1 after the data module's box.
    TDatabase tooLong;
    tooLong.DB_NAME = AnsiString(101, 'n');
    EXPECT_EQ(list.AddDatabase(tooLong), -1);
    EXPECT_EQ(Boxes.Log.size(), 1u);
}

TEST_F(ListDatabasesTest, FreeingTheListClosesIt) {
    { TListDatabases list; }
    EXPECT_FALSE(DM->DB_IBQuery->Active());
}
