// Building the main window: its pictures, actions, menus, tool bars, pages,
// grids and status bar, as they were laid out at design time.
#include <vector>

#include "app/MainFrm.h"
#include "app/MainFrm_p.h"

namespace {

constexpr int kImageSize = 16;
constexpr int kFormWidth = 820;
constexpr int kFormHeight = 560;
constexpr int kMinWidth = 750;
constexpr int kMinHeight = 380;
constexpr int kToolBarHeight = 26;
constexpr int kStripHeight = 22;
constexpr int kStripLabelLeft = 8;
constexpr int kStripLabelTop = 4;
constexpr int kHeaderHeight = 25;
constexpr int kUsersTabImage = 24;
constexpr int kGroupsTabImage = 11;
constexpr int kStatusPanelWidths[] = {350, 220, 250};
// Colour slots of the grids.
constexpr int kUnfocusedSelectionColor = 6;
constexpr int kSelectionRectangleBorderColor = 13;

struct TActionSpec {
    TAction* TMain_Form::*Field;
    const char* Name;
    AnsiString Caption;
    AnsiString Hint;
    TShortCut ShortCut;
    int ImageIndex;
    void (TMain_Form::*Execute)(TObject*);
};

// "Tarvik" in straight double quotation marks.
AnsiString QuotedMaker() {
    return "\"Tarvik\"";
}

} // namespace

TMain_Form::TMain_Form(TComponent* AOwner) : TForm(AOwner) {
    SetName("Main_Form");
    SetCaption(MainCaption());
    SetPosition(TPosition::poScreenCenter);
    SetBounds(0, 0, kFormWidth, kFormHeight);
    Constraints()->SetMinWidth(kMinWidth);
    Constraints()->SetMinHeight(kMinHeight);
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };

    Main_ImageList = new TImageList(this);
    Main_ImageList->SetName("Main_ImageList");
    Main_ImageList->SetSize(kImageSize, kImageSize);
    Main_ImageList->AddImageData(MainImagesPng, MainImagesPng_SIZE);

    CreateActions();
    CreateMenus();
    CreateToolBars();

    Main_StatusBar = new TStatusBar(this);
    Main_StatusBar->SetName("Main_StatusBar");
    Main_StatusBar->SetParent(this);
    Main_StatusBar->SetAlign(TAlign::alBottom);
    for (int width : kStatusPanelWidths)
        Main_StatusBar->Panels()->Add()->SetWidth(width);

    CreatePages();

    // The window's place, size and state, kept in the settings store.
    Main_AppStorage = new TJvAppRegistryStorage(this);
    Main_AppStorage->SetName("Main_AppStorage");
    Main_AppStorage->SetRoot("Software\\Tarvik\\Luvora");
    Main_FormStorage = new TJvFormStorage(this);
    Main_FormStorage->SetName("Main_FormStorage");
    Main_FormStorage->SetAppStorage(Main_AppStorage);
    Main_FormStorage->SetAppStoragePath("Main_Form\\");
    Main_FormStorage->Loaded();
}

TMain_Form::~TMain_Form() {
    // The grids free their records through this window's handlers: they go
    // while the window is whole.
    delete Users_Grid;
    delete Teams_Grid;
    FormDestroy(this);
}

