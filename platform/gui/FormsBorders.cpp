// The form's frame and place: border style and icons as window flags, size
// constraints, and the position a window takes when it first shows.
#include <QWidget>
#include <algorithm>

#include "platform/gui/Forms.h"

namespace {
bool Sizeable(TFormBorderStyle Style) {
    return Style == TFormBorderStyle::bsSizeable || Style == TFormBorderStyle::bsSizeToolWin;
}
} // namespace

// TSizeConstraints

void TSizeConstraints::SetMinWidth(int Value) {
    FMinWidth = std::max(0, Value);
    Changed();
}

void TSizeConstraints::SetMinHeight(int Value) {
    FMinHeight = std::max(0, Value);
    Changed();
}

void TSizeConstraints::SetMaxWidth(int Value) {
    FMaxWidth = std::max(0, Value);
    Changed();
}

void TSizeConstraints::SetMaxHeight(int Value) {
    FMaxHeight = std::max(0, Value);
    Changed();
}

void TSizeConstraints::Apply(int& Width, int& Height) const {
    if (FMaxWidth > 0) Width = std::min(Width, FMaxWidth);
    if (FMaxHeight > 0) Height = std::min(Height, FMaxHeight);
    Width = std::max(Width, FMinWidth);
    Height = std::max(Height, FMinHeight);
}

void TSizeConstraints::Changed() {
    // The form takes the new limits at once.
    FForm->SetBounds(FForm->Left(), FForm->Top(), FForm->Width(), FForm->Height());
}

// TCustomForm

void TCustomForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    FConstraints->Apply(AWidth, AHeight);
    if (FWindowState == TWindowState::wsNormal) FNormalBounds = Bounds(ALeft, ATop, AWidth, AHeight);
    if (HandleAllocated()) {
        // Loose while the size changes, so Qt takes the new one.
        Widget()->setMinimumSize(0, 0);
        Widget()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (HandleAllocated()) ApplySizeLimits();
}

TMinMaxInfo TCustomForm::MinMaxInfo() {
    TMinMaxInfo info;
    TRect work = Screen->WorkAreaRect();
    info.ptMaxSize = {work.Width(), work.Height()};
    info.ptMaxPosition = {work.Left, work.Top};
    info.ptMinTrackSize = {FConstraints->MinWidth(), FConstraints->MinHeight()};
    info.ptMaxTrackSize = {FConstraints->MaxWidth() ? FConstraints->MaxWidth() : QWIDGETSIZE_MAX,
                           FConstraints->MaxHeight() ? FConstraints->MaxHeight() : QWIDGETSIZE_MAX};
    Perform(WM_GETMINMAXINFO, 0, LPARAM(&info));
    return info;
}

void TCustomForm::UpdateSizeLimits() {
    if (HandleAllocated()) ApplySizeLimits();
}

void TCustomForm::ApplySizeLimits() {
    QWidget* w = Widget();
    if (!Sizeable(FBorderStyle)) {
        w->setFixedSize(Width(), Height());
        return;
    }
    TMinMaxInfo info = MinMaxInfo();
    w->setMinimumSize(std::max(0, info.ptMinTrackSize.X), std::max(0, info.ptMinTrackSize.Y));
    w->setMaximumSize(std::clamp(info.ptMaxTrackSize.X, 0, QWIDGETSIZE_MAX),
                      std::clamp(info.ptMaxTrackSize.Y, 0, QWIDGETSIZE_MAX));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    FBorderStyle = Value;
    if (HandleAllocated()) ApplyBorder();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    FBorderIcons = Value;
    if (HandleAllocated()) ApplyBorder();
}

void TCustomForm::ApplyBorder() {
    QWidget* w = Widget();
    if (!w->isWindow()) return;
    bool visible = w->isVisible();
    // What other settings chose stays.
    Qt::WindowFlags keep = w->windowFlags() & (Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    Qt::WindowFlags f = keep;
    bool small =
        FBorderStyle == TFormBorderStyle::bsToolWindow || FBorderStyle == TFormBorderStyle::bsSizeToolWin;
    bool dialog = FBorderStyle == TFormBorderStyle::bsDialog;
    f |= small ? Qt::Tool : dialog ? Qt::Dialog : Qt::Window;
    if (FBorderStyle == TFormBorderStyle::bsNone) {
        f |= Qt::FramelessWindowHint;
    } else {
        f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (FBorderIcons & biSystemMenu) {
            f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            // Tool windows and dialogs have no minimise or maximise buttons.
            if (!small && !dialog) {
                if (FBorderIcons & biMinimize) f |= Qt::WindowMinimizeButtonHint;
                if (FBorderIcons & biMaximize) f |= Qt::WindowMaximizeButtonHint;
            }
        }
    }
    if (f != w->windowFlags()) {
        w->setWindowFlags(f);
        // Changing the flags hides a window.
        if (visible) w->show();
    }
    ApplySizeLimits();
}

void TCustomForm::ApplyPosition() {
    if (FPositioned) return;
    FPositioned = true;
    TRect area{0, 0, Screen->Width(), Screen->Height()};
    TCustomForm* over = nullptr;
    switch (FPosition) {
    case TPosition::poMainFormCenter:
        over = Application->MainForm();
        break;
    case TPosition::poOwnerFormCenter:
        over = dynamic_cast<TCustomForm*>(Owner());
        if (!over) over = Application->MainForm();
        break;
    case TPosition::poScreenCenter:
    case TPosition::poDesktopCenter:
        break;
    default:
        return;
    }
    if (over && over != this && over->Visible()) area = over->BoundsRect();
    SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(),
              Height());
}
