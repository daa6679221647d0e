// Named colour tables and shared types of the library.
#pragma once

#include <array>

#include "platform/canvas/Graphics.h"

struct TDefColorItem {
    TColor ColorValue;
    const char* IdentName;
    const char* DisplayName;
};

enum class TJvGradientStyle { grFilled, grEllipse, grHorizontal, grVertical, grPyramid, grMount };

extern const std::array<TDefColorItem, 20> StandardColorTable;
extern const std::array<TDefColorItem, 40> PaletteColorTable;
extern const std::array<TDefColorItem, 30> SystemColorTable;
