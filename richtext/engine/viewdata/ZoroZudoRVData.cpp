// The viewer's document data: settings and geometry from the control,
// scroll units, and the events forwarded to the control.
#include "richtext/engine/viewdata/ZoroZudoRVData.h"

#include <algorithm>

#include "richtext/engine/text/RVFuncs.h"

TZoroZudoRVData::TZoroZudoRVData(IRVControlHost& Host) : FHost(Host) {}

TZoroZudoRVData::~TZoroZudoRVData() {
    // The items go while the control still answers their questions.
    Clear();
}

// ---------------------------------------------------------------- settings

bool TZoroZudoRVData::GetWordWrap() const {
    return IsRoot() ? Settings().WordWrap : TRVControlData::GetWordWrap();
}

int TZoroZudoRVData::GetMaxLength() const {
    return IsRoot() ? Settings().MaxLength : TRVControlData::GetMaxLength();
}

TColor TZoroZudoRVData::GetColor() const {
    if (Settings().Color != clNone) return Settings().Color;
    return Settings().Style ? Settings().Style->Color : clWindow;
}

AnsiString TZoroZudoRVData::GetNoteText() const {
    return IsRoot() ? Settings().NoteText : TRVControlData::GetNoteText();
}

TStringList* TZoroZudoRVData::GetDocProperties() const {
    return IsRoot() ? Settings().DocProperties.get() : nullptr;
}

// ---------------------------------------------------------------- geometry

int TZoroZudoRVData::GetVOffs() const {
    return FHost.VScrollPosition() * FHost.VSmallStep() - GetVAlignShift();
}

int TZoroZudoRVData::GetVAlignShift() const {
    int shift = 0;
    switch (Settings().VAlign) {
    case TTextLayout::tlCenter:
        shift = (FHost.ClientHeight() - DocumentHeight) / 2;
        break;
    case TTextLayout::tlBottom:
        shift = FHost.ClientHeight() - DocumentHeight;
        break;
    case TTextLayout::tlTop:
        break;
    }
    return std::max(shift, 0);
}

void TZoroZudoRVData::GetOrigin(int& X, int& Y) const {
    X = 0;
    Y = GetVAlignShift();
}

void TZoroZudoRVData::SetDocumentAreaSize(int Width, int Height, bool UpdateH) {
    const int step = std::max(FHost.VSmallStep(), 1);
    FHost.UpdateScrollBars(Width, (Height + step - 1) / step, UpdateH, true);
}

void TZoroZudoRVData::AdjustVScrollUnits() {
    const int h = DocumentHeight;
    const int step = FHost.VSmallStep();
    if (FHost.VScrollVisible() && step > 0 && h / step > RVMaxScrollSteps) {
        int newStep = h / RVMaxScrollSteps;
        if (h / newStep > RVMaxScrollSteps) ++newStep;
        FHost.SetVSmallStep(newStep);
    } else if (step > RVDefaultScrollStep && h / RVDefaultScrollStep <= RVMaxScrollSteps) {
        FHost.SetVSmallStep(RVDefaultScrollStep);
    }
}

void TZoroZudoRVData::VScrollTo(int Y, bool Redraw) {
    if (StateBits & rvstNoScroll) return;
    FHost.VScrollTo(Y / std::max(FHost.VSmallStep(), 1), Redraw);
}

void TZoroZudoRVData::HScrollTo(int X) {
    if (StateBits & rvstNoScroll) return;
    FHost.HScrollTo(X);
}

void TZoroZudoRVData::InvalidateRect(const TRect& R) {
    TRect r = R;
    OffsetRect(r, -GetHOffs(), -GetVOffs());
    FHost.InvalidateRect(r);
}

void TZoroZudoRVData::ShowRectangle(int Left, int Top, int Width, int Height) {
    const int voffs = GetVOffs() + GetVAlignShift();
    const int client = FHost.ClientHeight();
    if (Top < voffs)
        VScrollTo(Top, true);
    else if (Top + Height > voffs + client)
        VScrollTo(std::min(Top, Top + Height - client), true);
    const int hoffs = GetHOffs();
    const int width = FHost.ClientWidth();
    if (Left < hoffs)
        HScrollTo(Left);
    else if (Left + Width > hoffs + width)
        HScrollTo(std::min(Left, Left + Width - width));
}

int TZoroZudoRVData::GetFirstVisibleItem() const {
    const int d = FindDrawItemByY(GetVOffs());
    return d < 0 ? 0 : DrawItems[d]->ItemNo;
}

int TZoroZudoRVData::GetLastVisibleItem() const {
    const int d = FindDrawItemByY(GetVOffs() + FHost.ClientHeight());
    if (d < 0) return ItemCount() - 1;
    int first, last;
    GetLineDrawItemRange(d, first, last);
    return DrawItems[last]->ItemNo;
}

void TZoroZudoRVData::Clear() {
    TRVControlData::Clear();
}

// ---------------------------------------------------------------- events

void TZoroZudoRVData::DoURLNeeded(int Id, AnsiString& URL) {
    URL.clear();
    if (Events().OnURLNeeded) Events().OnURLNeeded(FHost.Sender(), Id, URL);
}

void TZoroZudoRVData::DoProgress(TRVLongOperation Operation, TRVProgressStage Stage, uint8_t PercentDone) {
    if (Events().OnProgress) Events().OnProgress(FHost.Sender(), Operation, Stage, PercentDone);
}

void TZoroZudoRVData::DoSaveRTFExtra(TRVRTFSaveArea Area, TObject* Obj, int Index1, int Index2,
                                     bool InStyleSheet, AnsiString& RTFCode) {
    if (Events().OnSaveRTFExtra)
        Events().OnSaveRTFExtra(FHost.Sender(), Area, Obj, Index1, Index2, InStyleSheet, RTFCode);
}

