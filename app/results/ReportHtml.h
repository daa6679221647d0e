// The report HTML read into a document of the engine: the plain tags the
// report templates use (paragraphs, headings, bold, italic, underline, line
// breaks, lists, tables, rules, pictures) become text and paragraph styles,
// text items, rules and pictures; everything else is read as its text.
#pragma once

#include "platform/rtl/SysUtils.h"

class TCustomRVData;
class TRVStyle;

struct TReportHtmlOptions {
    // Picture sizes and paragraph spacing are multiplied by it: a document
    // laid out at a printer's resolution keeps the screen's proportions.
    double Scale = 1;
    // Pictures are read from the files the HTML names; off, they are left
    // out (the fuzz target reads no files).
    bool ReadPictures = true;
};

// Empties Style and Data and fills them from Html (CP1251). Malformed markup
// is read as far as it makes sense and never raises; a picture that cannot
// be read is left out.
void ReadReportHtml(const AnsiString& Html, TCustomRVData& Data, TRVStyle& Style,
                    const TReportHtmlOptions& Options = {});
