// The base of every document item (kind, paragraph flags, tag, checkpoint,
// hint, spelling marks, yes/no queries, numbered extra properties), the
// non-text, full-line and rectangle bases, checkpoints, sub-document
// locations, and the registry and factory that make items by style number.
#pragma once

#include <cstdint>
#include <memory>
#include <typeinfo>

#include "richtext/engine/items/RVUndoInfo.h"
#include "richtext/engine/lines/DLines.h"
#include "richtext/engine/lines/RVWordPaint.h"
#include "richtext/engine/text/RVFuncs.h"
#include "richtext/engine/text/RVUni.h"

class TCustomRVData; // the document data that holds items (document/)
class TRVStyle;
struct TRVStyleUsageInfo;
struct TRVRTFTables; // the tables of one RTF save (formats/rtf)
class TRVFReader;    // one RVF reading (formats/rvf)

// ---- item kinds by style number; 0 and above is text in that text style
inline constexpr int32_t rvsDefStyle = 0x7FFFFFFF; // text in its paragraph's default text style
inline constexpr int32_t rvsBreak = -1;
inline constexpr int32_t rvsCheckpoint = -2; // RVF records, never items
inline constexpr int32_t rvsPicture = -3;
inline constexpr int32_t rvsHotspot = -4;
inline constexpr int32_t rvsComponent = -5;
inline constexpr int32_t rvsBullet = -6;
inline constexpr int32_t rvsBack = -7;
inline constexpr int32_t rvsVersionInfo = -8;
inline constexpr int32_t rvsDocProperty = -9;
inline constexpr int32_t rvsHotPicture = -10;
inline constexpr int32_t rvsListMarker = -11;
inline constexpr int32_t rvsTab = -12;
inline constexpr int32_t rvsTable = -60;
inline constexpr int32_t rvsLabel = -200;
inline constexpr int32_t rvsSequence = -202;
inline constexpr int32_t rvsFootnote = -203;
inline constexpr int32_t rvsEndnote = -204;
inline constexpr int32_t rvsNoteReference = -205;

// ---- what callers ask an item instead of testing its class
enum TRVItemBoolQuery : int {
    iqFullLine,
    iqValid,
    iqHasRVFLines,
    iqPaintChangesFont,
    iqTextInOutputEncoding,
    iqInTextOnlyOutput,
    iqOwnsControlsDirectly,
    iqResizable,
    iqHandlesOutside,
    iqHasSubDocuments,
    iqClickSelects,
    iqHtmlBlock,
    iqActsAsText,
};
enum TRVItemBoolQueryEx : int {
    iqxCurrentItemFrame,
    iqxPrintViaBitmap,
    iqxHyperlink,
    iqxFocusable,
    iqxHoverSensitive,
    iqxFocusRectangle,
    iqxDeviceSized,
};

// ---- numbered extra properties; 0 is none in both tables
enum TRVExtraItemProperty : int {
    rvepUnknown,
    rvepVShift,
    rvepVShiftAbs,
    rvepWidth,
    rvepHeight,
    rvepTransparent,
    rvepTransparentMode,
    rvepTransparentColor,
    rvepMinHeightOnPage,
    rvepSpacing,
    rvepResizable,
    rvepUnremovable,
    rvepNoHtmlSize,
    rvepAnimationInterval,
    rvepVisible,
};
enum TRVExtraItemStrProperty : int { rvespUnknown, rvespHint, rvespAlt, rvespFileName };
// The RVF key of a code; empty for codes outside the table.
AnsiString ExtraItemPropertyKey(int Code);
AnsiString ExtraItemStrPropertyKey(int Code);

// What the document tells its owner about an item.
enum TRVItemAction : uint8_t {
    rviaInserting,
    rviaInserted,
    rviaTextModifying,
    rviaDestroying,
    rviaMovingToUndoList
};

// How an item is painted.
using TRVItemDrawStates = uint16_t;
enum TRVItemDrawState : uint16_t {
    rvidsSelected = 1 << 0,
    rvidsCurrent = 1 << 1,
    rvidsHover = 1 << 2,
    rvidsControlFocused = 1 << 6,
    rvidsUseResolutionOverride = 1 << 7,
    rvidsRTL = 1 << 8,
    rvidsShowSpecialCharacters = 1 << 9,
    rvidsPainterFlag = 1 << 10,
    rvidsPrintViaBitmap = 1 << 11,
};

enum TRVItemStateFlag : uint8_t { rvisSpellChecked = 1 };

// Which sub-document of an item GetSubDocument answers.
enum TRVSubDocumentCode : int {
    rvsdFirst,
    rvsdLast,
    rvsdSelectionEnd,
    rvsdSelectionStart,
    rvsdNext, // after the stored position
    rvsdPrev, // before it
};

