// The database chooser: its window, its list of databases, its actions and
// its entry function.
#include "app/DB_Frm.h"

#include <cstddef>

#include "app/DBEdit_Frm.h"
#include "app/DialogParts.h"
#include "app/Password_Frm.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/MessageBox.h"

// The chooser's pictures, 16 x 16 each, in one strip.
extern const unsigned char DBImagesPng[];
extern const std::size_t DBImagesPng_SIZE;

namespace {
constexpr int kProtectedImage = 4;
constexpr int kMarkColumnWidth = 25;
constexpr int kNameColumnWidth = 350;
constexpr int kNameColumnMinWidth = 330;
constexpr int kToolBarHeight = 26;
} // namespace

TDB_Form::TDB_Form(TComponent* AOwner) : TForm(AOwner) {
    SetUpDialog(this, "DB_Form", "Выбор базы данных"_cp, 441, 290);
    DB_ImageList = new TImageList(this);
    DB_ImageList->SetName("DB_ImageList");
    DB_ImageList->SetSize(16, 16);
    DB_ImageList->AddImageData(DBImagesPng, DBImagesPng_SIZE);
    CreateActions();

    GroupBox1 = new TGroupBox(this);
    GroupBox1->SetName("GroupBox1");
    GroupBox1->SetParent(this);
    GroupBox1->SetBounds(8, 4, 425, 240);
    GroupBox1->SetCaption("Доступные базы данных"_cp);

    DB_ToolBar = new TToolBar(this);
    DB_ToolBar->SetName("DB_ToolBar");
    DB_ToolBar->SetParent(GroupBox1);
    DB_ToolBar->SetAlign(TAlign::alTop);
    DB_ToolBar->SetHeight(kToolBarHeight);
    DB_ToolBar->SetImages(DB_ImageList);
    DB_ToolBar->SetShowCaptions(true);
    DB_ToolBar->SetList(true);
    // nullptr is a separator; false shows the image alone.
    const std::pair<TAction*, bool> buttons[] = {
        {NewDB_Action, true}, {EditDB_Action, false}, {nullptr, true}, {DelDB_Action, true}};
    for (const auto& [action, caption] : buttons) {
        auto* button = new TToolButton(this);
        button->SetParent(DB_ToolBar);
        if (action) {
            button->SetAction(action);
            button->SetShowCaption(caption);
        } else {
            button->SetStyle(TToolButtonStyle::tbsSeparator);
        }
    }
    CreateGrid();

    OK_But = NewButton(this, this, "OK_But", "&Открыть"_cp, 272, 256, true, false);
    OK_But->OnClick = [this](TObject* Sender) { OK_ButClick(Sender); };
    Cancel_But = NewButton(this, this, "Cancel_But", "&Отмена"_cp, 358, 256, false, true);
    Cancel_But->OnClick = [this](TObject* Sender) { Cancel_ButClick(Sender); };
    SetActiveControl(Databases_Grid);
}

TDB_Form::~TDB_Form() {
    // The grid frees its records through this window's handler: it goes
    // while the window is whole.
    delete Databases_Grid;
}

void TDB_Form::CreateActions() {
    DB_ActionList = new TActionList(this);
    DB_ActionList->SetName("DB_ActionList");
    DB_ActionList->SetImages(DB_ImageList);
    auto action = [this](const char* Name, const AnsiString& Caption, const AnsiString& Hint, TShortCut Key,
                         int Image, void (TDB_Form::*Run)(TObject*)) {
        auto* a = new TAction(this);
        a->SetName(Name);
        a->SetActionList(DB_ActionList);
        a->SetCaption(Caption);
        a->SetHint(Hint);
        a->SetShortCut(Key);
        a->SetImageIndex(Image);
        a->OnExecute = [this, Run](TObject* Sender) { (this->*Run)(Sender); };
        return a;
    };
    NewDB_Action = action("NewDB_Action", "Создать..."_cp, "Создать базу данных"_cp, ShortCut(VK_INSERT, 0),
                          0, &TDB_Form::AddDBClick);
    EditDB_Action = action("EditDB_Action", "Свойства..."_cp, "Свойства выбранной базы данных"_cp,
                           ShortCut(VK_INSERT, ssCtrl), 1, &TDB_Form::EditDBClick);
    DelDB_Action = action("DelDB_Action", "Удалить..."_cp, "Удалить выбранную базу данных"_cp,
                          ShortCut(VK_DELETE, 0), 2, &TDB_Form::DelDBClick);

    DB_PopupMenu = new TPopupMenu(this);
    DB_PopupMenu->SetName("DB_PopupMenu");
    DB_PopupMenu->SetImages(DB_ImageList);
    for (TAction* a : {NewDB_Action, EditDB_Action, static_cast<TAction*>(nullptr), DelDB_Action}) {
        auto* item = new TMenuItem(this);
        if (a)
            item->SetAction(a);
        else
            item->SetCaption("-");
        item->SetDefault(a == EditDB_Action);
        DB_PopupMenu->Items()->Add(item);
    }
}

