// The Caesar byte-shift cipher.
#include "util/JvCipher.h"

#include <gtest/gtest.h>

namespace {

AnsiString Scramble(const AnsiString& Plain, const AnsiString& Key = "") {
    TJvCaesarCipher c(nullptr);
    c.Key = Key;
    c.SetDecoded(Plain);
    return c.Encoded;
}

AnsiString Unscramble(const AnsiString& Encoded, const AnsiString& Key = "") {
    TJvCaesarCipher c(nullptr);
    c.Key = Key;
    c.Encoded = Encoded;
    return c.Decoded();
}

TEST(JvCaesarCipher, EveryByteRoundTrips) {
    AnsiString all;
    for (int i = 0; i < 256; ++i)
        all += char(i);
    for (const char* key : {"", "1", "200", "255"}) {
        AnsiString enc = Scramble(all, key);
        EXPECT_EQ(enc.size(), all.size());
        EXPECT_NE(enc, all);
        EXPECT_EQ(Unscramble(enc, key), all) << key;
    }
    EXPECT_EQ(Scramble(""), "");
    EXPECT_EQ(Unscramble(""), "");
}

TEST(JvCaesarCipher, ShiftOfTheKey) {
    struct Case {
        const char* Key;
        unsigned char Plain, Encoded;
    } cases[] = {
        {"", 65, 78},   {"", 250, 7},    {"0", 65, 78}, {"256", 65, 78},
        {"-5", 65, 78}, {"abc", 65, 78}, {"3", 65, 68}, {"255", 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Scramble(AnsiString(1, char(c.Plain)), c.Key), AnsiString(1, char(c.Encoded))) << c.Key;
}

TEST(JvCaesarCipher, CyrillicLettersBecomeControlCodes) {
    // "у" (243) to "я" (255) wrap round to 0..12; "э" (253) is a line feed.
    EXPECT_EQ(Scramble("у"_cp), AnsiString(1, '\0'));
    EXPECT_EQ(Scramble("э"_cp), "\n");
    EXPECT_EQ(Scramble("я"_cp), "\x0c");
    EXPECT_EQ(Unscramble(Scramble("уэя"_cp)), "уэя"_cp);
}

} // namespace
