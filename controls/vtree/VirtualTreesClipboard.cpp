// Clipboard formats and data transfer: the process-wide format registry, the
// tokens that name live trees, the tree's data object and the readers of its
// blocks, copy, cut and paste, and the insertion of transferred nodes.
#include "controls/vtree/VirtualTreesClipboard.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "controls/vtree/VirtualStringTree.h"
#include "controls/vtree/VirtualTreesDragDrop.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Clipbrd.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/WinBase.h"

namespace {

constexpr int32_t TreeDataPriority = 50;
// Formats registered for a tree class by name only follow the tree's own.
constexpr int32_t UserFormatPriority = 1000;

bool SameFormatEtc(const FORMATETC& A, const FORMATETC& B) {
    return A.cfFormat == B.cfFormat && A.ptd == B.ptd && A.dwAspect == B.dwAspect && A.lindex == B.lindex &&
           (A.tymed & B.tymed) != 0;
}

struct TTreeFormats {
    TClipFormat Data = 0;
    TClipFormat Reference = 0;
    TClipFormat Html = 0;
    TClipFormat Rtf = 0;
    TClipFormat RtfNoObjects = 0;
    TClipFormat Csv = 0;
};

// Registered once, on first need, as the first tree of the process would.
const TTreeFormats& TreeFormats() {
    static const TTreeFormats formats = [] {
        TTreeFormats f;
        f.Reference = RegisterClipboardFormat(CFSTR_VTREFERENCE);
        f.Data =
            RegisterTreeClipboardFormat(CFSTR_VIRTUALTREE, TreeClassOf<TBaseVirtualTree>(), TreeDataPriority);
        const TVTTreeClassTest stringTree = TreeClassOf<TCustomVirtualStringTree>();
        f.Html = RegisterTreeClipboardFormat(CFSTR_HTML, stringTree, 80);
        f.RtfNoObjects = RegisterTreeClipboardFormat(CFSTR_RTFNOOBJS, stringTree, 84);
        f.Rtf = RegisterTreeClipboardFormat(CFSTR_RTF, stringTree, 85);
        f.Csv = RegisterTreeClipboardFormat(CFSTR_CSV, stringTree, 90);
        RegisterTreeClipboardFormat(CF_TEXT, stringTree, 100);
        RegisterTreeClipboardFormat(CF_UNICODETEXT, stringTree, 95);
        return f;
    }();
    return formats;
}

std::unordered_map<uint32_t, TBaseVirtualTree*>& LiveTrees() {
    static std::unordered_map<uint32_t, TBaseVirtualTree*> trees;
    return trees;
}

uint32_t U32(const uint8_t* P) {
    return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24;
}

} // namespace

// ---- Format registry ---------------------------------------------------------------------

const TClipboardFormatEntry StandardClipboardFormatNames[16] = {
    {1, "Plain text"},
    {2, "Windows bitmap"},
    {3, "Windows metafile"},
    {4, "Symbolic link"},
    {5, "Data interchange format"},
    {6, "Tiff image"},
    {7, "OEM text"},
    {8, "DIB image"},
    {9, "Palette data"},
    {10, "Pen data"},
    {11, "Riff audio data"},
    {12, "Wav audio data"},
    {13, "Unicode text"},
    {14, "Enhanced metafile image"},
    {15, "File name(s)"},
    {16, "Locale descriptor"},
};

TClipboardFormatList& ClipboardFormatRegistry() {
    static TClipboardFormatList registry;
    return registry;
}

void TClipboardFormatList::Add(const AnsiString& Description, TVTTreeClassTest TreeClass, int32_t Priority,
                               const FORMATETC& FormatEtc) {
    FList.push_back({Description, std::move(TreeClass), Priority, FormatEtc});
    std::stable_sort(FList.begin(), FList.end(),
                     [](const TClipboardFormatListEntry& A, const TClipboardFormatListEntry& B) {
                         return A.Priority < B.Priority;
                     });
}

void TClipboardFormatList::FormatsForClass(const TBaseVirtualTree* Tree, TFormatEtcArray& Formats,
                                           const TStrings* AllowedFormats) const {
    Formats.clear();
    for (const TClipboardFormatListEntry& entry : FList)
        if (entry.TreeClass && entry.TreeClass(Tree) &&
            (!AllowedFormats || AllowedFormats->IndexOf(entry.Description) >= 0))
            Formats.push_back(entry.FormatEtc);
}

