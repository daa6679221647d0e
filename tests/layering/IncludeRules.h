// The include-direction rules of the source tree and the check that applies
// them to every source file under a root folder.
#pragma once

#include <string>
#include <vector>

// One broken rule: the file (relative to the root), its line and what it broke.
struct TIncludeViolation {
    std::string File;
    int Line = 0;
    std::string Include;
    std::string Reason;
};

// Checks every .h and .cpp below Root (build folders and tests excepted):
// a folder includes only its own layer and the layers below it; the
// rich-text engine includes only platform/canvas and below, and only its
// view includes controls; the RTF reader includes the engine and what it
// includes, never a control; the rest of the print folder includes none of
// its dialogs (print/control, which sits above it); the canvas and the tree's
// sources other than its listed window sources include no control header;
// nothing outside platform/ includes Qt, and no header includes it at all.
std::vector<TIncludeViolation> CheckIncludes(const std::string& Root);
