// The string tree's text exports: tab-separated 8-bit and UTF-16 text, CSV,
// RTF and HTML, and their rendering for the clipboard and drags.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "controls/vtree/VirtualStringTree.h"
#include "platform/canvas/Graphics.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

constexpr char16_t ReplacementCharacter = 0xFFFD;

struct TExportNodes {
    std::vector<PVirtualNode> Nodes;
    uint32_t MaxLevel = 0;
};

bool IsHighSurrogate(char16_t C) {
    return C >= 0xD800 && C <= 0xDBFF;
}

bool IsLowSurrogate(char16_t C) {
    return C >= 0xDC00 && C <= 0xDFFF;
}

// Code units with every surrogate that is not half of a pair replaced.
WideString PairedSurrogates(const WideString& Text) {
    WideString result = Text;
    for (size_t i = 0; i < result.size(); ++i) {
        if (IsHighSurrogate(result[i]) && i + 1 < result.size() && IsLowSurrogate(result[i + 1]))
            ++i;
        else if (IsHighSurrogate(result[i]) || IsLowSurrogate(result[i]))
            result[i] = ReplacementCharacter;
    }
    return result;
}

void AppendUtf8(std::string& Out, char32_t C) {
    if (C < 0x80) {
        Out += char(C);
    } else if (C < 0x800) {
        Out += char(0xC0 | (C >> 6));
        Out += char(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += char(0xE0 | (C >> 12));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    } else {
        Out += char(0xF0 | (C >> 18));
        Out += char(0x80 | ((C >> 12) & 0x3F));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    }
}

// UTF-8 of Text with the characters HTML gives a meaning escaped.
std::string HtmlText(const WideString& Text) {
    const WideString units = PairedSurrogates(Text);
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (IsHighSurrogate(units[i])) {
            c = 0x10000 + ((char32_t(units[i]) - 0xD800) << 10) + (char32_t(units[i + 1]) - 0xDC00);
            ++i;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            AppendUtf8(out, c);
        }
    }
    return out;
}

std::string HtmlText(const AnsiString& Text) {
    return HtmlText(AnsiToWide(Text));
}

// A cell that holds the separator, a quote or a line break is quoted, its
// quotes doubled, so that a reader splits the line where the writer meant.
template <class S> S QuotedCell(const S& Text, typename S::value_type Separator) {
    bool quote = false;
    for (auto c : Text)
        if (c == Separator || c == '"' || c == '\r' || c == '\n') quote = true;
    if (!quote) return Text;
    S result;
    result.reserve(Text.size() + 2);
    result += '"';
    for (auto c : Text) {
        if (c == '"') result += '"';
        result += c;
    }
    result += '"';
    return result;
}

std::string HtmlColor(TColor Color) {
    const TColor rgb = ColorToRGB(Color);
    char text[8];
    std::snprintf(text, sizeof(text), "#%02X%02X%02X", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    return text;
}

std::string Number(int64_t Value) {
    return std::to_string(Value);
}

struct TFontLook {
    AnsiString Name;
    int Size = 0;
    TFontStyles Style = 0;
    TColor Color = clWindowText;
    friend bool operator==(const TFontLook&, const TFontLook&) = default;
};

TFontLook LookOf(const TFont& Font) {
    return {Font.Name(), Font.Size(), Font.Style(), Font.Color()};
}

TFontLook LookOf(const TVTHeaderFont& Font) {
    const int size =
        Font.Height < 0 ? int(std::lround(-Font.Height * 72.0 / ScreenPixelsPerInch)) : Font.Height;
    return {Font.Name, size, Font.Style, Font.Color};
}

// The CSS of a font: a named class, or a style attribute without a name.
std::string HtmlStyle(const TFontLook& Font, const char* Name) {
    std::string out = Name ? std::string(".") + Name + "{font:" : std::string(" style=\"{font:");
    if (Font.Style & fsUnderline) out += " underline";
    if (Font.Style & fsItalic) out += " italic";
    if (Font.Style & fsBold) out += " bold";
    out += " " + Number(Font.Size) + "pt &quot;" + HtmlText(Font.Name) + "&quot;;";
    out += "color:" + HtmlColor(Font.Color) + ";}";
    if (!Name) out += '"';
    return out;
}

bool RightToLeft(TBiDiMode Mode) {
    return Mode != bdLeftToRight;
}

TAlignment Mirrored(TAlignment Alignment, bool RightToLeft) {
    if (!RightToLeft || Alignment == taCenter) return Alignment;
    return Alignment == taLeftJustify ? taRightJustify : taLeftJustify;
}

// The RTF of a font name: the name in the declared code page, with the
// characters that end a group or start a control word escaped.
std::string RtfFontName(const AnsiString& Name) {
    std::string out;
    for (unsigned char c : Name) {
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += char(c);
        } else if (c >= 0x80 || c < 0x20) {
            char hex[5];
            std::snprintf(hex, sizeof(hex), "\\'%02x", c);
            out += hex;
        } else {
            out += char(c);
        }
    }
    return out;
}

