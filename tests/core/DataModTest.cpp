// The data module: start-up checks on the files, and the reads and writes of
// testees, tests, group testings, logical databases and the password.
#include "core/DataMod.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <type_traits>

#include "CoreFixture.h"
#include "platform/win/Drives.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Module.h"
#include "support/TestSupport.h"
#include "util/JvCipher.h"

namespace {

// The messages of the start-up checks: the check's own words, where the file
// was looked for, what to do. Folder is the program's folder.
AnsiString MissingMessage(const char* File, const std::string& Folder) {
    return "Не могу открыть базу данных! Не найден файл "_cp + File + "!\n\nПрограмма ищет его здесь:\n"_cp +
           Folder + "DB/" + File +
           "\n\nВерните файл на место из резервной копии или установите программу заново, затем запустите ее "
           "снова."_cp;
}

AnsiString NotLocalMessage(const std::string& Folder) {
    return "База данных находится не на локальном диске! Работа программы невозможна!\n\nФайл базы данных:\n"_cp +
           Folder + "DB/Luvora.FDB" +
           "\n\nСкопируйте программу вместе с папкой DB на диск этого компьютера и запустите ее оттуда."_cp;
}

TUser UserWithId(int32_t Id) {
    TUser u;
    u.USER_ID = Id;
    return u;
}

AnsiString Scramble(const AnsiString& Plain) {
    TJvCaesarCipher c(nullptr);
    c.SetDecoded(Plain);
    return c.Encoded;
}

// Fresh database files in DB/ beside a pretended executable in a temporary
// folder.
class DataModFiles : public ::testing::Test {
protected:
    void SetUp() override {
        CreateFreshDatabases(Folder.Path() + "DB/");
        SetModuleFileNameOverride(Folder.Path() + "luvora");
    }
    void TearDown() override {
        DM.reset();
        SetModuleFileNameOverride("");
        SetDriveTypeOverride(nullptr);
    }
    void RemoveFile(const char* Name) { std::filesystem::remove(Folder.Path() + "DB/" + Name); }

    TTempFolder Folder;
    TScriptedMessageBoxes Boxes;
    std::unique_ptr<TMain_DataModule> DM;
};

// A data module connected to fresh files, with one logical database.
class DataModTest : public CoreFixture {
protected:
    void SetUp() override {
        CoreFixture::SetUp();
        if (HasFatalFailure()) return;
        DbId = DM->ApplyDatabase(akInsert, -1, "Отдел кадров"_cp, "");
        ASSERT_GT(DbId, 0);
    }

    TUser SampleUser() const {
        TUser u;
        u.DB_ID = DbId;
        u.FIO = "Иванова Мария Петровна"_cp;
        u.SEX = "Ж"_cp;
        u.AGE = 34;
        u.POSIT = "Инженер"_cp;
        u.Seniority = 12.5;
        u.OrgSeniority = 3.25;
        u.Job = "Завод"_cp;
        u.Education = "Высшее"_cp;
        u.Spec = "Технолог"_cp;
        u.isworkforspec = 1;
        return u;
    }

    TTestData SampleTest(int32_t UserId, int Seconds) const {
        TTestData t;
        t.USER_ID = UserId;
        t.DATETEST = EncodeDate(2024, 3, 15) + EncodeTime(10, 30, 0, 0);
        t.ANSWERS = AnsiString(28, '3');
        t.COMMENTS = "Комментарий\r\nв две строки"_cp;
        t.ANKETA = "анкета"_cp;
        t.TESTDURATION = Seconds;
        return t;
    }

    TTeam SampleTeam() const {
        TTeam t;
        t.DB_ID = DbId;
        t.JOB = "Завод"_cp;
        t.DEPARTMENT = "Цех №2"_cp;
        t.NUMBEROFEMPLOYES = 40;
        t.NUMBEROFTESTED = 2;
        t.DATETEST = EncodeDate(2023, 11, 2) + 0.5;
        t.EMPNAMES = "Р1#Р2#"_cp;
        t.DATA = "1/2/3/4/5/6/7/8/8/7/6/5/4/3/2//"_cp;
        return t;
    }

    int CountRows(const AnsiString& Sql) {
        TIBQuery q(nullptr);
        q.SetDatabase(DM->Main_IBDatabase);
        q.SetSQL(Sql);
        q.Open();
        int n = q.Fields(0).AsInteger();
        q.Close();
        return n;
    }

    // Every failed write shows exactly one plain "Error" box and leaves no
    // transaction open.
    void ExpectOneErrorBox(const AnsiString& Contains = "") {
        ASSERT_EQ(Boxes.Log.size(), 1u);
        EXPECT_EQ(Boxes.Log[0].Caption, "Error");
        EXPECT_EQ(Boxes.Log[0].Flags, MB_OK);
        EXPECT_NE(Boxes.Log[0].Text.find(Contains), AnsiString::npos) << AnsiToUtf8(Boxes.Log[0].Text);
        EXPECT_FALSE(DM->Update_IBTransaction->InTransaction());
        Boxes.Log.clear();
    }

