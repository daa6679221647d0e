// The table's RTF writer: its colours, then row by row the row and cell
// definitions, nested tables in place, and the cells' documents.
#include "richtext/editor/tables/RVTable_p.h"
#include "richtext/engine/formats/rtf/RVRtfTables.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

void AddBorderColors(TRVColorList& Colors, TRVTableBorderStyle Style, TColor Color, TColor LightColor) {
    switch (Style) {
    case rvtbRaised:
    case rvtbLowered:
        Colors.AddUniqueColor(clBtnHighlight);
        Colors.AddUniqueColor(clBtnShadow);
        Colors.AddUniqueColor(clBtnFace);
        break;
    case rvtbColor:
        Colors.AddUniqueColor(Color);
        break;
    default:
        Colors.AddUniqueColor(Color);
        Colors.AddUniqueColor(LightColor);
        break;
    }
}

} // namespace

TColor TRVTableItemInfo::GetCellRTFColor(const TRVTableCellData& Cell) const {
    return Cell.Color != clNone ? Cell.Color : Color;
}

void TRVTableItemInfo::FillRTFTables(TRVRTFTables& Tables, TCustomRVData*) const {
    TRVColorList& colors = Tables.ColorList;
    colors.AddUniqueColor(Color);
    AddBorderColors(colors, BorderStyle, BorderColor, BorderLightColor);
    AddBorderColors(colors, CellBorderStyle, CellBorderColor, CellBorderLightColor);
    if (VRuleWidth > 0) colors.AddUniqueColor(VRuleColor);
    if (HRuleWidth > 0) colors.AddUniqueColor(HRuleColor);
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (TRVTableCellData* cell = GetCell(r, c)) {
                colors.AddUniqueColor(cell->Color);
                colors.AddUniqueColor(cell->BorderColor);
                colors.AddUniqueColor(cell->BorderLightColor);
                cell->GetRVData()->FillRtfTables(Tables, false);
            }
}

void TRVTableItemInfo::WriteRTFBorder(TStream& Stream, TRVTableBorderStyle Style, int Width, TColor Color,
                                      TColor LightColor, const TRVBooleanRect* Visible, const char* Prefix,
                                      const TRVRTFTables& Tables) const {
    if (Width <= 0) return;
    AnsiString width = IntToStr(Tables.Twips(Width));
    auto side = [&](TColor K) {
        switch (Style) {
        case rvtbRaised:
            return "\\brdroutset\\brdrw" + width;
        case rvtbLowered:
            return "\\brdrinset\\brdrw" + width;
        default:
            return "\\brdrs\\brdrw" + width + "\\brdrcf" + IntToStr(Tables.ColorIndex(K));
        }
    };
    TColor topLeft = Color, bottomRight = Color;
    if (Style == rvtbRaisedColor) topLeft = LightColor;
    if (Style == rvtbLoweredColor) bottomRight = LightColor;
    AnsiString prefix = Prefix, out;
    if (!Visible || Visible->Left) out += "\\" + prefix + "brdrl" + side(topLeft);
    if (!Visible || Visible->Top) out += "\\" + prefix + "brdrt" + side(topLeft);
    if (!Visible || Visible->Right) out += "\\" + prefix + "brdrr" + side(bottomRight);
    if (!Visible || Visible->Bottom) out += "\\" + prefix + "brdrb" + side(bottomRight);
    WriteText(Stream, out);
}

