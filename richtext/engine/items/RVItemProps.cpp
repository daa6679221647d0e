// The RVF keys of the numbered extra properties and the reading of one
// "name=value" property line into an item.
#include "richtext/engine/items/RVItem.h"

namespace {

// Index n holds the key of code n; code 0 is none.
const char* const kIntKeys[] = {
    "",           "vshift",    "vshiftabs",       "width",   "height",    "transparent",
    "tmode",      "tcolor",    "minheightonpage", "spacing", "resizable", "unremovable",
    "nohtmlsize", "ainterval", "visible"};
const char* const kStrKeys[] = {"", "hint", "alt", "filename"};

template <std::size_t N> AnsiString KeyOf(const char* const (&Keys)[N], int Code) {
    return Code > 0 && Code < int(N) ? AnsiString(Keys[Code]) : AnsiString();
}

template <std::size_t N> int CodeOf(const char* const (&Keys)[N], const AnsiString& Name) {
    for (int i = 1; i < int(N); ++i)
        if (Name == Keys[i]) return i;
    return 0;
}

} // namespace

AnsiString ExtraItemPropertyKey(int Code) {
    return KeyOf(kIntKeys, Code);
}

AnsiString ExtraItemStrPropertyKey(int Code) {
    return KeyOf(kStrKeys, Code);
}

void TCustomRVItemInfo::ReadRVFExtraProperty(const AnsiString& Line) {
    std::size_t eq = Line.find('=');
    if (eq == AnsiString::npos) return;
    AnsiString name = Line.substr(0, eq);
    AnsiString value = Line.substr(eq + 1);
    if (int code = CodeOf(kIntKeys, name))
        SetExtraIntProperty(code, StrToIntDef(value, 0));
    else if (int strCode = CodeOf(kStrKeys, name))
        SetExtraStrProperty(strCode, value);
    else
        SetExtraCustomProperty(name, value);
}
