// The CSS of text and paragraph styles and of a whole style sheet, the RTF
// character control words of a text style, and the HTML font tags of text
// styles and list markers.
#include "richtext/engine/style/RVStyle.h"

namespace {

const char* DirectionText(TRVBiDiMode Mode) {
    switch (Mode) {
    case rvbdLeftToRight:
        return "ltr";
    case rvbdRightToLeft:
        return "rtl";
    default:
        return "inherit";
    }
}

const char* const kSymbolFallback = "'Arial Unicode MS', 'Lucida Sans Unicode', 'Arial'";

int CssFontSize(const TCustomRVFontInfo& S) {
    return S.SubSuperScriptType == rvsssNormal ? S.Size : TwoThirds(S.Size);
}

AnsiString FontFamily(const TCustomRVFontInfo& S, bool UTF8) {
    if (SameText(S.FontName, "Symbol")) return kSymbolFallback;
    return "'" + (UTF8 ? AnsiString(AnsiToUtf8(0, S.FontName)) : S.FontName) + "'";
}

AnsiString VerticalAlign(const TCustomRVFontInfo& S) {
    if (S.SubSuperScriptType == rvsssSubscript) return "sub";
    if (S.SubSuperScriptType == rvsssSuperScript) return "super";
    if (S.VShift > 0) return "super";
    if (S.VShift < 0) return "sub";
    return AnsiString();
}

// The text-decoration value; Underlined says whether the underline counts
// (the font's, or also the hover effect's).
AnsiString Decoration(const TCustomRVFontInfo& S, bool Underlined) {
    AnsiString words;
    if (Underlined && S.UnderlineType == rvutNormal && S.UnderlineColor == clNone &&
        S.HoverUnderlineColor == clNone)
        AppendWithSpace(words, "underline");
    if (S.Style & fsStrikeOut) AppendWithSpace(words, "line-through");
    if (S.StyleEx & rvfsOverline) AppendWithSpace(words, "overline");
    return words.empty() ? AnsiString("none") : words;
}

AnsiString UnderlineBorder(const TCustomRVFontInfo& S) {
    int w = LineThicknessForHeight(S.Size);
    switch (S.UnderlineType) {
    case rvutNormal:
        return Format("solid %dpx", {w});
    case rvutThick:
        return Format("solid %dpx", {2 * w});
    case rvutDouble:
        return "double";
    case rvutDotted:
        return Format("dotted %dpx", {w});
    case rvutThickDotted:
        return Format("dotted %dpx", {2 * w});
    case rvutDashed:
    case rvutLongDashed:
    case rvutDashDotted:
    case rvutDashDotDotted:
        return Format("dashed %dpx", {w});
    default:
        return Format("dashed %dpx", {2 * w});
    }
}

// The special underline value, or empty when the plain one serves.
AnsiString SpecialUnderline(const TCustomRVFontInfo& S, bool Underlined, TColor Color) {
    if (!Underlined ||
        (S.UnderlineType == rvutNormal && S.UnderlineColor == clNone && S.HoverUnderlineColor == clNone))
        return AnsiString();
    AnsiString value = "border-bottom: " + UnderlineBorder(S);
    if (Color != clNone) value += " " + ColorToHtml(Color);
    return value;
}

const char* AlignmentText(TRVAlignment A) {
    switch (A) {
    case rvaRight:
        return "right";
    case rvaCenter:
        return "center";
    case rvaJustify:
        return "justify";
    default:
        return "left";
    }
}

int CssBorderWidth(const TRVBorder& B) {
    switch (B.Style) {
    case rvbSingle:
        return B.Width;
    case rvbDouble:
        return B.Width + B.InternalWidth;
    case rvbTriple:
        return B.Width + 2 * B.InternalWidth;
    case rvbThickInside:
    case rvbThickOutside:
        return 3 * B.Width / 2 + B.InternalWidth;
    default:
        return 0;
    }
}

// The spacing rectangle of a paragraph style: its border offsets when the
// border shows, else zeros; raised to the background's offsets when it has
// a background.
TRect SpacingRect(const TCustomRVParaInfo& P, bool WithBackground) {
    TRect r;
    if (P.Border().IsVisible()) r = P.Border().BorderOffsets().AsRect();
    if (WithBackground && P.Background().Color != clNone) P.Background().BorderOffsets().RaiseRect(r);
    return r;
}

} // namespace

// ---------------------------------------------------------------- text style CSS

