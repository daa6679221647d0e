// The database chooser: lists the logical databases and opens, creates,
// edits and deletes them.
#pragma once

#include <cstdint>
#include <memory>

#include "controls/vtree/VirtualStringTree.h"
#include "core/DataMod.h"
#include "core/uDBsClass.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

// The node data of the chooser's list.
struct TDBRec {
    int32_t DB_ID = 0;
    AnsiString DB_NAME;
    bool IsProtected = false;
};

class TDB_Form : public TForm {
public:
    explicit TDB_Form(TComponent* AOwner);
    ~TDB_Form() override;

    void RefreshList(int32_t LocateDbId);
    // The selected database with its plain password; false, with Database
    // untouched, when none is selected.
    bool ReadSelectedDatabase(TDatabase& Database);
    // True when Password is empty or the user typed it.
    bool CheckDatabasePassword(const AnsiString& Password);

    // The database open in the main window (DB_ID 0: none); edits made to it
    // here are kept in it.
    TDatabase Database;
    // Database was changed by an edit here.
    bool OpenDatabaseEdited = false;
    // The list, for the time the window is shown.
    TListDatabases* List = nullptr;

    TImageList* DB_ImageList;
    TActionList* DB_ActionList;
    TAction* NewDB_Action;
    TAction* EditDB_Action;
    TAction* DelDB_Action;
    TGroupBox* GroupBox1;
    TToolBar* DB_ToolBar;
    TVirtualStringTree* Databases_Grid;
    TPopupMenu* DB_PopupMenu;
    TButton* OK_But;
    TButton* Cancel_But;

    void OK_ButClick(TObject* Sender);
    void Cancel_ButClick(TObject* Sender);
    void AddDBClick(TObject* Sender);
    void EditDBClick(TObject* Sender);
    void DelDBClick(TObject* Sender);
    void Databases_GridInitNode(TBaseVirtualTree* Sender, PVirtualNode ParentNode, PVirtualNode Node,
                                TVirtualNodeInitStates& InitialStates);
    void Databases_GridGetText(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                               TVSTTextType TextType, WideString& CellText);
    void Databases_GridGetImageIndex(TBaseVirtualTree* Sender, PVirtualNode Node, TVTImageKind Kind,
                                     TColumnIndex Column, bool& Ghosted, int& ImageIndex);
    void Databases_GridGetHint(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                               TVTTooltipLineBreakStyle& LineBreakStyle, WideString& HintText);
    void Databases_GridFreeNode(TBaseVirtualTree* Sender, PVirtualNode Node);
    void Databases_GridDblClick(TObject* Sender);

private:
    void CreateActions();
    void CreateGrid();
    // The selected database, once its password was given.
    bool ReadSelectedWithPassword(TDatabase& Selected);

    int32_t FLocateId = -1;
    PVirtualNode FLocated = nullptr;
};

// Fills Database with the chosen logical database (plain password) and
// answers true; false when nothing was chosen, with Database unchanged but
// for the edits the chooser made to it (its name and password).
bool ChooseDatabase(TDatabase& Database);
// The same on a chooser made ahead by NewDatabaseChooser.
bool ChooseDatabase(TDatabase& Database, std::unique_ptr<TDB_Form> Chooser);
// A chooser with its window made, ready to show: start-up makes it while
// the database engine starts. It needs no data module until it is used.
std::unique_ptr<TDB_Form> NewDatabaseChooser();
