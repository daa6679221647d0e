// The string tree's default editor: the edit link over its edit control (one
// line, or several for a multi-line node), its bounds over the cell, its
// keys and the loss of focus.
#include "controls/vtree/VirtualStringTreeEditor.h"

#include <algorithm>

#include "platform/canvas/Graphics.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

constexpr int MinEditorWidth = 30;

bool SingleLine(PVirtualNode Node) {
    return Node && !Node->States.Contains(vsMultiline);
}

} // namespace

// ---- The edit control --------------------------------------------------------------------

TVTEdit::TVTEdit(TStringEditLink* Link) : TCustomMemo(nullptr), FLink(Link) {
    SetVisible(false);
    AutoSelect = true;
    SetMultiLine(false);
}

void TVTEdit::SetMultiLine(bool MultiLine) {
    FOneLine = !MultiLine;
    SetWordWrap(MultiLine);
    SetScrollBars(MultiLine ? TScrollStyle::ssVertical : TScrollStyle::ssNone);
}

TVTEdit::~TVTEdit() {
    // The text is not stored from here: the tree may be going too.
    if (FLink) FLink->FEdit = nullptr;
    FLink = nullptr;
    FRefLink.reset();
}

void TVTEdit::Release() {
    Hide();
    FreeAfterEvent(this);
}

void TVTEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    // The link, and through it this control, lives until the key is handled.
    std::shared_ptr<TStringEditLink> link = FRefLink;
    TCustomVirtualStringTree* tree = FLink ? FLink->FTree : nullptr;
    if (!tree || FLink->FStopping) {
        TCustomMemo::KeyDown(Key, Shift);
        return;
    }
    switch (Key) {
    case VK_RETURN:
        if (SingleLine(FLink->FNode) || (Shift & ssCtrl)) {
            tree->InvalidateNode(FLink->FNode);
            tree->EndEditNode();
            if (tree->CanFocus()) tree->SetFocus();
            Key = 0;
            return;
        }
        break;
    case VK_ESCAPE:
        tree->CancelEditNode();
        if (tree->CanFocus()) tree->SetFocus();
        Key = 0;
        return;
    case VK_UP:
        if (SingleLine(FLink->FNode)) Key = VK_LEFT;
        break;
    case VK_DOWN:
        if (SingleLine(FLink->FNode)) Key = VK_RIGHT;
        break;
    default:
        break;
    }
    TCustomMemo::KeyDown(Key, Shift);
}

void TVTEdit::KeyPress(char& Key) {
    if (Key == '\t' || Key == '\x1b') {
        Key = 0;
        return;
    }
    TCustomMemo::KeyPress(Key);
}

void TVTEdit::DoExit() {
    TCustomMemo::DoExit();
    std::shared_ptr<TStringEditLink> link = FRefLink;
    if (!FLink || FLink->FStopping || !FLink->FTree || FLink->FTree->IsDestroying()) return;
    TCustomVirtualStringTree* tree = FLink->FTree;
    if (tree->StringTreeOptions()->StringOptions().Contains(toAutoAcceptEditChange))
        tree->EndEditNode();
    else
        tree->CancelEditNode();
}

void TVTEdit::Change() {
    TCustomMemo::Change();
    if (FLink && FLink->FTree && !FLink->FStopping &&
        !FLink->FTree->TreeOptions()->MiscOptions().Contains(toGridExtensions) && SingleLine(FLink->FNode))
        AutoAdjustSize();
}

void TVTEdit::AutoAdjustSize() {
    if (!FLink || !FLink->FTree || !SingleLine(FLink->FNode)) return;
    TCustomVirtualStringTree* tree = FLink->FTree;
    TCanvas* canvas = tree->Canvas();
    canvas->Font()->Assign(Font());
    const int width = canvas->TextWidth(AnsiToWide(Text())) + 2 * tree->TextMargin();
    if (width < Width()) tree->InvalidateNode(FLink->FNode);
    TRect r = FLink->GetBounds();
    if (FLink->FAlignment == taRightJustify)
        r.Left = r.Right - width;
    else
        r.Right = r.Left + width;
    FLink->SetBounds(r);
}

// ---- The link ----------------------------------------------------------------------------

TStringEditLink::TStringEditLink() : FEdit(new TVTEdit(this)) {}

