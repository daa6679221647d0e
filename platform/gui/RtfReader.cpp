// The RTF reader: groups and their character state, control words, the font
// table, destinations skipped whole, text in its code page and \u escapes.
#include "platform/gui/RtfReader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>

namespace {
constexpr int DefaultFontSize = 24;
// Half-points; a larger size is damage, not a font.
constexpr long MaxFontSize = 3276;
constexpr unsigned CyrillicCodePage = 1251;
constexpr unsigned WesternCodePage = 1252;
// A reader of nesting deeper than this stops: no document of ours nests so.
constexpr std::size_t MaxDepth = 1000;

// Characters 0x80 to 0x9F of code page 1252; 0xA0 on are Latin-1's.
constexpr char16_t Western80[32] = {0x20AC, u'?',   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, u'?',   0x017D, u'?',
                                    u'?',   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, u'?',   0x017E, 0x0178};

char16_t DecodeByte(unsigned char Byte, unsigned CodePage) {
    if (Byte < 0x80) return Byte;
    if (CodePage == CyrillicCodePage) {
        WideString w = AnsiToWide(std::string_view(reinterpret_cast<const char*>(&Byte), 1));
        return w.empty() ? u'?' : w[0];
    }
    if (CodePage == WesternCodePage) return Byte < 0xA0 ? Western80[Byte - 0x80] : char16_t(Byte);
    return u'?';
}

unsigned CharsetCodePage(int Charset) {
    switch (Charset) {
    case 0:
        return WesternCodePage;
    case 204:
        return CyrillicCodePage;
    default:
        return 0;
    }
}

// Groups whose content is not text: skipped whole.
const std::set<std::string_view>& SkippedDestinations() {
    static const std::set<std::string_view> names = {"colortbl",
                                                     "stylesheet",
                                                     "info",
                                                     "pict",
                                                     "object",
                                                     "header",
                                                     "headerl",
                                                     "headerr",
                                                     "headerf",
                                                     "footer",
                                                     "footerl",
                                                     "footerr",
                                                     "footerf",
                                                     "footnote",
                                                     "fldinst",
                                                     "listtable",
                                                     "listoverridetable",
                                                     "revtbl",
                                                     "rsidtbl",
                                                     "generator",
                                                     "xmlnstbl",
                                                     "themedata",
                                                     "colorschememapping",
                                                     "datastore",
                                                     "latentstyles",
                                                     "pgdsctbl",
                                                     "filetbl",
                                                     "bkmkstart",
                                                     "bkmkend",
                                                     "nonshppict",
                                                     "shp",
                                                     "private"};
    return names;
}

struct TCharState {
    int Font = -1;
    int FontSize = DefaultFontSize;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int SkipAfterUnicode = 1;
    TRtfAlignment Alignment = TRtfAlignment::raLeft;
    // A destination that is skipped, or the font table being read.
    enum class TDest { Text, Skip, FontTable } Dest = TDest::Text;
};

class TRtfParser {
public:
    TRtfParser(std::string_view Bytes, std::size_t MaxParts) : FIn(Bytes), FMaxParts(MaxParts) {}
    TRtfDocument Run();

private:
    void ControlWord();
    void ControlSymbol(char C);
    void Text(char16_t C);
    // Ends the paragraph; an empty one only when Always.
    void EndParagraph(bool Always);
    void SkipAfterUnicode();
    // Counts Count new paragraphs and runs; false, and reading stops, when
    // they would go past the limit.
    bool NewParts(std::size_t Count);
    void Stop(TRtfCut Cut);
    unsigned CurrentCodePage() const;
    const AnsiString& FontName(int Font) const;

