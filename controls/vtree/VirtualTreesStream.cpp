// The tree stream: the checked reader of streams and node sequences, the
// writer of node records, loading a whole tree apart from the one it
// replaces, and moving nodes into another tree through node records.
#include "controls/vtree/VirtualTreesStream.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "controls/vtree/VirtualTreesStore_p.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/rtl/ScopeGuard.h"

using VTPrivate::CheckNormalForm;
using VTPrivate::MaxNodeHeight;

namespace {

constexpr uint16_t Magic[6] = {0x2045, 0x0056, 0x0054, 0, 0x0020, 0x2046};
constexpr size_t ChunkHeaderSize = 8;
constexpr size_t BaseFieldsV1 = 12;
constexpr size_t BaseFieldsV2 = 17;
// The writer leaves out the states that belong to a running tree only.
constexpr uint16_t WrittenStatesMask = 0xDDE9;
// A version-1 state byte: its high bit stands for a selected node.
constexpr uint16_t V1SelectedBit = 0x80;

uint16_t U16(const uint8_t* P) {
    return uint16_t(P[0] | P[1] << 8);
}
uint32_t U32(const uint8_t* P) {
    return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24;
}
int32_t I32(const uint8_t* P) {
    return int32_t(U32(P));
}

void PutU16(uint8_t* P, uint16_t V) {
    P[0] = uint8_t(V);
    P[1] = uint8_t(V >> 8);
}
void PutU32(uint8_t* P, uint32_t V) {
    for (int i = 0; i < 4; ++i)
        P[i] = uint8_t(V >> (8 * i));
}
void WriteU32(TStream& Stream, uint32_t V) {
    uint8_t b[4];
    PutU32(b, V);
    Stream.WriteBuffer(b, 4);
}
void WriteChunkHeader(TStream& Stream, int32_t Type, int32_t Size) {
    uint8_t b[ChunkHeaderSize];
    PutU32(b, uint32_t(Type));
    PutU32(b + 4, uint32_t(Size));
    Stream.WriteBuffer(b, ChunkHeaderSize);
}

[[noreturn]] void MissingAnchor() {
    RaiseTreeError(SCorruptStream1, ecCorruptStream1);
}
[[noreturn]] void BadNodeEnd() {
    RaiseTreeError(SCorruptStream2, ecCorruptStream2);
}

// Reads the records of a stream into an image; every size is checked against
// what is left of the input and of the chunk that holds it.
class TStreamParser {
public:
    explicit TStreamParser(TVTStreamImage& Image) : FImage(Image), FData(Image.Data.data()) {}

    // The record at Pos, which must end by End; returns where it ends.
    size_t Record(size_t Pos, size_t End, uint32_t Level) {
        if (Level > MaxStreamNodeLevels) BadNodeEnd();
        if (End - Pos < ChunkHeaderSize) MissingAnchor();
        int32_t type = I32(FData + Pos), size = I32(FData + Pos + 4);
        if (type != AnchorChunk || size < 0 || size_t(size) > End - Pos - ChunkHeaderSize) MissingAnchor();
        const size_t anchorEnd = Pos + ChunkHeaderSize + size_t(size);
        const size_t index = FImage.Nodes.size();
        FImage.Nodes.emplace_back();
        for (size_t at = Pos + ChunkHeaderSize; at < anchorEnd;) {
            if (anchorEnd - at < ChunkHeaderSize) BadNodeEnd();
            int32_t chunkType = I32(FData + at), chunkSize = I32(FData + at + 4);
            if (chunkSize < 0 || size_t(chunkSize) > anchorEnd - at - ChunkHeaderSize) BadNodeEnd();
            const size_t body = at + ChunkHeaderSize, bodyEnd = body + size_t(chunkSize);
            if (chunkType == BaseChunk)
                Base(index, body, bodyEnd, Level);
            else
                FImage.Nodes[index].Chunks.push_back({chunkType, body, size_t(chunkSize)});
            at = bodyEnd;
        }
        return anchorEnd;
    }

private:
    void Base(size_t Index, size_t Body, size_t BodyEnd, uint32_t Level) {
        if (FImage.Nodes[Index].HasBase) BadNodeEnd();
        const bool v1 = FImage.Version == 1;
        const size_t fields = v1 ? BaseFieldsV1 : BaseFieldsV2;
        if (BodyEnd - Body < fields) BadNodeEnd();
        const uint8_t* p = FData + Body;
        TVTStreamNode node;
        node.HasBase = true;
        node.ChildCount = U32(p);
        uint32_t height = U32(p + 4);
        uint16_t states;
        if (v1) {
            states = p[8];
            states |= (states & V1SelectedBit) ? uint16_t(1u << vsSelected) : uint16_t(1u << vsVisible);
            node.Align = p[9];
            node.CheckState = p[10];
            node.CheckType = p[11];
        } else {
            states = U16(p + 8);
            node.Align = p[10];
            node.CheckState = p[11];
            node.CheckType = p[12];
        }
        node.NodeHeight = uint16_t(std::min(height, MaxNodeHeight));
        node.States = TVirtualNodeStates::FromBits(states) * PersistentNodeStates;
        if (node.ChildCount > 0)
            node.States.Include(vsHasChildren);
        else
            node.States.Exclude(vsHasChildren).Exclude(vsExpanded);
        node.CheckState = node.CheckState > csMixedPressed
                              ? uint8_t(csUncheckedNormal)
                              : uint8_t(CheckNormalForm(TCheckState(node.CheckState)));
        if (node.CheckType > ctButton) node.CheckType = ctNone;
        // Every child record takes at least its anchor's header.
        if (node.ChildCount > (BodyEnd - Body - fields) / ChunkHeaderSize) BadNodeEnd();
        node.Chunks = std::move(FImage.Nodes[Index].Chunks);
        FImage.Nodes[Index] = std::move(node);
        size_t child = Body + fields;
        for (uint32_t i = 0, count = FImage.Nodes[Index].ChildCount; i < count; ++i)
            child = Record(child, BodyEnd, Level + 1);
        if (child != BodyEnd) BadNodeEnd();
    }

