// How a page is zoomed: to the whole page, to the page width, or by a
// percentage; a document's page setup keeps one and the print preview
// zooms by one.
#pragma once

#include <cstdint>

enum TRVZoomMode : uint8_t { rvzmFullPage, rvzmPageWidth, rvzmCustom };
