// The statement-pair cursor walks every pair in order.
#include "core/uQuestionsClass.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"

class QuestionsTest : public CoreFixture {};

TEST_F(QuestionsTest, WalksThePairsInOrder) {
    auto q = std::make_unique<TQuestions>();
    EXPECT_EQ(q->Count, 28);
    EXPECT_EQ(q->Number, 1);
    EXPECT_EQ(q->NumStatement, 1);
    EXPECT_EQ(q->Statement1, "Мне важно получать высокую зарплату, позволяющую жить в достатке"_cp);
    EXPECT_EQ(q->Statement2, "Мне важно получать от руководителя четкие указания, что и как нужно делать"_cp);
    EXPECT_TRUE(q->IsFirst);
    EXPECT_FALSE(q->IsLast);
    EXPECT_FALSE(q->Prior());
    EXPECT_EQ(q->Number, 1);

    ASSERT_TRUE(q->Next());
    EXPECT_FALSE(q->IsFirst);
    EXPECT_EQ(q->Statement1, "Мне важна возможность учиться и осваивать новое"_cp);
    ASSERT_TRUE(q->Prior());
    EXPECT_TRUE(q->IsFirst);
    EXPECT_EQ(q->Number, 1);
    EXPECT_EQ(q->NumStatement, 1);

    for (int i = 1; i < q->Count; ++i)
        ASSERT_TRUE(q->Next());
    EXPECT_TRUE(q->IsLast);
    EXPECT_EQ(q->Number, 28);
    EXPECT_EQ(q->NumStatement, 28);
    EXPECT_FALSE(q->Next());
    EXPECT_EQ(q->Number, 28);
    ASSERT_TRUE(q->Prior());
    EXPECT_FALSE(q->IsLast);
    EXPECT_EQ(q->NumStatement, 27);

    q.reset();
    EXPECT_FALSE(DM->Statements_IBQuery->Active());
}

TEST_F(QuestionsTest, NoPairsLeaveNothingOpen) {
    TIBQuery clear(nullptr);
    clear.SetDatabase(DM->Data_IBDatabase);
    clear.SetSQL("delete from STATEMENTS");
    clear.ExecQuery();
    DM->Data_IBTransaction->Commit();
    try {
        TQuestions q;
        FAIL() << "a cursor without pairs";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message.find("Luvora_Data.FDB"), AnsiString::npos);
    }
    EXPECT_FALSE(DM->Statements_IBQuery->Active());
    EXPECT_FALSE(DM->Statements_IBTransaction->InTransaction());
}