void TDB_Form::CreateGrid() {
    Databases_Grid = new TVirtualStringTree(this);
    Databases_Grid->SetName("Databases_Grid");
    Databases_Grid->SetParent(GroupBox1);
    Databases_Grid->SetAlign(TAlign::alClient);
    Databases_Grid->SetStateImages(DB_ImageList);
    Databases_Grid->SetPopupMenu(DB_PopupMenu);
    Databases_Grid->HintMode = hmHint;
    Databases_Grid->SetShowHint(true);
    TVTHeader* header = Databases_Grid->Header();
    header->SetImages(DB_ImageList);
    header->SetOptions({hoColumnResize, hoVisible});
    TVirtualTreeColumn* mark = header->Columns()->Add();
    mark->SetMinWidth(kMarkColumnWidth);
    mark->SetMaxWidth(kMarkColumnWidth);
    mark->SetWidth(kMarkColumnWidth);
    mark->SetAlignment(taCenter);
    mark->SetImageIndex(kProtectedImage);
    TVirtualTreeColumn* name = header->Columns()->Add();
    name->SetText(AnsiToWide("База данных"_cp));
    name->SetMinWidth(kNameColumnMinWidth);
    name->SetMaxWidth(kNameColumnWidth);
    name->SetWidth(kNameColumnWidth);
    TStringTreeOptions* options = Databases_Grid->TreeOptions();
    options->SetSelectionOptions({toFullRowSelect, toRightClickSelect});
    options->SetPaintOptions({toShowHorzGridLines, toShowVertGridLines, toThemeAware});
    Databases_Grid->SetIndent(0);
    Databases_Grid->SetNodeDataSize(int(sizeof(TDBRec)));

    Databases_Grid->OnInitNode = [this](TBaseVirtualTree* Sender, PVirtualNode ParentNode, PVirtualNode Node,
                                        TVirtualNodeInitStates& InitialStates) {
        Databases_GridInitNode(Sender, ParentNode, Node, InitialStates);
    };
    Databases_Grid->OnGetText = [this](TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                       TVSTTextType TextType, WideString& CellText) {
        Databases_GridGetText(Sender, Node, Column, TextType, CellText);
    };
    Databases_Grid->OnGetImageIndex = [this](TBaseVirtualTree* Sender, PVirtualNode Node, TVTImageKind Kind,
                                             TColumnIndex Column, bool& Ghosted, int& ImageIndex) {
        Databases_GridGetImageIndex(Sender, Node, Kind, Column, Ghosted, ImageIndex);
    };
    Databases_Grid->OnGetHint = [this](TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                       TVTTooltipLineBreakStyle& LineBreakStyle, WideString& HintText) {
        Databases_GridGetHint(Sender, Node, Column, LineBreakStyle, HintText);
    };
    Databases_Grid->OnFreeNode = [this](TBaseVirtualTree* Sender, PVirtualNode Node) {
        Databases_GridFreeNode(Sender, Node);
    };
    Databases_Grid->OnDblClick = [this](TObject* Sender) { Databases_GridDblClick(Sender); };
}

void TDB_Form::RefreshList(int32_t LocateDbId) {
    List->Refresh(LocateDbId);
    Databases_Grid->BeginUpdate();
    TScopeGuard done([this] {
        FLocated = nullptr;
        Databases_Grid->EndUpdate();
    });
    Databases_Grid->Clear();
    Databases_Grid->SetNodeDataSize(int(sizeof(TDBRec)));
    FLocateId = LocateDbId;
    FLocated = nullptr;
    List->Dataset->First();
    Databases_Grid->SetRootNodeCount(uint32_t(List->Dataset->RecordCount()));
    // Initialises every node in the list's order; nothing compares, so the
    // order stays.
    Databases_Grid->SortTree(0, sdAscending, true);
    PVirtualNode node = FLocated ? FLocated : Databases_Grid->GetFirst();
    if (node) {
        Databases_Grid->SetFocusedNode(node);
        Databases_Grid->SetSelected(node, true);
    }
    const bool any = !List->Dataset->IsEmpty();
    EditDB_Action->SetEnabled(any);
    DelDB_Action->SetEnabled(any);
    OK_But->SetEnabled(any);
}

void TDB_Form::Databases_GridInitNode(TBaseVirtualTree* Sender, PVirtualNode, PVirtualNode Node,
                                      TVirtualNodeInitStates&) {
    TIBQuery* rows = List->Dataset;
    auto* rec = new (Sender->GetNodeData(Node)) TDBRec;
    if (rows->Eof()) return;
    rec->DB_ID = rows->FieldByName("DB_ID").AsInteger();
    rec->DB_NAME = rows->FieldByName("DB_NAME").AsString();
    rec->IsProtected = !rows->FieldByName("DB_PASSWORD").AsString().empty();
    if (rec->DB_ID == FLocateId) FLocated = Node;
    rows->Next();
}

