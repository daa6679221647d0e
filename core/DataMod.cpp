// The data module's components, its start-up checks and connections, and
// every read and write of the main file.
#include "core/DataMod.h"
#include "core/DataMod_p.h"

#include <array>
#include <cstdlib>
#include <functional>
#include <limits>

#include "core/uConsts.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Drives.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Module.h"

TMain_DataModule* Main_DataModule = nullptr;

namespace {

const char* const kMainFile = "Luvora.FDB";
const char* const kDataFile = "Luvora_Data.FDB";

using TStatementTable = std::array<const char*, 3>;

const TStatementTable kUserStatements = {
    "SELECT * FROM USERS_INSERT (:DB_ID, :FIO, :SEX, :AGE, :GROUP_ID, :POSIT, :seniority, :Orgseniority, "
    ":Job, "
    ":Education, :Spec, :isworkforspec)",
    "EXECUTE PROCEDURE USERS_UPDATE (:USER_ID, :DB_ID, :FIO, :SEX, :AGE, :GROUP_ID, :POSIT, :seniority, "
    ":OrgSeniority, :Job, :Education, :Spec, :isworkforspec)",
    "EXECUTE PROCEDURE USERS_DELETE (:USER_ID)",
};

const TStatementTable kTestStatements = {
    "select test_id from testedusers_insert(:user_id, :datetest, :answers, :comments, :anketa, "
    ":testduration)",
    "execute procedure testedusers_update (:test_id, :user_id, :datetest, :comments, :answers, :anketa, "
    ":testduration)",
    "execute procedure testedusers_delete (:test_id)",
};

const TStatementTable kTeamStatements = {
    "SELECT * FROM TESTEDTEAMS_INSERT (:job, :department, :numberofemployes, :numberoftested, :datetest, "
    ":empnames, :data, :db_id)",
    "EXECUTE PROCEDURE TESTEDTEAMS_UPDATE (:TEAM_ID, :job, :department, :numberofemployes, :numberoftested, "
    ":datetest, :empnames, :data, :db_id)",
    "EXECUTE PROCEDURE TESTEDTEAMS_DELETE (:TEAM_ID)",
};

const TStatementTable kDatabaseStatements = {
    "SELECT * FROM DATABASES_INSERT (:DB_NAME, :DB_PASSWORD)",
    "EXECUTE PROCEDURE DATABASES_UPDATE (:DB_ID, :DB_NAME, :DB_PASSWORD)",
    "EXECUTE PROCEDURE DATABASES_DELETE (:DB_ID)",
};

// The counts and latest dates of the tests come from one grouped pass over
// them, not from two lookups a testee.
const char* const kUsersSql = "select u.user_id, u.db_id, u.fio, u.sex, u.age, u.posit, u.seniority, "
                              "u.OrgSeniority, u.Job, u.Education, "
                              "u.Spec, u.isworkforspec, t.test_count, t.last_test "
                              "from users u left join (select user_id, count(test_id) test_count, "
                              "max(datetest) last_test from testedusers group by user_id) t "
                              "on t.user_id = u.user_id where (u.db_id = :db_id)";
const char* const kTestsSql =
    "select Test_ID, User_ID, DateTest, Answers, Comments, Anketa, TestDuration from "
    "TESTEDUSERS where USER_ID = :User_ID order by Test_ID Desc, datetest desc";
const char* const kLastTestSql = "select first 1 test_id, user_id, datetest, answers, comments, anketa, "
                                 "testduration from testedusers where "
                                 "user_id = :User_ID order by test_id desc, datetest desc";
const char* const kTeamsSql = "select team_id, job, department, numberofemployes, numberoftested, datetest, "
                              "empnames, data, db_id from testedteams where (db_id = :db_id)";
const char* const kDatabasesSql = "select DB_ID, DB_NAME, DB_PASSWORD, case\n"
                                  "when (db_password <> '') then 1\n"
                                  "else NULL\n"
                                  "end IsProtectDB\n"
                                  "from DATABASES";
const char* const kPsyPasswordSql = "select PSY_PASSWORD from ADMINSPASSWORD\n"
                                    "where ID = 1";
// The password travels as a parameter: scrambled, it may hold quotes, line
// feeds and zero bytes. The row is made when it is missing.
const char* const kWritePsyPasswordSql =
    "update or insert into ADMINSPASSWORD (ID, PSY_PASSWORD) values (1, :PSY_PASSWORD) matching (ID)";

// Text longer than its column is refused, never cut.
void CheckLength(const AnsiString& Value, std::size_t Max, const AnsiString& Label) {
    if (Value.size() > Max)
        throw Exception(Format("Значение поля «%s» слишком длинное: %d симв., допустимо не более %d."_cp,
                               {Label, int(Value.size()), int(Max)}));
}

void SetStringOrNull(TIBParam& Param, const AnsiString& Value) {
    if (Value.empty())
        Param.Clear();
    else
        Param.SetAsString(Value);
}

void SetIntegerOrNull(TIBParam& Param, int32_t Value) {
    if (Value == -1)
        Param.Clear();
    else
        Param.SetAsInteger(Value);
}

int32_t IntegerOr(const TIBField& Field, int32_t Null) {
    return Field.IsNull() ? Null : Field.AsInteger();
}

// Runs Query afresh with every row fetched, so that Locate sees them all.
void Reopen(TIBQuery* Query) {
    Query->Close();
    Query->Open();
    Query->FetchAll();
}

// The connection parameters of both files, the same for each. The engine's
// defaults suit a server with many users and large files: a page cache of
// 2,048 pages and a garbage collector thread for each database, which make
// every start and end of the program slower. A cache of 256 pages holds
// either file whole for years of one psychologist's work, and one user's
// own reads can clear old record versions as they pass.
std::vector<AnsiString> ConnectionParams() {
    return {"user_name=SYSDBA", "password=plumbdove", "lc_ctype=WIN1251", "config=DefaultDbCachePages = 256",
            "config=GCPolicy = cooperative"};
}

AnsiString DatabaseFolder() {
    return GetModuleFolder() + "DB/";
}

bool IsLocalDriveType(unsigned Type) {
    return Type == DRIVE_REMOVABLE || Type == DRIVE_FIXED || Type == DRIVE_NO_ROOT_DIR;
}

// The start-up check of a file that is not there: the check's own words,
// then where the file was looked for and what to do.
AnsiString MissingFileText(const char* Name, const AnsiString& Path) {
    return Format("Не могу открыть базу данных! Не найден файл %s!\n\nПрограмма ищет его здесь:\n%s\n\n"
                  "Верните файл на место из резервной копии или установите программу заново, затем "
                  "запустите ее снова."_cp,
                  {Name, Path});
}

AnsiString NotLocalText(const AnsiString& Path) {
    return Format("База данных находится не на локальном диске! Работа программы невозможна!\n\n"
                  "Файл базы данных:\n%s\n\nСкопируйте программу вместе с папкой DB на диск этого компьютера "
                  "и запустите ее оттуда."_cp,
                  {Path});
}

} // namespace

