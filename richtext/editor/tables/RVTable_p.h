// What the table's sources share: running an operation as one recorded
// change, and the step that changes a property by name.
#pragma once

#include "richtext/editor/tables/RVTable.h"
#include "richtext/editor/tables/RVTableCheck.h"

template <class F> void TRVTableItemInfo::RecordOperation(const char* ClassName, F Operation) {
    TRVTableUndoHost* host = nullptr;
    if (FOperationDepth == 0) {
        host = GetUndoItemNo() >= 0 ? UndoHost() : nullptr;
        if (host) {
            FCurrentUndo = std::make_unique<TRVTableUndoRecord>(*this, ClassName);
            host->BeginTableUndoGroup();
        }
    }
    ++FOperationDepth;
    TScopeGuard finish([&] {
        if (--FOperationDepth > 0) return;
        std::unique_ptr<TRVTableUndoRecord> record = std::move(FCurrentUndo);
        if (host) {
            TScopeGuard close([&] { host->EndTableUndoGroup(); });
            if (!record->Steps.empty()) host->AddTableUndo(std::move(record));
        }
        Changed();
    });
    Operation();
    if (FOperationDepth == 1) RVCheckTableAfterOperation(*this);
}

// Swaps a table property (Row -1) or a cell property with the value held.
class TRVPropertyStep : public TRVTableUndoStep {
public:
    TRVPropertyStep(int ARow, int ACol, const char* AName, int AValue)
        : Row(ARow), Col(ACol), Name(AName), Value(AValue) {}
    TRVPropertyStep(int ARow, int ACol, const char* AName, AnsiString AText)
        : Row(ARow), Col(ACol), Name(AName), IsString(true), Text(std::move(AText)) {}
    void Toggle(TRVTableItemInfo& T) override;
    int Row, Col;
    const char* Name;
    int Value = 0;
    bool IsString = false;
    AnsiString Text;
};
