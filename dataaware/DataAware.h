#pragma once
// The data-aware library's start and end. The program's entry starts it once
// its application object exists and before any form is made, and ends it
// after the message loop: in between DefaultIntl exists and the library's
// classes can be created by name from form files.
void StartDataAwareLibrary();
void FinishDataAwareLibrary();
