#pragma once
// The data-aware library as the program runs it: an application object, the
// off-screen display and the library started (DefaultIntl in place) for the
// life of the object.
#include "dataaware/DataAware.h"

class TLibraryScope {
public:
    TLibraryScope();
    ~TLibraryScope();
    TLibraryScope(const TLibraryScope&) = delete;
    TLibraryScope& operator=(const TLibraryScope&) = delete;
};
