// Lists and paragraph numbering from RTF: list styles made or found for
// the RTF list table and for old-style numbering, list markers at the
// start of numbered paragraphs, and markers completed from what their
// paragraph turned out to be.
#include <cmath>

#include "richtext/engine/items/RVMarker.h"
#include "richtext/import/rtf/RVRTFImport_p.h"

namespace {

// A reference the RTF makes to a list level it does not have.
[[noreturn]] void BadListReference() {
    throw Exception("The list numbering refers to a list or level that does not exist");
}

TRVListType MapListType(uint8_t NumberType) {
    switch (NumberType) {
    case 2:
        return rvlstLowerAlpha;
    case 3:
        return rvlstUpperAlpha;
    case 4:
        return rvlstLowerRoman;
    case 5:
        return rvlstUpperRoman;
    case 6:
        return rvlstBullet;
    default:
        return rvlstDecimal;
    }
}

// The marker of a list level as the list styles hold it.
struct TLevelFormat {
    TRVListType Type = rvlstDecimal;
    AnsiString Format;
    AnsiString Format2;
    WideString FormatW;
    AnsiString FontName;
    uint8_t Charset = 1;
};

TLevelFormat MakeLevelFormat(const TRVRTFListLevel97& Level, const TRVRTFFontList& Fonts) {
    TLevelFormat f;
    f.Type = MapListType(Level.NumberType);
    for (std::size_t i = 1; i < Level.LevelText.size(); ++i) {
        auto b = uint8_t(Level.LevelText[i]);
        if (b < 10) {
            AnsiString numbered = "%" + IntToStr(b) + ":s";
            f.Format += b == 0 ? AnsiString("%s") : numbered;
            f.Format2 += numbered;
        } else if (b == '%') {
            // A percent sign of the text is no placeholder.
            f.Format += "%%";
            f.Format2 += "%%";
        } else {
            f.Format += char(b);
            f.Format2 += char(b);
        }
    }
    int font = Level.FontIndex >= 0 && Level.FontIndex < Fonts.Count() ? Level.FontIndex : 0;
    if (Fonts.Count() > 0) {
        f.FontName = Fonts.Items(font).Name;
        f.Charset = Fonts.Items(font).Charset;
    }
    if (!Level.LevelTextW.empty() && f.Type == rvlstBullet) {
        f.Type = rvlstUnicodeBullet;
        f.FormatW = Level.LevelTextW.substr(1);
        if (f.FormatW.size() == 1) {
            char16_t c = f.FormatW[0];
            bool symbol = SameText(f.FontName, "Symbol") && c >= 0xF0A1 && c <= 0xF0FE;
            bool wingdings = SameText(f.FontName, "Wingdings") && c >= 0xF021 && c <= 0xF0FF;
            if (symbol || wingdings) {
                f.Format = f.Format2 = AnsiString(1, char(c - 0xF000));
                f.Type = rvlstBullet;
            }
        }
    }
    return f;
}

} // namespace

void TRVRTFImportRun::UpdateMarker() {
    CompleteMarker();
}

// ---------------------------------------------------------------- list styles of the list table

