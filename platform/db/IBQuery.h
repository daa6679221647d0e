// A statement with named parameters (":NAME") and its result rows. Opening a
// query fetches every row at once; the cursor then walks them in memory.
#pragma once

#include <memory>
#include <vector>

#include "platform/db/IBDatabase.h"
#include "platform/rtl/Variants.h"

class TIBQuery;

// One named parameter. Unset parameters travel as NULL. Text is a byte
// string of CP1251 and keeps every byte, NUL included.
class TIBParam {
public:
    const AnsiString& Name() const { return FName; }
    const Variant& Value() const { return FValue; }
    void SetValue(const Variant& V) { FValue = V; }

    void SetAsString(const AnsiString& V) { FValue = V; }
    void SetAsInteger(int V) { FValue = V; }
    void SetAsSmallint(int16_t V) { FValue = int(V); }
    void SetAsInt64(int64_t V) { FValue = V; }
    void SetAsFloat(double V) { FValue = V; }
    void SetAsDouble(double V) { FValue = V; }
    void SetAsDateTime(TDateTime V) { FValue = Variant::FromDateTime(V); }
    // The time of day is dropped.
    void SetAsDate(TDateTime V);
    void SetAsBoolean(bool V) { FValue = V; }
    void Clear() { FValue = Variant::Null(); }

    bool IsNull() const { return FValue.IsEmptyOrNull(); }
    AnsiString AsString() const { return FValue.AsString(); }
    int AsInteger() const { return FValue.AsInteger(); }

private:
    friend class TIBQuery;
    AnsiString FName;
    Variant FValue = Variant::Null();
};

// A column of the result, read on the query's current row. Blobs read as
// byte strings of their full length.
class TIBField {
public:
    const AnsiString& FieldName() const { return FName; }
    const Variant& Value() const;
    bool IsNull() const { return Value().IsEmptyOrNull(); }
    AnsiString AsString() const { return Value().AsString(); }
    int AsInteger() const { return Value().AsInteger(); }
    int64_t AsInt64() const { return Value().AsInt64(); }
    double AsFloat() const { return Value().AsFloat(); }
    TDateTime AsDateTime() const { return Value().AsDateTime(); }
    bool AsBoolean() const { return Value().AsBoolean(); }
    // Declared length in bytes of a text column; 0 for other types.
    int Size() const { return FSize; }

private:
    friend class TIBQuery;
    const TIBQuery* FQuery = nullptr;
    int FIndex = 0;
    AnsiString FName;
    int FSize = 0;
};

class TIBQuery : public TComponent {
public:
    explicit TIBQuery(TComponent* AOwner);
    ~TIBQuery() override;

    TIBDatabase* Database() const { return FDatabase; }
    void SetDatabase(TIBDatabase* Value);
    // Without a transaction of its own the query uses the database's default.
    TIBTransaction* Transaction() const;
    void SetTransaction(TIBTransaction* Value);

    // When false, ":NAME" is left to the server (procedure bodies in DDL).
    // Takes effect with the next SetSQL.
    bool ParamCheck = true;

    // Setting the text closes and unprepares the query and builds its
    // parameter list; values already set on same-named parameters are lost.
    void SetSQL(const AnsiString& Text);
    const AnsiString& SQL() const { return FSQL; }

    void Prepare();
    void Unprepare();
    bool Prepared() const { return FStmt != 0; }

    int ParamCount() const { return int(FParams.size()); }
    TIBParam& Params(int Index) { return FParams.at(std::size_t(Index)); }
    // Names are matched without regard to case; raises EIBError when absent.
    TIBParam& ParamByName(const AnsiString& Name);
    TIBParam* FindParam(const AnsiString& Name);
    // Every parameter back to NULL.
    void ClearParams();

    // Runs a statement that returns rows and fetches them all. Starts the
    // transaction when it is not active and may start by itself.
    void Open();
    // Runs a statement; one that returns rows behaves as Open.
    void ExecQuery();
    void Close();
    bool Active() const { return FActive; }
    // Every row is fetched when the query opens.
    void FetchAll() {}

    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const { return FEof; }
    bool Bof() const { return FBof; }
    bool IsEmpty() const { return FRows.empty(); }
    int RecordCount() const { return int(FRows.size()); }
    // 1-based number of the current row; 0 without rows.
    int RecNo() const { return FRows.empty() ? 0 : FRecNo + 1; }
    // Moves to the first row whose field equals Value (texts optionally
    // without regard to case); false and no move when none does.
    bool Locate(const AnsiString& FieldName, const Variant& Value, bool CaseInsensitive = false);

    int FieldCount() const { return int(FFields.size()); }
    TIBField& Fields(int Index) { return FFields.at(std::size_t(Index)); }
    // Names are matched without regard to case; raises EIBError when absent.
    TIBField& FieldByName(const AnsiString& Name);
    TIBField* FindField(const AnsiString& Name);

private:
    friend class TIBField;
    friend class TIBDatabase;
    friend class TIBTransaction;
    struct TStatement;

    void FreeHandle();
    TIBTransaction* ActiveTransaction();
    void Execute(bool NeedRows);
    // Points the result columns at row buffers and makes a field of each.
    void MakeFields(TStatement& D);
    void Link(TIBTransaction* T);
    void Unlink(TIBTransaction* T);

    TIBDatabase* FDatabase = nullptr;
    TIBTransaction* FTransaction = nullptr;
    TIBTransaction* FOpenTransaction = nullptr; // the one the open rows came from
    AnsiString FSQL;
    AnsiString FSQLPositional; // ":NAME" replaced by "?"
    std::vector<TIBParam> FParams;
    std::vector<int> FParamRefs; // parameter index of each "?"
    unsigned FStmt = 0;
    int FStmtType = 0;
    std::unique_ptr<TStatement> FDescr;
    std::vector<TIBField> FFields;
    std::vector<std::vector<Variant>> FRows;
    int FRecNo = 0;
    bool FEof = true;
    bool FBof = true;
    bool FActive = false;
};
