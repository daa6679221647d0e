#include "platform/db/IBQuery.h"

#include <ibase.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kDialect = 3;
constexpr int kDateOffset = 15018;           // engine day number of 1899-12-30
constexpr double kTicksPerDay = 864000000.0; // engine time unit: 1/10000 s
constexpr std::size_t kSegmentSize = 32768;

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

} // namespace

// The statement's descriptors and the buffers of one row.
struct TIBQuery::TStatement {
    TSqldaPtr In;
    TSqldaPtr Out;
    struct TInType {
        short Type, Len, SubType, Scale;
    };
    std::vector<TInType> InTypes; // as the server described them
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
    try {
        auto d = std::make_unique<TStatement>();
        d->Out = AllocSqlda(8);
        isc_dsql_prepare(status, &trh, &stmt, 0, FSQLPositional.c_str(), kDialect, d->Out.get());
        IBCheck(status);
        if (d->Out->sqld > d->Out->sqln) {
            d->Out = AllocSqlda(d->Out->sqld);
            isc_dsql_describe(status, &stmt, kDialect, d->Out.get());
            IBCheck(status);
        }
        d->In = AllocSqlda(std::max<int>(int(FParamRefs.size()), 1));
        isc_dsql_describe_bind(status, &stmt, kDialect, d->In.get());
        IBCheck(status);
        if (d->In->sqld > d->In->sqln) {
            d->In = AllocSqlda(d->In->sqld);
            isc_dsql_describe_bind(status, &stmt, kDialect, d->In.get());
            IBCheck(status);
        }
        if (d->In->sqld != short(FParamRefs.size()))
            throw EIBError("The statement's parameters must all be named (:NAME)");

        char item = isc_info_sql_stmt_type;
        char info[16];
        isc_dsql_sql_info(status, &stmt, 1, &item, sizeof info, info);
        IBCheck(status);
        FStmtType = 0;
        if (info[0] == isc_info_sql_stmt_type) {
            short len = short(isc_vax_integer(info + 1, 2));
            FStmtType = int(isc_vax_integer(info + 3, len));
        }

        for (int i = 0; i < d->In->sqld; ++i) {
            const XSQLVAR& v = d->In->sqlvar[i];
            d->InTypes.push_back({short(v.sqltype & ~1), v.sqllen, v.sqlsubtype, v.sqlscale});
        }
        FFields.clear();
        d->OutBufs.resize(std::size_t(d->Out->sqld));
        d->OutInd.assign(std::size_t(d->Out->sqld), 0);
        for (int i = 0; i < d->Out->sqld; ++i) {
            XSQLVAR& v = d->Out->sqlvar[i];
            int type = v.sqltype & ~1;
            d->OutBufs[std::size_t(i)].assign(std::size_t(v.sqllen) + 2, 0);
            v.sqldata = d->OutBufs[std::size_t(i)].data();
            v.sqlind = &d->OutInd[std::size_t(i)];
            v.sqltype = short(type | 1);
            TIBField f;
            f.FQuery = this;
            f.FIndex = i;
            f.FName = AnsiString(v.aliasname, std::size_t(v.aliasname_length));
            f.FSize = (type == SQL_TEXT || type == SQL_VARYING) ? v.sqllen : 0;
            FFields.push_back(f);
        }
        FDescr = std::move(d);
    } catch (...) {
        FreeHandle();
        FFields.clear();
        throw;
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
    ISC_STATUS_ARRAY status;
    isc_db_handle db = FDatabase->Handle();
    isc_tr_handle trh = tr->Handle();
    isc_stmt_handle stmt = FStmt;
    TStatement& d = *FDescr;

    // Input values go in the type they have; the engine converts them to the
    // parameter's own type. Text longer than a text parameter is refused.
    std::vector<std::string> store(std::size_t(d.In->sqld));
    std::vector<short> ind(std::size_t(d.In->sqld), 0);
    for (int i = 0; i < d.In->sqld; ++i) {
        XSQLVAR& v = d.In->sqlvar[i];
        const TStatement::TInType& t = d.InTypes[std::size_t(i)];
        const TIBParam& p = FParams[std::size_t(FParamRefs[std::size_t(i)])];
        std::string& buf = store[std::size_t(i)];
        v.sqlind = &ind[std::size_t(i)];
        v.sqltype = short(t.Type | 1);
        v.sqllen = t.Len;
        v.sqlsubtype = t.SubType;
        v.sqlscale = t.Scale;
        if (p.IsNull()) {
            ind[std::size_t(i)] = -1;
            buf.assign(std::size_t(std::max<int>(t.Len, 0)) + 8, '\0');
            v.sqldata = buf.data();
            continue;
        }
        const Variant& val = p.Value();
        if (t.Type == SQL_BLOB) {
            AnsiString data = val.AsString();
            isc_blob_handle bh = 0;
            ISC_QUAD id{};
            isc_create_blob2(status, &db, &trh, &bh, &id, 0, nullptr);
            IBCheck(status);
            for (std::size_t pos = 0; pos < data.size(); pos += kSegmentSize) {
                std::size_t len = std::min(kSegmentSize, data.size() - pos);
                isc_put_segment(status, &bh, static_cast<unsigned short>(len), data.data() + pos);
                if (status[0] == 1 && status[1]) {
                    ISC_STATUS_ARRAY ignore;
                    isc_cancel_blob(ignore, &bh);
                    IBCheck(status);
                }
            }
            isc_close_blob(status, &bh);
            IBCheck(status);
            buf = Bytes(id);
            v.sqllen = sizeof(ISC_QUAD);
        } else if (val.IsString()) {
            buf = val.AsString();
            if ((t.Type == SQL_TEXT || t.Type == SQL_VARYING) && buf.size() > std::size_t(t.Len))
                throw EIBError(Format("Value of parameter %s is %d characters long; at most %d fit",
                                      {p.Name(), int(buf.size()), int(t.Len)}));
            if (buf.size() > 32765) throw EIBError("Value of parameter " + p.Name() + " is too long");
            v.sqltype = SQL_TEXT | 1;
            v.sqllen = short(buf.size());
            if (t.Type != SQL_TEXT && t.Type != SQL_VARYING) v.sqlsubtype = 0;
            buf.push_back('\0'); // a valid pointer even for an empty text
        } else if (val.IsDateTime()) {
            ISC_TIMESTAMP ts = EncodeTimestamp(val.AsDateTime());
            buf = Bytes(ts);
            v.sqltype = SQL_TIMESTAMP | 1;
            v.sqllen = sizeof ts;
        } else if (val.IsFloat()) {
            double x = val.AsFloat();
            buf = Bytes(x);
            v.sqltype = SQL_DOUBLE | 1;
            v.sqllen = sizeof x;
            v.sqlscale = 0;
        } else if (val.IsBoolean()) {
            buf.assign(1, char(val.AsBoolean() ? 1 : 0));
            v.sqltype = SQL_BOOLEAN | 1;
            v.sqllen = 1;
            v.sqlscale = 0;
        } else {
            int64_t x = val.AsInt64();
            buf = Bytes(x);
            v.sqltype = SQL_INT64 | 1;
            v.sqllen = sizeof x;
            v.sqlscale = 0;
        }
        v.sqldata = buf.data();
    }

    auto readRow = [&]() {
        std::vector<Variant> row;
        row.reserve(std::size_t(d.Out->sqld));
        for (int i = 0; i < d.Out->sqld; ++i) {
            const XSQLVAR& v = d.Out->sqlvar[i];
            if (*v.sqlind < 0) {
                row.push_back(Variant::Null());
                continue;
            }
            const char* p = v.sqldata;
            switch (v.sqltype & ~1) {
            case SQL_VARYING:
                row.emplace_back(AnsiString(p + 2, Load<unsigned short>(p)));
                break;
            case SQL_TEXT:
                row.emplace_back(AnsiString(p, std::size_t(v.sqllen)));
                break;
            case SQL_SHORT:
                row.push_back(Scaled(Load<int16_t>(p), v.sqlscale));
                break;
            case SQL_LONG:
                row.push_back(Scaled(Load<int32_t>(p), v.sqlscale));
                break;
            case SQL_INT64:
                row.push_back(Scaled(Load<int64_t>(p), v.sqlscale));
                break;
            case SQL_FLOAT:
                row.emplace_back(double(Load<float>(p)));
                break;
            case SQL_DOUBLE:
            case SQL_D_FLOAT:
                row.emplace_back(Load<double>(p));
                break;
            case SQL_TIMESTAMP: {
                const auto x = Load<ISC_TIMESTAMP>(p);
                row.push_back(Variant::FromDateTime(DecodeTimestamp(x.timestamp_date, x.timestamp_time)));
                break;
            }
            case SQL_TYPE_DATE:
                row.push_back(Variant::FromDateTime(DecodeTimestamp(Load<ISC_DATE>(p), 0)));
                break;
            case SQL_TYPE_TIME:
                row.push_back(Variant::FromDateTime(double(Load<ISC_TIME>(p)) / kTicksPerDay));
                break;
            case SQL_BOOLEAN:
                row.emplace_back(*p != 0);
                break;
            case SQL_BLOB: {
                auto id = Load<ISC_QUAD>(p);
                isc_blob_handle bh = 0;
                isc_open_blob2(status, &db, &trh, &bh, &id, 0, nullptr);
                IBCheck(status);
                AnsiString data;
                char seg[kSegmentSize];
                for (;;) {
                    unsigned short got = 0;
                    ISC_STATUS rc = isc_get_segment(status, &bh, &got, sizeof seg, seg);
                    if (rc == 0 || rc == isc_segment) {
                        data.append(seg, got);
                    } else if (rc == isc_segstr_eof) {
                        break;
                    } else {
                        ISC_STATUS_ARRAY ignore;
                        isc_close_blob(ignore, &bh);
                        IBCheck(status);
                    }
                }
                isc_close_blob(status, &bh);
                IBCheck(status);
                row.emplace_back(std::move(data));
                break;
            }
            case SQL_NULL:
                row.push_back(Variant::Null());
                break;
            default:
                throw EIBError("Unsupported column type of " + FFields[std::size_t(i)].FName);
            }
        }
        FRows.push_back(std::move(row));
    };

    FRows.clear();
    bool select = FStmtType == isc_info_sql_stmt_select || FStmtType == isc_info_sql_stmt_select_for_upd;
    if (select) {
        isc_dsql_execute(status, &trh, &stmt, kDialect, d.In.get());
        IBCheck(status);
        try {
            for (;;) {
                ISC_STATUS rc = isc_dsql_fetch(status, &stmt, kDialect, d.Out.get());
                if (rc == 100) break;
                IBCheck(status);
                readRow();
            }
        } catch (...) {
            ISC_STATUS_ARRAY ignore;
            isc_dsql_free_statement(ignore, &stmt, DSQL_close);
            FRows.clear();
            throw;
        }
        isc_dsql_free_statement(status, &stmt, DSQL_close);
        IBCheck(status);
    } else if (d.Out->sqld > 0) {
        isc_dsql_execute2(status, &trh, &stmt, kDialect, d.In.get(), d.Out.get());
        IBCheck(status);
        readRow();
    } else {
        if (NeedRows) throw EIBError("The statement returns no rows");
        isc_dsql_execute(status, &trh, &stmt, kDialect, d.In.get());
        IBCheck(status);
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
