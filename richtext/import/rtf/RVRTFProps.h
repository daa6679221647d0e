// The formatting the RTF reader keeps while it reads: character, paragraph,
// section, document, table row and cell properties with their borders and
// tabs, and the numbering records of old-style and list numbering.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "richtext/engine/style/RVStyleTypes.h"
#include "richtext/import/rtf/RVRTFTypes.h"

// Sides of every border, in this order.
enum TRVRTFSide : uint8_t { rtf_side_Left, rtf_side_Top, rtf_side_Right, rtf_side_Bottom };

struct TRVRTFBorderSide {
    uint8_t Type = 0; // 0 none, else the value of a \brdr word
    int32_t Width = 0;
    TColor Color = clNone;
    int32_t Space = 0;
};

// Four sides; a side is present when its type is not 0.
struct TRVRTFParaBorder {
    std::array<TRVRTFBorderSide, 4> Sides;
    bool Present(int Side) const { return Sides[std::size_t(Side)].Type != 0; }
    bool AnyPresent() const;
    void Reset() { Sides = {}; }
};

struct TRVRTFTab {
    int32_t Position = 0;
    uint8_t Align = 0;  // 0 left, 1 right, 2 center, 3 decimal
    uint8_t Leader = 0; // 0 none, 1 dots, 2 middle dots, 3 hyphens, 4 underline, 5 equal signs
    bool ListTab = false;
};

struct TRVRTFCharProperties {
    bool Hidden = false;
    int32_t Size = 12; // points
    TColor Color = RVRTFAutoColor;
    TColor BackColor = clNone;
    TColor UnderlineColor = clNone;
    int32_t FontIndex = 0;
    TFontStyles Style = 0;
    TRVFontStyles StyleEx = 0; // rvfsAllCaps only
    int32_t CharScale = 100;
    TRVSubSuperScriptType SubSuperScript = rvsssNormal;
    int32_t VShift = 0;      // half-points, up
    int32_t CharSpacing = 0; // twips
    int32_t Language = 0;
    // Set only while a SYMBOL field's character is emitted.
    AnsiString FontNameOverride;
    TRVUnderlineType UnderlineType = rvutNormal;

    void Reset(int ALanguage, int AFontIndex);
};

// What old-style numbering and list levels have in common.
struct TRVRTFCustomMarkerProperties {
    uint8_t NumberType = 0; // 0 none, 1 decimal, 2 lower letter, 3 upper letter, 4 lower roman,
                            // 5 upper roman, 6 bullet
    int32_t FontIndex = -1;
    int32_t Indent = 0;
    int32_t Space = 0;
    int32_t Start = 1;
    TFontStyles FontStyle = 0;
    TColor Color = RVRTFAutoColor;
    uint8_t Alignment = 0; // 0 left, 1 right, 2 center
    uint8_t Fixed = 0;     // given explicitly: bit 0 font, bit 1 size, bit 2 colour
    int32_t FontSize = 12;
};
inline constexpr uint8_t rtf_fixed_Font = 1, rtf_fixed_Size = 2, rtf_fixed_Color = 4;

// Old-style paragraph numbering (\pn) and its section defaults.
struct TRVRTFMarkerProperties : TRVRTFCustomMarkerProperties {
    int32_t Level = 0; // 1..9, 10 body, 11 bullet
    bool Hanging = false;
    AnsiString TextAfter;
    AnsiString TextBefore;

    void Reset() { *this = TRVRTFMarkerProperties(); }
    // A plain copy, or with inheritance from a section default: the level
    // stays, and font, size and colour come only where the source did not
    // give them itself.
    void CopyFrom(const TRVRTFMarkerProperties& Source, bool Inherit);
};

struct TRVRTFListLevel97 : TRVRTFCustomMarkerProperties {
    bool Old = false;
    bool Legal = false;
    bool NoRestart = false;
    AnsiString LevelText;
    AnsiString LevelNumbers;
    // Empty until a \u occurs in the level text.
    WideString LevelTextW;
    uint8_t Follow = 0; // 0 tab, 1 space, 2 nothing
    int32_t LeftIndent = 0;
    int32_t FirstIndent = 0;
    int32_t TabPosition = -1000;
    bool SizeGiven = false;
    bool IndentsApplied = false;
};

