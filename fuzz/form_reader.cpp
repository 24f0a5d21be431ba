// Any bytes read as a form into a form of the test classes: the reader must
// end with one of its own exceptions or with a form, never crash or leak.
// A form it reads whole must come back unchanged through the writer: what
// the writer puts out reads back without an error into a form that the
// writer puts out byte for byte the same. A splitter of the test classes is
// the one exception, by its design: its constructor makes two panes, and the
// panes of a written splitter are read as panes beside them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/classes/Filer.h"
#include "platform/rtl/Exceptions.h"
#include "tests/classes/FormTestClasses.h"

static bool HasSplitter(TComponent* Owner) {
    for (int i = 0; i < Owner->ComponentCount(); ++i)
        if (dynamic_cast<TFmSplitter*>(Owner->Components(i)) || HasSplitter(Owner->Components(i)))
            return true;
    return false;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    static const bool registered = (RegisterFormTestClasses(), true);
    (void)registered;
    std::string_view text(reinterpret_cast<const char*>(Data), Size);
    TFmRoot* root = NewComponent<TFmRoot>(nullptr);
    AnsiString written;
    bool splitter = false;
    try {
        ReadComponentFromText(root, text, "fuzz.zfm");
        written = WriteComponentToText(root);
        splitter = HasSplitter(root);
    } catch (const Exception&) {
    }
    root->Free();
    if (!written.empty()) {
        TFmRoot* again = NewComponent<TFmRoot>(nullptr);
        ReadComponentFromText(again, written, "written.zfm");
        const AnsiString rewritten = WriteComponentToText(again);
        again->Free();
        if (rewritten != written && !splitter) {
            std::fprintf(stderr, "the form changed through the writer:\n%s\n---- written again:\n%s\n",
                         written.c_str(), rewritten.c_str());
            std::abort();
        }
    }
    FormLog().clear();
    return 0;
}