void TMain_Form::CreateActions() {
    Main_ActionList = new TActionList(this);
    Main_ActionList->SetName("Main_ActionList");
    Main_ActionList->SetImages(Main_ImageList);
    const TActionSpec specs[] = {
        {&TMain_Form::NewDB_SmallAction, "NewDB_SmallAction", "&Создать..."_cp,
         "Создать новую базу данных"_cp, ShortCut('N', ssCtrl), 0, &TMain_Form::NewDBExecute},
        {&TMain_Form::OpenDB_SmallAction, "OpenDB_SmallAction", "&Открыть..."_cp, "Открыть базу данных"_cp,
         ShortCut('O', ssCtrl), 1, &TMain_Form::OpenDBExecute},
        {&TMain_Form::Exit_SmallAction, "Exit_SmallAction", "&Выход"_cp, "Выход"_cp, scNone, -1,
         &TMain_Form::Exit_ActionExecute},
        {&TMain_Form::NewUser_SmallAction, "NewUser_SmallAction", "&Добавить..."_cp, "Добавить"_cp,
         ShortCut(VK_INSERT, 0), 2, &TMain_Form::AddTestExecute},
        {&TMain_Form::EditUser_SmallAction, "EditUser_SmallAction", "&Изменить..."_cp, "Изменить"_cp,
         ShortCut(VK_INSERT, ssCtrl), 3, &TMain_Form::EditTestExecute},
        {&TMain_Form::DelUser_SmallAction, "DelUser_SmallAction", "&Удалить..."_cp, "Удалить"_cp,
         ShortCut(VK_DELETE, 0), 4, &TMain_Form::DelTestExecute},
        {&TMain_Form::FindUser_SmallAction, "FindUser_SmallAction", "&Найти..."_cp, "Найти"_cp,
         ShortCut('F', ssCtrl), 5, &TMain_Form::SeekTestExecute},
        {&TMain_Form::StartTest_SmallAction, "StartTest_SmallAction", "Новое тестирование..."_cp,
         "Начать тестирование"_cp, ShortCut('T', ssCtrl), 7, &TMain_Form::StartTest_SmallActionExecute},
        {&TMain_Form::Blank_Action, "Blank_Action", "Ввод с бланка..."_cp,
         "Ввод данных тестирования с бланка"_cp, scNone, 16, &TMain_Form::Blank_ActionExecute},
        {&TMain_Form::ResultTest_SmallAction, "ResultTest_SmallAction", "Результаты..."_cp,
         "Результаты тестирования"_cp, ShortCut('R', ssCtrl), 9, &TMain_Form::ResultTestExecute},
        {&TMain_Form::Dynamics_Action, "Dynamics_Action", "Динамика..."_cp, "", scNone, 23,
         &TMain_Form::Dynamics_ActionExecute},
        {&TMain_Form::TeamBlank_Action, "TeamBlank_Action", "Создать..."_cp, "", scNone, 20,
         &TMain_Form::TeamBlank_ActionExecute},
        {&TMain_Form::TeamEditBl_Action, "TeamEditBl_Action", "Изменить..."_cp,
         "Изменить групповую обработку"_cp, ShortCut(VK_INSERT, ssCtrl), 22,
         &TMain_Form::TeamEditBl_ActionExecute},
        {&TMain_Form::TeamDelTest_Action, "TeamDelTest_Action", "Удалить..."_cp,
         "Удалить результаты групповой обработки"_cp, ShortCut(VK_DELETE, 0), 21,
         &TMain_Form::TeamDelTest_ActionExecute},
        {&TMain_Form::TeamRes_Action, "TeamRes_Action", "Результаты..."_cp,
         "Отобразить результаты группового тестирования"_cp, ShortCut('R', ssCtrl), 9,
         &TMain_Form::TeamRes_ActionExecute},
        {&TMain_Form::Options_SmallAction, "Options_SmallAction", "&Настройка..."_cp,
         "Настройка программы"_cp, scNone, 10, &TMain_Form::OptionExecute},
        {&TMain_Form::Help_SmallAction, "Help_SmallAction", "&Содержание"_cp, "Помощь по программе"_cp,
         ShortCut(VK_F1, 0), 12, &TMain_Form::HelpExecute},
        {&TMain_Form::Internet_SmallAction, "Internet_SmallAction", QuotedMaker() + " в &Интернете"_cp,
         "Открыть сайт "_cp + QuotedMaker(), scNone, 13, &TMain_Form::InternetHelpExecute},
        {&TMain_Form::About_SmallAction, "About_SmallAction", "О программе..."_cp, "О программе..."_cp,
         scNone, -1, &TMain_Form::AboutExecute},
    };
    for (const TActionSpec& spec : specs) {
        auto* action = new TAction(this);
        action->SetName(spec.Name);
        action->SetActionList(Main_ActionList);
        action->SetCaption(spec.Caption);
        action->SetHint(spec.Hint);
        action->SetShortCut(spec.ShortCut);
        action->SetImageIndex(spec.ImageIndex);
        action->OnExecute = [this, execute = spec.Execute](TObject* Sender) { (this->*execute)(Sender); };
        this->*spec.Field = action;
    }
}

