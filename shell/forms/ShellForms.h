#pragma once
// The program's own screens, made known to the form files by class name, and
// the component libraries they are made of, started as the program starts
// them.
#include <memory>

class TOvcLibrary;

void RegisterShellForms();

// While it lives the component libraries have their process-wide objects
// (the data-aware library's settings object among them, which the main
// window's texts load into) and every class the program's forms name is
// known. The program's entry holds one from before its application object
// to after its message loop; the tests that make the program's screens hold
// one too.
class TProgramLibraries {
public:
    TProgramLibraries();
    ~TProgramLibraries();
    TProgramLibraries(const TProgramLibraries&) = delete;
    TProgramLibraries& operator=(const TProgramLibraries&) = delete;

private:
    // The report-view library comes first: a string table missing from the
    // program stops the start there.
    std::unique_ptr<TOvcLibrary> FReportView;
};
