// Text of the HTML importer: adding the pending text as items, the
// paragraph each item starts or continues, text styles per font and
// paragraph styles per alignment, containers, and the tags that change
// the font, the alignment or the link.
#include "richtext/engine/text/RVCodePages.h"
#include "richtext/import/html/rvhtmlimport_p.h"

namespace {

bool IsBlankText(std::string_view Text) {
    for (char c : Text)
        if (uint8_t(c) > ' ') return false;
    return true;
}

AnsiString WithoutLineEnds(AnsiString Text) {
    std::erase_if(Text, [](char c) { return c == '\r' || c == '\n'; });
    return Text;
}

} // namespace

void THtmlImportRun::Flush() {
    AnsiString text = std::move(Pending);
    Pending.clear();
    std::size_t from = 0;
    for (std::size_t at = text.find_first_of("\r\n"); at != AnsiString::npos;
         at = text.find_first_of("\r\n", from)) {
        AddTextItem(text.substr(from, at - from));
        AddEmptyParagraph();
        from = at + (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1);
    }
    AnsiString rest = text.substr(from);
    // Blanks wait in front of the next text.
    if (!AddTextItem(rest)) Pending = rest;
}

bool THtmlImportRun::AddTextItem(const AnsiString& Text) {
    TContainerDataType& c = Top();
    if (c.ListPending) {
        AddListMarker();
        c.PendingKind = 0;
        ParaMark = c.ParaStyle;
        c.ListPending = false;
    }
    if (IsBlankText(Text)) return false;
    if (!CurData) {
        // Text between the cells of a table has nowhere to go.
        Warn("text outside the cells of a table");
        return true;
    }
    int para = NextParaNo();
    int style = CurStyle;
    AnsiString text = Text;
    TRVTag tag = LinkOpen ? LinkTag(style, text) : TRVTag(0);
    if (I.Encoding == rvhtmleUTF8)
        CurData->AddWideTextTag(Utf8ToWide(text), style, para, tag);
    else
        CurData->AddAnsiTextTag(text, style, para, tag);
    return true;
}

TRVTag THtmlImportRun::LinkTag(int& StyleNo, AnsiString& Text) {
    AnsiString target = WithoutLineEnds(LinkTarget);
    if (I.Options & rvhtmloBasePathLinks) target = WithBasePath(target);
    TRVTag tag = 0;
    if ((I.Options & rvhtmloAutoHyperlinks) && CurData->TagsArePChars())
        tag = target;
    else if (I.OnReadHyperlink)
        I.OnReadHyperlink(CurData, target, Text, tag, StyleNo);
    return tag;
}

void THtmlImportRun::AddEmptyParagraph() {
    if (CurData) CurData->AddAnsiTextTag("", CurStyle, Top().ParaStyle, 0);
}

int THtmlImportRun::NextParaNo() {
    TContainerDataType& c = Top();
    int p = c.ParaStyle;
    if (p == ParaMark) return -1;
    ParaMark = p;
    if (!c.Lists.empty()) {
        AddListMarker();
        return -1;
    }
    return p;
}

// ---- text styles

void THtmlImportRun::FontFromStyle(int StyleNo, bool WithVShift) {
    const TFontInfo& style = *Style.TextStyles()[StyleNo];
    Font.Name = style.FontName;
    Font.Size = style.Size;
    Font.Style = style.Style;
    Font.Color = style.Color;
    if (WithVShift) VShift = style.VShift;
}

int THtmlImportRun::FindTextStyle(const TFontState& AFont, bool Jump, int AVShift) {
    TFontInfos& styles = Style.TextStyles();
    for (; FIndexedStyles < styles.Count(); ++FIndexedStyles) {
        const TFontInfo& s = *styles[FIndexedStyles];
        FStyleIndex.emplace(TStyleKey(s.FontName, s.Size, s.Color, s.Jump, s.Style, s.VShift),
                            FIndexedStyles);
    }
    TStyleKey key(AFont.Name, AFont.Size, AFont.Color, Jump, AFont.Style, AVShift);
    if (auto found = FStyleIndex.find(key); found != FStyleIndex.end()) return found->second;
    TFontInfo& added = *styles.Add();
    added.FontName = AFont.Name;
    added.Size = AFont.Size;
    added.Color = AFont.Color;
    added.Jump = Jump;
    added.Style = AFont.Style;
    added.VShift = AVShift;
    added.Unicode = styles[0]->Unicode;
    added.Standard = false;
    return styles.Count() - 1;
}

