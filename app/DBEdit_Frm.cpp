// The database card's entry function over its stand-in.
#include "app/DBEdit_Frm.h"

#include <memory>

TDBEdit_Form::TDBEdit_Form(TComponent* AOwner) : TStandIn_Form(AOwner, "Создание базы данных"_cp) {
    SetName("DBEdit_Form");
}

bool EditDatabaseCard(TDatabase& Database) {
    auto card = std::make_unique<TDBEdit_Form>(nullptr);
    card->Database = Database;
    if (!Database.DB_NAME.empty()) card->SetCaption("Изменение данных базы данных"_cp);
    if (card->ShowModal() != mrOk) return false;
    Database = card->Database;
    return true;
}
