// TIBQuery, TIBParam and TIBField over the client library's DSQL calls:
// ":NAME" parameters become positional ones, values travel in their own
// types, and every row of a result is read into memory when a query opens.
#include "platform/db/IBQuery.h"

#include <ibase.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/ScopeGuard.h"

namespace {

// The dialect the database scripts are written in.
constexpr unsigned short kDialect = SQL_DIALECT_V6;
constexpr int kDateOffset = 15018;           // engine day number of 1899-12-30
constexpr double kTicksPerDay = 864000000.0; // engine time unit: 1/10000 s
constexpr std::size_t kSegmentSize = 32768;  // bytes of a blob moved per call
// Columns described at the first attempt; a wider result is described again.
constexpr int kFirstColumnGuess = 8;
// The low bit of a column or parameter type: an indicator of NULL travels
// with the value.
constexpr short kNullableFlag = 1;
// The length word before the bytes of a VARYING text.
constexpr std::size_t kVaryingLengthSize = sizeof(unsigned short);
// Room past the declared length of a NULL parameter's buffer, for a length
// word or an eight-byte value.
constexpr std::size_t kNullBufferSlack = 8;
// The longest text a parameter carries: a short length, less the length word.
constexpr std::size_t kMaxTextParamLength = 32765;
// What a fetch returns past the last row.
constexpr ISC_STATUS kNoMoreRows = 100;
// The answer to one information item: the item, a length of
// kInfoLengthSize bytes, the value.
constexpr std::size_t kInfoBufferSize = 16;
constexpr short kInfoLengthSize = 2;

struct SqldaDeleter {
    void operator()(XSQLDA* P) const { std::free(P); }
};
using TSqldaPtr = std::unique_ptr<XSQLDA, SqldaDeleter>;

TSqldaPtr AllocSqlda(int Count) {
    Count = std::max(Count, 1);
    auto* p = static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(Count)));
    if (!p) throw std::bad_alloc();
    p->version = SQLDA_VERSION1;
    p->sqln = short(Count);
    return TSqldaPtr(p);
}

bool IsIdentChar(char C) {
    unsigned char u = static_cast<unsigned char>(C);
    return std::isalnum(u) || C == '_' || C == '$';
}