    std::string_view FIn;
    std::size_t FMaxParts;
    std::size_t FParts = 0;
    std::size_t FPos = 0;
    TCharState FState;
    std::vector<TCharState> FStack;
    TRtfDocument FDoc;
    TRtfParagraph FParagraph;
    // The font table: names and character sets by number.
    std::map<int, AnsiString> FFontNames;
    std::map<int, int> FFontCharsets;
    int FTableFont = 0;
    AnsiString FTableName;
    int FDefaultFont = 0;
    unsigned FCodePage = WesternCodePage;
    // The group just opened: its first control word may name a destination.
    bool FGroupStart = false;
};

TRtfDocument TRtfParser::Run() {
    std::size_t start = FIn.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || FIn.substr(start, 5) != "{\\rtf")
        throw ERtfError("The text is not in the rich text format");
    FPos = start;
    while (FPos < FIn.size()) {
        char c = FIn[FPos++];
        switch (c) {
        case '{':
            if (FStack.size() >= MaxDepth) {
                Stop(TRtfCut::rcNesting);
                break;
            }
            FStack.push_back(FState);
            FGroupStart = true;
            continue;
        case '}':
            if (FState.Dest == TCharState::TDest::FontTable && !FTableName.empty()) {
                FFontNames[FTableFont] = FTableName;
                FTableName.clear();
            }
            if (FStack.empty()) {
                FPos = FIn.size(); // the document's own group ended
                break;
            }
            FState = FStack.back();
            FStack.pop_back();
            break;
        case '\\':
            if (FPos < FIn.size() && std::isalpha(static_cast<unsigned char>(FIn[FPos])))
                ControlWord();
            else if (FPos < FIn.size())
                ControlSymbol(FIn[FPos++]);
            break;
        case '\r':
        case '\n':
            continue; // line ends of the file are not text
        default:
            if (FState.Dest != TCharState::TDest::Skip)
                Text(DecodeByte(static_cast<unsigned char>(c), CurrentCodePage()));
            break;
        }
        FGroupStart = false;
    }
    // A paragraph left open at the end counts only when it has text.
    EndParagraph(false);
    return std::move(FDoc);
}

bool TRtfParser::NewParts(std::size_t Count) {
    if (FMaxParts - FParts < Count) {
        Stop(TRtfCut::rcLength);
        return false;
    }
    FParts += Count;
    return true;
}

void TRtfParser::Stop(TRtfCut Cut) {
    if (FDoc.Cut == TRtfCut::rcNone) FDoc.Cut = Cut;
    FPos = FIn.size();
}

unsigned TRtfParser::CurrentCodePage() const {
    auto it = FFontCharsets.find(FState.Font < 0 ? FDefaultFont : FState.Font);
    // Character set 1 is the default set: the document's.
    if (it == FFontCharsets.end() || it->second == 1) return FCodePage;
    return CharsetCodePage(it->second);
}

const AnsiString& TRtfParser::FontName(int Font) const {
    static const AnsiString none;
    auto it = FFontNames.find(Font < 0 ? FDefaultFont : Font);
    return it == FFontNames.end() ? none : it->second;
}

void TRtfParser::Text(char16_t C) {
    if (FState.Dest == TCharState::TDest::FontTable) {
        if (C == u';') {
            FFontNames[FTableFont] = FTableName;
            FTableName.clear();
        } else if (!(C == u' ' && FTableName.empty())) {
            FTableName += WideToAnsi(std::u16string_view(&C, 1));
        }
        return;
    }
    if (FState.Dest != TCharState::TDest::Text) return;
    FParagraph.Alignment = FState.Alignment;
    const AnsiString& font = FontName(FState.Font);
    auto& runs = FParagraph.Runs;
    // The run goes on while the formatting stays: only the formats are
    // compared, so a long run costs no more per character than a short one.
    if (!runs.empty()) {
        TRtfRun& last = runs.back();
        if (last.FontSize == FState.FontSize && last.Bold == FState.Bold && last.Italic == FState.Italic &&
            last.Underline == FState.Underline && last.FontName == font) {
            last.Text += C;
            return;
        }
    }
    // The paragraph counts with its first run.
    if (!NewParts(runs.empty() ? 2 : 1)) return;
    TRtfRun run;
    run.FontName = font;
    run.FontSize = FState.FontSize;
    run.Bold = FState.Bold;
    run.Italic = FState.Italic;
    run.Underline = FState.Underline;
    run.Text = WideString(1, C);
    runs.push_back(std::move(run));
}

