// The RVF writer of a document: the version record, style, layout,
// property and parameter blocks, text items joined into records of one
// style, checkpoints and the items' own records; the document's RVF
// settings and its file, stream and sub-document entry points.
#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringLists.h"
#include "richtext/engine/document/RVDocParams.h"
#include "richtext/engine/formats/RVSaveFile.h"
#include "richtext/engine/formats/rvf/RVRvfFuncs.h"
#include "richtext/engine/formats/rvf/RVRvfReader.h"
#include "richtext/engine/formats/rvf/RVRvfStyles.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/style/RVStyle.h"

// ---------------------------------------------------------------- settings

TRVFOptions TCustomRVData::GetRVFOptions() const {
    TCustomRVData* root = GetRootData();
    return root != this ? root->GetRVFOptions() : FRVFOptions;
}

void TCustomRVData::SetRVFOptions(TRVFOptions Value) {
    TCustomRVData* root = GetRootData();
    if (root != this)
        root->SetRVFOptions(Value);
    else
        FRVFOptions = Value;
}

TRVFReaderStyleMode TCustomRVData::GetRVFTextStylesReadMode() const {
    TCustomRVData* root = GetRootData();
    return root != this ? root->GetRVFTextStylesReadMode() : rvf_sInsertMerge;
}

TRVFReaderStyleMode TCustomRVData::GetRVFParaStylesReadMode() const {
    TCustomRVData* root = GetRootData();
    return root != this ? root->GetRVFParaStylesReadMode() : rvf_sInsertMerge;
}

TRVFWarnings TCustomRVData::GetRVFWarnings() const {
    TCustomRVData* root = GetRootData();
    return root != this ? root->GetRVFWarnings() : FRVFWarnings;
}

void TCustomRVData::SetRVFWarnings(TRVFWarnings Value) {
    TCustomRVData* root = GetRootData();
    if (root != this)
        root->SetRVFWarnings(Value);
    else
        FRVFWarnings = Value;
}

namespace {

constexpr int DocBlockTextStyles = 1, DocBlockParaStyles = 2, DocBlockLayout = 3, DocBlockListStyles = 4,
              DocBlockProperties = 5, DocBlockParameters = 7;

// A text run of one style and paragraph, written as one record.
struct TTextGroup {
    int First = -1;
    int Count = 0;
    int ParaNo = 0;
    bool Hex = false;
    bool Open() const { return Count > 0; }
};

class TRvfDocWriter {
public:
    TRvfDocWriter(TCustomRVData& AData, TStream& AStream)
        : Data(AData), Stream(AStream), Options(AData.GetRVFOptions()), StringTags(AData.TagsArePChars()) {}

    void WriteBlocks(TRVFSaveScope Scope, TRVLayoutInfo* Layout);
    void WriteItems(TRVFSaveScope Scope);

private:
    bool Binary() const { return Options & rvfoSaveBinary; }
    void WriteStyleBlock(int Subtype, TCustomRVInfos& Styles, TRVStyle& Style);
    void WriteCheckpoint(const TRVCPInfo* CP);
    bool NeedsHex(int ItemNo) const;
    bool CanJoin(const TTextGroup& Group, int ItemNo) const;
    void WriteGroup(TTextGroup& Group);
    void WritePartial(int ItemNo, int FromOffs, int ToOffs, bool ForceParaNo);
    AnsiString HintPart(const TCustomRVItemInfo& Item) const {
        return Item.Hint.empty() ? AnsiString() : " " + RvfQuote(Item.Hint);
    }

