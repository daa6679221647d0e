// The viewer's life, settings, document operations, painting and saving.
#include "richtext/engine/view/ZoroZudo.h"

#include "platform/gui/Forms.h"
#include "platform/rtl/Classes.h"
#include "richtext/engine/view/ZoroZudo_p.h"

// ---------------------------------------------------------------- the host

bool TRVViewerHost::FocusNextControl(bool Backward) {
    TWinControl* root = GetParentForm(&FViewer);
    if (!root) root = FViewer.Parent();
    if (!root) return false;
    std::vector<TWinControl*> list = root->TabOrderList();
    if (list.empty()) return false;
    int start = -1;
    for (int i = 0; i < int(list.size()); ++i)
        if (list[size_t(i)] == &FViewer) start = i;
    const int n = int(list.size());
    if (start < 0) start = Backward ? 0 : n - 1;
    for (int i = (start + (Backward ? n - 1 : 1)) % n; i != start; i = (i + (Backward ? n - 1 : 1)) % n) {
        TWinControl* c = list[size_t(i)];
        if (c == &FViewer || FViewer.ContainsControl(c)) continue;
        if (c->CanFocus() && c->TabStop()) {
            c->SetFocus();
            return true;
        }
    }
    return false;
}

void TRVViewerHost::ShowHint(const AnsiString& Text) {
    FViewer.SetHint(Text);
    if (!Application) return;
    if (Text.empty())
        Application->CancelHint();
    else
        Application->ActivateHint(Mouse.CursorPos());
}

void TRVViewerHost::SetTimer(unsigned Id, unsigned Milliseconds) {
    if (!FViewer.HandleAllocated()) return;
    std::unique_ptr<TTimer>& timer = FTimers[Id];
    if (!timer) {
        timer = std::make_unique<TTimer>(nullptr);
        TCustomZoroZudo* viewer = &FViewer;
        timer->OnTimer = [viewer, Id](TObject*) { viewer->WMTimer(Id); };
    }
    timer->SetEnabled(false);
    timer->SetInterval(std::max(1u, Milliseconds));
    timer->SetEnabled(true);
}

void TRVViewerHost::KillTimer(unsigned Id) {
    auto it = FTimers.find(Id);
    if (it != FTimers.end() && it->second) it->second->SetEnabled(false);
}

// ---------------------------------------------------------------- life

TCustomZoroZudo::TCustomZoroZudo(TComponent* AOwner) : TRVScroller(AOwner) {
    FHost = std::make_unique<TRVViewerHost>(*this);
    FRVData = CreateData();
    SetColor(clNone);
    SetBounds(Left(), Top(), 100, 40);
    SetBorderStyle(TBorderStyle::bsSingle);
}

TCustomZoroZudo::~TCustomZoroZudo() {
    SetComponentState(csDestroying, true);
    StopScrollTimer();
    ClearDocument();
    FRVData.reset();
    if (FSettings.Style) FSettings.Style->RemoveFreeNotification(this);
}

IRVControlHost& TCustomZoroZudo::ControlHost() const {
    return *FHost;
}

std::unique_ptr<TZoroZudoRVData> TCustomZoroZudo::CreateData() {
    return std::make_unique<TZoroZudoRVData>(*FHost);
}

void TCustomZoroZudo::SetStyle(TRVStyle* Value) {
    if (FSettings.Style == Value) return;
    if (FSettings.Style) FSettings.Style->RemoveFreeNotification(this);
    FSettings.Style = Value;
    if (Value) Value->FreeNotification(this);
    if (FSettings.Options & rvoFormatInvalidate) Invalidate();
}

void TCustomZoroZudo::Notification(TComponent* AComponent, TOperation Operation) {
    TRVScroller::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FSettings.Style) {
        // The document's layout refers to the styles that go.
        FSettings.Style = nullptr;
        if (FRVData) FRVData->ResetFormatting();
        Invalidate();
    }
}

void TCustomZoroZudo::SetDocColor(TColor Value) {
    FSettings.Color = Value;
    Invalidate();
}

TColor TCustomZoroZudo::GetEffectiveColor() const {
    if (FSettings.Color != clNone) return FSettings.Color;
    return FSettings.Style ? FSettings.Style->Color : clWindow;
}

// ---------------------------------------------------------------- the document

void TCustomZoroZudo::ResetFormatting() {
    StopScrollTimer();
    FRVData->ResetFormatting();
}

void TCustomZoroZudo::ClearDocument() {
    ResetFormatting();
    FRVData->Clear();
}

void TCustomZoroZudo::FormatWith(bool Preserve, bool Force, bool ItemFlagA, bool ItemFlagB) {
    FRVData->FormatDocument(Preserve, Force, false, 0, Canvas(), false, ItemFlagB, ItemFlagA);
}

void TCustomZoroZudo::FormatDocument() {
    if (VSmallStep() == 0 || (ComponentState() & csDesigning)) return;
    FormatWith(false, true, false, true);
    if (FSettings.Options & rvoFormatInvalidate) Invalidate();
}

