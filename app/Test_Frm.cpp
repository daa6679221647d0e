// The questionnaire window's controls and actions, as laid out at design
// time, and the entry that runs one test.
#include "app/Test_Frm.h"

#include "app/DialogParts.h"

#include "platform/rtl/ScopeGuard.h"

namespace {
constexpr int kClientWidth = 697;
constexpr int kClientHeight = 497;
constexpr int kMargin = 8;
constexpr int kInner = 12;
constexpr int kBoxHeight = 372;
constexpr int kLabelHeight = 16;
constexpr int kTextHeight = 92;
constexpr int kChoiceHeight = 44;
constexpr int kRuleTop = 388;
constexpr int kRuleHeight = 60;
constexpr int kButtonTop = 458;
constexpr int kButtonWidth = 150;
constexpr int kButtonHeight = 30;
constexpr int kBoxFontSize = 10;
constexpr int kStatementFontSize = 11;

AnsiString RuleText() {
    return "Оцените, пожалуйста, предложенные утверждения таким образом, чтобы сумма баллов в каждой паре "
           "вопросов была равна 5, т.е. возможные варианты оценки: 5-0, 4-1, 3-2, 2-3, 1-4, 0-5. Необходимо "
           "выбрать оценку только для одного вопроса, для второго оценка проставится автоматически."_cp;
}
} // namespace

TTest_Form::TTest_Form(TComponent* AOwner) : TForm(AOwner) {
    SetUpDialog(this, "Test_Form", "Тестирование"_cp, kClientWidth, kClientHeight, false);
    KeyPreview = true;
    // Escape that no enabled action takes is the close box's: it asks first.
    CloseOnEscape = true;
    SetShowHint(true);
    OnKeyDown = [this](TObject* Sender, uint16_t& Key, TShiftState Shift) {
        FormKeyDown(Sender, Key, Shift);
    };
    OnKeyUp = [this](TObject* Sender, uint16_t& Key, TShiftState Shift) { FormKeyUp(Sender, Key, Shift); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };

    CreateStatementBox();

    Rule_Text = new TStaticText(this);
    Rule_Text->SetName("Rule_Text");
    Rule_Text->SetParent(this);
    Rule_Text->SetBounds(kMargin, kRuleTop, kClientWidth - 2 * kMargin, kRuleHeight);
    Rule_Text->SetColor(clInfoBk);
    Rule_Text->SetBorderStyle(TStaticBorderStyle::sbsSingle);
    Rule_Text->SetShowAccelChar(false);
    Rule_Text->SetCaption(RuleText());

    CreateActions();
}

TTest_Form::~TTest_Form() = default;

void TTest_Form::CreateStatementBox() {
    Statement = new TGroupBox(this);
    Statement->SetName("Statement");
    Statement->SetParent(this);
    Statement->SetBounds(kMargin, kMargin, kClientWidth - 2 * kMargin, kBoxHeight);
    Statement->Font()->SetSize(kBoxFontSize);
    Statement->Font()->SetStyle(fsBold);

    const int width = Statement->Width() - 2 * kInner;
    struct TRow {
        TLabel* TTest_Form::*Label;
        TStaticText* TTest_Form::*Text;
        TRadioGroup* TTest_Form::*Choice;
        const char* Suffix;
        AnsiString Caption;
    };
    const TRow rows[] = {
        {&TTest_Form::Statement1_Label, &TTest_Form::Statement1_Text, &TTest_Form::Selection1_RG, "1",
         "Вопрос А:"_cp},
        {&TTest_Form::Statement2_Label, &TTest_Form::Statement2_Text, &TTest_Form::Selection2_RG, "2",
         "Вопрос В:"_cp},
    };
    int top = 22;
    for (const TRow& row : rows) {
        auto* label = new TLabel(this);
        label->SetName(AnsiString("Statement") + row.Suffix + "_Label");
        label->SetParent(Statement);
        label->SetBounds(kInner, top, width, kLabelHeight);
        label->SetCaption(row.Caption);
        this->*row.Label = label;
        top += kLabelHeight + 2;

        auto* text = new TStaticText(this);
        text->SetName(AnsiString("Statement") + row.Suffix + "_Text");
        text->SetParent(Statement);
        text->SetBounds(kInner, top, width, kTextHeight);
        text->SetColor(clWhite);
        text->SetBorderStyle(TStaticBorderStyle::sbsSingle);
        text->SetShowAccelChar(false);
        text->Font()->SetName("Arial");
        text->Font()->SetSize(kStatementFontSize);
        text->Font()->SetStyle(fsBold);
        text->Font()->SetColor(clBlack);
        this->*row.Text = text;
        top += kTextHeight + 4;

        auto* choice = new TRadioGroup(this);
        choice->SetName(AnsiString("Selection") + row.Suffix + "_RG");
        choice->SetParent(Statement);
        choice->SetBounds(kInner, top, width, kChoiceHeight);
        choice->SetCaption("Ваш выбор: "_cp);
        choice->SetColumns(6);
        for (char digit = '0'; digit <= '5'; ++digit)
            choice->Items()->Add(AnsiString("&") + digit);
        this->*row.Choice = choice;
        top += kChoiceHeight + 10;
    }
    Selection1_RG->OnClick = [this](TObject* Sender) { Selection1_RGClick(Sender); };
    Selection2_RG->OnClick = [this](TObject* Sender) { Selection2_RGClick(Sender); };
}