    TCustomRVData& Data;
    TStream& Stream;
    TRVFOptions Options;
    bool StringTags;
    // Set after a list marker written ahead of a selection: the next item
    // continues its line.
    bool ContinueMarker = false;
};

void TRvfDocWriter::WriteCheckpoint(const TRVCPInfo* CP) {
    if (!CP) return;
    WriteRvfLine(Stream, Format("%d %d %d %d %d %s %d %d",
                                {rvsCheckpoint, 1, 0, 0, 0, MakeRvfTagStr(CP->Tag, StringTags),
                                 int(CP->RaiseEvent), int(CP->Persistent)}));
    WriteRvfLine(Stream, CP->Name);
}

void TRvfDocWriter::WriteStyleBlock(int Subtype, TCustomRVInfos& Styles, TRVStyle& Style) {
    WriteRvfLine(Stream,
                 Format("%d %d %d %d %d %d %d", {rvsDocProperty, 2, 0, 0, Binary() ? 2 : 0, 0, Subtype}));
    WriteRvfLine(Stream, Style.Name());
    AnsiString payload = SaveRvfStyles(Styles);
    if (Binary())
        WriteRvfBinaryLine(Stream, payload);
    else
        WriteRvfLine(Stream, StringToHex(payload));
}

void TRvfDocWriter::WriteBlocks(TRVFSaveScope Scope, TRVLayoutInfo* Layout) {
    WriteRvfLine(Stream, Format("%d %d %d", {rvsVersionInfo, 1, 3}));
    TRVStyle* style = Data.GetRVStyle();
    if ((Data.GetFlags() & 0x100) || Scope == rvfssSelection) {
        if ((Options & rvfoSaveTextStyles) && style)
            WriteStyleBlock(DocBlockTextStyles, style->TextStyles(), *style);
        if ((Options & rvfoSaveParaStyles) && style && Data.GetRootData() == &Data) {
            WriteStyleBlock(DocBlockParaStyles, style->ParaStyles(), *style);
            WriteStyleBlock(DocBlockListStyles, style->ListStyles(), *style);
        }
        if ((Options & rvfoSaveDocProperties) && Scope != rvfssPage) {
            TStringList* props = Data.GetOuterRootData()->GetDocProperties();
            if (props && props->Count() > 0) {
                WriteRvfLine(Stream, Format("%d %d %d %d %d %d %d", {rvsDocProperty, props->Count(), 0, 0, 0,
                                                                     0, DocBlockProperties}));
                for (int i = 0; i < props->Count(); ++i)
                    WriteRvfLine(Stream, EscapeLineBreaks(props->Strings(i)));
            }
            TRVDocParameters* params = Data.GetDocParameters(false);
            WriteRvfLine(Stream, Format("%d %d %d %d %d %d %d",
                                        {rvsDocProperty, params ? params->GetRVFLineCount() : 0, 0, 0, 0, 0,
                                         DocBlockParameters}));
            if (params) params->WriteDocParametersRvf(Stream);
        }
    }
    if (Scope != rvfssSelection && (Options & rvfoSaveLayout) && Layout) {
        bool noMargins = Data.GetRootData() != &Data;
        WriteRvfLine(Stream, Format("%d %d %d %d %d %d %d",
                                    {rvsDocProperty, 2, 0, 0, Binary() ? 2 : 0, 0, DocBlockLayout}));
        WriteRvfLine(Stream, "");
        if (Binary()) {
            int64_t start = BeginRvfBinaryLine(Stream);
            Layout->SaveToStream(Stream, true, noMargins);
            EndRvfBinaryLine(Stream, start);
        } else {
            WriteRvfLine(Stream, StringToHex(Layout->SaveToBytes(noMargins)));
        }
    }
}

// A Unicode run in the binary form that holds a unit ending its line goes
// as hexadecimal instead.
bool TRvfDocWriter::NeedsHex(int ItemNo) const {
    const TCustomRVItemInfo& item = Data.LiveItem(ItemNo);
    if (!item.IsUnicode()) return false;
    return !Binary() || RawUnicodeEndsRvfLine(Data.GetItemText(ItemNo));
}

bool TRvfDocWriter::CanJoin(const TTextGroup& Group, int ItemNo) const {
    const TCustomRVItemInfo& first = Data.LiveItem(Group.First);
    const TCustomRVItemInfo& item = Data.LiveItem(ItemNo);
    return !item.GetContinuesParagraph() && item.StyleNo >= 0 && item.StyleNo == first.StyleNo &&
           item.ParaNo == Group.ParaNo && (item.ItemOptions & 0x0F) == (first.ItemOptions & 0x0F) &&
           TagsAreEqual(item.Tag, first.Tag) && item.Hint == first.Hint && !item.Checkpoint &&
           NeedsHex(ItemNo) == Group.Hex;
}

void TRvfDocWriter::WriteGroup(TTextGroup& Group) {
    if (!Group.Open()) return;
    const TCustomRVItemInfo& first = Data.LiveItem(Group.First);
    int saveType = Group.Hex ? 3 : 0;
    WriteCheckpoint(first.Checkpoint.get());
    int start = Group.First;
    int count = Group.Count;
    AnsiString tag = MakeRvfTagStr(first.Tag, StringTags);
    if (ContinueMarker) {
        ContinueMarker = false;
        int options =
            (first.ItemOptions & 0x0F & ~(ioPageBreakBefore | ioLineBreakBefore)) | ioContinuesParagraph;
        WriteRvfLine(Stream, Format("%s %d %s %d %d %s", {MakeRvfTextStyleStr(Data, first.StyleNo), 1, "-1",
                                                          options, saveType, tag}));
        WriteRvfTextLine(Stream, Data.GetItemText(start), first.IsUnicode(), Group.Hex);
        ++start;
        --count;
    }
    if (count > 0) {
        WriteRvfLine(Stream, Format("%s %d %s %d %d %s%s",
                                    {MakeRvfTextStyleStr(Data, first.StyleNo), count,
                                     MakeRvfParaStyleStr(Data, Group.ParaNo), int(first.ItemOptions & 0x0F),
                                     saveType, tag, HintPart(first)}));
        for (int i = start; i < start + count; ++i)
            WriteRvfTextLine(Stream, Data.GetItemText(i), Data.LiveItem(i).IsUnicode(), Group.Hex);
    }
    Group = TTextGroup();
}

void TRvfDocWriter::WritePartial(int ItemNo, int FromOffs, int ToOffs, bool ForceParaNo) {
    const TCustomRVItemInfo& item = Data.LiveItem(ItemNo);
    bool atStart = FromOffs <= Data.ItemStartOffset(ItemNo);
    int styleNo = item.StyleNo >= 0 ? item.StyleNo : item.GetAssociatedTextStyleNo();
    TRVStyle* style = Data.GetRVStyle();
    int actual = styleNo == rvsDefStyle && style ? item.GetActualStyleNo(style) : styleNo;
    bool unicode = style && actual >= 0 && actual < style->TextStyles().Count() &&
                   style->TextStyles().GetItem(actual)->Unicode;
    AnsiString text;
    if (item.StyleNo >= 0)
        text = ItemTextCopy(Data.GetItemText(ItemNo), FromOffs, ToOffs - FromOffs, item.ItemOptions);
    bool hex = unicode && (!Binary() || RawUnicodeEndsRvfLine(text));
    int paraNo = (atStart && !item.GetContinuesParagraph()) || ForceParaNo ? item.ParaNo : -1;
    if (atStart) WriteCheckpoint(item.Checkpoint.get());
    int options = (item.ItemOptions & 0x0F) | (unicode ? ioUnicodeText : 0);
    if (!unicode) options &= ~ioUnicodeText;
    WriteRvfLine(Stream, Format("%s %d %s %d %d %s%s",
                                {MakeRvfTextStyleStr(Data, styleNo), 1, MakeRvfParaStyleStr(Data, paraNo),
                                 options, hex ? 3 : 0, MakeRvfTagStr(item.Tag, StringTags), HintPart(item)}));
    WriteRvfTextLine(Stream, text, unicode, hex);
}

void TRvfDocWriter::WriteItems(TRVFSaveScope Scope) {
    int startNo, startOffs, endNo, endOffs;
    bool partial = false;
    Data.GetSaveRange(Scope == rvfssSelection, startNo, startOffs, endNo, endOffs, partial);
    if (startNo < 0 || startNo > endNo) return;
    if (startNo == endNo && Data.LiveItem(startNo).StyleNo >= 0 &&
        (startOffs > Data.ItemStartOffset(startNo) || endOffs < Data.ItemEndOffset(endNo))) {
        WritePartial(startNo, startOffs, endOffs, Scope == rvfssPage);
        return;
    }
    // A selection inside a list paragraph carries the paragraph's marker.
    if (Scope == rvfssSelection) {
        int firstNo = Data.GetFirstParaItem(startNo);
        if (firstNo != startNo && Data.LiveItem(firstNo).StyleNo == rvsListMarker) {
            TCustomRVItemInfo& marker = Data.LiveItem(firstNo);
            WriteCheckpoint(marker.Checkpoint.get());
            marker.SaveRVF(Stream, &Data, firstNo, marker.ParaNo, Data.GetItemText(firstNo), false);
            ContinueMarker = true;
        }
    }
    TTextGroup group;
    for (int i = startNo; i <= endNo; ++i) {
        TCustomRVItemInfo& item = Data.LiveItem(i);
        if (i == startNo && item.StyleNo >= 0 &&
            (startOffs > Data.ItemStartOffset(i) || Scope == rvfssPage)) {
            WritePartial(i, startOffs, Data.ItemEndOffset(i), Scope == rvfssPage);
            ContinueMarker = false;
            continue;
        }
        if (i == startNo && item.StyleNo < 0 && startOffs > Data.ItemStartOffset(i)) continue;
        if (i == endNo && item.StyleNo >= 0 && endOffs < Data.ItemEndOffset(i)) {
            WriteGroup(group);
            WritePartial(i, Data.ItemStartOffset(i), endOffs, false);
            ContinueMarker = false;
            continue;
        }
        if (group.Open() && CanJoin(group, i)) {
            ++group.Count;
            continue;
        }
        WriteGroup(group);
        int paraNo = item.GetContinuesParagraph() && !(i == startNo && Scope == rvfssPage) ? -1 : item.ParaNo;
        if (item.StyleNo >= 0) {
            group.First = i;
            group.Count = 1;
            group.ParaNo = paraNo;
            group.Hex = NeedsHex(i);
            continue;
        }
        if (i == endNo && endOffs <= 0) break;
        WriteCheckpoint(item.Checkpoint.get());
        item.SaveRVF(Stream, &Data, i, ContinueMarker ? -1 : paraNo, Data.GetItemText(i), ContinueMarker);
        ContinueMarker = false;
    }
    WriteGroup(group);
    if (endNo == Data.ItemCount() - 1 && endOffs >= Data.ItemEndOffset(endNo))
        WriteCheckpoint(Data.PendingCheckpoint.get());
}

} // namespace

