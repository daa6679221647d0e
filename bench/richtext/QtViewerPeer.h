// The viewer benchmark's peer: a read-only Qt text edit showing the same
// text in a window of the same size, behind an interface without Qt types.
#pragma once

#include <memory>
#include <string>

class TQtViewerPeer {
public:
    virtual ~TQtViewerPeer() = default;
    // Each step answers milliseconds, the window painted when it returns.
    virtual double OpenAndPaint(const std::u16string& Text) = 0;
    virtual double ScrollToEndAndPaint() = 0;
    virtual double ResizeAndPaint(int Width, int Height) = 0;
    virtual void Close() = 0;
};

std::unique_ptr<TQtViewerPeer> MakeQtViewerPeer(int Width, int Height);