// The state of an RTF export: the font and colour tables and what the text
// written so far has set.
struct TRtfWriter {
    std::vector<AnsiString> Fonts;
    std::vector<TColor> Colors;
    int CurrentFont = -1;
    int CurrentColor = -1;
    int CurrentSize = -1;
    std::string Body;

    void Text(const WideString& Text, const TFontLook& Font) {
        if (Text.empty()) return;
        if (Font.Style & fsUnderline) Body += "\\ul";
        if (Font.Style & fsItalic) Body += "\\i";
        if (Font.Style & fsBold) Body += "\\b";
        int font = -1;
        for (size_t i = 0; i < Fonts.size(); ++i)
            if (SameText(Fonts[i], Font.Name)) font = int(i);
        if (font < 0) {
            Fonts.push_back(Font.Name);
            font = int(Fonts.size()) - 1;
            CurrentFont = font;
            Body += "\\f" + Number(font);
        } else if (font != CurrentFont) {
            CurrentFont = font;
            Body += "\\f" + Number(font);
        }
        int color = -1;
        for (size_t i = 0; i < Colors.size(); ++i)
            if (Colors[i] == Font.Color) color = int(i);
        if (color < 0) {
            Colors.push_back(Font.Color);
            color = int(Colors.size()) - 1;
            CurrentColor = color;
            Body += "\\cf" + Number(color + 1);
        } else if (color != CurrentColor) {
            CurrentColor = color;
            Body += "\\cf" + Number(color + 1);
        }
        if (Font.Size != CurrentSize) {
            CurrentSize = Font.Size;
            Body += "\\fs" + Number(2 * Font.Size);
        }
        Body += ' ';
        for (char16_t unit : PairedSurrogates(Text))
            Body += "\\u" + Number(int16_t(unit)) + "\\'3f";
        if (Font.Style & fsUnderline) Body += "\\ul0";
        if (Font.Style & fsItalic) Body += "\\i0";
        if (Font.Style & fsBold) Body += "\\b0";
    }

    std::string Document() const {
        // The only 8-bit text are the font names, which are in CP1251.
        std::string out = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1043{\\fonttbl";
        for (size_t i = 0; i < Fonts.size(); ++i)
            out += "{\\f" + Number(int64_t(i)) + " " + RtfFontName(Fonts[i]) + ";}";
        out += "}{\\colortbl;";
        for (TColor color : Colors) {
            const TColor rgb = ColorToRGB(color);
            out += "\\red" + Number(GetRValue(rgb)) + "\\green" + Number(GetGValue(rgb)) + "\\blue" +
                   Number(GetBValue(rgb)) + ";";
        }
        return out + "}" + Body + "}";
    }
};

const char* RtfAlignment(TAlignment Alignment) {
    return Alignment == taRightJustify ? "\\qr" : Alignment == taCenter ? "\\qc" : "";
}

const char* HtmlAlignment(TAlignment Alignment) {
    return Alignment == taRightJustify ? " align=right"
           : Alignment == taCenter     ? " align=center"
                                       : " align=left";
}

// Twips of a length in screen pixels, halves to even.
int64_t Twips(int64_t Pixels) {
    return int64_t(std::nearbyint(double(Pixels) * 1440.0 / ScreenPixelsPerInch));
}

} // namespace