AnsiString MainDatabaseFile() {
    return DatabaseFolder() + kMainFile;
}

AnsiString DataDatabaseFile() {
    return DatabaseFolder() + kDataFile;
}

AnsiString ExplainDatabaseFailure(const EIBError& E, const AnsiString& File) {
    AnsiString text;
    switch (E.Kind) {
    case TIBErrorKind::ekFileInUse:
        text = Format("Файл базы данных %s занят другой программой.\nЗакройте программу, которая работает с "
                      "этим файлом (например, вторую копию Luvora или программу резервного копирования), и "
                      "запустите Luvora снова."_cp,
                      {File});
        break;
    case TIBErrorKind::ekFileDamaged:
        text = Format("Файл базы данных %s поврежден и не может быть открыт.\nВосстановите файл из резервной "
                      "копии и запустите Luvora снова."_cp,
                      {File});
        break;
    case TIBErrorKind::ekNoAccess:
        text =
            Format("Программе не разрешено изменять файл базы данных %s: файл или его папка доступны только "
                   "для чтения, или файл принадлежит другому пользователю.\nРазрешите запись в этот файл и "
                   "его папку (или попросите об этом администратора компьютера) и запустите Luvora снова."_cp,
                   {File});
        break;
    case TIBErrorKind::ekNoFile:
        text = Format("Файл базы данных %s не найден или не является файлом.\nВерните файл на место из "
                      "резервной копии и запустите Luvora снова."_cp,
                      {File});
        break;
    case TIBErrorKind::ekOtherVersion:
        text =
            Format("Файл базы данных %s создан другой версией сервера баз данных Firebird и не может быть "
                   "открыт этой версией.\nВосстановите файл из резервной копии, сделанной этой программой, "
                   "или перенесите его в установленную версию Firebird (резервным копированием и "
                   "восстановлением в программе gbak) и запустите Luvora снова."_cp,
                   {File});
        break;
    case TIBErrorKind::ekLockFolder: {
        const char* folder = std::getenv("FIREBIRD_LOCK");
        text =
            Format("Сервер баз данных не может работать со своей папкой блокировок %s и не открывает файл "
                   "%s.\nПроверьте, что эта папка существует и вы можете в нее записывать (или удалите ее, "
                   "чтобы программа создала ее заново), и запустите Luvora снова."_cp,
                   {AnsiString(folder ? folder : ""), File});
        break;
    }
    case TIBErrorKind::ekNoEngine:
        text = Format("Не удалось запустить встроенный сервер баз данных Firebird, чтобы открыть файл %s: "
                      "похоже, он не установлен.\nУстановите сервер Firebird 3 (пакет "
                      "firebird3.0-server-core) и запустите Luvora снова."_cp,
                      {File});
        break;
    case TIBErrorKind::ekOther:
        text = Format("Не удалось открыть или прочитать файл базы данных %s.\nВозможно, файл поврежден или "
                      "создан не этой программой. Восстановите его из резервной копии и запустите Luvora "
                      "снова."_cp,
                      {File});
        break;
    }
    return text + "\n\nСообщение сервера базы данных:\n"_cp + E.Message;
}

