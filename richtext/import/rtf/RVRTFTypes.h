// The enumerations, result codes and limits that the RTF reader and the
// document builder share.
#pragma once

#include <cstdint>

#include "platform/canvas/Graphics.h"

// Where an emitted text goes.
enum TRVRTFPosition : uint8_t { rtf_ts_ContinuePara, rtf_ts_NewLine, rtf_ts_NewPara };
enum TRVRTFTableEventKind : uint8_t {
    rvf_tbl_TableStart,
    rvf_tbl_TableEnd,
    rvf_tbl_TableForcedEnd,
    rvf_tbl_RowEnd,
    rvf_tbl_CellEnd
};
enum TRVRTFHeaderFooterType : uint8_t { rtf_hf_MainText, rtf_hf_Header, rtf_hf_Footer };
enum TRVRTFNoteEventType : uint8_t { rtf_ne_Character, rtf_ne_Start, rtf_ne_EndNote, rtf_ne_End };
enum TRVRTFProgressStage : uint8_t { rvprtfprStarting, rvprtfprRunning, rvprtfprEnding };
enum TRVRTFSeqType : uint8_t {
    rtf_seqDecimal,
    rtf_seqLowerAlpha,
    rtf_seqUpperAlpha,
    rtf_seqLowerRoman,
    rtf_seqUpperRoman
};
enum TRVRTFHighlightConvert : uint8_t { rtf_hl_Ignore, rtf_hl_FixedColors, rtf_hl_ColorTable };

// How the bytes of a group are read.
enum TRVRTFInputState : uint8_t { rtfis_Normal, rtfis_Binary, rtfis_Hex };

// Where the text and the properties of a group go.
enum TRVRTFDestination : uint8_t {
    rtfd_Normal,
    rtfd_Skip,
    rtfd_FontTable,
    rtfd_StyleSheet,
    rtfd_ColorTable,
    rtfd_StyleSheetEntry,
    rtfd_Picture,
    rtfd_ShpPict,
    rtfd_Object,
    rtfd_ObjectData,
    rtfd_BookmarkStart,
    rtfd_Field,
    rtfd_FieldInstruction,
    rtfd_OldNumbering,
    rtfd_NumberingTextAfter,
    rtfd_NumberingTextBefore,
    rtfd_SectionNumberingLevel,
    rtfd_ListTable,
    rtfd_List,
    rtfd_ListLevel,
    rtfd_ListName,
    rtfd_LevelText,
    rtfd_LevelNumbers,
    rtfd_ListOverrideTable,
    rtfd_ListOverride,
    rtfd_ListOverrideLevel,
};

// The result of a parse: 0 is success, anything else ended it at once.
enum TRVRTFErrorCode : uint8_t {
    rtf_ec_OK = 0,
    rtf_ec_StackUnderflow = 1,  // a "}" without an open group
    rtf_ec_StackOverflow = 2,   // no room for another group
    rtf_ec_UnmatchedBrace = 3,  // end of input with groups open
    rtf_ec_InvalidHex = 4,      // a byte that is no hexadecimal digit after \'
    rtf_ec_BadTable = 5,        // a control-word record of no known kind
    rtf_ec_Assertion = 6,       // an input state of no known kind
    rtf_ec_EndOfFile = 7,       // a backslash as the last byte
    rtf_ec_Exception = 9,       // anything raised while parsing
    rtf_ec_InvalidPicture = 10, // picture or object data that cannot be used
    rtf_ec_Aborted = 11,        // raised by a handler of text, pictures, objects or sequences
};

// A colour-table entry without components ("auto"); shown as window text.
inline constexpr TColor RVRTFAutoColor = 0xFF000008;

// ---- limits on what one document may make the reader hold
// Nesting deeper than this is refused as a bad file (rtf_ec_StackOverflow).
inline constexpr int RVRTFMaxGroupDepth = 1 << 18;
// Tables nested in tables; deeper levels are read as the deepest one.
inline constexpr int RVRTFMaxTableLevel = 32;
// Bytes of one picture or embedded object; more make it unusable.
inline constexpr int64_t RVRTFMaxPictureData = int64_t(64) << 20;
// Font, style, list and bookmark names, numbering and level texts.
inline constexpr int RVRTFMaxNameLength = 1024;
// Field instructions (hyperlink targets are inside them).
inline constexpr int RVRTFMaxFieldInstruction = 32768;
// Entries of the font, colour and style tables, lists and their overrides.
inline constexpr int RVRTFMaxTableEntries = 32768;
// Levels of one list.
inline constexpr int RVRTFMaxListLevels = 9;
// Tab stops of one paragraph.
inline constexpr int RVRTFMaxTabs = 64;
// Cells of one RTF row and columns of a table grid.
inline constexpr int RVRTFMaxCellsPerRow = 256;
// Rows of one table; a longer table goes on as a new table.
inline constexpr int RVRTFMaxRowsPerTable = 32768;
// Files that INCLUDEPICTURE may load.
inline constexpr int64_t RVRTFMaxIncludedPictureFile = int64_t(64) << 20;
