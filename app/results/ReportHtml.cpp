// Reading the report HTML into a document: the tag scanner, entities, and
// the styles made as the text needs them.
#include "app/results/ReportHtml.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/engine/items/RVTextItems.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

constexpr const char* kFontName = "Times New Roman";
constexpr int kBodySize = 12;
constexpr int kHeadingSizes[] = {18, 16, 14, 12, 11, 10};
// Pixels at the screen's resolution.
constexpr int kParaSpace = 6;
constexpr int kListIndent = 24;
// Nested elements deeper than this are read as text of the last level.
constexpr std::size_t kMaxDepth = 64;

struct TTag {
    AnsiString Name; // lower case, without "/"
    bool Closing = false;
    std::map<AnsiString, AnsiString> Attributes;
};

AnsiString Lower(std::string_view S) {
    AnsiString out(S);
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsSpace(char C) {
    return C == ' ' || C == '\t' || C == '\r' || C == '\n' || C == '\f';
}

// The character a named or numeric entity stands for; 0 when unknown.
char32_t EntityChar(std::string_view Name) {
    static const std::map<std::string_view, char32_t> names{
        {"amp", '&'},       {"lt", '<'},       {"gt", '>'},       {"quot", '"'},     {"apos", '\''},
        {"nbsp", 0xA0},     {"laquo", 0xAB},   {"raquo", 0xBB},   {"ndash", 0x2013}, {"mdash", 0x2014},
        {"hellip", 0x2026}, {"copy", 0xA9},    {"bull", 0x2022},  {"deg", 0xB0},     {"middot", 0xB7},
        {"ldquo", 0x201C},  {"rdquo", 0x201D}, {"bdquo", 0x201E}, {"numero", 0x2116}};
    if (Name.size() > 1 && Name[0] == '#') {
        char32_t value = 0;
        const bool hex = Name[1] == 'x' || Name[1] == 'X';
        std::string_view digits = Name.substr(hex ? 2 : 1);
        if (digits.empty()) return 0;
        for (char c : digits) {
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return 0;
            value = value * (hex ? 16 : 10) + char32_t(d);
            if (value > 0x10FFFF) return 0;
        }
        return value;
    }
    auto it = names.find(Name);
    return it == names.end() ? 0 : it->second;
}

// Text with its entities replaced: by their CP1251 characters, or, for
// Bytes, by the byte they stand for when it is below 128 (a file name keeps
// its own bytes).
AnsiString DecodeEntities(std::string_view S, bool Bytes) {
    AnsiString out;
    out.reserve(S.size());
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '&') {
            std::size_t end = S.find(';', i + 1);
            if (end != std::string_view::npos && end - i <= 10) {
                char32_t c = EntityChar(S.substr(i + 1, end - i - 1));
                if (c && (!Bytes || c < 0x80)) {
                    if (c < 0x80) {
                        out += char(c);
                    } else if (c <= 0xFFFF) {
                        out += WideToAnsi(std::u16string(1, char16_t(c)));
                    } else {
                        out += '?';
                    }
                    i = end;
                    continue;
                }
            }
        }
        out += S[i];
    }
    return out;
}

