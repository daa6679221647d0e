// The widget layer's side of Qt support: the application that hosts widgets.
// The Gui conversions (colours, fonts, text) come from the canvas.
#pragma once

#include "platform/canvas/QtCanvasSupport.h"

// Creates the Qt application on first use (offscreen in tests), one that
// can host widgets.
void EnsureQtApplication();
