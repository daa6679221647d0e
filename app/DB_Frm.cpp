// The chooser's stand-in: the first logical database, its password asked
// when it has one, or a new one in an empty list.
#include "app/DB_Frm.h"

#include "app/Password_Frm.h"
#include "app/results/StandIn_Frm.h"
#include "core/uDBsClass.h"
#include "platform/win/MessageBox.h"

AnsiString FirstDatabaseName() {
    return "Основная база данных"_cp;
}

bool ChooseDatabase(TDatabase& Database) {
    TListDatabases list;
    list.Refresh(-1);
    TDatabase chosen;
    if (list.Dataset->IsEmpty()) {
        chosen.DB_NAME = FirstDatabaseName();
        chosen.DB_ID = list.AddDatabase(chosen);
        if (chosen.DB_ID == -1) return false;
    } else {
        list.Dataset->First();
        if (!list.ReadDatabase(list.Dataset->FieldByName("DB_ID").AsInteger(), chosen)) return false;
        AnsiString typed = chosen.DB_PASSWORD;
        if (!chosen.DB_PASSWORD.empty() && !InputPassword("Ввод пароля"_cp, typed, false)) return false;
    }
    MessageBox(NotAvailableText() + "\n" + "Открыта база данных "_cp + "\"" + chosen.DB_NAME + "\".",
               "Выбор базы данных"_cp, MB_OK | MB_ICONINFORMATION);
    Database = chosen;
    return true;
}