struct TRVRTFParaProperties {
    int32_t LeftIndent = 0;
    int32_t RightIndent = 0;
    int32_t FirstIndent = 0;
    int32_t ListTabPosition = -1000; // -1000: none
    int32_t SpaceBefore = 0;
    int32_t SpaceAfter = 0;
    TRVAlignment Alignment = rvaLeft;
    std::optional<TRVRTFParaBorder> Border;
    std::optional<TRVRTFMarkerProperties> Marker;
    uint8_t CurrentBorderSide = 0;
    int32_t LineSpacing = 240;
    bool LineSpacingMulti = true;
    TColor Background = clNone;
    int32_t TableLevel = 1;
    bool InTable = false;
    int32_t Shading = 0; // hundredths of a percent
    TColor PatternColor = 0;
    int32_t ListOverrideIndex = -1;
    int32_t ListLevel = 0;
    bool KeepTogether = false;
    bool KeepWithNext = false;
    bool NoTableClosing = false;
    bool KeepTableLevel = false;
    // The last entry is the tab being built until the tabs are finalised.
    std::vector<TRVRTFTab> Tabs;
    bool TabsFinalised = false;

    void Reset();
    TRVRTFParaBorder& EditBorder();
    // The paragraph's own table level: \itap when it is marked in-table.
    int EffectiveTableLevel() const { return InTable ? TableLevel : 0; }
    bool HasBorders() const { return Border && Border->AnyPresent(); }
    // The tab that alignment, leader and list-tab words change.
    TRVRTFTab& TabBeingBuilt();
    // \tx: the tab being built gets its position and a new one is begun.
    void CompleteTab(int32_t Position);
    // Shading blended into the background and the tab list completed; once
    // per paragraph state.
    void Finalise();
};

// Shading in hundredths of a percent blended from Background to Pattern;
// a background of no colour counts as white.
TColor BlendShading(TColor Background, TColor Pattern, int Shading);

struct TRVRTFSectionProperties {
    int32_t Columns = 1;
    uint8_t BreakType = 4; // 0 none, 1 column, 2 even, 3 odd, 4 page
    int32_t PageNumberX = 720;
    int32_t PageNumberY = 720;
    uint8_t PageNumberFormat = 0;
    // The default numbering records of the levels 1..11, made on first use.
    std::vector<TRVRTFMarkerProperties> DefaultNumbering;

    void Reset() { *this = TRVRTFSectionProperties(); }
    TRVRTFMarkerProperties& EditDefaultNumbering(int Level);
};

struct TRVRTFDocProperties {
    int32_t PaperWidth = 12240;
    int32_t PaperHeight = 15840;
    int32_t LeftMargin = 1800;
    int32_t TopMargin = 1440;
    int32_t RightMargin = 1800;
    int32_t BottomMargin = 1440;
    int32_t PageNumberStart = 1;
    bool FacingPages = false;
    bool MirrorMargins = false;
    bool Landscape = false;
    int32_t ViewScale = 100;
    uint8_t ViewZoomKind = 0;
};

struct TRVRTFCellProperties {
    uint8_t HMerge = 0; // 0 none, 1 first cell of a merge, 2 merged into the previous
    uint8_t VMerge = 0;
    bool WidthInPercent = false;
    int32_t BestWidth = 0; // twips, or minus the percentage
    TColor Color = clNone;
    uint8_t VAlign = 0; // 0 top, 1 bottom, 2 center
    TRVRTFParaBorder Border;
    uint8_t CurrentBorderSide = 0;
    int32_t RightBoundary = 0;
    TColor PatternColor = 0;
    int32_t Shading = 0;
    int32_t Height = 0; // engine units
};

struct TRVRTFRowProperties {
    TRVRTFRowProperties() { Reset(); }
    bool WidthInPercent = false;
    bool LastRow = false;
    int32_t Gap = 0;
    int32_t Left = 0;
    int32_t Height = 0;
    int32_t BestWidth = 0; // twips, or minus the percentage
    TRVRTFParaBorder Border;
    uint8_t CurrentBorderSide = 0;
    std::vector<TRVRTFCellProperties> Cells;
    bool ShadingPending = true;
    bool TrailingCell = true;
    bool EngineUnits = false;
    std::array<int32_t, 4> Padding{};
    std::array<bool, 4> PaddingInTwips{};
    std::array<int32_t, 4> Spacing{};
    std::array<bool, 4> SpacingInTwips{};

    void Reset();
    TRVRTFCellProperties& LastCell() { return Cells.back(); }
};
