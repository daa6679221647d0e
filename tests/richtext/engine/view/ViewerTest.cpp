// The viewer in an offscreen window: its defaults, clearing, formatting and
// keeping the top line, saving, the scroll units, the wheel, auto-scrolling
// on the manual clock, shortcuts and copying, the document as characters,
// and the events the document data forwards to the control.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "platform/gui/Clipbrd.h"
#include "platform/gui/DataObject.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ScrollBars.h"
#include "platform/gui/StdCtrls.h"
#include "platform/testing/ManualTimers.h"
#include "platform/testing/MemoryClipboard.h"
#include "richtext/engine/RVWriterTestData.h"
#include "richtext/engine/formats/rvf/RVRvfReader.h"
#include "richtext/engine/layout/CRVFDataCheck.h"
#include "richtext/engine/view/RVClipFormats.h"
#include "richtext/engine/view/ZoroZudo.h"
#include "support/TestSupport.h"

namespace {

void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// A form of 600 x 400 with a viewer filling it and a plain style sheet.
struct TViewerFixture {
    std::unique_ptr<TRVStyle> Style = MakePlainStyle();
    TForm Form{nullptr};
    TZoroZudo* Viewer;

    TViewerFixture() {
        Form.SetBounds(40, 40, 600, 400);
        Viewer = new TZoroZudo(&Form);
        Viewer->SetParent(&Form);
        Viewer->SetAlign(TAlign::alClient);
        Viewer->SetStyle(Style.get());
        Form.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.Widget()));
        Pump();
    }
    TZoroZudoRVData& Data() const { return *Viewer->RVData(); }
    void AddParagraphs(int Count, const AnsiString& Prefix = "Line ") {
        for (int i = 0; i < Count; ++i)
            Data().AddTextItem(Prefix + AnsiString(std::to_string(i)), 0, 0);
    }
    // The item of the line at the top of the view.
    int TopItem() const { return Data().GetFirstVisibleItem(); }
};

TEST(Viewer, StartsWithItsDefaults) {
    TZoroZudo viewer(nullptr);
    const TRVControlSettings& s = viewer.Settings();
    EXPECT_EQ(s.Options, 0x4FD25u);
    EXPECT_EQ(s.RVFOptions, 0xC043);
    EXPECT_EQ(s.RTFOptions, 14);
    EXPECT_EQ(s.Flags, 0x0D03);
    EXPECT_EQ(s.NoteText, "?");
    EXPECT_EQ(s.Delimiters.size(), 28u);
    EXPECT_EQ(s.LeftMargin + s.RightMargin + s.TopMargin + s.BottomMargin, 20);
    EXPECT_EQ(s.MaxTextWidth + s.MinTextWidth + s.MaxLength, 0);
    EXPECT_TRUE(s.WordWrap);
    EXPECT_EQ(s.VAlign, TTextLayout::tlTop);
    EXPECT_EQ(s.AnimationMode, rvaniManualStart);
    EXPECT_EQ(s.RVFTextStylesReadMode, rvf_sInsertMerge);
    EXPECT_EQ(s.Color, clNone);
    EXPECT_EQ(viewer.TabNavigation(), rvtnTab);
    EXPECT_EQ(viewer.BorderStyle(), TBorderStyle::bsSingle);
    EXPECT_EQ(viewer.WheelStep, 2);
    EXPECT_TRUE(viewer.Tracking() && viewer.VScrollVisible() && viewer.HScrollVisible());
    EXPECT_TRUE(viewer.TabStop());
    EXPECT_EQ(viewer.Width(), 100);
    EXPECT_EQ(viewer.Height(), 40);
    // Without a window the step stays 1; the window makes it 10.
    EXPECT_EQ(viewer.VSmallStep(), 1);
    EXPECT_EQ(viewer.GetEffectiveColor(), clWindow);
}

TEST(Viewer, ClearsAndFormats) {
    TViewerFixture f;
    EXPECT_EQ(f.Viewer->VSmallStep(), 10);
    f.Viewer->FormatDocument();
    EXPECT_EQ(f.Viewer->GetDocumentHeight(), 10) << "the two vertical margins";
    EXPECT_EQ(f.Data().DrawItems.Count(), 0);
    f.AddParagraphs(3);
    f.Viewer->FormatDocument();
    EXPECT_EQ(f.Data().DrawItems.Count(), 3);
    EXPECT_TRUE(CheckFormattedInvariants(f.Data()).empty());
    f.Viewer->ClearDocument();
    EXPECT_EQ(f.Viewer->GetItemCount(), 0);
    EXPECT_EQ(f.Data().DrawItems.Count(), 0);
    EXPECT_EQ(f.Viewer->GetEffectiveColor(), f.Style->Color);
}