    TVTStreamImage& FImage;
    const uint8_t* FData;
};

} // namespace

TVTStreamImage ReadTreeStream(TVTBytes Bytes, TVTStreamKind Kind) {
    TVTStreamImage image;
    image.Data = std::move(Bytes);
    const uint8_t* data = image.Data.data();
    const size_t size = image.Data.size();
    size_t pos = 0;
    uint64_t count = UINT64_MAX;
    if (Kind == TVTStreamKind::File) {
        if (size < VTTreeStreamHeaderSize) RaiseTreeError(SStreamTooSmall, ecStreamTooSmall);
        for (int unit : {0, 1, 2, 5})
            if (U16(data + 2 * unit) != Magic[unit]) RaiseTreeError(SWrongStreamFormat, ecWrongStreamFormat);
        image.Version = U16(data + 6);
        if (image.Version < 1 || image.Version > VTTreeStreamVersion)
            RaiseTreeError(SWrongStreamVersion, ecWrongStreamVersion);
        pos = VTTreeStreamHeaderSize;
        if (image.Version >= 2) {
            if (size - pos < 4) RaiseTreeError(SStreamTooSmall, ecStreamTooSmall);
            count = U32(data + pos);
            pos += 4;
        } else {
            count = INT32_MAX;
        }
    }
    TStreamParser parser(image);
    while (pos < size && count > 0) {
        --count;
        image.TopLevel.push_back(image.Nodes.size());
        pos = parser.Record(pos, size, 1);
    }
    image.Consumed = pos;
    return image;
}

// ---- Memory streams ----------------------------------------------------------------------