const TClipboardFormatListEntry* TClipboardFormatList::FindByDescription(const AnsiString& Description,
                                                                         TClipFormat& Format) const {
    TreeFormats();
    for (auto it = FList.rbegin(); it != FList.rend(); ++it)
        if (SameText(it->Description, Description)) {
            Format = it->FormatEtc.cfFormat;
            return &*it;
        }
    return nullptr;
}

bool RegisterTreeClipboardFormat(TClipFormat Format, TVTTreeClassTest TreeClass, int32_t Priority) {
    if (Format == 0) return false;
    AnsiString description;
    if (Format <= std::size(StandardClipboardFormatNames))
        description = StandardClipboardFormatNames[Format - 1].Description;
    else
        description = GetClipboardFormatName(Format);
    ClipboardFormatRegistry().Add(description, std::move(TreeClass), Priority, MakeFormatEtc(Format));
    return true;
}

TClipFormat RegisterTreeClipboardFormat(const AnsiString& Description, TVTTreeClassTest TreeClass,
                                        int32_t Priority, uint32_t Tymed, const DVTARGETDEVICE* TargetDevice,
                                        uint32_t Aspect, int32_t LIndex) {
    TClipFormat format = RegisterClipboardFormat(Description);
    if (format == 0) return 0;
    ClipboardFormatRegistry().Add(Description, std::move(TreeClass), Priority,
                                  FORMATETC{format, TargetDevice, Aspect, LIndex, Tymed});
    return format;
}

void RegisterVTClipboardFormat(const AnsiString& Description, TVTTreeClassTest IsOfClass) {
    TreeFormats();
    RegisterTreeClipboardFormat(Description, std::move(IsOfClass), UserFormatPriority);
}

TClipFormat TreeDataFormat() {
    return TreeFormats().Data;
}

TClipFormat TreeReferenceFormat() {
    return TreeFormats().Reference;
}

TClipFormat HTMLFormat() {
    return TreeFormats().Html;
}

TClipFormat RTFFormat() {
    return TreeFormats().Rtf;
}

TClipFormat RTFNoObjectsFormat() {
    return TreeFormats().RtfNoObjects;
}

TClipFormat CSVFormat() {
    return TreeFormats().Csv;
}

// ---- Tokens and block readers ------------------------------------------------------------

uint32_t TBaseVirtualTree::TransferToken() {
    if (FTransferToken == 0) {
        static uint32_t last = 0;
        auto& trees = LiveTrees();
        do
            ++last;
        while (last == 0 || trees.count(last));
        FTransferToken = last;
        trees[last] = this;
    }
    return FTransferToken;
}

TBaseVirtualTree* TreeFromTransferToken(uint32_t Token) {
    auto& trees = LiveTrees();
    auto it = trees.find(Token);
    return it == trees.end() ? nullptr : it->second;
}

std::optional<TVTTreeReference> ReadTreeReferenceBlock(const TBytes& Block) {
    if (Block.size() < TreeReferenceSize) return std::nullopt;
    return TVTTreeReference{U32(Block.data()), U32(Block.data() + 4)};
}

TBytes MakeTreeReferenceBlock(const TVTTreeReference& Reference) {
    TBytes block(TreeReferenceSize);
    for (int i = 0; i < 4; ++i) {
        block[size_t(i)] = uint8_t(Reference.ProcessId >> (8 * i));
        block[size_t(4 + i)] = uint8_t(Reference.Token >> (8 * i));
    }
    return block;
}

TVTStreamImage ReadTreeDataBlock(const TBytes& Block) {
    std::optional<TBytes> sequence = ReadSizedBlock(Block);
    if (!sequence) RaiseTreeError(SStreamTooSmall, ecStreamTooSmall);
    return ReadTreeStream(std::move(*sequence), TVTStreamKind::NodeSequence);
}

// ---- The data object ---------------------------------------------------------------------

TVTDataObject::TVTDataObject(TBaseVirtualTree* AOwner, bool AForClipboard)
    : FOwnerToken(AOwner->TransferToken()), FForClipboard(AForClipboard) {
    AOwner->GetNativeClipboardFormats(FFormats);
}

