// The string tree's default editor: an edit link that edits a cell's text
// in an edit control placed over the cell, of one line or, for a multi-line
// node, of several.
#pragma once

#include <memory>

#include "controls/vtree/VirtualStringTree.h"
#include "platform/gui/StdCtrls.h"

class TStringEditLink;

// The edit control of a string edit link. While the edit runs it keeps its
// link alive; it lets go when hidden or destroyed. For a multi-line node it
// wraps its lines under a vertical scroll bar, plain Enter adds a line and
// Ctrl+Enter ends the edit.
class TVTEdit : public TCustomMemo {
public:
    explicit TVTEdit(TStringEditLink* Link);
    ~TVTEdit() override;
    // Frees the control once the event being handled is over.
    virtual void Release();
    // Fits a single-line editor to its text.
    virtual void AutoAdjustSize();

protected:
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoExit() override;
    void Change() override;

private:
    friend class TStringEditLink;
    // One line, or wrapped lines under a vertical bar; before the window is made.
    void SetMultiLine(bool MultiLine);
    std::shared_ptr<TStringEditLink> FRefLink;
    TStringEditLink* FLink;
};

class TStringEditLink : public IVTEditLink, public std::enable_shared_from_this<TStringEditLink> {
public:
    TStringEditLink();
    ~TStringEditLink() override;

    bool BeginEdit() override;
    bool CancelEdit() override;
    bool EndEdit() override;
    bool PrepareEdit(TBaseVirtualTree* Tree, PVirtualNode Node, TColumnIndex Column) override;
    // In the tree's client coordinates.
    TRect GetBounds() override;
    void ProcessMessage(TMessage& Message) override;
    void SetBounds(TRect R) override;

    TVTEdit* Edit() const { return FEdit; }
    TCustomVirtualStringTree* Tree() const { return FTree; }
    PVirtualNode Node() const { return FNode; }
    TColumnIndex Column() const { return FColumn; }
    TAlignment Alignment() const { return FAlignment; }
    bool Stopping() const { return FStopping; }
    bool Modified() const;

private:
    friend class TVTEdit;
    // The control's own client area starts at the tree's window, above the header.
    int HeaderOffset() const;
    void ReleaseFromEdit();

    TVTEdit* FEdit;
    TCustomVirtualStringTree* FTree = nullptr;
    PVirtualNode FNode = nullptr;
    TColumnIndex FColumn = NoColumn;
    TAlignment FAlignment = taLeftJustify;
    TRect FTextBounds;
    AnsiString FOriginalText;
    bool FStopping = false;
};