int64_t TVTMemoryStream::Read(void* Buffer, int64_t Count) {
    int64_t n = std::clamp<int64_t>(Count, 0, std::max<int64_t>(0, int64_t(FBytes.size()) - FPosition));
    if (n > 0) std::memcpy(Buffer, FBytes.data() + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int64_t TVTMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    if (FPosition + Count > int64_t(FBytes.size())) {
        // Grows by half again at least, so that many small writes stay linear.
        size_t wanted = size_t(FPosition + Count);
        if (wanted > FBytes.capacity()) FBytes.reserve(std::max(wanted, FBytes.capacity() * 3 / 2));
        FBytes.resize(wanted);
    }
    std::memcpy(FBytes.data() + FPosition, Buffer, size_t(Count));
    FPosition += Count;
    return Count;
}

int64_t TVTMemoryStream::Seek(int64_t Offset, int Origin) {
    int64_t base = Origin == soBeginning ? 0
                   : Origin == soCurrent ? FPosition
                   : Origin == soEnd     ? int64_t(FBytes.size())
                                         : -1;
    if (base >= 0 && base + Offset >= 0) FPosition = base + Offset;
    return FPosition;
}

void TVTMemoryStream::SetSize(int64_t NewSize) {
    if (NewSize < 0) return;
    FBytes.resize(size_t(NewSize));
    FPosition = std::min(FPosition, NewSize);
}

TVTBytes TVTMemoryStream::TakeBytes() {
    FPosition = 0;
    return std::exchange(FBytes, {});
}

int64_t TOLEMemoryStream::Read(void* Buffer, int64_t Count) {
    int64_t n = std::clamp<int64_t>(Count, 0, std::max<int64_t>(0, FSize - FPosition));
    if (n > 0) std::memcpy(Buffer, FMemory + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int64_t TOLEMemoryStream::Write(const void*, int64_t) {
    throw EStreamError(SCantWriteResourceStreamError);
}

int64_t TOLEMemoryStream::Seek(int64_t Offset, int Origin) {
    int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : Origin == soEnd ? FSize : -1;
    if (base >= 0 && base + Offset >= 0) FPosition = base + Offset;
    return FPosition;
}

void TOLEMemoryStream::SetSize(int64_t) {
    throw EStreamError(SCantWriteResourceStreamError);
}

// ---- Writing -----------------------------------------------------------------------------

void TBaseVirtualTree::SaveToStream(TStream& Stream, PVirtualNode Node) {
    uint8_t header[VTTreeStreamHeaderSize];
    for (int unit = 0; unit < 6; ++unit)
        PutU16(header + 2 * unit, unit == 3 ? VTTreeStreamVersion : Magic[unit]);
    Stream.WriteBuffer(header, sizeof(header));
    if (Node && Node != FRoot) {
        WriteU32(Stream, 1);
        WriteNode(Stream, Node);
        return;
    }
    // The count is what was written, whatever initialising on the way did.
    const int64_t countPos = Stream.Position();
    WriteU32(Stream, 0);
    uint32_t written = 0;
    for (PVirtualNode run = FRoot->FirstChild; run; run = run->NextSibling, ++written)
        WriteNode(Stream, run);
    if (written == 0) return;
    const int64_t end = Stream.Position();
    Stream.SetPosition(countPos);
    WriteU32(Stream, written);
    Stream.SetPosition(end);
}

void TBaseVirtualTree::WriteNode(TStream& Stream, PVirtualNode Node) {
    if (FOptions->MiscOptions().Contains(toInitOnSave)) {
        EnsureInitialized(Node);
        if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
    }
    const int64_t start = Stream.Position();
    WriteChunkHeader(Stream, AnchorChunk, 0);
    WriteChunks(Stream, Node);
    PatchChunkSize(Stream, start, Stream.Position());
}

void TBaseVirtualTree::WriteChunks(TStream& Stream, PVirtualNode Node) {
    const int64_t basePos = Stream.Position();
    uint8_t base[ChunkHeaderSize + BaseFieldsV2] = {};
    PutU32(base, uint32_t(BaseChunk));
    PutU32(base + 12, Node->NodeHeight);
    PutU16(base + 16, uint16_t(Node->States.ToBits() & WrittenStatesMask));
    base[18] = Node->Align;
    base[19] = Node->CheckState;
    base[20] = Node->CheckType;
    Stream.WriteBuffer(base, sizeof(base));
    // Children go out only for an initialised node, and the count says how
    // many went out, so a reader always finds as many records as it is told.
    uint32_t children = 0;
    if (Node->States.Contains(vsInitDone))
        for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling, ++children)
            WriteNode(Stream, child);
    const int64_t baseEnd = Stream.Position();
    if (children > 0) {
        Stream.SetPosition(basePos + int64_t(ChunkHeaderSize));
        WriteU32(Stream, children);
    }
    PatchChunkSize(Stream, basePos, baseEnd);

    const int64_t userPos = Stream.Position();
    WriteChunkHeader(Stream, UserChunk, 0);
    DoSaveUserData(Node, Stream);
    if (Stream.Position() == userPos + int64_t(ChunkHeaderSize)) {
        Stream.SetPosition(userPos);
        Stream.SetSize(Stream.Size() - int64_t(ChunkHeaderSize));
    } else {
        PatchChunkSize(Stream, userPos, Stream.Position());
    }
}

void TBaseVirtualTree::PatchChunkSize(TStream& Stream, int64_t StartPos, int64_t EndPos) {
    Stream.SetPosition(StartPos + 4);
    WriteU32(Stream, uint32_t(EndPos - StartPos - int64_t(ChunkHeaderSize)));
    Stream.SetPosition(EndPos);
}

void TBaseVirtualTree::DoSaveUserData(PVirtualNode Node, TStream& Stream) {
    if (OnSaveNode) OnSaveNode(this, Node == FRoot ? nullptr : Node, Stream);
}

// ---- Reading -----------------------------------------------------------------------------

void TBaseVirtualTree::DoLoadUserData(PVirtualNode Node, TStream& Stream) {
    if (OnLoadNode) OnLoadNode(this, Node == FRoot ? nullptr : Node, Stream);
}

bool TBaseVirtualTree::ReadChunk(TStream& Stream, int, PVirtualNode Node, int ChunkType, int ChunkSize) {
    if (ChunkType != UserChunk) return false;
    if (ChunkSize <= 0) return true;
    DoLoadUserData(Node, Stream);
    return Stream.Position() > 0;
}

void TBaseVirtualTree::SkipStreamNode(TStream& Stream) {
    uint8_t header[ChunkHeaderSize];
    Stream.ReadBuffer(header, sizeof(header));
    int32_t size = I32(header + 4);
    if (I32(header) != AnchorChunk || size < 0 || size > Stream.Size() - Stream.Position()) MissingAnchor();
    Stream.Seek(size, soCurrent);
}

void TBaseVirtualTree::LoadFromFile(const AnsiString& FileName) {
    std::ifstream file(FileName, std::ios::binary);
    if (!file) throw EStreamError("Cannot open file \"" + FileName + "\"");
    TVTBytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) throw EReadError("Stream read error");
    TVTMemoryStream stream(std::move(bytes));
    LoadFromStream(stream);
}

void TBaseVirtualTree::LoadFromStream(TStream& Stream) {
    if (ReadOnly()) return;
    const int64_t start = Stream.Position();
    TVTBytes bytes(size_t(std::max<int64_t>(0, Stream.Size() - start)));
    bytes.resize(size_t(std::max<int64_t>(0, Stream.Read(bytes.data(), int64_t(bytes.size())))));
    TVTStreamImage image = ReadTreeStream(std::move(bytes), TVTStreamKind::File);
    Stream.SetPosition(start + int64_t(image.Consumed));
    {
        BeginUpdate();
        TScopeGuard end([&] { EndUpdate(); });
        ReplaceFromImage(image);
    }
    DoNodeCopied(nullptr);
}

struct TBaseVirtualTree::TNodeSet {
    PVirtualNode Root = nullptr;
    std::unique_ptr<VTPrivate::TNodeStore> Store;
    uint32_t VisibleCount = 0;
};

void TBaseVirtualTree::SwapNodeSet(TNodeSet& Other) {
    std::swap(FRoot, Other.Root);
    std::swap(FNodeStore, Other.Store);
    std::swap(FVisibleCount, Other.VisibleCount);
}

void TBaseVirtualTree::DiscardNodeSet(TNodeSet& Staged, const TNodeArray& Completed) {
    // The owner frees what it loaded into the nodes it was given; the nodes
    // it never saw go with their blocks.
    SwapNodeSet(Staged);
    TFirstError errors;
    if (HandlesFreeNode())
        for (PVirtualNode node : Completed)
            if (node->States.Contains(vsInitDone) || node->States.Contains(vsDataNeedsFree))
                errors.Run([&] { DoFreeNode(node); });
    SwapNodeSet(Staged);
    std::free(Staged.Root);
    Staged.Root = nullptr;
    Staged.Store.reset();
}

void TBaseVirtualTree::ReplaceFromImage(const TVTStreamImage& Image) {
    InterruptValidation();
    InvalidateCache();
    // The new nodes are built under a root and in a store of their own, while
    // the owner's handlers see them as the tree's: the old nodes stay aside.
    TNodeSet staged;
    staged.Store = std::make_unique<VTPrivate::TNodeStore>();
    SwapNodeSet(staged);
    TNodeArray completed;
    bool built = false;
    {
        TScopeGuard unstage([&] {
            if (built) return;
            SwapNodeSet(staged);
            DiscardNodeSet(staged, completed);
        });
        FRoot = nullptr;
        InitRootNode(0);
        for (size_t record : Image.TopLevel) {
            PVirtualNode node = AllocateNode();
            InternalConnectNode(node, FRoot, amAddChildLast, this);
            // The selection is taken over once the nodes are the tree's.
            AddFromImage(Image, record, node, &completed, false);
        }
        SwapNodeSet(staged);
        built = true;
    }

    TFirstError errors;
    errors.Run([&] { Clear(); });
    if (FRoot->FirstChild) {
        // The old nodes could not go: the tree keeps them.
        DiscardNodeSet(staged, completed);
        errors.RaiseIfAny();
        return;
    }
    FNodeStore = std::move(staged.Store);
    PVirtualNode from = staged.Root;
    for (PVirtualNode child = from->FirstChild; child; child = child->NextSibling)
        child->Parent = FRoot;
    if (from->FirstChild) FRoot->States.Include(vsHasChildren);
    FRoot->FirstChild = from->FirstChild;
    FRoot->LastChild = from->LastChild;
    FRoot->ChildCount = from->ChildCount;
    FRoot->TotalCount = from->TotalCount;
    FRoot->TotalHeight = from->TotalHeight;
    FVisibleCount = staged.VisibleCount;
    std::free(from);
    InvalidateCache();
    TakeOverLoadedSelection(FRoot);
    errors.RaiseIfAny();
}

size_t TBaseVirtualTree::BuildFromImage(const TVTStreamImage& Image, size_t Record, PVirtualNode Node,
                                        TNodeArray* Completed) {
    const TVTStreamNode& record = Image.Nodes[Record++];
    if (record.HasBase) {
        Node->States = record.States;
        Node->NodeHeight = record.NodeHeight;
        Node->TotalHeight = record.NodeHeight;
        Node->Align = record.Align;
        Node->CheckState = record.CheckState;
        Node->CheckType = record.CheckType;
        for (uint32_t i = 0; i < record.ChildCount; ++i) {
            PVirtualNode child = AllocateNode();
            child->Parent = Node;
            child->PrevSibling = Node->LastChild;
            child->Index = Node->LastChild ? Node->LastChild->Index + 1 : 0;
            if (Node->LastChild)
                Node->LastChild->NextSibling = child;
            else
                Node->FirstChild = child;
            Node->LastChild = child;
            // Counted as it is linked, so that a failing handler leaves the
            // list and the count in step.
            ++Node->ChildCount;
            Record = BuildFromImage(Image, Record, child, Completed);
        }
    }
    for (const TVTStreamChunk& chunk : record.Chunks) {
        TOLEMemoryStream body(Image.Data.data() + chunk.Offset, chunk.Size);
        ReadChunk(body, Image.Version, Node, chunk.Type, int(chunk.Size));
    }
    if (Completed) Completed->push_back(Node);
    return Record;
}

size_t TBaseVirtualTree::AddFromImage(const TVTStreamImage& Image, size_t Record, PVirtualNode Node,
                                      TNodeArray* Completed, bool TakeSelection) {
    PVirtualNode parent = Node->Parent;
    const bool wasFullyVisible = IsFullyVisible(Node);
    const bool wasCounted = parent->States.Contains(vsExpanded) && Node->States.Contains(vsVisible);
    const int64_t oldHeight = Node->TotalHeight;
    size_t next;
    {
        // The tree around the node learns what it became, also when a handler
        // failed half way: what was linked by then counts.
        TScopeGuard settle([&] {
            FixupTotalCount(Node);
            FixupTotalHeight(Node);
            AdjustTotalCount(parent, int64_t(Node->TotalCount) - 1, true);
            const bool counted = parent->States.Contains(vsExpanded) && Node->States.Contains(vsVisible);
            AdjustTotalHeight(
                parent, (counted ? int64_t(Node->TotalHeight) : 0) - (wasCounted ? oldHeight : 0), true);
            if (wasFullyVisible) --FVisibleCount;
            if (IsFullyVisible(Node)) FVisibleCount += 1 + CountVisibleChildren(Node);
            PVirtualNode stop = NextAfterSubtree(Node);
            for (PVirtualNode run = Node; run && run != stop; run = GetNextNoInit(run))
                if (run->FirstChild) DetermineHiddenChildrenFlag(run);
            if (parent != FRoot) DetermineHiddenChildrenFlag(parent);
            ClearTempCache();
        });
        next = BuildFromImage(Image, Record, Node, Completed);
    }
    if (TakeSelection) TakeOverLoadedSelection(Node);
    return next;
}

size_t TBaseVirtualTree::InternalAddFromStream(const TVTStreamImage& Image, size_t Record,
                                               PVirtualNode Node) {
    return AddFromImage(Image, Record, Node, nullptr, true);
}

void TBaseVirtualTree::TakeOverLoadedSelection(PVirtualNode Node) {
    const bool multi = FOptions->SelectionOptions().Contains(toMultiSelect);
    TNodeArray selected;
    PVirtualNode stop = Node == FRoot ? nullptr : NextAfterSubtree(Node);
    for (PVirtualNode run = Node == FRoot ? FRoot->FirstChild : Node; run && run != stop;
         run = GetNextNoInit(run)) {
        if (!run->States.Contains(vsSelected)) continue;
        int index;
        if (multi && FindNodeInSelection(run, index, -1, -1)) continue;
        // Entered afresh below: a node that carries the flag is never entered.
        run->States.Exclude(vsSelected);
        if (multi) selected.push_back(run);
    }
    if (!selected.empty()) InternalAddToSelection(selected, int(selected.size()), true);
}

// ---- Moving into another tree ------------------------------------------------------------

void TBaseVirtualTree::MoveToTree(PVirtualNode Source, PVirtualNode Target, TVTNodeAttachMode Mode,
                                  bool ChildrenOnly, TBaseVirtualTree* TargetTree) {
    if (Target == TargetTree->FRoot) {
        if (Mode == amInsertBefore)
            Mode = amAddChildFirst;
        else if (Mode == amInsertAfter)
            Mode = amAddChildLast;
    }
    // The target is a node of the other tree: its own owner initialises it.
    if (Target != TargetTree->FRoot) {
        if (!Target->States.Contains(vsInitDone))
            TargetTree->InitNode(Target);
        else if (Target->States.Contains(vsHasChildren) && Target->ChildCount == 0)
            TargetTree->InitChildren(Target);
    }
    const bool doMove = DoNodeMoving(Source, Target == TargetTree->FRoot ? nullptr : Target);
    PVirtualNode moved = nullptr;
    if (doMove) {
        TVTMemoryStream stream;
        if (ChildrenOnly) {
            for (PVirtualNode child = Source->FirstChild; child; child = child->NextSibling)
                WriteNode(stream, child);
        } else {
            WriteNode(stream, Source);
        }
        TVTStreamImage image = ReadTreeStream(stream.TakeBytes(), TVTStreamKind::NodeSequence);
        {
            TargetTree->BeginUpdate();
            TScopeGuard end([&] { TargetTree->EndUpdate(); });
            TargetTree->InterruptValidation();
            // Modes that put each node at the same place take the records from
            // the last, so that the nodes keep their order.
            std::vector<size_t> records = image.TopLevel;
            if (Mode == amAddChildFirst || Mode == amInsertAfter)
                std::reverse(records.begin(), records.end());
            for (size_t record : records) {
                PVirtualNode node = TargetTree->AllocateNode();
                InternalConnectNode(node, Target, Mode, TargetTree);
                TargetTree->InternalAddFromStream(image, record, node);
                moved = node;
                // The node is the other tree's: its owner is told, as it
                // alone knows the node's data.
                TargetTree->DoNodeMoved(node);
            }
        }
        // Only what arrived completely leaves this tree.
        BeginUpdate();
        TScopeGuard end([&] { EndUpdate(); });
        if (ChildrenOnly)
            DeleteChildren(Source, true);
        else
            DeleteNode(Source);
    }
    InvalidateCache();
    TargetTree->InvalidateCache();
    if (doMove) {
        if (FUpdateCount == 0) {
            ValidateCache();
            UpdateScrollBars(true);
            InvalidateView();
        }
        if (TargetTree->FUpdateCount == 0) {
            TargetTree->ValidateCache();
            TargetTree->UpdateScrollBars(true);
            TargetTree->InvalidateView();
            TargetTree->FView->UpdateWindow();
        }
        TargetTree->StructureChange(ChildrenOnly ? nullptr : moved, crNodeMoved);
    }
    StructureChange(nullptr, crNodeMoved);
}