TEST(Viewer, LaysOutALargerHeadingTaller) {
    TViewerFixture f;
    TFontInfo* heading = f.Style->TextStyles().Add();
    heading->Size = 14;
    heading->Style = fsBold;
    f.Data().AddTextItem("Heading", 1, 0);
    f.Data().AddTextItem("Body", 0, 0);
    f.Viewer->FormatDocument();
    EXPECT_GT(f.Data().DrawItems[0]->Height, f.Data().DrawItems[1]->Height);
}

TEST(Viewer, ReformatKeepingPositionKeepsTheTopLine) {
    TViewerFixture f;
    f.AddParagraphs(300);
    f.Viewer->FormatDocument();
    f.Viewer->ScrollTo(f.Viewer->VScrollMaximum() / 2);
    const int top = f.TopItem();
    ASSERT_GT(top, 20);
    // A paragraph above the view grows to several lines.
    f.Data().ItemList->SetString(3, AnsiString(2000, 'w') + " " + AnsiString(2000, 'x'));
    f.Viewer->ReformatKeepingPosition();
    EXPECT_EQ(f.TopItem(), top);
    f.Data().ItemList->SetString(4, AnsiString(2000, 'y') + " " + AnsiString(2000, 'z'));
    f.Viewer->FormatDocument();
    EXPECT_NE(f.TopItem(), top) << "a plain format keeps the position in steps, not the line";
}

TEST(Viewer, SavesRtfAndTextFiles) {
    TViewerFixture f;
    f.AddParagraphs(2);
    f.Viewer->FormatDocument();
    TTempFolder temp;
    EXPECT_TRUE(f.Viewer->SaveRtfFile(temp.Path() + "a.rtf", false));
    EXPECT_NE(ReadFileBytes(temp.Path() + "a.rtf").find("Line 1"), std::string::npos);
    EXPECT_FALSE(f.Viewer->SaveRtfFile(temp.Path() + "missing/a.rtf", false));
    EXPECT_FALSE(f.Viewer->SaveTextFile(temp.Path() + "missing/a.txt", 80));
    EXPECT_TRUE(f.Viewer->SaveTextFileW(temp.Path() + "a.txt", 80));
    EXPECT_EQ(ReadFileBytes(temp.Path() + "a.txt").substr(0, 2), "\xFF\xFE");
}

TEST(Viewer, KeepsTheVerticalRangeWithin32000Steps) {
    TViewerFixture f;
    struct TCase {
        int Height;
        int Step;
    };
    // 400000 / 32000 = 12 leaves 33333 steps: 13; 500000 needs 16.
    for (const TCase& c : {TCase{400000, 13}, {500000, 16}, {300000, 10}, {320000, 10}}) {
        f.Data().DocumentHeight = c.Height;
        f.Data().AdjustVScrollUnits();
        EXPECT_EQ(f.Viewer->VSmallStep(), c.Step) << c.Height;
    }
    f.Viewer->SetVScrollVisible(false);
    f.Data().DocumentHeight = 500000;
    f.Data().AdjustVScrollUnits();
    EXPECT_EQ(f.Viewer->VSmallStep(), 10) << "without the bar the step is not enlarged";
    // The area's height goes to the scroller in steps, rounded up.
    f.Viewer->SetVScrollVisible(true);
    f.Data().SetDocumentAreaSize(500, 1005, true);
    EXPECT_EQ(f.Viewer->DocumentAreaHeight(), 101);
}

