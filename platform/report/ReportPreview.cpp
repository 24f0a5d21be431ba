#include "platform/report/ReportPreview.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Printers.h"
#include "platform/report/Report.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Paths.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/PrintDialog.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_CLASS(TReportPreviewForm, TForm)

// The sheet of paper on the desk: white, framed, with a shadow, and the
// page's texts at the preview's resolution. The desk goes on right of and
// below the paper, so that a scrolled page keeps its margin.
class TReportPageView : public TGraphicControl {
    ZELMOR_CLASS(TReportPageView, TGraphicControl)
public:
    static constexpr int Shadow = 3;
    explicit TReportPageView(TComponent* AOwner) : TGraphicControl(AOwner) {
        FControlStyle.Include(csOpaque);
    }
    TReportPreviewForm* Preview = nullptr;
    TSize Paper;

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        TRect Sheet(0, 0, Paper.cx, Paper.cy);
        C->Brush()->SetColor(clAppWorkSpace);
        C->FillRect(ClientRect());
        C->Brush()->SetColor(clBlack);
        C->FillRect(TRect(Shadow, Shadow, Paper.cx + Shadow, Paper.cy + Shadow));
        C->Brush()->SetColor(clWhite);
        C->FillRect(Sheet);
        C->Brush()->SetColor(clBlack);
        C->FrameRect(Sheet);
        if (Preview && Preview->PageIndex() >= 0)
            Preview->Report()->PaintPage(*C, Preview->PageIndex(), Preview->PixelsPerInch());
    }
};
ZELMOR_IMPLEMENT_CLASS(TReportPageView, TGraphicControl)

namespace {
// Grey desk around the page, in screen pixels.
constexpr int Desk = 10;
}  // namespace

TSpeedButton* TReportPreviewForm::Button(const char* Name, const char* Caption, int& X, int Width) {
    auto* B = NewComponent<TSpeedButton>(this);
    B->SetName(Name);
    B->SetParent(FBar);
    B->SetBounds(X, 3, Width, 24);
    B->SetCaption(Caption);
    X += Width + 2;
    return B;
}

void TReportPreviewForm::Setup(TReport* Report, const TRect& Area) {
    FReport = Report;
    SetCaption("Vista preliminar");
    SetKeyPreview(true);
    OnKeyDown = TKeyEvent([this](TObject* S, WORD& Key, TShiftState Shift) { FormKeyDown(S, Key, Shift); });

    FBar = NewComponent<TPanel>(this);
    FBar->SetName("ToolBar");
    FBar->SetCaption("");
    FBar->SetParent(this);
    FBar->SetAlign(alTop);
    FBar->SetHeight(30);
    int X = 4;
    const char* ZoomNames[3] = {"WholePage", "PageWidth", "Zoom100"};
    const char* ZoomCaptions[3] = {"P\xE1gina &completa", "&Ancho de p\xE1gina", "&100 %"};
    const int ZoomWidths[3] = {100, 100, 50};
    for (int I = 0; I < 3; ++I) {
        TSpeedButton* B = Button(ZoomNames[I], ZoomCaptions[I], X, ZoomWidths[I]);
        B->SetGroupIndex(1);
        B->OnClick = TNotifyEvent([this, I](TObject*) { SetZoom(static_cast<TPreviewZoom>(I)); });
        FZoomButtons[I] = B;
    }
    X += 10;
    Button("FirstPage", "&Primera", X, 64)->OnClick = TNotifyEvent([this](TObject*) { SetPageIndex(0); });
    Button("PriorPage", "A&nterior", X, 64)->OnClick =
        TNotifyEvent([this](TObject*) { SetPageIndex(FPageIndex - 1); });
    Button("NextPage", "&Siguiente", X, 64)->OnClick =
        TNotifyEvent([this](TObject*) { SetPageIndex(FPageIndex + 1); });
    Button("LastPage", "\xDA&ltima", X, 64)->OnClick =
        TNotifyEvent([this](TObject*) { SetPageIndex(FReport->PageCount() - 1); });
    X += 10;
    TSpeedButton* Print = Button("Print", "&Imprimir...", X, 80);
    Print->OnClick = TNotifyEvent([this](TObject*) { PrintReport(); });
    Print->SetEnabled(FReport->PageCount() > 0);
    Button("Close", "Ce&rrar", X, 64)->OnClick = TNotifyEvent([this](TObject*) { Close(); });
    X += 10;
    FPageLabel = NewComponent<TLabel>(this);
    FPageLabel->SetName("PageLabel");
    FPageLabel->SetParent(FBar);
    FPageLabel->SetLeft(X);
    FPageLabel->SetTop(8);

    FBox = NewComponent<TScrollBox>(this);
    FBox->SetName("PageBox");
    FBox->SetParent(this);
    FBox->SetAlign(alClient);
    FBox->SetColor(clAppWorkSpace);
    FView = NewComponent<TReportPageView>(this);
    FView->SetName("PageView");
    FView->Preview = this;
    FView->SetParent(FBox);

    TRect Work = IsRectEmpty(Area) ? Screen->WorkAreaRect() : Area;
    SetBounds(Work.Left, Work.Top, Work.Width(), Work.Height());
    FPageIndex = FReport->PageCount() > 0 ? 0 : -1;
    SetZoom(pzWholePage);
}

