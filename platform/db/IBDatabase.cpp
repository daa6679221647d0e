// TIBDatabase and TIBTransaction over the client library: the parameter
// blocks built from their "name=value" and item lists, and the error text of
// a failed call.
#include "platform/db/IBDatabase.h"

#include <ibase.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <future>
#include <mutex>
#include <type_traits>
#include <utility>

#include "platform/db/IBIcu.h"
#include "platform/db/IBLockFolder.h"
#include "platform/db/IBQuery.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/EndSignals.h"

static_assert(std::is_same_v<ISC_STATUS, intptr_t>);
static_assert(sizeof(isc_db_handle) == sizeof(unsigned));

namespace {

// Room for one line of an error's text.
constexpr std::size_t kMessageLineSize = 1024;
// A string in a connection block has a length of one byte.
constexpr std::size_t kMaxDpbStringLength = 255;
// Transaction items may be written with the client library's prefix.
constexpr char kTpbPrefix[] = "isc_tpb_";

} // namespace

namespace {

// The kind of failure that an operating system error met while opening or
// reading a file names; ekOther for any other.
TIBErrorKind SystemErrorKind(ISC_STATUS Errno, bool Reading) {
    switch (Errno) {
    case EACCES:
    case EPERM:
    case EROFS:
        return TIBErrorKind::ekNoAccess;
    case ENOENT:
    case ENOTDIR:
    case EISDIR:
        return TIBErrorKind::ekNoFile;
    default:
        // A file that ends before its expected size, or a failing disk.
        return Reading ? TIBErrorKind::ekFileDamaged : TIBErrorKind::ekOther;
    }
}

// The kind of failure the error codes of a status vector name.
TIBErrorKind ErrorKind(const ISC_STATUS* Status) {
    TIBErrorKind kind = TIBErrorKind::ekOther;
    ISC_STATUS code = 0;
    int texts = 0;              // texts so far after the code
    const char* operation = ""; // of an input-output error or a system call
    bool io = false;            // an input-output error on a database file came
    ISC_STATUS systemError = 0;
    for (const ISC_STATUS* p = Status; *p != isc_arg_end;) {
        const ISC_STATUS arg = p[0];
        if (arg == isc_arg_gds) {
            code = p[1];
            texts = 0;
            switch (code) {
            case isc_already_opened:
                return TIBErrorKind::ekFileInUse;
            case isc_no_priv:
                return TIBErrorKind::ekNoAccess;
            case isc_wrong_ods:
                return TIBErrorKind::ekOtherVersion;
            case isc_lock_dir_access:
                return TIBErrorKind::ekLockFolder;
            case isc_network_error:
            case isc_net_connect_err:
                return TIBErrorKind::ekNoEngine;
            case isc_bad_db_format:
            case isc_db_corrupt:
            case isc_badpagtyp:
            case isc_bug_check:
                kind = TIBErrorKind::ekFileDamaged;
                break;
            case isc_io_error:
                io = true;
                break;
            }
        } else if (arg == isc_arg_string && ++texts == 1 &&
                   (code == isc_io_error || code == isc_sys_request)) {
            // The first text of an input-output error or a failed system
            // call names the operation.
            operation = reinterpret_cast<const char*>(p[1]);
            // The engine checks its lock folder before any database file.
            if (code == isc_sys_request && std::strcmp(operation, "access") == 0)
                return TIBErrorKind::ekLockFolder;
        } else if (arg == isc_arg_unix && systemError == 0) {
            systemError = p[1];
        }
        p += arg == isc_arg_cstring ? 3 : 2;
    }
    if (io && kind == TIBErrorKind::ekOther) {
        const bool reading = std::strcmp(operation, "read") == 0;
        if (reading || std::strcmp(operation, "open") == 0) kind = SystemErrorKind(systemError, reading);
    }
    return kind;
}

} // namespace

