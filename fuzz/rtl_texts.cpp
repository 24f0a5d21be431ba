// Formats and number or date texts that users type (report column formats,
// display formats, values in entry fields) must never crash: whatever the
// bytes, the routines answer a text or raise one of our exceptions.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    const std::string text(reinterpret_cast<const char*>(Data) + 1, Size - 1);
    const double value = static_cast<double>(Data[0]) * 1234.5678 - 20000.0;
    try {
        switch (Data[0] % 6) {
        case 0: Format(text, {42, "abc", value, 'c', int64_t(-7)}); break;
        case 1: FormatFloat(text, value); break;
        case 2: FormatDateTime(text, value); break;
        case 3: {
            long double v;
            TryStrToFloat(text, v);
            TDateTime d;
            TryStrToDateTime(text, d);
            break;
        }
        case 4: {
            TStringList l;
            l.SetCommaText(text);
            l.SetCommaText(l.CommaText());
            l.SetText(text);
            break;
        }
        default: Format(text, {}); break;
        }
    } catch (const Exception&) {
    }
    return 0;
}
