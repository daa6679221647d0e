// What the main window's sources share: its caption, its built-in pictures
// and the strip under a page's caption.
#pragma once

#include <cstddef>

#include "platform/gui/Controls.h"

// The pictures of the main window's image list, 16 x 16 each, in one strip.
extern const unsigned char MainImagesPng[];
extern const std::size_t MainImagesPng_SIZE;

// The product and method, the first part of the window's caption.
AnsiString MainCaption();

// The gradient strip Height pixels high at the top of Sheet that a page's
// caption lies on.
TControl* NewCaptionStrip(TComponent* Owner, TWinControl* Sheet, int Height);
