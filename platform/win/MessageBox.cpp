// The message box seam: the installed service, or standard error and the
// default button without one.
#include "platform/win/MessageBox.h"

#include <cstdio>

namespace {
IMessageBoxService* gService = nullptr;
}

int DefaultMessageBoxAnswer(unsigned Flags) {
    static const int first[] = {IDOK, IDOK, IDABORT, IDYES, IDYES, IDRETRY};
    static const int buttons[][3] = {{IDOK, IDOK, IDOK},           {IDOK, IDCANCEL, IDCANCEL},
                                     {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
                                     {IDYES, IDNO, IDNO},          {IDRETRY, IDCANCEL, IDCANCEL}};
    unsigned type = Flags & MB_TYPEMASK;
    if (type > 5) return IDOK;
    unsigned def = (Flags & MB_DEFMASK) >> 8;
    return def <= 2 ? buttons[type][def] : first[type];
}

int MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags) {
    if (gService) return gService->Show(Text, Caption, Flags);
    std::fprintf(stderr, "[%s] %s\n", AnsiToUtf8(Caption).c_str(), AnsiToUtf8(Text).c_str());
    return DefaultMessageBoxAnswer(Flags);
}

IMessageBoxService* SetMessageBoxService(IMessageBoxService* Service) {
    IMessageBoxService* old = gService;
    gService = Service;
    return old;
}
