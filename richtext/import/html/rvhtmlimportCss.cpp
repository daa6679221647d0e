// The CSS reader of the HTML importer: the rules that the family's own
// HTML writer puts into "style" elements ("body", "span.rvts" classes,
// "p,ul,ol" and ".rvps" classes) become text and paragraph styles, the
// class tables of this import and the page's settings.
#include <array>

#include "richtext/import/html/rvhtmlimport_p.h"

namespace {

// The number before Unit in Value, or the whole value; Default when it is
// not a number.
int CssNumber(const AnsiString& Value, const char* Unit, int Default) {
    std::size_t at = Value.find(Unit);
    return HtmlNumber(Trim(Value.substr(0, at)), Default);
}

void ApplyFontStyles(TFontInfo& Style, const AnsiString& Rule) {
    AnsiString italic = CssValue(Rule, "font-style");
    if (italic == "italic") Style.Style |= fsItalic;
    if (italic == "normal") Style.Style &= ~fsItalic;
    AnsiString weight = CssValue(Rule, "font-weight");
    if (weight == "bold") Style.Style |= fsBold;
    if (weight == "normal") Style.Style &= ~fsBold;
    AnsiString decoration = CssValue(Rule, "text-decoration");
    if (decoration.find("underline") != AnsiString::npos) Style.Style |= fsUnderline;
    if (decoration.find("line-through") != AnsiString::npos) Style.Style |= fsStrikeOut;
    if (decoration.find("overline") != AnsiString::npos) Style.StyleEx |= rvfsOverline;
    if (CssValue(Rule, "text-transform") == "uppercase") Style.StyleEx |= rvfsAllCaps;
}

// Top, right, bottom, left: a missing number repeats the one before.
std::array<int, 4> CssMargins(AnsiString Value) {
    std::array<int, 4> sides{};
    for (int& side : sides) {
        side = CssNumber(Value, "px", 0);
        if (std::size_t space = Value.find(' '); space != AnsiString::npos) Value.erase(0, space + 1);
    }
    return sides;
}

AnsiString FirstFamily(const AnsiString& Value) {
    AnsiString family = Trim(Value.substr(0, Value.find(',')));
    std::erase_if(family, [](char c) { return c == '"' || c == '\''; });
    return family;
}

void ApplyParaCss(TParaInfo& Para, const AnsiString& Rule) {
    AnsiString align = CssValue(Rule, "text-align");
    if (align == "left") Para.Alignment = rvaLeft;
    if (align == "right") Para.Alignment = rvaRight;
    if (align == "center") Para.Alignment = rvaCenter;
    if (align == "justify") Para.Alignment = rvaJustify;
    if (AnsiString back = CssValue(Rule, "background"); !back.empty())
        Para.Background().Color = HtmlColor(back);
    if (AnsiString margin = CssValue(Rule, "margin"); !margin.empty()) {
        std::array<int, 4> m = CssMargins(margin);
        Para.SpaceBefore = m[0];
        Para.RightIndent = m[1];
        Para.SpaceAfter = m[2];
        Para.LeftIndent = m[3];
    }
    TRVBorder& border = Para.Border();
    if (AnsiString color = CssValue(Rule, "border-color"); !color.empty()) border.Color = HtmlColor(color);
    AnsiString style = CssValue(Rule, "border-style");
    if (style == "none") border.Style = rvbNone;
    if (style == "solid") border.Style = rvbSingle;
    if (style == "double") border.Style = rvbDouble;
    if (AnsiString width = CssValue(Rule, "border-width"); !width.empty())
        border.Width = CssNumber(width, "px", 0);
    TRVBooleanRect& visible = border.VisibleBorders();
    if (AnsiString v = CssValue(Rule, "border-bottom"); !v.empty()) visible.Bottom = v != "none";
    if (AnsiString v = CssValue(Rule, "border-left"); !v.empty()) visible.Left = v != "none";
    if (AnsiString v = CssValue(Rule, "border-right"); !v.empty()) visible.Right = v != "none";
    if (AnsiString v = CssValue(Rule, "border-top"); !v.empty()) visible.Top = v != "none";
}

// The body of the rule at the start of Text (between "{" and "}"), and Text
// cut after it.
AnsiString TakeRule(AnsiString& Text) {
    std::size_t open = Text.find('{');
    if (open == AnsiString::npos) {
        Text.clear();
        return AnsiString();
    }
    std::size_t close = Text.find('}', open);
    AnsiString rule = Text.substr(open + 1, close == AnsiString::npos ? AnsiString::npos : close - open - 1);
    Text.erase(0, close == AnsiString::npos ? Text.size() : close + 1);
    return rule;
}

} // namespace

