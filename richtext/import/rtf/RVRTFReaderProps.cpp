// What the RTF reader's property words do: to the character, paragraph,
// section, document, row and cell state in the document's own groups, and
// to the records of the special destinations (colour table, style sheet,
// pictures, objects, numbering and lists).
#include <algorithm>
#include <cmath>

#include "richtext/import/rtf/RVRTFKeywords.h"
#include "richtext/import/rtf/RVRTFReader.h"

namespace {

// Half-points to points, ties to even; the size stays within what a font
// can have.
int HalfPointsToPoints(int HalfPoints) {
    HalfPoints = std::clamp(HalfPoints, 0, 32767);
    int q = HalfPoints / 2;
    if (HalfPoints % 2 && q % 2) ++q;
    return q;
}

// The colours \highlight N stands for.
TColor HighlightColor(int N) {
    static const TColor colors[] = {0x000000, 0xFF0000, 0xFFFF00, 0x00FF00, 0xFF00FF, 0x0000FF,
                                    0x00FFFF, 0xFFFFFF, 0x800000, 0x808000, 0x008000, 0x800080,
                                    0x000080, 0x008080, 0x808080, 0xC0C0C0};
    return N >= 1 && N <= 16 ? colors[N - 1] : clNone;
}

int SafeAbs(int Value) {
    return Value == INT32_MIN ? INT32_MAX : std::abs(Value);
}

void SetStyleBit(TFontStyles& Style, TFontStyles Bit, bool On) {
    Style = On ? Style | Bit : Style & ~Bit;
}

} // namespace

TColor TRVRTFReader::ColorOf(int Index, TColor Default) const {
    return Index >= 0 && Index < int(FColorList.size()) ? FColorList[std::size_t(Index)] : Default;
}

int TRVRTFReader::FontLookup(int Number) const {
    int index = FFontList.IndexOfNumber(Number);
    if (index < 0) index = FFontList.IndexOfNumber(FDefFontNumber);
    return index < 0 ? 0 : index;
}

int TRVRTFReader::DefaultFontIndex() {
    if (FDefFontIndex < 0) FDefFontIndex = FontLookup(FDefFontNumber);
    return FDefFontIndex;
}

TRVRTFBorderSide* TRVRTFReader::CurrentBorderSide() {
    switch (FState.BorderTarget) {
    case 1: {
        TRVRTFParaProperties& para = FState.EditPara();
        return &para.EditBorder().Sides[para.CurrentBorderSide & 3];
    }
    case 2: {
        TRVRTFRowProperties& row = FState.EditRow();
        return &row.Border.Sides[row.CurrentBorderSide & 3];
    }
    case 3: {
        TRVRTFRowProperties& row = FState.EditRow();
        if (row.Cells.empty()) row.Cells.emplace_back();
        TRVRTFCellProperties& cell = row.LastCell();
        return &cell.Border.Sides[cell.CurrentBorderSide & 3];
    }
    default:
        return nullptr;
    }
}

TRVRTFErrorCode TRVRTFReader::ChangeProperty(int Index, int Param, bool fParam) {
    switch (FState.Destination) {
    case rtfd_Skip:
        return rtf_ec_OK;
    case rtfd_ColorTable:
        if (Index == ipropRed || Index == ipropGreen || Index == ipropBlue) {
            if (FColorList.empty()) return rtf_ec_OK;
            TColor& color = FColorList.back();
            if (color == RVRTFAutoColor) color = 0;
            // Clamped, so that no colour becomes "no colour" or a system colour.
            int shift = (Index - ipropRed) * 8;
            color = (color & ~(TColor(0xFF) << shift)) | TColor(std::clamp(Param, 0, 255)) << shift;
        }
        return rtf_ec_OK;
    case rtfd_StyleSheetEntry:
        return StyleSheetEntryProperty(Index, Param);
    case rtfd_Picture:
        return PictureProperty(Index, Param);
    case rtfd_Object:
        return ObjectProperty(Index, Param);
    case rtfd_OldNumbering:
    case rtfd_SectionNumberingLevel:
        return NumberingProperty(Index, Param);
    case rtfd_List:
        return ListProperty(Index, Param);
    case rtfd_ListLevel:
        return ListLevelProperty(Index, Param);
    case rtfd_ListOverride:
        return ListOverrideProperty(Index, Param);
    case rtfd_ListOverrideLevel:
        return ListOverrideLevelProperty(Index, Param);
    default:
        return GeneralProperty(Index, Param, fParam);
    }
}

