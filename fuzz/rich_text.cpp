// Rich text comes from memo fields and form files that other programs wrote:
// whatever its bytes, reading it gives a document, and what we write of that
// document reads back to the same document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/ui/RtfReader.h"
#include "platform/ui/RtfWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
    TRichDocument document = ReadRtf(bytes);
    RtfToPlainText(bytes);
    if (ReadRtf(WriteRtf(document)) != document) std::abort();
    return 0;
}
