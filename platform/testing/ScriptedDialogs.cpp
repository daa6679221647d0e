// Scripted modal forms and common dialogs: answered in order, logged with
// their results.
#include "platform/testing/ScriptedDialogs.h"

namespace {
template <class T> T& DialogAs(TCommonDialog* Dialog, const char* What) {
    auto* typed = dynamic_cast<T*>(Dialog);
    if (!typed) throw Exception(AnsiString("The scripted answer is for ") + What + ", not for this dialog");
    return *typed;
}
} // namespace

TScriptedDialogs::TScriptedDialogs() : FPrevious(SetDialogService(this)) {}

TScriptedDialogs::~TScriptedDialogs() {
    SetDialogService(FPrevious);
}

int TScriptedDialogs::ShowModal(TCustomForm* Form) {
    constexpr int kMostUnanswered = 100;
    int result = mrCancel;
    if (!Answers.empty()) {
        FUnanswered = 0;
        auto answer = std::move(Answers.front());
        Answers.pop_front();
        result = answer(Form);
    } else if (++FUnanswered > kMostUnanswered) {
        throw Exception("The script has no answer for the window " + Form->Name() + ", shown " +
                        IntToStr(FUnanswered) + " times in a row");
    }
    Log.push_back({Form->Name(), Form->Caption(), result});
    return result;
}

bool TScriptedDialogs::ExecuteDialog(TCommonDialog* Dialog) {
    bool result = false;
    if (!DialogAnswers.empty()) {
        TDialogAnswer answer = std::move(DialogAnswers.front());
        DialogAnswers.pop_front();
        result = answer(Dialog);
    }
    auto* file = dynamic_cast<TOpenDialog*>(Dialog);
    DialogLog.push_back({Dialog->Kind(), file ? file->Title : AnsiString(), result});
    return result;
}

TScriptedDialogs::TDialogAnswer TScriptedDialogs::FileChosen(const AnsiString& FileName, int FilterIndex) {
    return [FileName, FilterIndex](TCommonDialog* Dialog) {
        auto& file = DialogAs<TOpenDialog>(Dialog, "an open or save dialog");
        file.FileName = FileName;
        if (FilterIndex > 0) file.FilterIndex = FilterIndex;
        file.Files()->Clear();
        return true;
    };
}

TScriptedDialogs::TDialogAnswer TScriptedDialogs::ColorChosen(TColor Color) {
    return [Color](TCommonDialog* Dialog) {
        DialogAs<TColorDialog>(Dialog, "a colour dialog").Color = Color;
        return true;
    };
}

TScriptedDialogs::TDialogAnswer TScriptedDialogs::FontChosen(const AnsiString& Name, int Size,
                                                             TFontStyles Style) {
    return [Name, Size, Style](TCommonDialog* Dialog) {
        TFont* font = DialogAs<TFontDialog>(Dialog, "a font dialog").Font();
        font->SetName(Name);
        font->SetSize(Size);
        font->SetStyle(Style);
        return true;
    };
}

TScriptedDialogs::TDialogAnswer TScriptedDialogs::Confirmed() {
    return [](TCommonDialog*) { return true; };
}

TScriptedDialogs::TDialogAnswer TScriptedDialogs::Cancelled() {
    return [](TCommonDialog*) { return false; };
}
