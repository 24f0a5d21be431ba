#pragma once
// The print dialog: the user picks the printer, the number of copies and
// which pages to print. It is a modal form of ours (the list "Printer", the
// spin edit "Copies", the radio buttons "AllPages" and "PageNums" with the
// edits "FromPage" and "ToPage", the buttons "OK" and "Cancel"), which tests
// answer by script like any modal form.
#include <cstdint>

#include "platform/classes/Component.h"
#include "platform/classes/Properties.h"

enum TPrintRange : uint8_t { prAllPages, prPageNums };
ZELMOR_DECLARE_ENUM(TPrintRange);

class TPrintDialog : public TComponent {
    ZELMOR_CLASS(TPrintDialog, TComponent)
public:
    explicit TPrintDialog(TComponent* AOwner) : TComponent(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);

    int Copies() const { return FCopies; }
    void SetCopies(int Value) { FCopies = Value; }
    // The pages there are (MinPage .. MaxPage) and the range chosen among
    // them. With MaxPage 0 (or below MinPage) the document's pages are not
    // known and only "all pages" is offered.
    int MinPage() const { return FMinPage; }
    void SetMinPage(int Value) { FMinPage = Value; }
    int MaxPage() const { return FMaxPage; }
    void SetMaxPage(int Value) { FMaxPage = Value; }
    int FromPage() const { return FFromPage; }
    void SetFromPage(int Value) { FFromPage = Value; }
    int ToPage() const { return FToPage; }
    void SetToPage(int Value) { FToPage = Value; }
    TPrintRange PrintRange() const { return FPrintRange; }
    void SetPrintRange(TPrintRange Value) { FPrintRange = Value; }

    // True when the user confirmed: the printer chosen is then the process's
    // printer's PrinterIndex, and the other properties hold the choice. A
    // range outside MinPage .. MaxPage, or upside down, or fewer than one
    // copy, is refused with a message and the dialog stays open.
    bool Execute();

private:
    int FCopies = 1;
    int FMinPage = 0, FMaxPage = 0;
    int FFromPage = 0, FToPage = 0;
    TPrintRange FPrintRange = prAllPages;
};
