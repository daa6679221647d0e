// The questionnaire window: one statement pair a screen, the testee's split
// of five points between its two statements, and the stored test at the end.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/DataMod.h"
#include "core/uQuestionsClass.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

class TTest_Form : public TForm {
public:
    explicit TTest_Form(TComponent* AOwner);
    ~TTest_Form() override;

    // The caller's record; the caller sets USER_ID.
    TTestData TestData;
    std::unique_ptr<TQuestions> Questions;
    // Points of the first statement of each pair, 0 to 5; -1 unanswered.
    std::vector<int32_t> Answers;
    // When the first pair was shown.
    TDateTime StartTime = 0;
    // The last pair has been answered.
    bool Completed = false;

    TGroupBox* Statement;
    TLabel* Statement1_Label;
    TStaticText* Statement1_Text;
    TRadioGroup* Selection1_RG;
    TLabel* Statement2_Label;
    TStaticText* Statement2_Text;
    TRadioGroup* Selection2_RG;
    TStaticText* Rule_Text;
    TActionList* Test_ActionList;
    TAction* OpenInstruct_Action;
    TAction* PrevQuestion_Action;
    TAction* NextQuestion_Action;
    TButton* OpenInstruct_But;
    TButton* PrevQuestion_But;
    TButton* NextQuestion_But;

    // Opens the pairs on the first one and starts the clock.
    void StartTest();
    void ShowStatement();
    // Stores the test; false when the write failed.
    bool SaveResult();

    void Selection1_RGClick(TObject* Sender);
    void Selection2_RGClick(TObject* Sender);
    void NextQuestion_ActionExecute(TObject* Sender);
    void Back_ButClick(TObject* Sender);
    void OpenInstruct_ActionExecute(TObject* Sender);
    void FormKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void FormKeyUp(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    // Building the window (Test_Frm.cpp).
    void CreateStatementBox();
    void CreateActions();
    // A Space is down that has acted already: a held key acts once.
    bool FSpaceDown = false;
};

// The whole seconds from Start to End, either way round; the times are
// taken to the millisecond first, so a whole number of seconds stays whole.
int64_t TestDurationSeconds(TDateTime Start, TDateTime End);

// Runs one on-screen test for TestData's testee; true when it was completed
// and stored. The caller's record is not changed.
bool RunTest(const TTestData& TestData);
