// Conversions at the layer's boundary with Qt Gui (colours, fonts, text)
// and the Qt application that fonts need, for the layer's own sources. Only
// declarations here: the sources that call them include Qt themselves.
#pragma once

#include "platform/canvas/Graphics.h"

class QColor;
class QFont;
class QString;

QColor QtColor(TColor Color);
TColor FromQtColor(const QColor& Color);
// Makes sure the Qt application exists first: fonts need it.
QFont QtFont(const TFont* Font);
// CP1251 to and from Qt's Unicode.
QString QtString(const AnsiString& Text);
AnsiString FromQtString(const QString& Text);

// Creates the Qt application on first use (offscreen without a display): a
// plain Qt Gui one, or the one the installed factory makes. The widget
// layer installs a factory before the program starts, so a program with
// widgets always gets an application that can host them.
void EnsureGuiApplication();
using TQtApplicationFactory = void (*)(int& Argc, char** Argv);
void SetQtApplicationFactory(TQtApplicationFactory Factory);
