// The clipboard formats of the rich-text family, registered once by name.
#pragma once

#include "platform/gui/DataObject.h"

extern TClipFormat ClipboardFormatRVF; // the family's own format
extern TClipFormat ClipboardFormatRTF;
extern TClipFormat ClipboardFormatURL;
extern TClipFormat ClipboardFormatHTML;
// Registers the four (again only when needed).
void RegisterClipboardFormats();