TEST(Viewer, ScrollsByWheelKeysAndBars) {
    TViewerFixture f;
    f.AddParagraphs(500);
    f.Viewer->FormatDocument();
    const int page = f.Viewer->ClientHeight() / 10;
    auto wheel = [&](int Delta) { return f.Viewer->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, Delta), 0); };
    struct TCase {
        const char* Name;
        std::function<void()> Do;
        int Expected;
    };
    const std::vector<TCase> cases = {
        {"a notch moves two steps", [&] { EXPECT_EQ(wheel(-WHEEL_DELTA), 1); }, 2},
        {"up again", [&] { wheel(WHEEL_DELTA); }, 0},
        {"a page a notch",
         [&] {
             Mouse.SetWheelScrollLines(WHEEL_PAGESCROLL);
             wheel(-WHEEL_DELTA);
             Mouse.SetWheelScrollLines(3);
         },
         page},
        {"no wheel with step 0",
         [&] {
             f.Viewer->WheelStep = 0;
             EXPECT_EQ(wheel(-WHEEL_DELTA), 0);
             f.Viewer->WheelStep = 2;
         },
         0},
        {"Page Down", [&] { f.Viewer->Perform(WM_KEYDOWN, VK_NEXT, 0); }, page},
        {"Down", [&] { f.Viewer->Perform(WM_KEYDOWN, VK_DOWN, 0); }, 1},
        {"End stops at the last page", [&] { f.Viewer->Perform(WM_KEYDOWN, VK_END, 0); },
         f.Viewer->VScrollMaximum() - f.Viewer->VScrollPage() + 1},
        {"a negative position stops at 0", [&] { f.Viewer->ScrollTo(-50); }, 0},
        {"the bar's thumb", [&] { f.Viewer->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 123), 0); },
         123},
        {"no tracking: dragging the thumb moves nothing",
         [&] {
             f.Viewer->SetTracking(false);
             f.Viewer->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 7), 0);
             f.Viewer->SetTracking(true);
         },
         0},
    };
    Mouse.SetWheelScrollLines(3);
    for (const TCase& c : cases) {
        f.Viewer->ScrollTo(0);
        c.Do();
        EXPECT_EQ(f.Viewer->VScrollPosition(), c.Expected) << c.Name;
    }
    Mouse.SetWheelScrollLines(0);
}

TEST(Viewer, AutoScrollsWhileADragLeavesTheClientArea) {
    TManualTimers clock;
    TViewerFixture f;
    f.AddParagraphs(500);
    f.Viewer->FormatDocument();
    const int h = f.Viewer->ClientHeight();
    f.Viewer->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ASSERT_TRUE(f.Viewer->ScrollTimerActive());
    struct TCase {
        int Y;
        int Steps;
    };
    for (const TCase& c : {TCase{h + 30, 10}, {h + 5, 1}, {h / 2, 0}, {-5, -1}}) {
        Mouse.SetCursorPos(f.Viewer->ClientToScreen({10, c.Y}));
        f.Viewer->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, c.Y));
        const int before = f.Viewer->VScrollPosition();
        clock.Advance(100);
        EXPECT_EQ(f.Viewer->VScrollPosition() - before, c.Steps) << c.Y;
    }
    f.Viewer->Perform(WM_LBUTTONUP, 0, MAKELPARAM(10, -5));
    EXPECT_FALSE(f.Viewer->ScrollTimerActive());
    const int stopped = f.Viewer->VScrollPosition();
    clock.Advance(500);
    EXPECT_EQ(f.Viewer->VScrollPosition(), stopped);
}