// Locates one sub-document among those of its item; items with several
// sub-documents (tables) derive their own.
class TRVStoreSubRVData : public TObject {
public:
    virtual std::unique_ptr<TRVStoreSubRVData> Duplicate() const { return nullptr; }
    // Negative when this location comes first.
    virtual int Compare(const TRVStoreSubRVData&) const { return 0; }
};

class TCustomRVItemInfo;

// A named position attached to an item (or pending for the next item
// added); the document links them in item order.
class TRVCPInfo : public TObject {
public:
    AnsiString Name;
    TRVCPInfo* Next = nullptr;
    TRVCPInfo* Prev = nullptr;
    bool RaiseEvent = false;
    bool Persistent = false;
    TCustomRVItemInfo* Item = nullptr;
    int32_t ItemNo = -1;
    TRVTag Tag;

    // Name, raise-event flag, tag and persistence; never the links.
    void AssignFrom(const TRVCPInfo& Source);
    std::unique_ptr<TRVCPInfo> CreateCopy() const;
};
// How callers hold a checkpoint.
using TCheckpointData = TRVCPInfo*;

// An item class as a value: what the registry keeps and what creates an
// item of that exact class.
class TRVItemClass {
public:
    using TCreate = std::unique_ptr<TCustomRVItemInfo> (*)(TCustomRVData* RVData);

    constexpr TRVItemClass() = default;
    template <class T> static constexpr TRVItemClass Of() { return TRVItemClass(&typeid(T), &CreateOf<T>); }

    bool Assigned() const { return FCreate != nullptr; }
    const std::type_info* Type() const { return FType; }
    std::unique_ptr<TCustomRVItemInfo> Create(TCustomRVData* RVData) const;
    friend bool operator==(const TRVItemClass& A, const TRVItemClass& B);

private:
    constexpr TRVItemClass(const std::type_info* AType, TCreate ACreate) : FType(AType), FCreate(ACreate) {}
    template <class T> static std::unique_ptr<TCustomRVItemInfo> CreateOf(TCustomRVData* RVData) {
        return std::make_unique<T>(RVData);
    }
    const std::type_info* FType = nullptr;
    TCreate FCreate = nullptr;
};

class TCustomRVItemInfo : public TPersistent {
public:
    // Items are made for the document data they will live in (may be nil).
    explicit TCustomRVItemInfo(TCustomRVData* RVData);
    ~TCustomRVItemInfo() override;

    int32_t StyleNo = 0;
    int32_t ParaNo = 0;
    TRVItemOptions ItemOptions = 0;
    uint8_t ItemState = 0;
    // Created on first use, freed as soon as it is empty.
    std::unique_ptr<TRVWordPainterList> WordPainters;
    std::unique_ptr<TRVCPInfo> Checkpoint;
    int32_t JumpID = 0;
    TRVTag Tag;
    int32_t DrawItemNo = -1;
    AnsiString Hint;
    // Where the item last stood in its document's item list: the document
    // looks for it there first and then around it.
    mutable int32_t ItemNoHint = -1;

    // Every class answers its own; copies and the registry rely on it.
    virtual TRVItemClass ClassType() const = 0;

    // ---- paragraph flags; setting one flag clears those it excludes
    bool GetContinuesParagraph() const { return ItemOptions & ioContinuesParagraph; }
    void SetContinuesParagraph(bool Value);
    bool GetPageBreakBefore() const { return ItemOptions & ioPageBreakBefore; }
    void SetPageBreakBefore(bool Value);
    bool GetLineBreakBefore() const { return ItemOptions & ioLineBreakBefore; }
    // A full-line item never gets the line-break flag.
    void SetLineBreakBefore(bool Value);
    bool StartsParagraph() const { return !(ItemOptions & (ioContinuesParagraph | ioLineBreakBefore)); }
    bool IsUnicode() const { return ItemOptions & ioUnicodeText; }

    // The text style the item draws with: StyleNo, or for rvsDefStyle the
    // paragraph style's default (0 when it has none or without a style sheet).
    int GetActualStyleNo(TRVStyle* RVStyle) const;

