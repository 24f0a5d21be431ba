#pragma once
// The program's text: single-byte Windows-1252 in a std::string (the routines
// on it are in Strings.h). Headers that need only the type include this.
#include <string>

using AnsiString = std::string;