void TRtfParser::EndParagraph(bool Always) {
    if (FParagraph.Runs.empty()) {
        if (!Always || !NewParts(1)) return;
        FParagraph.Alignment = FState.Alignment;
    }
    FDoc.Paragraphs.push_back(std::move(FParagraph));
    FParagraph = TRtfParagraph();
}

void TRtfParser::SkipAfterUnicode() {
    // The characters that stand in for a \u character for older readers.
    for (int n = FState.SkipAfterUnicode; n > 0 && FPos < FIn.size();) {
        char c = FIn[FPos];
        if (c == '{' || c == '}') break;
        if (c == '\r' || c == '\n') {
            ++FPos;
            continue;
        }
        if (c == '\\') {
            if (FPos + 1 < FIn.size() && FIn[FPos + 1] == '\'') {
                FPos = std::min(FPos + 4, FIn.size());
            } else if (FPos + 1 < FIn.size() && !std::isalpha(static_cast<unsigned char>(FIn[FPos + 1]))) {
                FPos += 2;
            } else {
                ++FPos;
                while (FPos < FIn.size() && std::isalpha(static_cast<unsigned char>(FIn[FPos])))
                    ++FPos;
                if (FPos < FIn.size() &&
                    (FIn[FPos] == '-' || std::isdigit(static_cast<unsigned char>(FIn[FPos])))) {
                    ++FPos;
                    while (FPos < FIn.size() && std::isdigit(static_cast<unsigned char>(FIn[FPos])))
                        ++FPos;
                }
                if (FPos < FIn.size() && FIn[FPos] == ' ') ++FPos;
            }
        } else {
            ++FPos;
        }
        --n;
    }
}

void TRtfParser::ControlSymbol(char C) {
    bool skipping = FState.Dest == TCharState::TDest::Skip;
    switch (C) {
    case '*':
        // An optional destination: a reader that does not know it skips it.
        if (FGroupStart) FState.Dest = TCharState::TDest::Skip;
        return;
    case '\'': {
        if (FPos + 2 > FIn.size()) {
            FPos = FIn.size();
            return;
        }
        char hex[3] = {FIn[FPos], FIn[FPos + 1], 0};
        FPos += 2;
        char* end = nullptr;
        long byte = std::strtol(hex, &end, 16);
        if (end != hex + 2 || skipping) return;
        Text(DecodeByte(static_cast<unsigned char>(byte), CurrentCodePage()));
        return;
    }
    case '~':
        if (!skipping) Text(0x00A0);
        return;
    case '_':
        if (!skipping) Text(0x2011);
        return;
    case '-':
        return; // an optional hyphen shows only where a line breaks
    case '\r':
    case '\n':
        if (!skipping) EndParagraph(true);
        return;
    default:
        // "\\", "\{", "\}" and other symbols stand for themselves.
        if (!skipping) Text(char16_t(static_cast<unsigned char>(C)));
        return;
    }
}

