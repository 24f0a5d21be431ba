#pragma once
// Makes the button library's published classes known by name, so that form
// files can create its shape buttons, image buttons and labels.
void RegisterFcClasses();