TStringEditLink::~TStringEditLink() {
    if (!FEdit) return;
    FEdit->FLink = nullptr;
    FEdit->Release();
}

int TStringEditLink::HeaderOffset() const {
    return FTree && FTree->Header()->Options().Contains(hoVisible) ? int(FTree->Header()->Height()) : 0;
}

bool TStringEditLink::Modified() const {
    return FEdit && FEdit->Text() != FOriginalText;
}

void TStringEditLink::ReleaseFromEdit() {
    if (!FEdit) return;
    FEdit->Hide();
    // Last: this may let the link go.
    std::shared_ptr<TStringEditLink> ref = std::move(FEdit->FRefLink);
}

bool TStringEditLink::PrepareEdit(TBaseVirtualTree* Tree, PVirtualNode Node, TColumnIndex Column) {
    auto* tree = dynamic_cast<TCustomVirtualStringTree*>(Tree);
    if (!tree || !FEdit) return false;
    FTree = tree;
    FNode = Node;
    FColumn = Column;
    WideString text;
    FTree->GetCellTextInfo(Node, Column, FEdit->Font(), FTextBounds, text);
    FEdit->Font()->SetColor(clWindowText);
    FEdit->SetMultiLine(!SingleLine(Node));
    FEdit->SetParent(FTree);
    FOriginalText = WideToAnsi(text);
    FEdit->SetText(FOriginalText);
    const bool columnKnown = FTree->Header()->Columns()->IsValidIndex(Column);
    TBiDiMode bidi =
        columnKnown ? FTree->Header()->Columns()->GetItem(Column)->BiDiMode() : FTree->BiDiMode();
    FAlignment = columnKnown ? FTree->Header()->Columns()->GetItem(Column)->Alignment() : FTree->Alignment();
    if (bidi != bdLeftToRight && FAlignment != taCenter)
        FAlignment = FAlignment == taLeftJustify ? taRightJustify : taLeftJustify;
    FEdit->FRefLink = shared_from_this();
    return true;
}

bool TStringEditLink::BeginEdit() {
    if (FStopping || !FEdit) return false;
    FEdit->Show();
    FEdit->SelectAll();
    if (FEdit->CanFocus()) FEdit->SetFocus();
    return true;
}

bool TStringEditLink::EndEdit() {
    if (FStopping) return false;
    std::shared_ptr<TStringEditLink> self = shared_from_this();
    FStopping = true;
    // A refused text leaves the edit running.
    TScopeGuard stillEditing([this] { FStopping = false; });
    if (Modified()) FTree->SetCellText(FNode, FColumn, AnsiToWide(FEdit->Text()));
    stillEditing.Dismiss();
    ReleaseFromEdit();
    return true;
}

bool TStringEditLink::CancelEdit() {
    if (FStopping) return false;
    std::shared_ptr<TStringEditLink> self = shared_from_this();
    FStopping = true;
    if (FEdit) FEdit->Hide();
    if (FTree) FTree->CancelEditNode();
    ReleaseFromEdit();
    return true;
}

TRect TStringEditLink::GetBounds() {
    if (!FEdit) return TRect{};
    TRect r = FEdit->BoundsRect();
    const int header = HeaderOffset();
    return TRect{r.Left, r.Top - header, r.Right, r.Bottom - header};
}

void TStringEditLink::ProcessMessage(TMessage& Message) {
    if (FEdit) FEdit->WndProc(Message);
}

void TStringEditLink::SetBounds(TRect R) {
    if (FStopping || !FEdit || !FTree) return;
    R.Left = std::max(R.Left, 0);
    if (R.Width() < MinEditorWidth) {
        if (FAlignment == taRightJustify)
            R.Left = R.Right - MinEditorWidth;
        else
            R.Right = R.Left + MinEditorWidth;
    }
    R.Right = std::min(R.Right, FTree->ClientRect().Width());
    const int header = HeaderOffset();
    FEdit->SetBoundsRect(TRect{R.Left, R.Top + header, R.Right, R.Bottom + header});
}

// ---- The string tree's editor ------------------------------------------------------------

std::shared_ptr<IVTEditLink> TCustomVirtualStringTree::DoCreateEditor(PVirtualNode Node,
                                                                      TColumnIndex Column) {
    std::shared_ptr<IVTEditLink> link = TBaseVirtualTree::DoCreateEditor(Node, Column);
    return link ? link : std::make_shared<TStringEditLink>();
}
