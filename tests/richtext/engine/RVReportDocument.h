// A document shaped like a results report: headings, paragraphs with bold
// runs, a bullet list in the fonts the HTML importer uses, a rule, and a
// 630 x 504 24-bit chart bitmap. The RTF tests and the benchmarks save it.
#pragma once

#include "RVTestData.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVPictures.h"

// Text styles: 0 body, 1 bold body, 2 heading. Paragraph styles: 0 body,
// 1 centred heading. List style 0: a Symbol bullet.
inline std::unique_ptr<TRVStyle> MakeReportStyle() {
    auto style = std::make_unique<TRVStyle>(nullptr);
    style->TextStyles().Clear();
    for (int i = 0; i < 3; ++i) {
        TFontInfo& text = *style->TextStyles().Add();
        text.FontName = "Times New Roman";
        text.Size = i == 2 ? 16 : 12;
        text.Style = i == 0 ? TFontStyles(0) : TFontStyles(fsBold);
    }
    style->ParaStyles().Clear();
    style->ParaStyles().Add()->SpaceAfter = 6;
    TParaInfo& heading = *style->ParaStyles().Add();
    heading.Alignment = rvaCenter;
    heading.SpaceAfter = 12;
    TRVListLevel& bullet = *style->ListStyles().Add()->Levels().Add();
    bullet.ListType = rvlstBullet;
    bullet.FormatString = "\xB7";
    bullet.MarkerIndent = 0;
    bullet.LeftIndent = 24;
    bullet.FirstIndent = 0;
    bullet.Font().SetName("Symbol");
    bullet.Font().Charset = 2;
    bullet.Font().SetSize(12);
    return style;
}

// Bars over a light grid, as the results chart looks.
inline std::unique_ptr<TRVBitmapImage> MakeReportChart() {
    auto chart = std::make_unique<TRVBitmapImage>(630, 504);
    const TColor bars[] = {RGB(70, 110, 190), RGB(200, 80, 60), RGB(90, 170, 90), RGB(230, 180, 50)};
    for (int y = 0; y < 504; ++y) {
        uint8_t* row = chart->ScanLine(y);
        for (int x = 0; x < 630; ++x) {
            TColor c = (x % 63 == 0 || y % 42 == 0) ? RGB(220, 220, 220) : clWhite;
            int bar = (x - 40) / 70;
            if (x >= 40 && bar < 8 && (x - 40) % 70 < 50 && y > 480 - 50 * (bar % 4 + 2)) c = bars[bar % 4];
            row[3 * x] = uint8_t(GetBValue(c));
            row[3 * x + 1] = uint8_t(GetGValue(c));
            row[3 * x + 2] = uint8_t(GetRValue(c));
        }
    }
    return chart;
}

// The report itself, in Data (whose style sheet is MakeReportStyle's).
inline void BuildReport(TCustomRVData& Data) {
    Data.AddTextItem("Результаты тестирования"_cp, 2, 1);
    Data.AddTextItem("Испытуемый: "_cp, 1, 0);
    Data.AddTextItem("Иванов Пётр Сергеевич, 34 года"_cp, 0, -1);
    Data.AddTextItem("Дата тестирования: "_cp, 1, 0);
    Data.AddTextItem("12.03.2024"_cp, 0, -1);
    Data.AddTextItem("Профиль шкал"_cp, 2, 1);
    auto chart = std::make_unique<TRVGraphicItemInfo>(&Data, MakeReportChart(), vaBaseline);
    chart->ParaNo = 1;
    Data.AddItem("", std::move(chart));
    Data.AddTextItem("Выводы"_cp, 2, 1);
    const char* findings[] = {"Высокая мотивация достижения и ответственность.",
                              "Склонность к сотрудничеству в группе.",
                              "Умеренная потребность во внешнем контроле."};
    for (const char* finding : findings) {
        Data.ApplyListMarker(-1, 0, 0, 1, false, 0);
        Data.AddTextItem(Utf8ToAnsi(finding), 0, -1);
    }
    Data.AddBreak();
    Data.AddTextItem("Заключение: "_cp, 1, 0);
    Data.AddTextItem("профиль соответствует требованиям должности."_cp, 0, -1);
}
