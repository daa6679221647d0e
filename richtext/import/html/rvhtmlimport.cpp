// The HTML importer's properties, the pass over the tokens with the table
// of tags, and the entry point that imports into a new document.
#include "richtext/import/html/rvhtmlimport.h"

#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/text/RVErrors.h"
#include "richtext/import/html/rvhtmlimport_p.h"

TRvHtmlImporter::TRvHtmlImporter(TComponent* AOwner) : TComponent(AOwner) {}

TRvHtmlImporter::~TRvHtmlImporter() = default;

void TRvHtmlImporter::ImportHtml(std::string_view Html) {
    if (!Document || !Document->GetRVStyle()) throw EZoroZudoError("No document to import HTML into");
    THtmlImportRun run(*this, Html);
    run.Run();
}

THtmlImportRun::THtmlImportRun(TRvHtmlImporter& Importer, std::string_view Html)
    : I(Importer), Style(*Importer.Document->GetRVStyle()),
      Parser(Html, Importer.Encoding, int(Importer.Document->GetRVStyle()->DefCodePage)) {
    // A UTF-8 text may begin with its byte order mark.
    if (I.Encoding == rvhtmleUTF8 && Parser.Text.size() > 2 && Parser.Text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        Parser.Text.erase(0, 3);
}

THtmlImportRun::~THtmlImportRun() {
    // Innermost first: a table dropped unclosed still hangs in the cell of
    // the table around it, and its list markers leave the document's
    // numbering through that cell.
    while (!FContainers.empty())
        FContainers.pop_back();
}

void THtmlImportRun::Warn(const AnsiString& Text) {
    // A hostile text could repeat one fault a million times.
    if (I.Warnings.size() < 100) I.Warnings.push_back(Text);
}

void THtmlImportRun::Run() {
    I.SelStartItem = I.SelEndItem = -1;
    I.SelData = nullptr;
    I.Warnings.clear();
    I.Page = TRVHtmlPageSettings();
    I.PageTitle.clear();
    TCustomRVData& document = *I.Document;
    if (I.ClearDocument) document.Clear();
    Style.Color = I.DefaultBGColor;
    LinkColor = I.DefaultLinkCol;
    VShift = 0;
    if (!I.UseExistingStyles) {
        bool unicode = Style.TextStyles().Count() > 0 && Style.TextStyles()[0]->Unicode;
        if (I.ClearDocument) {
            Style.TextStyles().Clear();
            Style.ListStyles().Clear();
            Style.ParaStyles().Clear();
            Style.ParaStyles().Add();
        }
        TFontInfo& base = *Style.TextStyles().Add();
        base.FontName = I.DefaultFontName;
        base.Size = I.DefaultFontSize;
        base.Color = I.DefaultColor;
        base.Unicode = unicode;
        BaseStyle = Style.TextStyles().Count() - 1;
    } else {
        if (Style.TextStyles().Count() == 0) Style.TextStyles().Add();
        if (Style.ParaStyles().Count() == 0) Style.ParaStyles().Add();
        BaseStyle = 0;
    }
    CurStyle = BaseStyle;
    FontFromStyle(BaseStyle, true);
    CurData = &document;
    PushContainer(ckDocument, 0);
    Parser.LastWasSpace = true;

    // The document's lists are numbered once, at the end.
    document.BeginItemsLoad();
    TScopeGuard endLoad([&document] { document.EndItemsLoad(); });
    while (!Parser.AtEnd()) {
        UpdateSelection();
        Parser.Next();
        if (SelEndPassed && I.SelEndItem == -1) {
            // The range ended before this token: its text is the range's last.
            Flush();
            TCustomRVData* data = CurData ? CurData : I.SelData;
            I.SelEndItem = data ? data->ItemCount() - 1 : -1;
        }
        if (Parser.Line != I.FLastLine) {
            I.FLastLine = Parser.Line;
            if (I.OnNewLine) I.OnNewLine(&I);
        }
        switch (Parser.TokenKind) {
        case htkComment:
            if (I.OnComment) I.OnComment(&I, Parser.Token);
            break;
        case htkText:
            Pending += Parser.Token;
            if (I.SeparateLines) Flush();
            break;
        case htkTag:
            HandleTag(HtmlLower(Parser.Token));
            break;
        }
    }
    Flush();
    CloseOpenTables();
    if (Parser.UnknownEntities > 0)
        Warn(Format("%d unknown entities kept as text", {Parser.UnknownEntities}));
}

void THtmlImportRun::UpdateSelection() {
    if (I.SourceSelStart < 0) return;
    if (I.SelStartItem == -1 && Parser.Position() >= I.SourceSelStart) {
        if (CurData) {
            I.SelData = CurData;
            I.SelStartItem = CurData->ItemCount();
        } else {
            I.SelData = Top().Data;
            I.SelStartItem = I.SelEndItem = I.SelData ? I.SelData->ItemCount() - 1 : -1;
        }
    }
    if (I.SelEndItem == -1 && I.SourceSelEnd < Parser.Position()) SelEndPassed = true;
}

void THtmlImportRun::SkipTo(const char* Closing) {
    while (!Parser.AtEnd()) {
        Parser.Next();
        if (Parser.TokenKind == htkTag && HtmlLower(Parser.Token) == Closing) return;
    }
}

void THtmlImportRun::HandleTag(const AnsiString& Name) {
    const std::vector<AnsiString>& attrs = Parser.Attributes;
    if (Name == "title") {
        AnsiString title;
        while (!Parser.AtEnd()) {
            Parser.Next();
            if (Parser.TokenKind == htkTag && HtmlLower(Parser.Token) == "/title") break;
            title += Parser.Token;
        }
        I.PageTitle = title;
        Parser.LastWasSpace = true;
    } else if (Name == "body") {
        if (HasHtmlAttribute(attrs, "bgcolor")) I.Page.Color = HtmlColor(HtmlAttribute(attrs, "bgcolor"));
        if (HasHtmlAttribute(attrs, "text")) {
            Style.TextStyles()[BaseStyle]->Color = HtmlColor(HtmlAttribute(attrs, "text"));
            if (CurStyle == BaseStyle) Font.Color = Style.TextStyles()[BaseStyle]->Color;
        }
        if (HasHtmlAttribute(attrs, "link")) LinkColor = HtmlColor(HtmlAttribute(attrs, "link"));
        if (!CssBackground && HasHtmlAttribute(attrs, "background"))
            if (auto picture = LoadPicture(HtmlAttribute(attrs, "background"), 0, 0, false)) {
                I.Page.BackgroundBitmap = picture->ToBitmap();
                I.Page.BackgroundStyle = bsTiled;
            }
    } else if (Name == "p") {
        ParagraphTag();
    } else if (Name == "/p") {
        Flush();
        PopAlignment();
        ParaMark = -1;
    } else if (Name == "div") {
        Flush();
        if (Top().Lists.empty()) {
            if (!I.UseExistingStyles) PushAlignment(HtmlAlignment(attrs, Top().Alignments.back()), -1);
            ParaMark = -1;
        }
    } else if (Name == "center") {
        Flush();
        if (!I.UseExistingStyles) PushAlignment(2, -1);
    } else if (Name == "/div" || Name == "/center") {
        Parser.LastWasSpace = true;
        Flush();
        if (Top().Lists.empty()) {
            if (!I.UseExistingStyles) PopAlignment();
            ParaMark = -1;
        }
    } else if (Name == "br") {
        Parser.LastWasSpace = true;
        Flush();
        if (ParaMark == -1) AddEmptyParagraph();
        ParaMark = -1;
    } else if (Name == "b" || Name == "strong" || Name == "/b" || Name == "/strong") {
        StyleTag(fsBold, Name[0] != '/');
    } else if (Name == "i" || Name == "em" || Name == "/i" || Name == "/em") {
        StyleTag(fsItalic, Name[0] != '/');
    } else if (Name == "u" || Name == "/u") {
        StyleTag(fsUnderline, Name[0] != '/');
    } else if (Name == "strike" || Name == "s" || Name == "del" || Name == "/strike" || Name == "/s" ||
               Name == "/del") {
        StyleTag(fsStrikeOut, Name[0] != '/');
    } else if (Name == "sup" || Name == "/sup") {
        SubSuperTag(45, Name[0] != '/');
    } else if (Name == "sub" || Name == "/sub") {
        SubSuperTag(-25, Name[0] != '/');
    } else if (Name == "font") {
        FontTag();
    } else if (Name == "/font") {
        Flush();
        RestoreStyle(false);
    } else if (Name == "span") {
        SpanTag();
    } else if (Name == "/span") {
        Flush();
        RestoreStyle(true);
    } else if (Name.size() == 2 && Name[0] == 'h' && Name[1] >= '1' && Name[1] <= '6') {
        HeadingTag(Name[1] - '0', true);
    } else if (Name.size() == 3 && Name[0] == '/' && Name[1] == 'h' && Name[2] >= '1' && Name[2] <= '6') {
        HeadingTag(Name[2] - '0', false);
    } else if (Name == "pre") {
        Flush();
        Parser.CollapseSpaces = false;
        Font.Name = I.DefaultCFontName;
        Font.Size = I.DefaultCFontSize;
        SelectStyle(1);
    } else if (Name == "/pre") {
        Parser.CollapseSpaces = true;
        Flush();
        RestoreStyle(false);
    } else if (Name == "hr") {
        Flush();
        if (CurData) CurData->AddBreak();
        // What follows a line starts a paragraph of its own.
        ParaMark = -1;
    } else if (Name == "a") {
        LinkOpenTag();
    } else if (Name == "/a") {
        LinkCloseTag();
    } else if (Name == "img") {
        PictureTag();
    } else if (Name == "ul") {
        Flush();
        std::size_t open = Top().Lists.size();
        int kind = HtmlListKind(HtmlAttribute(attrs, "type"), open == 0 ? 1 : open == 1 ? 2 : 3);
        OpenList(false, kind, HtmlNumber(HtmlAttribute(attrs, "start"), 1));
        ParaMark = -1;
    } else if (Name == "ol") {
        Flush();
        OpenList(true, HtmlListKind(HtmlAttribute(attrs, "type"), 4),
                 HtmlNumber(HtmlAttribute(attrs, "start"), 1));
        ParaMark = -1;
    } else if (Name == "/ul" || Name == "/ol") {
        Flush();
        CloseList(Name == "/ol");
        ParaMark = -1;
    } else if (Name == "li") {
        ListItemTag();
    } else if (Name == "table" || Name == "/table" || Name == "tr" || Name == "/tr" || Name == "td" ||
               Name == "th" || Name == "/td" || Name == "/th") {
        TableTag(Name);
    } else if (Name == "script" || Name == "noembed") {
        SkipTo(Name == "script" ? "/script" : "/noembed");
    } else if (Name == "style") {
        AnsiString css;
        while (!Parser.AtEnd()) {
            Parser.Next();
            if (Parser.TokenKind == htkTag && HtmlLower(Parser.Token) == "/style") break;
            css += HtmlLower(Parser.Token);
        }
        if (I.UseExistingStyles) {
            std::size_t at = css.find("background-color:");
            if (at != AnsiString::npos) {
                std::size_t from = at + 17, end = css.find(';', from);
                Style.Color = HtmlColor(Trim(css.substr(from, end == AnsiString::npos ? end : end - from)));
            }
        } else {
            ReadCss(css);
        }
    } else {
        // Tags of a page's frame and the closing tags that close nothing here
        // are expected; any other is worth telling.
        static const char* const quiet[] = {
            "html", "/html", "head", "/head", "/body",  "meta",  "link",   "/li",    "!doctype", "/title",
            "/img", "/br",   "/hr",  "tbody", "/tbody", "thead", "/thead", "/style", "/script",  "/noembed"};
        for (const char* q : quiet)
            if (Name == q) return;
        Warn("unknown tag <" + Name + ">");
    }
}

// ---- the document built by the entry point

TRVHtmlDocument::TRVHtmlDocument() : Style(std::make_unique<TRVStyle>(nullptr)) {}

TRVHtmlDocument::~TRVHtmlDocument() {
    Clear();
}

TRVHtmlReadResult ReadHtmlDocument(std::string_view Html) {
    TRvHtmlImporter importer(nullptr);
    return ReadHtmlDocument(Html, importer);
}

TRVHtmlReadResult ReadHtmlDocument(std::string_view Html, TRvHtmlImporter& Importer) {
    TRVHtmlReadResult result;
    result.Document = std::make_unique<TRVHtmlDocument>();
    TCustomRVData* saved = Importer.Document;
    Importer.Document = result.Document.get();
    try {
        Importer.ImportHtml(Html);
    } catch (const Exception& E) {
        result.Error = E.Message;
    } catch (const std::exception& E) {
        result.Error = E.what();
    }
    Importer.Document = saved;
    result.Page = std::move(Importer.Page);
    result.Warnings = Importer.Warnings;
    return result;
}