void TReportPreviewForm::SetPageIndex(int Value) {
    if (FReport->PageCount() == 0) return;
    Value = std::clamp(Value, 0, FReport->PageCount() - 1);
    if (Value != FPageIndex) {
        FPageIndex = Value;
        Arrange();
    }
}

void TReportPreviewForm::SetZoom(TPreviewZoom Value) {
    FZoom = Value;
    FZoomButtons[Value]->SetDown(true);
    Arrange();
}

void TReportPreviewForm::Resize() {
    TForm::Resize();
    if (FView) Arrange();
}

// Places the page on the desk at the zoom's scale, back at its top-left
// corner; a page narrower than the desk stands in its middle.
void TReportPreviewForm::Arrange() {
    FPageLabel->SetCaption("P\xE1gina " + IntToStr(FPageIndex + 1) + " de " + IntToStr(FReport->PageCount()));
    TPoint Scrolled = FBox->ScrollPos();
    FBox->ScrollBy(Scrolled.x, Scrolled.y);
    double Wide = FReport->PaperWidth() / 25.4, High = FReport->PaperHeight() / 25.4;  // inches
    int RoomW = std::max(1, FBox->ClientWidth() - 2 * Desk - TReportPageView::Shadow);
    int RoomH = std::max(1, FBox->ClientHeight() - 2 * Desk - TReportPageView::Shadow);
    switch (FZoom) {
    case pzWholePage: FPixelsPerInch = std::min(RoomW / Wide, RoomH / High); break;
    case pzPageWidth:
        // The page is taller than the desk then: the vertical scroll bar takes its room.
        FPixelsPerInch = std::max(1, RoomW - GetSystemMetrics(SM_CXVSCROLL)) / Wide;
        break;
    case pz100: FPixelsPerInch = ScreenPixelsPerInch; break;
    }
    FView->Paper = TSize{static_cast<int>(std::lround(Wide * FPixelsPerInch)),
                         static_cast<int>(std::lround(High * FPixelsPerInch))};
    int W = FView->Paper.cx + TReportPageView::Shadow + Desk,
        H = FView->Paper.cy + TReportPageView::Shadow + Desk;
    int Left = std::max(Desk, (FBox->ClientWidth() - W + Desk) / 2);
    FView->SetBounds(Left, Desk, W, H);
    FView->Invalidate();
}

TRect TReportPreviewForm::PageRect() const {
    return TRect(FView->Left(), FView->Top(), FView->Left() + FView->Paper.cx,
                 FView->Top() + FView->Paper.cy);
}

void TReportPreviewForm::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (!Shift.Empty()) return;
    switch (Key) {
    case VK_NEXT: SetPageIndex(FPageIndex + 1); break;
    case VK_PRIOR: SetPageIndex(FPageIndex - 1); break;
    case VK_HOME: SetPageIndex(0); break;
    case VK_END: SetPageIndex(FReport->PageCount() - 1); break;
    case VK_ESCAPE: Close(); break;
    default: return;
    }
    Key = 0;
}

void TReportPreviewForm::PrintReport() {
    if (FReport->PageCount() == 0) return;
    auto* Dialog = NewComponent<TPrintDialog>(this);
    try {
        Dialog->SetMinPage(1);
        Dialog->SetMaxPage(FReport->PageCount());
        Dialog->SetFromPage(1);
        Dialog->SetToPage(FReport->PageCount());
        if (Dialog->Execute()) {
            bool All = Dialog->PrintRange() == prAllPages;
            FReport->Print(*Printer(), All ? 1 : Dialog->FromPage(),
                           All ? FReport->PageCount() : Dialog->ToPage(), Dialog->Copies());
            // The printer here is a folder of files: the user is told which one this job became.
            if (auto* Pdf = dynamic_cast<TPdfPrinter*>(Printer()))
                ShowMessage("El documento se ha guardado en el archivo\n" + UnmapPath(Pdf->LastFileName()));
        }
    } catch (...) {
        Dialog->Free();
        throw;
    }
    Dialog->Free();
}

void PreviewReportModal(TReport& Report, const TRect& Area) {
    auto* Form = TForm::CreateNew<TReportPreviewForm>(Application);
    try {
        Form->Setup(&Report, Area);
        Form->ShowModal();
    } catch (...) {
        Form->Free();
        throw;
    }
    Form->Free();
}
