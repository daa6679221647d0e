// Registration of the table item for its style number.
#include "richtext/editor/tables/RVTableRegister.h"

#include "richtext/editor/tables/RVTable.h"

void RegisterTableItemClass() {
    RegisterItemTypeClass(rvsTable, TRVItemClass::Of<TRVTableItemInfo>());
}