TVTDataObject::~TVTDataObject() {
    TBaseVirtualTree* owner = Owner();
    // A copy made since owns the marks now; only the tree's last copy or cut ends them.
    if (FForClipboard && owner && !owner->TreeStates().Contains(tsClipboardFlushing) &&
        !owner->HoldsClipboardData()) {
        try {
            owner->CancelClipboardMarks();
        } catch (...) {
            // A state-change handler failed while the clipboard let go of the object.
        }
    }
}

int TVTDataObject::FindFormatEtc(const FORMATETC& FormatEtc) const {
    for (size_t i = 0; i < FFormats.size(); ++i)
        if (SameFormatEtc(FFormats[i], FormatEtc)) return int(i);
    return -1;
}

STGMEDIUM* TVTDataObject::FindInternalStgMedium(TClipFormat Format) {
    for (auto& [format, medium] : FStoredMediums)
        if (format == Format) return &medium;
    return nullptr;
}

HRESULT TVTDataObject::StgMediumIncRef(const STGMEDIUM& Source, STGMEDIUM& Destination, bool Copy) {
    Destination = STGMEDIUM{};
    switch (Source.tymed) {
    case TYMED_HGLOBAL:
        if (Copy) {
            HGLOBAL block = Source.hGlobal ? GlobalBlock(Source.hGlobal->data(), Source.hGlobal->size())
                                           : GlobalAlloc(GMEM_ZEROINIT, 0);
            if (!block) return E_OUTOFMEMORY;
            Destination.hGlobal = std::move(block);
            Destination.pUnkForRelease = Source.pUnkForRelease;
        } else {
            Destination.hGlobal = Source.hGlobal;
            // The block stays while the reader holds it, whatever becomes of this object.
            Destination.pUnkForRelease = weak_from_this().lock();
        }
        break;
    case TYMED_ISTREAM:
        Destination.pstm = Source.pstm;
        Destination.pUnkForRelease = Source.pUnkForRelease;
        break;
    default:
        return DV_E_TYMED;
    }
    Destination.tymed = Source.tymed;
    return S_OK;
}

HRESULT TVTDataObject::GetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium) {
    Medium = STGMEDIUM{};
    try {
        TBaseVirtualTree* owner = Owner();
        if (FormatEtcIn.cfFormat == TreeReferenceFormat()) {
            if (!owner || owner->TreeStates().Contains(tsClipboardFlushing)) return E_FAIL;
            TBytes block = MakeTreeReferenceBlock({GetCurrentProcessId(), FOwnerToken});
            Medium.hGlobal = GlobalBlock(block.data(), block.size());
            if (!Medium.hGlobal) return E_OUTOFMEMORY;
            Medium.tymed = TYMED_HGLOBAL;
            return S_OK;
        }
        if (HRESULT r = QueryGetData(FormatEtcIn); FAILED(r)) return r;
        int index = FindFormatEtc(FormatEtcIn);
        // Offered in all but its target device: nothing here renders that.
        if (index < 0) return DV_E_FORMATETC;
        if (STGMEDIUM* stored = FindInternalStgMedium(FFormats[size_t(index)].cfFormat);
            stored && stored->tymed != TYMED_NULL)
            return StgMediumIncRef(*stored, Medium, false);
        if (!owner) return E_FAIL;
        HRESULT r = owner->RenderOLEData(FormatEtcIn, Medium, FForClipboard);
        if (FAILED(r)) Medium = STGMEDIUM{};
        return r;
    } catch (...) {
        Medium = STGMEDIUM{};
        return E_FAIL;
    }
}

HRESULT TVTDataObject::QueryGetData(const FORMATETC& FormatEtc) {
    HRESULT result = DV_E_CLIPFORMAT;
    for (const FORMATETC& offered : FFormats) {
        if (offered.cfFormat != FormatEtc.cfFormat) continue;
        if ((offered.tymed & FormatEtc.tymed) == 0)
            result = DV_E_TYMED;
        else if (offered.dwAspect != FormatEtc.dwAspect)
            result = DV_E_DVASPECT;
        else if (offered.lindex != FormatEtc.lindex)
            result = DV_E_LINDEX;
        else
            return S_OK;
    }
    return result;
}

