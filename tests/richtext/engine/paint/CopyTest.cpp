// Copying the selection: which formats go to the clipboard and in what
// order, and that nothing is copied without a selection.
#include <gtest/gtest.h>

#include "RVPaintTestData.h"
#include "richtext/engine/items/RVPictures.h"

namespace {

class TRvfData : public TPaintTestData {
public:
    using TPaintTestData::TPaintTestData;
    bool SaveRvfSelection(TStream& Stream, TColor, TRVBackground*) override {
        Stream.Write("RVF", 3);
        return true;
    }
};

TEST(RVCopyTest, FormatsInOrder) {
    auto style = MakeLayoutStyle();
    TFixedMetricsCanvas canvas;
    TRvfData data(style.get(), &canvas);
    TTestClipboard clipboard;
    data.Clipboard = &clipboard;
    data.AddTextItem("abc", 0, 0);
    data.Format();
    data.Options = rvoAutoCopyText | rvoAutoCopyUnicodeText | rvoAutoCopyRVF | rvoAutoCopyRTF;
    // An empty selection copies nothing, yet copying is on.
    EXPECT_TRUE(data.CopyToClipboard(clNone, nullptr));
    EXPECT_EQ(clipboard.Clears, 0);

    data.SetSelectionBounds(0, 2, 0, 4);
    EXPECT_TRUE(data.CopyToClipboard(clNone, nullptr));
    ASSERT_EQ(clipboard.Formats.size(), 3u);
    // The native block is its length, then the block; the Unicode text
    // stands for the 8-bit one.
    EXPECT_EQ(clipboard.Formats[0],
              (std::pair<AnsiString, AnsiString>{"ZoroZudo Format", AnsiString("\3\0\0\0RVF", 7)}));
    EXPECT_EQ(clipboard.Formats[1], (std::pair<AnsiString, AnsiString>{"unicode", AnsiString("b\0c\0", 4)}));
    EXPECT_EQ(clipboard.Formats[2].first, "Rich Text Format");
    EXPECT_NE(clipboard.Formats[2].second.find("bc"), AnsiString::npos);

    data.Options = rvoAutoCopyText | rvoAutoCopyImage;
    EXPECT_TRUE(data.CopyToClipboard(clNone, nullptr));
    EXPECT_EQ(clipboard.Formats, (std::vector<std::pair<AnsiString, AnsiString>>{{"text", "bc"}}));
    data.Options = 0;
    EXPECT_FALSE(data.CopyToClipboard(clNone, nullptr));
}

TEST(RVCopyTest, APictureSelectedAlone) {
    auto style = MakeLayoutStyle();
    TFixedMetricsCanvas canvas;
    TPaintTestData data(style.get(), &canvas);
    TTestClipboard clipboard;
    data.Clipboard = &clipboard;
    data.AddTextItem("a", 0, 0);
    auto picture =
        std::make_unique<TRVGraphicItemInfo>(&data, std::make_unique<TRVBitmapImage>(5, 4), vaBaseline);
    picture->ParaNo = -1;
    data.AddItem("", std::move(picture));
    data.Format();
    data.Options = rvoAutoCopyImage;
    // From the end of the item before it to its end.
    data.SetSelectionBounds(0, 2, 1, 1);
    EXPECT_TRUE(data.CopyToClipboard(clNone, nullptr));
    EXPECT_EQ(clipboard.Formats, (std::vector<std::pair<AnsiString, AnsiString>>{{"picture", "5x4"}}));
    data.SetSelectionBounds(0, 1, 1, 1);
    EXPECT_EQ(data.GetSelectedImage(), nullptr);
}

} // namespace
