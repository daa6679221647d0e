// What the editing data's tests share: an editor stand-in that records what
// the data tells it, a top-level editing document with a view's geometry on
// the fixed-metrics canvas, a style sheet with the styles the caret and the
// primitives care about, and a document written out item by item.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "platform/testing/TestCanvases.h"
#include "richtext/editor/edit/RVERVData.h"
#include "richtext/editor/edit/RVERVDataCheck.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/engine/viewdata/RVControlHost.h"

class TFakeEditor : public TRVEditorLink {
public:
    TRVEditRVData* Data = nullptr;
    bool ReadOnly = false;
    TRVEditorOptions Options = RVDefaultEditorOptions;
    bool Focused = true;
    int CustomCaretInterval = 0;
    bool Modified = false;
    int Changes = 0;
    int CaretMoves = 0;
    int TextStyleEvents = 0;
    int ParaStyleEvents = 0;
    int Beeps = 0;
    bool CaretShown = false;
    TRect ShownCaret;

    bool IsReadOnly() const override { return ReadOnly; }
    TRVEditorOptions GetEditorOptions() const override { return Options; }
    bool IsFocused() const override { return Focused; }
    bool IsDestroying() const override { return false; }
    int GetCustomCaretInterval() const override { return CustomCaretInterval; }
    void SetModified(bool Value) override { Modified = Value; }
    void DoChange(bool ClearRedo) override {
        Modified = true;
        ++Changes;
        if (ClearRedo) Data->RedoList->Clear();
    }
    void DoCaretMove() override { ++CaretMoves; }
    void SetCurTextStyleNo(int Value) override {
        if (Value != Data->CurrentTextStyle || (Data->EditStates & rvesStylesAnnounceAgain)) {
            Data->CurrentTextStyle = Value;
            ++TextStyleEvents;
        }
        Data->EditStates &= ~TRVEditStates(rvesStylesAnnounceAgain);
    }
    void SetCurParaStyleNo(int Value) override {
        if (Value != Data->CurrentParaStyle || (Data->EditStates & rvesStylesAnnounceAgain)) {
            Data->CurrentParaStyle = Value;
            ++ParaStyleEvents;
        }
        Data->EditStates &= ~TRVEditStates(rvesStylesAnnounceAgain);
    }
    void ShowSystemCaret(const TRect& Rect) override {
        CaretShown = true;
        ShownCaret = Rect;
    }
    void HideSystemCaret() override { CaretShown = false; }
    void Beep() override { ++Beeps; }
    bool ItemTextEdit(const AnsiString&, TCustomRVData*, int, TRVTag&, int&) override { return false; }
};

// The control side of a document without a window: a client area of
// Width x Height on a canvas, no margins, an editor's flags.
class TTestHost : public IRVControlHost {
public:
    TRVControlSettings Config;
    TRVControlEvents Handlers;
    TObject Control;
    TCanvas* DrawCanvas = nullptr;
    int Width = 200;
    int Height = 100;
    int AreaWidth = 0, AreaHeight = 0;

    TTestHost() {
        Config.LeftMargin = Config.RightMargin = Config.TopMargin = Config.BottomMargin = 0;
        Config.Flags = RVEditorControlFlags;
    }
    TRVControlSettings& Settings() override { return Config; }
    TRVControlEvents& Events() override { return Handlers; }
    TObject* Sender() override { return &Control; }
    bool HasWindow() const override { return true; }
    bool Destroying() const override { return false; }
    int ClientWidth() const override { return Width; }
    int ClientHeight() const override { return Height; }
    int HScrollPosition() const override { return 0; }
    int VScrollPosition() const override { return 0; }
    int VSmallStep() const override { return 10; }
    int DocumentAreaWidth() const override { return AreaWidth; }
    int DocumentAreaHeight() const override { return AreaHeight; }
    bool VScrollVisible() const override { return false; }
    void UpdateScrollBars(int W, int H, bool, bool) override {
        AreaWidth = W;
        AreaHeight = H;
    }
    void VScrollTo(int, bool) override {}
    void HScrollTo(int) override {}
    void SetVSmallStep(int) override {}
    TCanvas* Canvas() override { return DrawCanvas; }
    void Invalidate() override {}
    void InvalidateRect(const TRect&) override {}
    void Update() override {}
    void SetFocus() override {}
    bool FocusNextControl(bool) override { return false; }
    void SetCursor(TCursor) override {}
    void ShowHint(const AnsiString&) override {}
    void SetTimer(unsigned, unsigned) override {}
    void KillTimer(unsigned) override {}
};

