// Standard controls on real Qt widgets: labels, edits and memos, buttons,
// check boxes and radio buttons, group boxes, combo and list boxes, and
// static texts. Each keeps its state itself, so it works before it has a
// window; its widget, once made, shows that state and reports the user's
// changes, which reach the handlers at the layer's event boundary.
#pragma once

#include <functional>
#include <memory>

#include "platform/gui/Controls.h"
#include "platform/rtl/StringLists.h"

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList };
enum class TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

// The items of a list control: a string list that tells its control of
// each change, so the control's widget shows the same items.
class TControlStrings : public TStrings {
public:
    enum class TChange { Inserted, Deleted, Changed, Cleared };
    using TChangeEvent = std::function<void(TChange Change, int Index)>;
    explicit TControlStrings(TChangeEvent OnChange) : FOnChange(std::move(OnChange)) {}

    int AddObject(const AnsiString& S, TObject* Object) override;
    void Insert(int Index, const AnsiString& S, TObject* Object = nullptr) override;
    void SetString(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;

private:
    TChangeEvent FOnChange;
};

// A label: text beside other controls, never focused. Its accelerator
// ("&Name") focuses FocusControl. AutoSize makes it as large as its text.
class TCustomLabel : public TWinControl {
public:
    explicit TCustomLabel(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    // An AutoSize label keeps the size of its text in its font whatever
    // size it is given, so that its text is never cut.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // Not transparent: the label fills its rectangle with its Color.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    QWidget* CreateWidget() override;
    void WidgetCreated() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void AdjustBounds();
    void UpdateLook();
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TTextLayout FLayout = TTextLayout::tlTop;
    bool FWordWrap = false;
    bool FAutoSize = true;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
    bool FAdjusting = false;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
};

// The one-line edit. Setting Text fires OnChange as typing does; a text
// longer than MaxLength set in code is kept whole, and the user can only
// shorten it.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // 0: no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // Shown for every character when not 0.
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    // Where the text sits in a one-line edit.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // Room at the left and right edges that the text of a one-line edit
    // keeps free (for controls placed inside it), in pixels.
    void SetTextMargins(int Left, int Right);
    int LeftTextMargin() const { return FLeftMargin; }
    int RightTextMargin() const { return FRightMargin; }
    // The whole text is selected when the edit gets the focus.
    bool AutoSelect = true;
    // The user changed the text since it was last set in code.
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // The selection, in characters; a caret is an empty selection.
    int SelStart() const;
    int SelLength() const;
    AnsiString SelText() const;
    void SetSelStart(int Value);
    void SetSelLength(int Value);
    void SetSelText(const AnsiString& Value);
    void SelectAll();
    void Clear() { SetText(""); }
    void CutToClipboard() { Perform(WM_CUT, 0, 0); }
    void CopyToClipboard() { Perform(WM_COPY, 0, 0); }
    void PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }
    void ClearSelection() { Perform(WM_CLEAR, 0, 0); }
    void Undo() { Perform(WM_UNDO, 0, 0); }

    TNotifyEvent OnChange;
    // Set, the user's typing, pasting or dropping that would bring in
    // characters the program's code page cannot hold is refused: the text
    // stays as it was and this fires, soon after. Unset, such characters
    // become "?".
    TNotifyEvent OnRefusedCharacters;

protected:
    virtual void Change();
    // Selection, clipboard and undo need the widget, and make it.
    QWidget* CreateWidget() override;
    void WidgetCreated() override;
    void DoEnter() override;
    // The widget's text changed (typed, pasted, or set by the layer).
    void WidgetTextChanged(const AnsiString& Value);
    // The text as CharCase makes it.
    AnsiString CasedText(const AnsiString& Value) const;
    // The widget is being given the control's text.
    bool FSyncing = false;

private:
    bool FReadOnly = false;
    int FMaxLength = 0;
    char FPasswordChar = 0;
    TEditCharCase FCharCase = TEditCharCase::ecNormal;
    bool FModified = false;
    TAlignment FAlignment = taLeftJustify;
    int FLeftMargin = 0, FRightMargin = 0;
    void ApplyAlignmentAndMargins();
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

// A text of several lines. Text joins the lines with CR LF, as the
// platform's memo does.
class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;
    void Dispatch(TMessage& Message) override;

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Enter types a line break (and never presses the default button).
    bool WantReturns = true;
    // Tab types a tab instead of moving the focus.
    bool WantTabs = false;

protected:
    QWidget* CreateWidget() override;
    void WidgetCreated() override;
    // Kept to one line, the memo shows as the one-line edit; set before its
    // window is made.
    bool FOneLine = false;

private:
    void LinesChanged();
    void TextToLines();
    std::unique_ptr<TControlStrings> FLines;
    TScrollStyle FScrollBars = TScrollStyle::ssNone;
    bool FWordWrap = true;
    bool FLinesSyncing = false;
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;
};

