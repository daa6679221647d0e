// The main window: the testees and the group entries of the current logical
// database on two pages, with the menus, tool bars and actions that open
// every other window of the program.
#pragma once

#include <cstdint>
#include <memory>

#include "app/VTAddons.h"
#include "controls/pages/AdvPageControl.h"
#include "controls/vtree/VTHeaderPopup.h"
#include "controls/vtree/VirtualStringTree.h"
#include "core/DataMod.h"
#include "core/uTarvikApplicationClass.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "util/JvAppRegistryStorage.h"
#include "util/JvFormPlacement.h"

class TMain_Form : public TForm {
public:
    explicit TMain_Form(TComponent* AOwner);
    ~TMain_Form() override;

    void ShowFirstPage();
    void UpdateTitle();
    // The grid of the page in view takes the focus (once the window shows),
    // so that its selected row shows as the one keys act on.
    void FocusGrid();
    // Tool bars, menus and actions for the page in view and the grids' rows.
    void UpdatePageActions();
    // The record of the focused row, read from its list; false, with the
    // record left as it was, when no row is focused or it cannot be read.
    bool ReadFocusedTestee(TUser& User);
    bool ReadFocusedTeam(TTeam& Team);
    void BuildGridColumns();
    // Rebuild a grid from its list and focus the row of that id (the first
    // row when no row has it).
    void RefreshTestees(int32_t LocateUserId);
    void RefreshTeams(int32_t LocateTeamId);

    // The window's own copy of the current logical database.
    TDatabase CurrentDatabase;

    TImageList* Main_ImageList;
    TActionList* Main_ActionList;
    TAction* NewDB_SmallAction;
    TAction* OpenDB_SmallAction;
    TAction* Exit_SmallAction;
    TAction* NewUser_SmallAction;
    TAction* EditUser_SmallAction;
    TAction* DelUser_SmallAction;
    TAction* FindUser_SmallAction;
    TAction* StartTest_SmallAction;
    TAction* Blank_Action;
    TAction* ResultTest_SmallAction;
    TAction* Dynamics_Action;
    TAction* TeamBlank_Action;
    TAction* TeamEditBl_Action;
    TAction* TeamDelTest_Action;
    TAction* TeamRes_Action;
    TAction* Options_SmallAction;
    TAction* Help_SmallAction;
    TAction* Internet_SmallAction;
    TAction* About_SmallAction;

    TMainMenu* Main_MainMenu;
    TMenuItem* DB_MenuItem;
    TMenuItem* Users_MenuItem;
    TMenuItem* Testing_MenuItem;
    TMenuItem* Teams_MenuItem;
    TMenuItem* Service_MenuItem;
    TMenuItem* Help_MenuItem;
    TToolBar* Teams_ToolBar;
    TToolBar* Users_ToolBar;
    TAdvPageControl* Main_PageControl;
    TAdvTabSheet* Users_TabSheet;
    TAdvTabSheet* Groups_TabSheet;
    // The gradient strips at the top of the pages, under their captions.
    TControl* Users_Strip;
    TControl* Groups_Strip;
    TLabel* Users_Label;
    TLabel* Groups_Label;
    TVirtualStringTree* Users_Grid;
    TVirtualStringTree* Teams_Grid;
    TStatusBar* Main_StatusBar;
    TPopupMenu* Users_PopupMenu;
    TVTHeaderPopupMenu* VTHeaderPopupMenu1;
    TJvAppRegistryStorage* Main_AppStorage;
    TJvFormStorage* Main_FormStorage;