void IBCheck(const intptr_t* Status) {
    if (!(Status[0] == isc_arg_gds && Status[1] != 0)) return;
    AnsiString text;
    char buf[kMessageLineSize];
    const ISC_STATUS* p = Status;
    while (fb_interpret(buf, sizeof buf, &p) > 0) {
        if (!text.empty()) text += '\n';
        text += buf;
    }
    throw EIBError(text, isc_sqlcode(Status), long(Status[1]), ErrorKind(Status));
}

namespace {

// Splits "name=value"; the name is compared without regard to case.
void SplitParam(const AnsiString& Line, AnsiString& Name, AnsiString& Value) {
    std::size_t eq = Line.find('=');
    Name = AnsiLowerCase(Trim(Line.substr(0, eq)));
    Value = eq == AnsiString::npos ? AnsiString() : Line.substr(eq + 1);
}

void AddDpbString(AnsiString& Dpb, char Item, const AnsiString& Value) {
    if (Value.size() > kMaxDpbStringLength) throw EIBError("Connection parameter too long");
    Dpb += Item;
    Dpb += char(Value.size());
    Dpb += Value;
}

// The connection block of "name=value" lines; the "config" lines go
// together as one item, a line each.
AnsiString ConnectionBlock(const std::vector<AnsiString>& Params) {
    AnsiString dpb(1, char(isc_dpb_version1));
    AnsiString config;
    for (const AnsiString& line : Params) {
        AnsiString name, value;
        SplitParam(line, name, value);
        if (name.empty()) continue;
        if (name == "user_name")
            AddDpbString(dpb, isc_dpb_user_name, value);
        else if (name == "password")
            AddDpbString(dpb, isc_dpb_password, value);
        else if (name == "lc_ctype")
            AddDpbString(dpb, isc_dpb_lc_ctype, value);
        else if (name == "sql_role_name")
            AddDpbString(dpb, isc_dpb_sql_role_name, value);
        else if (name == "config")
            config += (config.empty() ? "" : "\n") + value;
        else
            throw EIBError("Unknown connection parameter: " + name);
    }
    if (!config.empty()) AddDpbString(dpb, isc_dpb_config, config);
    return dpb;
}

// The transaction block of item names; a transaction that names neither
// read nor write may write.
AnsiString TransactionBlock(const std::vector<AnsiString>& Params) {
    static const struct {
        const char* Name;
        char Code;
    } items[] = {{"read_committed", isc_tpb_read_committed},
                 {"rec_version", isc_tpb_rec_version},
                 {"no_rec_version", isc_tpb_no_rec_version},
                 {"nowait", isc_tpb_nowait},
                 {"wait", isc_tpb_wait},
                 {"read", isc_tpb_read},
                 {"write", isc_tpb_write},
                 {"concurrency", isc_tpb_concurrency},
                 {"consistency", isc_tpb_consistency}};
    AnsiString tpb(1, char(isc_tpb_version3));
    bool access = false;
    for (const AnsiString& line : Params) {
        AnsiString item = AnsiLowerCase(Trim(line));
        if (item.rfind(kTpbPrefix, 0) == 0) item.erase(0, sizeof kTpbPrefix - 1);
        if (item.empty()) continue;
        auto it = std::find_if(std::begin(items), std::end(items), [&](auto& i) { return item == i.Name; });
        if (it == std::end(items)) throw EIBError("Unknown transaction parameter: " + item);
        tpb += it->Code;
        access = access || item == "read" || item == "write";
    }
    if (!access) tpb += char(isc_tpb_write);
    return tpb;
}

} // namespace

