// The report HTML read into a document: the text of each kind of markup,
// the styles it makes, pictures, and markup that is broken.
#include <gtest/gtest.h>

#include "app/results/ReportDocument.h"
#include "platform/testing/TestCanvases.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/style/RVStyle.h"
#include "support/TestSupport.h"

namespace {

AnsiString TextOf(const char* Html) {
    TReportDocument doc;
    doc.LoadHtml(Utf8ToAnsi(Html), {1, false});
    return doc.Text();
}

TEST(ReportHtmlTest, MarkupBecomesParagraphsOfText) {
    struct TCase {
        const char* Html;
        const char* Text;
    } cases[] = {
        {"<p>Один</p><p>Два</p>", "Один\r\nДва"},
        {"<h3><p align=\"center\">ЗАКЛЮЧЕНИЕ<br>по результатам</p></h3>", "ЗАКЛЮЧЕНИЕ\r\nпо результатам"},
        {"<p>  много\n   пробелов  <b>и</b> тегов </p>", "много пробелов и тегов "},
        {"<ul><li>Первый</li><li>Второй</li></ul>", "\xE2\x80\xA2 Первый\r\n\xE2\x80\xA2 Второй"},
        {"<table><tr><td>Имя</td><td>Иванов</td></tr><tr><td>А</td><td>Б</td><td>В</td></tr></table>",
         "Имя: Иванов\r\nА \xE2\x80\x94 Б \xE2\x80\x94 В"},
        {"<p>&laquo;&amp;&#36;&#x41;&nbsp;&bogus;&raquo;</p>", "«&$A\xC2\xA0&bogus;»"},
        {"<p>a < b</p><!-- note --><p>c</p>", "a < b\r\nc"},
        {"<p>без конца", "без конца"},
        {"", ""},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(TextOf(c.Html), Utf8ToAnsi(c.Text)) << c.Html;
}

TEST(ReportHtmlTest, HeadingsBoldAndItalicGetTheirOwnStylesOnce) {
    TReportDocument doc;
    doc.LoadHtml(Utf8ToAnsi("<h3>Заголовок</h3><p>текст <b>жирный</b> <i>курсив</i> текст</p><p>текст</p>"));
    TRVStyle& style = *doc.Data().GetRVStyle();
    // Heading, body, bold, italic: four text styles, reused.
    ASSERT_EQ(style.TextStyles().Count(), 4);
    EXPECT_EQ(style.TextStyles()[0]->Size, 14);
    EXPECT_TRUE(style.TextStyles()[0]->Style & fsBold);
    EXPECT_EQ(style.TextStyles()[1]->Size, 12);
    EXPECT_TRUE(style.TextStyles()[2]->Style & fsBold);
    EXPECT_TRUE(style.TextStyles()[3]->Style & fsItalic);
    EXPECT_EQ(style.TextStyles()[1]->Charset, 204);
}

TEST(ReportHtmlTest, APictureIsReadFromItsFileAndAMissingOneIsLeftOut) {
    TTempFolder folder;
    TBitmap bmp(40, 30);
    bmp.SaveToFile(folder.Path() + "a&b.bmp");
    TReportDocument doc;
    doc.LoadHtml("<p>x<img src=\"" + folder.Path() + "a&amp;b.bmp\"/><img src=\"" + folder.Path() +
                 "none.bmp\"></p>");
    int pictures = 0;
    for (int i = 0; i < doc.Data().ItemCount(); ++i)
        if (auto* p = dynamic_cast<TRVGraphicItemInfo*>(&doc.Data().LiveItem(i))) {
            ++pictures;
            EXPECT_EQ(p->Image->Width(), 40);
        }
    EXPECT_EQ(pictures, 1);
    // Scaled for a printer: the picture keeps its proportion of the page.
    doc.LoadHtml("<img src=\"" + folder.Path() + "a&amp;b.bmp\">", {6.25, true});
    auto* p = dynamic_cast<TRVGraphicItemInfo*>(&doc.Data().LiveItem(0));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->ImageWidth, 250);
}

TEST(ReportHtmlTest, PagesBreakBetweenLinesAndDrawOnlyTheirOwnLines) {
    TReportDocument doc;
    AnsiString html;
    for (int i = 0; i < 40; ++i)
        html += "<p>Строка номер "_cp + IntToStr(i) + "</p>";
    doc.LoadHtml(html);
    TBitmap measure(1, 1);
    doc.Layout(measure.Canvas(), 400);
    const int height = doc.LayoutHeight();
    ASSERT_GT(height, 300);
    const std::vector<int> tops = doc.PageTops(150);
    ASSERT_GE(tops.size(), 3u);
    EXPECT_EQ(tops[0], 0);
    for (std::size_t i = 1; i < tops.size(); ++i) {
        EXPECT_LE(tops[i] - tops[i - 1], 150);
        bool atLine = false;
        for (int d = 0; d < doc.Data().DrawItems.Count(); ++d)
            atLine |= doc.Data().DrawItems[d]->FromNewLine && doc.Data().DrawItems[d]->Top == tops[i];
        EXPECT_TRUE(atLine) << "page " << i << " starts at a line";
    }
    EXPECT_LT(tops.back(), height);
    TRecordingCanvas canvas;
    doc.Draw(canvas, 0, 0, tops[1], tops[2], true);
    int texts = 0;
    for (const AnsiString& call : canvas.Log)
        texts += call.rfind("Text ", 0) == 0;
    EXPECT_GT(texts, 0);
    EXPECT_LT(texts, 40);
}

} // namespace