    // ---- virtual operations
    virtual int GetAssociatedTextStyleNo() const { return -1; }
    virtual void SetAssociatedTextStyleNo(int) {}
    virtual int GetMinWidth(const TRVScreenDeviceResolution* Resolution, TCanvas* Canvas,
                            TCustomRVData* RVData) const;
    virtual bool GetBoolValue(TRVItemBoolQuery Query) const;
    virtual bool GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const;
    // Drawing; full-line items paint across the line, inline items at X, Y.
    virtual void PaintFullWidth(int, int, int, TCanvas&, TRVItemDrawStates, TRVStyle&, const TRect&) {}
    virtual void Paint(int, int, TCanvas&, TRVItemDrawStates, TRVStyle&, TRVDrawLineInfo*) {}
    // Printing: through a bitmap sized by the caller (part -1: the whole
    // item; else that page part of the drawing item), or onto the printer's
    // canvas. Control is the printing or painting control.
    virtual bool PrintToBitmap(TBitmap& Bitmap, bool Preview, TRVColorMode ColorMode, int PartIndex,
                               TRVDrawLineInfo* DrawItem, TObject* Control);
    virtual void Print(TCanvas& Canvas, int X, int Y, TCustomRVData* RVData, TObject* Control,
                       TRVColorMode ColorMode, int PartIndex, TRVDrawLineInfo* DrawItem,
                       const TRVScreenDeviceResolution& Resolution, bool Preview);
    virtual void DrawBackgroundForPrinting(TCanvas&, const TRect&, TRVColorMode) {}
    // The drawing item the printing copy of a document holds for the item:
    // a multi-part one for items that may be split over pages.
    virtual std::unique_ptr<TRVDrawLineInfo>
    CreatePrintingDrawItem(TCustomRVData* RVData, const TRVScreenDeviceResolution& Resolution);
    // Lays the item out for DocWidth (device pixels) before it is placed:
    // items sized by the output device or by the document set DrawItem's
    // size; Descent is what lies below the baseline, HShift how far the
    // item stands from its place. ItemFlagA and ItemFlagB go to items that
    // format documents of their own.
    // ItemFlagB also tells controls to keep their size.
    virtual void AdjustToDocWidth(int DocWidth, TRVDrawLineInfo& DrawItem, bool ItemFlagB, bool ItemFlagA,
                                  TCanvas& Canvas, TCustomRVData* RVData,
                                  const TRVScreenDeviceResolution* Resolution, bool Printing, int& Descent,
                                  int& HShift);
    virtual int GetImageWidth(TRVStyle*) const { return 0; }
    virtual int GetImageHeight(TRVStyle*) const { return 0; }
    virtual int GetHorzSpacing() const { return 0; }
    virtual int GetVertSpacing() const { return 0; }
    // Around insertion into RVData; both tell the document's owner.
    virtual void Inserting(TCustomRVData* RVData, AnsiString& Text, bool Safe);
    virtual void Inserted(TCustomRVData* RVData, int ItemNo);

    virtual void AssignProperties(const TCustomRVItemInfo& Source);
    // Sub-documents (tables, notes): the one Code asks for; Position
    // locates it and is created or moved by the item.
    virtual TCustomRVData* GetSubDocument(std::unique_ptr<TRVStoreSubRVData>& Position,
                                          TRVSubDocumentCode Code);
    // The plain-text form, for items other than text.
    virtual AnsiString AsText(int LineWidth, TCustomRVData* RVData, const AnsiString& Text,
                              const AnsiString& Path, bool TextOnly, bool Unicode) const;
    // ContainerUndoItem is the undo record that takes the item (may be nil
    // when the item leaves with its container).
    virtual void MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo* ContainerUndoItem);
    virtual void MovingFromUndoList(int, TCustomRVData*) {}
    virtual void MarkUsedStyles(TRVStyleUsageInfo& Usage) const;
    virtual void RenumberStyles(const TRVStyleUsageInfo& Usage);
    virtual bool SetExtraIntProperty(int Code, int Value);
    virtual bool GetExtraIntProperty(int Code, int& Value) const;
    virtual bool SetExtraStrProperty(int Code, const AnsiString& Value);
    virtual bool GetExtraStrProperty(int Code, AnsiString& Value) const;
    virtual bool SetExtraCustomProperty(const AnsiString&, const AnsiString&) { return false; }
    virtual void UpdateAnimator(TCustomRVData*) {}
    // RTF: first the item's colours and list overrides go into the tables,
    // then it writes itself at its place (Text is its string).
    virtual void FillRTFTables(TRVRTFTables& Tables, TCustomRVData* RVData) const;
    virtual void SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                         const AnsiString& Text, int Level, TRVRTFTables& Tables);

    // RVF (defined beside the RVF writer): the end of the header line, the
    // "name=value" lines after the item's own, the whole record, and
    // reading the header's end and each data line back.
    virtual AnsiString GetRVFHeaderExtra() const { return AnsiString(); }
    virtual int GetRVFExtraPropertyCount() const;
    virtual void SaveRVFExtraProperties(TStream& Stream) const;
    // ParaNo is the paragraph field; ForceContinue makes the item continue
    // the paragraph written before it.
    virtual void SaveRVF(TStream& Stream, TCustomRVData* RVData, int ItemNo, int ParaNo,
                         const AnsiString& Name, bool ForceContinue);
    // Rest: what follows the tag on the header line.
    virtual bool ReadRVFHeaderExtra(std::string_view Rest, TRVFReader& Reader);
    // LineNo of LineCount, in SaveType; Name receives the item's name. The
    // item sets NextLineBinary when its next line is a binary one.
    virtual bool ReadRVFLine(const AnsiString& Line, TRVFReader& Reader, int SaveType, int LineNo,
                             int LineCount, AnsiString& Name, bool& NextLineBinary);

    // Applies one "name=value" line of RVF extra properties; lines without
    // "=" and unknown names change nothing.
    void ReadRVFExtraProperty(const AnsiString& Line);

    // ---- spelling marks; positions are 1-based characters
    void AddMisspelling(int Start, int Length);
    void ClearMisspellings();
    void ClearWordPaintersFrom(int Pos);
    // After Ch was typed at Pos of Text; true when the word there must be
    // checked again.
    bool AdjustWordPaintersOnInsert(int Pos, const AnsiString& Text, char16_t Ch, TCustomRVData* RVData);
    bool AdjustWordPaintersOnDelete(int Pos, int Count);
    bool FindMisspellingAt(int Pos, int& Start, int& Length) const;
    bool IsMisspelledAt(int Pos) const;