// The push button. Enter presses the default button unless another button
// has the focus (then that one), Esc the cancel button; Space clicks the
// focused button once, when the key comes up. A click hands ModalResult to
// the button's form, which ends its modal loop with it.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);
    // Presses the button: OnClick, then the form takes ModalResult.
    void Click() override;
    int ModalResult = 0;
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel = false;

protected:
    void Dispatch(TMessage& Message) override;
    QWidget* CreateWidget() override;

private:
    // The button Enter presses: the focused button, else the default one.
    bool Active() const;
    bool FDefault = false;
};

// The base of check boxes and radio buttons: a caption beside a mark that a
// click, Space or the accelerator changes. A change in code clicks too, as
// the platform's buttons do.
class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    virtual bool Checked() const = 0;
    virtual void SetChecked(bool Value) = 0;
    // The caption's side: taRightJustify puts it right of the mark.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { FWordWrap = Value; }

protected:
    // The user toggled the mark in the widget.
    virtual void WidgetToggled(bool On) = 0;
    void UpdateCaption();
    // Clicks are off while the control sets the widget's mark itself.
    bool FClicksDisabled = false;
    // The button paints itself, as an owner-drawn button of the platform:
    // its widget is the layer's own, which sends it paint and mouse
    // messages, and it shows its mark and caption itself. Set before its
    // window is made.
    bool FOwnerDraw = false;

private:
    TAlignment FAlignment = TAlignment::taRightJustify;
    bool FWordWrap = false;
};

class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    bool Checked() const override { return FState == TCheckBoxState::cbChecked; }
    void SetChecked(bool Value) override {
        SetState(Value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked);
    }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed = false;

protected:
    QWidget* CreateWidget() override;
    void WidgetCreated() override;
    void WidgetToggled(bool On) override;

private:
    TCheckBoxState FState = TCheckBoxState::cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
public:
    using TCustomCheckBox::TCustomCheckBox;
};

// Checking a radio button unchecks the other radio buttons of its parent.
// Only the checked one is a tab stop.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const override { return FChecked; }
    void SetChecked(bool Value) override;

protected:
    QWidget* CreateWidget() override;
    void WidgetCreated() override;
    void WidgetToggled(bool On) override;

private:
    bool FChecked = false;
};

// A framed box with a caption around other controls.
class TCustomGroupBox : public TWinControl {
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    // Inside the frame and below the caption.
    void AdjustClientRect(TRect& R) override;

protected:
    QWidget* CreateWidget() override;
};

class TGroupBox : public TCustomGroupBox {
public:
    using TCustomGroupBox::TCustomGroupBox;
};

// The combo box: a list of items with an edit (csDropDown) or without one
// (csDropDownList, whose Text is the chosen item's). OnChange fires for the
// user's choices and typing; setting ItemIndex in code fires nothing.
class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;
    void Dispatch(TMessage& Message) override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    // -1: none chosen.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int DropDownCount = 8;
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    void Clear();

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    virtual void Change();
    virtual void Select();
    QWidget* CreateWidget() override;
    void WidgetCreated() override;

private:
    void ItemsChanged(TControlStrings::TChange Change, int Index);
    void UserChose(int Index);
    void UserTyped(const AnsiString& Value);
    // Puts the items, the choice and the text into the widget.
    void FillWidget();
    std::unique_ptr<TControlStrings> FItems;
    TComboBoxStyle FStyle = TComboBoxStyle::csDropDown;
    int FItemIndex = -1;
    int FMaxLength = 0;
    bool FSyncing = false;
};

class TComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;
};

// A list of items, one of which may be chosen. OnClick fires when the user
// chooses one; setting ItemIndex in code fires nothing.
class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;
    void Dispatch(TMessage& Message) override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    void Clear() { FItems->Clear(); }

protected:
    QWidget* CreateWidget() override;
    void WidgetCreated() override;

private:
    void ItemsChanged(TControlStrings::TChange Change, int Index);
    std::unique_ptr<TControlStrings> FItems;
    int FItemIndex = -1;
    bool FSyncing = false;
};

class TListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;
};

// A label with a window: it can have a border and its own colour. Its
// accelerator focuses FocusControl.
class TCustomStaticText : public TWinControl {
public:
    explicit TCustomStaticText(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TStaticBorderStyle Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

protected:
    QWidget* CreateWidget() override;
    // The caption, colours and frame given before the widget existed.
    void WidgetCreated() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void UpdateLook();
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TStaticBorderStyle FBorderStyle = TStaticBorderStyle::sbsNone;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TStaticText : public TCustomStaticText {
public:
    using TCustomStaticText::TCustomStaticText;
};
