// The undo record as the engine knows it: the editor's undo lists hold
// records of their own kinds, and items that move to or from an undo list
// are handed the record that holds them.
#pragma once

#include <cstdint>

#include "richtext/engine/text/RVClasses.h"

class TCustomRVData;

class TRVUndoInfo : public TObject {
public:
    // What the record undoes (typing, deleted items, ...); the editor's.
    uint8_t Kind = 0;

    // The document data of the undo list that holds the record.
    virtual TCustomRVData* GetRVData() const = 0;
    // Reverses the change, recording the reversal into the other list.
    virtual void Undo(TCustomRVData* RVData) = 0;
    // The change may make the document narrower: a full format before.
    virtual bool NeedsFullFormatBefore(TCustomRVData*) const { return false; }
    // The change made a paragraph wider than the document: a full format after.
    virtual bool NeedsFullFormatAfter(TCustomRVData*) const { return false; }
    virtual bool NeedsFormat() const { return true; }
    virtual bool NeedsRootFormat() const { return false; }
    virtual bool NeedsFormattedDocument() const { return false; }
    // The first and last item the record touches; unchanged when none.
    virtual void GetAffectedRange(TCustomRVData*, int& /*First*/, int& /*Last*/) const {}
    // How many items Undo adds (negative: removes).
    virtual int GetItemCountDelta() const { return 0; }
};
