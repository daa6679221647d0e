// The viewer's input: mouse selection with auto-scrolling past the edges,
// keys and shortcuts, the two window timers, posted events of in-place
// editors, copying, and the document seen as a sequence of characters.
#include <algorithm>

#include "platform/gui/Clipbrd.h"
#include "platform/gui/DataObject.h"
#include "platform/gui/ScrollBars.h"
#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/text/RVClasses.h"
#include "richtext/engine/view/RVClipFormats.h"
#include "richtext/engine/view/ZoroZudo.h"
#include "richtext/engine/view/ZoroZudo_p.h"

// ---------------------------------------------------------------- messages

void TCustomZoroZudo::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        Resized();
        TRVScroller::Dispatch(Message);
        return;
    case WM_ERASEBKGND:
        // The buffered paint covers the whole client area.
        Message.Result = 1;
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        if (FRVData->TabNavigation != rvtnNone) {
            Message.Result |= DLGC_WANTTAB;
            if (FRVData->FocusedItemNo >= 0) Message.Result |= DLGC_WANTALLKEYS;
        }
        return;
    case WM_SETFOCUS:
        TRVScroller::Dispatch(Message);
        if (IsDestroying()) return;
        if (FRVData->TabNavigation != rvtnNone) {
            if (!Message.WParam) FRVData->SkipNextTabNavigation = true;
            FRVData->FocusNextItem(GetShiftState() & ssShift, Message.WParam != 0);
        }
        if (FSettings.Style) Invalidate();
        return;
    case WM_KILLFOCUS:
        TRVScroller::Dispatch(Message);
        if (FSettings.Style) Invalidate();
        return;
    case WM_COPY:
        CopySelection();
        return;
    case WM_RVPOSTEDEVENT: {
        FPostPending = false;
        std::vector<TRVMessageData> events;
        events.swap(FPostedEvents);
        for (const TRVMessageData& event : events)
            ReplayEvent(event);
        return;
    }
    default:
        TRVScroller::Dispatch(Message);
    }
}

void TCustomZoroZudo::DoVScrolled() {
    TRVScroller::DoVScrolled();
    GenerateMouseMove();
    AfterScrolled(false);
}

void TCustomZoroZudo::DoHScrolled() {
    TRVScroller::DoHScrolled();
    GenerateMouseMove();
    AfterScrolled(false);
}

void TCustomZoroZudo::AfterScrolled(bool Refresh) {
    if (Refresh) {
        Invalidate();
        Update();
    }
}

// ---------------------------------------------------------------- keys

bool TCustomZoroZudo::IsCopyShortcut(TShiftState Shift, uint16_t Key) {
    return (Shift & ssCtrl) && !(Shift & ssAlt) && (Key == 'C' || Key == VK_INSERT);
}

bool TCustomZoroZudo::IsCutShortcut(TShiftState Shift, uint16_t Key) {
    return ((Shift & ssCtrl) && !(Shift & ssAlt) && Key == 'X') || ((Shift & ssShift) && Key == VK_DELETE);
}

bool TCustomZoroZudo::IsPasteShortcut(TShiftState Shift, uint16_t Key) {
    return ((Shift & ssCtrl) && !(Shift & ssAlt) && Key == 'V') || ((Shift & ssShift) && Key == VK_INSERT);
}

void TCustomZoroZudo::KeyDown(uint16_t& Key, TShiftState Shift) {
    TRVScroller::KeyDown(Key, Shift);
    if (IsCopyShortcut(Shift, Key)) Perform(WM_COPY, 0, 0);
    const TRVTabNavigationType tab = FRVData->TabNavigation;
    if (tab != rvtnNone && Key == VK_TAB && !(Shift & ssAlt) &&
        (((Shift & ssCtrl) && tab == rvtnCtrlTab) || (!(Shift & ssCtrl) && tab == rvtnTab))) {
        FRVData->SkipNextTabNavigation = false;
        FRVData->FocusNextItem(Shift & ssShift, false);
    }
    if (Key == VK_RETURN) FRVData->ExecuteFocusedItem();
}

// ---------------------------------------------------------------- the mouse

void TCustomZoroZudo::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FRVData->SkipNextTabNavigation = true;
    FRVData->MouseDown(Button, Shift, X, Y);
    TRVScroller::MouseDown(Button, Shift, X, Y);
    if (Button == TMouseButton::mbLeft) StartScrollTimer(false);
}

