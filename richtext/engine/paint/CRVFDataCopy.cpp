// Copying the selection to the clipboard in every format the options ask
// for, and the protection tests editing asks before it changes text.
#include "richtext/engine/items/RVGraphic.h"
#include "richtext/engine/items/RVItem.h"
#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/style/RVStyle.h"

// ---------------------------------------------------------------- clipboard

bool TCustomRVFormattedData::CopyToClipboard(TColor Color, TRVBackground* Background) {
    if (auto* sub = dynamic_cast<TCustomRVFormattedData*>(GetActiveSubDocument()))
        return sub->CopyToClipboard(clNone, nullptr);
    TRVOptions options = GetOptions();
    bool any = options & (rvoAutoCopyText | rvoAutoCopyUnicodeText | rvoAutoCopyRVF | rvoAutoCopyRTF |
                          rvoAutoCopyImage);
    IRVClipboardTarget* clipboard = GetClipboard();
    if (!any || !clipboard || !SelectionExists(true, true)) return any;
    clipboard->Clear();
    if (options & rvoAutoCopyRVF) CopyRvfToClipboard(Color, Background);
    // Unicode text carries everything the 8-bit text would.
    if ((options & rvoAutoCopyText) && !(options & rvoAutoCopyUnicodeText)) CopyTextToClipboard();
    if (options & rvoAutoCopyImage) CopyImageToClipboard();
    if (options & rvoAutoCopyUnicodeText) CopyUnicodeTextToClipboard();
    if (options & rvoAutoCopyRTF) CopyRtfToClipboard(Color);
    return true;
}

void TCustomRVFormattedData::CopyTextToClipboard() {
    if (IRVClipboardTarget* clipboard = GetClipboard(); clipboard && SelectionExists(false, false))
        clipboard->SetText(GetSelText(false));
}

void TCustomRVFormattedData::CopyUnicodeTextToClipboard() {
    if (IRVClipboardTarget* clipboard = GetClipboard(); clipboard && SelectionExists(false, false))
        clipboard->SetUnicodeText(RawUnicodeToWide(GetSelText(true)));
}

void TCustomRVFormattedData::CopyImageToClipboard() {
    IRVClipboardTarget* clipboard = GetClipboard();
    if (!clipboard) return;
    // A picture that cannot be copied leaves the other formats.
    try {
        if (const TRVGraphic* picture = GetSelectedImage()) clipboard->SetPicture(*picture);
    } catch (const std::exception&) {
    }
}

void TCustomRVFormattedData::CopyRtfToClipboard(TColor Color) {
    IRVClipboardTarget* clipboard = GetClipboard();
    if (!clipboard) return;
    TRVMemoryStream stream;
    SaveRtf(stream, "", true, 0, Color, nullptr, true);
    clipboard->SetFormat("Rich Text Format", AnsiString(reinterpret_cast<const char*>(stream.Memory()),
                                                        std::size_t(stream.Size())));
}

void TCustomRVFormattedData::CopyRvfToClipboard(TColor Color, TRVBackground* Background) {
    IRVClipboardTarget* clipboard = GetClipboard();
    if (!clipboard) return;
    // A 32-bit length, then the document in the native format.
    TRVMemoryStream stream;
    uint32_t length = 0;
    stream.Write(&length, 4);
    if (!SaveRvfSelection(stream, Color, Background)) return;
    length = uint32_t(stream.Size() - 4);
    uint8_t* p = stream.Memory();
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(length >> (8 * i));
    clipboard->SetFormat("ZoroZudo Format", AnsiString(reinterpret_cast<const char*>(stream.Memory()),
                                                       std::size_t(stream.Size())));
}

// ---------------------------------------------------------------- protection

bool TCustomRVFormattedData::IsParaOptionSet(int ParaNo, int Option) const {
    if (Option <= 0 || Option > 0x80) return false;
    return GetRVStyle()->ParaStyles().GetItem(ParaNo)->Options & Option;
}

bool TCustomRVFormattedData::IsItemParaReadOnly(int ItemNo) const {
    return IsParaOptionSet(GetItemPara(ItemNo), rvpaoReadOnly);
}

bool TCustomRVFormattedData::IsItemProtected(int ItemNo, int Option) const {
    if (Option <= 0 || Option > 0x8000) return false;
    const TCustomRVItemInfo& item = LiveItem(ItemNo);
    int styleNo = GetItemStyle(ItemNo);
    if (styleNo < 0) {
        if (Option == rvprDeleteProtect) {
            auto* nonText = dynamic_cast<const TRVNonTextItemInfo*>(&item);
            if (nonText && nonText->Unremovable) return true;
        }
        styleNo = item.GetAssociatedTextStyleNo();
        if (styleNo < 0) return false;
        if (styleNo == rvsDefStyle) styleNo = item.GetActualStyleNo(GetRVStyle());
    }
    return GetRVStyle()->TextStyles().GetItem(styleNo)->Protection & Option;
}

bool TCustomRVFormattedData::AreItemsStuck(int ItemNo) const {
    if (ItemCount() == 0) return false;
    if (ItemNo < 0) return IsItemProtected(0, rvprStickToTop);
    if (ItemNo >= ItemCount() - 1) return IsItemProtected(ItemCount() - 1, rvprStickToBottom);
    for (int option : {rvprSticking, rvprSticking2, rvprSticking3})
        if (IsItemProtected(ItemNo, option) && IsItemProtected(ItemNo + 1, option)) return true;
    return false;
}

bool TCustomRVFormattedData::CanInsertAt(int ItemNo, int Offs) const {
    if (IsItemParaReadOnly(ItemNo)) return false;
    if (Offs <= ItemStartOffset(ItemNo)) return !AreItemsStuck(ItemNo - 1);
    if (Offs >= ItemEndOffset(ItemNo)) return !AreItemsStuck(ItemNo);
    return !IsItemProtected(ItemNo, rvprModifyProtect);
}
