#pragma once
// Opening documents through the desktop: only the verb "open" on web and
// mail addresses (http://, https://, mailto:) is accepted, and only handed to
// the opener in force; by default there is none and nothing is launched. A
// file, a program or another verb is refused, so that a link in a data cell
// can never start a program.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"
#include "platform/sys/ShowCommands.h"

// The answers: above 32 is success.
constexpr uintptr_t SE_ERR_FNF = 2;
constexpr uintptr_t SE_ERR_ACCESSDENIED = 5;
constexpr uintptr_t SE_ERR_NOASSOC = 31;

// Whether Address is one the shell may open.
bool IsOpenableAddress(std::string_view Address);

using TShellOpener = std::function<bool(const AnsiString& Address)>;

// Operation "open" (any case) or empty; Parameters and Directory are ignored.
uintptr_t ShellExecute(uintptr_t Window, std::string_view Operation, std::string_view File,
                       std::string_view Parameters, std::string_view Directory, int ShowCmd);
// Installs the opener (the backend's, or a test's recorder) and answers the previous one.
TShellOpener SetShellOpener(TShellOpener Opener);