namespace {

int AutoScrollDelta(int P, int Size) {
    if (P < -20) return -10;
    if (P < 0) return -1;
    if (P > Size + 20) return 10;
    if (P > Size) return 1;
    return 0;
}

} // namespace

void TCustomZoroZudo::MouseMove(TShiftState Shift, int X, int Y) {
    FAutoScrollVDelta = AutoScrollDelta(Y, ClientHeight());
    FAutoScrollHDelta = AutoScrollDelta(X, ClientWidth());
    TRVScroller::MouseMove(Shift, X, Y);
    FRVData->MouseMove(Shift, X, Y);
}

void TCustomZoroZudo::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TRVScroller::MouseUp(Button, Shift, X, Y);
    if (Button == TMouseButton::mbLeft) StopScrollTimer();
    // The layer follows a right-button release with WM_CONTEXTMENU, which
    // shows the menu of this control or of its nearest parent that has one.
    FRVData->MouseUp(Button, Shift, X, Y);
}

void TCustomZoroZudo::DblClick() {
    TRVScroller::DblClick();
    FRVData->DblClick();
}

// ---------------------------------------------------------------- timers

void TCustomZoroZudo::StartScrollTimer(bool Slow) {
    if (FScrollTimerActive) return;
    FHost->SetTimer(1, Slow ? 300 : 100);
    FScrollTimerActive = HandleAllocated();
}

void TCustomZoroZudo::StopScrollTimer() {
    if (!FScrollTimerActive) return;
    FHost->KillTimer(1);
    FScrollTimerActive = false;
}

void TCustomZoroZudo::WMTimer(unsigned Id) {
    if (Id != 1) return;
    if (FAutoScrollVDelta) ScrollTo(VScrollPosition() + FAutoScrollVDelta);
    if (FAutoScrollHDelta) HScrollTo(HScrollPosition() + FAutoScrollHDelta);
    if (FAutoScrollVDelta || FAutoScrollHDelta) GenerateMouseMove();
}

void TCustomZoroZudo::GenerateMouseMove() {
    if (!HandleAllocated()) return;
    const TPoint p = ScreenToClient(Mouse.CursorPos());
    if (p.X < 0 || p.Y < 0 || p.X >= ClientWidth() || p.Y >= ClientHeight()) return;
    // The buttons held come with the layer's shift state.
    MouseMove(GetShiftState(), p.X, p.Y);
}

// ---------------------------------------------------------------- posted events

void TCustomZoroZudo::PostEvent(const TRVMessageData& Event) {
    // The records are the control's own: they go with it, and the message
    // that replays them is dropped when the control goes first.
    FPostedEvents.push_back(Event);
    if (FPostPending) return;
    FPostPending = true;
    PostMessage(this, WM_RVPOSTEDEVENT, 0, 0);
}

void TCustomZoroZudo::ReplayEvent(const TRVMessageData& Event) {
    switch (Event.Kind) {
    case rvmkDblClick:
        FRVData->DoRVDblClick(Event.ClickedWord, Event.Style);
        break;
    case rvmkJump:
        FRVData->DoJump(Event.Id);
        break;
    case rvmkMouseUp:
        FRVData->DoRVMouseUp(Event.Button, Event.Shift, Event.ItemNo, Event.X, Event.Y);
        break;
    case rvmkMouseDown:
        FRVData->DoRVMouseDown(Event.Button, Event.Shift, Event.ItemNo, Event.X, Event.Y);
        break;
    case rvmkClick:
        Click();
        break;
    }
}

// ---------------------------------------------------------------- copying

void TCustomZoroZudo::CopySelection() {
    if (!SelectionExists()) return;
    RegisterClipboardFormats();
    TClipboard* clipboard = Clipboard();
    clipboard->Open();
    TScopeGuard close([clipboard] { clipboard->Close(); });
    clipboard->Clear();
    const TRVOptions options = FSettings.Options;
    if (options & rvoAutoCopyRVF) {
        // The native format: its length, then the selection as a document.
        TRVMemoryStream rvf;
        if (FRVData->SaveRvfSelection(rvf, GetEffectiveColor(), nullptr))
            clipboard->SetBlock(ClipboardFormatRVF, MakeSizedBlock(rvf.Memory(), std::size_t(rvf.Size())));
    }
    if (options & (rvoAutoCopyText | rvoAutoCopyUnicodeText)) {
        TRVMemoryStream text;
        FRVData->SaveTextStream("", text, 80, true, true, true, false);
        TBytes block(text.Memory(), text.Memory() + text.Size());
        block.push_back(0);
        block.push_back(0);
        clipboard->SetBlock(CF_UNICODETEXT, std::move(block));
    }
    if (options & rvoAutoCopyRTF) {
        TRVMemoryStream rtf;
        FRVData->SaveRtf(rtf, "", true, 0, GetEffectiveColor(), nullptr, true);
        clipboard->SetBlock(ClipboardFormatRTF, TBytes(rtf.Memory(), rtf.Memory() + rtf.Size()));
    }
    FRVData->DoCopy();
}

