// What the standard controls' sources share: the control's colours on its
// widget, and the caption as a Qt widget shows it.
#pragma once

#include "platform/gui/Controls.h"

class QWidget;
class QString;

// Gives Widget the control's font colour for its text and, when Fill, its
// Color as the background, which the widget then paints itself.
void ApplyControlColors(QWidget* Widget, const TControl* Control, bool Fill);
// Keeps Widget's colours with the control's: call from Dispatch with every
// message; it acts on the font and colour messages.
void FollowControlColors(TWinControl* Control, unsigned Msg, bool Fill);
// A caption with its accelerator ("&Name") for a Qt button, whose own
// mnemonics are the same; the layer, not Qt, presses a button for its
// accelerator.
QString QtCaption(const AnsiString& Caption);
// A caption shown without accelerator marks.
QString QtPlainCaption(const AnsiString& Caption, bool ShowAccelChar);
// A control answers its accelerator: CM_DIALOGCHAR with a key that the
// caption marks, while the control can take the focus.
bool IsAccelMessage(const TMessage& Message, const TControl* Control);
