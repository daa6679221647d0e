// The table's HTML writer.
#include "richtext/editor/tables/RVTableHtml.h"

namespace {

// A length: pixels as a number, per cent as "N%" (quoted on request).
AnsiString HtmlLength(int Value, bool Quoted) {
    if (Value == 0) return "";
    if (Value > 0) return IntToStr(Value);
    AnsiString s = IntToStr(-int64_t(Value)) + "%";
    return Quoted ? "\"" + s + "\"" : s;
}

const char* VAlignName(TRVCellVAlign Value) {
    static const char* const names[] = {"top", "middle", "bottom", ""};
    return names[Value];
}

void HiddenSides(AnsiString& Css, const TRVBooleanRect& Visible) {
    if (!Visible.Top) AppendWithSpace(Css, "border-top: none;");
    if (!Visible.Right) AppendWithSpace(Css, "border-right: none;");
    if (!Visible.Bottom) AppendWithSpace(Css, "border-bottom: none;");
    if (!Visible.Left) AppendWithSpace(Css, "border-left: none;");
}

AnsiString StyleAttribute(const AnsiString& Css) {
    return Css.empty() ? AnsiString() : " style=\"" + Css + "\"";
}

} // namespace

AnsiString TRVTableHtmlWriter::Attribute(const char* Name, const AnsiString& Value,
                                         const AnsiString& Default) const {
    if (Value.empty() || Value == Default) return "";
    return AnsiString(" ") + Name + "=" + HtmlQuoteAttribute(Value, Options);
}

AnsiString TRVTableHtmlWriter::CellBorderCss(const TRVTableItemInfo& T, const TRVTableCellData* Cell) const {
    if (!CssMode()) return "";
    TColor c = Cell && Cell->BorderColor != clNone ? Cell->BorderColor : T.CellBorderColor;
    TColor l = Cell && Cell->BorderLightColor != clNone ? Cell->BorderLightColor : T.CellBorderLightColor;
    AnsiString css;
    bool sameThin = T.BorderWidth == T.CellBorderWidth && T.BorderWidth <= 1;
    bool thinInThick = T.CellBorderWidth == 1 && T.BorderWidth > 1;
    if (!sameThin && !thinInThick)
        AppendWithSpace(css, "border-width : " + IntToStr(T.CellBorderWidth) + "px;");
    if (T.CellBorderWidth > 0) {
        auto four = [&](TColor A, TColor B) {
            return "border-color : " + ColorToHtml(A) + " " + ColorToHtml(B) + " " + ColorToHtml(B) + " " +
                   ColorToHtml(A) + "; border-style: solid;";
        };
        bool asTable = c == T.BorderColor && l == T.BorderLightColor &&
                       (T.BorderStyle == rvtbRaisedColor || T.BorderStyle == rvtbLoweredColor);
        switch (T.CellBorderStyle) {
        case rvtbRaised:
            AppendWithSpace(css, "border-style: outset;");
            break;
        case rvtbLowered:
            AppendWithSpace(css, "border-style: inset;");
            break;
        case rvtbColor:
            AppendWithSpace(css, "border-color: " + ColorToHtml(c) + "; border-style: solid;");
            break;
        case rvtbRaisedColor:
            AppendWithSpace(css, four(l, c));
            break;
        case rvtbLoweredColor:
            if (!asTable) AppendWithSpace(css, four(c, l));
            break;
        }
    }
    return css;
}

