// The print benchmark's peer: the same report units printed to a PDF file
// by Qt's own text document, behind an interface without Qt types.
#pragma once

#include <string>
#include <vector>

#include "ReportText.h"

// One unit of a report: its paragraphs, the rows of its table (cells of
// text) and the size of its picture in pixels.
struct TPrintUnit {
    std::vector<TReportParagraph> Paragraphs;
    std::vector<std::vector<std::u16string>> Table;
    int PictureWidth = 200;
    int PictureHeight = 120;
};

std::vector<TPrintUnit> MakePrintUnits(int Count);

// Builds a document of the units and prints it to Pdf on A4 at 600 dpi
// with margins of 20 mm; answers the milliseconds of printing alone.
// Qt's application object for the peer's printing, kept for the run.
void StartQtPeer(int& Argc, char** Argv);
double QtPrintToPdf(const std::vector<TPrintUnit>& Units, const std::string& Pdf);
