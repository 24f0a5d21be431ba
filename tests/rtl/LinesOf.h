#pragma once
// The lines of a string list as a vector, for comparing with a table of texts.
#include <vector>

#include "platform/rtl/StringList.h"

using V = std::vector<AnsiString>;

inline V Lines(const TStrings& L) {
    V v;
    for (int i = 0; i < L.Count(); ++i) v.push_back(L[i]);
    return v;
}