struct TTestHostHolder {
    TTestHost TestHost;
};

// An editing document as an editor control's would be, without a window.
class TTestEditData : private TTestHostHolder, public TRVEditRVData {
public:
    TTestEditData(TRVStyle* AStyle, TCanvas* ACanvas, TRVEditorLink* AEditor)
        : TRVEditRVData(TestHost, AEditor) {
        TestHost.Config.Style = AStyle;
        TestHost.DrawCanvas = ACanvas;
    }
    TRVControlSettings& Config() { return TestHost.Config; }
    int& Width = TestHost.Width;
    int& Height = TestHost.Height;
};

// Text styles: 0 and 1 plain, 2 a hyperlink, 3 kept from automatic
// switching, 4 Unicode. Paragraph styles: 0 and 1 plain, 2 protected.
// Characters are 8 pixels wide, lines 14 high.
inline std::unique_ptr<TRVStyle> MakeEditStyle() {
    auto style = std::make_unique<TRVStyle>(nullptr);
    style->TextStyles().Clear();
    style->TextStyles().Add();
    style->TextStyles().Add()->Style = TFontStyles(fsBold);
    TFontInfo* link = style->TextStyles().Add();
    link->Jump = true;
    link->HoverColor = clRed;
    style->TextStyles().Add()->Protection = rvprDoNotAutoSwitch;
    style->TextStyles().Add()->Unicode = true;
    style->ParaStyles().Clear();
    style->ParaStyles().Add();
    style->ParaStyles().Add()->FirstIndent = 8;
    style->ParaStyles().Add()->Options = rvpaoStyleProtect;
    return style;
}

// Everything undo must give back, item by item.
inline std::vector<std::string> ItemStates(const TCustomRVData& Data) {
    std::vector<std::string> out;
    for (int i = 0; i < Data.ItemCount(); ++i) {
        const TCustomRVItemInfo& item = Data.LiveItem(i);
        std::ostringstream s;
        s << typeid(item).name() << " s" << item.StyleNo << " p" << item.ParaNo << " o"
          << int(item.ItemOptions) << " '" << Data.GetItemText(i) << "'";
        if (const auto* n = std::get_if<int32_t>(&item.Tag))
            s << " t" << *n;
        else
            s << " t'" << std::get<AnsiString>(item.Tag) << "'";
        if (item.Checkpoint) s << " cp'" << item.Checkpoint->Name << "'" << item.Checkpoint->Persistent;
        int value;
        if (item.GetExtraIntProperty(rvepUnremovable, value)) s << " u" << value;
        if (item.GetExtraIntProperty(rvepSpacing, value)) s << " sp" << value;
        s << " a" << item.GetAssociatedTextStyleNo();
        out.push_back(s.str());
    }
    std::ostringstream end;
    end << "checkpoints " << Data.CheckpointCount << (Data.PendingCheckpoint ? " pending" : "");
    out.push_back(end.str());
    return out;
}

// The drawing items as "item:offs+length left,top widthxheight".
inline std::vector<std::string> DrawStates(const TCustomRVFormattedData& Data) {
    std::vector<std::string> out;
    for (int i = 0; i < Data.DrawItems.Count(); ++i) {
        const TRVDrawLineInfo& d = *Data.DrawItems[i];
        std::ostringstream s;
        s << d.ItemNo << ':' << d.Offs << '+' << d.Length << ' ' << d.Left << ',' << d.Top << ' ' << d.Width
          << 'x' << d.Height << (d.FromNewLine ? " N" : "");
        out.push_back(s.str());
    }
    return out;
}