TEST(Viewer, TellsShortcuts) {
    struct TCase {
        TShiftState Shift;
        uint16_t Key;
        bool Copy, Cut, Paste;
    };
    const std::vector<TCase> cases = {
        {ssCtrl, 'C', true, false, false},          {ssCtrl, VK_INSERT, true, false, false},
        {ssCtrl | ssAlt, 'C', false, false, false}, {ssCtrl, 'X', false, true, false},
        {ssShift, VK_DELETE, false, true, false},   {ssCtrl, 'V', false, false, true},
        {ssShift, VK_INSERT, false, false, true},   {0, 'C', false, false, false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(TCustomZoroZudo::IsCopyShortcut(c.Shift, c.Key), c.Copy) << c.Shift << " " << c.Key;
        EXPECT_EQ(TCustomZoroZudo::IsCutShortcut(c.Shift, c.Key), c.Cut) << c.Shift << " " << c.Key;
        EXPECT_EQ(TCustomZoroZudo::IsPasteShortcut(c.Shift, c.Key), c.Paste) << c.Shift << " " << c.Key;
    }
}

// "ab" and "cd" in two paragraphs.
struct TTwoLines : TViewerFixture {
    TTwoLines() {
        Data().AddTextItem("ab", 0, 0);
        Data().AddTextItem("cd", 0, 0);
        Viewer->FormatDocument();
    }
};

TEST(Viewer, CopiesTheSelectionWithItsShortcut) {
    TMemoryClipboard clipboard;
    TTwoLines f;
    int copies = 0;
    f.Viewer->OnCopy = [&](TObject*) { ++copies; };
    f.Viewer->SetSelectionBounds(0, 2, 1, 2);
    auto key = [&](TShiftState Shift, uint16_t Key) {
        SetShiftState(Shift);
        f.Viewer->Perform(WM_KEYDOWN, Key, (Shift & ssAlt) ? AltMask : 0);
        SetShiftState(0);
    };
    key(ssCtrl | ssAlt, 'C');
    EXPECT_EQ(copies, 0);
    key(ssCtrl, VK_INSERT);
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(Clipboard()->AsText(), "b\r\nc");
    RegisterClipboardFormats();
    EXPECT_TRUE(Clipboard()->HasFormat(ClipboardFormatRTF));
}

TEST(Viewer, CopiesTheSelectionInTheNativeFormatThatReadsBack) {
    TMemoryClipboard clipboard;
    TTwoLines f;
    f.Data().AddTextItem("ef", 0, 0);
    f.Viewer->FormatDocument();
    f.Viewer->SetSelectionBounds(0, 2, 2, 2);
    f.Viewer->CopySelection();
    RegisterClipboardFormats();
    ASSERT_TRUE(Clipboard()->HasFormat(ClipboardFormatRVF));
    std::optional<TBytes> block = ReadSizedBlock(*Clipboard()->GetAsHandle(ClipboardFormatRVF));
    ASSERT_TRUE(block);
    // The reader takes the block as a document of the three selected pieces.
    TTestRVData copy(f.Style.get());
    int index = 0;
    TColor color = clNone;
    ASSERT_TRUE(RVReadRvf(std::string_view(reinterpret_cast<const char*>(block->data()), block->size()), copy,
                          index, true, nullptr, color));
    EXPECT_EQ(ItemTexts(copy), "b|cd|e");
    EXPECT_TRUE(copy.IsParaStart(1) && copy.IsParaStart(2));
    // The text formats are there beside it.
    EXPECT_EQ(Clipboard()->AsText(), "b\r\ncd\r\ne");

    // Without the option the native format stays off the clipboard.
    f.Viewer->SetOptions(f.Viewer->Options() & ~TRVOptions(rvoAutoCopyRVF));
    f.Viewer->CopySelection();
    EXPECT_FALSE(Clipboard()->HasFormat(ClipboardFormatRVF));
    EXPECT_TRUE(Clipboard()->HasFormat(ClipboardFormatRTF));
}

TEST(Viewer, SeesTheDocumentAsCharacters) {
    TTwoLines f;
    int start = -1, end = -1;
    f.Viewer->GetSelectionPositions(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 0);
    f.Viewer->SetSelectionBounds(1, 1, 1, 2);
    f.Viewer->GetSelectionPositions(start, end);
    EXPECT_EQ(start, 3);
    EXPECT_EQ(end, 4);
    EXPECT_EQ(f.Viewer->GetTextRange(0, -1), "ab\rcd");
    char buffer[8];
    EXPECT_EQ(f.Viewer->GetTextRange(0, -1, buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "ab\rcd");
    char small[3] = {'x', 'x', 'x'};
    EXPECT_EQ(f.Viewer->GetTextRange(0, -1, small, sizeof small), 2) << "cut to the buffer";
    EXPECT_STREQ(small, "ab");
    EXPECT_EQ(f.Viewer->GetTextRange(0, -1, nullptr, 10), 0);
    f.Viewer->SetSelectionPositions(1, 4);
    int s0, o0, s1, o1;
    f.Viewer->GetSelectionBounds(s0, o0, s1, o1);
    EXPECT_EQ(std::vector<int>({s0, o0, s1, o1}), std::vector<int>({0, 2, 1, 2}));
}

TEST(Viewer, SelectsWithTheMouse) {
    TTwoLines f;
    int selects = 0;
    f.Viewer->OnSelect = [&](TObject*) { ++selects; };
    const TRVDrawLineInfo& first = *f.Data().DrawItems[0];
    const TRVDrawLineInfo& second = *f.Data().DrawItems[1];
    f.Viewer->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.Left, first.Top + 2));
    f.Viewer->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(second.Left + second.Width + 5, second.Top + 2));
    f.Viewer->Perform(WM_LBUTTONUP, 0, MAKELPARAM(second.Left + second.Width + 5, second.Top + 2));
    EXPECT_EQ(selects, 1);
    EXPECT_TRUE(f.Viewer->SelectionExists());
    int start, end;
    f.Viewer->GetSelectionPositions(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 5);
}