void TMain_Form::CreateMenus() {
    Main_MainMenu = new TMainMenu(this);
    Main_MainMenu->SetName("Main_MainMenu");
    Main_MainMenu->SetImages(Main_ImageList);
    // nullptr is a separator.
    auto menu = [this](const char* Name, const AnsiString& Caption, std::vector<TAction*> Items) {
        auto* top = new TMenuItem(this);
        top->SetName(Name);
        top->SetCaption(Caption);
        Main_MainMenu->Items()->Add(top);
        for (TAction* action : Items) {
            auto* item = new TMenuItem(this);
            if (action)
                item->SetAction(action);
            else
                item->SetCaption("-");
            top->Add(item);
        }
        return top;
    };
    DB_MenuItem = menu("DB_MenuItem", "База данных"_cp,
                       {NewDB_SmallAction, OpenDB_SmallAction, nullptr, Exit_SmallAction});
    Users_MenuItem =
        menu("Users_MenuItem", "Тестируемые"_cp,
             {NewUser_SmallAction, EditUser_SmallAction, DelUser_SmallAction, nullptr, FindUser_SmallAction});
    Testing_MenuItem = menu(
        "Testing_MenuItem", "Тестирование"_cp,
        {StartTest_SmallAction, Blank_Action, nullptr, ResultTest_SmallAction, nullptr, Dynamics_Action});
    Teams_MenuItem = menu("Teams_MenuItem", "Групповая обработка"_cp,
                          {TeamBlank_Action, TeamEditBl_Action, TeamDelTest_Action, nullptr, TeamRes_Action});
    Service_MenuItem = menu("Service_MenuItem", "Сервис"_cp, {Options_SmallAction});
    Help_MenuItem = menu("Help_MenuItem", "Помощь"_cp,
                         {Help_SmallAction, Internet_SmallAction, nullptr, About_SmallAction});
    SetMenu(Main_MainMenu);

    Users_PopupMenu = new TPopupMenu(this);
    Users_PopupMenu->SetName("Users_PopupMenu");
    Users_PopupMenu->SetImages(Main_ImageList);
    for (TAction* action :
         {NewUser_SmallAction, EditUser_SmallAction, static_cast<TAction*>(nullptr), DelUser_SmallAction}) {
        auto* item = new TMenuItem(this);
        if (action)
            item->SetAction(action);
        else
            item->SetCaption("-");
        Users_PopupMenu->Items()->Add(item);
    }
}

TToolBar* TMain_Form::NewToolBar(const char* Name, const std::vector<std::pair<TAction*, bool>>& Buttons) {
    auto* bar = new TToolBar(this);
    bar->SetName(Name);
    bar->SetParent(this);
    bar->SetAlign(TAlign::alTop);
    bar->SetHeight(kToolBarHeight);
    bar->SetImages(Main_ImageList);
    bar->SetShowCaptions(true);
    bar->SetList(true);
    // A button with its image alone says what it does when the mouse rests
    // on it.
    bar->SetShowHint(true);
    // A button without an action is a separator; false: the image alone.
    for (const auto& [action, caption] : Buttons) {
        auto* button = new TToolButton(this);
        button->SetParent(bar);
        if (action) {
            button->SetAction(action);
            button->SetShowCaption(caption);
        } else {
            button->SetStyle(TToolButtonStyle::tbsSeparator);
        }
    }
    return bar;
}

