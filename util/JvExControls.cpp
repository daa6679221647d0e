// The extended control base classes: mouse enter and leave, hint colour,
// change notifications and the focus and hover frame.
#include "util/JvExControls.h"

#include "util/JclUnitVersioning.h"
#include "util/JvBaseDlg.h"
#include "util/JvBrowseFolder.h"
#include "util/JvButton.h"
#include "util/JvCaret.h"
#include "util/JvEdit.h"
#include "util/JvExGrids.h"
#include "util/JvExStdCtrls.h"
#include "util/JvFixedEditPopUp.h"
#include "util/JvMaskEdit.h"
#include "util/JvMaxPixel.h"
#include "util/JvPickDate.h"
#include "util/JvProgressUtils.h"
#include "util/JvResources.h"
#include "util/JvSpeedButton.h"
#include "util/JvToolEdit.h"

LIBRARY_UNIT_VERSION("util/JvExControls.cpp", "1", "2026-12-10", "JvLib\\run")

// The units that come with the extended controls and hold nothing but their
// version record: nothing calls into them, so without this reference a
// static link would leave them, and their records, out.
extern void (*const JvExLinkedUnits[])();
void (*const JvExLinkedUnits[])() = {
    &UseJvResourcesUnit,    &UseJvExStdCtrlsUnit,     &UseJvProgressUtilsUnit, &UseJvButtonUnit,
    &UseJvSpeedButtonUnit,  &UseJvExGridsUnit,        &UseJvPickDateUnit,      &UseJvBaseDlgUnit,
    &UseJvBrowseFolderUnit, &UseJvToolEditUnit,       &UseJvCaretUnit,         &UseJvMaskEditUnit,
    &UseJvMaxPixelUnit,     &UseJvFixedEditPopUpUnit, &UseJvEditUnit,
};

namespace {
struct TDlgcPair {
    TDialogCodeFlags Flag;
    unsigned Dlgc;
};
const TDlgcPair DlgcTable[] = {{dcfWantAllKeys, DLGC_WANTALLKEYS}, {dcfWantArrows, DLGC_WANTARROWS},
                               {dcfWantChars, DLGC_WANTCHARS},     {dcfButton, DLGC_BUTTON},
                               {dcfHasSetSel, DLGC_HASSETSEL},     {dcfWantTab, DLGC_WANTTAB}};
} // namespace

TDialogCodeFlags DlgcToDialogCodeFlags(unsigned Dlgc) {
    TDialogCodeFlags flags = 0;
    for (const auto& p : DlgcTable)
        if (Dlgc & p.Dlgc) flags |= p.Flag;
    return flags;
}

unsigned DialogCodeFlagsToDlgc(TDialogCodeFlags Flags) {
    unsigned dlgc = 0;
    for (const auto& p : DlgcTable)
        if (Flags & p.Flag) dlgc |= p.Dlgc;
    return dlgc;
}

uint32_t ShiftStateToKeyFlags(TShiftState Shift) {
    uint32_t flags = 0;
    if (Shift & ssAlt) flags |= 0x20000000;
    if (Shift & ssCtrl) flags |= 0x10000000;
    if (Shift & ssShift) flags |= 0x08000000;
    return flags;
}

void ResolveHintColor(THintInfo& HintInfo, TControl* Control, TColor Color) {
    if (Color == clNone) {
        HintInfo.HintColor = Application->HintColor();
    } else if (Color == clDefault) {
        if (Control && Control->Parent()) {
            THintInfo copy = HintInfo;
            Control->Parent()->Perform(CM_HINTSHOW, 0, LPARAM(&copy));
            HintInfo.HintColor = copy.HintColor;
        }
    } else {
        HintInfo.HintColor = Color;
    }
}

bool RouteDesignMessage(TControl* Control, TMessage& Message) {
    // Controls are designed in code here: no form carries a designer to
    // offer a message to.
    (void)Control;
    (void)Message;
    return false;
}

TJvExGraphicControl::TJvExGraphicControl(TComponent* AOwner) : TJvExControlBase<TGraphicControl>(AOwner) {}

void TJvExGraphicControl::WndProc(TMessage& Message) {
    if (RouteDesignMessage(this, Message)) return;
    if (!DispatchCommon(Message)) TGraphicControl::WndProc(Message);
}

TJvExCustomControl::TJvExCustomControl(TComponent* AOwner) : TJvExWinControl<TCustomControl>(AOwner) {}