namespace {

// One prepared connection: its key, and once attached its handle or error.
struct TPrepared {
    AnsiString DatabaseName;
    AnsiString Dpb;
    unsigned Handle = 0;
    std::exception_ptr Error;
};

struct TPreparedSet {
    std::mutex Lock;
    std::vector<TPrepared> Items;
    // Ready once every item is attached or failed.
    std::shared_future<void> Done;
};

TPreparedSet& Prepared() {
    static TPreparedSet set;
    return set;
}

unsigned Attach(const AnsiString& DatabaseName, const AnsiString& Dpb) {
    UseLoadedIcuForEngine();
    ISC_STATUS_ARRAY status;
    isc_db_handle handle = 0;
    isc_attach_database(status, short(DatabaseName.size()), DatabaseName.c_str(), &handle, short(Dpb.size()),
                        Dpb.data());
    // The engine installs its own handlers when it starts.
    ReclaimEndSignalHandlers();
    IBCheck(status);
    return handle;
}

void Detach(unsigned Handle) {
    ISC_STATUS_ARRAY status;
    isc_db_handle handle = Handle;
    isc_detach_database(status, &handle);
    ReclaimEndSignalHandlers();
    IBCheck(status);
}

// Hands over the prepared connection of that name and block, waiting for it;
// false when none was prepared. Raises the error its attach met.
bool TakePrepared(const AnsiString& DatabaseName, const AnsiString& Dpb, unsigned& Handle) {
    TPreparedSet& set = Prepared();
    std::shared_future<void> done;
    {
        std::lock_guard guard(set.Lock);
        done = set.Done;
    }
    if (!done.valid()) return false;
    done.wait();
    std::lock_guard guard(set.Lock);
    auto it = std::find_if(set.Items.begin(), set.Items.end(), [&](const TPrepared& p) {
        return p.DatabaseName == DatabaseName && p.Dpb == Dpb;
    });
    if (it == set.Items.end()) return false;
    TPrepared taken = std::move(*it);
    set.Items.erase(it);
    if (taken.Error) std::rethrow_exception(taken.Error);
    Handle = taken.Handle;
    return true;
}

} // namespace

void PrepareConnections(const std::vector<TPreparedConnection>& Connections) {
    DiscardPreparedConnections();
    std::vector<TPrepared> items;
    for (const TPreparedConnection& c : Connections)
        items.push_back({c.DatabaseName, ConnectionBlock(c.Params), 0, nullptr});
    // The engine reads its lock folder once, when it first loads.
    UsePrivateLockFolder();
    TPreparedSet& set = Prepared();
    std::lock_guard guard(set.Lock);
    set.Items = std::move(items);
    set.Done = std::async(std::launch::async, [&set] {
                   std::vector<std::pair<AnsiString, AnsiString>> keys;
                   {
                       std::lock_guard guard(set.Lock);
                       for (const TPrepared& p : set.Items)
                           keys.emplace_back(p.DatabaseName, p.Dpb);
                   }
                   for (std::size_t i = 0; i < keys.size(); ++i) {
                       unsigned handle = 0;
                       std::exception_ptr error;
                       try {
                           handle = Attach(keys[i].first, keys[i].second);
                       } catch (...) {
                           error = std::current_exception();
                       }
                       std::lock_guard guard(set.Lock);
                       set.Items[i].Handle = handle;
                       set.Items[i].Error = error;
                   }
               }).share();
}

void DiscardPreparedConnections() {
    TPreparedSet& set = Prepared();
    std::shared_future<void> done;
    {
        std::lock_guard guard(set.Lock);
        done = std::exchange(set.Done, {});
    }
    if (done.valid()) done.wait();
    std::vector<TPrepared> left;
    {
        std::lock_guard guard(set.Lock);
        left = std::exchange(set.Items, {});
    }
    for (const TPrepared& p : left)
        if (p.Handle) try {
                Detach(p.Handle);
            } catch (const EIBError&) {
                // Nobody used it; the engine lets it go with the process.
            }
}

TIBDatabase::TIBDatabase(TComponent* AOwner) : TComponent(AOwner) {}