// A tag's text between "<" and ">".
TTag ParseTag(std::string_view S) {
    TTag tag;
    std::size_t i = 0;
    if (i < S.size() && S[i] == '/') {
        tag.Closing = true;
        ++i;
    }
    std::size_t start = i;
    while (i < S.size() && !IsSpace(S[i]) && S[i] != '/')
        ++i;
    tag.Name = Lower(S.substr(start, i - start));
    while (i < S.size()) {
        while (i < S.size() && (IsSpace(S[i]) || S[i] == '/'))
            ++i;
        start = i;
        while (i < S.size() && !IsSpace(S[i]) && S[i] != '=' && S[i] != '/')
            ++i;
        AnsiString name = Lower(S.substr(start, i - start));
        while (i < S.size() && IsSpace(S[i]))
            ++i;
        AnsiString value;
        if (i < S.size() && S[i] == '=') {
            ++i;
            while (i < S.size() && IsSpace(S[i]))
                ++i;
            if (i < S.size() && (S[i] == '"' || S[i] == '\'')) {
                const char quote = S[i++];
                start = i;
                while (i < S.size() && S[i] != quote)
                    ++i;
                value = AnsiString(S.substr(start, i - start));
                if (i < S.size()) ++i;
            } else {
                start = i;
                while (i < S.size() && !IsSpace(S[i]))
                    ++i;
                value = AnsiString(S.substr(start, i - start));
            }
        }
        if (!name.empty()) tag.Attributes.emplace(name, value);
        if (start == i && name.empty()) ++i;
    }
    return tag;
}

bool IsBlock(const AnsiString& Name) {
    static const char* blocks[] = {"p",  "div", "center", "h1", "h2", "h3",    "h4",        "h5",
                                   "h6", "ul",  "ol",     "li", "tr", "table", "blockquote"};
    return std::any_of(std::begin(blocks), std::end(blocks), [&](const char* b) { return Name == b; });
}

class THtmlReportReader {
public:
    THtmlReportReader(TCustomRVData& AData, TRVStyle& AStyle, const TReportHtmlOptions& AOptions)
        : Data(AData), Style(AStyle), Options(AOptions) {}

    void Read(std::string_view Html) {
        Source = Html;
        std::size_t i = 0;
        while (i < Html.size()) {
            if (Html[i] == '<') {
                if (Html.compare(i, 4, "<!--") == 0) {
                    std::size_t end = Html.find("-->", i + 4);
                    i = end == std::string_view::npos ? Html.size() : end + 3;
                    continue;
                }
                std::size_t end = TagEnd(Html, i + 1);
                if (end == std::string_view::npos) {
                    // A "<" that opens no tag is text.
                    Text("<");
                    ++i;
                    continue;
                }
                Pos = end + 1;
                Tag(ParseTag(Html.substr(i + 1, end - i - 1)));
                i = end + 1;
                continue;
            }
            std::size_t next = Html.find('<', i);
            if (next == std::string_view::npos) next = Html.size();
            Text(Html.substr(i, next - i));
            i = next;
        }
        Flush();
    }

private:
    struct TOpen {
        AnsiString Name;
        TRVAlignment Alignment = rvaLeft;
        bool Aligned = false;
    };

    static std::size_t TagEnd(std::string_view Html, std::size_t From) {
        if (From >= Html.size() ||
            !(std::isalpha(static_cast<unsigned char>(Html[From])) || Html[From] == '/' || Html[From] == '!'))
            return std::string_view::npos;
        char quote = 0;
        for (std::size_t i = From; i < Html.size(); ++i) {
            if (quote) {
                if (Html[i] == quote) quote = 0;
            } else if (Html[i] == '"' || Html[i] == '\'') {
                quote = Html[i];
            } else if (Html[i] == '>') {
                return i;
            }
        }
        return std::string_view::npos;
    }

    static bool AlignmentOf(const TTag& Tag, TRVAlignment& Alignment) {
        auto it = Tag.Attributes.find("align");
        if (Tag.Name == "center") {
            Alignment = rvaCenter;
            return true;
        }
        if (it == Tag.Attributes.end()) return false;
        const AnsiString a = Lower(it->second);
        if (a == "center" || a == "middle")
            Alignment = rvaCenter;
        else if (a == "right")
            Alignment = rvaRight;
        else if (a == "justify")
            Alignment = rvaJustify;
        else
            Alignment = rvaLeft;
        return true;
    }