void TRVRTFImportRun::BuildListStyles() {
    FListsBuilt = true;
    TRVListInfos& styles = FStyle->ListStyles();
    FListStylesBefore = styles.Count();
    const double f = FTwipsToPixels;
    std::vector<bool> chosen(std::size_t(styles.Count()), false);
    FListMap.clear();
    for (const TRVRTFList97& list : Reader->ListTable()) {
        std::vector<TLevelFormat> formats;
        for (const TRVRTFListLevel97& level : list.Levels)
            formats.push_back(MakeLevelFormat(level, Reader->FontList()));
        auto matches = [&](const TRVListInfo& Style) {
            if (Style.Levels().Count() < int(list.Levels.size())) return false;
            for (std::size_t j = 0; j < list.Levels.size(); ++j) {
                const TRVRTFListLevel97& rtf = list.Levels[j];
                const TLevelFormat& fmt = formats[j];
                TRVListLevel& l = *Style.Levels()[int(j)];
                int left = int(std::lround(rtf.LeftIndent * f));
                int first = rtf.TabPosition == -1000 ? 0 : int(std::lround(rtf.TabPosition * f)) - left;
                if (l.ListType != fmt.Type || l.StartFrom != rtf.Start ||
                    l.MarkerAlignment != rtf.Alignment || l.LeftIndent != left ||
                    l.MarkerIndent != int(std::lround(rtf.FirstIndent * f)) + left ||
                    l.FirstIndent != first || bool(l.Options & rvloLevelReset) == rtf.NoRestart ||
                    bool(l.Options & rvloLegalStyleNumbering) != rtf.Legal)
                    return false;
                TRVMarkerFont& font = l.Font();
                if (font.Style() != rtf.FontStyle || font.Color() != rtf.Color ||
                    font.Size() != rtf.FontSize || !SameText(font.Name(), fmt.FontName))
                    return false;
                if (fmt.Type == rvlstUnicodeBullet
                        ? l.FormatStringW != fmt.FormatW
                        : l.FormatString != fmt.Format && l.FormatString != fmt.Format2)
                    return false;
            }
            return true;
        };
        int found = -1;
        for (int i = 0; i < styles.Count() && found < 0; ++i)
            if ((i >= int(chosen.size()) || !chosen[std::size_t(i)]) && matches(*styles[i])) found = i;
        if (found < 0) {
            TRVListInfo& style = *styles.Add();
            style.Standard = false;
            for (std::size_t j = 0; j < list.Levels.size(); ++j) {
                const TRVRTFListLevel97& rtf = list.Levels[j];
                const TLevelFormat& fmt = formats[j];
                TRVListLevel& l = *style.Levels().Add();
                l.ListType = fmt.Type;
                l.FormatString = fmt.Format;
                l.FormatStringW = fmt.FormatW;
                l.MarkerAlignment = TRVMarkerAlignment(rtf.Alignment % 3);
                TRVMarkerFont& font = l.Font();
                font.SetName(fmt.FontName.empty() ? AnsiString("Arial") : fmt.FontName);
                font.Charset = fmt.Charset;
                font.SetStyle(rtf.FontStyle);
                font.SetColor(rtf.Color);
                font.SetSize(rtf.FontSize);
                l.LeftIndent = int(std::lround(rtf.LeftIndent * f));
                l.MarkerIndent = int(std::lround(rtf.FirstIndent * f)) + l.LeftIndent;
                l.FirstIndent =
                    rtf.TabPosition == -1000 ? 0 : int(std::lround(rtf.TabPosition * f)) - l.LeftIndent;
                l.StartFrom = rtf.Start;
                if (rtf.NoRestart) l.Options &= ~rvloLevelReset;
                if (rtf.Legal) l.Options |= rvloLegalStyleNumbering;
            }
            found = styles.Count() - 1;
        }
        if (found >= int(chosen.size())) chosen.resize(std::size_t(found) + 1, false);
        chosen[std::size_t(found)] = true;
        FListMap.push_back(found);
    }
}

// ---------------------------------------------------------------- markers