void TZoroZudoRVData::DoReadHyperlink(const AnsiString& Target, const AnsiString& Extras,
                                      TRVLoadFormat DocFormat, int& StyleNo, TRVTag& ItemTag,
                                      AnsiString& ItemName) {
    // Linked pictures and images become their hot forms.
    if (StyleNo == rvsBullet) StyleNo = rvsHotspot;
    if (StyleNo == rvsPicture) StyleNo = rvsHotPicture;
    if (Events().OnReadHyperlink)
        Events().OnReadHyperlink(FHost.Sender(), Target, Extras, DocFormat, StyleNo, ItemTag, ItemName);
}

void TZoroZudoRVData::DoWriteHyperlink(int Id, TCustomRVData* RVData, int ItemNo, TRVSaveFormat SaveFormat,
                                       AnsiString& Target, AnsiString& Extras) {
    if (!IsRoot()) {
        TRVControlData::DoWriteHyperlink(Id, RVData, ItemNo, SaveFormat, Target, Extras);
        return;
    }
    AnsiString hint;
    if (RVData && RVData->GetItemExtraStrProperty(ItemNo, rvespHint, hint) && !hint.empty())
        Extras = HintAttribute(SaveFormat == rvsfHTML ? 1 : SaveFormat == rvsfRTF ? 2 : 0, hint);
    if (Events().OnWriteHyperlink)
        Events().OnWriteHyperlink(FHost.Sender(), Id, RVData, ItemNo, SaveFormat, Target, Extras);
    else
        DoURLNeeded(Id, Target);
}

std::unique_ptr<TRVGraphic> TZoroZudoRVData::DoImportPicture(const AnsiString& Location, int Width,
                                                             int Height, bool& Flag) {
    std::unique_ptr<TRVGraphic> graphic;
    if (!Events().OnImportPicture) return graphic;
    TRVControlSettings& settings = FHost.Settings();
    settings.ImportPictureFlag = false;
    Events().OnImportPicture(FHost.Sender(), Location, Width, Height, graphic);
    Flag = settings.ImportPictureFlag;
    settings.ImportPictureFlag = false;
    return graphic;
}

void TZoroZudoRVData::DoItemHint(TCustomRVData* RVData, int ItemNo, const AnsiString& Default,
                                 AnsiString& Hint) {
    Hint.clear();
    if (ItemNo >= 0 && RVData) {
        Hint = RVData->LiveItem(ItemNo).Hint;
        if (Events().OnItemHint) Events().OnItemHint(FHost.Sender(), RVData, ItemNo, Hint);
    }
    if (Hint.empty()) Hint = Default;
}

void TZoroZudoRVData::DoItemAction(TRVItemAction Action, TCustomRVItemInfo* Item, AnsiString& Text,
                                   TCustomRVData* RVData) {
    if (Events().OnItemAction) Events().OnItemAction(FHost.Sender(), Action, Item, Text, RVData);
}

bool TZoroZudoRVData::DoSaveItemToFile(const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                                       TRVSaveFormat SaveFormat, bool Unicode, AnsiString& Text) {
    if (!Events().OnSaveItemToFile) return false;
    bool doDefault = true;
    Events().OnSaveItemToFile(FHost.Sender(), Path, RVData, ItemNo, SaveFormat, Unicode, Text, doDefault);
    return !doDefault;
}

void TZoroZudoRVData::DoCopy() {
    if (Events().OnCopy) Events().OnCopy(FHost.Sender());
}

void TZoroZudoRVData::DoRVMouseUp(TMouseButton Button, TShiftState Shift, int ItemNo, int X, int Y) {
    if (Events().OnRVMouseUp) Events().OnRVMouseUp(FHost.Sender(), Button, Shift, ItemNo, X, Y);
}

void TZoroZudoRVData::DoRVMouseDown(TMouseButton Button, TShiftState Shift, int ItemNo, int X, int Y) {
    if (Events().OnRVMouseDown) Events().OnRVMouseDown(FHost.Sender(), Button, Shift, ItemNo, X, Y);
}

void TZoroZudoRVData::DoRVRightClick(const AnsiString& ClickedWord, int Style, int X, int Y) {
    if (Events().OnRVRightClick) Events().OnRVRightClick(FHost.Sender(), ClickedWord, Style, X, Y);
}

void TZoroZudoRVData::DoRVDblClick(const AnsiString& ClickedWord, int Style) {
    if (Events().OnRVDblClick) Events().OnRVDblClick(FHost.Sender(), ClickedWord, Style);
}

void TZoroZudoRVData::DoJump(int Id) {
    if (Events().OnJump) Events().OnJump(FHost.Sender(), Id);
}

void TZoroZudoRVData::DoRVMouseMove(int Id) {
    if (Events().OnRVMouseMove) Events().OnRVMouseMove(FHost.Sender(), Id);
}

void TZoroZudoRVData::DoSelect() {
    if (Events().OnSelect && !FHost.Destroying() && FHost.HasWindow()) Events().OnSelect(FHost.Sender());
}

void TZoroZudoRVData::DoCheckpointVisible(TCheckpointData Checkpoint) {
    if (Events().OnCheckpointVisible) Events().OnCheckpointVisible(FHost.Sender(), Checkpoint);
}

void TZoroZudoRVData::SetItemHint(const AnsiString& Text) {
    if (!IsRoot()) return;
    if (Text == FLastHint) return;
    FLastHint = Text;
    FHost.ShowHint(Text);
}