void THtmlImportRun::ForgetStyleIndex() {
    FStyleIndex.clear();
    FIndexedStyles = 0;
}

void THtmlImportRun::SelectStyle(int Stack) {
    if (!CurData) return;
    std::vector<int>& stack = Top().TextStyles;
    if (Stack > 0)
        stack.push_back(CurStyle);
    else if (Stack < 0 && !stack.empty())
        stack.pop_back();
    CurStyle = FindTextStyle(Font, LinkOpen, VShift);
}

void THtmlImportRun::RestoreStyle(bool WithVShift) {
    std::vector<int>& stack = Top().TextStyles;
    if (stack.empty()) return;
    CurStyle = stack.back();
    stack.pop_back();
    FontFromStyle(CurStyle, WithVShift);
}

// ---- paragraph styles and containers

int THtmlImportRun::ParaForAlignment(int Alignment) {
    TParaInfos& paras = Style.ParaStyles();
    int found = paras.FindStyleWithAlignment(0, TRVAlignment(Alignment));
    if (found >= 0) return found;
    TParaInfo& added = *paras.Add();
    added.Assign(paras[0]);
    added.Alignment = TRVAlignment(Alignment);
    added.Standard = false;
    return paras.Count() - 1;
}

void THtmlImportRun::PushAlignment(int Alignment, int ParaStyle) {
    TContainerDataType& c = Top();
    c.Alignments.push_back(Alignment);
    c.Paras.push_back(ParaStyle);
    c.ParaStyle = ParaStyle >= 0 ? ParaStyle : ParaForAlignment(Alignment);
}

void THtmlImportRun::PopAlignment() {
    TContainerDataType& c = Top();
    if (c.Alignments.size() > 1) c.Alignments.pop_back();
    if (c.Paras.size() > 1) c.Paras.pop_back();
    c.ParaStyle = c.Paras.back() >= 0 ? c.Paras.back() : ParaForAlignment(c.Alignments.back());
}

void THtmlImportRun::PushContainer(TContainerKind Kind, int Alignment) {
    TContainerDataType* parent = FContainers.empty() ? nullptr : FContainers.back().get();
    if (parent) parent->SavedStyle = CurStyle;
    auto c = std::make_unique<TContainerDataType>();
    c->Kind = Kind;
    c->Color = parent ? parent->Color : I.DefaultBGColor;
    c->Data = CurData;
    c->VAlign = parent && (parent->Kind == ckTable || parent->Kind == ckRow) ? parent->VAlign : 1;
    FContainers.push_back(std::move(c));
    CurStyle = BaseStyle;
    FontFromStyle(BaseStyle, true);
    ParaMark = -1;
    PushAlignment(Alignment, -1);
}

void THtmlImportRun::PopContainers(TContainerKind Kind) {
    while (FContainers.size() > 1 && Kind < Top().Kind)
        FContainers.pop_back();
    if (FContainers.size() > 1 && Top().Kind == Kind) FContainers.pop_back();
    ParaMark = -1;
    CurStyle = Top().SavedStyle;
    FontFromStyle(CurStyle, true);
}

// ---- tags

void THtmlImportRun::ParagraphTag() {
    Parser.LastWasSpace = true;
    Flush();
    AnsiString cls = HtmlAttribute(Parser.Attributes, "class");
    if (cls.size() >= 5 && HtmlLower(cls.substr(0, 4)) == "rvps") {
        int n = HtmlNumber(cls.substr(4), -1);
        if (I.UseExistingStyles) {
            Top().ParaStyle = n >= 0 && n < Style.ParaStyles().Count() ? n : 0;
        } else if (n >= 0 && n < int(ParaClasses.size())) {
            const AnsiString& align = ParaClasses[std::size_t(n)].Align;
            int a = align == "left"      ? 0
                    : align == "right"   ? 1
                    : align == "center"  ? 2
                    : align == "justify" ? 3
                                         : Top().Alignments.back();
            PushAlignment(a, ParaClasses[std::size_t(n)].Style);
        }
    } else if (!I.UseExistingStyles) {
        PushAlignment(HtmlAlignment(Parser.Attributes, Top().Alignments.back()), -1);
    }
    ParaMark = -1;
}

