// The Qt side of data transfer, for the clipboard and drag and drop
// sources: the Qt clipboard, the Qt drag and the drop targets' widgets.
#pragma once

#include "platform/gui/Clipbrd.h"
#include "platform/gui/DragDrop.h"

IClipboardService* QtClipboardService();
IDragService* QtDragService();
// Lets Control's widget take drops for its registered target, or stop.
void AcceptQtDrops(TWinControl* Control, bool Accept);
