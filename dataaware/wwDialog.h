#pragma once
// The base of the library's dialog components: a component that holds a
// dialog's settings and runs the dialog modally when asked. The navigator
// finds its dialogs by class and drives them through these two operations
// alone.
#include "platform/classes/Component.h"

class TDataSet;

class TwwCustomDialog : public TComponent {
    ZELMOR_CLASS(TwwCustomDialog, TComponent)
public:
    using TComponent::TComponent;
    // Runs the dialog modally; true when the user confirmed it.
    virtual bool Execute() = 0;
    // The data set the dialog works on.
    virtual TDataSet* GetPrimaryDataSet() = 0;
};
