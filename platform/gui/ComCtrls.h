// The tab strip beneath page controls: tab strings with objects, the
// selected tab, item rectangles and hit testing, the change questions, and
// an owner-draw switch. It lays its tabs out itself so that the same layout
// is painted on screen and into a bitmap: in rows, or in one row that
// scrolls behind two buttons at its end when the tabs do not fit. Then the
// other common controls of the windows: the page control with its sheets,
// the status bar, the tool bar and its buttons, the date picker and the
// read-only rich-text box.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/Controls.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/RtfReader.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Streams.h"

enum class TTabPosition { tpTop, tpBottom, tpLeft, tpRight };

// Marks a tab (WParam: its index; LParam's low word: 1 on, 0 off).
constexpr unsigned TCM_HIGHLIGHTITEM = 0x1333;

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TTabGetImageEvent = std::function<void(TObject* Sender, int TabIndex, int& ImageIndex)>;

class TCustomTabControl : public TCustomControl {
public:
    explicit TCustomTabControl(TComponent* AOwner);
    ~TCustomTabControl() override;
    void Dispatch(TMessage& Message) override;

    // The tab strings, each with an object.
    int TabCount() const { return int(FTabs.size()); }
    const AnsiString& TabText(int Index) const { return ListItem(FTabs, Index).Text; }
    TObject* TabObject(int Index) const { return ListItem(FTabs, Index).Object; }
    void InsertTab(int Index, const AnsiString& Text, TObject* Object);
    void DeleteTab(int Index);
    void SetTabText(int Index, const AnsiString& Text);
    bool TabHighlighted(int Index) const {
        return Index >= 0 && Index < TabCount() && FTabs[std::size_t(Index)].Highlighted;
    }
    void MoveTab(int FromIndex, int ToIndex);

    // The selected tab, -1 for none. Setting it asks nobody and tells
    // nobody, as the strip's own selection message does.
    int TabIndex() const { return FTabIndex; }
    void SetTabIndex(int Value);

    TTabPosition TabPosition() const { return FTabPosition; }
    virtual void SetTabPosition(TTabPosition Value);
    // Tabs in rows; tabs at the sides always wrap into rows, as the
    // native strip lays them out.
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value) { FHotTrack = Value; }
    // Rows are stretched to the strip's length unless RaggedRight.
    bool RaggedRight() const { return FRaggedRight; }
    void SetRaggedRight(bool Value);
    // Choosing a tab in a far row moves the rows between it and the pages
    // to the other side of the pages, instead of turning the rows round.
    bool ScrollOpposite() const { return FScrollOpposite; }
    void SetScrollOpposite(bool Value);
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    // The images the strip reserves room for in every tab.
    TCustomImageList* NativeImages() const { return FImages; }
    void SetNativeImages(TCustomImageList* Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);

    // Item rectangle of the tab at a tab index; empty when there is none.
    TRect TabRect(int Index);
    // The tab at a client point, or -1; a tab scrolled out of the row or
    // hidden behind the scroll buttons is not hit.
    int IndexOfTabAt(int X, int Y);
    // A single row of tabs that does not fit scrolls: the first tab shown,
    // the scroll buttons' rectangle (empty while everything fits), and a
    // step of whole tabs, as a press on a button makes.
    int FirstVisibleTab();
    TRect ScrollButtonsRect();
    bool CanScrollTabs(int Delta);
    void ScrollTabs(int Delta);
    // The area the pages take.
    TRect DisplayRect();
    void AdjustClientRect(TRect& R) override;

    TTabChangingEvent OnChanging;
    TNotifyEvent OnTabChanged;
    TTabGetImageEvent OnGetImageIndex;

