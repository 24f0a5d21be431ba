#pragma once
// The print preview of a report: one page at a time on a grey desk, with a
// bar of buttons to zoom ("WholePage", "PageWidth", "Zoom100"), to page
// ("FirstPage", "PriorPage", "NextPage", "LastPage"), to print through the
// print dialog ("Print") and to close ("Close"); the label "PageLabel" says
// which page shows. Page Down and Page Up go to the next and previous page,
// Home and End to the first and last, Escape closes. TReport::PreviewModal
// shows it; tests reach it as the active form while it is up.
#include <cstdint>

#include "platform/ui/Forms.h"

class TReport;
class TLabel;
class TPanel;
class TScrollBox;
class TSpeedButton;
class TReportPageView;

enum TPreviewZoom : uint8_t { pzWholePage, pzPageWidth, pz100 };

class TReportPreviewForm : public TForm {
    ZELMOR_CLASS(TReportPreviewForm, TForm)
public:
    TReportPreviewForm(TComponent* AOwner, TCreateNew Tag) : TForm(AOwner, Tag) {}
    // Builds the window for a prepared report: on its first page, the whole
    // page in view, over Area of the screen (the work area when empty).
    void Setup(TReport* Report, const TRect& Area = TRect());

    TReport* Report() const { return FReport; }
    // The page shown, from 0; -1 for a report without pages.
    int PageIndex() const { return FPageIndex; }
    void SetPageIndex(int Value);
    TPreviewZoom Zoom() const { return FZoom; }
    void SetZoom(TPreviewZoom Value);
    // The page's resolution on the screen at the present zoom.
    double PixelsPerInch() const { return FPixelsPerInch; }
    // The page on the screen, in the client coordinates of "PageBox".
    TRect PageRect() const;
    // Asks the print dialog for printer, copies and pages, and prints them;
    // a job written to a file ends with a message naming the file.
    void PrintReport();

protected:
    void Resize() override;

private:
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void Arrange();
    TSpeedButton* Button(const char* Name, const char* Caption, int& X, int Width);
    TReport* FReport = nullptr;
    TPanel* FBar = nullptr;
    TScrollBox* FBox = nullptr;
    TReportPageView* FView = nullptr;
    TLabel* FPageLabel = nullptr;
    TSpeedButton* FZoomButtons[3] = {};
    int FPageIndex = -1;
    TPreviewZoom FZoom = pzWholePage;
    double FPixelsPerInch = ScreenPixelsPerInch;
};

// Shows the prepared report in a preview over Area (the screen's work area
// when empty), modally.
void PreviewReportModal(TReport& Report, const TRect& Area = TRect());