// ---- What goes out -----------------------------------------------------------------------

namespace {

TExportNodes CollectNodes(TCustomVirtualStringTree& Tree, TTextSourceKind Source) {
    TExportNodes result;
    PVirtualNode node = nullptr;
    auto next = [&](PVirtualNode Node) -> PVirtualNode {
        switch (Source) {
        case skAll:
            return Node ? Tree.GetNext(Node) : Tree.GetFirst();
        case skInitialized:
            return Node ? Tree.GetNextInitialized(Node) : Tree.GetFirstInitialized();
        case skSelected:
            return Node ? Tree.GetNextSelected(Node) : Tree.GetFirstSelected();
        case skCutCopy:
            return Node ? Tree.GetNextCutCopy(Node) : Tree.GetFirstCutCopy();
        case skVisible:
            return Node ? Tree.GetNextVisible(Node) : Tree.GetFirstVisible();
        }
        return nullptr;
    };
    for (node = next(nullptr); node; node = next(node)) {
        result.Nodes.push_back(node);
        result.MaxLevel = std::max(result.MaxLevel, Tree.GetNodeLevel(node));
    }
    return result;
}

} // namespace

// ---- Text and CSV ------------------------------------------------------------------------

AnsiString TCustomVirtualStringTree::ExportToText(TTextSourceKind Source, char Separator) {
    const TExportNodes exported = CollectNodes(*this, Source);
    const TColumnsArray columns = Header()->Columns()->GetVisibleColumns();
    const bool useColumns = Header()->HasColumns();
    const TColumnIndex main = Header()->MainColumn();
    const AnsiString levelPad(exported.MaxLevel, Separator);
    AnsiString out;
    if (useColumns) {
        for (size_t i = 0; i < columns.size(); ++i) {
            out += QuotedCell(WideToAnsi(columns[i]->Text()), Separator);
            if (i + 1 == columns.size()) break;
            if (columns[i]->Index() == main) out += levelPad;
            out += Separator;
        }
        out += "\r\n";
    }
    for (PVirtualNode node : exported.Nodes) {
        const uint32_t level = GetNodeLevel(node);
        if (!useColumns) {
            out += levelPad.substr(0, level);
            out += QuotedCell(WideToAnsi(GetCellText(node, NoColumn)), Separator);
            out += "\r\n";
            continue;
        }
        for (size_t i = 0; i < columns.size(); ++i) {
            const TColumnIndex column = columns[i]->Index();
            const AnsiString text = QuotedCell(WideToAnsi(GetCellText(node, column)), Separator);
            if (column == main)
                out += levelPad.substr(0, level) + text + levelPad.substr(0, exported.MaxLevel - level);
            else
                out += text;
            if (i + 1 < columns.size()) out += Separator;
        }
        out += "\r\n";
    }
    return out;
}

WideString TCustomVirtualStringTree::ExportToUnicodeText(TTextSourceKind Source, char16_t Separator) {
    const TExportNodes exported = CollectNodes(*this, Source);
    const TColumnsArray columns = Header()->Columns()->GetVisibleColumns();
    const bool useColumns = Header()->HasColumns();
    const TColumnIndex main = Header()->MainColumn();
    const WideString levelPad(exported.MaxLevel, Separator);
    WideString out;
    if (useColumns) {
        for (size_t i = 0; i < columns.size(); ++i) {
            out += QuotedCell(PairedSurrogates(columns[i]->Text()), Separator);
            if (i + 1 == columns.size()) break;
            if (columns[i]->Index() == main) out += levelPad;
            out += Separator;
        }
        out += u"\r\n";
    }
    for (PVirtualNode node : exported.Nodes) {
        const uint32_t level = GetNodeLevel(node);
        if (!useColumns) {
            out += levelPad.substr(0, level);
            out += QuotedCell(PairedSurrogates(GetCellText(node, NoColumn)), Separator);
            out += u"\r\n";
            continue;
        }
        for (size_t i = 0; i < columns.size(); ++i) {
            const TColumnIndex column = columns[i]->Index();
            const WideString text = QuotedCell(PairedSurrogates(GetCellText(node, column)), Separator);
            if (column == main)
                out += levelPad.substr(0, level) + text + levelPad.substr(0, exported.MaxLevel - level);
            else
                out += text;
            if (i + 1 < columns.size()) out += Separator;
        }
        out += u"\r\n";
    }
    return out;
}

