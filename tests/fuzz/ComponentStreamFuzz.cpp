// Fuzz target of the component stream's reader: every input is read with
// the page control's classes registered, onto a form. A refused stream must
// leave the form as it was; one read must write again, and what it writes
// must read back and write the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "controls/pages/AdvPageControl.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/ComponentStreams.h"

namespace {
[[noreturn]] void Finding(const char* What, const AnsiString& Detail = {}) {
    std::fprintf(stderr, "finding: %s %s\n", What, Detail.c_str());
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    static TForm* form = new TForm(nullptr); // one form for the run
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
    std::unique_ptr<TComponent> read;
    try {
        read = ReadComponent(bytes, form);
    } catch (const EReadError&) {
        if (form->ControlCount() != 0) Finding("a refused stream left a control on the form");
        return 0;
    }
    try {
        std::string written = WriteComponent(read.get());
        read.reset();
        std::unique_ptr<TComponent> again = ReadComponent(written, form);
        if (WriteComponent(again.get()) != written) Finding("a stream read back writes other bytes");
    } catch (const Exception& e) {
        Finding("what was read does not write and read back", e.Message);
    }
    return 0;
}