namespace {

AnsiString ErrorText(const std::exception& E) {
    if (auto* e = dynamic_cast<const Exception*>(&E)) return e->Message;
    return E.what();
}

} // namespace

TMain_DataModule::TMain_DataModule(TComponent* AOwner) : TComponent(AOwner) {
    SetName("Main_DataModule");
    auto database = [this](const char* Name) {
        auto* d = new TIBDatabase(this);
        d->SetName(Name);
        d->LoginPrompt = false;
        return d;
    };
    auto transaction = [this](const char* Name, TIBDatabase* Db, const std::vector<AnsiString>& Params) {
        auto* t = new TIBTransaction(this);
        t->SetName(Name);
        t->SetDefaultDatabase(Db);
        t->Params = Params;
        t->AutoStopAction = TAutoStopAction::saCommit;
        return t;
    };
    auto query = [this](const char* Name, TIBDatabase* Db, TIBTransaction* Tr, const char* Sql) {
        auto* q = new TIBQuery(this);
        q->SetName(Name);
        q->SetDatabase(Db);
        q->SetTransaction(Tr);
        if (Sql) q->SetSQL(Sql);
        return q;
    };
    Main_IBDatabase = database("Main_IBDatabase");
    Data_IBDatabase = database("Data_IBDatabase");
    Main_IBTransaction = transaction("Main_IBTransaction", Main_IBDatabase, kReadWrite);
    Update_IBTransaction = transaction("Update_IBTransaction", Main_IBDatabase, kReadWrite);
    Update_IBTransaction->AutoStopAction = TAutoStopAction::saNone;
    Update_IBTransaction->AllowAutoStart = false;
    Users_IBTransaction = transaction("Users_IBTransaction", Main_IBDatabase, kReadWrite);
    Teams_IBTransaction = transaction("Teams_IBTransaction", Main_IBDatabase, kReadWrite);
    AdminPasswords_IBTransaction = transaction("AdminPasswords_IBTransaction", Main_IBDatabase, kReadOnly);
    Data_IBTransaction = transaction("Data_IBTransaction", Data_IBDatabase, kReadWrite);
    Statements_IBTransaction = transaction("Statements_IBTransaction", Data_IBDatabase, kReadOnly);
    Stens_IBTransaction = transaction("Stens_IBTransaction", Data_IBDatabase, kReadOnly);
    HTMLTemplates_IBTransaction = transaction("HTMLTemplates_IBTransaction", Data_IBDatabase, kReadOnly);
    Main_IBDatabase->DefaultTransaction = Main_IBTransaction;
    Data_IBDatabase->DefaultTransaction = Data_IBTransaction;

    DB_IBQuery = query("DB_IBQuery", Main_IBDatabase, Main_IBTransaction, kDatabasesSql);
    Update_IBQuery = query("Update_IBQuery", Main_IBDatabase, Update_IBTransaction, nullptr);
    Users_IBQuery = query("Users_IBQuery", Main_IBDatabase, Users_IBTransaction, nullptr);
    TestedUsers_IBQuery = query("TestedUsers_IBQuery", Main_IBDatabase, Users_IBTransaction, nullptr);
    Teams_IBQuery = query("Teams_IBQuery", Main_IBDatabase, Teams_IBTransaction, nullptr);
    AdminPasswords_IBQuery =
        query("AdminPasswords_IBQuery", Main_IBDatabase, AdminPasswords_IBTransaction, kPsyPasswordSql);
    Statements_IBQuery =
        query("Statements_IBQuery", Data_IBDatabase, Statements_IBTransaction, kStatementsSql);
    Stens_IBQuery = query("Stens_IBQuery", Data_IBDatabase, Stens_IBTransaction, kStensSql);
    HTMLTemplates_IBQuery =
        query("HTMLTemplates_IBQuery", Data_IBDatabase, HTMLTemplates_IBTransaction, kTemplatesSql);

    DataModuleCreate();
    Main_DataModule = this;
}