bool TRVRTFImportRun::PlaceMarker() {
    if (Props.ParaStyleMode != rvrsAddIfNeeded || !FStyle) return false;
    const TRVRTFParaProperties& para = Reader->FinalisedPara();
    if (para.Marker && para.Marker->Level > 0) {
        int level = para.Marker->Level;
        if (level > 11) BadListReference();
        if (FLevelMap.empty()) FLevelMap.assign(11, -1);
        bool reset = FLevelMap[std::size_t(level - 1)] < 0;
        auto marker = std::make_unique<TRVMarkerItemInfo>(FCurrent, -1, -1, para.Marker->Start, reset);
        marker->ParaNo = ParaStyleAt(rtf_ts_NewPara);
        Place(std::move(marker), AnsiString(), rtf_ts_NewPara);
        FLastMarkerFromList = false;
        return true;
    }
    FLevelMap.clear();
    if (para.ListOverrideIndex < 0) return false;
    if (!FListsBuilt) BuildListStyles();
    const std::vector<TRVRTFListOverride97>& overrides = Reader->ListOverrideTable();
    if (para.ListOverrideIndex >= int(overrides.size())) BadListReference();
    const TRVRTFListOverride97& o = overrides[std::size_t(para.ListOverrideIndex)];
    if (o.ListIndex < 0 || o.ListIndex >= int(FListMap.size())) BadListReference();
    int start = 1;
    bool reset = false;
    if (para.ListLevel >= 0 && para.ListLevel < int(o.Levels.size())) {
        start = o.Levels[std::size_t(para.ListLevel)].Start;
        reset = o.Levels[std::size_t(para.ListLevel)].StartOverride;
    }
    auto marker = std::make_unique<TRVMarkerItemInfo>(FCurrent, FListMap[std::size_t(o.ListIndex)],
                                                      std::max(para.ListLevel, 0), start, reset);
    marker->ParaNo = ParaStyleAt(rtf_ts_NewPara);
    Place(std::move(marker), AnsiString(), rtf_ts_NewPara);
    FLastMarkerFromList = true;
    return true;
}

void TRVRTFImportRun::CompleteMarker() {
    if (Props.ParaStyleMode != rvrsAddIfNeeded || FLastMarker < 0 || !FLastMarkerData || !FStyle) return;
    TCustomRVData& data = *FLastMarkerData;
    int index = FLastMarker;
    FLastMarker = -1;
    if (index >= data.ItemCount()) return;
    auto* marker = dynamic_cast<TRVMarkerItemInfo*>(data.GetItem(index));
    if (!marker) return;
    const TRVRTFParaProperties& para = Reader->FinalisedPara();
    const double f = FTwipsToPixels;
    if (!FLastMarkerFromList) {
        if (!para.Marker) return;
        int listNo = OldStyleListStyle(*para.Marker, para);
        if (listNo < 0) return;
        marker->ListNo = listNo;
        marker->Level = 0;
        data.RenumberMarkersFrom(index, true);
        return;
    }
    if (para.ListOverrideIndex < 0) return;
    const std::vector<TRVRTFListOverride97>& overrides = Reader->ListOverrideTable();
    if (para.ListOverrideIndex >= int(overrides.size())) BadListReference();
    int listIndex = overrides[std::size_t(para.ListOverrideIndex)].ListIndex;
    if (listIndex < 0 || listIndex >= int(FListMap.size())) BadListReference();
    TRVRTFList97& list = Reader->EditListTable()[std::size_t(listIndex)];
    if (para.ListLevel < 0 || para.ListLevel >= int(list.Levels.size())) {
        // The marker stays, at a level its list has.
        marker->Level = std::max(0, int(list.Levels.size()) - 1);
        data.RenumberMarkersFrom(index, true);
        BadListReference();
    }
    TRVRTFListLevel97& rtf = list.Levels[std::size_t(para.ListLevel)];
    int styleNo = FListMap[std::size_t(listIndex)];
    bool madeHere = styleNo >= FListStylesBefore;
    TRVListLevel* level = madeHere && para.ListLevel < FStyle->ListStyles()[styleNo]->Levels().Count()
                              ? FStyle->ListStyles()[styleNo]->Levels()[para.ListLevel]
                              : nullptr;
    if (!rtf.IndentsApplied) {
        rtf.IndentsApplied = true;
        if (level) {
            int li = para.LeftIndent, fi = para.FirstIndent;
            int oldMarker = level->MarkerIndent, oldLeft = level->LeftIndent, oldFirst = level->FirstIndent;
            level->MarkerIndent = int(std::lround((li + fi) * f));
            level->LeftIndent = int(std::lround(li * f));
            int listTab = para.ListTabPosition;
            if (fi < 0 && (listTab == -1000 || -fi < listTab)) listTab = li;
            if (listTab != -1000)
                level->FirstIndent = int(std::lround(listTab * f)) - level->LeftIndent;
            else
                level->FirstIndent = level->MarkerIndent + oldLeft + oldFirst - level->LeftIndent - oldMarker;
        }
    }
    if (!rtf.SizeGiven) {
        const TRVRTFCharProperties& ch = Reader->State().Char();
        if (level) {
            TRVMarkerFont& font = level->Font();
            font.SetSize(ch.Size > 0 ? ch.Size : 1);
            font.SetStyle(font.Style() | ch.Style);
            font.SetColor(ch.Color);
        }
        rtf.FontSize = ch.Size;
        rtf.SizeGiven = true;
    }
}

