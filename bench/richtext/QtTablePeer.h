// The table benchmark's peer: the same table laid out by Qt's own text
// document, behind an interface without Qt types.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TQtTablePeer {
public:
    virtual ~TQtTablePeer() = default;
    // Lays the whole document out again for Width pixels; milliseconds.
    virtual double LayOut(int Width) = 0;
    virtual int64_t Height() = 0;
    virtual int64_t Cells() = 0;
};

// A table of Texts (rows of cells) in Arial 13 pixels, cell padding 1 and
// spacing 2, as the engine's table has them.
std::unique_ptr<TQtTablePeer> MakeQtTablePeer(const std::vector<std::vector<std::u16string>>& Texts);
