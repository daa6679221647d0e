// The instruction window: its controls, the instruction file and the
// button that closes it.
#include "app/Instr_Frm.h"

#include <memory>

#include "platform/rtl/Streams.h"
#include "platform/win/Module.h"

namespace {
constexpr int kClientWidth = 556;
constexpr int kClientHeight = 514;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 169;
constexpr int kButtonHeight = 27;
// An instruction is a few pages, some hundred paragraphs and runs; a file
// beyond these is not one, and would keep the window from opening for long.
constexpr int64_t kMaxInstructionSize = int64_t(10) << 20;
constexpr std::size_t kMaxInstructionParts = 50000;
} // namespace

TInstr_Form::TInstr_Form(TComponent* AOwner) : TForm(AOwner) {
    SetName("Instr_Form");
    SetCaption("Инструкция"_cp);
    SetBorderStyle(TFormBorderStyle::bsSizeable);
    SetBorderIcons(biSystemMenu | biMaximize);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(kClientWidth);
    SetClientHeight(kClientHeight);
    // Sizes here leave the frame out: the smallest window is the one laid out.
    Constraints()->SetMinWidth(kClientWidth);
    Constraints()->SetMinHeight(kClientHeight);

    Instr_RichEdit = new TRichEdit(this);
    Instr_RichEdit->SetName("Instr_RichEdit");
    Instr_RichEdit->SetParent(this);
    Instr_RichEdit->SetBounds(kMargin, kMargin, kClientWidth - 2 * kMargin,
                              kClientHeight - 3 * kMargin - kButtonHeight);
    Instr_RichEdit->SetAnchors(akLeft | akTop | akRight | akBottom);
    Instr_RichEdit->SetReadOnly(true);
    Instr_RichEdit->SetScrollBars(TScrollStyle::ssVertical);
    // Enter and Escape are the button's, also while the text has the focus.
    Instr_RichEdit->WantReturns = false;

    // The button keeps its place in the middle as the window's width changes.
    BeginTesting_But = new TButton(this);
    BeginTesting_But->SetName("BeginTesting_But");
    BeginTesting_But->SetParent(this);
    BeginTesting_But->SetBounds((kClientWidth - kButtonWidth) / 2, kClientHeight - kMargin - kButtonHeight,
                                kButtonWidth, kButtonHeight);
    BeginTesting_But->SetAnchors(akBottom);
    BeginTesting_But->SetDefault(true);
    BeginTesting_But->Cancel = true;
    BeginTesting_But->OnClick = [this](TObject* Sender) { BeginTesting_ButClick(Sender); };
    SetActiveControl(BeginTesting_But);

    Instr_AppStorage = new TJvAppRegistryStorage(this);
    Instr_AppStorage->SetName("Instr_AppStorage");
    Instr_AppStorage->SetRoot("SOFTWARE\\Tarvik\\Luvora");
    Instr_FormStorage = new TJvFormStorage(this);
    Instr_FormStorage->SetName("Instr_FormStorage");
    Instr_FormStorage->SetAppStorage(Instr_AppStorage);
    Instr_FormStorage->SetAppStoragePath("Instr_Form\\");
    Instr_FormStorage->Loaded();

    FormCreate(this);
}

AnsiString InstructionFileName() {
    return GetModuleFolder() + "Instr.rtf";
}

void TInstr_Form::FormCreate(TObject*) {
    const AnsiString file = InstructionFileName();
    // Without the file the box stays empty and the test can still start.
    if (!FileExists(file) && !DirectoryExists(file)) return;
    const AnsiString shown = Utf8ToAnsi(file);
    AnsiString notice;
    try {
        Instr_RichEdit->LoadFromFile(file, {kMaxInstructionSize, kMaxInstructionParts});
        switch (Instr_RichEdit->Document().Cut) {
        case TRtfCut::rcNesting:
            notice = Format("Инструкция показана не полностью: в файле %s слишком много вложенных групп, "
                            "и текст после них не прочитан."_cp,
                            {shown});
            break;
        case TRtfCut::rcLength:
            notice = Format("Инструкция показана не полностью: файл %s длиннее, чем может показать окно "
                            "инструкции, и его конец не показан."_cp,
                            {shown});
            break;
        case TRtfCut::rcNone:
            break;
        }
    } catch (const EFileTooLarge&) {
        notice = Format("Инструкция не показана: файл %s больше %d МБ."_cp,
                        {shown, int(kMaxInstructionSize >> 20)});
    } catch (const EReadError&) {
        notice = Format("Инструкция не показана: файл %s не удалось прочитать."_cp, {shown});
    }
    if (!notice.empty()) ShowNotice(notice);
}

void TInstr_Form::ShowNotice(const AnsiString& Notice) {
    // The notice comes first, in bold, above whatever of the text was read.
    TRtfDocument doc = Instr_RichEdit->Document();
    TRtfParagraph line;
    TRtfRun run;
    run.Text = AnsiToWide(Notice);
    run.FontSize = 0; // the box's own
    run.Bold = true;
    line.Runs.push_back(std::move(run));
    doc.Paragraphs.insert(doc.Paragraphs.begin(), std::move(line));
    Instr_RichEdit->SetDocument(std::move(doc));
}

void TInstr_Form::BeginTesting_ButClick(TObject*) {
    SetModalResult(mrOk);
}

int ShowInstruction(const AnsiString& ButtonCaption) {
    auto form = std::make_unique<TInstr_Form>(nullptr);
    form->BeginTesting_But->SetCaption(ButtonCaption);
    return form->ShowModal();
}