// ---- RTF ---------------------------------------------------------------------------------

AnsiString TCustomVirtualStringTree::ExportToRTF(TTextSourceKind Source) {
    const TExportNodes exported = CollectNodes(*this, Source);
    const TColumnsArray columns = Header()->Columns()->GetVisibleColumns();
    const bool useColumns = Header()->HasColumns();
    const TColumnIndex main = Header()->MainColumn();
    TCanvas* canvas = Canvas();
    RedirectFontChangeEvent(canvas);
    TScopeGuard restore([&] { RestoreFontChangeEvent(canvas); });

    TRtfWriter rtf;
    std::string& body = rtf.Body;
    body += "\\uc1\\trowd\\trgaph70";
    if (useColumns) {
        int64_t right = 0;
        for (TVirtualTreeColumn* column : columns) {
            right += column->Width();
            body += "\\cellx" + Number(Twips(right));
        }
    } else {
        body += "\\cellx" + Number(Twips(ClientRect().Width()));
    }
    if (useColumns) {
        body += "\\pard\\intbl";
        for (TVirtualTreeColumn* column : columns) {
            body += RtfAlignment(Mirrored(column->Alignment(), RightToLeft(column->BiDiMode())));
            rtf.Text(column->Text(), LookOf(Header()->Font()));
            body += "\\cell";
        }
        body += "\\row";
    }
    uint32_t currentLevel = 0;
    std::string tabs;
    for (PVirtualNode node : exported.Nodes) {
        const uint32_t level = GetNodeLevel(node);
        const size_t passes = useColumns ? columns.size() : 1;
        for (size_t i = 0; i < passes; ++i) {
            const TColumnIndex column = useColumns ? columns[i]->Index() : NoColumn;
            const WideString text = GetCellText(node, column);
            body += "\\pard\\intbl";
            const TAlignment alignment =
                useColumns ? Mirrored(columns[i]->Alignment(), RightToLeft(columns[i]->BiDiMode()))
                           : Mirrored(Alignment(), UseRightToLeftAlignment());
            body += RtfAlignment(alignment);
            canvas->Font()->Assign(Font());
            DoPaintText(node, canvas, column, ttNormal);
            if (column == main || !useColumns) {
                if (level != currentLevel) {
                    currentLevel = level;
                    tabs.clear();
                    for (uint32_t t = 0; t < level; ++t)
                        tabs += "\\tab";
                }
                if (level > 0) body += tabs + " ";
            }
            rtf.Text(text, LookOf(*canvas->Font()));
            body += "\\cell";
        }
        body += "\\row";
    }
    body += "\\pard\\par";
    return rtf.Document();
}

// ---- HTML --------------------------------------------------------------------------------

namespace {
// The encoding of the texts, as the clipboard's envelope declares it too.
constexpr const char* HTMLCharset = "<META http-equiv=Content-Type content=\"text/html; charset=utf-8\">";
} // namespace

AnsiString TCustomVirtualStringTree::ExportToHTML(TTextSourceKind Source, const WideString& Caption) {
    // Before the style sheet, the declaration opens the head that the parser
    // supplies; the rest is the fragment the clipboard's envelope holds.
    return HTMLCharset + std::string("\r\n") + ExportHTMLFragment(Source, Caption);
}