private:
    void FreeEmptyWordPainters();
};

// Items that are not text runs; their string is their name.
class TRVNonTextItemInfo : public TCustomRVItemInfo {
public:
    using TCustomRVItemInfo::TCustomRVItemInfo;
    bool Unremovable = false;

    virtual int GetHeight(TRVStyle*) const { return 0; }
    virtual int GetWidth(TRVStyle*) const { return 0; }
    virtual int GetLeftOverhang(TRVStyle*) const { return 0; }
    virtual void PlaceAt(int, int, bool) {}

    void AssignProperties(const TCustomRVItemInfo& Source) override;
    bool SetExtraIntProperty(int Code, int Value) override;
    bool GetExtraIntProperty(int Code, int& Value) const override;
    int GetRVFExtraPropertyCount() const override;
    void SaveRVFExtraProperties(TStream& Stream) const override;

protected:
    // The common first line of a non-text item's record.
    void WriteRVFHeader(TStream& Stream, TCustomRVData* RVData, int ParaNo, bool ForceContinue, int LineCount,
                        int SaveType) const;
};

// Items that fill a whole line (breaks, tables).
class TRVFullLineItemInfo : public TRVNonTextItemInfo {
public:
    using TRVNonTextItemInfo::TRVNonTextItemInfo;
    bool GetBoolValue(TRVItemBoolQuery Query) const override;
};

enum TRVVAlign : uint8_t { vaBaseline, vaMiddle, vaAbsTop, vaAbsBottom, vaAbsMiddle };

// Inline items that occupy a rectangle in a line of text.
class TRVRectItemInfo : public TRVNonTextItemInfo {
public:
    explicit TRVRectItemInfo(TCustomRVData* RVData) : TRVNonTextItemInfo(RVData) {}
    int32_t MinHeightOnPage = 0;
    TRVVAlign VAlign = vaBaseline;
    int32_t VShift = 0;
    bool VShiftAbs = false;
    int32_t Spacing = 1;

    void AssignProperties(const TCustomRVItemInfo& Source) override;
    int GetHorzSpacing() const override { return Spacing; }
    int GetVertSpacing() const override { return Spacing; }
    bool SetExtraIntProperty(int Code, int Value) override;
    bool GetExtraIntProperty(int Code, int& Value) const override;
    AnsiString GetRVFHeaderExtra() const override;
    bool ReadRVFHeaderExtra(std::string_view Rest, TRVFReader& Reader) override;
    int GetRVFExtraPropertyCount() const override;
    void SaveRVFExtraProperties(TStream& Stream) const override;
};

// ---- registry and factory
// Makes ItemClass the class of StyleNo; only numbers below -9 may be
// registered, each by one class (registering it again is accepted).
void RegisterItemTypeClass(int StyleNo, TRVItemClass ItemClass);
// A new empty item of the kind, or nil for a number that is no item kind.
std::unique_ptr<TCustomRVItemInfo> CreateItemForStyleNo(int StyleNo, TCustomRVData* RVData);
// An item of exactly Source's class with its properties and tag, and a copy
// of its checkpoint when CopyCheckpoint.
std::unique_ptr<TCustomRVItemInfo> CreateItemCopy(const TCustomRVItemInfo& Source, TCustomRVData* RVData,
                                                  bool CopyCheckpoint);
// The class the factory makes text items of.
extern TRVItemClass RVTextItemClass;
