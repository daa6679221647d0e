// The main window's two grids: their column tables, the refresh from their
// lists, their handlers, and the rows the actions work on.
#include "app/MainFrm.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

TDataColumn Column(const char* FieldName, const AnsiString& Title, uint8_t FieldType, bool Visible, int Width,
                   uint8_t Alignment, bool InPopup) {
    return TDataColumn{FieldName, Title, FieldType, Visible, Width, Alignment, InPopup};
}

std::vector<TDataColumn> TesteeColumns() {
    return {
        Column("FIO", "Ф.И.О."_cp, ftString, true, 50, daLeft, false),
        Column("SEX", "Пол"_cp, ftString, true, 50, daCenter, true),
        Column("AGE", "Возраст"_cp, ftSmallint, true, 80, daCenter, true),
        Column("POSIT", "Должность"_cp, ftString, false, 100, daLeft, true),
        Column("Seniority", "Общий стаж работы"_cp, ftFloat, false, 80, daCenter, true),
        Column("OrgSeniority", "Период работы  в организации"_cp, ftFloat, false, 80, daCenter, true),
        Column("Job", "Место работы"_cp, ftString, false, 100, daLeft, true),
        Column("Education", "Образование"_cp, ftString, false, 150, daLeft, true),
        Column("Spec", "Специальность по образованию"_cp, ftString, false, 150, daLeft, true),
        Column("Test_count", "Количество тестирований"_cp, ftSmallint, true, 80, daCenter, true),
        Column("Last_test", "Последнее тестирование"_cp, ftDate, true, 150, daCenter, true),
    };
}

std::vector<TDataColumn> TeamColumns() {
    return {
        Column("JOB", "Место работы"_cp, ftString, true, 150, daLeft, false),
        Column("Department", "Отдел"_cp, ftString, true, 150, daLeft, true),
        Column("NumberOfEmployes", "Количество работников отдела"_cp, ftInteger, true, 80, daCenter, true),
        Column("NumberOfTested", "Количество респондентов"_cp, ftInteger, true, 80, daCenter, true),
        Column("Datetest", "Дата тестирования"_cp, ftDateTime, true, 150, daCenter, true),
    };
}

std::unique_ptr<TVTDBColumns> ColumnTable(const std::vector<TDataColumn>& Columns) {
    auto table = std::make_unique<TVTDBColumns>();
    for (const TDataColumn& c : Columns)
        table->Add(c);
    return table;
}

constexpr int kTesteeCountPanel = 1;
constexpr int kTeamCountPanel = 2;

} // namespace

void TMain_Form::BuildGridColumns() {
    FUsers.KeyColumn = Column("USER_ID", "", ftInteger, false, 0, daLeft, false);
    FUsers.Columns = ColumnTable(TesteeColumns());
    BuildTreeColumns(Users_Grid, *FUsers.Columns);
    FTeams.KeyColumn = Column("TEAM_ID", "", ftInteger, false, 0, daLeft, false);
    FTeams.Columns = ColumnTable(TeamColumns());
    BuildTreeColumns(Teams_Grid, *FTeams.Columns);
}

TMain_Form::TGridState* TMain_Form::StateOf(TBaseVirtualTree* Grid) {
    if (Grid == Users_Grid) return &FUsers;
    if (Grid == Teams_Grid) return &FTeams;
    return nullptr;
}

void TMain_Form::RefreshTestees(int32_t LocateUserId) {
    Main_DataModule->OpenUsers(LocateUserId, CurrentDatabase.DB_ID);
    Main_StatusBar->Panels()
        ->Items(kTesteeCountPanel)
        ->SetText("Количество тестируемых - "_cp + IntToStr(Main_DataModule->Users_IBQuery->RecordCount()));
    RefreshGrid(FUsers, Main_DataModule->Users_IBQuery, LocateUserId);
}

void TMain_Form::RefreshTeams(int32_t LocateTeamId) {
    Main_DataModule->OpenTeams(LocateTeamId, CurrentDatabase.DB_ID);
    Main_StatusBar->Panels()
        ->Items(kTeamCountPanel)
        ->SetText("Количество групп - "_cp + IntToStr(Main_DataModule->Teams_IBQuery->RecordCount()));
    RefreshGrid(FTeams, Main_DataModule->Teams_IBQuery, LocateTeamId);
}

void TMain_Form::RefreshGrid(TGridState& State, TIBQuery* Query, int32_t LocateId) {
    TVirtualStringTree* grid = State.Grid;
    // The rows first, so a node initialised at any moment finds its row.
    State.Rows.Read(Query, *State.Columns, State.KeyColumn);
    grid->BeginUpdate();
    TScopeGuard done([&] {
        State.LocateId = -1;
        State.Located = nullptr;
        State.Rows.Clear();
        grid->EndUpdate();
        UpdatePageActions();
    });
    grid->Clear();
    State.LocateId = LocateId;
    State.Located = nullptr;
    grid->SetNodeDataSize(int(sizeof(TRecord)));
    grid->SetRootNodeCount(uint32_t(State.Rows.Count()));
    grid->SortTree(grid->Header()->SortColumn(), grid->Header()->SortDirection(), true);
    grid->ClearSelection();
    PVirtualNode node = State.Located ? State.Located : grid->GetFirst();
    if (node) {
        grid->SetFocusedNode(node);
        grid->SetSelected(node, true);
    }
}

