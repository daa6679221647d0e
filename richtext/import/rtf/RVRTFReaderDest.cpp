// The RTF reader's destinations: how destination words change where a
// group's text goes, what text bytes do in each destination, and what
// happens when a destination's group ends.
#include "richtext/engine/text/RVCodePages.h"
#include "richtext/import/rtf/RVRTFKeywords.h"
#include "richtext/import/rtf/RVRTFReader.h"

namespace {

int HexValue(uint8_t Ch) {
    if (Ch >= '0' && Ch <= '9') return Ch - '0';
    if (Ch >= 'a' && Ch <= 'f') return Ch - 'a' + 10;
    if (Ch >= 'A' && Ch <= 'F') return Ch - 'A' + 10;
    return -1;
}

// A counted text: its first byte says how many follow.
void CutToCount(AnsiString& Text) {
    if (!Text.empty()) Text.resize(std::min<std::size_t>(Text.size(), std::size_t(uint8_t(Text[0])) + 1));
}

} // namespace

void TRVRTFReader::NewStyleSheetEntry() {
    if (int(FStyleSheet.size()) >= RVRTFMaxTableEntries) return;
    FStyleSheet.emplace_back();
    FStyleSheet.back().Next = int(FStyleSheet.size()) - 1;
}

TRVRTFErrorCode TRVRTFReader::ChangeDestination(int Index, int Param) {
    TRVRTFReaderState& st = FState;
    if (st.Destination == rtfd_Skip) return rtf_ec_OK;
    switch (Index) {
    case idestShpPict:
        st.Destination = rtfd_ShpPict;
        break;
    case idestNonShpPict:
        st.Destination = FPictureInserted ? rtfd_Skip : rtfd_Normal;
        break;
    case idestPict:
        if (FPicture) return rtf_ec_InvalidPicture;
        if (OnNewPicture) {
            FPicture = std::make_unique<TRVRTFPicture>();
            FPicture->FromShpPict = st.Destination == rtfd_ShpPict;
        }
        st.Destination = rtfd_Picture;
        break;
    case idestFontTable:
        FFontList.Clear();
        st.Destination = rtfd_FontTable;
        break;
    case idestStyleSheet:
        FStyleSheet.clear();
        st.Destination = rtfd_StyleSheet;
        break;
    case idestColorTable:
        FColorList.assign(1, RVRTFAutoColor);
        st.Destination = rtfd_ColorTable;
        break;
    case idestBookmarkStart:
        if (TRVRTFErrorCode r = EmitPending(true, true); r) return r;
        FBookmarkName.clear();
        st.Destination = rtfd_BookmarkStart;
        break;
    case idestField:
        if (TRVRTFErrorCode r = EmitPending(true, true); r) return r;
        st.Destination = rtfd_Field;
        break;
    case idestFieldInstruction:
        // An instruction outside a field is not text of the document.
        if (st.Destination != rtfd_Field) {
            st.Destination = rtfd_Skip;
            break;
        }
        st.SetFieldInstruction(AnsiString());
        st.FieldResultHandled = false;
        FFieldPictureInserted = false;
        FFieldPicture.reset();
        st.Destination = rtfd_FieldInstruction;
        break;
    case idestFieldResult:
        if (st.FieldResultHandled) {
            st.FieldResultHandled = false;
            st.Destination = rtfd_Skip;
        } else {
            st.Destination = rtfd_Normal;
        }
        break;
    case idestNestTableProps:
        st.Destination = rtfd_Normal;
        break;
    case idestHeader:
    case idestFooter: {
        st.HFType = Index == idestHeader ? rtf_hf_Header : rtf_hf_Footer;
        bool supported = false;
        if (OnHeaderFooter) OnHeaderFooter(this, FState.HFType, true, supported);
        if (!supported) FState.Destination = rtfd_Skip;
        break;
    }
    case idestFootnote:
        if (!OnNote || st.InFootnote || st.HFType != rtf_hf_MainText) {
            st.Destination = rtfd_Skip;
            break;
        }
        // Text before the note goes before it, not into it.
        if (TRVRTFErrorCode r = EmitPending(true, true); r) return r;
        OnNote(this, rtf_ne_Start, FNextPosition);
        FState.Destination = rtfd_Normal;
        {
            TRVRTFParaProperties& para = FState.EditPara();
            para.InTable = false;
            para.TableLevel = 0;
        }
        FState.InFootnote = true;
        FTableLevel = 0;
        break;
    case idestNumberingTextAfter:
    case idestNumberingTextBefore:
        if (st.Destination == rtfd_OldNumbering)
            st.Destination =
                Index == idestNumberingTextAfter ? rtfd_NumberingTextAfter : rtfd_NumberingTextBefore;
        else
            st.Destination = rtfd_Skip;
        break;
    case idestOldNumbering:
        FOldNumbering = std::make_unique<TRVRTFMarkerProperties>();
        st.Destination = rtfd_OldNumbering;
        break;
    case idestSectionNumberingLevel:
        FSectionNumberingLevel = Param;
        st.Destination = rtfd_SectionNumberingLevel;
        break;
    case idestListTable:
        FListTable.clear();
        st.Destination = rtfd_ListTable;
        break;
    case idestList:
        if (st.Destination == rtfd_ListTable && int(FListTable.size()) < RVRTFMaxTableEntries) {
            FListTable.emplace_back();
            st.Destination = rtfd_List;
        } else {
            st.Destination = rtfd_Skip;
        }
        break;
    case idestListName:
        if (st.Destination == rtfd_List) st.Destination = rtfd_ListName;
        break;
    case idestListLevel:
        // A list table begun again inside a list leaves no list to add to.
        if (st.Destination == rtfd_List && !FListTable.empty() &&
            int(FListTable.back().Levels.size()) < RVRTFMaxListLevels) {
            FListTable.back().Levels.emplace_back();
            st.Destination = rtfd_ListLevel;
        } else {
            st.Destination = rtfd_Skip;
        }
        break;
    case idestLevelText:
    case idestLevelNumbers:
        if (st.Destination == rtfd_ListLevel)
            st.Destination = Index == idestLevelText ? rtfd_LevelText : rtfd_LevelNumbers;
        else
            st.Destination = rtfd_Skip;
        break;
    case idestListOverrideTable:
        FListOverrideTable.clear();
        st.Destination = rtfd_ListOverrideTable;
        break;
    case idestListOverride:
        if (st.Destination == rtfd_ListOverrideTable &&
            int(FListOverrideTable.size()) < RVRTFMaxTableEntries) {
            FListOverrideTable.emplace_back();
            st.Destination = rtfd_ListOverride;
        } else {
            st.Destination = rtfd_Skip;
        }
        break;
    case idestListOverrideLevel:
        if (st.Destination == rtfd_ListOverride && !FListOverrideTable.empty() &&
            int(FListOverrideTable.back().Levels.size()) < RVRTFMaxListLevels) {
            FListOverrideTable.back().Levels.emplace_back();
            st.Destination = rtfd_ListOverrideLevel;
        } else {
            st.Destination = rtfd_Skip;
        }
        break;
    case idestObject:
        if (OnNewObject) {
            FObject = std::make_unique<TRVRTFObject>();
            st.Destination = rtfd_Object;
        } else {
            st.Destination = rtfd_Normal;
        }
        break;
    case idestObjectData:
        if (st.Destination == rtfd_Object) {
            FObjectInserted = false;
            FObjectNibble = -1;
            st.Destination = rtfd_ObjectData;
        } else {
            st.Destination = rtfd_Skip;
        }
        break;
    case idestObjectResult:
        st.Destination = FObjectInserted ? rtfd_Skip : rtfd_Normal;
        break;
    default:
        st.Destination = rtfd_Skip;
        break;
    }
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::DestinationChar(uint8_t Ch) {
    switch (FState.Destination) {
    case rtfd_FontTable:
        // Text before any \f names no font: a bad font table.
        if (FFontList.Count() == 0) return rtf_ec_Exception;
        if (Ch != ';') AppendLimited(FFontList.Last().Name, char(Ch));
        break;
    case rtfd_ColorTable:
        if (Ch == ';' && int(FColorList.size()) < RVRTFMaxTableEntries) FColorList.push_back(RVRTFAutoColor);
        break;
    case rtfd_StyleSheetEntry:
        if (Ch != ';' && !FStyleSheet.empty()) AppendLimited(FStyleSheet.back().Name, char(Ch));
        break;
    case rtfd_Picture:
        if (!FPicture) break;
        if (FState.InputState == rtfis_Binary) {
            FPicture->WriteByte(Ch);
            break;
        }
        return ReadHexPictureData(Ch);
    case rtfd_ObjectData:
        if (!FObject) break;
        if (FState.InputState == rtfis_Binary) {
            if (!FObject->Overflow) FObject->Data.push_back(Ch);
        } else {
            int digit = HexValue(Ch);
            if (digit < 0) return rtf_ec_InvalidPicture;
            if (FObjectNibble < 0) {
                FObjectNibble = digit;
                break;
            }
            if (!FObject->Overflow) FObject->Data.push_back(uint8_t(FObjectNibble << 4 | digit));
            FObjectNibble = -1;
        }
        if (int64_t(FObject->Data.size()) > RVRTFMaxPictureData) {
            FObject->Overflow = true;
            FObject->Data.clear();
            FObject->Data.shrink_to_fit();
        }
        break;
    case rtfd_BookmarkStart:
        AppendLimited(FBookmarkName, char(Ch));
        break;
    case rtfd_FieldInstruction:
        FState.AppendFieldInstruction(char(Ch));
        break;
    case rtfd_NumberingTextAfter:
        if (FOldNumbering) AppendLimited(FOldNumbering->TextAfter, char(Ch));
        break;
    case rtfd_NumberingTextBefore:
        if (FOldNumbering) AppendLimited(FOldNumbering->TextBefore, char(Ch));
        break;
    case rtfd_ListName:
        if (!FListTable.empty()) AppendLimited(FListTable.back().Name, char(Ch));
        break;
    case rtfd_LevelText:
        if (!FListTable.empty() && !FListTable.back().Levels.empty()) {
            TRVRTFListLevel97& level = FListTable.back().Levels.back();
            if (int(level.LevelText.size()) >= RVRTFMaxNameLength) break;
            level.LevelText += char(Ch);
            if (!level.LevelTextW.empty())
                level.LevelTextW +=
                    RVCodePageToWide(FCodePage, std::string_view(reinterpret_cast<char*>(&Ch), 1));
        }
        break;
    case rtfd_LevelNumbers:
        if (!FListTable.empty() && !FListTable.back().Levels.empty())
            AppendLimited(FListTable.back().Levels.back().LevelNumbers, char(Ch));
        break;
    default:
        break;
    }
    return rtf_ec_OK;
}

// A run of hexadecimal picture data from First on, read straight from the
// input in blocks; the byte that ends it is read again by the main loop.
TRVRTFErrorCode TRVRTFReader::ReadHexPictureData(uint8_t First) {
    if (HexValue(First) < 0) return rtf_ec_OK;
    constexpr std::size_t BlockSize = 65536;
    std::vector<uint8_t> block;
    block.reserve(BlockSize);
    int high = -1;
    // False when Ch ends the run.
    auto take = [&](uint8_t Ch) {
        if (Ch == 10 || Ch == 13) return true;
        int digit = HexValue(Ch);
        if (digit < 0) return false;
        if (high < 0) {
            high = digit;
            return true;
        }
        block.push_back(uint8_t(high << 4 | digit));
        high = -1;
        if (block.size() == BlockSize) {
            FPicture->WriteData(block.data(), block.size());
            block.clear();
        }
        return true;
    };
    take(First);
    for (bool ended = false; !ended;) {
        while (FBufferIndex < FBufferLength) {
            uint8_t ch = FBuffer[std::size_t(FBufferIndex++)];
            if (!take(ch)) {
                FLastChar = ch;
                PushBack();
                ended = true;
                break;
            }
        }
        uint8_t ch;
        if (ended || !ReadByte(ch)) break;
        if (!take(ch)) {
            PushBack();
            break;
        }
    }
    FPicture->WriteData(block.data(), block.size());
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::EndDestination(TRVRTFDestination Ending) {
    switch (Ending) {
    case rtfd_FontTable:
        FFontList.RemoveCharsetSuffixes();
        break;
    case rtfd_Picture:
        return EndPicture();
    case rtfd_Object:
        FObject.reset();
        break;
    case rtfd_ObjectData:
        return FireNewObject();
    case rtfd_BookmarkStart:
        if (OnBookmarkStart) OnBookmarkStart(this, FBookmarkName);
        FBookmarkName.clear();
        break;
    case rtfd_Field:
        return EndField();
    case rtfd_FieldInstruction:
        return EndFieldInstruction();
    case rtfd_LevelText:
        if (!FListTable.empty() && !FListTable.back().Levels.empty()) {
            TRVRTFListLevel97& level = FListTable.back().Levels.back();
            CutToCount(level.LevelText);
            if (!level.LevelTextW.empty())
                level.LevelTextW.resize(
                    std::min<std::size_t>(level.LevelTextW.size(), std::size_t(level.LevelTextW[0]) + 1));
        }
        break;
    case rtfd_LevelNumbers:
        if (!FListTable.empty() && !FListTable.back().Levels.empty())
            CutToCount(FListTable.back().Levels.back().LevelNumbers);
        break;
    default:
        break;
    }
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::FireNewObject() {
    if (TRVRTFErrorCode r = EmitPending(true, true); r) return r;
    if (!OnNewObject || !FObject) return rtf_ec_OK;
    FinalisedPara();
    bool inserted = false;
    try {
        OnNewObject(this, FObject.get(), FNextPosition, inserted);
    } catch (...) {
        return rtf_ec_Aborted;
    }
    FObjectInserted = inserted;
    FNextPosition = rtf_ts_ContinuePara;
    return rtf_ec_OK;
}