// ---------------------------------------------------------------- entry points

bool TCustomRVData::SaveRvfEx(TStream& Stream, TRVFSaveScope Scope, TRVLayoutInfo* Layout, TColor) {
    if (ItemCount() == 0) return true;
    try {
        if (Scope == rvfssSelection)
            if (TCustomRVData* sub = GetActiveSubDocument())
                return sub->SaveRvfEx(Stream, rvfssSelection, nullptr, clNone);
        TRvfDocWriter writer(*this, Stream);
        writer.WriteBlocks(Scope, Layout);
        writer.WriteItems(Scope);
        return true;
    } catch (const Exception&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool TCustomRVData::SaveRvf(TStream& Stream, bool SelectionOnly, TRVLayoutInfo* Layout, TColor Color) {
    return SaveRvfEx(Stream, SelectionOnly ? rvfssSelection : rvfssDocument, Layout, Color);
}

bool TCustomRVData::SaveRvfFile(const AnsiString& FileName, bool SelectionOnly, TRVLayoutInfo* Layout,
                                TColor Color) {
    try {
        TRVSaveFileStream stream(FileName);
        if (!SaveRvf(stream, SelectionOnly, Layout, Color)) return false;
        stream.Commit();
        return true;
    } catch (const Exception&) {
        return false;
    }
}

void TCustomRVData::SaveRvfBlock(TStream& Stream) {
    int64_t start = BeginRvfBinaryLine(Stream);
    if (!SaveRvfEx(Stream, rvfssDocument, nullptr, clNone)) throw EZoroZudoError(errRVFDocProp);
    EndRvfBinaryLine(Stream, start);
}

namespace {

AnsiString ReadRest(TStream& Stream) {
    int64_t size = Stream.Size() - Stream.Position();
    AnsiString bytes(std::size_t(std::max<int64_t>(size, 0)), '\0');
    if (size > 0) Stream.ReadBuffer(bytes.data(), size);
    return bytes;
}

} // namespace

bool TCustomRVData::LoadRvf(TStream& Stream, TColor& Color, TRVLayoutInfo* Layout) {
    int index = 0;
    return InsertRvfAt(Stream, index, true, Layout, Color);
}

bool TCustomRVData::InsertRvfAt(TStream& Stream, int& Index, bool WholeDocument, TRVLayoutInfo* Layout,
                                TColor& Color) {
    AnsiString bytes;
    try {
        bytes = ReadRest(Stream);
    } catch (const Exception&) {
        return false;
    }
    return RVReadRvf(bytes, *this, Index, WholeDocument, Layout, Color);
}

void TCustomRVData::LoadRvfSubDocument(TStream& Stream) {
    uint8_t size[4];
    Stream.ReadBuffer(size, 4);
    int64_t length = int64_t(uint32_t(size[0]) | uint32_t(size[1]) << 8 | uint32_t(size[2]) << 16 |
                             uint32_t(size[3]) << 24);
    if (length > Stream.Size() - Stream.Position()) throw EReadError("Invalid RVF format");
    AnsiString bytes(std::size_t(length), '\0');
    if (length > 0) Stream.ReadBuffer(bytes.data(), length);
    StateBits |= rvdsReadingBlock;
    TScopeGuard clear([&] { StateBits &= ~TRVDataStates(rvdsReadingBlock); });
    TRVLayoutInfo layout;
    TColor color = clNone;
    int index = 0;
    if (!RVReadRvf(bytes, *this, index, true, &layout, color)) throw EZoroZudoError(errRVFDocProp);
    if (layout.WasRead) ApplyLayoutContinuation(layout);
}

void TCustomRVData::ApplyLayoutContinuation(const TRVLayoutInfo& Layout) {
    if (Layout.StartsInsidePara) {
        StateBits |= rvdsContinuesPrevPara;
        ContinuedListNo = Layout.ContinuedListNo;
        ContinuedListLevel = Layout.ContinuedListLevel;
    } else {
        StateBits &= ~TRVDataStates(rvdsContinuesPrevPara);
        ContinuedListNo = ContinuedListLevel = -1;
    }
    if (Layout.EndsInsidePara)
        StateBits |= rvdsParaContinuesNext;
    else
        StateBits &= ~TRVDataStates(rvdsParaContinuesNext);
}
