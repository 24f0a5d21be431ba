// Any bytes read as a form into a form of the test classes: the reader must
// end with one of its own exceptions or with a form, never crash or leak.
// A form it reads whole must come back unchanged through the writer.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/classes/Filer.h"
#include "platform/rtl/Exceptions.h"
#include "tests/classes/FormTestClasses.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    static const bool registered = (RegisterFormTestClasses(), true);
    (void)registered;
    std::string_view text(reinterpret_cast<const char*>(Data), Size);
    TFmRoot* root = NewComponent<TFmRoot>(nullptr);
    AnsiString written;
    try {
        ReadComponentFromText(root, text, "fuzz.zfm");
        written = WriteComponentToText(root);
    } catch (const Exception&) {
    }
    root->Free();
    if (!written.empty()) {
        // What the writer put out must read back without an error.
        TFmRoot* again = NewComponent<TFmRoot>(nullptr);
        ReadComponentFromText(again, written, "written.zfm");
        again->Free();
    }
    FormLog().clear();
    return 0;
}