void TRVTableItemInfo::SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData* RVData, int,
                               const AnsiString&, int Level, TRVRTFTables& Tables) {
    if (Rows.IsEmpty()) return;
    if (FormatInfo.TotalWidth == 0) {
        auto* host = dynamic_cast<TCustomRVFormattedData*>(RVData);
        if (TCanvas* canvas = host ? host->GetCanvas() : nullptr) BuildLayout(600, FormatInfo, true, *canvas);
    }
    const double f = Tables.TwipsPerPixel;
    auto T = [&](double X) { return IntToStr(int(Round(X * f))); };
    auto H = [&](double X) { return IntToStr(int(Round(X * f / 2))); };
    int n = ColCount(), m = RowCount();
    // Column boundaries of the screen layout; evenly over 600 pixels when
    // the table could not be laid out (no canvas to measure on).
    auto boundary = [&](int Col) -> AnsiString {
        const auto& left = FormatInfo.ColLeftList;
        const auto& width = FormatInfo.ColWidthList;
        double right = std::size_t(Col) < left.size() && std::size_t(Col) < width.size()
                           ? double(left[std::size_t(Col)]) + width[std::size_t(Col)]
                           : 600.0 * (Col + 1) / n;
        return IntToStr(int(Round(right * f + CellHSpacing * f / 2)));
    };
    AnsiString nest = Level > 0 ? "nest" : "";
    AnsiString itap = IntToStr(Level + 1);
    AnsiString align;
    if (TRVStyle* style = RVData ? RVData->GetRVStyle() : nullptr) {
        TRVAlignment a = style->ParaStyles().GetItem(ParaNo)->Alignment;
        if (a == rvaRight) align = "\\trqr";
        if (a == rvaCenter) align = "\\trqc";
    }
    for (int r = 0; r < m; ++r) {
        AnsiString out = Level > 0 ? "{\\*\\nesttableprops" : "{";
        out += "\\trowd" + align + "\\trgaph" + H((CellHPadding + CellBorderWidth) * 2 + CellHSpacing) +
               "\\trleft0\\itap" + itap;
        if (r < HeadingRowCount) out += "\\trhdr";
        int rowHeight = 0;
        for (int c = 0; c < n; ++c)
            if (TRVTableCellData* cell = GetCell(r, c); cell && cell->RowSpan == 1)
                rowHeight = std::max(rowHeight, cell->BestHeight);
        if (rowHeight > 0) out += "\\trrh" + T(rowHeight);
        out += "\\trpaddl" + T(CellHPadding) + "\\trpaddt" + T(CellVPadding) + "\\trpaddr" + T(CellHPadding) +
               "\\trpaddb" + T(CellVPadding) + "\\trpaddfl3\\trpaddft3\\trpaddfr3\\trpaddfb3";
        out += "\\trspdl" + H(CellHSpacing) + "\\trspdr" + H(CellHSpacing) + "\\trspdfl3\\trspdfr3";
        out += "\\trspdt" + H(r == 0 ? BorderVSpacing : CellVSpacing) + "\\trspdft3";
        out += "\\trspdb" + H(r == m - 1 ? BorderVSpacing : CellVSpacing) + "\\trspdfb3";
        if (BestWidth > 0)
            out += "\\trwWidth" + T(BestWidth + 2 * BorderWidth) + "\\trftsWidth3";
        else if (BestWidth < 0)
            out += "\\trwWidth" + IntToStr(-50 * int64_t(BestWidth)) + "\\trftsWidth2";
        else
            out += AnsiString("\\trftsWidth1") + ((Options & rvtoRTFAllowAutofit) ? "\\trautofit1" : "");
        if (!(PrintOptions & rvtoRowsSplit)) out += "\\trkeep\\trkeepfollow";
        if (r == m - 1 && Level == 0) out += "\\lastrow";
        out += "\\zorozudotbw" + IntToStr(BestWidth);
        WriteText(Stream, out);
        WriteRTFBorder(Stream, BorderStyle, BorderWidth, BorderColor, BorderLightColor, &VisibleBorders, "tr",
                       Tables);
        AnsiString extra;
        if (RVData) RVData->DoSaveRTFExtra(rv_rtfs_RowProps, this, r, -1, false, extra);
        WriteText(Stream, extra);
        for (int c = 0; c < n; ++c) {
            int mr, mc;
            TRVTableCellData* main = Rows.GetMainCell(r, c, mr, mc);
            if (c > mc) continue;
            out.clear();
            bool own = mr == r;
            if (own && main->RowSpan > 1) out += "\\clvmgf";
            if (!own) out += "\\clvmrg";
            if (own) {
                if (main->BestWidth > 0)
                    out += (Options & rvtoRTFSaveCellPixelBestWidth)
                               ? "\\clwWidth" + T(main->BestWidth) + "\\clftsWidth3"
                               : AnsiString("\\clwWidth0");
                else if (main->BestWidth < 0)
                    out += "\\clwWidth" + IntToStr(-50 * int64_t(main->BestWidth)) + "\\clftsWidth2";
                else
                    out += "\\clftsWidth1";
                out += "\\zorozudocbw" + IntToStr(main->BestWidth) + "\\zorozudocbh" +
                       IntToStr(main->BestHeight);
            }
            WriteText(Stream, out);
            WriteRTFBorder(Stream, CellBorderStyle, CellBorderWidth,
                           main->BorderColor != clNone ? main->BorderColor : CellBorderColor,
                           main->BorderLightColor != clNone ? main->BorderLightColor : CellBorderLightColor,
                           &main->VisibleBorders, "cl", Tables);
            out.clear();
            if (TColor shade = GetCellRTFColor(*main); shade != clNone)
                out += "\\clcbpat" + IntToStr(Tables.ColorIndex(shade));
            TRVCellVAlign valign = main->GetRealVAlign();
            if (valign == rvcMiddle) out += "\\clvertalc";
            if (valign == rvcBottom) out += "\\clvertalb";
            extra.clear();
            if (RVData) RVData->DoSaveRTFExtra(rv_rtfs_CellProps, this, r, c, false, extra);
            out += extra + "\\cellx" + boundary(mc + main->ColSpan - 1);
            WriteText(Stream, out);
        }
        WriteText(Stream, "\\pard\\intbl\\itap" + itap + "{");
        for (int c = 0; c < n; ++c) {
            int mr, mc;
            TRVTableCellData* main = Rows.GetMainCell(r, c, mr, mc);
            if (c > mc) continue;
            WriteText(Stream, "{");
            if (mr == r) main->GetRVData()->SaveRtf(Stream, Path, false, Level + 1, clNone, &Tables, false);
            WriteText(Stream, "\\" + nest + "cell}");
        }
        WriteText(Stream, "}\\pard\\intbl\\itap" + itap + "\\" + nest + "row}");
    }
    Tables.ParagraphClosed = true;
}
