// The tab strip beneath page controls: tab strings with objects, the
// selected tab, item rectangles and hit testing, the change questions, and
// an owner-draw switch. It lays its tabs out itself so that the same layout
// is painted on screen and into a bitmap: in rows, or in one row that
// scrolls behind two buttons at its end when the tabs do not fit.
#pragma once

#include <vector>

#include "platform/gui/Controls.h"
#include "platform/gui/ImgList.h"

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