TRVRTFErrorCode TRVRTFReader::GeneralProperty(int Index, int Param, bool) {
    const TRVRTFDestination dest = FState.Destination;
    if (Index >= ipropRowEnd && Index <= ipropEngineRowWidth && Index != ipropRowBorderSide &&
        Index != ipropCellBorderSide && Index != ipropNoTableClosing)
        return TableProperty(Index, Param);
    switch (Index) {
    // ---- characters
    case ipropBold:
        SetStyleBit(FState.EditChar().Style, fsBold, Param != 0);
        break;
    case ipropItalic:
        SetStyleBit(FState.EditChar().Style, fsItalic, Param != 0);
        break;
    case ipropStrike:
        SetStyleBit(FState.EditChar().Style, fsStrikeOut, Param != 0);
        break;
    case ipropUnderline: {
        TRVRTFCharProperties& ch = FState.EditChar();
        SetStyleBit(ch.Style, fsUnderline, Param != 0);
        ch.UnderlineType = rvutNormal;
        break;
    }
    case ipropUnderlineType: {
        TRVRTFCharProperties& ch = FState.EditChar();
        SetStyleBit(ch.Style, fsUnderline, Param != 0);
        if (Param > 0 && Param <= rvutThickDashDotDotted) ch.UnderlineType = TRVUnderlineType(Param);
        break;
    }
    case ipropUnderlineColor:
        if (Param >= 0 && Param < int(FColorList.size()))
            FState.EditChar().UnderlineColor = ColorOf(Param, 0);
        break;
    case ipropCharScaleX:
        FState.EditChar().CharScale = std::clamp(Param, 1, 600);
        break;
    case ipropCharSpacing:
        FState.EditChar().CharSpacing = std::clamp(Param, -32767, 32767);
        break;
    case ipropSubSuper:
        FState.EditChar().SubSuperScript = TRVSubSuperScriptType(std::clamp(Param, 0, 2));
        break;
    case ipropUp:
        FState.EditChar().VShift = std::clamp(Param, -32767, 32767);
        break;
    case ipropDown:
        FState.EditChar().VShift = -std::clamp(Param, -32767, 32767);
        break;
    case ipropAllCaps: {
        TRVRTFCharProperties& ch = FState.EditChar();
        ch.StyleEx =
            Param ? TRVFontStyles(ch.StyleEx | rvfsAllCaps) : TRVFontStyles(ch.StyleEx & ~rvfsAllCaps);
        break;
    }
    case ipropFontSize:
        FState.EditChar().Size = HalfPointsToPoints(Param);
        break;
    case ipropTextColor:
        if (Param >= 0 && Param < int(FColorList.size())) FState.EditChar().Color = ColorOf(Param, 0);
        break;
    case ipropBackColor:
        if (Param >= 0 && Param < int(FColorList.size())) {
            TColor c = ColorOf(Param, 0);
            FState.EditChar().BackColor = c == RVRTFAutoColor ? clNone : c;
        }
        break;
    case ipropHighlight:
        if (ConvertHighlight == rtf_hl_FixedColors) {
            FState.EditChar().BackColor = HighlightColor(Param);
        } else if (ConvertHighlight == rtf_hl_ColorTable && Param >= 0 && Param < int(FColorList.size())) {
            TColor c = ColorOf(Param, 0);
            FState.EditChar().BackColor = c == RVRTFAutoColor ? clNone : c;
        }
        break;
    case ipropLanguage:
        FState.EditChar().Language = Param;
        break;
    case ipropPlain:
        FState.EditChar().Reset(FState.DefLanguage, DefaultFontIndex());
        break;
    case ipropFont:
        if (dest == rtfd_Normal) {
            int index = FontLookup(Param);
            if (FState.Char().FontIndex != index) FState.EditChar().FontIndex = index;
        } else if (dest == rtfd_FontTable) {
            FFontList.Add(Param);
        } else if (dest == rtfd_StyleSheet && !FStyleSheet.empty()) {
            FStyleSheet.back().CharProps.FontIndex = FontLookup(Param);
        }
        break;
    case ipropHidden:
        return SetHidden(Param != 0);
    case ipropFontCharset:
        if (dest == rtfd_FontTable && FFontList.Count() > 0)
            FFontList.Last().Charset = Param > 255 || Param < 0 ? 77 : uint8_t(Param);
        break;
    case ipropFontFamily:
        if (dest == rtfd_FontTable && FFontList.Count() > 0) FFontList.Last().Family = uint8_t(Param & 7);
        break;
    // ---- paragraphs
    case ipropLineSpacing:
        FState.EditPara().LineSpacing = std::clamp(Param, -32767, 32767);
        break;
    case ipropLineSpacingMulti:
        FState.EditPara().LineSpacingMulti = Param != 0;
        break;
    case ipropLeftIndent:
        FState.EditPara().LeftIndent = std::clamp(Param, -32767, 32767);
        break;
    case ipropRightIndent:
        FState.EditPara().RightIndent = std::clamp(Param, -32767, 32767);
        break;
    case ipropFirstIndent:
        FState.EditPara().FirstIndent = std::clamp(Param, -32767, 32767);
        break;
    case ipropAlignment:
        FState.EditPara().Alignment = TRVAlignment(Param & 3);
        break;
    case ipropParaReset:
        FState.EditPara().Reset();
        break;
    case ipropSpaceBefore:
        FState.EditPara().SpaceBefore = std::clamp(Param, -32767, 32767);
        break;
    case ipropSpaceAfter:
        FState.EditPara().SpaceAfter = std::clamp(Param, -32767, 32767);
        break;
    case ipropCharBorder:
        FState.BorderTarget = 0;
        break;
    case ipropBorderType:
        if (TRVRTFBorderSide* side = CurrentBorderSide(); side && side->Type == 0) {
            side->Type = uint8_t(Param);
            if (Param != 0 && side->Width == 0) side->Width = 10;
        }
        break;
    case ipropParaBorderSide: {
        FState.BorderTarget = 1;
        TRVRTFParaProperties& para = FState.EditPara();
        para.EditBorder();
        para.CurrentBorderSide = uint8_t(Param & 3);
        break;
    }
    case ipropBorderWidth:
        if (TRVRTFBorderSide* side = CurrentBorderSide()) side->Width = std::clamp(Param, 0, 32767);
        break;
    case ipropBorderColor:
        if (Param >= 0 && Param < int(FColorList.size()))
            if (TRVRTFBorderSide* side = CurrentBorderSide()) side->Color = ColorOf(Param, 0);
        break;
    case ipropBorderSpace: {
        TRVRTFParaProperties& para = FState.EditPara();
        para.EditBorder().Sides[para.CurrentBorderSide & 3].Space = std::clamp(Param, 0, 32767);
        break;
    }
    case ipropParaBackColor:
        if (Param >= 0 && Param < int(FColorList.size())) {
            // An automatic background is no background rather than the text colour.
            TColor c = ColorOf(Param, 0);
            FState.EditPara().Background = c == RVRTFAutoColor ? clNone : c;
        }
        break;
    case ipropParaPatternColor:
        if (Param >= 0 && Param < int(FColorList.size())) FState.EditPara().PatternColor = ColorOf(Param, 0);
        break;
    case ipropParaShading:
        FState.EditPara().Shading = std::clamp(Param, 0, 10000);
        break;
    case ipropKeepTogether:
        FState.EditPara().KeepTogether = Param != 0;
        break;
    case ipropKeepWithNext:
        FState.EditPara().KeepWithNext = Param != 0;
        break;
    case ipropTabPosition:
        FState.EditPara().CompleteTab(std::clamp(Param, -32767, 32767));
        break;
    case ipropTabAlign:
        FState.EditPara().TabBeingBuilt().Align = uint8_t(Param);
        break;
    case ipropTabLeader:
        FState.EditPara().TabBeingBuilt().Leader = uint8_t(Param);
        break;
    case ipropListTab:
        FState.EditPara().TabBeingBuilt().ListTab = true;
        break;
    case ipropListOverride: {
        int index = -1;
        for (std::size_t i = 0; i < FListOverrideTable.size(); ++i)
            if (FListOverrideTable[i].Number == Param) {
                index = int(i);
                break;
            }
        FState.EditPara().ListOverrideIndex = index;
        break;
    }
    case ipropListLevel:
        FState.EditPara().ListLevel = Param;
        break;
    case ipropRowBorderSide:
        FState.BorderTarget = 2;
        FState.EditRow().CurrentBorderSide = uint8_t(Param & 3);
        break;
    case ipropCellBorderSide: {
        FState.BorderTarget = 3;
        TRVRTFRowProperties& row = FState.EditRow();
        if (row.Cells.empty()) row.Cells.emplace_back();
        row.LastCell().CurrentBorderSide = uint8_t(Param & 3);
        break;
    }
    case ipropNoTableClosing:
        FState.EditPara().NoTableClosing = true;
        break;
    // ---- section, document and the rest
    case ipropDefLanguage:
        FState.DefLanguage = Param;
        break;
    case ipropColumns:
        FState.EditSection().Columns = Param;
        break;
    case ipropPageNumberX:
        FState.EditSection().PageNumberX = Param;
        break;
    case ipropPageNumberY:
        FState.EditSection().PageNumberY = Param;
        break;
    case ipropHeaderY:
        FHeaderY = Param;
        break;
    case ipropFooterY:
        FFooterY = Param;
        break;
    case ipropPaperWidth:
        FState.EditDoc().PaperWidth = Param;
        break;
    case ipropPaperHeight:
        FState.EditDoc().PaperHeight = Param;
        break;
    case ipropLeftMargin:
        FState.EditDoc().LeftMargin = Param;
        break;
    case ipropRightMargin:
        FState.EditDoc().RightMargin = Param;
        break;
    case ipropTopMargin:
        FState.EditDoc().TopMargin = Param;
        break;
    case ipropBottomMargin:
        FState.EditDoc().BottomMargin = Param;
        break;
    case ipropPageNumberStart:
        FState.EditDoc().PageNumberStart = Param;
        break;
    case ipropSectionBreak:
        FState.EditSection().BreakType = uint8_t(Param);
        break;
    case ipropPageNumberFormat:
        FState.EditSection().PageNumberFormat = uint8_t(Param);
        break;
    case ipropFacingPages:
        FState.EditDoc().FacingPages = Param != 0;
        break;
    case ipropMirrorMargins:
        FState.EditDoc().MirrorMargins = Param != 0;
        break;
    case ipropLandscape:
        FState.EditDoc().Landscape = Param != 0;
        break;
    case ipropViewScale:
        FState.EditDoc().ViewScale = Param;
        break;
    case ipropViewZoomKind:
        FState.EditDoc().ViewZoomKind = uint8_t(Param);
        break;
    case ipropSectionReset:
        FState.EditSection().Reset();
        FHeaderY = FFooterY = 720;
        break;
    case ipropDefFont:
        if (dest == rtfd_Normal) {
            FDefFontNumber = Param;
            FDefFontIndex = -1;
        }
        break;
    case ipropAnsiCodePage:
        if (Param > 0) FCodePage = uint32_t(Param);
        break;
    case ipropUnicode:
        return UnicodeChar(Param);
    case ipropUnicodeSkip:
        FUnicodeSkip = std::max(Param, 0);
        break;
    case ipropPage:
        if (OnRequiredPageBreak) {
            if (TRVRTFErrorCode r = EmitPending(true, true); r) return r;
            OnRequiredPageBreak(this);
        }
        break;
    case ipropPnSectionLevel:
        return ChangeDestination(idestSectionNumberingLevel, Param);
    case ipropEndNote:
        if (FState.InFootnote && OnNote) OnNote(this, rtf_ne_EndNote, FNextPosition);
        break;
    case ipropNoteCharacter:
        if (OnNote) {
            // Text before the mark goes before its note.
            if (dest == rtfd_Normal)
                if (TRVRTFErrorCode r = EmitPending(true, true); r) return r;
            FinalisedPara();
            OnNote(this, rtf_ne_Character, FNextPosition);
            FNextPosition = rtf_ts_ContinuePara;
        }
        break;
    default:
        break;
    }
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::TableProperty(int Index, int Param) {
    switch (Index) {
    case ipropRowEnd: {
        TRVRTFRowProperties& row = FState.EditRow();
        if (row.TrailingCell) {
            if (!row.Cells.empty()) row.Cells.pop_back();
            row.TrailingCell = false;
        }
        if (row.ShadingPending) {
            for (TRVRTFCellProperties& cell : row.Cells)
                if (cell.Shading > 0) cell.Color = BlendShading(cell.Color, cell.PatternColor, cell.Shading);
            row.ShadingPending = false;
        }
        if (TRVRTFErrorCode r = SyncTableLevel(true); r) return r;
        FireTable(rvf_tbl_RowEnd);
        return rtf_ec_OK;
    }
    case ipropCellEnd:
        if (TRVRTFErrorCode r = SyncTableLevel(true); r) return r;
        if (TRVRTFErrorCode r = EmitPending(false, false); r) return r;
        FNextPosition = rtf_ts_NewPara;
        FireTable(rvf_tbl_CellEnd);
        return rtf_ec_OK;
    case ipropInTable:
        if (!FState.Para().InTable) FState.EditPara().InTable = true;
        return rtf_ec_OK;
    case ipropTableLevel: {
        TRVRTFParaProperties& para = FState.EditPara();
        para.TableLevel = std::clamp(Param, 0, RVRTFMaxTableLevel);
        para.InTable = Param > 0;
        return rtf_ec_OK;
    }
    case ipropRowAlign:
        FRowAlignment = uint8_t(Param);
        FRowAlignmentSet = true;
        return rtf_ec_OK;
    case ipropRowHeading:
        FRowHeading = true;
        return rtf_ec_OK;
    default:
        break;
    }
    TRVRTFRowProperties& row = FState.EditRow();
    if (row.Cells.empty()) row.Cells.emplace_back();
    TRVRTFCellProperties& cell = row.LastCell();
    auto colorOr = [&](TColor Keep) {
        TColor c = ColorOf(Param, Keep);
        return c == RVRTFAutoColor ? clNone : c;
    };
    switch (Index) {
    case ipropLastRow:
        row.LastRow = true;
        break;
    case ipropRowReset:
        row.Reset();
        FRowHeading = false;
        break;
    case ipropRowGap:
        row.Gap = std::clamp(Param, -32767, 32767);
        break;
    case ipropRowLeft:
        row.Left = std::clamp(Param, -32767 * 16, 32767 * 16);
        break;
    case ipropRowHeight:
        row.Height = std::min(SafeAbs(Param), 32767 * 16);
        break;
    case ipropRowPaddingLeft:
    case ipropRowPaddingRight:
    case ipropRowPaddingTop:
    case ipropRowPaddingBottom: {
        static const TRVRTFSide sides[] = {rtf_side_Left, rtf_side_Right, rtf_side_Top, rtf_side_Bottom};
        row.Padding[sides[Index - ipropRowPaddingLeft]] = std::clamp(Param, -32767, 32767);
        break;
    }
    case ipropRowPaddingUnitLeft:
    case ipropRowPaddingUnitRight:
    case ipropRowPaddingUnitTop:
    case ipropRowPaddingUnitBottom: {
        static const TRVRTFSide sides[] = {rtf_side_Left, rtf_side_Right, rtf_side_Top, rtf_side_Bottom};
        row.PaddingInTwips[sides[Index - ipropRowPaddingUnitLeft]] = Param == 3;
        break;
    }
    case ipropRowSpacingLeft:
    case ipropRowSpacingRight:
    case ipropRowSpacingTop:
    case ipropRowSpacingBottom: {
        static const TRVRTFSide sides[] = {rtf_side_Left, rtf_side_Right, rtf_side_Top, rtf_side_Bottom};
        row.Spacing[sides[Index - ipropRowSpacingLeft]] = std::clamp(Param, -32767, 32767);
        break;
    }
    case ipropRowSpacingUnitLeft:
    case ipropRowSpacingUnitRight:
    case ipropRowSpacingUnitTop:
    case ipropRowSpacingUnitBottom: {
        static const TRVRTFSide sides[] = {rtf_side_Left, rtf_side_Right, rtf_side_Top, rtf_side_Bottom};
        row.SpacingInTwips[sides[Index - ipropRowSpacingUnitLeft]] = Param == 3;
        break;
    }
    case ipropRowWidth:
        Param = std::clamp(Param, -32767 * 16, 32767 * 16);
        row.BestWidth = row.WidthInPercent ? -Param : Param;
        break;
    case ipropRowWidthUnit:
        if (Param == 2) {
            row.WidthInPercent = true;
            row.BestWidth = -row.BestWidth;
        } else if (Param != 3) {
            row.BestWidth = 0;
        }
        break;
    case ipropCellVMerge:
        if (cell.VMerge != 1) cell.VMerge = uint8_t(Param);
        break;
    case ipropCellHMerge:
        if (cell.HMerge != 1) cell.HMerge = uint8_t(Param);
        break;
    case ipropCellWidth:
        Param = std::clamp(Param, -32767 * 16, 32767 * 16);
        cell.BestWidth = cell.WidthInPercent ? -Param : Param;
        break;
    case ipropCellWidthUnit:
        if (Param == 2) {
            cell.WidthInPercent = true;
            cell.BestWidth = -cell.BestWidth;
        } else if (Param != 3) {
            cell.BestWidth = 0;
        }
        break;
    case ipropCellBackColor:
        if (Param >= 0 && Param < int(FColorList.size())) cell.Color = colorOr(cell.Color);
        break;
    case ipropCellPatternColor:
        if (Param >= 0 && Param < int(FColorList.size())) cell.PatternColor = ColorOf(Param, 0);
        break;
    case ipropCellShading:
        cell.Shading = std::clamp(Param, 0, 10000);
        break;
    case ipropCellVAlign:
        cell.VAlign = uint8_t(Param);
        break;
    case ipropCellRight:
        cell.RightBoundary = std::clamp(Param, -32767 * 16, 32767 * 16);
        // Beyond the limit the last cell is described again in place.
        if (int(row.Cells.size()) <= RVRTFMaxCellsPerRow)
            row.Cells.emplace_back();
        else
            row.Cells.back() = TRVRTFCellProperties();
        row.TrailingCell = true;
        break;
    case ipropEngineCellWidth:
        cell.BestWidth = std::clamp(Param, -100, 32767);
        row.EngineUnits = true;
        break;
    case ipropEngineCellHeight:
        cell.Height = std::clamp(Param, 0, 32767);
        row.EngineUnits = true;
        break;
    case ipropEngineRowWidth:
        row.BestWidth = std::clamp(Param, -100, 32767);
        row.EngineUnits = true;
        break;
    default:
        break;
    }
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::StyleSheetEntryProperty(int Index, int Param) {
    if (FStyleSheet.empty()) return rtf_ec_OK;
    TRVRTFStyleSheetEntry& entry = FStyleSheet.back();
    auto find = [&](int Number) {
        for (std::size_t i = 0; i < FStyleSheet.size(); ++i)
            if (FStyleSheet[i].Number == Number) return int(i);
        return -1;
    };
    switch (Index) {
    case ipropStyleNumber:
    case ipropCharStyleNumber:
    case ipropSectionStyleNumber:
        entry.Number = Param;
        entry.Kind = Index == ipropStyleNumber ? 1 : Index == ipropCharStyleNumber ? 0 : 2;
        break;
    case ipropStyleBasedOn:
        entry.BasedOn = find(Param);
        break;
    case ipropStyleNext:
        entry.Next = find(Param);
        break;
    case ipropStyleAdditive:
        entry.Additive = true;
        break;
    case ipropStyleHidden:
        entry.Hidden = true;
        break;
    default:
        break;
    }
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::PictureProperty(int Index, int Param) {
    if (!FPicture) return rtf_ec_OK;
    TRVRTFPicture& pic = *FPicture;
    switch (Index) {
    case ipropPicWidth:
        pic.Width = Param;
        break;
    case ipropPicHeight:
        pic.Height = Param;
        break;
    case ipropPicScaleX:
        pic.ScaleX = Param;
        break;
    case ipropPicScaleY:
        pic.ScaleY = Param;
        break;
    case ipropPicGoalWidth:
        pic.GoalWidth = Param;
        break;
    case ipropPicGoalHeight:
        pic.GoalHeight = Param;
        break;
    case ipropPicWidthBytes:
        pic.WidthBytes = Param;
        break;
    case ipropPicBitsPixel:
        pic.BitsPixel = Param;
        break;
    case ipropPicPlanes:
        pic.Planes = Param;
        break;
    case ipropPicType:
        pic.Type = uint8_t(Param);
        // Room for the bitmap file header that the data lacks.
        if (Param == 6 && pic.DataPosition < 14) {
            if (pic.Data.size() < 14) pic.Data.resize(14);
            pic.DataPosition = 14;
        }
        break;
    case ipropPicWmf:
        pic.Type = 5;
        pic.MetafileMapMode = Param >= 2 && Param <= 8 ? Param : 1;
        break;
    case ipropPicBmp:
        pic.MetafileWithBitmap = true;
        break;
    default:
        break;
    }
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::ObjectProperty(int Index, int Param) {
    if (!FObject) return rtf_ec_OK;
    if (Index == ipropObjectType) FObject->Type = uint8_t(Param);
    if (Index == ipropObjectWidth) FObject->Width = Param;
    if (Index == ipropObjectHeight) FObject->Height = Param;
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::NumberingProperty(int Index, int Param) {
    TRVRTFMarkerProperties* record = FOldNumbering.get();
    if (FState.Destination == rtfd_SectionNumberingLevel) {
        // A level the section does not have is a bad file.
        if (FSectionNumberingLevel < 1 || FSectionNumberingLevel > 11) return rtf_ec_Exception;
        record = &FState.EditSection().EditDefaultNumbering(FSectionNumberingLevel);
    }
    if (!record) return rtf_ec_OK;
    TRVRTFMarkerProperties& m = *record;
    switch (Index) {
    case ipropPnLevel:
        if (!FState.Section().DefaultNumbering.empty()) {
            if (Param < 1 || Param > 11) return rtf_ec_Exception;
            // The record in the section may be the one being filled.
            TRVRTFMarkerProperties source = FState.Section().DefaultNumbering[std::size_t(Param - 1)];
            if (FState.Destination == rtfd_SectionNumberingLevel)
                record = &FState.EditSection().EditDefaultNumbering(FSectionNumberingLevel);
            record->CopyFrom(source, true);
        }
        record->Level = Param;
        break;
    case ipropPnHanging:
        m.Hanging = Param != 0;
        break;
    case ipropPnType:
        m.NumberType = uint8_t(Param);
        break;
    case ipropPnBold:
        SetStyleBit(m.FontStyle, fsBold, Param != 0);
        break;
    case ipropPnItalic:
        SetStyleBit(m.FontStyle, fsItalic, Param != 0);
        break;
    case ipropPnUnderline:
        SetStyleBit(m.FontStyle, fsUnderline, Param != 0);
        break;
    case ipropPnStrike:
        SetStyleBit(m.FontStyle, fsStrikeOut, Param != 0);
        break;
    case ipropPnColor:
        if (Param >= 0 && Param < int(FColorList.size())) {
            m.Color = ColorOf(Param, 0);
            m.Fixed |= rtf_fixed_Color;
        }
        break;
    case ipropPnFont:
        m.FontIndex = FontLookup(Param);
        m.Fixed |= rtf_fixed_Font;
        break;
    case ipropPnFontSize:
        m.FontSize = HalfPointsToPoints(Param);
        m.Fixed |= rtf_fixed_Size;
        break;
    case ipropPnIndent:
        m.Indent = std::clamp(Param, -32767, 32767);
        break;
    case ipropPnSpace:
        m.Space = std::clamp(Param, -32767, 32767);
        break;
    case ipropPnAlign:
        m.Alignment = uint8_t(Param);
        break;
    case ipropPnStart:
        m.Start = Param;
        break;
    default:
        break;
    }
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::ListProperty(int Index, int Param) {
    if (FListTable.empty()) return rtf_ec_OK;
    if (Index == ipropListId) FListTable.back().Id = Param;
    if (Index == ipropListSimple) FListTable.back().Simple = Param != 0;
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::ListLevelProperty(int Index, int Param) {
    if (FListTable.empty() || FListTable.back().Levels.empty()) return rtf_ec_OK;
    TRVRTFListLevel97& level = FListTable.back().Levels.back();
    switch (Index) {
    case ipropBold:
        SetStyleBit(level.FontStyle, fsBold, Param != 0);
        break;
    case ipropItalic:
        SetStyleBit(level.FontStyle, fsItalic, Param != 0);
        break;
    case ipropStrike:
        SetStyleBit(level.FontStyle, fsStrikeOut, Param != 0);
        break;
    case ipropUnderline:
        SetStyleBit(level.FontStyle, fsUnderline, Param != 0);
        break;
    case ipropFontSize:
        level.FontSize = HalfPointsToPoints(Param);
        level.SizeGiven = true;
        break;
    case ipropTextColor:
        if (Param >= 0 && Param < int(FColorList.size())) level.Color = ColorOf(Param, 0);
        break;
    case ipropLeftIndent:
        level.LeftIndent = std::clamp(Param, -32767, 32767);
        break;
    case ipropFirstIndent:
        level.FirstIndent = std::clamp(Param, -32767, 32767);
        break;
    case ipropFont:
        level.FontIndex = FontLookup(Param);
        break;
    case ipropAssociatedFont:
        if (level.FontIndex < 0) level.FontIndex = FontLookup(Param);
        break;
    case ipropTabPosition:
        level.TabPosition = std::clamp(Param, -32767, 32767);
        break;
    case ipropLevelStartAt:
        level.Start = Param;
        break;
    case ipropLevelNfc:
        switch (Param) {
        case 1:
            level.NumberType = 5;
            break;
        case 2:
            level.NumberType = 4;
            break;
        case 3:
            level.NumberType = 3;
            break;
        case 4:
            level.NumberType = 2;
            break;
        case 23:
            level.NumberType = 6;
            break;
        default:
            level.NumberType = 1;
            break;
        }
        break;
    case ipropLevelJc:
        level.Alignment = Param == 1 ? 2 : Param == 2 ? 1 : 0;
        break;
    case ipropLevelOld:
        level.Old = Param != 0;
        break;
    case ipropLevelLegal:
        level.Legal = Param != 0;
        break;
    case ipropLevelNoRestart:
        level.NoRestart = Param != 0;
        break;
    case ipropLevelIndent:
        level.Indent = std::clamp(Param, -32767, 32767);
        break;
    case ipropLevelSpace:
        level.Space = std::clamp(Param, -32767, 32767);
        break;
    case ipropLevelFollow:
        level.Follow = uint8_t(Param);
        break;
    default:
        break;
    }
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::ListOverrideProperty(int Index, int Param) {
    if (FListOverrideTable.empty()) return rtf_ec_OK;
    TRVRTFListOverride97& o = FListOverrideTable.back();
    switch (Index) {
    case ipropListId:
        o.ListIndex = -1;
        for (std::size_t i = 0; i < FListTable.size(); ++i)
            if (FListTable[i].Id == Param) {
                o.ListIndex = int(i);
                break;
            }
        break;
    case ipropListOverrideCount:
        o.Count = Param;
        break;
    case ipropListOverride:
        o.Number = Param;
        break;
    default:
        break;
    }
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::ListOverrideLevelProperty(int Index, int Param) {
    if (FListOverrideTable.empty() || FListOverrideTable.back().Levels.empty()) return rtf_ec_OK;
    TRVRTFListOverrideLevel97& level = FListOverrideTable.back().Levels.back();
    if (Index == ipropLevelStartAt) level.Start = Param;
    if (Index == ipropListOverrideStartAt) level.StartOverride = true;
    return rtf_ec_OK;
}
