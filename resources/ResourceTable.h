#pragma once
// The resource files embedded into the program at build time (see
// resources/CMakeLists.txt). The table ends with an entry whose Path is null.
#include <cstddef>

struct ZelmorResourceEntry {
    const char* Path;  // relative to resources/, with '/' separators, e.g. "forms/Controla.zfm"
    const unsigned char* Data;
    std::size_t Size;
};

extern const ZelmorResourceEntry kZelmorResources[];