TMain_DataModule::~TMain_DataModule() {
    if (Main_DataModule == this) Main_DataModule = nullptr;
    try {
        DataModuleDestroy();
    } catch (const Exception&) {
        // The connections are dropped with their components below.
    }
}

void TMain_DataModule::PrepareConnections() {
    const AnsiString mainFile = MainDatabaseFile();
    const AnsiString dataFile = DataDatabaseFile();
    // Where a check of DataModuleCreate fails, no connection is tried.
    if (!FileExists(mainFile) || !FileExists(dataFile) || !IsLocalDriveType(GetDriveType(mainFile))) return;
    ::PrepareConnections({{mainFile, ConnectionParams()}, {dataFile, ConnectionParams()}});
}

void TMain_DataModule::DataModuleCreate() {
    // A data file changed since the last connection is read afresh.
    ForgetReferenceData();
    const AnsiString mainFile = MainDatabaseFile();
    const AnsiString dataFile = DataDatabaseFile();
    auto fail = [this](const AnsiString& Text) {
        MessageBox(Text, "Ошибка"_cp, MB_OK | MB_ICONERROR);
        FStartupFailed = true;
    };
    if (!FileExists(mainFile)) return fail(MissingFileText(kMainFile, mainFile));
    if (!FileExists(dataFile)) return fail(MissingFileText(kDataFile, dataFile));
    if (!IsLocalDrive(mainFile)) return fail(NotLocalText(mainFile));

    for (auto [db, file] : {std::pair{Main_IBDatabase, mainFile}, std::pair{Data_IBDatabase, dataFile}}) {
        db->Close();
        db->Params.clear();
        db->DatabaseName = file;
        db->Params = ConnectionParams();
        try {
            db->Open();
        } catch (const EIBError& e) {
            throw EDatabaseStartupError(ExplainDatabaseFailure(e, file), e);
        }
    }
}

void TMain_DataModule::DataModuleDestroy() {
    for (TIBQuery* q : {DB_IBQuery, Users_IBQuery, Statements_IBQuery, Update_IBQuery})
        if (q->Active()) q->Close();
    Main_IBDatabase->Close();
}

bool TMain_DataModule::IsLocalDrive(const AnsiString& Path) {
    return IsLocalDriveType(GetDriveType(Path));
}