void TRtfParser::ControlWord() {
    std::size_t start = FPos;
    while (FPos < FIn.size() && std::isalpha(static_cast<unsigned char>(FIn[FPos])))
        ++FPos;
    std::string_view word = FIn.substr(start, FPos - start);
    bool hasValue = false;
    long value = 0;
    std::size_t numStart = FPos;
    if (FPos < FIn.size() && FIn[FPos] == '-') ++FPos;
    while (FPos < FIn.size() && std::isdigit(static_cast<unsigned char>(FIn[FPos])) && FPos - numStart < 10)
        ++FPos;
    if (FPos > numStart && !(FPos == numStart + 1 && FIn[numStart] == '-')) {
        hasValue = true;
        value = std::strtol(std::string(FIn.substr(numStart, FPos - numStart)).c_str(), nullptr, 10);
    } else {
        FPos = numStart;
    }
    if (FPos < FIn.size() && FIn[FPos] == ' ') ++FPos;
    bool groupStart = FGroupStart;

    if (groupStart && (SkippedDestinations().count(word) || FState.Dest == TCharState::TDest::Skip)) {
        FState.Dest = TCharState::TDest::Skip;
        return;
    }
    if (word == "fonttbl") {
        FState.Dest = TCharState::TDest::FontTable;
        return;
    }
    if (FState.Dest == TCharState::TDest::Skip) return;
    if (FState.Dest == TCharState::TDest::FontTable) {
        if (word == "f" && hasValue) {
            FTableFont = int(value);
            FTableName.clear();
        } else if (word == "fcharset" && hasValue) {
            FFontCharsets[FTableFont] = int(value);
        }
        return;
    }

    auto on = [&] { return !hasValue || value != 0; };
    if (word == "par") {
        EndParagraph(true);
    } else if (word == "pard") {
        FState.Alignment = TRtfAlignment::raLeft;
    } else if (word == "ql") {
        FState.Alignment = TRtfAlignment::raLeft;
    } else if (word == "qc") {
        FState.Alignment = TRtfAlignment::raCenter;
    } else if (word == "qr") {
        FState.Alignment = TRtfAlignment::raRight;
    } else if (word == "qj") {
        FState.Alignment = TRtfAlignment::raJustify;
    } else if (word == "plain") {
        FState.Font = -1;
        FState.FontSize = DefaultFontSize;
        FState.Bold = FState.Italic = FState.Underline = false;
    } else if (word == "b") {
        FState.Bold = on();
    } else if (word == "i") {
        FState.Italic = on();
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "uldash" ||
               word == "ulth" || word == "ulwave") {
        FState.Underline = on();
    } else if (word == "ulnone") {
        FState.Underline = false;
    } else if (word == "f" && hasValue) {
        FState.Font = int(value);
    } else if (word == "fs" && hasValue && value > 0 && value <= MaxFontSize) {
        FState.FontSize = int(value);
    } else if (word == "deff" && hasValue) {
        FDefaultFont = int(value);
    } else if (word == "ansicpg" && hasValue) {
        FCodePage = unsigned(value);
    } else if (word == "uc" && hasValue && value >= 0) {
        FState.SkipAfterUnicode = int(value);
    } else if (word == "u" && hasValue) {
        // Signed 16-bit as RTF writes them; anything else is no character.
        Text(value < -0x8000 || value > 0xFFFF ? u'?' : char16_t(value < 0 ? value + 0x10000 : value));
        SkipAfterUnicode();
    } else if (word == "line") {
        Text(u'\n');
    } else if (word == "tab" || word == "cell") {
        Text(u'\t');
    } else if (word == "row") {
        EndParagraph(true);
    } else if (word == "emdash") {
        Text(0x2014);
    } else if (word == "endash") {
        Text(0x2013);
    } else if (word == "lquote") {
        Text(0x2018);
    } else if (word == "rquote") {
        Text(0x2019);
    } else if (word == "ldblquote") {
        Text(0x201C);
    } else if (word == "rdblquote") {
        Text(0x201D);
    } else if (word == "bullet") {
        Text(0x2022);
    }
}
} // namespace

WideString TRtfParagraph::Text() const {
    WideString out;
    for (const TRtfRun& r : Runs)
        out += r.Text;
    return out;
}

WideString TRtfDocument::Text() const {
    WideString out;
    for (const TRtfParagraph& p : Paragraphs)
        out += p.Text() + u"\n";
    return out;
}

std::size_t TRtfDocument::PartCount() const {
    std::size_t parts = Paragraphs.size();
    for (const TRtfParagraph& p : Paragraphs)
        parts += p.Runs.size();
    return parts;
}

TRtfDocument ReadRtf(std::string_view Bytes, std::size_t MaxParts) {
    return TRtfParser(Bytes, MaxParts).Run();
}