void TCustomRVFontInfo::WriteCss(TStream& Stream, const TCustomRVFontInfo* P, bool UTF8,
                                 bool Multiline) const {
    auto decl = [&](const AnsiString& S) { WriteTextOptLine(Stream, S, Multiline); };
    if (!P || CssFontSize(*P) != CssFontSize(*this)) decl(Format(" font-size: %dpt;", {CssFontSize(*this)}));
    if (P ? P->BiDiMode != BiDiMode : BiDiMode != rvbdUnspecified)
        decl(Format(" direction: %s;", {DirectionText(BiDiMode)}));
    if (!P || !SameText(P->FontName, FontName)) decl(" font-family: " + FontFamily(*this, UTF8) + ";");
    if (!P || (P->Style & fsItalic) != (Style & fsItalic))
        decl(Format(" font-style: %s;", {(Style & fsItalic) ? "italic" : "normal"}));
    if (!P || (P->Style & fsBold) != (Style & fsBold))
        decl(Format(" font-weight: %s;", {(Style & fsBold) ? "bold" : "normal"}));
    if (!P || P->Color != Color) decl(" color: " + ColorToHtml(Color) + ";");
    if (P ? P->CharSpacing != CharSpacing : CharSpacing != 0)
        decl(Format(" letter-spacing: %dpx;", {CharSpacing}));
    bool caps = StyleEx & rvfsAllCaps, parentCaps = P && (P->StyleEx & rvfsAllCaps);
    if (caps && !parentCaps)
        decl(" text-transform: uppercase;");
    else if (!caps && parentCaps)
        decl(" text-transform: none;");
    if (P ? P->BackColor != BackColor : (BackColor != clNone || !Multiline))
        decl(" background-color: " + ColorToHtmlOrTransparent(BackColor) + ";");
    AnsiString valign = VerticalAlign(*this);
    if (P ? VerticalAlign(*P) != valign : !valign.empty()) decl(" vertical-align: " + valign + ";");
    AnsiString decoration = Decoration(*this, Style & fsUnderline);
    if (!P || Decoration(*P, P->Style & fsUnderline) != decoration || (Jump && decoration == "none"))
        decl(" text-decoration: " + decoration + ";");
    AnsiString underline = SpecialUnderline(*this, Style & fsUnderline, UnderlineColor);
    if (!underline.empty() &&
        (!P || SpecialUnderline(*P, P->Style & fsUnderline, P->UnderlineColor) != underline))
        decl(" " + underline + ";");
}

// ---------------------------------------------------------------- paragraph style CSS

void TCustomRVParaInfo::WriteCss(TStream& Stream, const TCustomRVParaInfo* P, bool SkipLeftIndents,
                                 bool OmitLeftAlignment, bool Multiline) const {
    auto decl = [&](const AnsiString& S) { WriteTextOptLine(Stream, S, Multiline); };
    if (P ? P->Alignment != Alignment : !(OmitLeftAlignment && Alignment == rvaLeft))
        decl(AnsiString(" text-align: ") + AlignmentText(Alignment) + ";");
    if (P ? P->BiDiMode != BiDiMode : BiDiMode != rvbdUnspecified)
        decl(Format(" direction: %s;", {DirectionText(BiDiMode)}));
    if (!SkipLeftIndents && (!P || P->FirstIndent != FirstIndent))
        decl(Format(" text-indent: %dpx;", {FirstIndent}));
    if (LineSpacingType == rvlsPercent && LineSpacing != 100 &&
        (!P || (P->LineSpacingType == rvlsPercent && P->LineSpacing != LineSpacing))) {
        int hundredths = LineSpacing % 100;
        decl(" line-height: " + IntToStr(LineSpacing / 100) + (hundredths < 10 ? ".0" : ".") +
             IntToStr(hundredths) + ";");
    } else if (P && P->LineSpacingType == rvlsPercent && P->LineSpacing != 100 &&
               LineSpacingType == rvlsSpaceBetween) {
        decl(" line-height: normal;");
    }
    struct TOptionCss {
        TRVParaOption Option;
        const char* On;
        const char* Off;
    } options[] = {{rvpaoNoWrap, " white-space: nowrap;", " white-space: normal;"},
                   {rvpaoKeepLinesTogether, " page-break-inside: avoid;", " page-break-inside: auto;"},
                   {rvpaoKeepWithNext, " page-break-after: avoid;", " page-break-after: auto;"}};
    for (const TOptionCss& o : options) {
        if (Options & o.Option)
            decl(o.On);
        else if (P && (P->Options & o.Option))
            decl(o.Off);
    }
    const TRVBorder& border = Border();
    if (border.IsVisible()) {
        decl(" border-color: " + ColorToHtml(border.Color) + ";");
        decl(AnsiString(" border-style: ") + (border.Style == rvbSingle ? "solid" : "double") + ";");
        decl(Format(" border-width: %dpx;", {CssBorderWidth(border)}));
        const TRVBooleanRect& vis = border.VisibleBorders();
        if (!vis.Top) decl(" border-top: none;");
        if (!vis.Right) decl(" border-right: none;");
        if (!vis.Bottom) decl(" border-bottom: none;");
        if (!vis.Left) decl(" border-left: none;");
    } else if (P && P->Border().IsVisible()) {
        decl(" border: none;");
    }
    if (P ? P->Background().Color != Background().Color : Background().Color != clNone)
        decl(" background: " + ColorToHtmlOrTransparent(Background().Color) + ";");
    TRect r = SpacingRect(*this, true);
    TRect pr = P ? SpacingRect(*P, false) : TRect();
    if (!P || pr != r) decl(Format(" padding: %dpx %dpx %dpx %dpx;", {r.Top, r.Right, r.Bottom, r.Left}));
    int m[4] = {SpaceBefore - r.Top, RightIndent - r.Right, SpaceAfter - r.Bottom, LeftIndent - r.Left};
    bool differs = !P;
    if (P) {
        int pm[4] = {P->SpaceBefore - pr.Top, P->RightIndent - pr.Right, P->SpaceAfter - pr.Bottom,
                     P->LeftIndent - pr.Left};
        differs = !std::equal(m, m + 4, pm);
    }
    if (differs) {
        if (SkipLeftIndents) {
            decl(Format(" margin-top: %dpx;", {m[0]}));
            decl(Format(" margin-right: %dpx;", {m[1]}));
            decl(Format(" margin-bottom: %dpx;", {m[2]}));
        } else {
            decl(Format(" margin: %dpx %dpx %dpx %dpx;", {m[0], m[1], m[2], m[3]}));
        }
    }
}