protected:
    // Asked before the user's choice changes the selection; fires OnChanging.
    virtual bool CanChange();
    // Run after the user changed the selection; fires OnTabChanged.
    virtual void TabChanged();
    virtual bool CanShowTab(int TabIndex);
    virtual int GetImageIndex(int TabIndex);
    // The width along the strip the text of a tab takes, in the canvas's
    // font: its native string unless the control paints something else there.
    virtual int TabTextWidth(TCanvas* Canvas, int TabIndex);
    // The user chose the tab at NewIndex (click or key): asks CanChange,
    // selects, runs TabChanged. PendingTabIndex is NewIndex meanwhile.
    virtual void SelectTabByUser(int NewIndex);
    int PendingTabIndex() const { return FPendingTabIndex; }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;
    // The scroll buttons go over whatever was painted on the strip, as the
    // native strip's own small window does.
    void PaintScrollButtons(TCanvas* Canvas);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void LayoutChanged();

private:
    void Layout();
    // Scroll position of a single row that does not fit.
    void PlaceScrolledRow(const std::vector<int>& Offsets, const std::vector<int>& Lengths, int Room);
    // The opposite side takes the rows between a chosen far row and the pages.
    struct TRowSlot {
        bool Opposite;
        int Distance; // rows between it and the pages
    };
    std::vector<TRowSlot> PlaceRows(int Rows, int SelectedRow);
    struct TTab {
        AnsiString Text;
        TObject* Object = nullptr;
        TRect Rect;
        bool Highlighted = false;
    };
    std::vector<TTab> FTabs;
    int FTabIndex = -1;
    int FPendingTabIndex = -1;
    TTabPosition FTabPosition = TTabPosition::tpTop;
    bool FMultiLine = false;
    bool FHotTrack = false;
    bool FRaggedRight = false;
    bool FScrollOpposite = false;
    int FTabHeight = 0;
    int FTabWidth = 0;
    TCustomImageList* FImages = nullptr;
    bool FOwnerDraw = false;
    int FStripExtent = 0;
    int FOppositeExtent = 0;
    // Rows on the tabs' own side while ScrollOpposite splits them.
    int FRowsOnTabSide = 0;
    int FFirstTab = 0;
    int FLastFirstTab = 0;
    bool FScrolling = false;
    // The row keeps the selected tab in view until the buttons scroll it.
    bool FFollowSelection = true;
    int FPressedButton = 0; // -1 back, 1 forward
    TRect FButtons;
};

class TPageControl;

// A page of a page control: its caption is its tab's text.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    void Dispatch(TMessage& Message) override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // Position among the control's pages; -1 without a control.
    int PageIndex() const;
    void SetPageIndex(int Value);
    // Number of shown tabs before this one; -1 when its tab is hidden.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);

private:
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
    friend class TPageControl;
};

// Pages on a tab strip; the active page shows and fills the area inside the
// strip. Ctrl+Tab and Ctrl+Shift+Tab go to the next and previous page.
class TPageControl : public TCustomTabControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    void Dispatch(TMessage& Message) override;

    int PageCount() const { return int(FPages.size()); }
    TTabSheet* Pages(int Index) const { return ListItem(FPages, Index); }
    TTabSheet* ActivePage() const { return FActivePage; }
    // A page of another control is ignored.
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Index);
    // The page after (or before) Page whose tab shows, wrapping; nullptr
    // when there is none.
    TTabSheet* FindNextPage(TTabSheet* Page, bool GoForward) const;
    void SelectNextPage(bool GoForward);
    void ShowControl(TControl* AControl) override;

    // The user switched pages; OnChanging may refuse.
    TNotifyEvent OnChange;

protected:
    void TabChanged() override;
    int GetImageIndex(int TabIndex) override;

private:
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void ChangeActivePage(TTabSheet* Page);
    // The tabs again from the pages whose tabs show.
    void UpdateTabs();
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    friend class TTabSheet;
};

enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusBar;

