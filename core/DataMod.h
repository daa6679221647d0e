// The data module: the two database connections and every read and write of
// the program. Every write runs in a transaction of its own; a failed write
// shows the error in a box captioned "Error" and returns -1 (or false).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/uConsts.h"
#include "platform/db/IBQuery.h"

// Write kinds of the Apply operations.
constexpr int32_t akInsert = 0;
constexpr int32_t akUpdate = 1;
constexpr int32_t akDelete = 2;

// One testee (a USERS row).
struct TUser {
    int32_t USER_ID = -1; // -1: not stored yet
    int32_t DB_ID = 0;
    AnsiString FIO;
    AnsiString Reserved1;
    int32_t Reserved2 = 0;
    int32_t AGE = -1; // -1: none
    AnsiString SEX;   // CP1251 "М", "Ж" or empty (none)
    AnsiString POSIT;
    double Seniority = 0;
    double OrgSeniority = 0;
    AnsiString Job;
    AnsiString Education;
    AnsiString Spec;
    int16_t isworkforspec = 0;
    bool HasTests = false; // filled by reading only
};

// One test (a TESTEDUSERS row).
struct TTestData {
    int32_t USER_ID = -1;
    int32_t TEST_ID = -1; // -1: not stored yet
    TDateTime DATETEST = 0;
    AnsiString COMMENTS;
    AnsiString ANSWERS; // one digit "0".."5" per statement pair
    AnsiString ANKETA;
    int64_t TESTDURATION = 0; // seconds
};

// One group testing (a TESTEDTEAMS row).
struct TTeam {
    int32_t TEAM_ID = -1; // -1: not stored yet
    int32_t DB_ID = 0;
    AnsiString JOB;
    AnsiString DEPARTMENT;
    int32_t NUMBEROFEMPLOYES = -1; // -1: none
    int32_t NUMBEROFTESTED = 0;
    TDateTime DATETEST = 0;
    AnsiString EMPNAMES; // labels, each followed by "#"
    AnsiString DATA;     // raw scores, each followed by "/"
};

// The scales fed by the first and by the second statement of one pair.
struct TStatementKeys {
    int32_t Key1 = 0;
    int32_t Key2 = 0;
};

// Raises EConvertError at the first character of Answers that is not an
// answer digit "0".."5".
void CheckAnswerDigits(const AnsiString& Answers);

// One logical database.
struct TDatabase {
    int32_t DB_ID = 0; // 0: none chosen yet, -1: not stored yet
    AnsiString DB_NAME;
    AnsiString DB_PASSWORD;
};

// A database failure at start-up as the user is told it: what happened, to
// which file, what to do, and the engine's own text below.
class EDatabaseStartupError : public EIBError {
public:
    EDatabaseStartupError(AnsiString Msg, const EIBError& Cause)
        : EIBError(std::move(Msg), Cause.SQLCode, Cause.IBErrorCode, Cause.Kind) {}
};

// The files beside the program: the main file and the data file.
AnsiString MainDatabaseFile();
AnsiString DataDatabaseFile();

// The text of EDatabaseStartupError for a failure E met with File.
AnsiString ExplainDatabaseFailure(const EIBError& E, const AnsiString& File);

class TMain_DataModule : public TComponent {
public:
    // Starts connecting both files on a thread of their own when the checks
    // of DataModuleCreate would pass, so that the engine starts while the
    // program makes its first window; DataModuleCreate then takes the
    // connections, or raises their errors.
    static void PrepareConnections();

    // Creates the components and runs DataModuleCreate. A connection that
    // cannot be opened raises EDatabaseStartupError.
    explicit TMain_DataModule(TComponent* AOwner);
    ~TMain_DataModule() override;

    // The start-up checks, then both connections. A failed check shows its
    // message (with the path and what to do) and leaves StartupFailed() true
    // with nothing connected.
    void DataModuleCreate();
    void DataModuleDestroy();
    bool IsLocalDrive(const AnsiString& Path);
    // True when a start-up check failed: the program must end.
    bool StartupFailed() const { return FStartupFailed; }