// ---------------------------------------------------------------- style sheet CSS

void TRVStyle::WriteStyleSheetCss(TStream& Stream, TRVStyleSheetCssOptions Options) {
    bool utf8 = Options & rvscoUTF8, elements = !(Options & rvscoNoElementSelectors);
    auto comment = [&](const TCustomRVInfo& Info) -> AnsiString {
        if (!Info.Standard) return AnsiString();
        AnsiString name = utf8 ? AnsiString(AnsiToUtf8(DefCodePage, Info.StyleName)) : Info.StyleName;
        return " /* " + name + " */";
    };
    TFontInfos& texts = *FTextStyles;
    WriteTextLine(Stream, "/* ========== Text Styles ========== */");
    WriteTextLine(Stream, "hr { color: " + ColorToHtml(texts.GetItem(0)->Color) + "}");
    bool style0IsBody = texts.Count() > 0 && !texts.GetItem(0)->Jump && texts.GetItem(0)->BackColor == clNone;
    for (int i = (Options & rvscoSkipTextStyle0) ? 1 : 0; i < texts.Count(); ++i) {
        TFontInfo& s = *texts.GetItem(i);
        AnsiString c = comment(s);
        if (i == 0 && !s.Jump && s.BackColor == clNone && elements)
            WriteTextLine(Stream, "body, table" + c);
        else if (s.Jump)
            WriteTextLine(Stream, Format("a.rvts%d, span.rvts%d", {i, i}) + c);
        else
            WriteTextLine(Stream, Format("span.rvts%d", {i}) + c);
        const TFontInfo* parent = nullptr;
        if ((Options & rvscoBaseDifferences) && s.BaseStyleNo >= 0 && s.BaseStyleNo < texts.Count())
            parent = texts.GetItem(s.BaseStyleNo);
        else if (i > 0 && style0IsBody && elements)
            parent = texts.GetItem(0);
        WriteTextLine(Stream, "{");
        s.WriteCss(Stream, parent, utf8, true);
        WriteTextLine(Stream, "}");
        TColor hover = GetHoverColorByColor(s.HoverColor);
        if (s.Jump && (hover != clNone || s.HoverBackColor != clNone || s.HoverEffects != 0)) {
            bool parentLink = parent && parent->Jump;
            AnsiString line = Format("a.rvts%d:hover {", {i});
            if ((!parentLink && hover != clNone) ||
                (parentLink && GetHoverColorByColor(parent->HoverColor) != hover))
                line += " color: " + ColorToHtml(hover) + ";";
            if ((!parentLink && s.HoverBackColor != clNone) ||
                (parentLink && parent->HoverBackColor != s.HoverBackColor))
                line += " background-color: " + ColorToHtmlOrTransparent(s.HoverBackColor) + ";";
            bool hoverUnderline = s.HoverEffects & rvheUnderline;
            bool underlined = (s.Style & fsUnderline) || hoverUnderline;
            AnsiString decoration = Decoration(s, underlined);
            if (!decoration.empty() &&
                ((!parentLink && hoverUnderline) ||
                 (parentLink && hoverUnderline != bool(parent->HoverEffects & rvheUnderline))))
                line += " text-decoration: " + decoration + ";";
            TColor underlineColor =
                s.HoverUnderlineColor != clNone ? s.HoverUnderlineColor : s.UnderlineColor;
            AnsiString special = SpecialUnderline(s, underlined, underlineColor);
            if (underlined && s.HoverUnderlineColor != clNone && !special.empty())
                line += " " + special + ";";
            WriteTextLine(Stream, line + " }");
        }
    }
    WriteTextLine(Stream, "/* ========== Para Styles ========== */");
    TParaInfos& paras = *FParaStyles;
    for (int i = 0; i < paras.Count(); ++i) {
        TParaInfo& p = *paras.GetItem(i);
        AnsiString c = comment(p);
        WriteTextLine(Stream, (i == 0 && elements ? AnsiString("p,ul,ol") : Format(".rvps%d", {i})) + c);
        const TParaInfo* parent = nullptr;
        if ((Options & rvscoBaseDifferences) && p.BaseStyleNo >= 0 && p.BaseStyleNo < paras.Count())
            parent = paras.GetItem(p.BaseStyleNo);
        else if (i > 0 && elements)
            parent = paras.GetItem(0);
        WriteTextLine(Stream, "{");
        p.WriteCss(Stream, parent, false, Options & rvscoOmitLeftAlignment, true);
        WriteTextLine(Stream, "}");
    }
}