HRESULT TVTDataObject::GetCanonicalFormatEtc(const FORMATETC& In, FORMATETC& Out) {
    Out = In;
    Out.ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT TVTDataObject::SetData(const FORMATETC& FormatEtc, STGMEDIUM& Medium, bool Release) {
    STGMEDIUM* destination = nullptr;
    int index = FindFormatEtc(FormatEtc);
    if (index < 0) {
        FFormats.push_back(FormatEtc);
    } else {
        destination = FindInternalStgMedium(FFormats[size_t(index)].cfFormat);
        if (destination) ReleaseStgMedium(*destination);
    }
    if (!destination) {
        FStoredMediums.emplace_back(FormatEtc.cfFormat, STGMEDIUM{});
        destination = &FStoredMediums.back().second;
    }
    if (Release) {
        *destination = Medium;
        return S_OK;
    }
    HRESULT result = StgMediumIncRef(Medium, *destination, true);
    // A copy must not keep this object alive through itself.
    if (destination->pUnkForRelease.get() == static_cast<const void*>(this))
        destination->pUnkForRelease.reset();
    return result;
}

HRESULT TVTDataObject::EnumFormatEtc(uint32_t Direction, std::shared_ptr<IEnumFORMATETC>& Enum) {
    Enum = nullptr;
    if (Direction != DATADIR_GET) return OLE_S_USEREG;
    Enum = std::make_shared<TEnumFormatEtc>(FFormats);
    return S_OK;
}

// ---- The tree's formats and rendering ----------------------------------------------------

void TBaseVirtualTree::GetNativeClipboardFormats(TFormatEtcArray& Formats) {
    TreeFormats();
    ClipboardFormatRegistry().FormatsForClass(this, Formats, FClipboardFormats.get());
    DoGetUserClipboardFormats(Formats);
}

void TBaseVirtualTree::DoGetUserClipboardFormats(TFormatEtcArray& Formats) {
    if (OnGetUserClipboardFormats) OnGetUserClipboardFormats(this, Formats);
}

HRESULT TBaseVirtualTree::DoRenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium,
                                          bool ForClipboard) {
    HRESULT result = E_FAIL;
    if (OnRenderOLEData) OnRenderOLEData(this, FormatEtcIn, Medium, ForClipboard, result);
    return result;
}

std::shared_ptr<IDataObject> TBaseVirtualTree::DoCreateDataObject() {
    std::shared_ptr<IDataObject> data;
    if (OnCreateDataObject) OnCreateDataObject(this, data);
    return data;
}

HRESULT TBaseVirtualTree::RenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) {
    Medium = STGMEDIUM{};
    if (FormatEtcIn.cfFormat != TreeDataFormat() || !(FormatEtcIn.tymed & (TYMED_HGLOBAL | TYMED_ISTREAM)))
        return DoRenderOLEData(FormatEtcIn, Medium, ForClipboard);
    TNodeArray nodes = ForClipboard ? GetSortedCutCopySet(true) : GetSortedSelection(true);
    TVTMemoryStream stream;
    for (PVirtualNode node : nodes)
        WriteNode(stream, node);
    // A request that takes a block gets one: copies of the clipboard's
    // content are blocks, and they keep the length before the nodes.
    if (FormatEtcIn.tymed & TYMED_HGLOBAL) {
        if (stream.Bytes().empty()) return E_FAIL;
        TBytes block = MakeSizedBlock(stream.Bytes().data(), stream.Bytes().size());
        Medium.hGlobal = GlobalBlock(block.data(), block.size());
        if (!Medium.hGlobal) return E_OUTOFMEMORY;
        Medium.tymed = TYMED_HGLOBAL;
        return S_OK;
    }
    Medium.pstm = CreateStreamOnHGlobal(GlobalBlock(stream.Bytes().data(), stream.Bytes().size()));
    Medium.pstm->SetPosition(0);
    Medium.tymed = TYMED_ISTREAM;
    return S_OK;
}

TBaseVirtualTree* TBaseVirtualTree::GetTreeFromDataObject(IDataObject* DataObject) {
    if (!DataObject) return nullptr;
    STGMEDIUM medium;
    HRESULT result;
    try {
        result =
            DataObject->GetData(MakeFormatEtc(TreeReferenceFormat(), TYMED_HGLOBAL | TYMED_ISTREAM), medium);
    } catch (...) {
        return nullptr;
    }
    if (result != S_OK) return nullptr;
    std::optional<TBytes> bytes = MediumBytes(medium);
    ReleaseStgMedium(medium);
    std::optional<TVTTreeReference> reference = bytes ? ReadTreeReferenceBlock(*bytes) : std::nullopt;
    if (!reference || reference->ProcessId != GetCurrentProcessId()) return nullptr;
    return TreeFromTransferToken(reference->Token);
}

