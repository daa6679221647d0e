// The viewer's side of IRVControlHost, shared by the viewer's sources.
#pragma once

#include <map>

#include "platform/gui/ExtCtrls.h"
#include "richtext/engine/view/ZoroZudo.h"

class TRVViewerHost : public IRVControlHost {
public:
    explicit TRVViewerHost(TCustomZoroZudo& Viewer) : FViewer(Viewer) {}

    TRVControlSettings& Settings() override { return FViewer.FSettings; }
    TRVControlEvents& Events() override { return FViewer; }
    TObject* Sender() override { return &FViewer; }
    bool HasWindow() const override { return FViewer.HandleAllocated(); }
    bool Destroying() const override { return FViewer.IsDestroying(); }
    int ClientWidth() const override { return FViewer.ClientWidth(); }
    int ClientHeight() const override { return FViewer.ClientHeight(); }
    int HScrollPosition() const override { return FViewer.HScrollPosition(); }
    int VScrollPosition() const override { return FViewer.VScrollPosition(); }
    int VSmallStep() const override { return FViewer.VSmallStep(); }
    int DocumentAreaWidth() const override { return FViewer.DocumentAreaWidth(); }
    int DocumentAreaHeight() const override { return FViewer.DocumentAreaHeight(); }
    bool VScrollVisible() const override { return FViewer.VScrollVisible(); }
    void UpdateScrollBars(int Width, int Height, bool UpdateH, bool DisableNoScroll) override {
        FViewer.UpdateScrollBars(Width, Height, UpdateH, DisableNoScroll);
    }
    void VScrollTo(int Position, bool Redraw) override { FViewer.VScrollTo(Position, Redraw); }
    void HScrollTo(int Position) override { FViewer.HScrollTo(Position); }
    void SetVSmallStep(int Value) override { FViewer.SetVSmallStep(Value); }
    TCanvas* Canvas() override { return FViewer.Canvas(); }
    void Invalidate() override { FViewer.Invalidate(); }
    void InvalidateRect(const TRect& R) override { FViewer.InvalidateRect(R); }
    void Update() override { FViewer.Update(); }
    void SetFocus() override {
        if (FViewer.CanFocus()) FViewer.SetFocus();
    }
    bool FocusNextControl(bool Backward) override;
    void SetCursor(TCursor Cursor) override { FViewer.SetCursor(Cursor); }
    void ShowHint(const AnsiString& Text) override;
    void SetTimer(unsigned Id, unsigned Milliseconds) override;
    void KillTimer(unsigned Id) override;

private:
    TCustomZoroZudo& FViewer;
    // Window timers on the timer seam: a Qt timer on screen, the manual
    // clock in tests.
    std::map<unsigned, std::unique_ptr<TTimer>> FTimers;
};