// ---------------------------------------------------------------- RTF

void TCustomRVFontInfo::WriteRtf(TStream& Stream, int StyleNo, const TRVColorList& ColorTable,
                                 const TRVIntegerList& FontMap, double TwipsPerPixel,
                                 int DefaultLanguage) const {
    static const char* const underlines[] = {"ul",        "ulth",     "uldb",      "uld",       "ulthd",
                                             "uldash",    "ulthdash", "ulldash",   "ulthldash", "uldashd",
                                             "ulthdashd", "uldashdd", "ulthdashdd"};
    AnsiString rtf = "\\f" + IntToStr(FontMap.GetItem(StyleNo));
    if (Style & fsBold) rtf += "\\b";
    if (Style & fsItalic) rtf += "\\i";
    // A colour missing from the table writes no control word rather than a
    // bad index.
    auto colorWord = [&](const char* Word, TColor C) {
        int index = ColorTable.IndexOf(int32_t(C));
        if (index >= 0) rtf += Word + IntToStr(index);
    };
    if (Style & fsUnderline) {
        rtf += AnsiString("\\") + underlines[UnderlineType];
        if (UnderlineColor != clNone) colorWord("\\ulc", UnderlineColor);
    }
    if (Style & fsStrikeOut) rtf += "\\strike";
    if (SubSuperScriptType == rvsssSubscript)
        rtf += "\\sub";
    else if (SubSuperScriptType == rvsssSuperScript)
        rtf += "\\super";
    int shift = int(Round(double(VShift) * Size / 50.0));
    if (VShift > 0)
        rtf += "\\up" + IntToStr(shift);
    else if (VShift < 0)
        rtf += "\\dn" + IntToStr(-shift);
    if (CharScale != 100) rtf += "\\charscalex" + IntToStr(CharScale);
    if (CharSpacing != 0) rtf += "\\expndtw" + IntToStr(Round(CharSpacing * TwipsPerPixel));
    if (StyleEx & rvfsAllCaps) rtf += "\\caps";
    if (BiDiMode == rvbdLeftToRight)
        rtf += "\\ltrch";
    else if (BiDiMode == rvbdRightToLeft)
        rtf += "\\rtlch";
    // Every run names its language: readers tag text by the run's, not the
    // document's default (spelling, hyphenation).
    int language = Charset == 1 ? DefaultLanguage : CharsetToLanguage(Charset);
    if (language != 0) rtf += "\\lang" + IntToStr(language);
    rtf += "\\fs" + IntToStr(2 * Size);
    if (BackColor != clNone) colorWord("\\chcbpat", BackColor);
    if (Color != clWindowText) colorWord("\\cf", Color);
    WriteText(Stream, rtf);
}