AnsiString TCustomVirtualStringTree::ExportHTMLFragment(TTextSourceKind Source, const WideString& Caption) {
    const TExportNodes exported = CollectNodes(*this, Source);
    const TColumnsArray columns = Header()->Columns()->GetVisibleColumns();
    const bool useColumns = Header()->HasColumns();
    const TColumnIndex main = Header()->MainColumn();
    const uint32_t maxLevel = exported.MaxLevel;
    TCanvas* canvas = Canvas();
    RedirectFontChangeEvent(canvas);
    TScopeGuard restore([&] { RestoreFontChangeEvent(canvas); });

    const std::string margin = Number(Margin());
    const std::string cellPad = "padding-left:" + margin + "px;padding-right:" + margin + "px;";
    const std::string indentWidth = Number(Indent());
    std::string tableAttributes = " ";
    if (!Caption.empty()) tableAttributes += "caption=\"" + HtmlText(Caption) + "\"";
    if (BorderStyle() != TBorderStyle::bsNone)
        tableAttributes += " border=\"" + Number(BorderWidth() + 1) + "\" frame=box";
    const TVTPaintOptions paint = TreeOptions()->PaintOptions();
    const std::string lineStyle = LineStyle() == lsSolid ? "solid;" : "dotted;";

    std::string out;
    out += "<style type=\"text/css\">\r\n";
    out += HtmlStyle(LookOf(*Font()), "default") + "\r\n";
    out += HtmlStyle(LookOf(Header()->Font()), "header") + "\r\n";
    if (paint.Contains(toShowHorzGridLines))
        out += ".noborder{border-style:" + lineStyle +
               " border-bottom:1;border-left:0;border-right:0; border-top:0;";
    else
        out += ".noborder{border-style:none;";
    out += cellPad + "}\r\n";
    out += ".normalborder {border-top:none; border-left:none; ";
    out += paint.Contains(toShowVertGridLines) ? "border-right:1 " + lineStyle
                                               : std::string("border-right:none;");
    out += paint.Contains(toShowHorzGridLines) ? "border-bottom:1 " + lineStyle
                                               : std::string("border-bottom:none;");
    out += cellPad + "}</style>\r\n";
    out += "<table class=\"default\" bgcolor=" + HtmlColor(Color()) + tableAttributes +
           " cellspacing=\"0\" cellpadding=" + margin + ">\r\n";

    if (useColumns) {
        out += "<tr class=\"header\" style=\"" + cellPad + "\">\r\n";
        for (TVirtualTreeColumn* column : columns) {
            out += "<th height=\"" + Number(Header()->Height()) + "px\"";
            const bool rtl = RightToLeft(column->BiDiMode());
            if (rtl) out += " dir=\"rtl\"";
            out += HtmlAlignment(Mirrored(column->Alignment(), rtl));
            if (maxLevel > 0 && column->Index() == main) out += " colspan=\"" + Number(maxLevel + 1) + "\"";
            out += " bgcolor=" + HtmlColor(clBtnFace);
            out += " width=\"" + Number(column->Width()) + "px\">";
            out += HtmlText(column->Text());
            out += "</th>";
        }
        out += "</tr>\r\n";
    }
    for (PVirtualNode node : exported.Nodes) {
        const uint32_t level = GetNodeLevel(node);
        const std::string height = Number(GetNodeHeight(node));
        out += " <tr class=\"default\">\r\n";
        const size_t passes = useColumns ? columns.size() : 1;
        for (size_t i = 0; i < passes; ++i) {
            TVirtualTreeColumn* col = useColumns ? columns[i] : nullptr;
            const TColumnIndex column = col ? col->Index() : NoColumn;
            canvas->Font()->Assign(Font());
            const TFontLook before = LookOf(*canvas->Font());
            DoPaintText(node, canvas, column, ttNormal);
            const TFontLook look = LookOf(*canvas->Font());
            if (column == main || !useColumns) {
                const bool plain = !col || col->Options().Contains(coParentColor);
                for (uint32_t l = 0; l < level; ++l) {
                    if (plain)
                        out += l == 0 ? " <td height=\"" + height + "px\">&nbsp;</td>"
                                      : std::string(" <td>&nbsp;</td>");
                    else
                        out += "<td class=\"noborder\" width=\"" + indentWidth + "\" height=\"" + height +
                               "px\" bgcolor=" + HtmlColor(col->Color()) + ">&nbsp;</td>";
                }
            }
            if (!(look == before))
                out += " <td class=\"normalborder\" " + HtmlStyle(look, nullptr) + " height=\"" + height;
            else
                out += " <td class=\"normalborder\"  height=\"" + height;
            out += "px\"";
            const bool rtl = col ? RightToLeft(col->BiDiMode()) : UseRightToLeftAlignment();
            if (rtl) out += " dir=\"rtl\"";
            out += HtmlAlignment(Mirrored(col ? col->Alignment() : Alignment(), rtl));
            if ((column == main || !useColumns) && maxLevel > 0 && level < maxLevel)
                out += " colspan=\"" + Number(maxLevel - level + 1) + "\"";
            if (col && !col->Options().Contains(coParentColor)) out += " bgcolor=" + HtmlColor(col->Color());
            out += ">" + HtmlText(GetCellText(node, column)) + "</td>";
        }
        out += " </tr>\r\n";
    }
    out += "</table>";
    return out;
}