namespace {

// Runs Write in a transaction of its own; on any error rolls back, shows the
// error's text and returns -1.
int32_t InWriteTransaction(TIBTransaction* Transaction, TIBQuery* Query,
                           const std::function<int32_t()>& Write) {
    try {
        // A failed write leaves nothing open behind it.
        TScopeGuard undo([&] {
            Query->Close();
            if (Transaction->InTransaction()) Transaction->Rollback();
        });
        // Inside the try: a lost connection fails here, and is shown like any other error.
        Transaction->StartTransaction();
        const int32_t result = Write();
        Transaction->Commit();
        undo.Dismiss();
        return result;
    } catch (const std::exception& e) {
        MessageBox(ErrorText(e), "Error", MB_OK);
        return -1;
    }
}

// An insert returns the new row's KeyColumn; an update or a delete binds
// OwnKey to it and returns it. BindFields fills the other parameters of an
// insert or an update.
int32_t ApplyWrite(TIBTransaction* Transaction, TIBQuery* Query, int32_t Kind,
                   const TStatementTable& Statements, const char* KeyColumn, int32_t OwnKey,
                   const std::function<void()>& Check, const std::function<void(TIBQuery&)>& BindFields) {
    return InWriteTransaction(Transaction, Query, [&] {
        if (Kind < akInsert || Kind > akDelete) throw Exception("Unknown write kind " + IntToStr(Kind));
        if (Kind != akDelete) Check();
        Query->ClearParams();
        Query->SetSQL(Statements[std::size_t(Kind)]);
        Query->Prepare();
        if (Kind != akDelete) BindFields(*Query);
        if (Kind != akInsert) {
            Query->ParamByName(KeyColumn).SetAsInteger(OwnKey);
            Query->ExecQuery();
            return OwnKey;
        }
        Query->Open();
        if (Query->IsEmpty()) throw Exception(AnsiString("No key returned: ") + KeyColumn);
        const int32_t key = Query->FieldByName(KeyColumn).AsInteger();
        Query->Close();
        return key;
    });
}

// Moves Query to the row whose KeyField is Id (unless Id is -1).
bool OpenAndLocate(TIBQuery* Query, const AnsiString& Sql, const char* BindName, int32_t BindValue,
                   const char* KeyField, int32_t Locate) {
    Query->SetSQL(Sql);
    Query->Prepare();
    Query->ParamByName(BindName).SetAsInteger(BindValue);
    Reopen(Query);
    if (Locate == -1) return false;
    return Query->Locate(KeyField, Variant(Locate));
}

// Moves Query to the row whose KeyField is Id; Id -1 keeps the current row.
// False when no row has that key.
bool MoveToRow(TIBQuery* Query, const char* KeyField, int32_t Id) {
    return Id == -1 || Query->Locate(KeyField, Variant(Id));
}

} // namespace

bool TMain_DataModule::OpenUsers(int32_t LocateUserId, int32_t DbId) {
    return OpenAndLocate(Users_IBQuery, kUsersSql, "DB_ID", DbId, "USER_ID", LocateUserId);
}

bool TMain_DataModule::ReadUser(TUser& User) {
    TIBQuery* q = Users_IBQuery;
    const bool found = User.USER_ID != -1;
    if (!MoveToRow(q, "USER_ID", User.USER_ID)) return false;
    User.USER_ID = q->FieldByName("USER_ID").AsInteger();
    User.DB_ID = q->FieldByName("DB_ID").AsInteger();
    User.FIO = q->FieldByName("FIO").AsString();
    User.AGE = IntegerOr(q->FieldByName("AGE"), -1);
    User.SEX = q->FieldByName("SEX").AsString();
    User.POSIT = q->FieldByName("POSIT").AsString();
    User.Seniority = q->FieldByName("Seniority").AsFloat();
    User.OrgSeniority = q->FieldByName("OrgSeniority").AsFloat();
    User.Job = q->FieldByName("Job").AsString();
    User.Education = q->FieldByName("Education").AsString();
    User.Spec = q->FieldByName("Spec").AsString();
    User.isworkforspec = int16_t(q->FieldByName("isworkforspec").AsInteger());
    User.HasTests = !q->FieldByName("last_test").IsNull();
    return found;
}

int32_t TMain_DataModule::ApplyUser(int32_t Kind, const TUser& User) {
    auto check = [&] {
        CheckLength(User.FIO, 200, "ФИО"_cp);
        CheckLength(User.SEX, 1, "Пол"_cp);
        CheckLength(User.POSIT, 150, "Должность"_cp);
        CheckLength(User.Job, 200, "Место работы"_cp);
        CheckLength(User.Education, 200, "Образование"_cp);
        CheckLength(User.Spec, 200, "Специальность"_cp);
    };
    return ApplyWrite(Update_IBTransaction, Update_IBQuery, Kind, kUserStatements, "USER_ID", User.USER_ID,
                      check, [&](TIBQuery& q) {
                          q.ParamByName("DB_ID").SetAsInteger(User.DB_ID);
                          q.ParamByName("FIO").SetAsString(User.FIO);
                          SetStringOrNull(q.ParamByName("SEX"), User.SEX);
                          SetIntegerOrNull(q.ParamByName("AGE"), User.AGE);
                          q.ParamByName("POSIT").SetAsString(User.POSIT);
                          q.ParamByName("Seniority").SetAsFloat(User.Seniority);
                          q.ParamByName("OrgSeniority").SetAsFloat(User.OrgSeniority);
                          q.ParamByName("Job").SetAsString(User.Job);
                          q.ParamByName("Education").SetAsString(User.Education);
                          q.ParamByName("Spec").SetAsString(User.Spec);
                          q.ParamByName("isworkforspec").SetAsSmallint(User.isworkforspec);
                      });
}

