// Connections and transactions of a Firebird database, over the client
// library's C API. Opening a plain file path runs the engine in-process.
#pragma once

#include <vector>

#include "platform/rtl/Classes.h"

class TIBTransaction;
class TIBQuery;

// What a failed call means for the user, as far as the engine tells.
enum class TIBErrorKind {
    ekOther,
    // Another process holds the database file.
    ekFileInUse,
    // The file is no database, or its header or pages are damaged.
    ekFileDamaged,
    // The file cannot be opened for writing: it, its folder or its file
    // system is read-only, or it belongs to another user.
    ekNoAccess,
    // There is no file by that name, or the name is a folder.
    ekNoFile,
    // The file was made by another version of the engine.
    ekOtherVersion,
    // The engine cannot use its lock folder.
    ekLockFolder,
    // No engine took the file and no server answered: the embedded engine
    // is not installed.
    ekNoEngine,
};

// An error of the database layer. Message holds the server's own text.
class EIBError : public Exception {
public:
    explicit EIBError(AnsiString Msg, int ASQLCode = 0, long AIBErrorCode = 0,
                      TIBErrorKind AKind = TIBErrorKind::ekOther)
        : Exception(std::move(Msg)), SQLCode(ASQLCode), IBErrorCode(AIBErrorCode), Kind(AKind) {}
    int SQLCode;
    long IBErrorCode;
    TIBErrorKind Kind;
};

// Raises EIBError with the interpreted text when the status vector holds an
// error. Status is the client library's ISC_STATUS array.
void IBCheck(const intptr_t* Status);

class TIBDatabase : public TComponent {
public:
    explicit TIBDatabase(TComponent* AOwner);
    ~TIBDatabase() override;

    // File path, or "host:path" for a server.
    AnsiString DatabaseName;
    // Connection parameters as "name=value" lines: user_name, password,
    // lc_ctype, sql_role_name, and config: a setting of the database's own
    // engine configuration for an embedded connection ("config=GCPolicy =
    // cooperative"), as the engine's databases.conf would give it.
    std::vector<AnsiString> Params;
    bool LoginPrompt = false;
    TIBTransaction* DefaultTransaction = nullptr;

    void Open();
    // Closes the queries on this connection and ends its transactions
    // (committing those that commit when they stop) before detaching.
    void Close();
    bool Connected() const { return FHandle != 0; }
    void SetConnected(bool Value) { Value ? Open() : Close(); }

    unsigned Handle() const { return FHandle; }

private:
    friend class TIBTransaction;
    friend class TIBQuery;
    unsigned FHandle = 0;
    std::vector<TIBTransaction*> FTransactions;
    std::vector<TIBQuery*> FQueries;
};

// A connection to open before its TIBDatabase asks for it.
struct TPreparedConnection {
    AnsiString DatabaseName;
    std::vector<AnsiString> Params;
};

// Starts attaching Connections, in order, on a thread of its own, so that
// the engine starts while the program does other work. A TIBDatabase that
// opens one of them with the same name and parameters takes its connection,
// or raises its error, instead of attaching again. Raises EIBError for a
// parameter it does not know, before anything starts.
void PrepareConnections(const std::vector<TPreparedConnection>& Connections);
// Waits for the prepared connections and detaches those nobody took.
void DiscardPreparedConnections();

// What a transaction does when its last query closes.
enum class TAutoStopAction { saNone, saCommit, saRollback };

class TIBTransaction : public TComponent {
public:
    explicit TIBTransaction(TComponent* AOwner);
    ~TIBTransaction() override;

    // Transaction parameter items by name: read_committed, rec_version,
    // no_rec_version, nowait, wait, read, write, concurrency, consistency.
    std::vector<AnsiString> Params;
    TAutoStopAction AutoStopAction = TAutoStopAction::saNone;
    // When false, a query refuses to run until the transaction was started
    // explicitly.
    bool AllowAutoStart = true;

    TIBDatabase* DefaultDatabase() const { return FDatabase; }
    void SetDefaultDatabase(TIBDatabase* Value);

    void StartTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const { return FHandle != 0; }
    bool Active() const { return InTransaction(); }

    unsigned Handle() const { return FHandle; }

private:
    friend class TIBDatabase;
    friend class TIBQuery;
    void QueryClosed();
    // Commits when AutoStopAction says so, else rolls back.
    void Stop();
    TIBDatabase* FDatabase = nullptr;
    unsigned FHandle = 0;
    std::vector<TIBQuery*> FQueries;
};