void WrapClipboardHTML(AnsiString& HTML) {
    static constexpr const char* DocType = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
    static const std::string Opening =
        "<html><head>" + std::string(HTMLCharset) + "</head><body><!--StartFragment-->";
    static constexpr const char* Closing = "<!--EndFragment--></body></html>";
    const size_t n = HTML.size();
    auto line = [](const char* Name, size_t Value) {
        char text[64];
        std::snprintf(text, sizeof(text), "%s%.8zu\r\n", Name, Value);
        return std::string(text);
    };
    std::string out = "Version:1.0\r\n";
    const size_t startHtml = 97;
    const size_t startFragment = startHtml + std::strlen(DocType) + Opening.size();
    const size_t endFragment = startFragment + n;
    out += line("StartHTML:", startHtml);
    out += line("EndHTML:", endFragment + std::strlen(Closing));
    out += line("StartFragment:", startFragment);
    out += line("EndFragment:", endFragment);
    out.reserve(out.size() + startFragment + n + 64);
    out += DocType;
    out += Opening;
    out += HTML;
    out += Closing;
    HTML = std::move(out);
}

char ListSeparator() {
    return FormatSettings.DecimalSeparator == ',' ? ';' : ',';
}

// ---- Rendering ---------------------------------------------------------------------------

HGLOBAL TCustomVirtualStringTree::RenderClipboardData(TClipFormat Format, TTextSourceKind Source) {
    std::string bytes;
    if (Format == CF_TEXT) {
        bytes = ExportToText(Source, '\t');
        bytes += '\0';
    } else if (Format == CF_UNICODETEXT) {
        const WideString text = ExportToUnicodeText(Source, u'\t') + u'\0';
        bytes.resize(2 * text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            bytes[2 * i] = char(text[i] & 0xFF);
            bytes[2 * i + 1] = char(text[i] >> 8);
        }
    } else if (Format == CSVFormat()) {
        bytes = ExportToText(Source, ListSeparator());
        bytes += '\0';
    } else if (Format == RTFFormat() || Format == RTFNoObjectsFormat()) {
        bytes = ExportToRTF(Source);
        bytes += '\0';
    } else if (Format == HTMLFormat()) {
        bytes = ExportHTMLFragment(Source, {});
        WrapClipboardHTML(bytes);
        bytes += '\0';
    } else {
        return nullptr;
    }
    return GlobalBlock(bytes.data(), bytes.size());
}

HRESULT TCustomVirtualStringTree::RenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium,
                                                bool ForClipboard) {
    HRESULT result = TBaseVirtualTree::RenderOLEData(FormatEtcIn, Medium, ForClipboard);
    if (SUCCEEDED(result)) return result;
    HGLOBAL block;
    try {
        block = RenderClipboardData(FormatEtcIn.cfFormat, ForClipboard ? skCutCopy : skSelected);
    } catch (...) {
        Medium = STGMEDIUM{};
        return E_FAIL;
    }
    if (!block) return result;
    Medium = STGMEDIUM{};
    Medium.tymed = TYMED_HGLOBAL;
    Medium.hGlobal = std::move(block);
    return S_OK;
}
