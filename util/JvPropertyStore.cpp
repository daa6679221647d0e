// The property names a property store leaves out.
#include "util/JvPropertyStore.h"

#include "util/JclUnitVersioning.h"

TStrings& CombinedIgnoreProperties(const TStrings& Own, TStrings& Result) {
    static const char* const kAutomatic[] = {"AboutJvLib",
                                             "AppStorage",
                                             "AppStoragePath",
                                             "AutoLoad",
                                             "ClearBeforeLoad",
                                             "Name",
                                             "Tag",
                                             "Enabled",
                                             "ReadOnly",
                                             "DeleteBeforeStore",
                                             "IgnoreLastLoadTime",
                                             "IgnoreProperties",
                                             "OnBeforeLoadProperties",
                                             "OnAfterLoadProperties",
                                             "OnBeforeStoreProperties",
                                             "OnAfterStoreProperties",
                                             "SynchronizeLoadProperties",
                                             "SynchronizeStoreProperties"};
    TUpdateBracket bracket(Result);
    Result.Clear();
    Result.AddStrings(Own);
    for (const char* name : kAutomatic)
        Result.Add(name);
    return Result;
}

LIBRARY_UNIT_VERSION("util/JvPropertyStore.cpp", "1", "2026-12-10", "JvLib\\run")
