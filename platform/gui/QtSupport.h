// Conversions at the layer's boundary with Qt, for the layer's own sources.
// Only declarations here: the sources that call them include Qt themselves.
#pragma once

#include "platform/gui/Graphics.h"

class QColor;
class QFont;
class QString;

QColor QtColor(TColor Color);
TColor FromQtColor(const QColor& Color);
QFont QtFont(const TFont* Font);
// CP1251 to and from Qt's Unicode.
QString QtString(const AnsiString& Text);
AnsiString FromQtString(const QString& Text);
// Creates the Qt application object on first use (offscreen in tests).
void EnsureQtApplication();