// ---- Copy, cut and paste -----------------------------------------------------------------

void TBaseVirtualTree::MarkCutCopyNodes() {
    if (FSelectionCount == 0) return;
    for (PVirtualNode node : GetSortedSelection(false))
        if (!node->States.Contains(vsDisabled)) node->States.Include(vsCutCopyMarked);
}

void TBaseVirtualTree::CopyToClipboard() {
    if (FSelectionCount == 0) return;
    auto data = std::make_shared<TVTDataObject>(this, true);
    if (OleSetClipboard(data, this) != S_OK) return;
    // The marks of an earlier copy go even while a reader still holds its data.
    CancelClipboardMarks();
    FClipboardData = data;
    MarkCutCopyNodes();
    DoStateChange({tsCopyPending});
    InvalidateView();
}

void TBaseVirtualTree::CutToClipboard() {
    if (FSelectionCount == 0 || ReadOnly()) return;
    auto data = std::make_shared<TVTDataObject>(this, true);
    if (OleSetClipboard(data, this) != S_OK) return;
    // The marks of an earlier copy go even while a reader still holds its data.
    CancelClipboardMarks();
    FClipboardData = data;
    MarkCutCopyNodes();
    DoStateChange({tsCutPending}, {tsCopyPending});
    InvalidateView();
}

void TBaseVirtualTree::CancelClipboardMarks() {
    if (FStates.Contains(tsCopyPending) || FStates.Contains(tsCutPending))
        for (PVirtualNode run = GetFirstNoInit(); run; run = GetNextNoInit(run))
            run->States.Exclude(vsCutCopyMarked);
    DoStateChange({}, {tsCopyPending, tsCutPending});
}

void TBaseVirtualTree::CompleteCut() {
    if (!FStates.Contains(tsCutPending)) return;
    {
        BeginUpdate();
        TScopeGuard end([&] { EndUpdate(); });
        PVirtualNode run = GetFirstNoInit();
        while (run) {
            if (run->States.Contains(vsCutCopyMarked)) {
                PVirtualNode next = NextAfterSubtree(run);
                DeleteNode(run);
                run = next;
            } else {
                run = GetNextNoInit(run);
            }
        }
    }
    DoStateChange({}, {tsCutPending});
}

bool TBaseVirtualTree::PasteFromClipboard() {
    if (ReadOnly()) return false;
    std::shared_ptr<IDataObject> data;
    if (FAILED(OleGetClipboard(data)) || !data) RaiseTreeError(SClipboardFailed, ecClipboardFailed);
    TBaseVirtualTree* source = GetTreeFromDataObject(data.get());
    bool result = InsertOLEData(source, data.get(), FFocusedNode, DefaultPasteMode,
                                source && source->FStates.Contains(tsCutPending));
    if (source) {
        if (source == this)
            DoStateChange({}, {tsCutPending});
        else
            source->CompleteCut();
    }
    return result;
}

