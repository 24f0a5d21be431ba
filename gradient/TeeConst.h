#pragma once
// The panel library's texts: the defaults of its fonts and its messages.
// They are variables so that a translation (or a test) can replace them.
#include <string>

#include "platform/rtl/AnsiString.h"

extern AnsiString TeeMsg_DefaultFontName;  // "Arial"
extern AnsiString TeeMsg_DefaultFontSize;  // "8", read as an integer
extern AnsiString TeeMsg_3DPercent;        // formatted with the lowest and the highest percent
