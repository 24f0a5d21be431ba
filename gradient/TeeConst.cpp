#include "gradient/TeeConst.h"

AnsiString TeeMsg_DefaultFontName = "Arial";
AnsiString TeeMsg_DefaultFontSize = "8";
AnsiString TeeMsg_3DPercent = "3D effect percent must be between %d and %d";
