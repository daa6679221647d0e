// The rich-text clipboard formats.
#include "richtext/engine/view/RVClipFormats.h"

#include "platform/gui/Clipbrd.h"

TClipFormat ClipboardFormatRVF = 0;
TClipFormat ClipboardFormatRTF = 0;
TClipFormat ClipboardFormatURL = 0;
TClipFormat ClipboardFormatHTML = 0;

void RegisterClipboardFormats() {
    if (ClipboardFormatRVF) return;
    ClipboardFormatRVF = RegisterClipboardFormat("ZoroZudo Format");
    ClipboardFormatRTF = RegisterClipboardFormat("Rich Text Format");
    ClipboardFormatURL = RegisterClipboardFormat("UniformResourceLocator");
    ClipboardFormatHTML = RegisterClipboardFormat("HTML Format");
}