TEST(Viewer, PlacesAShortDocumentByVAlign) {
    TTwoLines f;
    const int free = f.Viewer->ClientHeight() - f.Viewer->GetDocumentHeight();
    f.Viewer->SetVAlign(TTextLayout::tlCenter);
    EXPECT_EQ(f.Data().GetVAlignShift(), free / 2);
    f.Viewer->SetVAlign(TTextLayout::tlBottom);
    EXPECT_EQ(f.Data().GetVAlignShift(), free);
    f.AddParagraphs(500);
    f.Viewer->FormatDocument();
    EXPECT_EQ(f.Data().GetVAlignShift(), 0) << "a taller document is not shifted";
}

TEST(Viewer, ForwardsTheDocumentsEvents) {
    TViewerFixture f;
    f.Data().AddTextItem("link", 0, 0);
    f.Data().GetItem(0)->Hint = "tip";
    std::vector<std::string> log;
    f.Viewer->OnURLNeeded = [&](TObject* Sender, int Id, AnsiString& Url) {
        EXPECT_EQ(Sender, f.Viewer);
        Url = "http://x/" + AnsiString(std::to_string(Id));
    };
    f.Viewer->OnReadHyperlink = [&](TObject*, const AnsiString&, const AnsiString&, TRVLoadFormat,
                                    int& StyleNo, TRVTag&,
                                    AnsiString&) { log.push_back(std::to_string(StyleNo)); };
    AnsiString target, extras;
    f.Data().DoWriteHyperlink(7, &f.Data(), 0, rvsfRTF, target, extras);
    EXPECT_EQ(target, "http://x/7");
    EXPECT_EQ(extras, "\\o \"tip\"");
    int styleNo = rvsBullet;
    TRVTag tag;
    AnsiString name;
    f.Data().DoReadHyperlink("t", "", rvlfRTF, styleNo, tag, name);
    styleNo = rvsPicture;
    f.Data().DoReadHyperlink("t", "", rvlfRTF, styleNo, tag, name);
    EXPECT_EQ(log, std::vector<std::string>({"-4", "-10"}));
    AnsiString hint;
    f.Data().DoItemHint(&f.Data(), 0, "default", hint);
    EXPECT_EQ(hint, "tip");
    f.Data().DoItemHint(&f.Data(), -1, "default", hint);
    EXPECT_EQ(hint, "default");
    bool flag = false;
    EXPECT_EQ(f.Data().DoImportPicture("a.png", 1, 1, flag), nullptr) << "no handler: nothing";
}

TEST(Viewer, ReplaysPostedEventsOnlyWhileItLives) {
    std::vector<int> jumps;
    {
        TViewerFixture f;
        f.Viewer->OnJump = [&](TObject*, int Id) { jumps.push_back(Id); };
        TRVMessageData jump;
        jump.Kind = rvmkJump;
        jump.Id = 4;
        f.Viewer->PostEvent(jump);
        EXPECT_TRUE(jumps.empty()) << "replayed later";
        Pump();
        EXPECT_EQ(jumps, std::vector<int>({4}));
        f.Viewer->PostEvent(jump);
    }
    Pump();
    EXPECT_EQ(jumps, std::vector<int>({4})) << "the control went first";
}

TEST(Viewer, TabLeavesADocumentWithoutFocusableItems) {
    TViewerFixture f;
    f.Viewer->SetAlign(TAlign::alNone);
    f.Viewer->SetBounds(0, 0, 300, 300);
    auto* edit = new TEdit(&f.Form);
    edit->SetParent(&f.Form);
    edit->SetBounds(320, 10, 100, 24);
    f.Viewer->SetFocus();
    Pump();
    f.Viewer->Perform(WM_KEYDOWN, VK_TAB, 0);
    Pump();
    EXPECT_TRUE(edit->Focused());
}

TEST(Viewer, PaintsAMessageWithoutAStyleSheet) {
    TViewerFixture f;
    f.Style.reset();
    EXPECT_EQ(f.Viewer->Style(), nullptr) << "the style sheet's end is noticed";
    TBitmap picture(f.Viewer->Width(), f.Viewer->Height());
    f.Viewer->PaintTo(picture.Canvas(), 0, 0);
    // The text is drawn in the window text colour somewhere near the top.
    bool dark = false;
    for (int y = 0; y < 30 && !dark; ++y)
        for (int x = 0; x < 200 && !dark; ++x)
            dark = picture.Pixel(x, y) == 0;
    EXPECT_TRUE(dark);
}

} // namespace