void THtmlImportRun::StyleTag(TFontStyles AStyle, bool Add) {
    Flush();
    if (Add) {
        Font.Style |= AStyle;
        SelectStyle(1);
    } else {
        Font.Style &= ~AStyle;
        SelectStyle(-1);
    }
}

void THtmlImportRun::SubSuperTag(int AVShift, bool Open) {
    Flush();
    if (Open) {
        VShift = AVShift;
        // Half, to the even size on a tie; never below one point.
        Font.Size = std::max(1, int(Round(Font.Size / 2.0)));
        SelectStyle(1);
    } else {
        VShift = 0;
        Font.Size = std::min(Font.Size * 2, 1638);
        SelectStyle(-1);
    }
}

void THtmlImportRun::FontTag() {
    Flush();
    const std::vector<AnsiString>& attrs = Parser.Attributes;
    AnsiString face = HtmlAttribute(attrs, "face");
    face = face.substr(0, face.find(','));
    if (!face.empty()) Font.Name = face;
    if (HasHtmlAttribute(attrs, "size")) {
        AnsiString size = Trim(HtmlAttribute(attrs, "size"));
        if (!size.empty() && (size[0] == '+' || size[0] == '-')) {
            int n = std::clamp(HtmlNumber(size.substr(1), 0), 0, 7);
            int html = HtmlPointsToSize(Font.Size) + (size[0] == '+' ? n : -n);
            Font.Size = HtmlSizeToPoints(html);
        } else {
            Font.Size = HtmlSizeToPoints(HtmlNumber(size, 3));
        }
    }
    if (HasHtmlAttribute(attrs, "color")) Font.Color = HtmlColor(HtmlAttribute(attrs, "color"));
    SelectStyle(1);
}

void THtmlImportRun::SpanTag() {
    Flush();
    AnsiString cls = HtmlAttribute(Parser.Attributes, "class");
    if (cls.size() < 5 || HtmlLower(cls.substr(0, 4)) != "rvts") return;
    int n = HtmlNumber(cls.substr(4), -1);
    if (n < 0 || n >= int(SpanClasses.size())) return;
    int style = SpanClasses[std::size_t(n)];
    FontFromStyle(style, true);
    if (CurData) {
        Top().TextStyles.push_back(CurStyle);
        CurStyle = style;
    }
}

void THtmlImportRun::HeadingTag(int Level, bool Open) {
    static const int sizes[] = {36, 24, 18, 14, 12, 10};
    Flush();
    if (Open) AddEmptyParagraph();
    if (!I.UseExistingStyles) PopAlignment();
    ParaMark = -1;
    if (Open) {
        Font.Size = sizes[Level - 1];
        Font.Style = fsBold;
        SelectStyle(1);
    } else {
        RestoreStyle(false);
    }
}

void THtmlImportRun::LinkOpenTag() {
    const std::vector<AnsiString>& attrs = Parser.Attributes;
    if (HasHtmlAttribute(attrs, "href")) {
        Flush();
        if (LinkOpen) return;
        LinkOpen = true;
        LinkTarget = HtmlAttribute(attrs, "href");
        LinkDepth = Top().TextStyles.size();
        Font.Color = LinkColor;
        Font.Style = I.DefaultLinkStyle;
        if (I.UseExistingStyles) {
            Top().TextStyles.push_back(CurStyle);
            for (int i = 0; i < Style.TextStyles().Count(); ++i)
                if (Style.TextStyles()[i]->Jump) {
                    CurStyle = i;
                    break;
                }
        } else {
            SelectStyle(1);
        }
    } else if (AnsiString name = WithoutLineEnds(HtmlAttribute(attrs, "name")); !name.empty() && CurData) {
        // The text before the anchor is not where it points.
        Flush();
        if (I.Encoding == rvhtmleUTF8)
            name = RVWideToCodePage(RVResolveCodePage(unsigned(Parser.CodePage)), Utf8ToWide(name));
        CurData->AddCheckpoint(name, false, 0);
    }
}

void THtmlImportRun::LinkCloseTag() {
    if (!LinkOpen) return;
    Flush();
    LinkOpen = false;
    LinkTarget.clear();
    std::vector<int>& stack = Top().TextStyles;
    CurStyle = LinkDepth < stack.size() ? stack[LinkDepth] : BaseStyle;
    stack.resize(std::min(LinkDepth, stack.size()));
    FontFromStyle(CurStyle, false);
}