bool TMain_DataModule::OpenUserTests(int32_t UserId, int32_t LocateTestId) {
    return OpenAndLocate(TestedUsers_IBQuery, kTestsSql, "User_ID", UserId, "Test_ID", LocateTestId);
}

bool TMain_DataModule::ReadTest(TTestData& TestData) {
    TIBQuery* q = TestedUsers_IBQuery;
    const bool found = TestData.TEST_ID != -1;
    if (!MoveToRow(q, "TEST_ID", TestData.TEST_ID)) return false;
    TestData.TEST_ID = q->FieldByName("TEST_ID").AsInteger();
    TestData.USER_ID = q->FieldByName("USER_ID").AsInteger();
    TestData.DATETEST = q->FieldByName("DATETEST").AsDateTime();
    TestData.COMMENTS = q->FieldByName("COMMENTS").AsString();
    TestData.ANSWERS = q->FieldByName("ANSWERS").AsString();
    TestData.ANKETA = q->FieldByName("ANKETA").AsString();
    TestData.TESTDURATION = q->FieldByName("TESTDURATION").AsInt64();
    return found;
}

bool TMain_DataModule::ReadLastTest(const TUser& User, TTestData& TestData) {
    TIBQuery* q = TestedUsers_IBQuery;
    q->SetSQL(kLastTestSql);
    q->ParamByName("User_ID").SetAsInteger(User.USER_ID);
    Reopen(q);
    if (q->IsEmpty()) return false;
    TestData.TEST_ID = -1;
    ReadTest(TestData);
    return true;
}

int32_t TMain_DataModule::ApplyTest(int32_t Kind, const TTestData& TestData) {
    auto check = [&] {
        // A test that scoring refuses could never be shown.
        CheckAnswers(TestData.ANSWERS);
        if (TestData.TESTDURATION < std::numeric_limits<int32_t>::min() ||
            TestData.TESTDURATION > std::numeric_limits<int32_t>::max())
            throw Exception(
                Format("Недопустимая длительность тестирования: %s с (допустимо не более %d с)."_cp,
                       {IntToStr(TestData.TESTDURATION), std::numeric_limits<int32_t>::max()}));
    };
    return ApplyWrite(Update_IBTransaction, Update_IBQuery, Kind, kTestStatements, "Test_ID",
                      TestData.TEST_ID, check, [&](TIBQuery& q) {
                          q.ParamByName("USER_ID").SetAsInteger(TestData.USER_ID);
                          q.ParamByName("DATETEST").SetAsDateTime(TestData.DATETEST);
                          q.ParamByName("Comments").SetAsString(TestData.COMMENTS);
                          q.ParamByName("Answers").SetAsString(TestData.ANSWERS);
                          q.ParamByName("Anketa").SetAsString(TestData.ANKETA);
                          q.ParamByName("TestDuration").SetAsInteger(int32_t(TestData.TESTDURATION));
                      });
}

bool TMain_DataModule::OpenTeams(int32_t LocateTeamId, int32_t DbId) {
    return OpenAndLocate(Teams_IBQuery, kTeamsSql, "DB_ID", DbId, "Team_ID", LocateTeamId);
}