namespace {
// The record whose id field Id is the focused row's key, read by Read; the
// record is left as it was unless the read succeeds.
template <class T>
bool ReadFocused(TBaseVirtualTree* Grid, T& Record, int32_t T::*Id, bool (TMain_DataModule::*Read)(T&)) {
    Variant key;
    GetFocusedKey(Grid, key);
    if (key.IsEmptyOrNull()) return false;
    T read = Record;
    read.*Id = key.AsInteger();
    if (!(Main_DataModule->*Read)(read)) return false;
    Record = read;
    return true;
}
} // namespace

bool TMain_Form::ReadFocusedTestee(TUser& User) {
    return ReadFocused(Users_Grid, User, &TUser::USER_ID, &TMain_DataModule::ReadUser);
}

bool TMain_Form::ReadFocusedTeam(TTeam& Team) {
    return ReadFocused(Teams_Grid, Team, &TTeam::TEAM_ID, &TMain_DataModule::ReadTeam);
}

std::vector<int32_t> TMain_Form::SelectedKeys(TBaseVirtualTree* Grid) {
    std::vector<int32_t> keys;
    for (PVirtualNode node = Grid->GetFirstSelected(); node; node = Grid->GetNextSelected(node))
        if (auto* record = Grid->GetNodeData<TRecord>(node); record && !record->Key.IsEmptyOrNull())
            keys.push_back(record->Key.AsInteger());
    return keys;
}

void TMain_Form::Users_GridInitNode(TBaseVirtualTree* Sender, PVirtualNode, PVirtualNode Node,
                                    TVirtualNodeInitStates&) {
    TGridState* state = StateOf(Sender);
    if (!state) return;
    if (InitNodeFromDataSet(Sender, state->Rows, state->LocateId, Node)) state->Located = Node;
}

void TMain_Form::Users_GridGetText(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                   TVSTTextType, WideString& CellText) {
    CellText = AnsiToWide(GetNodeText(Sender, Node, Column));
}

void TMain_Form::Users_GridCompareNodes(TBaseVirtualTree* Sender, PVirtualNode Node1, PVirtualNode Node2,
                                        TColumnIndex Column, int& Result) {
    if (StateOf(Sender)) CompareNodeValues(Sender, Node1, Node2, Column, Result);
}

void TMain_Form::Users_GridHeaderClick(TVTHeader* Sender, TColumnIndex Column, TMouseButton Button,
                                       TShiftState, int, int) {
    HeaderClickSort(Sender, Column, Button);
}

void TMain_Form::Users_GridBeforeCellPaint(TBaseVirtualTree*, TCanvas* TargetCanvas, PVirtualNode Node,
                                           TColumnIndex, TRect CellRect) {
    const TApplicationOptions* options = TarvikApplication ? TarvikApplication->Options.get() : nullptr;
    if (!options) return;
    TargetCanvas->Brush()->SetColor(Node->Index % 2 == 0 ? options->FirstGridRowColor
                                                         : options->SecondGridRowColor);
    TargetCanvas->FillRect(CellRect);
}

void TMain_Form::TestedUsers_GridAfterCellPaint(TBaseVirtualTree* Sender, TCanvas* TargetCanvas,
                                                PVirtualNode Node, TColumnIndex Column, TRect CellRect) {
    PaintFocusMark(Sender, TargetCanvas, Node, Main_ImageList, CellRect, Column);
}

void TMain_Form::Users_GridFreeNode(TBaseVirtualTree* Sender, PVirtualNode Node) {
    FreeNodeData(Sender, Node);
}

void TMain_Form::VTHeaderPopupMenu1AddHeaderPopupItem(TBaseVirtualTree* Sender, TColumnIndex Column,
                                                      TAddPopupItemType& Cmd) {
    if (TGridState* state = StateOf(Sender); state && state->Columns)
        GetHeaderPopupItemCmd(Sender, Column, *state->Columns, Cmd);
}

void TMain_Form::Users_GridMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    THitInfo hit;
    Users_Grid->GetHitTestInfoAt(X, Y, true, hit);
    if (!hit.HitNode) FUsers.EmptyClick = true;
}

void TMain_Form::Teams_GridMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    THitInfo hit;
    Teams_Grid->GetHitTestInfoAt(X, Y, true, hit);
    if (!hit.HitNode) FTeams.EmptyClick = true;
}

void TMain_Form::KeepSelection(TGridState& State) {
    if (!State.EmptyClick) return;
    State.EmptyClick = false;
    PVirtualNode node = State.Grid->FocusedNode();
    if (!node) node = State.Grid->GetLast();
    if (node) State.Grid->SetSelected(node, true);
}

void TMain_Form::Users_GridChange(TBaseVirtualTree*, PVirtualNode) {
    KeepSelection(FUsers);
    UpdateTesteeResultActions();
}

void TMain_Form::Teams_GridChange(TBaseVirtualTree*, PVirtualNode) {
    KeepSelection(FTeams);
}

void TMain_Form::UpdateTesteeResultActions() {
    bool hasTests = false;
    if (TesteePageActive() && Users_Grid->GetRootNodeCount() > 0) {
        TUser user;
        hasTests = ReadFocusedTestee(user) && user.HasTests;
    }
    ResultTest_SmallAction->SetEnabled(hasTests);
    Dynamics_Action->SetEnabled(hasTests);
}
