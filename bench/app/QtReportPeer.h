// The results benchmark's peer: the same report HTML shown by Qt's own text
// document in a read-only text box, behind an interface without Qt types.
#pragma once

#include <memory>
#include <string>

class TQtReportPeer {
public:
    virtual ~TQtReportPeer() = default;
    // Replaces the box's document by Html (UTF-8) and paints the box once
    // it is on screen.
    virtual void Show(const std::string& Html) = 0;
    virtual void Close() = 0;
};

std::unique_ptr<TQtReportPeer> MakeQtReportPeer(int Width, int Height);
