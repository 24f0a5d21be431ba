#include "platform/sys/Shell.h"

#include "platform/rtl/Strings.h"

namespace {
TShellOpener& Opener() {
    static TShellOpener opener;
    return opener;
}
}  // namespace

bool IsOpenableAddress(std::string_view Address) {
    AnsiString a = LowerCase(Trim(Address));
    bool scheme = a.rfind("http://", 0) == 0 || a.rfind("https://", 0) == 0 || a.rfind("mailto:", 0) == 0;
    if (!scheme) return false;
    // Control characters would let an address carry a second command line.
    for (char c : a)
        if (static_cast<unsigned char>(c) < 32) return false;
    return true;
}

uintptr_t ShellExecute(uintptr_t, std::string_view Operation, std::string_view File, std::string_view,
                       std::string_view, int) {
    if (!Operation.empty() && !SameText(Operation, "open")) return SE_ERR_NOASSOC;
    if (!IsOpenableAddress(File)) return SE_ERR_ACCESSDENIED;
    if (!Opener()) return SE_ERR_NOASSOC;
    return Opener()(Trim(File)) ? 42 : SE_ERR_FNF;
}

TShellOpener SetShellOpener(TShellOpener NewOpener) {
    TShellOpener previous = std::move(Opener());
    Opener() = std::move(NewOpener);
    return previous;
}
