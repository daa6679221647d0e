// The questionnaire's course: the pair shown, the two coupled choices, the
// steps forward and back, the keys, closing and the stored test.
#include <cmath>

#include "app/Instr_Frm.h"
#include "app/Test_Frm.h"
#include "platform/win/MessageBox.h"

namespace {
// The key a handled Space becomes, so that no control acts on it.
constexpr uint16_t kTakenKey = 0xFE;
constexpr int32_t kPoints = 5;
constexpr double kMillisecondsPerDay = 86400000.0;
} // namespace

int64_t TestDurationSeconds(TDateTime Start, TDateTime End) {
    return std::llround(std::fabs(End - Start) * kMillisecondsPerDay) / 1000;
}

void TTest_Form::StartTest() {
    Questions = std::make_unique<TQuestions>();
    Answers.assign(std::size_t(Questions->Count), -1);
    Completed = false;
    StartTime = Now();
    ShowStatement();
}

void TTest_Form::ShowStatement() {
    const int32_t answer = Answers[std::size_t(Questions->Number - 1)];
    Selection1_RG->SetItemIndex(answer);
    Selection2_RG->SetItemIndex(answer < 0 ? -1 : kPoints - answer);
    NextQuestion_Action->SetEnabled(answer >= 0);
    Statement->SetCaption(Format("Утверждение №%d из %d"_cp, {Questions->NumStatement, Questions->Count}));
    Statement1_Text->SetCaption(Questions->Statement1 + ".");
    Statement2_Text->SetCaption(Questions->Statement2 + ".");
}

void TTest_Form::Selection1_RGClick(TObject*) {
    if (Selection1_RG->ItemIndex() < 0) {
        Selection2_RG->SetItemIndex(-1);
        return;
    }
    Selection2_RG->SetItemIndex(kPoints - Selection1_RG->ItemIndex());
    NextQuestion_Action->SetEnabled(true);
}

void TTest_Form::Selection2_RGClick(TObject*) {
    if (Selection2_RG->ItemIndex() >= 0) Selection1_RG->SetItemIndex(kPoints - Selection2_RG->ItemIndex());
    if (Selection1_RG->ItemIndex() >= 0) NextQuestion_Action->SetEnabled(true);
}

void TTest_Form::NextQuestion_ActionExecute(TObject*) {
    if (Selection1_RG->ItemIndex() < 0) return;
    Answers[std::size_t(Questions->Number - 1)] = Selection1_RG->ItemIndex();
    if (Questions->IsLast) {
        NextQuestion_Action->SetEnabled(false);
        Completed = true;
        MessageBox("Тестирование закончено!"_cp, "Информация"_cp, MB_OK | MB_ICONINFORMATION);
        // The box took the release of the key that got here.
        FSpaceDown = false;
        // Closing stores the test (FormClose).
        SetModalResult(mrOk);
        return;
    }
    Questions->Next();
    ShowStatement();
    PrevQuestion_Action->SetEnabled(true);
}

void TTest_Form::Back_ButClick(TObject*) {
    Questions->Prior();
    ShowStatement();
    if (Questions->IsFirst) PrevQuestion_Action->SetEnabled(false);
}

void TTest_Form::OpenInstruct_ActionExecute(TObject*) {
    ShowInstruction("Продолжить тестирование"_cp);
    FSpaceDown = false;
}

void TTest_Form::FormKeyDown(TObject*, uint16_t& Key, TShiftState) {
    if (Key != VK_SPACE) return;
    // A held Space repeats its key-down: only the first one acts.
    if (!FSpaceDown && NextQuestion_Action->Enabled()) {
        FSpaceDown = true;
        NextQuestion_ActionExecute(this);
    }
    Key = kTakenKey;
}

void TTest_Form::FormKeyUp(TObject*, uint16_t& Key, TShiftState) {
    if (Key == VK_SPACE) FSpaceDown = false;
}

void TTest_Form::FormClose(TObject*, TCloseAction& Action) {
    if (Completed) {
        if (SaveResult()) return;
        // Nothing typed is lost: the answers stay, and "Далее" on the last
        // pair tries again.
        Action = TCloseAction::caNone;
        Completed = false;
        NextQuestion_Action->SetEnabled(true);
        MessageBox("Результаты тестирования не сохранены. Ответы не потеряны: нажмите \"Далее\", чтобы "
                   "сохранить их еще раз."_cp,
                   "Ошибка"_cp, MB_OK | MB_ICONERROR);
        return;
    }
    if (MessageBox("Тестирование еще не завершено. Прервать тестирование и не сохранять результаты "
                   "тестирования?"_cp,
                   "Подтверждение окончания тестирования"_cp, MB_YESNO | MB_ICONQUESTION) != IDYES)
        Action = TCloseAction::caNone;
}

bool TTest_Form::SaveResult() {
    const TDateTime end = Now();
    TestData.TESTDURATION = TestDurationSeconds(StartTime, end);
    TestData.ANSWERS.clear();
    for (int32_t answer : Answers)
        TestData.ANSWERS += char('0' + answer);
    TestData.DATETEST = end;
    TestData.COMMENTS.clear();
    TestData.ANKETA.clear();
    return Main_DataModule->ApplyTest(akInsert, TestData) != -1;
}
