// The enumerations and property sets of text, paragraph and list styles.
#pragma once

#include <cstdint>

using TRVStyleTemplateId = int32_t;

// ---- text styles
using TRVFontStyles = uint8_t;
enum TRVFontStyle : uint8_t { rvfsOverline = 1, rvfsAllCaps = 2 };

using TRVHoverEffects = uint8_t;
enum TRVHoverEffect : uint8_t { rvheUnderline = 1 };

enum TRVBiDiMode : uint8_t { rvbdUnspecified, rvbdLeftToRight, rvbdRightToLeft };
enum TRVSubSuperScriptType : uint8_t { rvsssNormal, rvsssSubscript, rvsssSuperScript };

using TRVProtectOptions = uint16_t;
enum TRVProtectOption : uint16_t {
    rvprStyleProtect = 1 << 0,
    rvprStyleSplitProtect = 1 << 1,
    rvprModifyProtect = 1 << 2,
    rvprDeleteProtect = 1 << 3,
    rvprConcateProtect = 1 << 4,
    rvprRVFInsertProtect = 1 << 5,
    rvprDoNotAutoSwitch = 1 << 6,
    rvprParaStartProtect = 1 << 7,
    rvprSticking = 1 << 8,
    rvprSticking2 = 1 << 9,
    rvprSticking3 = 1 << 10,
    rvprStickToTop = 1 << 11,
    rvprStickToBottom = 1 << 12,
};

using TRVTextOptions = uint8_t;
enum TRVTextOption : uint8_t { rvteoHTMLCode = 1, rvteoRTFCode = 2 };

enum TRVUnderlineType : uint8_t {
    rvutNormal,
    rvutThick,
    rvutDouble,
    rvutDotted,
    rvutThickDotted,
    rvutDashed,
    rvutThickDashed,
    rvutLongDashed,
    rvutThickLongDashed,
    rvutDashDotted,
    rvutThickDashDotted,
    rvutDashDotDotted,
    rvutThickDashDotDotted,
};

enum TRVFontInfoProperty : uint8_t {
    rvfiFontName,
    rvfiSize,
    rvfiCharset,
    rvfiUnicode,
    rvfiBold,
    rvfiItalic,
    rvfiUnderline,
    rvfiStrikeout,
    rvfiOverline,
    rvfiAllCaps,
    rvfiSubSuperScriptType,
    rvfiVShift,
    rvfiColor,
    rvfiBackColor,
    rvfiJump,
    rvfiHoverBackColor,
    rvfiHoverColor,
    rvfiHoverUnderline,
    rvfiJumpCursor,
    rvfiNextStyleNo,
    rvfiProtection,
    rvfiCharScale,
    rvfiBaseStyleNo,
    rvfiBiDiMode,
    rvfiCharSpacing,
    rvfiHTMLCode,
    rvfiRTFCode,
    rvfiUnderlineType,
    rvfiUnderlineColor,
    rvfiHoverUnderlineColor,
    rvfiCustom,
};
using TRVFontInfoProperties = uint32_t;
inline constexpr TRVFontInfoProperties AllTextStyleProperties = 0x7FFFFFFF;
constexpr TRVFontInfoProperties RVFontProp(TRVFontInfoProperty P) {
    return TRVFontInfoProperties(1) << P;
}

// ---- paragraph styles
enum TRVAlignment : uint8_t { rvaLeft, rvaRight, rvaCenter, rvaJustify };
enum TRVLineSpacingType : uint8_t { rvlsPercent, rvlsSpaceBetween };

using TRVParaOptions = uint8_t;
enum TRVParaOption : uint8_t {
    rvpaoNoWrap = 1 << 0,
    rvpaoReadOnly = 1 << 1,
    rvpaoStyleProtect = 1 << 2,
    rvpaoDoNotWantReturns = 1 << 3,
    rvpaoKeepLinesTogether = 1 << 4,
    rvpaoKeepWithNext = 1 << 5,
    rvpaoWidowOrphanControl = 1 << 6,
};

enum TRVParaInfoProperty : uint8_t {
    rvpiFirstIndent,
    rvpiLeftIndent,
    rvpiRightIndent,
    rvpiSpaceBefore,
    rvpiSpaceAfter,
    rvpiAlignment,
    rvpiNextParaNo,
    rvpiDefStyleNo,
    rvpiLineSpacing,
    rvpiLineSpacingType,
    rvpiBackground_Color,
    rvpiBackground_BO_Left,
    rvpiBackground_BO_Top,
    rvpiBackground_BO_Right,
    rvpiBackground_BO_Bottom,
    rvpiBorder_Color,
    rvpiBorder_Style,
    rvpiBorder_Width,
    rvpiBorder_InternalWidth,
    rvpiBorder_BO_Left,
    rvpiBorder_BO_Top,
    rvpiBorder_BO_Right,
    rvpiBorder_BO_Bottom,
    rvpiBorder_Vis_Left,
    rvpiBorder_Vis_Top,
    rvpiBorder_Vis_Right,
    rvpiBorder_Vis_Bottom,
    rvpiNoWrap,
    rvpiReadOnly,
    rvpiStyleProtect,
    rvpiDoNotWantReturns,
    rvpiKeepLinesTogether,
    rvpiKeepWithNext,
    rvpiTabs,
    rvpiBiDiMode,
    rvpiCustom,
};
// The full set (36 members); the two halves below are what a paragraph
// style records as changed by hand: members 0..26 and 27..34.
using TRVParaInfoProperties = uint64_t;
using TRVParaInfoProperties1 = uint32_t; // bit n: member n
using TRVParaInfoProperties2 = uint16_t; // bit n: member 27 + n
inline constexpr TRVParaInfoProperties AllParaStyleProperties = (TRVParaInfoProperties(1) << 36) - 1;
constexpr TRVParaInfoProperties RVParaProp(TRVParaInfoProperty P) {
    return TRVParaInfoProperties(1) << P;
}
constexpr TRVParaInfoProperties RVParaProps(TRVParaInfoProperties1 P1, TRVParaInfoProperties2 P2) {
    return TRVParaInfoProperties(P1) | TRVParaInfoProperties(P2) << 27;
}

// ---- borders and tabs
enum TRVBorderStyle : uint8_t { rvbNone, rvbSingle, rvbDouble, rvbTriple, rvbThickInside, rvbThickOutside };
enum TRVTabAlign : uint8_t { rvtaLeft, rvtaRight, rvtaCenter };

// ---- merging style collections
enum TRVStyleMergeMode : uint8_t { rvsmmMerge, rvsmmMap, rvsmmAppend };
