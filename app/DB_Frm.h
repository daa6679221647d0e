// The database chooser. Until its window exists, a stand-in that opens the
// first logical database, or makes one when there is none, and says so.
#pragma once

#include "core/DataMod.h"

// Fills Database with the chosen logical database (plain password); false,
// with Database unchanged, when nothing was chosen.
bool ChooseDatabase(TDatabase& Database);

// The name of the database the stand-in makes in an empty list.
AnsiString FirstDatabaseName();