bool TBaseVirtualTree::InsertOLEData(TBaseVirtualTree* Source, IDataObject* DataObject, PVirtualNode Target,
                                     TVTNodeAttachMode Mode, bool Optimized) {
    const FORMATETC request = MakeFormatEtc(TreeDataFormat(), TYMED_HGLOBAL | TYMED_ISTREAM);
    // Nodes inserted nowhere would stay unlinked in the tree's store.
    if (!DataObject || Mode == amNoWhere || DataObject->QueryGetData(request) != S_OK || ReadOnly())
        return false;
    BeginUpdate();
    TScopeGuard end([&] { EndUpdate(); });
    if (!Target) Target = FRoot;
    if (Target == FRoot) {
        if (Mode == amInsertBefore)
            Mode = amAddChildFirst;
        else if (Mode == amInsertAfter)
            Mode = amAddChildLast;
    }
    if (Optimized && Source) {
        TNodeArray nodes = Source->FStates.Contains(tsOLEDragging) ? Source->FDragSelection
                                                                   : Source->GetSortedCutCopySet(true);
        if (Mode != amInsertBefore && Mode != amAddChildLast) std::reverse(nodes.begin(), nodes.end());
        for (PVirtualNode node : nodes)
            if (!HasAsParent(Target, node)) Source->MoveTo(node, Target, Mode, false);
        return true;
    }

    STGMEDIUM medium;
    if (DataObject->GetData(request, medium) != S_OK) return false;
    TScopeGuard release([&] { ReleaseStgMedium(medium); });
    TVTStreamImage image;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        image = ReadTreeDataBlock(*medium.hGlobal);
    } else if (medium.tymed == TYMED_ISTREAM && medium.pstm) {
        std::optional<TBytes> bytes = MediumBytes(medium);
        if (!bytes) return false;
        image = ReadTreeStream(std::move(*bytes), TVTStreamKind::NodeSequence);
    } else {
        return false;
    }
    const TChangeReason reason = Source == this ? crNodeCopied : crNodeAdded;
    for (size_t record : image.TopLevel) {
        PVirtualNode node = AllocateNode();
        InternalConnectNode(node, Target, Mode, this);
        InternalAddFromStream(image, record, node);
        if (!DoNodeCopying(node, Target == FRoot ? nullptr : Target)) {
            // The refused node goes; the next one is placed as this one would
            // have been, never next to it.
            DeleteNode(node);
            continue;
        }
        DoNodeCopied(node);
        StructureChange(node, reason);
        // The next node follows this one, so that they keep their order.
        if (Mode == amInsertAfter || Mode == amAddChildFirst) {
            Target = node;
            Mode = amInsertAfter;
        }
    }
    return true;
}

bool TBaseVirtualTree::HoldsClipboardData() const {
    return !FClipboardData.expired();
}

void TBaseVirtualTree::ReleaseClipboardContent() {
    std::shared_ptr<IDataObject> data = FClipboardData.lock();
    FClipboardData.reset();
    if (data && OleIsCurrentClipboard(data.get()) == S_OK) OleSetClipboard(nullptr);
}

void TBaseVirtualTree::ShutDownDataTransfer() {
    UpdateDropRegistration(false);
    if (FDragManager) FDragManager->Detach();
    if (FTransferToken != 0) LiveTrees().erase(FTransferToken);
    FTransferToken = 0;
    ReleaseClipboardContent();
    FDragSelection.clear();
}

// ---- Actions -----------------------------------------------------------------------------

bool TBaseVirtualTree::ExecuteAction(TBasicAction* Action) {
    if (TCustomControl::ExecuteAction(Action)) return true;
    if (dynamic_cast<TEditSelectAll*>(Action)) {
        SelectAll(false);
    } else if (dynamic_cast<TEditCopy*>(Action)) {
        CopyToClipboard();
    } else if (dynamic_cast<TEditCut*>(Action) || dynamic_cast<TEditPaste*>(Action) ||
               dynamic_cast<TEditDelete*>(Action)) {
        if (ReadOnly()) return true;
        if (dynamic_cast<TEditCut*>(Action))
            CutToClipboard();
        else if (dynamic_cast<TEditPaste*>(Action))
            PasteFromClipboard();
        else
            DeleteSelectedNodes();
    } else {
        return false;
    }
    return true;
}

bool TBaseVirtualTree::UpdateAction(TBasicAction* Action) {
    auto* action = dynamic_cast<TCustomAction*>(Action);
    if (!action || !Focused()) return TCustomControl::UpdateAction(Action);
    const bool del = dynamic_cast<TEditDelete*>(Action);
    if (del || dynamic_cast<TEditCut*>(Action) || dynamic_cast<TEditCopy*>(Action)) {
        action->SetEnabled(FSelectionCount > 0 && (del || FClipboardFormats->Count() > 0));
    } else if (dynamic_cast<TEditPaste*>(Action)) {
        action->SetEnabled(true);
    } else if (dynamic_cast<TEditSelectAll*>(Action)) {
        action->SetEnabled(FOptions->SelectionOptions().Contains(toMultiSelect) && FVisibleCount > 0);
    } else {
        return TCustomControl::UpdateAction(Action);
    }
    return true;
}

// ---- Drag selection ----------------------------------------------------------------------

void TBaseVirtualTree::DropFromDragSelection(PVirtualNode Node) {
    if (FDragSelection.empty()) return;
    FDragSelection.erase(std::remove(FDragSelection.begin(), FDragSelection.end(), Node),
                         FDragSelection.end());
}