// ---------------------------------------------------------------- HTML font tags

namespace {

struct TFontFacts {
    int Size;
    TColor Color;
    AnsiString Name;
    TFontStyles Style;
};

const std::pair<TFontStyle, const char*> kStyleTags[] = {
    {fsBold, "b"}, {fsItalic, "i"}, {fsUnderline, "u"}, {fsStrikeOut, "s"}};

AnsiString OpenTags(const TFontFacts& T, const TFontFacts& B, bool Relative, bool RelativeStyles,
                    bool CompareName, TRVHtmlSaveOptions Options) {
    AnsiString attributes;
    if (!Relative || T.Size != B.Size)
        attributes += " size=" + HtmlIntAttribute(HtmlFontSize(T.Size), Options);
    if (!Relative || T.Color != B.Color) attributes += " color=" + ColorToHtml(T.Color, true);
    if (CompareName && (!Relative || !SameText(T.Name, B.Name))) attributes += " face=\"" + T.Name + "\"";
    AnsiString out = attributes.empty() ? AnsiString() : "<font" + attributes + ">";
    if (RelativeStyles) {
        for (int i = 3; i >= 0; --i)
            if ((B.Style & kStyleTags[i].first) && !(T.Style & kStyleTags[i].first))
                out += AnsiString("</") + kStyleTags[i].second + ">";
        for (auto [style, tag] : kStyleTags)
            if ((T.Style & style) && !(B.Style & style)) out += AnsiString("<") + tag + ">";
    } else {
        for (auto [style, tag] : kStyleTags)
            if (T.Style & style) out += AnsiString("<") + tag + ">";
    }
    return out;
}

AnsiString CloseTags(const TFontFacts& T, const TFontFacts& B, bool Relative, bool RelativeStyles,
                     bool CompareName) {
    AnsiString out;
    if (RelativeStyles) {
        for (int i = 3; i >= 0; --i)
            if ((T.Style & kStyleTags[i].first) && !(B.Style & kStyleTags[i].first))
                out += AnsiString("</") + kStyleTags[i].second + ">";
        for (auto [style, tag] : kStyleTags)
            if ((B.Style & style) && !(T.Style & style)) out += AnsiString("<") + tag + ">";
    } else {
        for (int i = 3; i >= 0; --i)
            if (T.Style & kStyleTags[i].first) out += AnsiString("</") + kStyleTags[i].second + ">";
    }
    bool sameFont = T.Size == B.Size && T.Color == B.Color && (!CompareName || SameText(T.Name, B.Name));
    if (!(Relative && sameFont)) out += "</font>";
    return out;
}

TFontFacts Facts(const TCustomRVFontInfo& S) {
    return {S.Size, S.Color, S.FontName, S.Style};
}

TFontFacts Facts(const TFont& F) {
    return {F.Size(), F.Color(), F.Name(), F.Style()};
}

const char* VerticalTag(const TCustomRVFontInfo& S) {
    if (S.SubSuperScriptType == rvsssSubscript) return "sub";
    if (S.SubSuperScriptType == rvsssSuperScript) return "sup";
    if (S.VShift < 0) return "sub";
    if (S.VShift > 0) return "sup";
    return nullptr;
}

} // namespace

AnsiString HtmlFontOpenTags(const TCustomRVFontInfo& TextStyle, const TCustomRVFontInfo& BaseStyle,
                            bool Relative, TRVHtmlSaveOptions Options) {
    AnsiString out = OpenTags(Facts(TextStyle), Facts(BaseStyle), Relative, Relative, true, Options);
    if (const char* tag = VerticalTag(TextStyle)) out += AnsiString("<") + tag + ">";
    return out;
}

AnsiString HtmlFontCloseTags(const TCustomRVFontInfo& TextStyle, const TCustomRVFontInfo& BaseStyle,
                             bool Relative) {
    AnsiString out;
    if (const char* tag = VerticalTag(TextStyle)) out += AnsiString("</") + tag + ">";
    return out + CloseTags(Facts(TextStyle), Facts(BaseStyle), Relative, Relative, true);
}

AnsiString MarkerFontOpenTags(const TFont& Font, const TCustomRVFontInfo& BaseStyle, bool CompareName,
                              TRVHtmlSaveOptions Options) {
    return OpenTags(Facts(Font), Facts(BaseStyle), true, true, CompareName, Options);
}

AnsiString MarkerFontCloseTags(const TFont& Font, const TCustomRVFontInfo& BaseStyle, bool CompareName) {
    return CloseTags(Facts(Font), Facts(BaseStyle), true, true, CompareName);
}