void TTest_Form::CreateActions() {
    Test_ActionList = new TActionList(this);
    Test_ActionList->SetName("Test_ActionList");
    struct TSpec {
        TAction* TTest_Form::*Action;
        TButton* TTest_Form::*Button;
        const char* Name;
        AnsiString Caption;
        AnsiString Hint;
        TShortCut Key;
        void (TTest_Form::*Execute)(TObject*);
        int Left;
    };
    const TSpec specs[] = {
        {&TTest_Form::OpenInstruct_Action, &TTest_Form::OpenInstruct_But, "OpenInstruct", "Инструкция"_cp,
         "Открыть инструкцию по проведению тестирования"_cp, ShortCut(VK_F1, 0),
         &TTest_Form::OpenInstruct_ActionExecute, kMargin},
        {&TTest_Form::PrevQuestion_Action, &TTest_Form::PrevQuestion_But, "PrevQuestion", "Назад (Esc)"_cp,
         "Вернуться назад к предыдущему вопросу"_cp, ShortCut(VK_ESCAPE, 0), &TTest_Form::Back_ButClick,
         kClientWidth - 2 * (kMargin + kButtonWidth)},
        {&TTest_Form::NextQuestion_Action, &TTest_Form::NextQuestion_But, "NextQuestion", "Далее (Пробел)"_cp,
         "Перейти на следующий вопрос"_cp, scNone, &TTest_Form::NextQuestion_ActionExecute,
         kClientWidth - kMargin - kButtonWidth},
    };
    for (const TSpec& s : specs) {
        auto* action = new TAction(this);
        action->SetName(AnsiString(s.Name) + "_Action");
        action->SetActionList(Test_ActionList);
        action->SetCaption(s.Caption);
        action->SetHint(s.Hint);
        action->SetShortCut(s.Key);
        action->OnExecute = [this, run = s.Execute](TObject* Sender) { (this->*run)(Sender); };
        this->*s.Action = action;

        auto* button = new TButton(this);
        button->SetName(AnsiString(s.Name) + "_But");
        button->SetParent(this);
        button->SetBounds(s.Left, kButtonTop, kButtonWidth, kButtonHeight);
        button->SetAction(action);
        this->*s.Button = button;
    }
    PrevQuestion_Action->SetEnabled(false);
}

bool RunTest(const TTestData& TestData) {
    auto form = std::make_unique<TTest_Form>(nullptr);
    // The statement cursor goes first, then the window, however the test ends.
    TScopeGuard free([&] {
        form->Questions.reset();
        form.reset();
    });
    form->TestData = TestData;
    form->StartTest();
    return form->ShowModal() == mrOk;
}
