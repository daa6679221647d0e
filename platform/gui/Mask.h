// The masked edit beneath the library's spin edit: the one-line edit with
// an edit mask kept for its owner.
#pragma once

#include "platform/gui/StdCtrls.h"

class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
    const AnsiString& EditMask() const { return FEditMask; }
    void SetEditMask(const AnsiString& Value) { FEditMask = Value; }

private:
    AnsiString FEditMask;
};

// The platform's beep; the count lets tests see it.
void Beep();
int BeepCount();