void TMain_Form::CreateToolBars() {
    TAction* const separator = nullptr;
    Teams_ToolBar = NewToolBar("Teams_ToolBar", {{NewDB_SmallAction, false},
                                                 {OpenDB_SmallAction, true},
                                                 {separator, true},
                                                 {TeamBlank_Action, true},
                                                 {TeamEditBl_Action, false},
                                                 {TeamDelTest_Action, true},
                                                 {separator, true},
                                                 {FindUser_SmallAction, true},
                                                 {separator, true},
                                                 {TeamRes_Action, true},
                                                 {separator, true},
                                                 {Help_SmallAction, false}});
    Users_ToolBar = NewToolBar("Users_ToolBar", {{NewDB_SmallAction, false},
                                                 {OpenDB_SmallAction, true},
                                                 {separator, true},
                                                 {NewUser_SmallAction, true},
                                                 {EditUser_SmallAction, false},
                                                 {DelUser_SmallAction, true},
                                                 {separator, true},
                                                 {FindUser_SmallAction, true},
                                                 {separator, true},
                                                 {StartTest_SmallAction, true},
                                                 {Blank_Action, false},
                                                 {ResultTest_SmallAction, true},
                                                 {separator, true},
                                                 {Help_SmallAction, false}});
    // The group bar lies above the testee bar.
    Users_ToolBar->SetTop(kToolBarHeight);
}

void TMain_Form::CreatePages() {
    Main_PageControl = new TAdvPageControl(this);
    Main_PageControl->SetName("Main_PageControl");
    Main_PageControl->SetParent(this);
    Main_PageControl->SetAlign(TAlign::alClient);
    Main_PageControl->SetTabPosition(TTabPosition::tpBottom);
    Main_PageControl->SetHotTrack(true);
    TFont activeFont;
    activeFont.SetName("Tahoma");
    activeFont.SetStyle(fsBold);
    Main_PageControl->SetActiveFont(&activeFont);
    Main_PageControl->SetImages(Main_ImageList);
    Main_PageControl->SetTabBackGroundColor(clBtnFace);
    Main_PageControl->SetTabOverlap(0);
    Main_PageControl->SetMultiLine(true);
    Main_PageControl->OnChange = [this](TObject* Sender) { Main_PageControlChange(Sender); };

    auto page = [this](const char* Name, const AnsiString& Caption, int Image, const char* LabelName,
                       const AnsiString& Title, TControl*& Strip, TLabel*& Label) {
        auto* sheet = new TAdvTabSheet(this);
        sheet->SetName(Name);
        sheet->SetPageControl(Main_PageControl);
        sheet->SetCaption(Caption);
        sheet->SetImageIndex(Image);
        Strip = NewCaptionStrip(this, sheet, kStripHeight);
        Label = new TLabel(this);
        Label->SetName(LabelName);
        Label->SetParent(sheet);
        Label->SetTransparent(true);
        Label->Font()->SetStyle(fsBold);
        Label->SetBounds(kStripLabelLeft, kStripLabelTop, 0, 0);
        Label->SetCaption(Title);
        return sheet;
    };
    Users_TabSheet = page("Users_TabSheet", "Индивидуальное тестирование "_cp, kUsersTabImage, "Users_Label",
                          "Тестируемые"_cp, Users_Strip, Users_Label);
    Groups_TabSheet = page("Groups_TabSheet", "Групповая обработка"_cp, kGroupsTabImage, "Groups_Label",
                           "Группы"_cp, Groups_Strip, Groups_Label);

    Users_Grid = NewGrid("Users_Grid", Users_TabSheet);
    Users_Grid->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        Users_GridMouseDown(Sender, Button, Shift, X, Y);
    };
    Users_Grid->OnChange = [this](TBaseVirtualTree* Sender, PVirtualNode Node) {
        Users_GridChange(Sender, Node);
    };
    Teams_Grid = NewGrid("Teams_Grid", Groups_TabSheet);
    Teams_Grid->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        Teams_GridMouseDown(Sender, Button, Shift, X, Y);
    };
    Teams_Grid->OnChange = [this](TBaseVirtualTree* Sender, PVirtualNode Node) {
        Teams_GridChange(Sender, Node);
    };

    VTHeaderPopupMenu1 = new TVTHeaderPopupMenu(this);
    VTHeaderPopupMenu1->SetName("VTHeaderPopupMenu1");
    VTHeaderPopupMenu1->OnAddHeaderPopupItem = [this](TBaseVirtualTree* Sender, TColumnIndex Column,
                                                      TAddPopupItemType& Cmd) {
        VTHeaderPopupMenu1AddHeaderPopupItem(Sender, Column, Cmd);
    };
    Users_Grid->Header()->PopupMenu = VTHeaderPopupMenu1;
    Teams_Grid->Header()->PopupMenu = VTHeaderPopupMenu1;
    FUsers.Grid = Users_Grid;
    FTeams.Grid = Teams_Grid;
}

