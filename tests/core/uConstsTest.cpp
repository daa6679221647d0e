// The fixed tables: scales, sten bands and reliability texts.
#include "core/uConsts.h"

#include <gtest/gtest.h>

namespace {

TEST(uConsts, Scales) {
    EXPECT_EQ(ScaleLetters[5], "F");
    EXPECT_EQ(ScaleLetters[6], "H"); // no "G"
    EXPECT_EQ(ScaleLetters[7], "I");
    // Scale 0 starts with a Latin C, the others with a Cyrillic one.
    EXPECT_EQ(ScaleNames[0][0], 'C');
    for (int i = 1; i < ScaleCount; ++i)
        EXPECT_EQ((unsigned char)ScaleNames[i][0], 0xD1) << i;
    EXPECT_EQ(ScaleNames[6], "Стремление к личностному росту (саморазвитию)"_cp);
    // Chart labels break lines with a lone carriage return.
    EXPECT_EQ(ScaleChartNames[4], "Стремление к\rкарьерному\rросту"_cp);
    for (const AnsiString& label : ScaleChartNames)
        EXPECT_EQ(label.find('\n'), AnsiString::npos);
}

TEST(uConsts, StenTablesComeInBandsOfTwo) {
    for (int i = 0; i < StenCount; i += 2) {
        EXPECT_EQ(StenInterpretations[i], StenInterpretations[i + 1]) << i;
        if (i > 0) {
            EXPECT_NE(StenInterpretations[i], StenInterpretations[i - 1]) << i;
        }
    }
    EXPECT_NE(StenInterpretations[2].find("возможно  подавляется"_cp), AnsiString::npos);
    EXPECT_EQ(StenColors[0], 0x00B0FFFFu);
    EXPECT_EQ(StenColors[3], 0x00B0FFFFu);
    EXPECT_EQ(StenColors[5], 0x00BFFFBFu);
    EXPECT_EQ(StenColors[9], 0x00BBBBFFu);
}

TEST(uConsts, ReliabilityTexts) {
    EXPECT_EQ(ReliabilityLevels[0], "Очень высокая"_cp);
    EXPECT_EQ(ReliabilityLevels[3], "Сниженная"_cp);
    EXPECT_EQ(GroupReliabilityLevels[4], "Низкий (недостаточен для построения группового профиля)"_cp);
    EXPECT_EQ(Type1Scales.size() + Type2Scales.size(), 8u);
}

} // namespace