void TRVTableHtmlWriter::Write(TStream& Stream, const TRVTableItemInfo& T) const {
    bool css = CssMode();
    bool xhtml = Options & rvhsXHTML;
    int spacing = int(Round((T.CellVSpacing + T.CellHSpacing) / 2.0));
    AnsiString out = "<table";
    out += Attribute("width", HtmlLength(T.BestWidth, true));
    out += " border=" +
           HtmlIntAttribute(css && T.BorderWidth <= 0 && T.CellBorderWidth != 0 ? 1 : T.BorderWidth, Options);
    out += Attribute("cellpadding", IntToStr(T.CellVPadding));
    if (!UseCSS) {
        if (T.BorderStyle == rvtbColor) out += Attribute("bordercolor", ColorToHtml(T.BorderColor, true));
        if (T.BorderStyle == rvtbRaisedColor)
            out += Attribute("bordercolorlight", ColorToHtml(T.BorderLightColor, true)) +
                   Attribute("bordercolordark", ColorToHtml(T.BorderColor, true));
        if (T.BorderStyle == rvtbLoweredColor)
            out += Attribute("bordercolorlight", ColorToHtml(T.BorderColor, true)) +
                   Attribute("bordercolordark", ColorToHtml(T.BorderLightColor, true));
    }
    out += Attribute("cellspacing", IntToStr(spacing));
    if (!UseCSS) out += Attribute("bgcolor", ColorToHtml(T.Color, true));
    if (css) {
        AnsiString style;
        if (T.BorderWidth <= 0) {
            AppendWithSpace(style, "border-width: 0px;");
        } else {
            AnsiString dark = ColorToHtml(T.BorderColor), light = ColorToHtml(T.BorderLightColor);
            switch (T.BorderStyle) {
            case rvtbRaised:
                break;
            case rvtbLowered:
                AppendWithSpace(style, "border-style: inset;");
                break;
            case rvtbColor:
                if (UseCSS) AppendWithSpace(style, "border-color: " + dark + "; border-style: solid;");
                break;
            case rvtbRaisedColor:
                AppendWithSpace(style, "border-color: " + light + " " + dark + " " + dark + " " + light +
                                           "; border-style: solid;");
                break;
            case rvtbLoweredColor:
                AppendWithSpace(style, "border-color: " + dark + " " + light + " " + light + " " + dark +
                                           "; border-style: solid;");
                break;
            }
        }
        if (T.BackgroundStyle == rvbsStretched || T.BackgroundStyle == rvbsCentered)
            AppendWithSpace(style, "background-position: center center; background-repeat: no-repeat;");
        if (AnsiString color = ColorToHtml(T.Color); !color.empty())
            AppendWithSpace(style, "background-color: " + color + ";");
        if (spacing < 0) AppendWithSpace(style, "border-collapse: collapse;");
        if (T.BorderWidth > 0) HiddenSides(style, T.VisibleBorders);
        out += StyleAttribute(style);
    }
    WriteTextLine(Stream, out + ">");
    AnsiString defaultBorder = CellBorderCss(T, nullptr);
    for (int r = 0; r < T.RowCount(); ++r) {
        WriteTextLine(Stream, "<tr" + Attribute("valign", VAlignName(T.Rows[r]->VAlign)) + ">");
        for (int c = 0; c < T.ColCount(); ++c) {
            const TRVTableCellData* cell = T.GetCell(r, c);
            if (!cell) continue;
            out = "<td";
            out += Attribute("colspan", IntToStr(cell->ColSpan), "1");
            out += Attribute("rowspan", IntToStr(cell->RowSpan), "1");
            if (!(UseCSS && xhtml))
                out += Attribute("width", HtmlLength(cell->BestWidth, true)) +
                       Attribute("height", HtmlLength(cell->BestHeight, true));
            out += Attribute("valign", VAlignName(cell->VAlign));
            if (!UseCSS)
                out += Attribute("bgcolor", ColorToHtml(cell->Color, true), ColorToHtml(T.Color, true));
            if (css) {
                AnsiString style = cell->BorderColor == clNone && cell->BorderLightColor == clNone
                                       ? defaultBorder
                                       : CellBorderCss(T, cell);
                if (T.CellBorderWidth > 0) HiddenSides(style, cell->VisibleBorders);
                if (cell->Color != T.Color)
                    if (AnsiString color = ColorToHtml(cell->Color); !color.empty())
                        AppendWithSpace(style, "background-color: " + color + ";");
                if (UseCSS && xhtml) {
                    if (cell->BestWidth)
                        AppendWithSpace(style, "width: " + HtmlLength(cell->BestWidth, false) + ";");
                    if (cell->BestHeight)
                        AppendWithSpace(style, "height: " + HtmlLength(cell->BestHeight, false) + ";");
                }
                out += StyleAttribute(style);
            }
            WriteText(Stream, out + ">");
            if (cell->HasContent(true) && WriteDocument) {
                TRVHtmlSaveOptions options =
                    TRVHtmlSaveOptions((Options | rvhsBodyOnly) & ~(rvhsHeadOnly | rvhsEndOnly));
                WriteDocument(Stream, *cell->GetRVData(), T.GetEffectiveCellColor(*cell), options);
            } else {
                WriteTextLine(Stream, "<br" + HtmlTagCloser(Options) + ">");
            }
            WriteTextLine(Stream, "</td>");
        }
        WriteTextLine(Stream, "</tr>");
    }
    WriteTextLine(Stream, "</table>");
}
