#pragma once
// The check of every form built into a program or a test against its class.
// A form file names its class in its first line; the class must be
// registered and be a form class of its own (not a plain TForm), and making
// it must read the form whole: each field the class declares bound to a
// component of the form, each handler the form names found in the class.
#include <string>
#include <vector>

#include "resources/ResourceTable.h"

struct TFormCheck {
    int Forms = 0;                      // the form files looked at
    std::vector<std::string> Problems;  // "forms/Alumnos.zfm: what is wrong", one a fault
};

// Makes the class of each form file in Table's forms/ folder, the forms of
// Table found before any other, and frees it again. The classes must be
// registered, and an application object must exist to own the forms.
TFormCheck CheckFormResources(const ZelmorResourceEntry* Table);