    // Handlers.
    void Main_PageControlChange(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormDestroy(TObject* Sender);
    void NewDBExecute(TObject* Sender);
    void OpenDBExecute(TObject* Sender);
    void Exit_ActionExecute(TObject* Sender);
    void AddTestExecute(TObject* Sender);
    void EditTestExecute(TObject* Sender);
    void DelTestExecute(TObject* Sender);
    void SeekTestExecute(TObject* Sender);
    void StartTest_SmallActionExecute(TObject* Sender);
    void Blank_ActionExecute(TObject* Sender);
    void ResultTestExecute(TObject* Sender);
    void Dynamics_ActionExecute(TObject* Sender);
    void TeamBlank_ActionExecute(TObject* Sender);
    void TeamEditBl_ActionExecute(TObject* Sender);
    void TeamDelTest_ActionExecute(TObject* Sender);
    void TeamRes_ActionExecute(TObject* Sender);
    void OptionExecute(TObject* Sender);
    void HelpExecute(TObject* Sender);
    void InternetHelpExecute(TObject* Sender);
    void AboutExecute(TObject* Sender);

    void Users_GridInitNode(TBaseVirtualTree* Sender, PVirtualNode ParentNode, PVirtualNode Node,
                            TVirtualNodeInitStates& InitialStates);
    void Users_GridGetText(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                           TVSTTextType TextType, WideString& CellText);
    void Users_GridCompareNodes(TBaseVirtualTree* Sender, PVirtualNode Node1, PVirtualNode Node2,
                                TColumnIndex Column, int& Result);
    void Users_GridHeaderClick(TVTHeader* Sender, TColumnIndex Column, TMouseButton Button, TShiftState Shift,
                               int X, int Y);
    void Users_GridBeforeCellPaint(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node,
                                   TColumnIndex Column, TRect CellRect);
    void TestedUsers_GridAfterCellPaint(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node,
                                        TColumnIndex Column, TRect CellRect);
    void Users_GridFreeNode(TBaseVirtualTree* Sender, PVirtualNode Node);
    void VTHeaderPopupMenu1AddHeaderPopupItem(TBaseVirtualTree* Sender, TColumnIndex Column,
                                              TAddPopupItemType& Cmd);
    void Users_GridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Teams_GridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Users_GridChange(TBaseVirtualTree* Sender, PVirtualNode Node);
    void Teams_GridChange(TBaseVirtualTree* Sender, PVirtualNode Node);

private:
    // What the window keeps for one grid.
    struct TGridState {
        TVirtualStringTree* Grid = nullptr;
        std::unique_ptr<TVTDBColumns> Columns;
        TDataColumn KeyColumn;
        // The rows of the refresh that runs.
        TGridRows Rows;
        // The id the running refresh focuses; -1 outside a refresh.
        Variant LocateId = -1;
        PVirtualNode Located = nullptr;
        // A mouse button went down over no node.
        bool EmptyClick = false;
    };

    // Building the window (MainFrmCreate.cpp).
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreatePages();
    // A grid on Sheet with the settings and handlers both grids share.
    TVirtualStringTree* NewGrid(const char* Name, TWinControl* Sheet);
    TToolBar* NewToolBar(const char* Name, const std::vector<std::pair<TAction*, bool>>& Buttons);

    TGridState* StateOf(TBaseVirtualTree* Grid);
    bool TesteePageActive() const { return Main_PageControl->ActivePage() == Users_TabSheet; }
    // Rebuilds Grid from the rows Query holds.
    void RefreshGrid(TGridState& State, TIBQuery* Query, int32_t LocateId);
    // The ids of the selected rows, in tree order.
    std::vector<int32_t> SelectedKeys(TBaseVirtualTree* Grid);
    // The grid's change: a click on empty space selects a row again.
    void KeepSelection(TGridState& State);
    // Results and dynamics follow the focused testee on the testee page and
    // are off on the group page.
    void UpdateTesteeResultActions();

    TGridState FUsers;
    TGridState FTeams;
};

// The process-wide application object the windows reach the options and the
// psychologist password through; set by RunMainForm.
extern TTarvikApplication* TarvikApplication;

// Creates the main window for Database, runs the message loop until it
// closes, then frees it.
void RunMainForm(TTarvikApplication* AppObject, const TDatabase& Database);
// The window as RunMainForm makes it, before the message loop: the first
// page, the grids' columns and stored layouts, both grids filled, the title.
std::unique_ptr<TMain_Form> CreateMainForm(TTarvikApplication* AppObject, const TDatabase& Database);
