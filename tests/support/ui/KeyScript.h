#pragma once
// Keys for the tests that drive screens, written the way a tester reads them:
// plain characters are typed; a name in braces is a key, with "S+", "C+" and
// "A+" for Shift, Ctrl and Alt: "ab{S+Left}{C+Ins}".
#include <string_view>

#include "tests/support/ui/UiDriver.h"

// Feeds the script to the display (it runs when the queue is run).
void PlayKeys(TUiDriver& Ui, std::string_view Script);
