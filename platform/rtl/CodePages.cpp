#include "platform/rtl/CodePages.h"

#include "platform/rtl/Strings.h"

AnsiString WideToAnsi(std::u16string_view Wide) {
    AnsiString out;
    out.reserve(Wide.size());
    for (size_t i = 0; i < Wide.size(); ++i) {
        char32_t c = Wide[i];
        // A surrogate pair is one character beyond the 16-bit plane: never a 1252 byte.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < Wide.size() && Wide[i + 1] >= 0xDC00 &&
            Wide[i + 1] <= 0xDFFF) {
            ++i;
            out += '?';
            continue;
        }
        int a = UnicodeToAnsiChar(c);
        out += a < 0 ? '?' : static_cast<char>(a);
    }
    return out;
}

std::u16string AnsiToWide(std::string_view Ansi) {
    std::u16string out;
    out.reserve(Ansi.size());
    for (char c : Ansi) out += static_cast<char16_t>(AnsiCharToUnicode(static_cast<unsigned char>(c)));
    return out;
}
