// Documents owned by items, and footnotes and endnotes: numbered sequence
// items whose body is a document of their own, the note reference that
// shows its note's number inside that body, and the functions that walk a
// document's notes.
#pragma once

#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/items/RVLabelItem.h"
#include "richtext/engine/items/RVMarker.h"

// A document that belongs to an item of another document (MainRVData):
// options, style sheet and events are those of the main document's root;
// its markers and sequences are numbered in lists of its own.
class TRVSubData : public TCustomRVData {
public:
    TRVSubData(TCustomRVItemInfo* AOwnerItem, TCustomRVData* AMainRVData);
    ~TRVSubData() override;

    uint16_t Flags = 0x0412;
    TCustomRVItemInfo* OwnerItem;
    TCustomRVData* MainRVData;

    uint16_t GetFlags() const override { return Flags; }
    void SetFlags(uint16_t Value) override { Flags = Value; }
    TCustomRVData* GetParentData() const override;
    TCustomRVData* GetRootData() const override;
    TCustomRVData* GetOuterParentData() const override;
    TCustomRVData* GetOuterRootData() const override;
    TRVMarkerList* GetMarkerList(bool Create) override;
    void FreeMarkerList() override { FOwnMarkerList.reset(); }
    TRVSeqList* GetSeqList(bool Create) override;
    void FreeSeqList() override { FOwnSeqList.reset(); }
    TCustomRVData* GetNumberingRoot() override { return this; }
    void DoURLNeeded(int, AnsiString& URL) override { URL.clear(); }
    // Every item's undo notification, in order.
    void ItemsMovingToUndoList(TRVUndoInfo* ContainerUndoItem);
    void ItemsMovingFromUndoList();

private:
    std::unique_ptr<TRVMarkerList> FOwnMarkerList;
    std::unique_ptr<TRVSeqList> FOwnSeqList;
};

class TCustomRVNoteItemInfo;

// The body of a note.
class TRVNoteData : public TRVSubData {
public:
    using TRVSubData::TRVSubData;
    // The owner note's current number text.
    AnsiString GetNoteText() const override;
};

class TCustomRVNoteItemInfo : public TRVSeqItemInfo {
public:
    explicit TCustomRVNoteItemInfo(TCustomRVData* RVData);
    ~TCustomRVNoteItemInfo() override;

    std::unique_ptr<TRVNoteData> Document;

    void SetOwnerRVData(TCustomRVData* RVData) override;
    // The style sheet decides the notation; setting it does nothing.
    TRVSeqType GetNumberType() const override;
    void SetNumberType(TRVSeqType) override {}
    virtual AnsiString GetRtfNoteKeyword() const { return " "; }
    virtual AnsiString GetHtmlAnchorName() const { return AnsiString(); }

    void AssignProperties(const TCustomRVItemInfo& Source) override;
    void MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo* ContainerUndoItem) override;
    void MovingFromUndoList(int ItemNo, TCustomRVData* RVData) override;
    void MarkUsedStyles(TRVStyleUsageInfo& Usage) const override;
    void RenumberStyles(const TRVStyleUsageInfo& Usage) override;
    void FillRTFTables(TRVRTFTables& Tables, TCustomRVData* RVData) const override;
    void SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                 const AnsiString& Text, int Level, TRVRTFTables& Tables) override;
    void SaveRVF(TStream& Stream, TCustomRVData* RVData, int ItemNo, int ParaNo, const AnsiString& Name,
                 bool ForceContinue) override;
    bool ReadRVFLine(const AnsiString& Line, TRVFReader& Reader, int SaveType, int LineNo, int LineCount,
                     AnsiString& Name, bool& NextLineBinary) override;

protected:
    virtual TRVSeqType StyleNumbering(const TRVStyle& RVStyle) const = 0;
    void InitNote(const char* ASeqName, int AStyleNo);
};

class TRVFootnotePtblRVData; // a footnote's printable copy (printing)

// The printed reference of a footnote whose numbers restart on every page:
// pagination links it with the printable copy of its footnote.
class TRVFootnoteDrawItem : public TRVDrawLineInfo {
public:
    TRVFootnotePtblRVData* FootnoteRVData = nullptr;
};

class TRVFootnoteItemInfo : public TCustomRVNoteItemInfo {
public:
    explicit TRVFootnoteItemInfo(TCustomRVData* RVData);
    TRVFootnoteItemInfo(TCustomRVData* RVData, int ATextStyleNo, int AStartFrom, bool AReset);
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVFootnoteItemInfo>(); }
    AnsiString GetHtmlAnchorName() const override;
    // A footnote drawing item when the numbers restart on every page.
    std::unique_ptr<TRVDrawLineInfo>
    CreatePrintingDrawItem(TCustomRVData* RVData, const TRVScreenDeviceResolution& Resolution) override;

protected:
    TRVSeqType StyleNumbering(const TRVStyle& RVStyle) const override { return RVStyle.FootnoteNumbering; }
};

class TRVEndnoteItemInfo : public TCustomRVNoteItemInfo {
public:
    explicit TRVEndnoteItemInfo(TCustomRVData* RVData);
    TRVEndnoteItemInfo(TCustomRVData* RVData, int ATextStyleNo, int AStartFrom, bool AReset);
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVEndnoteItemInfo>(); }
    AnsiString GetRtfNoteKeyword() const override { return "\\ftnalt "; }
    AnsiString GetHtmlAnchorName() const override;

protected:
    TRVSeqType StyleNumbering(const TRVStyle& RVStyle) const override { return RVStyle.EndnoteNumbering; }
};

// Inside a note's body: the number of that note.
class TRVNoteReferenceItemInfo : public TRVLabelItemInfo {
public:
    explicit TRVNoteReferenceItemInfo(TCustomRVData* RVData);
    TRVNoteReferenceItemInfo(TCustomRVData* RVData, int ATextStyleNo);
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVNoteReferenceItemInfo>(); }
    // Takes its note's current number first.
    void AdjustToDocWidth(int DocWidth, TRVDrawLineInfo& DrawItem, bool ItemFlagB, bool ItemFlagA,
                          TCanvas& Canvas, TCustomRVData* RVData, const TRVScreenDeviceResolution* Resolution,
                          bool Printing, int& Descent, int& HShift) override;

    void SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                 const AnsiString& Text, int Level, TRVRTFTables& Tables) override;
    void SaveRVF(TStream& Stream, TCustomRVData* RVData, int ItemNo, int ParaNo, const AnsiString& Name,
                 bool ForceContinue) override;
    bool ReadRVFLine(const AnsiString& Line, TRVFReader& Reader, int SaveType, int LineNo, int LineCount,
                     AnsiString& Name, bool& NextLineBinary) override;
};

// ---- walking notes through the sequence list (never created by them)
TCustomRVNoteItemInfo* FindNextNoteOfClass(TCustomRVData* RVData, TCustomRVNoteItemInfo* Note,
                                           const std::type_info& NoteClass);
TRVFootnoteItemInfo* FindFirstFootnoteInData(TCustomRVData* RVData);
TRVFootnoteItemInfo* FindNextFootnote(TCustomRVData* RVData, TRVFootnoteItemInfo* Note);
TRVEndnoteItemInfo* FindFirstEndnoteInData(TCustomRVData* RVData);
TRVEndnoteItemInfo* FindNextEndnote(TCustomRVData* RVData, TRVEndnoteItemInfo* Note);

// Registers the item classes of labels, sequences and notes (once).
void RVRegisterDocumentItemClasses();
