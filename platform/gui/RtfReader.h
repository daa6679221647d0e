// The rich text the layer's rich-text box shows: paragraphs of runs with
// their character formatting, and the reader that makes it from RTF bytes.
// The reader takes what the program's own instruction text uses and drops
// the rest (colours, tables, pictures, fields' codes, indents and spacing).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/rtl/SysUtils.h"

enum class TRtfAlignment { raLeft, raCenter, raRight, raJustify };

struct TRtfRun {
    // A line break inside the paragraph is '\n', a tab '\t'.
    WideString Text;
    AnsiString FontName;
    // Half-points, as RTF counts them.
    int FontSize = 24;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    friend bool operator==(const TRtfRun&, const TRtfRun&) = default;
};

struct TRtfParagraph {
    TRtfAlignment Alignment = TRtfAlignment::raLeft;
    std::vector<TRtfRun> Runs;
    WideString Text() const;
};

// Where a reader stopped before the end of its input: at groups nested
// deeper than it follows, or at the number of paragraphs and runs it was
// asked to keep at most. The text after that point is missing.
enum class TRtfCut { rcNone, rcNesting, rcLength };

struct TRtfDocument {
    std::vector<TRtfParagraph> Paragraphs;
    TRtfCut Cut = TRtfCut::rcNone;
    // The paragraphs' texts, each ended by a line break ("\n").
    WideString Text() const;
    // Paragraphs and runs together: what showing the document costs.
    std::size_t PartCount() const;
};

class ERtfError : public Exception {
public:
    using Exception::Exception;
};

// Reads RTF bytes. Raises ERtfError when they are not RTF (no "{\\rtf"
// header); a document that ends early keeps what was read, and one nested
// too deep, or of more than MaxParts paragraphs and runs, keeps what came
// before and says where it was cut. Text bytes decode in the font's
// character set or the document's code page: 1251 (Cyrillic), 1252
// (Western) or, for any other, "?"; \\u escapes give their characters. Time
// and memory grow linearly with the bytes.
TRtfDocument ReadRtf(std::string_view Bytes, std::size_t MaxParts = SIZE_MAX);
