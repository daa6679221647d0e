// A grid's sort order and column layout in the settings store.
#include "app/VTAddons.h"

#include <optional>

#include "core/uOptionsClass.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Registry.h"
#include "platform/win/WinReg.h"

namespace {

const char* const kSortColumn = "SortColumn";
const char* const kSortDirection = "SortDirection";
const char* const kWidth = "Width";
const char* const kPosition = "Position";
const char* const kIsVisible = "IsVisible";
constexpr TColumnIndex kDefaultSortColumn = 1;

AnsiString TreeKey(TBaseVirtualTree* Tree) {
    return "\\" + TApplicationOptions::RegistryKey() + "\\" + Tree->Name();
}

AnsiString ColumnKey(TBaseVirtualTree* Tree, TColumnIndex Column) {
    return TreeKey(Tree) + "\\Col" + IntToStr(Column);
}

// The integer value Name of the open key; none when it is missing or of
// another type.
std::optional<int> ReadInteger(TRegistry& Reg, const char* Name) {
    if (Reg.GetDataType(Name) != TRegDataType::rdInteger) return std::nullopt;
    return Reg.ReadInteger(Name);
}

// Opens Key for writing, creating it when missing; raises when it cannot.
void OpenForWriting(TRegistry& Reg, const AnsiString& Key) {
    if (!Reg.OpenKey(Key, true)) throw ERegistryException("Cannot open the settings key " + Key);
}

// Opens Key for reading, creating it when missing as the layout's keys are;
// false when it cannot be opened at all, so nothing is read from it.
bool OpenForReading(TRegistry& Reg, const AnsiString& Key) {
    if (Reg.OpenKey(Key, true) || Reg.OpenKeyReadOnly(Key)) return true;
    Reg.CloseKey();
    return false;
}

} // namespace

bool SaveTreeLayout(TBaseVirtualTree* Tree) {
    // One write of the settings file for the whole layout, not one a value:
    // closing the main window stores both grids' at once.
    RegBeginBatch();
    TScopeGuard end([] { RegEndBatch(); }); // when an error passes
    TVTHeader* header = Tree->Header();
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    OpenForWriting(reg, TreeKey(Tree));
    reg.WriteInteger(kSortColumn, header->SortColumn());
    reg.WriteInteger(kSortDirection, header->SortDirection() == sdDescending ? 1 : 0);
    TVirtualTreeColumns* columns = header->Columns();
    for (TColumnIndex i = 0; i < columns->Count(); ++i) {
        TVirtualTreeColumn* column = columns->GetItem(i);
        OpenForWriting(reg, ColumnKey(Tree, i));
        reg.WriteInteger(kWidth, column->Width());
        reg.WriteInteger(kPosition, int(column->Position()));
        reg.WriteInteger(kIsVisible, column->Options().Contains(coVisible) ? 1 : 0);
    }
    reg.CloseKey();
    end.Dismiss();
    if (RegEndBatch() != ERROR_SUCCESS)
        throw ERegistryException("Cannot store the layout of " + Tree->Name() + " in the settings file");
    return true;
}

bool LoadTreeLayout(TBaseVirtualTree* Tree) {
    TVTHeader* header = Tree->Header();
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    OpenForReading(reg, TreeKey(Tree));
    header->SetSortColumn(ReadInteger(reg, kSortColumn).value_or(kDefaultSortColumn));
    header->SetSortDirection(ReadInteger(reg, kSortDirection).value_or(0) != 0 ? sdDescending : sdAscending);
    TVirtualTreeColumns* columns = header->Columns();
    for (TColumnIndex i = 0; i < columns->Count(); ++i) {
        TVirtualTreeColumn* column = columns->GetItem(i);
        if (!OpenForReading(reg, ColumnKey(Tree, i))) continue;
        if (auto width = ReadInteger(reg, kWidth)) column->SetWidth(*width);
        if (auto position = ReadInteger(reg, kPosition)) column->SetPosition(TColumnPosition(*position));
        if (auto visible = ReadInteger(reg, kIsVisible)) {
            TVTColumnOptions options = column->Options();
            if (*visible != 0)
                options.Include(coVisible);
            else
                options.Exclude(coVisible);
            column->SetOptions(options);
        }
    }
    return true;
}