    int32_t DbId = 0;
};

// --- start-up ---

TEST_F(DataModFiles, BothFilesOnAFixedDiskConnectSilently) {
    DM = std::make_unique<TMain_DataModule>(nullptr);
    EXPECT_FALSE(DM->StartupFailed());
    EXPECT_TRUE(DM->Main_IBDatabase->Connected());
    EXPECT_TRUE(DM->Data_IBDatabase->Connected());
    EXPECT_EQ(DM->Name(), "Main_DataModule");
    EXPECT_EQ(Main_DataModule, DM.get());
    EXPECT_TRUE(Boxes.Log.empty());
    DM.reset();
    EXPECT_EQ(Main_DataModule, nullptr);
}

TEST_F(DataModFiles, FailedCheckShowsOneMessageAndConnectsNothing) {
    struct Case {
        const char* Name;
        bool RemoveMain, RemoveData;
        unsigned Drive;
        std::function<AnsiString(const std::string&)> Message;
    } cases[] = {
        {"main missing", true, false, DRIVE_FIXED, [](auto& f) { return MissingMessage("Luvora.FDB", f); }},
        {"both missing", true, true, DRIVE_FIXED, [](auto& f) { return MissingMessage("Luvora.FDB", f); }},
        {"data missing", false, true, DRIVE_FIXED,
         [](auto& f) { return MissingMessage("Luvora_Data.FDB", f); }},
        {"network drive", false, false, DRIVE_REMOTE, NotLocalMessage},
        {"cd-rom", false, false, DRIVE_CDROM, NotLocalMessage},
        {"unknown drive", false, false, DRIVE_UNKNOWN, NotLocalMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TTempFolder folder;
        std::filesystem::copy(Folder.Path() + "DB", folder.Path() + "DB");
        SetModuleFileNameOverride(folder.Path() + "luvora");
        if (c.RemoveMain) std::filesystem::remove(folder.Path() + "DB/Luvora.FDB");
        if (c.RemoveData) std::filesystem::remove(folder.Path() + "DB/Luvora_Data.FDB");
        AnsiString askedPath;
        SetDriveTypeOverride([&](const AnsiString& Path) {
            askedPath = Path;
            return c.Drive;
        });
        Boxes.Log.clear();
        TMain_DataModule dm(nullptr);
        EXPECT_TRUE(dm.StartupFailed());
        EXPECT_FALSE(dm.Main_IBDatabase->Connected());
        EXPECT_FALSE(dm.Data_IBDatabase->Connected());
        ASSERT_EQ(Boxes.Log.size(), 1u);
        EXPECT_EQ(AnsiToUtf8(Boxes.Log[0].Text), AnsiToUtf8(c.Message(folder.Path())));
        EXPECT_EQ(Boxes.Log[0].Caption, "Ошибка"_cp);
        EXPECT_EQ(Boxes.Log[0].Icon(), MB_ICONERROR);
        EXPECT_EQ(Boxes.Log[0].Buttons(), MB_OK);
        if (c.Drive != DRIVE_FIXED) {
            EXPECT_EQ(askedPath, folder.Path() + "DB/Luvora.FDB");
        }
    }
}

TEST_F(DataModFiles, LocalDriveTypes) {
    DM = std::make_unique<TMain_DataModule>(nullptr);
    const bool local[] = {false, true, true, true, false, false, false};
    for (unsigned type = DRIVE_UNKNOWN; type <= DRIVE_RAMDISK; ++type) {
        SetDriveTypeOverride([type](const AnsiString&) { return type; });
        EXPECT_EQ(DM->IsLocalDrive("/x"), local[type]) << type;
    }
}

TEST_F(DataModFiles, RemovableDiskPasses) {
    SetDriveTypeOverride([](const AnsiString&) { return DRIVE_REMOVABLE; });
    DM = std::make_unique<TMain_DataModule>(nullptr);
    EXPECT_FALSE(DM->StartupFailed());
    EXPECT_TRUE(DM->Main_IBDatabase->Connected());
}

// Bytes that no database file holds, the same on every run.
void Scribble(const std::string& File, std::size_t From, std::size_t Count) {
    std::FILE* f = std::fopen(File.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    std::fseek(f, long(From), SEEK_SET);
    for (std::size_t i = 0; i < Count; ++i)
        std::fputc(int((i * 37 + 11) % 251), f);
    std::fclose(f);
}

TEST_F(DataModFiles, FileInUseOrDamagedIsExplainedInRussian) {
    const AnsiString inUse = "занят другой программой.\nЗакройте программу"_cp;
    const AnsiString damaged = "поврежден и не может быть открыт.\nВосстановите файл из резервной копии"_cp;
    constexpr std::size_t kPage = 8192;
    struct Case {
        const char* Name;
        const char* File;
        std::function<void(const std::string&)> Spoil;
        AnsiString Says;
        const char* Server; // part of the engine's own text
    } cases[] = {
        {"held by another process", "Luvora.FDB", nullptr, inUse, "already opened"},
        {"garbage in the header", "Luvora.FDB", [](const std::string& f) { Scribble(f, 0, 1024); }, damaged,
         "not a valid database"},
        {"garbage in the pages", "Luvora.FDB",
         [](const std::string& f) { Scribble(f, kPage, std::filesystem::file_size(f) - kPage); }, damaged,
         "corrupt"},
        {"not a database at all", "Luvora.FDB",
         [](const std::string& f) { std::filesystem::resize_file(f, 14); }, damaged, "File size"},
        {"data file damaged", "Luvora_Data.FDB", [](const std::string& f) { Scribble(f, 0, 1024); }, damaged,
         "not a valid database"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TTempFolder folder;
        CreateFreshDatabases(folder.Path() + "DB/");
        SetModuleFileNameOverride(folder.Path() + "luvora");
        const std::string file = folder.Path() + "DB/" + c.File;
        // The engine locks the whole file; so does another process holding it.
        const int held = ::open(file.c_str(), O_RDONLY);
        ASSERT_GE(held, 0);
        if (c.Spoil)
            c.Spoil(file);
        else
            ASSERT_EQ(::flock(held, LOCK_EX), 0);
        try {
            TMain_DataModule dm(nullptr);
            ADD_FAILURE() << "connected";
        } catch (const EIBError& e) {
            EXPECT_NE(e.Message.find(AnsiString(file) + " " + c.Says), AnsiString::npos)
                << AnsiToUtf8(e.Message);
            EXPECT_NE(e.Message.find("Сообщение сервера базы данных:\n"_cp), AnsiString::npos);
            EXPECT_NE(e.Message.find(c.Server), AnsiString::npos) << AnsiToUtf8(e.Message);
            EXPECT_NE(e.IBErrorCode, 0);
        }
        ::close(held);
        EXPECT_TRUE(Boxes.Log.empty());
        EXPECT_EQ(Main_DataModule, nullptr);
    }
}

// A second build or start runs the creation script again: the main file holds
// the user's data and must come through with every row.
TEST_F(DataModFiles, RecreatingTheFilesKeepsTheMainFileAndItsRows) {
    DM = std::make_unique<TMain_DataModule>(nullptr);
    const int32_t id = DM->ApplyDatabase(akInsert, -1, "Отдел кадров"_cp, "");
    ASSERT_GT(id, 0);
    ASSERT_TRUE(DM->WritePsyPassword("pw"));
    DM.reset();

    RunCreateDatabasesScript(Folder.Path() + "DB/");

    DM = std::make_unique<TMain_DataModule>(nullptr);
    ASSERT_FALSE(DM->StartupFailed());
    AnsiString name, pw;
    EXPECT_TRUE(DM->OpenDatabases(id));
    EXPECT_TRUE(DM->GetDatabase(id, name, pw));
    EXPECT_EQ(name, "Отдел кадров"_cp);
    ASSERT_TRUE(DM->ReadPsyPassword(pw));
    EXPECT_EQ(pw, "pw");
    EXPECT_TRUE(Boxes.Log.empty());
}

// --- testees ---

TEST_F(DataModTest, TesteeRoundTrip) {
    TUser u = SampleUser();
    const int32_t id = DM->ApplyUser(akInsert, u);
    ASSERT_GT(id, 0);
    EXPECT_TRUE(DM->OpenUsers(id, DbId));
    TUser r;
    r.USER_ID = id;
    ASSERT_TRUE(DM->ReadUser(r));
    EXPECT_EQ(r.USER_ID, id);
    EXPECT_EQ(r.DB_ID, DbId);
    EXPECT_EQ(r.FIO, u.FIO);
    EXPECT_EQ(r.SEX, u.SEX);
    EXPECT_EQ(r.AGE, 34);
    EXPECT_EQ(r.POSIT, u.POSIT);
    EXPECT_DOUBLE_EQ(r.Seniority, 12.5);
    EXPECT_DOUBLE_EQ(r.OrgSeniority, 3.25);
    EXPECT_EQ(r.Job, u.Job);
    EXPECT_EQ(r.Education, u.Education);
    EXPECT_EQ(r.Spec, u.Spec);
    EXPECT_EQ(r.isworkforspec, 1);
    EXPECT_FALSE(r.HasTests);
    EXPECT_TRUE(DM->Users_IBQuery->FieldByName("test_count").IsNull());
    EXPECT_TRUE(DM->Users_IBQuery->FieldByName("last_test").IsNull());
    EXPECT_TRUE(Boxes.Log.empty());
}

TEST_F(DataModTest, EmptySexAndNoAgeAreStoredAsNull) {
    TUser u = SampleUser();
    u.SEX = "";
    u.AGE = -1;
    const int32_t id = DM->ApplyUser(akInsert, u);
    ASSERT_GT(id, 0);
    EXPECT_EQ(CountRows("select count(*) from USERS where SEX is null and AGE is null"), 1);
    DM->OpenUsers(id, DbId);
    TUser r;
    r.USER_ID = id;
    ASSERT_TRUE(DM->ReadUser(r));
    EXPECT_EQ(r.SEX, "");
    EXPECT_EQ(r.AGE, -1);
}

TEST_F(DataModTest, TesteeUpdateAndDelete) {
    TUser u = SampleUser();
    u.USER_ID = DM->ApplyUser(akInsert, u);
    u.FIO = "Петрова Мария Петровна"_cp;
    u.AGE = 35;
    EXPECT_EQ(DM->ApplyUser(akUpdate, u), u.USER_ID);
    DM->OpenUsers(-1, DbId);
    TUser r;
    r.USER_ID = u.USER_ID;
    ASSERT_TRUE(DM->ReadUser(r));
    EXPECT_EQ(r.FIO, u.FIO);
    EXPECT_EQ(r.AGE, 35);

    EXPECT_EQ(DM->ApplyUser(akDelete, u), u.USER_ID);
    EXPECT_EQ(CountRows("select count(*) from USERS"), 0);
    EXPECT_TRUE(Boxes.Log.empty());
    // The one gone cannot be updated: that is a failure, not a silent success.
    EXPECT_EQ(DM->ApplyUser(akUpdate, u), -1);
    ExpectOneErrorBox("Запись не найдена"_cp);
}

TEST_F(DataModTest, ListLocatesAndReadsTheCurrentRow) {
    TUser a = SampleUser(), b = SampleUser();
    b.FIO = "Сидоров"_cp;
    a.USER_ID = DM->ApplyUser(akInsert, a);
    b.USER_ID = DM->ApplyUser(akInsert, b);
    EXPECT_FALSE(DM->OpenUsers(-1, DbId));
    EXPECT_EQ(DM->Users_IBQuery->RecordCount(), 2);
    EXPECT_EQ(DM->Users_IBQuery->RecNo(), 1);
    EXPECT_FALSE(DM->OpenUsers(9999, DbId));
    EXPECT_TRUE(DM->OpenUsers(b.USER_ID, DbId));
    TUser current; // USER_ID -1: reads where the cursor is
    EXPECT_FALSE(DM->ReadUser(current));
    EXPECT_EQ(current.USER_ID, b.USER_ID);
    EXPECT_EQ(current.FIO, b.FIO);

    TUser unknown;
    unknown.USER_ID = 9999;
    unknown.FIO = "untouched";
    EXPECT_FALSE(DM->ReadUser(unknown));
    EXPECT_EQ(unknown.FIO, "untouched");
    EXPECT_EQ(unknown.USER_ID, 9999);

    // Another logical database lists nothing.
    EXPECT_FALSE(DM->OpenUsers(-1, DbId + 1));
    EXPECT_TRUE(DM->Users_IBQuery->IsEmpty());
}

TEST_F(DataModTest, ListsTakeValuesNotSqlText) {
    // A condition appended as text once let " or 1=1" list every testee.
    using TDM = TMain_DataModule;
    EXPECT_FALSE((std::is_invocable_v<decltype(&TDM::OpenUsers), TDM*, int32_t, int32_t, AnsiString>));
    EXPECT_FALSE((std::is_invocable_v<decltype(&TDM::OpenUserTests), TDM*, int32_t, int32_t, AnsiString>));
    EXPECT_FALSE((std::is_invocable_v<decltype(&TDM::OpenTeams), TDM*, int32_t, int32_t, AnsiString>));

    const int32_t locked = DM->ApplyDatabase(akInsert, -1, "Закрытая"_cp, Scramble("пароль"_cp));
    TUser theirs = SampleUser();
    theirs.DB_ID = locked;
    theirs.USER_ID = DM->ApplyUser(akInsert, theirs);
    TUser mine = SampleUser();
    mine.USER_ID = DM->ApplyUser(akInsert, mine);
    EXPECT_FALSE(DM->OpenUsers(theirs.USER_ID, DbId));
    ASSERT_EQ(DM->Users_IBQuery->RecordCount(), 1);
    EXPECT_EQ(DM->Users_IBQuery->FieldByName("USER_ID").AsInteger(), mine.USER_ID);
}

TEST_F(DataModTest, FailedTesteeWritesStoreNothing) {
    TUser u = SampleUser();
    u.DB_ID = 4242; // no such logical database
    EXPECT_EQ(DM->ApplyUser(akInsert, u), -1);
    ExpectOneErrorBox("FK_USERS_DATABASES");

    u = SampleUser();
    u.FIO = AnsiString(201, 'x');
    EXPECT_EQ(DM->ApplyUser(akInsert, u), -1);
    ExpectOneErrorBox("ФИО"_cp);
    u.FIO = AnsiString(200, 'x');
    u.POSIT = AnsiString(151, 'x');
    EXPECT_EQ(DM->ApplyUser(akInsert, u), -1);
    ExpectOneErrorBox("Должность"_cp);
    u.POSIT = AnsiString(150, 'x');
    EXPECT_GT(DM->ApplyUser(akInsert, u), 0) << "the full lengths fit";
    EXPECT_EQ(CountRows("select count(*) from USERS"), 1);

    EXPECT_EQ(DM->ApplyUser(7, u), -1);
    ExpectOneErrorBox();
}

TEST_F(DataModTest, WriteWithoutAConnectionShowsTheErrorBox) {
    DM->Main_IBDatabase->Close();
    EXPECT_EQ(DM->ApplyUser(akInsert, SampleUser()), -1);
    ExpectOneErrorBox();
    EXPECT_FALSE(DM->WritePsyPassword("x"));
    ExpectOneErrorBox();
}

// --- tests ---

TEST_F(DataModTest, TestsRoundTripNewestFirst) {
    const int32_t uid = DM->ApplyUser(akInsert, SampleUser());
    TTestData first = SampleTest(uid, 1600);
    first.ANSWERS = "0123450123450123450123450123";
    first.TEST_ID = DM->ApplyTest(akInsert, first);
    TTestData second = SampleTest(uid, 900);
    second.DATETEST -= 30; // older date, stored later
    second.TEST_ID = DM->ApplyTest(akInsert, second);
    ASSERT_GT(first.TEST_ID, 0);
    ASSERT_GT(second.TEST_ID, first.TEST_ID);

    EXPECT_TRUE(DM->OpenUserTests(uid, first.TEST_ID));
    EXPECT_EQ(DM->TestedUsers_IBQuery->RecordCount(), 2);
    TTestData r;
    r.TEST_ID = first.TEST_ID;
    ASSERT_TRUE(DM->ReadTest(r));
    EXPECT_EQ(r.USER_ID, uid);
    EXPECT_NEAR(r.DATETEST, first.DATETEST, 1e-8);
    EXPECT_EQ(r.ANSWERS, first.ANSWERS);
    EXPECT_EQ(r.COMMENTS, first.COMMENTS);
    EXPECT_EQ(r.ANKETA, first.ANKETA);
    EXPECT_EQ(r.TESTDURATION, 1600);

    DM->OpenUserTests(uid, -1);
    TTestData top;
    DM->ReadTest(top);
    EXPECT_EQ(top.TEST_ID, second.TEST_ID) << "the test stored last comes first";

    TTestData last;
    ASSERT_TRUE(DM->ReadLastTest(UserWithId(uid), last));
    EXPECT_EQ(last.TEST_ID, second.TEST_ID);
    EXPECT_EQ(last.TESTDURATION, 900);
    EXPECT_EQ(DM->TestedUsers_IBQuery->RecordCount(), 1);

    DM->OpenUsers(uid, DbId);
    TUser u;
    u.USER_ID = uid;
    DM->ReadUser(u);
    EXPECT_TRUE(u.HasTests);
    EXPECT_EQ(DM->Users_IBQuery->FieldByName("test_count").AsInteger(), 2);
    EXPECT_NEAR(DM->Users_IBQuery->FieldByName("last_test").AsDateTime(), first.DATETEST, 1e-8);
}

TEST_F(DataModTest, TestUpdateDeleteAndNoLastTest) {
    const int32_t uid = DM->ApplyUser(akInsert, SampleUser());
    TTestData none;
    none.ANSWERS = "keep";
    EXPECT_FALSE(DM->ReadLastTest(UserWithId(uid), none));
    EXPECT_EQ(none.ANSWERS, "keep");
    EXPECT_EQ(none.TEST_ID, -1);

    TTestData t = SampleTest(uid, 60);
    t.TEST_ID = DM->ApplyTest(akInsert, t);
    t.COMMENTS = "новый"_cp;
    t.ANSWERS = AnsiString(28, '5');
    EXPECT_EQ(DM->ApplyTest(akUpdate, t), t.TEST_ID);
    TTestData r;
    ASSERT_TRUE(DM->ReadLastTest(UserWithId(uid), r));
    EXPECT_EQ(r.COMMENTS, t.COMMENTS);
    EXPECT_EQ(r.ANSWERS, t.ANSWERS) << "comments and answers are not swapped";

    TTestData onlyKey;
    onlyKey.TEST_ID = t.TEST_ID;
    onlyKey.USER_ID = -77; // not bound for a delete
    EXPECT_EQ(DM->ApplyTest(akDelete, onlyKey), t.TEST_ID);
    EXPECT_EQ(CountRows("select count(*) from TESTEDUSERS"), 0);
    EXPECT_TRUE(Boxes.Log.empty());

    TTestData orphan = SampleTest(4242, 10);
    EXPECT_EQ(DM->ApplyTest(akInsert, orphan), -1);
    ExpectOneErrorBox();
}

TEST_F(DataModTest, TestsThatScoringRefusesAreNotStored) {
    const int32_t uid = DM->ApplyUser(akInsert, SampleUser());
    struct Case {
        AnsiString Answers;
        const char* Mentions;
    } cases[] = {
        {"99x", "(3)"},                                          // too short, and not digits
        {"", "(0)"},                                             // no answers at all
        {AnsiString(27, '3'), "(27)"},                           // one pair short
        {AnsiString(29, '3'), "(29)"},                           // one pair too many
        {"6" + AnsiString(27, '3'), "6"},                        // more than five points
        {AnsiString(27, '3') + "x", "x"},                        // not a digit
        {AnsiString(13, '3') + " " + AnsiString(14, '3'), "14"}, // a blank in the middle
    };
    TTestData stored = SampleTest(uid, 60);
    stored.TEST_ID = DM->ApplyTest(akInsert, stored);
    ASSERT_GT(stored.TEST_ID, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Answers);
        TTestData t = SampleTest(uid, 60);
        t.ANSWERS = c.Answers;
        EXPECT_EQ(DM->ApplyTest(akInsert, t), -1);
        ExpectOneErrorBox(c.Mentions);
        t.TEST_ID = stored.TEST_ID;
        EXPECT_EQ(DM->ApplyTest(akUpdate, t), -1);
        ExpectOneErrorBox(c.Mentions);
    }
    TTestData r;
    ASSERT_TRUE(DM->ReadLastTest(UserWithId(uid), r));
    EXPECT_EQ(r.ANSWERS, stored.ANSWERS);
    EXPECT_EQ(CountRows("select count(*) from TESTEDUSERS"), 1);
    // A delete names the test only.
    TTestData onlyKey;
    onlyKey.TEST_ID = stored.TEST_ID;
    onlyKey.ANSWERS = "99x";
    EXPECT_EQ(DM->ApplyTest(akDelete, onlyKey), stored.TEST_ID);
    EXPECT_TRUE(Boxes.Log.empty());
}

TEST_F(DataModTest, DurationsBeyond32BitsAreRefusedAndReadInFull) {
    const int32_t uid = DM->ApplyUser(akInsert, SampleUser());
    const int64_t longest = std::numeric_limits<int32_t>::max();
    TTestData t = SampleTest(uid, 0);
    t.TESTDURATION = longest;
    t.TEST_ID = DM->ApplyTest(akInsert, t);
    ASSERT_GT(t.TEST_ID, 0);
    TTestData r;
    ASSERT_TRUE(DM->ReadLastTest(UserWithId(uid), r));
    EXPECT_EQ(r.TESTDURATION, longest);

    for (int64_t seconds : {longest + 1, int64_t(1) << 32, int64_t(3000000000)}) {
        t.TESTDURATION = seconds;
        EXPECT_EQ(DM->ApplyTest(akInsert, t), -1) << seconds;
        ExpectOneErrorBox(IntToStr(seconds));
        EXPECT_EQ(DM->ApplyTest(akUpdate, t), -1) << seconds;
        ExpectOneErrorBox(IntToStr(seconds));
    }
    ASSERT_TRUE(DM->ReadLastTest(UserWithId(uid), r));
    EXPECT_EQ(r.TESTDURATION, longest) << "nothing was cut and stored";

    // A longer duration already in the column reads as it is.
    TIBQuery q(nullptr);
    q.SetDatabase(DM->Main_IBDatabase);
    q.SetSQL("update TESTEDUSERS set TESTDURATION = 3000000000 where TEST_ID = :ID");
    q.ParamByName("ID").SetAsInteger(t.TEST_ID);
    q.ExecQuery();
    DM->Main_IBTransaction->Commit();
    ASSERT_TRUE(DM->OpenUserTests(uid, t.TEST_ID));
    TTestData full;
    full.TEST_ID = t.TEST_ID;
    ASSERT_TRUE(DM->ReadTest(full));
    EXPECT_EQ(full.TESTDURATION, int64_t(3000000000));
}

TEST_F(DataModTest, DeletingATesteeDeletesItsTests) {
    const int32_t keep = DM->ApplyUser(akInsert, SampleUser());
    TUser gone = SampleUser();
    gone.USER_ID = DM->ApplyUser(akInsert, gone);
    DM->ApplyTest(akInsert, SampleTest(keep, 1));
    DM->ApplyTest(akInsert, SampleTest(gone.USER_ID, 2));
    DM->ApplyTest(akInsert, SampleTest(gone.USER_ID, 3));
    EXPECT_EQ(DM->ApplyUser(akDelete, gone), gone.USER_ID);
    EXPECT_EQ(CountRows("select count(*) from TESTEDUSERS"), 1);
    EXPECT_EQ(CountRows("select count(*) from USERS"), 1);
}

// --- group entries ---

TEST_F(DataModTest, GroupEntries) {
    TTeam t = SampleTeam();
    t.TEAM_ID = DM->ApplyTeam(akInsert, t);
    ASSERT_GT(t.TEAM_ID, 0);
    TTeam none = SampleTeam();
    none.NUMBEROFEMPLOYES = -1;
    none.TEAM_ID = DM->ApplyTeam(akInsert, none);
    EXPECT_EQ(CountRows("select count(*) from TESTEDTEAMS where NUMBEROFEMPLOYES is null"), 1);

    EXPECT_TRUE(DM->OpenTeams(t.TEAM_ID, DbId));
    EXPECT_EQ(DM->Teams_IBQuery->RecordCount(), 2);
    TTeam r;
    r.TEAM_ID = none.TEAM_ID;
    ASSERT_TRUE(DM->ReadTeam(r));
    EXPECT_EQ(r.NUMBEROFEMPLOYES, -1);
    r.TEAM_ID = t.TEAM_ID;
    ASSERT_TRUE(DM->ReadTeam(r));
    EXPECT_EQ(r.DB_ID, DbId);
    EXPECT_EQ(r.JOB, t.JOB);
    EXPECT_EQ(r.DEPARTMENT, t.DEPARTMENT);
    EXPECT_EQ(r.NUMBEROFEMPLOYES, 40);
    EXPECT_EQ(r.NUMBEROFTESTED, 2);
    EXPECT_DOUBLE_EQ(r.DATETEST, EncodeDate(2023, 11, 2)) << "the time of day is not kept";
    EXPECT_EQ(r.EMPNAMES, t.EMPNAMES);
    EXPECT_EQ(r.DATA, t.DATA);

    t.DEPARTMENT = "Цех №3"_cp;
    EXPECT_EQ(DM->ApplyTeam(akUpdate, t), t.TEAM_ID);
    DM->OpenTeams(-1, DbId);
    r.TEAM_ID = t.TEAM_ID;
    DM->ReadTeam(r);
    EXPECT_EQ(r.DEPARTMENT, t.DEPARTMENT);

    EXPECT_EQ(DM->ApplyTeam(akDelete, none), none.TEAM_ID);
    EXPECT_FALSE(DM->OpenTeams(none.TEAM_ID, DbId));
    EXPECT_TRUE(Boxes.Log.empty());

    t.DEPARTMENT = AnsiString(201, 'd');
    EXPECT_EQ(DM->ApplyTeam(akUpdate, t), -1);
    ExpectOneErrorBox("Подразделение"_cp);
}

// --- logical databases ---

TEST_F(DataModTest, LogicalDatabases) {
    const AnsiString secret = Scramble("уэя'x"_cp);
    ASSERT_NE(secret.find('\0'), AnsiString::npos);
    const int32_t id = DM->ApplyDatabase(akInsert, -1, "Защищённая"_cp, secret);
    ASSERT_GT(id, DbId);

    EXPECT_FALSE(DM->OpenDatabases(-1));
    EXPECT_EQ(DM->DB_IBQuery->RecordCount(), 2);
    EXPECT_TRUE(DM->OpenDatabases(id));
    EXPECT_EQ(DM->DB_IBQuery->FieldByName("ISPROTECTDB").AsInteger(), 1);
    DM->DB_IBQuery->Locate("DB_ID", Variant(DbId));
    EXPECT_TRUE(DM->DB_IBQuery->FieldByName("ISPROTECTDB").IsNull());

    AnsiString name = "n", pw = "p";
    EXPECT_FALSE(DM->GetDatabase(-1, name, pw));
    EXPECT_FALSE(DM->GetDatabase(9999, name, pw));
    EXPECT_EQ(name, "n");
    EXPECT_EQ(pw, "p");
    ASSERT_TRUE(DM->GetDatabase(id, name, pw));
    EXPECT_EQ(name, "Защищённая"_cp);
    EXPECT_EQ(pw, secret) << "the scrambled password comes back byte for byte";

    EXPECT_EQ(DM->ApplyDatabase(akUpdate, id, "Новое имя"_cp, ""), id);
    DM->OpenDatabases(id);
    DM->GetDatabase(id, name, pw);
    EXPECT_EQ(name, "Новое имя"_cp);
    EXPECT_EQ(pw, "");
    EXPECT_EQ(DM->ApplyDatabase(akDelete, id, "ignored", "ignored"), id);
    EXPECT_FALSE(DM->OpenDatabases(id));
    EXPECT_TRUE(Boxes.Log.empty());

    EXPECT_EQ(DM->ApplyDatabase(akInsert, -1, AnsiString(101, 'n'), ""), -1);
    ExpectOneErrorBox("Название"_cp);
    EXPECT_EQ(DM->ApplyDatabase(akInsert, -1, "n", AnsiString(21, 'p')), -1);
    ExpectOneErrorBox("Пароль"_cp);
    EXPECT_EQ(CountRows("select count(*) from DATABASES"), 1);
}

TEST_F(DataModTest, DeletingALogicalDatabaseDeletesWhatBelongsToIt) {
    const int32_t other = DM->ApplyDatabase(akInsert, -1, "Другая"_cp, "");
    TUser mine = SampleUser();
    mine.USER_ID = DM->ApplyUser(akInsert, mine);
    DM->ApplyTest(akInsert, SampleTest(mine.USER_ID, 1));
    DM->ApplyTeam(akInsert, SampleTeam());
    TUser theirs = SampleUser();
    theirs.DB_ID = other;
    theirs.USER_ID = DM->ApplyUser(akInsert, theirs);
    DM->ApplyTest(akInsert, SampleTest(theirs.USER_ID, 1));
    TTeam theirTeam = SampleTeam();
    theirTeam.DB_ID = other;
    DM->ApplyTeam(akInsert, theirTeam);

    EXPECT_EQ(DM->ApplyDatabase(akDelete, DbId, "", ""), DbId);
    EXPECT_TRUE(Boxes.Log.empty());
    EXPECT_EQ(CountRows("select count(*) from DATABASES"), 1);
    EXPECT_EQ(CountRows("select count(*) from USERS"), 1);
    EXPECT_EQ(CountRows("select count(*) from TESTEDUSERS"), 1);
    EXPECT_EQ(CountRows("select count(*) from TESTEDTEAMS"), 1);
    EXPECT_EQ(CountRows("select min(DB_ID) from USERS"), other);
}

// --- psychologist password ---

TEST_F(DataModTest, PsychologistPassword) {
    AnsiString pw = "unchanged";
    EXPECT_FALSE(DM->ReadPsyPassword(pw)) << "a fresh file holds no password";
    EXPECT_EQ(pw, "unchanged");

    // "у", "э" and "я" scramble into a zero byte, a line feed and a form feed.
    const AnsiString secret = Scramble("уэя' --"_cp);
    EXPECT_TRUE(DM->WritePsyPassword(secret));
    ASSERT_TRUE(DM->ReadPsyPassword(pw));
    EXPECT_EQ(pw, secret);

    EXPECT_TRUE(DM->WritePsyPassword(Scramble("другой"_cp)));
    ASSERT_TRUE(DM->ReadPsyPassword(pw));
    EXPECT_EQ(pw, Scramble("другой"_cp));
    EXPECT_EQ(CountRows("select count(*) from ADMINSPASSWORD"), 1);
    EXPECT_TRUE(Boxes.Log.empty());

    EXPECT_FALSE(DM->WritePsyPassword(AnsiString(31, 'p')));
    ExpectOneErrorBox("Пароль психолога"_cp);
    DM->ReadPsyPassword(pw);
    EXPECT_EQ(pw, Scramble("другой"_cp));
}

// --- reference data ---

TEST_F(DataModTest, StatementPairsInOrder) {
    TIBQuery* q = DM->Statements_IBQuery;
    q->Open();
    if (q->IsEmpty()) GTEST_SKIP() << "the data file holds no statements yet";
    EXPECT_EQ(q->RecordCount(), 28);
    int keyed[8] = {};
    std::set<std::pair<int, int>> pairs;
    int previous = -1;
    for (q->First(); !q->Eof(); q->Next()) {
        const int id = q->FieldByName("STATEMENT_ID").AsInteger();
        EXPECT_GT(id, previous) << "rows come in STATEMENT_ID order";
        previous = id;
        const int a = q->FieldByName("KEY_STATEMENT").AsInteger();
        const int b = q->FieldByName("KEY_STATEMENT2").AsInteger();
        ASSERT_TRUE(a >= 0 && a < 8 && b >= 0 && b < 8 && a != b) << id;
        ++keyed[a];
        ++keyed[b];
        pairs.insert({std::min(a, b), std::max(a, b)});
        EXPECT_FALSE(q->FieldByName("STATEMENT").AsString().empty());
        EXPECT_FALSE(q->FieldByName("STATEMENT2").AsString().empty());
        EXPECT_FALSE(q->FieldByName("NUM_STATEMENT").IsNull());
    }
    for (int s = 0; s < 8; ++s)
        EXPECT_EQ(keyed[s], 7) << "scale " << s;
    EXPECT_EQ(pairs.size(), 28u) << "every pair of scales exactly once";
}

TEST_F(DataModTest, StenForEveryScaleAndRawScore) {
    if (DM->FindSten(0, 0) == -1.0 && DM->FindSten(0, 20) == -1.0) GTEST_SKIP() << "no sten norms yet";
    for (int scale = 0; scale < 8; ++scale) {
        double previous = 0;
        for (int raw = 0; raw <= 35; ++raw) {
            const double sten = DM->FindSten(scale, raw);
            EXPECT_GE(sten, 1) << scale << "/" << raw;
            EXPECT_LE(sten, 10) << scale << "/" << raw;
            EXPECT_GE(sten, previous) << "stens never fall as the score rises: " << scale << "/" << raw;
            previous = sten;
        }
    }
    EXPECT_EQ(DM->FindSten(8, 10), -1.0);
    EXPECT_EQ(DM->FindSten(0, 36), -1.0);
    EXPECT_FALSE(DM->Stens_IBQuery->Active());
}

TEST_F(DataModTest, ReferenceDataIsReadOnceAConnection) {
    ASSERT_EQ(DM->FindSten(0, 20), 7.0);
    AnsiString dyn;
    DM->GetHtmlTemplate("dyn", dyn);
    TIBQuery change(nullptr);
    change.SetDatabase(DM->Data_IBDatabase);
    change.SetSQL("update STENS set MIN_VALUE = 21 where SCALE = 0 and STEN = 7");
    change.ExecQuery();
    change.SetSQL("update HTMLTEMPLATES set TEMPLATE = 'changed' where TEMPLATE_ID = 'dyn'");
    change.ExecQuery();
    DM->Data_IBTransaction->Commit();

    // Scoring and reports answer from memory...
    EXPECT_EQ(DM->FindSten(0, 20), 7.0);
    AnsiString kept;
    DM->GetHtmlTemplate("DYN", kept);
    EXPECT_EQ(kept, dyn);
    EXPECT_FALSE(DM->Stens_IBQuery->Active());
    // ...until the module connects again.
    DM->DataModuleCreate();
    EXPECT_EQ(DM->FindSten(0, 20), -1.0);
    EXPECT_EQ(DM->FindSten(0, 21), 7.0);
    ASSERT_NE(DM->FindHtmlTemplate("dyn"), nullptr);
    EXPECT_EQ(*DM->FindHtmlTemplate("dyn"), "changed");
    EXPECT_EQ(DM->FindHtmlTemplate("nope"), nullptr);
}

TEST_F(DataModTest, StenBandsIncludeBothEnds) {
    TIBQuery q(nullptr);
    q.SetDatabase(DM->Data_IBDatabase);
    q.SetSQL("select SCALE, STEN, MIN_VALUE, MAX_VALUE from STENS");
    q.Open();
    if (q.IsEmpty()) GTEST_SKIP() << "no sten norms yet";
    for (q.First(); !q.Eof(); q.Next()) {
        const int scale = q.FieldByName("SCALE").AsInteger();
        const double sten = q.FieldByName("STEN").AsInteger();
        EXPECT_EQ(DM->FindSten(scale, q.FieldByName("MIN_VALUE").AsInteger()), sten);
        EXPECT_EQ(DM->FindSten(scale, q.FieldByName("MAX_VALUE").AsInteger()), sten);
    }
}

TEST_F(DataModTest, TemplatesWithTheirPlaceholders) {
    AnsiString probe;
    DM->GetHtmlTemplate("concl", probe);
    if (probe.empty()) GTEST_SKIP() << "no report templates yet";
    const std::vector<const char*> concl = {
        "$FIO$",     "$AGE$",     "$Pos$",    "$Sen$",     "$OrgSen$",     "$Educ$",     "$Job$",
        "$Spec$",    "$IsSpec$",  "$DTest$",  "$TestDur$", "$SizeP$",      "$LevelVal$", "$BadScales$",
        "$GraphPr$", "$LeadLuv$", "$LowLuv$", "$MidLuv$",  "$TypeLuvora$", "$Norms$"};
    const std::vector<const char*> grcon = {
        "$Job$",     "$Dep$",     "$NumEmp$", "$NumTest$", "$DTest$",    "$CntNonVal$",  "$Valid$", "$SizeP$",
        "$GraphPr$", "$LeadLuv$", "$LowLuv$", "$MidLuv$",  "$WrongLuv$", "$TypeLuvora$", "$Norms$"};
    const struct {
        const char* Name;
        std::vector<const char*> Placeholders;
    } templates[] = {{"concl", concl}, {"grcon", grcon}, {"dyn", {"$GraphPr$", "$Norms$"}},
                     {"type1", {}},    {"type2", {}},    {"type3", {}},
                     {"type4", {}},    {"norms", {}}};
    for (const auto& t : templates) {
        AnsiString text;
        DM->GetHtmlTemplate(t.Name, text);
        EXPECT_FALSE(text.empty()) << t.Name;
        const AnsiString upper = AnsiUpperCase(text);
        for (const char* p : t.Placeholders)
            EXPECT_NE(upper.find(AnsiUpperCase(p)), AnsiString::npos) << t.Name << " lacks " << p;
    }
    AnsiString upperName;
    DM->GetHtmlTemplate("CONCL", upperName);
    EXPECT_EQ(upperName, probe);
    AnsiString kept = "kept";
    DM->GetHtmlTemplate("nope", kept);
    EXPECT_EQ(kept, "kept");
}

} // namespace