int TRVRTFImportRun::OldStyleListStyle(const TRVRTFMarkerProperties& Numbering,
                                       const TRVRTFParaProperties& Para) {
    const TRVRTFFontList& fonts = Reader->FontList();
    if (Numbering.FontIndex < 0 || Numbering.FontIndex >= fonts.Count() || Numbering.Level <= 0) return -1;
    int lvl = Numbering.Level;
    if (lvl > 11) BadListReference();
    if (FLevelMap.empty()) FLevelMap.assign(11, -1);
    if (lvl <= 10 && FLevelMap[std::size_t(lvl - 1)] >= 0) return FLevelMap[std::size_t(lvl - 1)];
    TRVListType type;
    AnsiString format, format2;
    if (lvl == 11 || (lvl == 10 && Numbering.NumberType == 0)) {
        type = rvlstBullet;
        format = format2 = Numbering.TextBefore;
    } else {
        type = MapListType(Numbering.NumberType == 6 ? 1 : Numbering.NumberType);
        format = Numbering.TextBefore + "%s" + Numbering.TextAfter;
        format2 = Numbering.TextBefore + "%0:s" + Numbering.TextAfter;
    }
    auto alignment = TRVMarkerAlignment(lvl == 11 ? 0 : Numbering.Alignment % 3);
    int li = ToPixels(Para.LeftIndent), fi = ToPixels(Para.FirstIndent);
    int indent = ToPixels(Numbering.Indent), space = ToPixels(Numbering.Space);
    int firstIndent =
        Numbering.Hanging ? std::max(space, fi + indent) : std::max(0, std::max(indent, space) + fi);
    int markerIndent = alignment == rvmaLeft    ? li + fi
                       : alignment == rvmaRight ? firstIndent + li
                                                : (li + fi + li + firstIndent) / 2;
    const TRVRTFFont& font = fonts.Items(Numbering.FontIndex);
    TRVListInfos& styles = FStyle->ListStyles();
    int found = -1;
    for (int i = 0; i < styles.Count() && found < 0; ++i) {
        if (styles[i]->Levels().Count() == 0) continue;
        TRVListLevel& l = *styles[i]->Levels()[0];
        TRVMarkerFont& mf = l.Font();
        if (l.ListType == type && l.MarkerAlignment == alignment && l.LeftIndent == li &&
            l.FirstIndent == firstIndent && l.MarkerIndent == markerIndent &&
            mf.Size() == Numbering.FontSize && mf.Style() == Numbering.FontStyle &&
            mf.Color() == Numbering.Color && SameText(mf.Name(), font.Name) &&
            (l.FormatString == format || l.FormatString == format2))
            found = i;
    }
    if (found < 0) {
        TRVListInfo& style = *styles.Add();
        style.Standard = false;
        TRVListLevel& l = *style.Levels().Add();
        l.ListType = type;
        l.FormatString = format;
        l.MarkerAlignment = alignment;
        l.LeftIndent = li;
        l.FirstIndent = firstIndent;
        l.MarkerIndent = markerIndent;
        TRVMarkerFont& mf = l.Font();
        mf.SetName(font.Name);
        mf.Charset = font.Charset;
        mf.SetSize(Numbering.FontSize > 0 ? Numbering.FontSize : 1);
        mf.SetStyle(Numbering.FontStyle);
        mf.SetColor(Numbering.Color);
        found = styles.Count() - 1;
    }
    FLevelMap[std::size_t(lvl - 1)] = found;
    return found;
}
