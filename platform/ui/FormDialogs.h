#pragma once
// The message boxes and input boxes as forms: the answerer the form layer
// installs into the box seam (platform/sys/Dialogs.h) while a display can
// show them.
#include "platform/sys/Dialogs.h"

class TForm;

// The answerer of the window layer: each box is a modal form of its own
// (OK, Cancel, Yes, No ... buttons named "OK", "Cancel", "Yes", "No" ..., the
// text in a label named "Message", the icon of a message box's flags or of a
// message dialog's type left of it in a picture named "Icon", an input box's
// text in an edit named "Value"), and the button the user presses is the answer.
TDialogAnswerer* FormDialogs();
// The form FormDialogs shows for a request; its ModalResult is the answer.
TForm* CreateDialogForm(const TDialogRequest& Request);

// Makes the boxes forms whenever a display is installed, and unanswerable
// again when it goes (a box nobody can see must not count as answered). An
// answerer installed by someone else (a test's script) is left alone.
void InstallFormDialogs();
