// Cursors: standard and made cursors, the cursor shown now, the screen's
// cursors by id and its cursor for the whole program, and the asking of the
// window under the mouse for its cursor.
#include "platform/gui/Cursors.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <map>
#include <optional>

#include "platform/gui/Forms.h"
#include "platform/gui/QtEvents_p.h"
#include "platform/gui/QtSupport_p.h"

// A standard cursor makes its Qt cursor on first use, so that cursors can be
// handed out before the Qt application exists.
struct TCursorImage {
    bool Made = false;
    Qt::CursorShape Shape = Qt::ArrowCursor;
    std::optional<QCursor> FQtCursor;
    const QCursor& Cursor() {
        if (!FQtCursor) FQtCursor = QCursor(Shape);
        return *FQtCursor;
    }
};

namespace {
HCURSOR gShown = nullptr;
// The widget whose cursor SetCursor changes: the one the mouse was last
// asked about.
QPointer<QWidget> gCursorWidget;
// A standard control's own cursor, kept on its widget when the layer first
// puts another there.
const char* const ClassCursorProperty = "luvoraClassCursor";

Qt::CursorShape Shape(TCursor Id) {
    switch (Id) {
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
    case crVSplit:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
    case crHSplit:
        return Qt::SizeHorCursor;
    case crHourGlass:
        return Qt::WaitCursor;
    case crNo:
    case crNoDrop:
        return Qt::ForbiddenCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crDrag:
    case crMultiDrag:
        return Qt::DragMoveCursor;
    default:
        return Qt::ArrowCursor;
    }
}

// A standard control's widget shows the control's cursor, or its own.
void ShowOnStandardWidget(TWinControl* Control) {
    QWidget* w = Control->Widget();
    TCursor id = Screen->Cursor() != crDefault ? Screen->Cursor() : Control->Cursor();
    if (id != crDefault) {
        if (!w->property(ClassCursorProperty).isValid())
            w->setProperty(ClassCursorProperty, w->testAttribute(Qt::WA_SetCursor)
                                                    ? QVariant::fromValue(w->cursor())
                                                    : QVariant(0));
        w->setCursor(QtCursor(Screen->Cursors(id)));
        return;
    }
    QVariant own = w->property(ClassCursorProperty);
    if (!own.isValid()) return;
    if (own.userType() == QMetaType::QCursor)
        w->setCursor(own.value<QCursor>());
    else
        w->unsetCursor();
}
} // namespace

HCURSOR StandardCursor(TCursor Id) {
    static const TCursor ids[] = {crDefault,  crArrow,  crCross,     crIBeam,    crSizeNESW, crSizeNS,
                                  crSizeNWSE, crSizeWE, crHourGlass, crDrag,     crNoDrop,   crHSplit,
                                  crVSplit,   crNo,     crHandPoint, crMultiDrag};
    static std::map<TCursor, TCursorImage> standard;
    if (standard.empty())
        for (TCursor id : ids)
            standard[id].Shape = Shape(id);
    auto it = standard.find(Id);
    return it == standard.end() ? &standard[crDefault] : &it->second;
}

HCURSOR CreateCursorFromBitmap(TBitmap* Image, int HotX, int HotY) {
    EnsureQtApplication();
    QImage image = static_cast<const QImage*>(Image->Image())->convertToFormat(QImage::Format_ARGB32);
    if (Image->Transparent) {
        QRgb see = QtColor(Image->TransparentColor()).rgb();
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] | 0xFF000000u) == see) line[x] = 0;
        }
    }
    auto* cursor = new TCursorImage;
    cursor->Made = true;
    cursor->FQtCursor = QCursor(QPixmap::fromImage(image), HotX, HotY);
    return cursor;
}

void DestroyCursor(HCURSOR Cursor) {
    if (!Cursor || !Cursor->Made) return;
    if (gShown == Cursor) gShown = nullptr;
    delete Cursor;
}

HCURSOR SetCursor(HCURSOR Cursor) {
    HCURSOR old = gShown;
    gShown = Cursor;
    if (Cursor && gCursorWidget) gCursorWidget->setCursor(const_cast<TCursorImage*>(Cursor)->Cursor());
    return old;
}

HCURSOR GetCursor() {
    return gShown;
}

const QCursor& QtCursor(HCURSOR Cursor) {
    return const_cast<TCursorImage*>(Cursor ? Cursor : StandardCursor(crDefault))->Cursor();
}

// The screen's cursors

HCURSOR TScreen::Cursors(TCursor Id) const {
    auto it = FCursors.find(Id);
    return it != FCursors.end() ? it->second.get() : StandardCursor(Id);
}

void TScreen::SetCursors(TCursor Id, HCURSOR Cursor) {
    if (!Cursor) {
        FCursors.erase(Id);
        return;
    }
    // A standard cursor belongs to its own table, which may be gone by the
    // time the screen is freed at exit: only made cursors are the screen's.
    FCursors[Id] =
        Cursor->Made
            ? std::shared_ptr<const TCursorImage>(Cursor, [](const TCursorImage* C) { DestroyCursor(C); })
            : std::shared_ptr<const TCursorImage>(Cursor, [](const TCursorImage*) {});
}

void TScreen::SetCursor(TCursor Value) {
    if (Value == FCursor) return;
    TCursor old = FCursor;
    FCursor = Value;
    if (!QApplication::instance()) return;
    if (old != crDefault) QApplication::restoreOverrideCursor();
    if (Value != crDefault) QApplication::setOverrideCursor(QtCursor(Cursors(Value)));
}

// Asking the window under the mouse

void AskCursor(TWinControl* Window) {
    if (!Window->HandleAllocated() || !IsLayerWidget(Window->Widget())) return;
    gCursorWidget = Window->Widget();
    TPoint at = Mouse.CursorPos();
    CallAtEventBoundary(Window, [&] {
        LRESULT hit = Window->Perform(WM_NCHITTEST, 0, MAKELPARAM(at.X, at.Y));
        Window->Perform(WM_SETCURSOR, WPARAM(Window), MAKELPARAM(int(hit), int(WM_MOUSEMOVE)));
    });
    if (gShown && gCursorWidget) gCursorWidget->setCursor(const_cast<TCursorImage*>(gShown)->Cursor());
}

void CursorChanged(TControl* Control) {
    auto* window = dynamic_cast<TWinControl*>(Control);
    if (!window) window = Control->Parent();
    if (!window || !window->HandleAllocated()) return;
    if (!IsLayerWidget(window->Widget())) {
        ShowOnStandardWidget(window);
        return;
    }
    // The window's own cursor, until the mouse asks; the window under the
    // mouse shows the change at once, unless the mouse is held.
    if (Control == window) window->Widget()->setCursor(QtCursor(Screen->Cursors(window->Cursor())));
    TControl* under = Mouse.Control();
    if (GetCaptureControl() || !under || (under != window && under->Parent() != window)) return;
    AskCursor(window);
}