    void Tag(const TTag& T) {
        const AnsiString& n = T.Name;
        if (n == "script" || n == "style") {
            // Their content is no text of the report; the templates have none.
            return;
        }
        if (n == "b" || n == "strong") {
            Bold += T.Closing ? -1 : 1;
        } else if (n == "i" || n == "em") {
            Italic += T.Closing ? -1 : 1;
        } else if (n == "u") {
            Underline += T.Closing ? -1 : 1;
        } else if (n == "br") {
            Flush();
            NewParagraph = true;
            LastSpace = true;
            SpaceBefore = false;
        } else if (n == "hr") {
            Flush();
            ParaStyle(); // a rule first in the report still needs a paragraph style to sit in
            Data.AddBreakEx(1, brkLine, clGray, 0);
            NewParagraph = true;
            LastSpace = true;
        } else if (n == "img") {
            if (!T.Closing) Picture(T);
        } else if (n == "td" || n == "th") {
            if (!T.Closing) {
                if (Cell > 0) Text(Cell == 1 && RowCells == 2 ? ": " : " \x97 ");
                ++Cell;
            }
        } else if (IsBlock(n)) {
            Flush();
            NewParagraph = true;
            LastSpace = true;
            SpaceBefore = true;
            if (T.Closing) {
                auto it =
                    std::find_if(Open.rbegin(), Open.rend(), [&](const TOpen& o) { return o.Name == n; });
                if (it != Open.rend()) Open.erase(std::next(it).base(), Open.end());
            } else if (Open.size() < kMaxDepth) {
                TOpen o;
                o.Name = n;
                o.Aligned = AlignmentOf(T, o.Alignment);
                Open.push_back(o);
            }
            if (n == "tr" && !T.Closing) {
                Cell = 0;
                RowCells = CountCellsAhead();
            }
            if (n == "li" && !T.Closing) BulletDone = false;
        }
    }

    // The cells of the row that starts at Pos: rows of two cells read as
    // "name: value", the others with dashes between their cells.
    int CountCellsAhead() const {
        AnsiString rest = Lower(Source.substr(Pos, std::min<std::size_t>(Source.size() - Pos, 1 << 16)));
        const std::size_t end = std::min(rest.find("</tr"), rest.find("<tr"));
        int cells = 0;
        for (std::size_t at = rest.find("<t"); at < end; at = rest.find("<t", at + 2))
            if (at + 2 < rest.size() && (rest[at + 2] == 'd' || rest[at + 2] == 'h')) ++cells;
        return cells;
    }

    int HeadingLevel() const {
        for (auto it = Open.rbegin(); it != Open.rend(); ++it)
            if (it->Name.size() == 2 && it->Name[0] == 'h' && it->Name[1] >= '1' && it->Name[1] <= '6')
                return it->Name[1] - '0';
        return 0;
    }
    TRVAlignment Alignment() const {
        for (auto it = Open.rbegin(); it != Open.rend(); ++it)
            if (it->Aligned) return it->Alignment;
        return rvaLeft;
    }
    int ListDepth() const {
        return int(std::count_if(Open.begin(), Open.end(), [](const TOpen& o) { return o.Name == "li"; }));
    }
    bool InListItem() const { return !Open.empty() && Open.back().Name == "li"; }

public:
    int TextStyle() {
        const int heading = HeadingLevel();
        const bool bold = Bold > 0 || heading > 0;
        const int size = heading ? kHeadingSizes[heading - 1] : kBodySize;
        auto key = std::make_tuple(bold, Italic > 0, Underline > 0, size);
        auto it = TextStyles.find(key);
        if (it != TextStyles.end()) return it->second;
        TFontInfo& f = *Style.TextStyles().Add();
        f.FontName = kFontName;
        f.Size = size;
        f.Charset = 204; // Cyrillic: the text is CP1251
        f.Color = clBlack;
        f.Style = TFontStyles((bold ? unsigned(fsBold) : 0u) | (Italic > 0 ? unsigned(fsItalic) : 0u) |
                              (Underline > 0 ? unsigned(fsUnderline) : 0u));
        const int no = Style.TextStyles().Count() - 1;
        TextStyles.emplace(key, no);
        return no;
    }

