// What a table needs of an editing document to record undo: the document
// data that holds the table implements this interface (the editor, above
// this folder), and the table hands it records that reverse themselves.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "richtext/engine/items/RVUndoInfo.h"

class TRVTableItemInfo;

// The undo group kind of every table change.
inline constexpr int rvutTable = 13;

// One step of a table change that undoes itself: running it again after an
// undo redoes it. Steps swap what they hold with what the table holds.
class TRVTableUndoStep {
public:
    virtual ~TRVTableUndoStep() = default;
    virtual void Toggle(TRVTableItemInfo& Table) = 0;
};

// A recorded table change: its steps, undone last first and redone in order.
class TRVTableUndoRecord : public TRVUndoInfo {
public:
    TRVTableUndoRecord(TRVTableItemInfo& ATable, const char* AClassName)
        : Table(ATable), ClassName(AClassName) {
        Kind = rvutTable;
    }
    TRVTableItemInfo& Table;
    // The kind of change, for the editor's lists ("TRVUndoMerge", ...).
    const char* ClassName;
    // A property change that can make the table narrower (full format) or
    // change its layout at all.
    bool AffectsWidth = false;
    bool AffectsSize = false;
    std::vector<std::unique_ptr<TRVTableUndoStep>> Steps;

    TCustomRVData* GetRVData() const override;
    // Undoes the change when it is done, redoes it when it is undone.
    void Undo(TCustomRVData* RVData) override;
    bool NeedsFullFormatBefore(TCustomRVData*) const override { return AffectsWidth; }
    bool IsUndone() const { return FUndone; }

private:
    bool FUndone = false;
};

// Implemented by the editing document data that holds a table.
class TRVTableUndoHost {
public:
    virtual ~TRVTableUndoHost() = default;
    // False when the editor keeps no undo (its undo limit is 0).
    virtual bool TableUndoEnabled() const = 0;
    // Brackets the records of one table operation into one undo group of
    // kind rvutTable; groups nest.
    virtual void BeginTableUndoGroup() = 0;
    virtual void EndTableUndoGroup() = 0;
    // Takes a change already made; undoing it later calls Record->Undo.
    virtual void AddTableUndo(std::unique_ptr<TRVTableUndoRecord> Record) = 0;
};