class TStatusPanel {
public:
    explicit TStatusPanel(TStatusBar* Owner) : FOwner(Owner) {}
    const AnsiString& Text() const { return FText; }
    void SetText(const AnsiString& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    int Index() const;

private:
    TStatusBar* FOwner;
    AnsiString FText;
    int FWidth = 50;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TStatusPanelBevel FBevel = TStatusPanelBevel::pbLowered;
};

class TStatusPanels {
public:
    explicit TStatusPanels(TStatusBar* Owner) : FOwner(Owner) {}
    TStatusPanel* Add();
    int Count() const { return int(FPanels.size()); }
    TStatusPanel* Items(int Index) const { return ListItem(FPanels, Index).get(); }
    TStatusPanel* operator[](int Index) const { return Items(Index); }
    void Delete(int Index);
    void Clear();

private:
    TStatusBar* FOwner;
    std::vector<std::unique_ptr<TStatusPanel>> FPanels;
    friend class TStatusPanel;
};

// The bar at the bottom of a window: panels of given widths, the last one
// reaching the right edge, or one simple text over the whole bar.
class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;
    void Dispatch(TMessage& Message) override;

    TStatusPanels* Panels() const { return FPanels.get(); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const AnsiString& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const AnsiString& Value);
    // The rectangle panel Index takes in the bar.
    TRect PanelRect(int Index) const;

protected:
    QWidget* CreateWidget() override;
    void WidgetCreated() override;

private:
    // The widget shows the panels again.
    void PanelsChanged();
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    AnsiString FSimpleText;
    friend class TStatusPanel;
    friend class TStatusPanels;
};

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolBar;

// A button of a tool bar: its image from the bar's image list and, when the
// bar shows captions, its caption. A linked action gives it caption, image,
// hint, enabled state and visibility, and a click runs the action.
class TToolButton : public TWinControl {
public:
    explicit TToolButton(TComponent* AOwner);
    ~TToolButton() override;
    void Dispatch(TMessage& Message) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;

    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Shows its caption when the bar shows captions; off: the image alone.
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    // A check button that is pressed in.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    TToolBar* ToolBar() const;
    void SetParent(TWinControl* AParent) override;

protected:
    QWidget* CreateWidget() override;
    void WidgetCreated() override;

private:
    // The widget shows the button's state again.
    void UpdateLook();
    TToolButtonStyle FStyle = TToolButtonStyle::tbsButton;
    int FImageIndex = -1;
    bool FShowCaption = true;
    bool FDown = false;
    friend class TToolBar;
};

// A row of tool buttons, laid out left to right in the order they were put
// on it; buttons that are not visible take no room.
class TToolBar : public TWinControl {
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;
    void Dispatch(TMessage& Message) override;

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value);
    // Captions right of the images rather than under them.
    bool List() const { return FList; }
    void SetList(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value);
    int ButtonCount() const { return int(FButtons.size()); }
    TToolButton* Buttons(int Index) const { return ListItem(FButtons, Index); }
    // Lays the buttons out again.
    void Rearrange();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomImageList* FImages = nullptr;
    bool FShowCaptions = false;
    bool FList = false;
    bool FFlat = true;
    int FButtonWidth = 23;
    int FButtonHeight = 22;
    std::vector<TToolButton*> FButtons;
    friend class TToolButton;
};

enum class TDateTimeKind { dtkDate, dtkTime };
enum class TDTDateFormat { dfShort, dfLong };

// A date (or time) picker. DateTime keeps the time of day with a picked
// date and the date with a picked time. Format is a pattern in the
// desktop's picture letters (d, dd, ddd, dddd, M, MM, MMM, MMMM, yy, yyyy,
// h, hh, H, HH, m, mm, s, ss, t, tt, 'text'), in the program's code page;
// empty shows the user's short date or time format. OnChange fires when
// the user picks, not when code sets the value.
class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    TDateTime DateTime() const { return FDateTime; }
    void SetDateTime(TDateTime Value);
    TDateTime Date() const;
    void SetDate(TDateTime Value);
    TDateTime Time() const;
    void SetTime(TDateTime Value);
    TDateTimeKind Kind() const { return FKind; }
    void SetKind(TDateTimeKind Value);
    const AnsiString& Format() const { return FFormat; }
    void SetFormat(const AnsiString& Value);
    TDTDateFormat DateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat Value);
    // The text the picker shows.
    AnsiString DisplayText() const;

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    QWidget* CreateWidget() override;
    void WidgetCreated() override;