TIBDatabase::~TIBDatabase() {
    try {
        Close();
    } catch (const Exception&) {
        // A connection that cannot be closed cleanly is dropped with the process.
    }
    for (TIBQuery* q : FQueries)
        q->FDatabase = nullptr;
    for (TIBTransaction* t : FTransactions)
        t->FDatabase = nullptr;
}

void TIBDatabase::Open() {
    if (Connected()) return;
    // The engine reads its lock folder once, when it first loads.
    UsePrivateLockFolder();
    const AnsiString dpb = ConnectionBlock(Params);
    unsigned handle = 0;
    if (!TakePrepared(DatabaseName, dpb, handle)) handle = Attach(DatabaseName, dpb);
    FHandle = handle;
}

void TIBDatabase::Close() {
    if (!Connected()) return;
    // Every step runs even when one fails, so the connection is always left
    // detached; the first error is raised at the end.
    TFirstError first;
    for (TIBQuery* q : FQueries)
        first.Run([q] { q->Close(); });
    for (TIBQuery* q : FQueries)
        first.Run([q] { q->FreeHandle(); });
    for (TIBTransaction* t : FTransactions)
        first.Run([t] {
            if (t->InTransaction()) t->Stop();
        });
    // A transaction whose commit failed is still open and would keep the
    // connection from detaching: its work is lost, and the error says so.
    for (TIBTransaction* t : FTransactions)
        first.Run([t] {
            if (t->InTransaction()) t->Rollback();
        });
    first.Run([this] { Detach(std::exchange(FHandle, 0u)); });
    first.RaiseIfAny();
}

TIBTransaction::TIBTransaction(TComponent* AOwner) : TComponent(AOwner) {}

TIBTransaction::~TIBTransaction() {
    try {
        if (InTransaction()) Rollback();
    } catch (const Exception&) {
    }
    for (TIBQuery* q : FQueries) {
        if (q->FTransaction == this) q->FTransaction = nullptr;
        if (q->FOpenTransaction == this) q->FOpenTransaction = nullptr;
    }
    SetDefaultDatabase(nullptr);
}

void TIBTransaction::SetDefaultDatabase(TIBDatabase* Value) {
    if (Value == FDatabase) return;
    if (InTransaction()) throw EIBError("Cannot change the database of an active transaction");
    if (FDatabase) {
        auto& list = FDatabase->FTransactions;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    FDatabase = Value;
    if (FDatabase) FDatabase->FTransactions.push_back(this);
}

void TIBTransaction::StartTransaction() {
    if (InTransaction()) throw EIBError("Transaction is active");
    if (!FDatabase || !FDatabase->Connected()) throw EIBError("Database not connected");
    AnsiString tpb = TransactionBlock(Params);
    ISC_STATUS_ARRAY status;
    isc_tr_handle handle = 0;
    isc_db_handle db = FDatabase->Handle();
    isc_start_transaction(status, &handle, 1, &db, unsigned(tpb.size()), tpb.data());
    IBCheck(status);
    FHandle = handle;
}

void TIBTransaction::Commit() {
    if (!InTransaction()) throw EIBError("Transaction is not active");
    ISC_STATUS_ARRAY status;
    isc_tr_handle handle = FHandle;
    isc_commit_transaction(status, &handle);
    IBCheck(status);
    FHandle = 0;
}

void TIBTransaction::Rollback() {
    if (!InTransaction()) throw EIBError("Transaction is not active");
    ISC_STATUS_ARRAY status;
    isc_tr_handle handle = FHandle;
    isc_rollback_transaction(status, &handle);
    // The handle is gone even when the server reports an error (lost connection).
    FHandle = 0;
    IBCheck(status);
}

void TIBTransaction::QueryClosed() {
    if (!InTransaction() || AutoStopAction == TAutoStopAction::saNone) return;
    for (TIBQuery* q : FQueries)
        if (q->Active()) return;
    Stop();
}

void TIBTransaction::Stop() {
    if (AutoStopAction == TAutoStopAction::saCommit)
        Commit();
    else
        Rollback();
}
