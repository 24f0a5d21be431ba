#pragma once
// The forms of a test executable's own screens, tests/<area>/forms/*.zfm,
// built into that executable alone (see zelmor_test in cmake/Zelmor.cmake):
// the program never opens them, so they are no resources of the program.
// Only an area with such forms has the table.
#include "resources/ResourceTable.h"

extern const ZelmorResourceEntry kTestResources[];
