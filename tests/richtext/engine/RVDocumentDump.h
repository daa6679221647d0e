// A text of everything a document holds, item by item (note bodies
// included), and a comparison of two style sheets: what round trips of
// the engine's formats compare.
#pragma once

#include <typeinfo>

#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/formats/rvf/RVRvfFuncs.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/engine/items/RVTextItems.h"
#include "richtext/engine/style/RVStyle.h"

inline AnsiString DumpTag(const TRVTag& Tag) {
    if (const auto* text = std::get_if<AnsiString>(&Tag)) return "'" + *text + "'";
    return IntToStr(std::get<int32_t>(Tag));
}

inline AnsiString DumpCheckpoint(const TRVCPInfo* CP) {
    if (!CP) return "";
    return " cp(" + CP->Name + "," + DumpTag(CP->Tag) + "," + IntToStr(CP->RaiseEvent) +
           IntToStr(CP->Persistent) + ")";
}

inline AnsiString DumpRVData(const TCustomRVData& Data) {
    AnsiString out;
    for (int i = 0; i < Data.ItemCount(); ++i) {
        const TCustomRVItemInfo& item = Data.LiveItem(i);
        out += IntToStr(i) + ": " + typeid(item).name() + " s" + IntToStr(item.StyleNo) + " p" +
               IntToStr(item.ParaNo) + " o" + IntToStr(item.ItemOptions) + " t" + DumpTag(item.Tag) + " h'" +
               item.Hint + "' '" + StringToHex(Data.GetItemText(i)) + "'" +
               DumpCheckpoint(item.Checkpoint.get());
        if (auto* rect = dynamic_cast<const TRVRectItemInfo*>(&item))
            out += " rect(" + IntToStr(rect->VAlign) + "," + IntToStr(rect->VShift) + "," +
                   IntToStr(rect->VShiftAbs) + "," + IntToStr(rect->Spacing) + "," +
                   IntToStr(rect->Unremovable) + ")";
        if (auto* brk = dynamic_cast<const TRVBreakItemInfo*>(&item))
            out += " break(" + IntToStr(brk->LineWidth) + "," + IntToStr(brk->BreakStyle) + "," +
                   IntToStr(int(brk->Color)) + ")";
        if (auto* tab = dynamic_cast<const TRVTabItemInfo*>(&item))
            out += " tab(" + IntToStr(tab->TextStyleNo) + ")";
        if (auto* pic = dynamic_cast<const TRVGraphicItemInfo*>(&item)) {
            TRVMemoryStream bytes;
            if (pic->Image) pic->Image->SaveToStream(bytes);
            out += " pic(" + (pic->Image ? pic->Image->GraphicClassName() : AnsiString("nil")) + "," +
                   IntToStr(bytes.Size()) + "," + IntToStr(pic->ImageWidth) + "x" +
                   IntToStr(pic->ImageHeight) + "," + IntToStr(pic->Resizable) + IntToStr(pic->NoHtmlSize) +
                   "," + pic->Alt + "," + pic->ImageFileName + "," + IntToStr(pic->MinHeightOnPage) + "," +
                   IntToStr(pic->AnimationInterval) + ")";
        }
        if (auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item))
            out += " marker(" + IntToStr(marker->ListNo) + "," + IntToStr(marker->Level) + "," +
                   IntToStr(marker->StartFrom) + "," + IntToStr(marker->Reset) + "," +
                   IntToStr(marker->Counter) + ")";
        if (auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item))
            out += " label('" + label->Text + "'," + IntToStr(label->TextStyleNo) + "," +
                   IntToStr(label->MinWidth()) + "," + IntToStr(label->Alignment) + "," +
                   IntToStr(label->ProtectTextStyleNo) + "," + IntToStr(label->OwnerRVData == &Data) + ")";
        if (auto* seq = dynamic_cast<const TRVSeqItemInfo*>(&item))
            out += " seq(" + seq->SeqName + "," + IntToStr(seq->GetNumberType()) + "," +
                   IntToStr(seq->Reset) + "," + IntToStr(seq->StartFrom) + "," + IntToStr(seq->Counter) +
                   ",'" + seq->FormatString + "')";
        if (auto* note = dynamic_cast<const TCustomRVNoteItemInfo*>(&item))
            out += " note{\n" + DumpRVData(*note->Document) + "}";
        out += "\n";
    }
    out +=
        "pending" + DumpCheckpoint(Data.PendingCheckpoint.get()) + " count " + IntToStr(Data.CheckpointCount);
    return out;
}

// Empty when the two collections hold styles alike in every property.
inline AnsiString CompareStyles(TCustomRVInfos& A, TCustomRVInfos& B) {
    if (A.Count() != B.Count()) return "count " + IntToStr(A.Count()) + " and " + IntToStr(B.Count());
    for (int i = 0; i < A.Count(); ++i)
        if (!A.InfoItems(i)->SameAs(*B.InfoItems(i), false, false))
            return "style " + IntToStr(i) + " differs";
    return "";
}
