// What the results windows' tests share: the program's fixture with a
// testee and stored tests, the temporary folder of the chart bitmaps, a
// recording printer, and readers of saved RTF and BMP files.
#pragma once

#include <fstream>
#include <sstream>

#include "RtfText.h"
#include "app/AppFixture.h"
#include "core/Calc_Unit.h"
#include "platform/testing/RecordingPrinter.h"
#include "richtext/print/control/PreviewRVFrm.h"

class ResultsFixture : public AppFixture {
protected:
    // A testee with answers that score, and its user record.
    TUser Testee(const char* Fio = "Иванов Петр Сергеевич") {
        TUser u;
        u.DB_ID = Database.DB_ID;
        u.FIO = Utf8ToAnsi(Fio);
        u.AGE = 34;
        u.USER_ID = DM->ApplyUser(akInsert, u);
        EXPECT_GT(u.USER_ID, 0);
        return u;
    }
    int32_t StoreTest(int32_t UserId, TDateTime Date, const AnsiString& Answers,
                      const AnsiString& Comments = "") {
        TTestData t;
        t.USER_ID = UserId;
        t.DATETEST = Date;
        t.ANSWERS = Answers;
        t.COMMENTS = Comments;
        t.TESTDURATION = 600;
        const int32_t id = DM->ApplyTest(akInsert, t);
        EXPECT_GT(id, 0);
        return id;
    }
    // Answers whose scales are all valid and lie in several sten bands.
    static AnsiString MixedAnswers() { return "3234323432343234323432343234"; }

    static std::string FileBytes(const AnsiString& Name) {
        std::ifstream in(Name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static bool Contains(const AnsiString& Text, const char* Utf8) {
        return Text.find(Utf8ToAnsi(Utf8)) != AnsiString::npos;
    }

    // The next preview the print command opens: Look sees it, and it closes
    // with Result (mrOk: its print button).
    void AnswerPreview(
        int Result, std::function<void(TfrmRVPreview&)> Look = [](TfrmRVPreview&) {}) {
        Dialogs.Answers.push_back(Expect<TfrmRVPreview>(std::move(Look), Result));
    }
    // Every call the printer got, pages apart.
    std::string PrintedText() const {
        std::string all;
        for (const auto& page : Printer.Pages)
            for (const AnsiString& call : page)
                all += call + "\n";
        return all;
    }

    TRecordingPrinter Printer;
};
