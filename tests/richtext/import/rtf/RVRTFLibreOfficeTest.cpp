// RTF that LibreOffice writes from a report-like document reads with the
// same text, Cyrillic included, the same list numbers and the same table
// grid. Runs when LibreOffice is installed (Debian package
// libreoffice-writer-nogui or libreoffice-writer); skipped otherwise.
#include <cstdlib>
#include <fstream>

#include "RVRTFTestSupport.h"
#include "support/TestSupport.h"

namespace {

bool HasProgram(const std::string& Name) {
    return std::system(("command -v " + Name + " >/dev/null 2>&1").c_str()) == 0;
}

// The grid of every table, as rows of cells with their spans.
class TGridRecorder : public TRVRTFTableBuilder {
public:
    std::vector<std::string> Grids;
    void BuildTable(TRVRTFTableGrid& Grid, int ParaNo, TRVRTFTablePlacer& Placer) override {
        EXPECT_EQ(CheckRTFTableGridInvariants(Grid), "");
        std::string text;
        for (int r = 0; r < Grid.RowCount(); ++r) {
            text += "[";
            for (int c = 0; c < Grid.ColCount(); ++c)
                if (const TRVRTFGridCell* cell = Grid.Cell(r, c))
                    text += Summary(*cell->Data) +
                            (cell->ColSpan > 1 ? "~" + std::to_string(cell->ColSpan) : "") +
                            (cell->RowSpan > 1 ? "^" + std::to_string(cell->RowSpan) : "") + ";";
            text += "]";
        }
        Grids.push_back(text);
        TRVRTFParagraphTableBuilder().BuildTable(Grid, ParaNo, Placer);
    }
};

const char* ReportHtml = R"(<html><head><meta charset="utf-8"><title>Отчёт</title></head><body>
<h1>Результаты тестирования</h1>
<p>Испытуемый: <b>Иванов Пётр Сергеевич</b>, 34 года, <i>«Ёлочка»</i></p>
<ol><li>Высокая мотивация достижения</li><li>Склонность к сотрудничеству</li><li>Умеренная потребность</li></ol>
<ul><li>Первый пункт</li><li>Второй пункт</li></ul>
<table border="1">
<tr><td>Шкала</td><td>Балл</td><td>Стен</td></tr>
<tr><td colspan="2">Итог</td><td>7</td></tr>
<tr><td>Оплата</td><td>12</td><td>5</td></tr>
</table>
<p>Заключение: профиль соответствует требованиям должности.</p>
</body></html>
)";

TEST(RVRTFLibreOfficeTest, ReadsWhatLibreOfficeWrites) {
    if (!HasProgram("soffice"))
        GTEST_SKIP()
            << "soffice is missing: apt-get install libreoffice-writer-nogui (or libreoffice-writer)";
    TTempFolder folder;
    std::ofstream(folder.Path() + "report.html") << ReportHtml;
    // A profile of its own in the build tree: making one takes most of the
    // time, and two programs must not share one at the same time.
    const char* binary = std::getenv("LUVORA_BINARY_DIR");
    std::string profile =
        binary ? std::string(binary) + "/soffice-profile-rtf-import" : folder.Path() + "profile";
    std::string command = "cd '" + folder.Path() + "' && timeout 300 soffice -env:UserInstallation=file://" +
                          profile + " --headless --infilter='HTML (StarWriter)' --convert-to rtf --outdir '" +
                          folder.Path() + "' report.html >convert.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileBytes(folder.Path() + "convert.log");
    std::string rtf = ReadFileBytes(folder.Path() + "report.rtf");
    ASSERT_FALSE(rtf.empty()) << ReadFileBytes(folder.Path() + "convert.log");

    TRVRTFReaderProperties options;
    SetRtfDocumentReadOptions(options);
    TGridRecorder grids;
    options.TableBuilder = &grids;
    TRVRTFReadResult read = ReadChecked(rtf, options);
    ASSERT_EQ(read.Code, rtf_ec_OK);
    std::string text = Summary(*read.Document);
    EXPECT_EQ(text,
              "Результаты тестирования|Испытуемый: +Иванов Пётр Сергеевич+, 34 года, +«Ёлочка»|"
              "[marker 0.0 1.]+Высокая мотивация достижения|[marker 0.0 2.]+Склонность к сотрудничеству|"
              "[marker 0.0 3.]+Умеренная потребность|[marker 1.0 ]+Первый пункт|[marker 1.0 ]+Второй пункт|"
              "Шкала+[tab]+Балл+[tab]+Стен|Итог+[tab]+7|Оплата+[tab]+12+[tab]+5|"
              "Заключение: профиль соответствует требованиям должности.");
    EXPECT_EQ(grids.Grids, std::vector<std::string>{"[Шкала;Балл;Стен;][Итог~2;7;][Оплата;12;5;]"});
    // The bold name is bold, the heading larger than the text.
    const TRVRTFDocument& d = *read.Document;
    EXPECT_TRUE(TextStyleOf(d, 2).Style & fsBold);
    EXPECT_GT(TextStyleOf(d, 0).Size, TextStyleOf(d, 1).Size);
    ASSERT_GE(d.Style->ListStyles().Count(), 2);
    EXPECT_EQ(d.Style->ListStyles()[1]->Levels()[0]->ListType, rvlstUnicodeBullet);
}

} // namespace
