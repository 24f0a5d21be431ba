// Picture masks come from PictureMasks lines of forms and tables and the
// texts from typing and from the tables' fields: every mask and text end in
// one of the five answers, a malformed mask always in prSyntax.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dataaware/wwpict.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size > 4096) return 0;
    // The mask, a line break, the text.
    std::string input(reinterpret_cast<const char*>(Data), Size);
    size_t cut = input.find('\n');
    std::string mask = input.substr(0, cut);
    std::string text = cut == std::string::npos ? std::string() : input.substr(cut + 1);
    TwwPictureValidator validator(mask, true);
    for (bool autoFill : {false, true}) {
        std::string checked = text;
        TwwPicResult result = validator.CheckPicture(checked, autoFill);
        if (result < prComplete || result > prSyntax) std::abort();
        if (!IsWellFormedPicture(mask) && result != prSyntax) std::abort();
        if (text.empty() && IsWellFormedPicture(mask) && result != prEmpty) std::abort();
        // Auto-fill only adds characters.
        if (checked.size() < text.size()) std::abort();
    }
    validator.IsValidInput(text);
    std::string filled = text;
    validator.IsValid(filled, false);
    return 0;
}