bool TMain_DataModule::ReadTeam(TTeam& Team) {
    TIBQuery* q = Teams_IBQuery;
    const bool found = Team.TEAM_ID != -1;
    if (!MoveToRow(q, "TEAM_ID", Team.TEAM_ID)) return false;
    Team.TEAM_ID = q->FieldByName("TEAM_ID").AsInteger();
    Team.DB_ID = q->FieldByName("DB_ID").AsInteger();
    Team.JOB = q->FieldByName("JOB").AsString();
    Team.DEPARTMENT = q->FieldByName("DEPARTMENT").AsString();
    Team.NUMBEROFEMPLOYES = IntegerOr(q->FieldByName("NUMBEROFEMPLOYES"), -1);
    Team.NUMBEROFTESTED = q->FieldByName("NUMBEROFTESTED").AsInteger();
    Team.DATETEST = q->FieldByName("DATETEST").AsDateTime();
    Team.EMPNAMES = q->FieldByName("EMPNAMES").AsString();
    Team.DATA = q->FieldByName("DATA").AsString();
    return found;
}

int32_t TMain_DataModule::ApplyTeam(int32_t Kind, const TTeam& Team) {
    auto check = [&] {
        CheckLength(Team.JOB, 200, "Место работы"_cp);
        CheckLength(Team.DEPARTMENT, 200, "Подразделение"_cp);
    };
    return ApplyWrite(Update_IBTransaction, Update_IBQuery, Kind, kTeamStatements, "Team_ID", Team.TEAM_ID,
                      check, [&](TIBQuery& q) {
                          q.ParamByName("DB_ID").SetAsInteger(Team.DB_ID);
                          q.ParamByName("Job").SetAsString(Team.JOB);
                          q.ParamByName("Department").SetAsString(Team.DEPARTMENT);
                          SetIntegerOrNull(q.ParamByName("NumberOfEmployes"), Team.NUMBEROFEMPLOYES);
                          q.ParamByName("NumberOfTested").SetAsInteger(Team.NUMBEROFTESTED);
                          q.ParamByName("DateTest").SetAsDate(Team.DATETEST);
                          q.ParamByName("EmpNames").SetAsString(Team.EMPNAMES);
                          q.ParamByName("Data").SetAsString(Team.DATA);
                      });
}

bool TMain_DataModule::OpenDatabases(int32_t DbId) {
    Reopen(DB_IBQuery);
    if (DbId == -1) return false;
    return DB_IBQuery->Locate("DB_ID", Variant(DbId));
}

bool TMain_DataModule::GetDatabase(int32_t DbId, AnsiString& Name, AnsiString& EncodedPassword) {
    if (DbId == -1 || !DB_IBQuery->Locate("DB_ID", Variant(DbId))) return false;
    Name = DB_IBQuery->FieldByName("DB_NAME").AsString();
    EncodedPassword = DB_IBQuery->FieldByName("DB_PASSWORD").AsString();
    return true;
}

int32_t TMain_DataModule::ApplyDatabase(int32_t Kind, int32_t DbId, const AnsiString& Name,
                                        const AnsiString& EncodedPassword) {
    auto check = [&] {
        CheckLength(Name, 100, "Название базы данных"_cp);
        CheckLength(EncodedPassword, 20, "Пароль базы данных"_cp);
    };
    return ApplyWrite(Update_IBTransaction, Update_IBQuery, Kind, kDatabaseStatements, "DB_ID", DbId, check,
                      [&](TIBQuery& q) {
                          q.ParamByName("DB_NAME").SetAsString(Name);
                          q.ParamByName("DB_PASSWORD").SetAsString(EncodedPassword);
                      });
}

bool TMain_DataModule::ReadPsyPassword(AnsiString& EncodedPassword) {
    Reopen(AdminPasswords_IBQuery);
    bool found = !AdminPasswords_IBQuery->IsEmpty();
    if (found) EncodedPassword = AdminPasswords_IBQuery->FieldByName("PSY_PASSWORD").AsString();
    AdminPasswords_IBQuery->Close();
    return found;
}

bool TMain_DataModule::WritePsyPassword(const AnsiString& EncodedPassword) {
    const int32_t result = InWriteTransaction(Update_IBTransaction, Update_IBQuery, [&] {
        CheckLength(EncodedPassword, 30, "Пароль психолога"_cp);
        Update_IBQuery->ClearParams();
        Update_IBQuery->SetSQL(kWritePsyPasswordSql);
        Update_IBQuery->Prepare();
        Update_IBQuery->ParamByName("PSY_PASSWORD").SetAsString(EncodedPassword);
        Update_IBQuery->ExecQuery();
        return 0;
    });
    return result == 0;
}
