// Registration of the table item for its style number, apart from the
// table's header so that the program's start-up sees no engine type.
#pragma once

// Registers the table class for style number -60; the program calls it at
// start-up, before any reader runs.
void RegisterTableItemClass();