    int ParaStyle() {
        const int space = SpaceBefore ? int(kParaSpace * Options.Scale) : 0;
        const int indent = int(kListIndent * ListDepth() * Options.Scale);
        auto key = std::make_tuple(int(Alignment()), space, indent);
        auto it = ParaStyles.find(key);
        if (it != ParaStyles.end()) return it->second;
        TParaInfo& p = *Style.ParaStyles().Add();
        p.Alignment = Alignment();
        p.SpaceBefore = space;
        p.LeftIndent = indent;
        const int no = Style.ParaStyles().Count() - 1;
        ParaStyles.emplace(key, no);
        return no;
    }

private:
    void Text(std::string_view Raw) {
        AnsiString text = DecodeEntities(Raw, false);
        // Runs of white space are one space, and a paragraph starts with none.
        AnsiString collapsed;
        collapsed.reserve(text.size());
        for (char c : text) {
            if (!IsSpace(c)) {
                collapsed += c;
                LastSpace = false;
            } else if (!LastSpace) {
                collapsed += ' ';
                LastSpace = true;
            }
        }
        if (collapsed.empty()) return;
        const int style = TextStyle();
        if (!Run.empty() && style != RunStyle) Flush();
        if (Run.empty()) {
            RunStyle = style;
            if (NewParagraph && InListItem() && !BulletDone) {
                collapsed.insert(0, "\x95 ");
                BulletDone = true;
            }
        }
        Run += collapsed;
    }

    void Flush() {
        if (Run.empty()) return;
        Data.AddTextItem(Run, RunStyle, NewParagraph ? ParaStyle() : -1);
        NewParagraph = false;
        Run.clear();
    }

    void Picture(const TTag& T) {
        if (!Options.ReadPictures) return;
        auto src = T.Attributes.find("src");
        if (src == T.Attributes.end()) return;
        AnsiString file = DecodeEntities(src->second, true);
        if (file.rfind("file://", 0) == 0) file.erase(0, 7);
        auto picture = std::make_unique<TRVBitmapImage>();
        try {
            picture->LoadFromFile(file);
        } catch (const Exception&) {
            return;
        }
        Flush();
        auto item = std::make_unique<TRVGraphicItemInfo>(&Data, std::move(picture), vaBaseline);
        if (Options.Scale != 1) {
            item->ImageWidth = int(item->Image->Width() * Options.Scale);
            item->ImageHeight = int(item->Image->Height() * Options.Scale);
        }
        item->ParaNo = NewParagraph ? ParaStyle() : -1;
        Data.AddItem("", std::move(item));
        NewParagraph = false;
        LastSpace = false;
    }

    TCustomRVData& Data;
    TRVStyle& Style;
    const TReportHtmlOptions& Options;
    std::vector<TOpen> Open;
    std::map<std::tuple<bool, bool, bool, int>, int> TextStyles;
    std::map<std::tuple<int, int, int>, int> ParaStyles;
    int Bold = 0, Italic = 0, Underline = 0;
    int Cell = 0, RowCells = 2;
    bool NewParagraph = true;
    bool SpaceBefore = false;
    bool BulletDone = false;
    bool LastSpace = true;
    AnsiString Run;
    int RunStyle = 0;
    std::string_view Source;
    std::size_t Pos = 0;
};

} // namespace

void ReadReportHtml(const AnsiString& Html, TCustomRVData& Data, TRVStyle& Style,
                    const TReportHtmlOptions& Options) {
    Data.Clear();
    Style.TextStyles().Clear();
    Style.ParaStyles().Clear();
    THtmlReportReader reader(Data, Style, Options);
    reader.Read(Html);
    // Styles 0 exist even for an empty report: writers take them as defaults.
    if (Style.TextStyles().Count() == 0) reader.TextStyle();
    if (Style.ParaStyles().Count() == 0) reader.ParaStyle();
}