void TCustomZoroZudo::ReformatKeepingPosition() {
    if (VSmallStep() == 0 || (ComponentState() & csDesigning)) return;
    FormatWith(true, true, true, true);
    if (FSettings.Options & rvoFormatInvalidate) Invalidate();
}

void TCustomZoroZudo::Resized() {
    // Re-wraps only when the width available changed.
    if (FRVData && FSettings.Style && HandleAllocated()) FormatWith(true, false, false, false);
}

void TCustomZoroZudo::UpdateScrollBarsForClient() {
    if (FRVData && FRVData->ItemCount() > 0)
        Resized();
    else
        TRVScroller::UpdateScrollBarsForClient();
}

void TCustomZoroZudo::ResetScrollPositions() {
    if (FRVData && FRVData->ItemCount() > 0) return;
    TRVScroller::ResetScrollPositions();
}

void TCustomZoroZudo::SetVSmallStep(int Value) {
    if (Value <= 0) return;
    if (VScrollVisible() && FRVData && FRVData->DocumentHeight / Value > RVMaxScrollSteps) return;
    TRVScroller::SetVSmallStep(Value);
}

bool TCustomZoroZudo::SelectionExists() const {
    int startNo, endNo, startOffs, endOffs;
    FRVData->GetSelectionItemBounds(startNo, endNo, startOffs, endOffs, true);
    return startNo >= 0 && endNo >= 0 && (startNo != endNo || startOffs != endOffs);
}

void TCustomZoroZudo::Deselect() {
    FRVData->Deselect(nullptr, true);
    Invalidate();
}

void TCustomZoroZudo::SelectAll() {
    const int n = FRVData->ItemCount();
    if (n == 0) return;
    SetSelectionBounds(0, FRVData->ItemStartOffset(0), n - 1, FRVData->ItemEndOffset(n - 1));
}

void TCustomZoroZudo::SetSelectionBounds(int StartItemNo, int StartOffs, int EndItemNo, int EndOffs) {
    FRVData->StoreSelectionBounds(StartItemNo, StartOffs, EndItemNo, EndOffs);
    FRVData->DoSelect();
    Invalidate();
}

void TCustomZoroZudo::GetSelectionBounds(int& StartItemNo, int& StartOffs, int& EndItemNo,
                                         int& EndOffs) const {
    FRVData->GetSelectionItemBounds(StartItemNo, EndItemNo, StartOffs, EndOffs, false);
}

// ---------------------------------------------------------------- painting

void TCustomZoroZudo::Paint() {
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    if (!FSettings.Style) {
        canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas->Brush()->SetColor(GetEffectiveColor());
        canvas->FillRect(client);
        canvas->Font()->SetName("MS Sans Serif");
        canvas->Font()->SetSize(8);
        canvas->Font()->SetColor(clWindowText);
        canvas->Brush()->SetStyle(TBrushStyle::bsClear);
        TRect r = client;
        canvas->DrawText(AnsiString("Style is not defined\rCreate a TRVStyle object and assign it to ") +
                             Name() + ".Style",
                         r, DT_WORDBREAK);
        PaintBorder(*canvas);
        return;
    }
    std::optional<TRect> clip = canvas->ClipRect();
    TRect area = clip ? *clip : client;
    IntersectRect(area, area, client);
    FRVData->PaintBuffered(*canvas, area);
    PaintBorder(*canvas);
    if (OnPaint) OnPaint(this, canvas, false);
}

// ---------------------------------------------------------------- saving

bool TCustomZoroZudo::SaveRtf(TStream& Stream, bool SelectionOnly) {
    return FRVData->SaveRtf(Stream, "", SelectionOnly, 0, FSettings.Color, nullptr, true);
}

bool TCustomZoroZudo::SaveRtfFile(const AnsiString& FileName, bool SelectionOnly) {
    try {
        return FRVData->SaveRtfFile(FileName, SelectionOnly, FSettings.Color);
    } catch (const Exception&) {
        return false;
    }
}

bool TCustomZoroZudo::SaveTextStream(const AnsiString& Path, TStream& Stream, int LineWidth,
                                     bool SelectionOnly, bool TextOnly) {
    return FRVData->SaveTextStream(Path, Stream, LineWidth, SelectionOnly, TextOnly, false, false);
}

bool TCustomZoroZudo::SaveTextStreamW(const AnsiString& Path, TStream& Stream, int LineWidth,
                                      bool SelectionOnly, bool TextOnly) {
    return FRVData->SaveTextStream(Path, Stream, LineWidth, SelectionOnly, TextOnly, true, false);
}

bool TCustomZoroZudo::SaveTextFile(const AnsiString& FileName, int LineWidth) {
    try {
        return FRVData->SaveTextFile(FileName, LineWidth, false);
    } catch (const Exception&) {
        return false;
    }
}

bool TCustomZoroZudo::SaveTextFileW(const AnsiString& FileName, int LineWidth) {
    try {
        return FRVData->SaveTextFile(FileName, LineWidth, true);
    } catch (const Exception&) {
        return false;
    }
}
