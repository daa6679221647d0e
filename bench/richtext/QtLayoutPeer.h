// The layout benchmark's peer: the same report laid out by Qt's own text
// document, behind an interface without Qt types.
#pragma once

#include <cstdint>
#include <memory>

#include "ReportText.h"

class TQtLayoutPeer {
public:
    virtual ~TQtLayoutPeer() = default;
    // Lays the whole document out for Width pixels; milliseconds.
    virtual double LayOut(int Width) = 0;
    // Types one character into paragraph Paragraph and lays out again.
    virtual double TypeCharacter(int Paragraph) = 0;
    virtual int64_t Lines() = 0;
    virtual int64_t Height() = 0;
    // Characters of text, without paragraph ends.
    virtual int64_t Characters() = 0;
    // Paints the viewport of Width x Height at document y Top onto an
    // image; milliseconds.
    virtual double PaintViewport(int Top, int Width, int Height) = 0;
};

// The report in a text document of the same fonts (Arial, 13 and 19 pixels
// high, no kerning), paragraph spacing and bullet indent as the engine's.
std::unique_ptr<TQtLayoutPeer> MakeQtLayoutPeer(const std::vector<TReportParagraph>& Report);
