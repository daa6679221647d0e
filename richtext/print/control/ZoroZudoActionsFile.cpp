// The file and page actions: saving again under the recorded name and
// format, saving under a name and format chosen in the save dialog, and
// the page set-up window over the print component and the header and
// footer.
#include "richtext/print/control/ZoroZudoActions.h"

#include <algorithm>

#include "platform/win/MessageBox.h"
#include "richtext/print/control/PageSetupRVFrm.h"

// ---------------------------------------------------------------- filters

AnsiString RVAGetSaveFilter(const TRVALanguageInfo& Language, TrvFileExportFilterSet Flags,
                            std::vector<int>& Formats, const AnsiString& RVFFilter, bool RVFLocalizable,
                            const AnsiString& Converters, const AnsiString& CustomFilter) {
    AnsiString filter;
    auto add = [&](const AnsiString& Item) {
        if (!filter.empty()) filter += '|';
        filter += Item;
    };
    auto has = [&](TrvFileExportFilter Format) { return (Flags & FilterBit(Format)) != 0; };
    Formats.clear();
    if (has(ffeRVF)) {
        Formats.push_back(ffeRVF);
        add(RVFLocalizable ? Language.Text(226) : RVFFilter);
    }
    const std::pair<TrvFileExportFilter, TRVAMessageID> fixed[] = {
        {ffeRTF, 227}, {ffeTextANSI, 229}, {ffeTextUnicode, 230}, {ffeHTMLCSS, 233}, {ffeHTML, 234}};
    for (auto [format, text] : fixed)
        if (has(format)) {
            Formats.push_back(format);
            add(Language.Text(text));
        }
    if (has(ffeCustom) && !CustomFilter.empty()) {
        int n = (int(std::count(CustomFilter.begin(), CustomFilter.end(), '|')) + 1) / 2;
        for (int i = 1; i <= n; ++i)
            Formats.push_back(-i);
        add(CustomFilter);
    }
    if (has(ffeOfficeConverters) && !Converters.empty()) add(Converters);
    return filter;
}

void RVAFilterIndexToFormat(const std::vector<int>& Formats, int Index, TrvFileExportFilter& Format,
                            int& CustomIndex) {
    CustomIndex = 0;
    if (Index < 0) Index = 0;
    if (Index >= int(Formats.size())) {
        Format = ffeOfficeConverters;
        CustomIndex = Index - int(Formats.size());
    } else if (Formats[std::size_t(Index)] < 0) {
        Format = ffeCustom;
        CustomIndex = -Formats[std::size_t(Index)];
    } else {
        Format = TrvFileExportFilter(Formats[std::size_t(Index)]);
    }
}

// ---------------------------------------------------------------- TrvActionSave

TrvActionSave::TrvActionSave(TComponent* AOwner) : TrvAction(AOwner) {
    MessageIndex = 22;
    Localize();
}

TrvActionSave::~TrvActionSave() {
    SetActionSaveAs(nullptr);
    for (auto& doc : FDocs)
        if (doc->Editor) doc->Editor->RemoveFreeNotification(this);
}

void TrvActionSave::Notification(TComponent* AComponent, TOperation Operation) {
    TrvAction::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FActionSaveAs) FActionSaveAs = nullptr;
    std::erase_if(FDocs, [&](const auto& Doc) { return Doc->Editor == AComponent; });
}

TrvaDocumentInfo* TrvActionSave::FindDoc(const TCustomZoroZudoEdit* Editor) const {
    for (const auto& doc : FDocs)
        if (doc->Editor == Editor) return doc.get();
    return nullptr;
}

TrvActionSaveAs& TrvActionSave::SaveAsAction() const {
    TrvActionSaveAs* action = FActionSaveAs ? FActionSaveAs : FindComponentOfClass<TrvActionSaveAs>(Owner());
    if (!action) throw Exception("TrvActionSaveAs object is not assigned!");
    return *action;
}

void TrvActionSave::ExecuteTarget(TObject* Target) {
    TCustomZoroZudoEdit* editor = GetControl(Target);
    if (TrvaDocumentInfo* doc = FindDoc(editor))
        SaveDoc(*doc, false);
    else
        SaveAsAction().ExecuteTarget(Target);
}