void TDB_Form::Databases_GridGetText(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                     TVSTTextType, WideString& CellText) {
    const TDBRec* rec = Sender->GetNodeData<TDBRec>(Node);
    CellText = rec && Column == 1 ? AnsiToWide(rec->DB_NAME) : WideString();
}

void TDB_Form::Databases_GridGetImageIndex(TBaseVirtualTree* Sender, PVirtualNode Node, TVTImageKind,
                                           TColumnIndex Column, bool&, int& ImageIndex) {
    const TDBRec* rec = Sender->GetNodeData<TDBRec>(Node);
    if (rec && Column <= 0 && rec->IsProtected) ImageIndex = kProtectedImage;
}

void TDB_Form::Databases_GridGetHint(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                     TVTTooltipLineBreakStyle&, WideString& HintText) {
    const TDBRec* rec = Sender->GetNodeData<TDBRec>(Node);
    if (rec && Column <= 0 && rec->IsProtected) HintText = AnsiToWide("База данных защищена паролем"_cp);
}

void TDB_Form::Databases_GridFreeNode(TBaseVirtualTree* Sender, PVirtualNode Node) {
    if (auto* rec = Sender->GetNodeData<TDBRec>(Node)) rec->~TDBRec();
}

void TDB_Form::Databases_GridDblClick(TObject* Sender) {
    if (Databases_Grid->GetRootNodeCount() > 0) OK_ButClick(Sender);
}

bool TDB_Form::ReadSelectedDatabase(TDatabase& Selected) {
    PVirtualNode node = Databases_Grid->GetFirstSelected();
    const TDBRec* rec = node ? Databases_Grid->GetNodeData<TDBRec>(node) : nullptr;
    return rec && List->ReadDatabase(rec->DB_ID, Selected);
}

bool TDB_Form::CheckDatabasePassword(const AnsiString& Password) {
    if (Password.empty()) return true;
    AnsiString typed = Password;
    return InputPassword("Ввод пароля"_cp, typed, false);
}

bool TDB_Form::ReadSelectedWithPassword(TDatabase& Selected) {
    return ReadSelectedDatabase(Selected) && CheckDatabasePassword(Selected.DB_PASSWORD);
}

void TDB_Form::OK_ButClick(TObject*) {
    TDatabase selected;
    if (ReadSelectedWithPassword(selected)) SetModalResult(mrOk);
}

void TDB_Form::Cancel_ButClick(TObject*) {
    SetModalResult(mrCancel);
}

void TDB_Form::AddDBClick(TObject*) {
    TDatabase added;
    const bool stored = EditDatabaseCard(added, [this](TDatabase& Typed) {
        Typed.DB_ID = List->AddDatabase(Typed);
        return Typed.DB_ID != -1;
    });
    if (stored) RefreshList(added.DB_ID);
}

void TDB_Form::EditDBClick(TObject*) {
    TDatabase edited;
    if (!ReadSelectedWithPassword(edited)) return;
    const bool stored =
        EditDatabaseCard(edited, [this](TDatabase& Typed) { return List->UpdateDatabase(Typed) != -1; });
    if (!stored) return;
    if (edited.DB_ID == Database.DB_ID) {
        Database = edited;
        OpenDatabaseEdited = true;
    }
    RefreshList(edited.DB_ID);
}

void TDB_Form::DelDBClick(TObject*) {
    if (MessageBox("При удалении удалятся все тестируемые, а также их результаты в удаляемой базе данных. "
                   "Вы действительно желаете удалить базу данных. "_cp,
                   "Подтверждение удаления базы данных"_cp, MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    TDatabase selected;
    if (!ReadSelectedWithPassword(selected)) return;
    if (selected.DB_ID == Database.DB_ID) {
        MessageBox("Невозможно удалить открытую базу данных!"_cp, "Ошибка!"_cp, MB_OK | MB_ICONWARNING);
        return;
    }
    if (List->DeleteDatabase(selected.DB_ID) != -1) RefreshList(-1);
}

std::unique_ptr<TDB_Form> NewDatabaseChooser() {
    auto chooser = std::make_unique<TDB_Form>(nullptr);
    chooser->HandleNeeded();
    return chooser;
}

bool ChooseDatabase(TDatabase& Database) {
    return ChooseDatabase(Database, std::make_unique<TDB_Form>(nullptr));
}

bool ChooseDatabase(TDatabase& Database, std::unique_ptr<TDB_Form> Chooser) {
    auto chooser = std::move(Chooser);
    chooser->Database = Database;
    TListDatabases list;
    chooser->List = &list;
    TScopeGuard forget([&] { chooser->List = nullptr; });
    chooser->RefreshList(Database.DB_ID);
    if (chooser->ShowModal() == mrOk && chooser->ReadSelectedDatabase(Database)) return true;
    // The open database keeps the name and password it was given here.
    if (chooser->OpenDatabaseEdited) Database = chooser->Database;
    return false;
}
