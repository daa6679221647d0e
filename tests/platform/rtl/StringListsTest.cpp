// String lists: comma text, sorted finding, names and values.
#include <gtest/gtest.h>

#include "platform/rtl/StringLists.h"

namespace {

TEST(StringListsTest, CommaTextBothWays) {
    TStringList list;
    list.SetCommaText(" TRUE, YES,Y \"two words\",\"a \"\"q\"\"\" ");
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list[3], "two words");
    EXPECT_EQ(list[4], "a \"q\"");
    EXPECT_EQ(list.CommaText(), "TRUE,YES,Y,\"two words\",\"a \"\"q\"\"\"");
    list.SetCommaText("a,");
    EXPECT_EQ(list.Count(), 2);
}

TEST(StringListsTest, SortedListsFindAndNamesValues) {
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"b", "C", "a"})
        list.Add(s);
    EXPECT_EQ(list[0], "a");
    EXPECT_EQ(list[2], "C");
    EXPECT_EQ(list.IndexOf("c"), 2);
    list.SetSorted(false);
    list.Add("Key=Value=2");
    EXPECT_EQ(list.Values("key"), "Value=2");
    EXPECT_EQ(list.Names(3), "Key");
    EXPECT_THROW(list.Strings(9), EStringListError);
    list.SetText("x\r\ny\nz");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Text(), "x\r\ny\r\nz\r\n");
}

} // namespace
