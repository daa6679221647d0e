// Radio buttons drawn as a picture in a framed box over (or under) a
// caption strip, the chosen one framed in colour; and a group box that makes
// one such button per item, lays them out in columns and keeps one chosen.
#pragma once

#include <functional>
#include <vector>

#include "platform/gui/ImgList.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Collections.h"

enum TORBTextPosition { orbtpBottom, orbtpTop };

class TRVOfficeRadioButton;
class TRVOfficeRadioGroup;

// Box is the picture box less the frame and the selection; DoDefault off
// leaves the picture out.
using TORBCustomDrawEvent =
    std::function<void(TRVOfficeRadioButton* Sender, TCanvas* Canvas, const TRect& ARect, bool& DoDefault)>;
using TORGCustomDrawEvent = std::function<void(TRVOfficeRadioGroup* Sender, int ItemIndex, TCanvas* Canvas,
                                               const TRect& ARect, bool& DoDefault)>;

class TRVOfficeRadioButton : public TRadioButton {
public:
    explicit TRVOfficeRadioButton(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    TColor FillColor() const { return FFillColor; }
    void SetFillColor(TColor Value);
    // The frame that marks the checked button.
    TColor SelColor() const { return FSelColor; }
    void SetSelColor(TColor Value);
    int SelWidth() const { return FSelWidth; }
    void SetSelWidth(int Value);
    // Height of the caption strip.
    int TextAreaHeight() const { return FTextAreaHeight; }
    void SetTextAreaHeight(int Value);
    // An embossed caption while disabled.
    bool Disabled3D() const { return FDisabled3D; }
    void SetDisabled3D(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // The picture box is the largest square centred in its place.
    bool Square() const { return FSquare; }
    void SetSquare(bool Value);
    // The selection frame fills the whole box instead of lying inside it.
    bool LargeSelection() const { return FLargeSelection; }
    void SetLargeSelection(bool Value);
    TORBTextPosition TextPosition() const { return FTextPosition; }
    void SetTextPosition(TORBTextPosition Value);
    // Draws with the desktop's style when the layer's themes are on.
    bool UseXPThemes() const { return FUseXPThemes; }
    void SetUseXPThemes(bool Value);
    bool Themed() const;
    TORBCustomDrawEvent OnCustomDraw;

    // Paints the button in R of Canvas, as its window shows it.
    void DrawButton(TCanvas* Canvas, const TRect& R, bool Focused);
    // The picture box in R (without the caption strip).
    TRect PictureBox(const TRect& R) const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // What a click, a double click and the focus do to the button: the
    // first and the last check it.
    virtual void CommandClicked();
    virtual void CommandDoubleClicked();
    virtual void CommandSetFocus();
    // The colour and the picture index, set without a repaint, as an item
    // of a group gives them.
    TColor FFillColor = clWindow;
    int FImageIndex = -1;

private:
    void Changed();
    TColor FSelColor = clHighlight;
    int FSelWidth = 2;
    int FTextAreaHeight = 30;
    bool FDisabled3D = true;
    TCustomImageList* FImages = nullptr;
    bool FSquare = false;
    bool FLargeSelection = false;
    TORBTextPosition FTextPosition = orbtpBottom;
    bool FUseXPThemes = true;
    bool FPressed = false;

    friend class TOfficeGroupItem;
};

enum class THelpType { htKeyword, htContext };

// One item of a group: a button's caption, picture, colour and state.
class TOfficeGroupItem : public TCollectionItem {
public:
    explicit TOfficeGroupItem(TCollection* ACollection);
    // Another item: all of it. A button: its colour and picture straight,
    // the rest through its setters. Anything else is refused.
    void Assign(TPersistent* Source) override;
    AnsiString DisplayName() const override { return FCaption; }

    TColor FillColor() const { return FFillColor; }
    void SetFillColor(TColor Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value);
    const AnsiString& HelpKeyword() const { return FHelpKeyword; }
    void SetHelpKeyword(const AnsiString& Value);
    THelpType HelpType() const { return FHelpType; }
    void SetHelpType(THelpType Value);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    void Changed();
    TColor FFillColor = clWindow;
    int FImageIndex = -1;
    bool FEnabled = true;
    AnsiString FHint;
    int FHelpContext = 0;
    AnsiString FHelpKeyword;
    THelpType FHelpType = THelpType::htContext;
    AnsiString FCaption = "Item";
};

// The items of a group: a change of one updates its button, a change of
// the list rebuilds them all.
class TOfficeGroupItems : public TCollection {
public:
    explicit TOfficeGroupItems(TRVOfficeRadioGroup* AGroup);
    ~TOfficeGroupItems() override;
    TPersistent* GetOwner() const override;
    TOfficeGroupItem* Items(int Index) const {
        return static_cast<TOfficeGroupItem*>(TCollection::Items(Index));
    }
    TOfficeGroupItem* Add();
    void Delete(int Index);
    void Clear();
    // Runs when an item changed, or (nullptr) the list did.
    void Update(TOfficeGroupItem* Item);

private:
    TRVOfficeRadioGroup* FGroup;
};

// The button of one item of a group; owner and parent are the group.
class TOfficeGroupButton : public TRVOfficeRadioButton {
public:
    explicit TOfficeGroupButton(TRVOfficeRadioGroup* AGroup);
    ~TOfficeGroupButton() override;
    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void CommandClicked() override;
    void CommandDoubleClicked() override;
    void CommandSetFocus() override;

private:
    // Runs a command of the button only while the group can be changed, and
    // never inside another one.
    void Command(const std::function<void()>& Run);
    TRVOfficeRadioGroup* FGroup;
    bool FInClick = false;
};

class TRVOfficeRadioGroup : public TCustomGroupBox {
public:
    explicit TRVOfficeRadioGroup(TComponent* AOwner);
    ~TRVOfficeRadioGroup() override;
    void Dispatch(TMessage& Message) override;

    // The chosen item, -1 for none; kept within the items.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // 1 to 16.
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    TOfficeGroupItems* Items() const { return FItems; }
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    // The look handed to every button.
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TColor SelColor() const { return FSelColor; }
    void SetSelColor(TColor Value);
    int SelWidth() const { return FSelWidth; }
    void SetSelWidth(int Value);
    int TextAreaHeight() const { return FTextAreaHeight; }
    void SetTextAreaHeight(int Value);
    bool Disabled3D() const { return FDisabled3D; }
    void SetDisabled3D(bool Value);
    TORBTextPosition TextPosition() const { return FTextPosition; }
    void SetTextPosition(TORBTextPosition Value);
    bool Square() const { return FSquare; }
    void SetSquare(bool Value);
    bool UseXPThemes() const { return FUseXPThemes; }
    void SetUseXPThemes(bool Value);
    TORGCustomDrawEvent OnCustomDraw() const { return FOnCustomDraw; }
    void SetOnCustomDraw(TORGCustomDrawEvent Value);
    TNotifyEvent OnDblClickItem;
    void SetEnabled(bool Value) override;

    // Whether the user may change the choice.
    virtual bool CanModify() const { return true; }
    int ButtonCount() const { return int(FButtons.size()); }
    TOfficeGroupButton* Buttons(int Index) const { return ListItem(FButtons, Index); }
    // The button the arrow Key reaches from the button at Index, skipping
    // places without a button and buttons that cannot take the focus; -1
    // when none can.
    int FindNextButton(int Index, uint16_t Key) const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TOfficeGroupItems;
    friend class TOfficeGroupButton;
    // The buttons again for the items: as many, with the group's look and
    // the items' texts, the chosen one checked, arranged.
    void UpdateButtons();
    void UpdateButtonsProps();
    void ArrangeButtons();
    void ButtonClick(TOfficeGroupButton* Button);
    void ItemChanged(TOfficeGroupItem* Item);
    // The look changed: every button takes it and is painted again.
    void LookChanged();
    int PerColumn() const;

    TOfficeGroupItems* FItems;
    std::vector<TOfficeGroupButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    int FMargin = 10;
    TCustomImageList* FImages = nullptr;
    TColor FSelColor = clHighlight;
    int FSelWidth = 2;
    int FTextAreaHeight = 30;
    bool FDisabled3D = true;
    TORBTextPosition FTextPosition = orbtpBottom;
    bool FSquare = false;
    bool FUseXPThemes = true;
    TORGCustomDrawEvent FOnCustomDraw;
    bool FUpdating = false;
};