private:
    void UpdateWidget();
    void WidgetChanged();
    TDateTime FDateTime;
    TDateTimeKind FKind = TDateTimeKind::dtkDate;
    AnsiString FFormat;
    TDTDateFormat FDateFormat = TDTDateFormat::dfShort;
    bool FSyncing = false;
};

// A file larger than its reader takes.
class EFileTooLarge : public EReadError {
public:
    using EReadError::EReadError;
};

// What a rich-text box loads at most. Showing costs time with every
// paragraph and run, so a file of a few megabytes can hold more of them
// than a box can take in a second.
struct TRichEditLimits {
    int64_t MaxSize = -1;            // bytes of the file; negative: any size
    std::size_t MaxParts = SIZE_MAX; // paragraphs and runs
};

// A box of rich text: paragraphs with their alignment, and text runs with
// font, size, bold, italic and underline. Lines holds the paragraphs' plain
// texts; setting Text or Lines in code makes it plain text.
class TCustomRichEdit : public TWinControl {
public:
    explicit TCustomRichEdit(TComponent* AOwner);
    ~TCustomRichEdit() override;
    void Dispatch(TMessage& Message) override;

    TStrings* Lines() const { return FLines.get(); }
    // Reads an RTF file (plain text when PlainText is set, or when the file
    // is not RTF); raises EReadError when it is no regular file or cannot be
    // read, and EFileTooLarge when it is larger than the limits allow. A
    // refused file leaves the box as it was; a document of more paragraphs
    // and runs than they allow keeps the first ones (Document().Cut).
    void LoadFromFile(const AnsiString& FileName, const TRichEditLimits& Limits = {});
    // Shows a document the reader made.
    void SetDocument(TRtfDocument Document);
    const TRtfDocument& Document() const { return FDocument; }
    bool PlainText = false;
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Enter and Escape reach the box (and never press the form's default or
    // cancel button); Tab types a tab.
    bool WantReturns = true;
    bool WantTabs = false;

protected:
    QWidget* CreateWidget() override;
    void WidgetCreated() override;

private:
    void ShowDocument();
    void LinesChanged();
    TRtfDocument FDocument;
    std::unique_ptr<TControlStrings> FLines;
    bool FReadOnly = false;
    TScrollStyle FScrollBars = TScrollStyle::ssBoth;
    bool FWordWrap = true;
    bool FSyncing = false;
};

class TRichEdit : public TCustomRichEdit {
public:
    using TCustomRichEdit::TCustomRichEdit;
};

enum class TUDBtnType { btNext, btPrev };
enum class TUDOrientation { udHorizontal, udVertical };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;

// The up-down control: two arrow halves, the next (upper or right) and the
// previous one. A press moves Position one step within Min..Max and reports
// the move to the control itself as a reflected scroll message (CN_VSCROLL
// or CN_HSCROLL, SB_THUMBPOSITION in the low word of WParam, the position in
// the high word), whose handling clicks the half.
class TCustomUpDown : public TCustomControl {
public:
    explicit TCustomUpDown(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    int Min() const { return FMin; }
    int Max() const { return FMax; }
    void SetMin(int Value) { FMin = Value; }
    void SetMax(int Value) { FMax = Value; }
    int Position() const { return FPosition; }
    void SetPosition(int Value) { FPosition = Value; }
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    TUDClickEvent OnClick;

protected:
    virtual void Click(TUDBtnType Button);
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    int FMin = 0, FMax = 100, FPosition = 0;
    TUDOrientation FOrientation = TUDOrientation::udVertical;
    TUDBtnType FLastButton = TUDBtnType::btNext;
};
