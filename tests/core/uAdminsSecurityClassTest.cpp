// The psychologist password: scrambled storage, and an old password that
// stays in force when a save fails.
#include "core/uAdminsSecurityClass.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "core/uTarvikApplicationClass.h"
#include "platform/win/Registry.h"

TEST(AdminsSecurity, PasswordIsKeptScrambled) {
    TAdminsSecurity s;
    EXPECT_EQ(s.GetPassword(), "");
    s.SetPassword("abc");
    EXPECT_EQ(s.EncodedPassword, "nop"); // each letter's code plus 13
    EXPECT_EQ(s.GetPassword(), "abc");
    // Codes past 255 wrap: "э" (0xFD) becomes a line feed.
    s.SetPassword("эюя"_cp);
    EXPECT_EQ(s.EncodedPassword, "\x0A\x0B\x0C");
    AnsiString plain;
    s.GetPassword(plain);
    EXPECT_EQ(plain, "эюя"_cp);
}

class AdminsSecurityTest : public CoreFixture {
protected:
    AnsiString Stored() {
        AnsiString encoded = "<none>";
        DM->ReadPsyPassword(encoded);
        return encoded;
    }
};

TEST_F(AdminsSecurityTest, SavedPasswordIsLoadedByTheNextStart) {
    TAdminsSecurity first;
    EXPECT_FALSE(first.LoadPassword()); // a fresh main file has no password row
    EXPECT_EQ(first.EncodedPassword, "");

    // Scrambled, "э" is a line feed.
    first.SetPassword("Пароль'эюя"_cp);
    ASSERT_TRUE(first.SavePassword());
    EXPECT_TRUE(Boxes.Log.empty());
    EXPECT_EQ(Stored(), first.EncodedPassword);

    TAdminsSecurity next;
    ASSERT_TRUE(next.LoadPassword());
    EXPECT_EQ(next.GetPassword(), "Пароль'эюя"_cp);
    // Loading replaces a password that was only set in memory.
    next.SetPassword("other");
    ASSERT_TRUE(next.LoadPassword());
    EXPECT_EQ(next.GetPassword(), "Пароль'эюя"_cp);
}

TEST_F(AdminsSecurityTest, FailedSaveKeepsTheOldPassword) {
    TAdminsSecurity s;
    s.SetPassword("old");
    ASSERT_TRUE(s.SavePassword());

    s.SetPassword(AnsiString(31, 'x')); // longer than the column
    EXPECT_FALSE(s.SavePassword());
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(Boxes.Log[0].Caption, "Error");
    EXPECT_EQ(s.GetPassword(), "old");
    TAdminsSecurity stored;
    ASSERT_TRUE(stored.LoadPassword());
    EXPECT_EQ(stored.GetPassword(), "old");

    // One that never loaded the password falls back to the stored one too.
    TAdminsSecurity fresh;
    fresh.SetPassword(AnsiString(40, 'y'));
    EXPECT_FALSE(fresh.SavePassword());
    EXPECT_EQ(fresh.GetPassword(), "old");
}

TEST_F(AdminsSecurityTest, SaveWithoutAConnectionKeepsTheOldPassword) {
    TAdminsSecurity s;
    s.SetPassword("old");
    ASSERT_TRUE(s.SavePassword());
    DM->Main_IBDatabase->Close();
    s.SetPassword("new");
    // Either way the failure is reported: by the result after a box, or by
    // the error itself.
    bool saved = true;
    try {
        saved = s.SavePassword();
    } catch (const Exception&) {
        saved = false;
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(s.GetPassword(), "old");
}

TEST_F(AdminsSecurityTest, LoadSettingsReadsColoursAndPassword) {
    {
        TTarvikApplication app;
        app.Options->FirstGridRowColor = 0x00010203;
        ASSERT_TRUE(app.Options->Save());
        app.Security->SetPassword("psy");
        ASSERT_TRUE(app.Security->SavePassword());
    }
    TTarvikApplication app;
    app.LoadSettings();
    EXPECT_EQ(app.Options->FirstGridRowColor, 0x00010203u);
    EXPECT_EQ(app.Options->SecondGridRowColor, TApplicationOptions::DefaultSecondGridRowColor);
    EXPECT_EQ(app.Security->GetPassword(), "psy");
}