TVirtualStringTree* TMain_Form::NewGrid(const char* Name, TWinControl* Sheet) {
    auto* grid = new TVirtualStringTree(this);
    grid->SetName(Name);
    grid->SetParent(Sheet);
    grid->SetAlign(TAlign::alClient);
    TVTHeader* header = grid->Header();
    header->SetHeight(kHeaderHeight);
    header->SetStyle(hsXPStyle);
    header->SetOptions({hoColumnResize, hoDblClickResize, hoDrag, hoHotTrack, hoShowSortGlyphs, hoVisible});
    TStringTreeOptions* options = grid->TreeOptions();
    options->SetSelectionOptions({toMultiSelect, toFullRowSelect, toRightClickSelect, toExtendedFocus});
    options->SetPaintOptions({toShowHorzGridLines, toShowVertGridLines, toHideFocusRect, toThemeAware});
    grid->SetIndent(0);
    grid->DrawSelectionMode = smBlendedRectangle;
    grid->Colors()->SetColor(kUnfocusedSelectionColor, clGrayText);
    grid->Colors()->SetColor(kSelectionRectangleBorderColor, clHighlight);
    grid->HintMode = hmTooltip;
    grid->SetShowHint(true);
    grid->SetNodeDataSize(int(sizeof(TRecord)));

    grid->OnInitNode = [this](TBaseVirtualTree* Sender, PVirtualNode ParentNode, PVirtualNode Node,
                              TVirtualNodeInitStates& InitialStates) {
        Users_GridInitNode(Sender, ParentNode, Node, InitialStates);
    };
    grid->OnGetText = [this](TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                             TVSTTextType TextType, WideString& CellText) {
        Users_GridGetText(Sender, Node, Column, TextType, CellText);
    };
    grid->OnCompareNodes = [this](TBaseVirtualTree* Sender, PVirtualNode Node1, PVirtualNode Node2,
                                  TColumnIndex Column, int& Result) {
        Users_GridCompareNodes(Sender, Node1, Node2, Column, Result);
    };
    grid->OnHeaderClick = [this](TVTHeader* Sender, TColumnIndex Column, TMouseButton Button,
                                 TShiftState Shift, int X,
                                 int Y) { Users_GridHeaderClick(Sender, Column, Button, Shift, X, Y); };
    grid->OnBeforeCellPaint = [this](TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node,
                                     TColumnIndex Column, TRect CellRect) {
        Users_GridBeforeCellPaint(Sender, TargetCanvas, Node, Column, CellRect);
    };
    grid->OnAfterCellPaint = [this](TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node,
                                    TColumnIndex Column, TRect CellRect) {
        TestedUsers_GridAfterCellPaint(Sender, TargetCanvas, Node, Column, CellRect);
    };
    grid->OnFreeNode = [this](TBaseVirtualTree* Sender, PVirtualNode Node) {
        Users_GridFreeNode(Sender, Node);
    };
    // The context menu of both grids, shown once the right click has chosen
    // its row.
    grid->OnGetPopupMenu = [this](TBaseVirtualTree*, PVirtualNode, TColumnIndex, TPoint, bool&,
                                  TPopupMenu*& PopupMenu) { PopupMenu = Users_PopupMenu; };
    return grid;
}