void THtmlImportRun::ReadCss(const AnsiString& Css) {
    if (SpanClasses.empty()) SpanClasses.push_back(BaseStyle);
    if (ParaClasses.empty()) ParaClasses.push_back({"left", 0});
    TFontInfos& texts = Style.TextStyles();
    TParaInfos& paras = Style.ParaStyles();
    AnsiString text = Css;
    while (!text.empty()) {
        if (text.compare(0, 4, "body") == 0) {
            AnsiString rule = TakeRule(text);
            TFontInfo& base = *texts[BaseStyle];
            if (AnsiString v = CssValue(rule, "font-family"); !v.empty()) base.FontName = FirstFamily(v);
            if (AnsiString v = CssValue(rule, "font-size"); !v.empty())
                base.Size = std::clamp(CssNumber(v, "pt", 10), 1, 1638);
            if (AnsiString v = CssValue(rule, "color"); !v.empty()) base.Color = HtmlColor(v);
            if (AnsiString v = CssValue(rule, "background-color"); !v.empty()) I.Page.Color = HtmlColor(v);
            // url("name"): a value too short for the cut names nothing.
            if (AnsiString v = CssValue(rule, "background-image"); v.size() > 6)
                if (auto picture = LoadPicture(v.substr(5, v.size() - 6), 0, 0, false)) {
                    I.Page.BackgroundBitmap = picture->ToBitmap();
                    CssBackground = true;
                    AnsiString position = CssValue(rule, "background-position");
                    if (position == "top left")
                        I.Page.BackgroundStyle = bsTopLeft;
                    else if (position == "top right")
                        I.Page.BackgroundStyle = bsTopRight;
                    else if (position == "bottom left")
                        I.Page.BackgroundStyle = bsBottomLeft;
                    else if (position == "bottom right")
                        I.Page.BackgroundStyle = bsBottomRight;
                    else if (!position.empty())
                        I.Page.BackgroundStyle = bsCentered;
                    else
                        I.Page.BackgroundStyle = CssValue(rule, "background-attachment") == "scroll"
                                                     ? bsTiledAndScrolled
                                                     : bsTiled;
                }
            ApplyFontStyles(base, rule);
            if (AnsiString v = CssValue(rule, "margin"); !v.empty()) {
                std::array<int, 4> m = CssMargins(v);
                I.Page.MarginsSet = true;
                I.Page.TopMargin = m[0];
                I.Page.RightMargin = m[1];
                I.Page.BottomMargin = m[2];
                I.Page.LeftMargin = m[3];
            }
            if (CurStyle == BaseStyle) FontFromStyle(BaseStyle, true);
        } else if (text.compare(0, 9, "span.rvts") == 0) {
            AnsiString rule = TakeRule(text);
            TFontInfo& style = *texts.Add();
            style.Assign(texts[BaseStyle]);
            if (AnsiString v = CssValue(rule, "font-family"); !v.empty()) style.FontName = FirstFamily(v);
            if (int size = CssNumber(CssValue(rule, "font-size"), "pt", 0); size > 0)
                style.Size = std::min(size, 1638);
            if (AnsiString v = CssValue(rule, "color"); !v.empty()) style.Color = HtmlColor(v);
            if (AnsiString v = CssValue(rule, "background-color"); !v.empty()) style.BackColor = HtmlColor(v);
            style.Style = 0;
            style.StyleEx = 0;
            ApplyFontStyles(style, rule);
            style.Standard = false;
            SpanClasses.push_back(texts.Count() - 1);
        } else if (text.compare(0, 7, "p,ul,ol") == 0) {
            ApplyParaCss(*paras[0], TakeRule(text));
        } else if (text.compare(0, 5, ".rvps") == 0) {
            AnsiString rule = TakeRule(text);
            TParaInfo& para = *paras.Add();
            para.Assign(paras[0]);
            para.Standard = false;
            ApplyParaCss(para, rule);
            ParaClasses.push_back({CssValue(rule, "text-align"), paras.Count() - 1});
        }
        std::size_t word = text.find_first_of("\n\r ");
        text.erase(0, word);
        std::size_t next = text.find_first_not_of("\n\r ");
        text.erase(0, next);
    }
    ForgetStyleIndex();
}