bool TrvActionSave::AskLostFormat(const AnsiString& FileName) const {
    const TRVALanguageInfo& language = ControlPanel().LanguageInfo();
    return MessageBox(language.FormatText(220, {ExtractFileName(FileName)}), language.Text(219),
                      MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool TrvActionSave::SaveDoc(TrvaDocumentInfo& Doc, bool AlreadyAsked) {
    TCustomZoroZudoEdit* editor = Doc.Editor;
    if (!Doc.Defined) {
        // Straight at the editor: no window need be active to find it.
        SaveAsAction().ExecuteTarget(editor);
        TrvaDocumentInfo* doc = FindDoc(editor);
        return doc && doc->Defined;
    }
    if (!AlreadyAsked && (LostFormatWarning & FilterBit(Doc.FileFormat)) &&
        (!Doc.Warned || Doc.WarnedFormat != Doc.FileFormat ||
         (Doc.FileFormat == ffeCustom && Doc.WarnedCustomIndex != Doc.CustomFilterIndex))) {
        if (!AskLostFormat(Doc.FileName)) return false;
        Doc.Warned = true;
        Doc.WarnedFormat = Doc.FileFormat;
        Doc.WarnedCustomIndex = Doc.CustomFilterIndex;
    }
    bool ok = false;
    {
        TCursor old = Screen->Cursor();
        Screen->SetCursor(crHourGlass);
        try {
            switch (Doc.FileFormat) {
            case ffeRVF:
                ok = editor->RVData()->SaveRvfFile(Doc.FileName, false, nullptr, editor->DocColor());
                break;
            case ffeRTF:
                ok = editor->SaveRtfFile(Doc.FileName, false);
                break;
            case ffeTextANSI:
                ok = editor->SaveTextFile(Doc.FileName, 80);
                break;
            case ffeTextUnicode:
                ok = editor->SaveTextFileW(Doc.FileName, 80);
                break;
            case ffeCustom: {
                TrvFileSaveFilter format = Doc.FileFormat;
                int index = Doc.CustomFilterIndex;
                ok = ControlPanel().CustomFileOperation(this, editor, Doc.FileName, rvafoSave, format, index);
                break;
            }
            default:
                ok = false;
            }
        } catch (const std::exception&) {
            ok = false;
        }
        Screen->SetCursor(old);
    }
    if (ok) {
        editor->Modified = false;
    } else {
        Doc.Defined = false;
        const TRVALanguageInfo& language = ControlPanel().LanguageInfo();
        MessageBox(language.Text(225), language.Text(222), MB_OK | MB_ICONERROR);
    }
    if (OnDocumentFileChange) OnDocumentFileChange(this, editor, Doc.FileName, Doc.FileFormat, !Doc.Defined);
    return ok;
}

void TrvActionSave::SetDocInfo(TCustomZoroZudoEdit* Editor, const AnsiString& FileName, bool Warned,
                               bool AlreadyAsked, bool SaveNow, bool Defined, int CustomFilterIndex,
                               TrvFileSaveFilter Format) {
    TrvaDocumentInfo* doc = FindDoc(Editor);
    if (!doc) {
        FDocs.push_back(std::make_unique<TrvaDocumentInfo>());
        doc = FDocs.back().get();
        doc->Editor = Editor;
        Editor->FreeNotification(this);
    }
    doc->FileName = FileName;
    doc->FileFormat = Format;
    doc->CustomFilterIndex = CustomFilterIndex;
    doc->Defined = Defined;
    doc->Warned = Warned;
    if (Warned) {
        doc->WarnedFormat = Format;
        doc->WarnedCustomIndex = CustomFilterIndex;
    }
    if (SaveNow)
        SaveDoc(*doc, AlreadyAsked);
    else if (OnDocumentFileChange)
        OnDocumentFileChange(this, Editor, FileName, Format, !Defined);
}

// ---------------------------------------------------------------- TrvActionSaveAs

TrvActionSaveAs::TrvActionSaveAs(TComponent* AOwner) : TrvActionCustomFileIO(AOwner) {
    MessageIndex = 24;
    Localize();
}

void TrvActionSaveAs::Notification(TComponent* AComponent, TOperation Operation) {
    TrvActionCustomFileIO::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FActionSave) FActionSave = nullptr;
}

TrvActionSave& TrvActionSaveAs::SaveAction() const {
    TrvActionSave* action = FActionSave ? FActionSave : FindComponentOfClass<TrvActionSave>(Owner());
    if (!action) throw Exception("TrvActionSave object is not assigned!");
    return *action;
}

AnsiString TrvActionSaveAs::Title() const {
    if (!DialogTitle.empty()) return DialogTitle;
    AnsiString title = ControlPanel().LanguageInfo().Text(24);
    std::erase(title, '&');
    if (title.size() >= 3 && title.compare(title.size() - 3, 3, "...") == 0) title.resize(title.size() - 3);
    return title;
}

void TrvActionSaveAs::ExecuteTarget(TObject* Target) {
    TCustomZoroZudoEdit* editor = GetControl(Target);
    TrvActionSave& save = SaveAction();
    if (!editor) return;
    TrvaDocumentInfo* doc = save.FindDoc(editor);
    TRVAControlPanel& panel = ControlPanel();

    TSaveDialog dialog(nullptr);
    std::vector<int> formats;
    dialog.DefaultExt = panel.DefaultExt;
    dialog.Filter = RVAGetSaveFilter(panel.LanguageInfo(), Filter, formats, panel.RVFFilter,
                                     panel.RVFLocalizable, AnsiString(), CustomFilter);
    dialog.Options =
        ofOverwritePrompt | ofHideReadOnly | ofPathMustExist | ofNoReadOnlyReturn | ofEnableSizing;
    dialog.Title = Title();
    if (doc) {
        dialog.FileName = ChangeFileExt(doc->FileName, "");
        int wanted = doc->FileFormat == ffeCustom ? -doc->CustomFilterIndex : int(doc->FileFormat);
        auto at = std::find(formats.begin(), formats.end(), wanted);
        if (at != formats.end()) dialog.FilterIndex = int(at - formats.begin()) + 1;
    }
    if (ExtractFilePath(dialog.FileName).empty()) dialog.InitialDir = InitialDir;
    if (!dialog.Execute()) return;
    if (TCustomForm* active = Screen->ActiveForm()) active->Repaint();
    TrvFileExportFilter format;
    int index;
    RVAFilterIndexToFormat(formats, dialog.FilterIndex - 1, format, index);
    bool warned = false;
    if (save.LostFormatWarning & FilterBit(format)) {
        const TRVALanguageInfo& language = panel.LanguageInfo();
        if (MessageBox(language.FormatText(220, {ExtractFileName(dialog.FileName)}), language.Text(219),
                       MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        warned = true;
    }
    save.SetDocInfo(editor, dialog.FileName, warned, true, true, true, index, format);
}

// ---------------------------------------------------------------- TrvActionPageSetup

TrvActionPageSetup::TrvActionPageSetup(TComponent* AOwner) : TrvCustomAction(AOwner) {
    MessageIndex = 34;
    Localize();
}

void TrvActionPageSetup::UpdateTarget(TObject*) {
    const TRVAControlPanel& panel = ControlPanel();
    SetEnabled(panel.ActionsEnabled && !Disabled && panel.RVPrint() && RVAHasPrinter());
}

void TrvActionPageSetup::ExecuteTarget(TObject*) {
    TRVAControlPanel& panel = ControlPanel();
    TRVPrint* print = panel.RVPrint();
    if (!print) return;
    TRVPageSetupValues values;
    RVAGetPageSetupValues(values);
    if (!ExecutePageSetup(*print, values, MarginsUnits == rvpmuInches, panel.DialogSettings())) return;
    RVASetPageSetupValues(values);
    if (OnChange) OnChange(this);
}

void RVAGetPageSetupValues(TRVPageSetupValues& Values) {
    auto take = [](const THFInfo& Info, TRVHFValues& HF) {
        HF.Text = Info.Text;
        HF.Alignment = Info.Alignment;
        HF.PrintOnFirstPage = Info.PrintOnFirstPage;
        HF.FontFrom(Info.Font.get());
    };
    take(RVAHeaderInfo(), Values.Header);
    take(RVAFooterInfo(), Values.Footer);
    Values.FirstPageNumber = RVAFirstPageNumber();
}

void RVASetPageSetupValues(const TRVPageSetupValues& Values) {
    auto give = [](const TRVHFValues& HF, THFInfo& Info) {
        Info.Text = HF.Text;
        Info.Alignment = HF.Alignment;
        Info.PrintOnFirstPage = HF.PrintOnFirstPage;
        HF.FontTo(Info.Font.get());
    };
    give(Values.Header, RVAHeaderInfo());
    give(Values.Footer, RVAFooterInfo());
    SetRVAFirstPageNumber(Values.FirstPageNumber);
}