// Replaces ":NAME" outside literals, quoted names and comments by "?".
void TranslateParams(const AnsiString& Sql, AnsiString& Out, std::vector<AnsiString>& Names) {
    Out.clear();
    Names.clear();
    std::size_t i = 0, n = Sql.size();
    while (i < n) {
        char c = Sql[i];
        if (c == '\'' || c == '"') {
            std::size_t j = i + 1;
            while (j < n) {
                if (Sql[j] == c) {
                    if (j + 1 < n && Sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            j = std::min(j + 1, n);
            Out.append(Sql, i, j - i);
            i = j;
        } else if (c == '-' && i + 1 < n && Sql[i + 1] == '-') {
            std::size_t j = Sql.find('\n', i);
            j = j == AnsiString::npos ? n : j;
            Out.append(Sql, i, j - i);
            i = j;
        } else if (c == '/' && i + 1 < n && Sql[i + 1] == '*') {
            std::size_t j = Sql.find("*/", i + 2);
            j = j == AnsiString::npos ? n : j + 2;
            Out.append(Sql, i, j - i);
            i = j;
        } else if (c == ':' && i + 1 < n && IsIdentChar(Sql[i + 1])) {
            std::size_t j = i + 1;
            while (j < n && IsIdentChar(Sql[j]))
                ++j;
            Names.push_back(Sql.substr(i + 1, j - i - 1));
            Out += '?';
            i = j;
        } else {
            Out += c;
            ++i;
        }
    }
}

ISC_TIMESTAMP EncodeTimestamp(TDateTime Value) {
    double days = std::trunc(Value);
    double ticks = std::round(std::fabs(Value - days) * kTicksPerDay);
    ISC_TIMESTAMP ts;
    ts.timestamp_date = ISC_DATE(int64_t(days) + kDateOffset);
    if (ticks >= kTicksPerDay) {
        ticks -= kTicksPerDay;
        ++ts.timestamp_date;
    }
    ts.timestamp_time = ISC_TIME(ticks);
    return ts;
}

// Days before 1899-12-30 carry the time of day as a positive fraction of a
// negative number, as the platform's date-time does.
TDateTime DecodeTimestamp(ISC_DATE Date, ISC_TIME Time) {
    double days = double(int64_t(Date) - kDateOffset);
    double frac = double(Time) / kTicksPerDay;
    return days < 0 ? days - frac : days + frac;
}

// Column buffers are not aligned for their types.
template <class T> T Load(const char* P) {
    T x;
    std::memcpy(&x, P, sizeof x);
    return x;
}

template <class T> std::string Bytes(const T& X) {
    return std::string(reinterpret_cast<const char*>(&X), sizeof X);
}

Variant Scaled(int64_t V, int Scale) {
    if (Scale >= 0) return Variant(V);
    return Variant(double(V) / std::pow(10.0, -Scale));
}

short BaseType(short SqlType) {
    return short(SqlType & ~kNullableFlag);
}

bool IsSelect(int StatementType) {
    return StatementType == isc_info_sql_stmt_select || StatementType == isc_info_sql_stmt_select_for_upd;
}

// The connection and transaction a statement runs in.
struct THandles {
    isc_db_handle Db;
    isc_tr_handle Tr;
};

// A parameter's type as the server described it.
struct TParamType {
    short Type, Len, SubType, Scale;
};

// The values and NULL indicators that an input descriptor points into while
// its statement runs.
struct TInputBuffers {
    std::vector<std::string> Values;
    std::vector<short> Nulls;
};

// ---------------------------------------------------------------- preparing

// Prepares Sql on Stmt and describes its result columns.
TSqldaPtr PrepareColumns(isc_tr_handle& Tr, isc_stmt_handle& Stmt, const AnsiString& Sql) {
    ISC_STATUS_ARRAY status;
    TSqldaPtr out = AllocSqlda(kFirstColumnGuess);
    isc_dsql_prepare(status, &Tr, &Stmt, 0, Sql.c_str(), kDialect, out.get());
    IBCheck(status);
    if (out->sqld > out->sqln) {
        out = AllocSqlda(out->sqld);
        isc_dsql_describe(status, &Stmt, kDialect, out.get());
        IBCheck(status);
    }
    return out;
}

// Describes the parameters of a prepared statement; Expected is how many the
// text named.
TSqldaPtr DescribeParams(isc_stmt_handle& Stmt, int Expected) {
    ISC_STATUS_ARRAY status;
    TSqldaPtr in = AllocSqlda(std::max(Expected, 1));
    isc_dsql_describe_bind(status, &Stmt, kDialect, in.get());
    IBCheck(status);
    if (in->sqld > in->sqln) {
        in = AllocSqlda(in->sqld);
        isc_dsql_describe_bind(status, &Stmt, kDialect, in.get());
        IBCheck(status);
    }
    return in;
}

// The isc_info_sql_stmt_* kind of a prepared statement; 0 when the server
// does not say.
int StatementType(isc_stmt_handle& Stmt) {
    ISC_STATUS_ARRAY status;
    char item = isc_info_sql_stmt_type;
    char info[kInfoBufferSize];
    isc_dsql_sql_info(status, &Stmt, 1, &item, sizeof info, info);
    IBCheck(status);
    if (info[0] != isc_info_sql_stmt_type) return 0;
    const short len = short(isc_vax_integer(info + 1, kInfoLengthSize));
    return int(isc_vax_integer(info + 1 + kInfoLengthSize, len));
}

std::vector<TParamType> ParamTypes(const XSQLDA& In) {
    std::vector<TParamType> types;
    for (int i = 0; i < In.sqld; ++i) {
        const XSQLVAR& v = In.sqlvar[i];
        types.push_back({BaseType(v.sqltype), v.sqllen, v.sqlsubtype, v.sqlscale});
    }
    return types;
}

// ---------------------------------------------------------------- blobs

// Stores Data as a new blob and returns the bytes of its id.
std::string WriteBlob(THandles& H, const AnsiString& Data) {
    ISC_STATUS_ARRAY status;
    isc_blob_handle bh = 0;
    ISC_QUAD id{};
    isc_create_blob2(status, &H.Db, &H.Tr, &bh, &id, 0, nullptr);
    IBCheck(status);
    TScopeGuard cancel([&] {
        ISC_STATUS_ARRAY ignore;
        isc_cancel_blob(ignore, &bh);
    });
    for (std::size_t pos = 0; pos < Data.size(); pos += kSegmentSize) {
        const std::size_t len = std::min(kSegmentSize, Data.size() - pos);
        isc_put_segment(status, &bh, static_cast<unsigned short>(len), Data.data() + pos);
        IBCheck(status);
    }
    isc_close_blob(status, &bh);
    IBCheck(status);
    cancel.Dismiss();
    return Bytes(id);
}

AnsiString ReadBlob(THandles& H, ISC_QUAD Id) {
    ISC_STATUS_ARRAY status;
    isc_blob_handle bh = 0;
    isc_open_blob2(status, &H.Db, &H.Tr, &bh, &Id, 0, nullptr);
    IBCheck(status);
    TScopeGuard close([&] {
        ISC_STATUS_ARRAY ignore;
        isc_close_blob(ignore, &bh);
    });
    AnsiString data;
    char seg[kSegmentSize];
    for (;;) {
        unsigned short got = 0;
        const ISC_STATUS rc = isc_get_segment(status, &bh, &got, sizeof seg, seg);
        if (rc == isc_segstr_eof) break;
        if (rc != 0 && rc != isc_segment) IBCheck(status);
        data.append(seg, got);
    }
    close.Dismiss();
    isc_close_blob(status, &bh);
    IBCheck(status);
    return data;
}

// ---------------------------------------------------------------- input

// Points V at P's value. Values go in the type they have; the engine
// converts them to the parameter's own type. Text longer than a text
// parameter is refused.
void BindParam(XSQLVAR& V, const TParamType& T, const TIBParam& P, std::string& Buf, short& Null,
               THandles& H) {
    V.sqlind = &Null;
    V.sqltype = short(T.Type | kNullableFlag);
    V.sqllen = T.Len;
    V.sqlsubtype = T.SubType;
    V.sqlscale = T.Scale;
    if (P.IsNull()) {
        Null = -1;
        Buf.assign(std::size_t(std::max<int>(T.Len, 0)) + kNullBufferSlack, '\0');
        V.sqldata = Buf.data();
        return;
    }
    const Variant& val = P.Value();
    if (T.Type == SQL_BLOB) {
        Buf = WriteBlob(H, val.AsString());
        V.sqllen = sizeof(ISC_QUAD);
    } else if (val.IsString()) {
        Buf = val.AsString();
        if ((T.Type == SQL_TEXT || T.Type == SQL_VARYING) && Buf.size() > std::size_t(T.Len))
            throw EIBError(Format("Value of parameter %s is %d characters long; at most %d fit",
                                  {P.Name(), int(Buf.size()), int(T.Len)}));
        if (Buf.size() > kMaxTextParamLength)
            throw EIBError("Value of parameter " + P.Name() + " is too long");
        V.sqltype = SQL_TEXT | kNullableFlag;
        V.sqllen = short(Buf.size());
        if (T.Type != SQL_TEXT && T.Type != SQL_VARYING) V.sqlsubtype = 0;
        Buf.push_back('\0'); // a valid pointer even for an empty text
    } else if (val.IsDateTime()) {
        const ISC_TIMESTAMP ts = EncodeTimestamp(val.AsDateTime());
        Buf = Bytes(ts);
        V.sqltype = SQL_TIMESTAMP | kNullableFlag;
        V.sqllen = sizeof ts;
    } else if (val.IsFloat()) {
        const double x = val.AsFloat();
        Buf = Bytes(x);
        V.sqltype = SQL_DOUBLE | kNullableFlag;
        V.sqllen = sizeof x;
        V.sqlscale = 0;
    } else if (val.IsBoolean()) {
        Buf.assign(1, char(val.AsBoolean() ? 1 : 0));
        V.sqltype = SQL_BOOLEAN | kNullableFlag;
        V.sqllen = 1;
        V.sqlscale = 0;
    } else {
        const int64_t x = val.AsInt64();
        Buf = Bytes(x);
        V.sqltype = SQL_INT64 | kNullableFlag;
        V.sqllen = sizeof x;
        V.sqlscale = 0;
    }
    V.sqldata = Buf.data();
}

// ---------------------------------------------------------------- output

Variant ReadColumn(const XSQLVAR& V, THandles& H) {
    if (*V.sqlind < 0) return Variant::Null();
    const char* p = V.sqldata;
    switch (BaseType(V.sqltype)) {
    case SQL_VARYING:
        return Variant(AnsiString(p + kVaryingLengthSize, Load<unsigned short>(p)));
    case SQL_TEXT:
        return Variant(AnsiString(p, std::size_t(V.sqllen)));
    case SQL_SHORT:
        return Scaled(Load<int16_t>(p), V.sqlscale);
    case SQL_LONG:
        return Scaled(Load<int32_t>(p), V.sqlscale);
    case SQL_INT64:
        return Scaled(Load<int64_t>(p), V.sqlscale);
    case SQL_FLOAT:
        return Variant(double(Load<float>(p)));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return Variant(Load<double>(p));
    case SQL_TIMESTAMP: {
        const auto x = Load<ISC_TIMESTAMP>(p);
        return Variant::FromDateTime(DecodeTimestamp(x.timestamp_date, x.timestamp_time));
    }
    case SQL_TYPE_DATE:
        return Variant::FromDateTime(DecodeTimestamp(Load<ISC_DATE>(p), 0));
    case SQL_TYPE_TIME:
        return Variant::FromDateTime(double(Load<ISC_TIME>(p)) / kTicksPerDay);
    case SQL_BOOLEAN:
        return Variant(*p != 0);
    case SQL_BLOB:
        return Variant(ReadBlob(H, Load<ISC_QUAD>(p)));
    case SQL_NULL:
        return Variant::Null();
    default:
        throw EIBError("Unsupported column type of " +
                       AnsiString(V.aliasname, std::size_t(V.aliasname_length)));
    }
}

std::vector<Variant> ReadRow(const XSQLDA& Out, THandles& H) {
    std::vector<Variant> row;
    row.reserve(std::size_t(Out.sqld));
    for (int i = 0; i < Out.sqld; ++i)
        row.push_back(ReadColumn(Out.sqlvar[i], H));
    return row;
}

// ---------------------------------------------------------------- running

// Runs a statement that returns rows through a cursor and reads them all.
std::vector<std::vector<Variant>> ReadCursor(isc_stmt_handle& Stmt, const XSQLDA* In, XSQLDA* Out,
                                             THandles& H) {
    ISC_STATUS_ARRAY status;
    isc_dsql_execute(status, &H.Tr, &Stmt, kDialect, In);
    IBCheck(status);
    TScopeGuard closeCursor([&] {
        ISC_STATUS_ARRAY ignore;
        isc_dsql_free_statement(ignore, &Stmt, DSQL_close);
    });
    std::vector<std::vector<Variant>> rows;
    while (isc_dsql_fetch(status, &Stmt, kDialect, Out) != kNoMoreRows) {
        IBCheck(status);
        rows.push_back(ReadRow(*Out, H));
    }
    closeCursor.Dismiss();
    isc_dsql_free_statement(status, &Stmt, DSQL_close);
    IBCheck(status);
    return rows;
}

// Runs a statement that returns one row without a cursor (a procedure with
// output parameters).
std::vector<Variant> ReadSingleton(isc_stmt_handle& Stmt, const XSQLDA* In, XSQLDA* Out, THandles& H) {
    ISC_STATUS_ARRAY status;
    isc_dsql_execute2(status, &H.Tr, &Stmt, kDialect, In, Out);
    IBCheck(status);
    return ReadRow(*Out, H);
}

void RunStatement(isc_stmt_handle& Stmt, const XSQLDA* In, THandles& H) {
    ISC_STATUS_ARRAY status;
    isc_dsql_execute(status, &H.Tr, &Stmt, kDialect, In);
    IBCheck(status);
}

} // namespace

// The statement's descriptors and the buffers of one row.
struct TIBQuery::TStatement {
    TSqldaPtr In;
    TSqldaPtr Out;
    std::vector<TParamType> InTypes;
    std::vector<std::vector<char>> OutBufs;
    std::vector<short> OutInd;
};

void TIBParam::SetAsDate(TDateTime V) {
    FValue = Variant::FromDateTime(std::trunc(V));
}

const Variant& TIBField::Value() const {
    static const Variant null = Variant::Null();
    if (!FQuery || !FQuery->FActive || FQuery->FRows.empty()) return null;
    return FQuery->FRows[std::size_t(FQuery->FRecNo)][std::size_t(FIndex)];
}

TIBQuery::TIBQuery(TComponent* AOwner) : TComponent(AOwner) {}

TIBQuery::~TIBQuery() {
    try {
        Close();
        FreeHandle();
    } catch (const Exception&) {
    }
    SetTransaction(nullptr);
    SetDatabase(nullptr);
}

void TIBQuery::SetDatabase(TIBDatabase* Value) {
    if (Value == FDatabase) return;
    Close();
    FreeHandle();
    if (FDatabase) {
        auto& list = FDatabase->FQueries;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    FDatabase = Value;
    if (FDatabase) FDatabase->FQueries.push_back(this);
}

TIBTransaction* TIBQuery::Transaction() const {
    if (FTransaction) return FTransaction;
    return FDatabase ? FDatabase->DefaultTransaction : nullptr;
}

void TIBQuery::Link(TIBTransaction* T) {
    if (T && std::find(T->FQueries.begin(), T->FQueries.end(), this) == T->FQueries.end())
        T->FQueries.push_back(this);
}

void TIBQuery::Unlink(TIBTransaction* T) {
    if (!T || T == FTransaction || T == FOpenTransaction) return;
    T->FQueries.erase(std::remove(T->FQueries.begin(), T->FQueries.end(), this), T->FQueries.end());
}

void TIBQuery::SetTransaction(TIBTransaction* Value) {
    if (Value == FTransaction) return;
    Close();
    TIBTransaction* old = FTransaction;
    FTransaction = Value;
    Unlink(old);
    Link(FTransaction);
}

void TIBQuery::SetSQL(const AnsiString& Text) {
    Close();
    Unprepare();
    FSQL = Text;
    std::vector<AnsiString> names;
    if (ParamCheck)
        TranslateParams(FSQL, FSQLPositional, names);
    else
        FSQLPositional = FSQL;
    FParams.clear();
    FParamRefs.clear();
    for (const AnsiString& name : names) {
        auto it = std::find_if(FParams.begin(), FParams.end(),
                               [&](const TIBParam& p) { return SameText(p.FName, name); });
        if (it == FParams.end()) {
            TIBParam p;
            p.FName = name;
            FParams.push_back(p);
            it = FParams.end() - 1;
        }
        FParamRefs.push_back(int(it - FParams.begin()));
    }
}

TIBParam* TIBQuery::FindParam(const AnsiString& Name) {
    for (TIBParam& p : FParams)
        if (SameText(p.FName, Name)) return &p;
    return nullptr;
}

TIBParam& TIBQuery::ParamByName(const AnsiString& Name) {
    if (TIBParam* p = FindParam(Name)) return *p;
    throw EIBError("Parameter " + Name + " not found");
}

void TIBQuery::ClearParams() {
    for (TIBParam& p : FParams)
        p.Clear();
}

TIBField* TIBQuery::FindField(const AnsiString& Name) {
    for (TIBField& f : FFields)
        if (SameText(f.FName, Name)) return &f;
    return nullptr;
}

TIBField& TIBQuery::FieldByName(const AnsiString& Name) {
    if (TIBField* f = FindField(Name)) return *f;
    throw EIBError("Field " + Name + " not found");
}

TIBTransaction* TIBQuery::ActiveTransaction() {
    if (!FDatabase) throw EIBError("Database not assigned");
    if (!FDatabase->Connected()) throw EIBError("Database not open");
    TIBTransaction* tr = Transaction();
    if (!tr) throw EIBError("Transaction not assigned");
    if (!tr->InTransaction()) {
        if (!tr->AllowAutoStart) throw EIBError("Transaction not active");
        tr->StartTransaction();
    }
    return tr;
}

void TIBQuery::FreeHandle() {
    if (!FStmt) return;
    ISC_STATUS_ARRAY status;
    isc_stmt_handle stmt = FStmt;
    FStmt = 0;
    if (FDatabase && FDatabase->Connected()) isc_dsql_free_statement(status, &stmt, DSQL_drop);
}

void TIBQuery::Unprepare() {
    Close();
    FreeHandle();
    FDescr.reset();
    FFields.clear();
}

void TIBQuery::Prepare() {
    if (Prepared()) return;
    TIBTransaction* tr = ActiveTransaction();
    ISC_STATUS_ARRAY status;
    isc_db_handle db = FDatabase->Handle();
    isc_tr_handle trh = tr->Handle();
    isc_stmt_handle stmt = 0;
    isc_dsql_allocate_statement(status, &db, &stmt);
    IBCheck(status);
    FStmt = stmt;
    TScopeGuard drop([this] {
        FreeHandle();
        FFields.clear();
    });
    auto d = std::make_unique<TStatement>();
    d->Out = PrepareColumns(trh, stmt, FSQLPositional);
    d->In = DescribeParams(stmt, int(FParamRefs.size()));
    if (d->In->sqld != short(FParamRefs.size()))
        throw EIBError("The statement's parameters must all be named (:NAME)");
    FStmtType = StatementType(stmt);
    d->InTypes = ParamTypes(*d->In);
    MakeFields(*d);
    FDescr = std::move(d);
    drop.Dismiss();
}

void TIBQuery::MakeFields(TStatement& D) {
    FFields.clear();
    D.OutBufs.resize(std::size_t(D.Out->sqld));
    D.OutInd.assign(std::size_t(D.Out->sqld), 0);
    for (int i = 0; i < D.Out->sqld; ++i) {
        XSQLVAR& v = D.Out->sqlvar[i];
        const short type = BaseType(v.sqltype);
        // Room for a VARYING text's length word, whatever the type.
        D.OutBufs[std::size_t(i)].assign(std::size_t(v.sqllen) + kVaryingLengthSize, 0);
        v.sqldata = D.OutBufs[std::size_t(i)].data();
        v.sqlind = &D.OutInd[std::size_t(i)];
        v.sqltype = short(type | kNullableFlag);
        TIBField f;
        f.FQuery = this;
        f.FIndex = i;
        f.FName = AnsiString(v.aliasname, std::size_t(v.aliasname_length));
        f.FSize = (type == SQL_TEXT || type == SQL_VARYING) ? v.sqllen : 0;
        FFields.push_back(f);
    }
}

void TIBQuery::Open() {
    if (FActive) return;
    Execute(true);
}

void TIBQuery::ExecQuery() {
    Close();
    Execute(false);
}

void TIBQuery::Execute(bool NeedRows) {
    TIBTransaction* tr = ActiveTransaction();
    Prepare();
    THandles h{FDatabase->Handle(), tr->Handle()};
    isc_stmt_handle stmt = FStmt;
    TStatement& d = *FDescr;

    TInputBuffers inputs;
    inputs.Values.resize(std::size_t(d.In->sqld));
    inputs.Nulls.assign(std::size_t(d.In->sqld), 0);
    for (std::size_t i = 0; i < std::size_t(d.In->sqld); ++i)
        BindParam(d.In->sqlvar[i], d.InTypes[i], FParams[std::size_t(FParamRefs[i])], inputs.Values[i],
                  inputs.Nulls[i], h);

    FRows.clear();
    if (IsSelect(FStmtType)) {
        FRows = ReadCursor(stmt, d.In.get(), d.Out.get(), h);
    } else if (d.Out->sqld > 0) {
        FRows.push_back(ReadSingleton(stmt, d.In.get(), d.Out.get(), h));
    } else {
        if (NeedRows) throw EIBError("The statement returns no rows");
        RunStatement(stmt, d.In.get(), h);
        return;
    }
    FActive = true;
    FOpenTransaction = tr;
    Link(tr);
    First();
}

void TIBQuery::Close() {
    if (!FActive) return;
    FActive = false;
    FRows.clear();
    FRecNo = 0;
    FEof = FBof = true;
    TIBTransaction* tr = FOpenTransaction;
    FOpenTransaction = nullptr;
    Unlink(tr);
    if (tr) tr->QueryClosed();
}

void TIBQuery::First() {
    FRecNo = 0;
    FBof = true;
    FEof = FRows.empty();
}

void TIBQuery::Last() {
    FRecNo = FRows.empty() ? 0 : int(FRows.size()) - 1;
    FEof = true;
    FBof = FRows.empty();
}

void TIBQuery::Next() {
    if (FRecNo + 1 < int(FRows.size())) {
        ++FRecNo;
        FBof = false;
    } else {
        FEof = true;
    }
}

void TIBQuery::Prior() {
    if (FRecNo > 0) {
        --FRecNo;
        FEof = false;
    } else {
        FBof = true;
    }
}

bool TIBQuery::Locate(const AnsiString& FieldName, const Variant& Value, bool CaseInsensitive) {
    const TIBField& f = FieldByName(FieldName);
    auto equal = [&](const Variant& a) {
        if (a.IsEmptyOrNull() || Value.IsEmptyOrNull()) return a.IsEmptyOrNull() && Value.IsEmptyOrNull();
        if (a.IsString() || Value.IsString())
            return CaseInsensitive ? SameText(a.AsString(), Value.AsString())
                                   : a.AsString() == Value.AsString();
        if (a.IsInteger() && Value.IsInteger()) return a.AsInt64() == Value.AsInt64();
        return a.AsFloat() == Value.AsFloat();
    };
    for (std::size_t r = 0; r < FRows.size(); ++r) {
        if (equal(FRows[r][std::size_t(f.FIndex)])) {
            FRecNo = int(r);
            FEof = FBof = false;
            return true;
        }
    }
    return false;
}
