#pragma once
// UTF-16 texts (rich edit and clipboard data arrive in it) to and from the
// program's Windows-1252. A character with no Windows-1252 byte becomes '?',
// as the system's conversion to the ANSI code page does.
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"

AnsiString WideToAnsi(std::u16string_view Wide);
std::u16string AnsiToWide(std::string_view Ansi);