    // Testees and tests. The lists take no SQL text from their callers:
    // every condition travels as a bound parameter.
    bool OpenUsers(int32_t LocateUserId, int32_t DbId);
    bool ReadUser(TUser& User);
    int32_t ApplyUser(int32_t Kind, const TUser& User);
    bool OpenUserTests(int32_t UserId, int32_t LocateTestId);
    bool ReadTest(TTestData& TestData);
    bool ReadLastTest(const TUser& User, TTestData& TestData);
    // Refuses answers that scoring would refuse, and a duration that does
    // not fit the 32 bits it is stored with.
    int32_t ApplyTest(int32_t Kind, const TTestData& TestData);

    // Group testings.
    bool OpenTeams(int32_t LocateTeamId, int32_t DbId);
    bool ReadTeam(TTeam& Team);
    int32_t ApplyTeam(int32_t Kind, const TTeam& Team);

    // Logical databases; passwords are handed over scrambled.
    bool OpenDatabases(int32_t DbId);
    bool GetDatabase(int32_t DbId, AnsiString& Name, AnsiString& EncodedPassword);
    int32_t ApplyDatabase(int32_t Kind, int32_t DbId, const AnsiString& Name,
                          const AnsiString& EncodedPassword);

    // Reference data of the data file, read once a connection (when first
    // needed after DataModuleCreate connects) and then answered from memory.
    // The sten of a raw score on a scale; -1.0 when no band holds it.
    double FindSten(int32_t Scale, double RawValue);
    // Text keeps what it held when no template has that name.
    void GetHtmlTemplate(const AnsiString& Name, AnsiString& Text);
    // The template of that name, compared without regard to case; null when
    // there is none. The text stays until the module connects again.
    const AnsiString* FindHtmlTemplate(const AnsiString& Name);
    // Tells the reference data of one connection from that of another, of
    // this module or any other: what is worked out from it once may be kept
    // while this stays the same.
    uint64_t ReferenceDataVersion() const { return FReferenceDataVersion; }
    // The scale keys of every statement pair in STATEMENT_ID order, read
    // once through a query of their own: scoring never moves the cursor a
    // running questionnaire walks. A key outside 0..7 raises Exception.
    const std::vector<TStatementKeys>& StatementKeys();
    // Raises EConvertError unless Answers holds one digit "0".."5" for each
    // statement pair, as scoring needs.
    void CheckAnswers(const AnsiString& Answers);

    // The scrambled psychologist password (row ID = 1).
    bool ReadPsyPassword(AnsiString& EncodedPassword);
    bool WritePsyPassword(const AnsiString& EncodedPassword);

    TIBDatabase* Main_IBDatabase;
    TIBDatabase* Data_IBDatabase;
    TIBTransaction* Main_IBTransaction;
    TIBTransaction* Update_IBTransaction;
    TIBTransaction* Users_IBTransaction;
    TIBTransaction* Teams_IBTransaction;
    TIBTransaction* AdminPasswords_IBTransaction;
    TIBTransaction* Data_IBTransaction;
    TIBTransaction* Statements_IBTransaction;
    TIBTransaction* Stens_IBTransaction;
    TIBTransaction* HTMLTemplates_IBTransaction;
    TIBQuery* DB_IBQuery;
    TIBQuery* Update_IBQuery;
    TIBQuery* Users_IBQuery;
    TIBQuery* TestedUsers_IBQuery;
    TIBQuery* Teams_IBQuery;
    TIBQuery* AdminPasswords_IBQuery;
    // Statement pairs in STATEMENT_ID order, the order of the answer digits.
    TIBQuery* Statements_IBQuery;
    TIBQuery* Stens_IBQuery;
    TIBQuery* HTMLTemplates_IBQuery;

private:
    // One band of the norms: raw scores Min to Max, both included.
    struct TStenBand {
        int32_t Sten;
        double Min, Max;
    };

    void ForgetReferenceData();
    void ReadNorms();
    void ReadTemplates();

    bool FStartupFailed = false;
    uint64_t FReferenceDataVersion = 0;
    bool FStatementKeysRead = false;
    std::vector<TStatementKeys> FStatementKeys;
    bool FNormsRead = false;
    // Bands of each scale in ID order.
    std::array<std::vector<TStenBand>, ScaleCount> FNorms;
    bool FTemplatesRead = false;
    // Name and text of every template.
    std::vector<std::pair<AnsiString, AnsiString>> FTemplates;
};

// The program's one data module; set while one exists.
extern TMain_DataModule* Main_DataModule;