// ---------------------------------------------------------------- the document as characters

namespace {

// The characters an item adds: its line break (not for the first item),
// then its text, a tab, or one character for anything else.
int ItemChars(const TCustomRVData& Data, int ItemNo) {
    const int breakChar = ItemNo > 0 && Data.IsFromNewLine(ItemNo) ? 1 : 0;
    const TCustomRVItemInfo& item = Data.LiveItem(ItemNo);
    return breakChar + (item.StyleNo >= 0 ? Data.ItemLength(ItemNo) : 1);
}

} // namespace

int TCustomZoroZudo::ItemToPosition(int ItemNo, int Offs) const {
    const TCustomRVData& data = *FRVData;
    int pos = 0;
    for (int i = 0; i < ItemNo; ++i)
        pos += ItemChars(data, i);
    const int breakChar = ItemNo > 0 && data.IsFromNewLine(ItemNo) ? 1 : 0;
    if (data.LiveItem(ItemNo).StyleNo >= 0) return pos + breakChar + Offs - 1;
    return pos + (Offs > 0 ? ItemChars(data, ItemNo) : breakChar);
}

void TCustomZoroZudo::PositionToItem(int Pos, int& ItemNo, int& Offs) const {
    const TCustomRVData& data = *FRVData;
    const int n = data.ItemCount();
    ItemNo = -1;
    Offs = 0;
    int pos = 0;
    for (int i = 0; i < n; ++i) {
        const int breakChar = i > 0 && data.IsFromNewLine(i) ? 1 : 0;
        const int chars = ItemChars(data, i);
        if (Pos <= pos + chars || i == n - 1) {
            ItemNo = i;
            const int inside = Pos - pos - breakChar;
            if (data.LiveItem(i).StyleNo >= 0)
                Offs = std::clamp(inside + 1, data.ItemStartOffset(i), data.ItemEndOffset(i));
            else
                Offs = inside > 0 ? 1 : 0;
            return;
        }
        pos += chars;
    }
}

void TCustomZoroZudo::GetSelectionPositions(int& Start, int& End) const {
    Start = End = 0;
    if (!SelectionExists()) return;
    int startNo, endNo, startOffs, endOffs;
    FRVData->GetSelectionItemBounds(startNo, endNo, startOffs, endOffs, true);
    Start = ItemToPosition(startNo, startOffs);
    End = ItemToPosition(endNo, endOffs);
    if (Start > End) std::swap(Start, End);
}

void TCustomZoroZudo::SetSelectionPositions(int Start, int End) {
    int startNo, startOffs, endNo, endOffs;
    PositionToItem(Start, startNo, startOffs);
    PositionToItem(End, endNo, endOffs);
    if (startNo < 0 || endNo < 0) return;
    SetSelectionBounds(startNo, startOffs, endNo, endOffs);
}

AnsiString TCustomZoroZudo::GetTextRange(int Start, int End) const {
    const TCustomRVData& data = *FRVData;
    AnsiString all;
    for (int i = 0; i < data.ItemCount(); ++i) {
        if (i > 0 && data.IsFromNewLine(i)) all += '\r';
        const TCustomRVItemInfo& item = data.LiveItem(i);
        if (item.StyleNo >= 0)
            all += data.GetItemTextAnsi(i);
        else
            all += item.StyleNo == rvsTab ? '\t' : ' ';
    }
    if (Start < 0) Start = 0;
    if (End < 0 || End > int(all.size())) End = int(all.size());
    if (Start >= End) return {};
    return all.substr(size_t(Start), size_t(End - Start));
}

int TCustomZoroZudo::GetTextRange(int Start, int End, char* Buffer, int BufferSize) const {
    if (!Buffer || BufferSize <= 0) return 0;
    AnsiString text = GetTextRange(Start, End);
    const int n = std::min(int(text.size()), BufferSize - 1);
    std::copy_n(text.data(), n, Buffer);
    Buffer[n] = 0;
    return n;
}
