#include "platform/report/Report.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "platform/classes/Properties.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Printers.h"
#include "platform/report/ReportPreview.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_CLASS(TReportComponent, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TReportBand, TReportComponent)
ZELMOR_IMPLEMENT_CLASS(TReportControl, TReportComponent)
ZELMOR_IMPLEMENT_COMPONENT(TReportLabel, TReportControl)
ZELMOR_IMPLEMENT_COMPONENT(TReportDBText, TReportControl)
ZELMOR_IMPLEMENT_COMPONENT(TReportExpr, TReportControl)
ZELMOR_IMPLEMENT_COMPONENT(TReport, TReportComponent)
ZELMOR_IMPLEMENT_ENUM(TBandKind, "bkTitle", "bkDetail")

namespace {

// Texts are measured, and cut, at the printer's resolution: the pages are
// laid out for paper, and the screen only shows them.
constexpr int LayoutPixelsPerInch = PrinterPixelsPerInch;

int ToPixels(double Millimetres, double PixelsPerInch) {
    return static_cast<int>(std::lround(Millimetres * PixelsPerInch / 25.4));
}

double ToMillimetres(int Pixels, double PixelsPerInch) { return Pixels * 25.4 / PixelsPerInch; }

// Lengths a form gives may not be negative.
void CheckLength(double Value, const char* What) {
    if (!(Value >= 0)) throw EReportError(AnsiString("Invalid ") + What + ": " + FloatToStr(Value));
}

// The canvas font for a report font at a resolution.
void SelectFont(TCanvas& Canvas, const TReportFont& Font, double PixelsPerInch) {
    TFont* F = Canvas.Font();
    F->SetName(Font.Name);
    F->SetStyle(Font.Style);
    F->SetColor(Font.Color);
    F->SetHeight(-std::max(1, static_cast<int>(std::lround(Font.Size * PixelsPerInch / 72.0))));
}

// The ascent of a face, per pixel of its character height, measured where
// whole pixels no longer matter.
double AscentPerPixel(const TReportFont& Font) {
    static std::map<std::pair<AnsiString, uint32_t>, double> Known;
    auto Key = std::make_pair(LowerCase(Font.Name), Font.Style.Bits());
    auto It = Known.find(Key);
    if (It != Known.end()) return It->second;
    const int Em = 1000;
    TCanvas Measure;
    Measure.Font()->SetName(Font.Name);
    Measure.Font()->SetStyle(Font.Style);
    Measure.Font()->SetHeight(-Em);
    TTextMetric Tm;
    Measure.GetTextMetrics(Tm);
    return Known[Key] = static_cast<double>(Tm.tmAscent) / Em;
}

// Takes Child from the list of its parent into that of Parent (either may
// be none); true when it has a parent now.
template <class TParent, class TChild>
bool MoveTo(TChild* Child, TParent*& Current, TParent* Parent, std::vector<TChild*> TParent::*List) {
    if (Parent == Current) return false;
    if (Current) std::erase(Current->*List, Child);
    Current = Parent;
    if (Current) (Current->*List).push_back(Child);
    return Current != nullptr;
}

// The parent a form file gives a band or a text, which must be of the kind that holds it.
template <class TParent>
TParent* ParentAs(const TComponent* Child, TComponent* Value) {
    auto* Parent = dynamic_cast<TParent*>(Value);
    if (Value && !Parent)
        throw EReportError(Child->Name() + " cannot stand in " + Value->Name() + ", a " + Value->ClassName());
    return Parent;
}

}  // namespace

// --- TReportComponent ---

TReportComponent::TReportComponent(TComponent* AOwner)
    : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = TNotifyEvent([this](TObject* Sender) { FontChanged(Sender); });
}

TReportComponent::~TReportComponent() = default;

void TReportComponent::DescribeProperties(TPropertyTable& T) {
    T.Property("Font", &TReportComponent::Font, &TReportComponent::SetFont);
    T.Property("ParentFont", &TReportComponent::ParentFont, &TReportComponent::SetParentFont).Default(true);
}

void TReportComponent::SetParentFont(bool Value) {
    FParentFont = Value;
    if (Value) ParentFontChanged();
}

void TReportComponent::ParentFontChanged() {
    if (FParentFont) {
        if (TReportComponent* P = FontParent()) {
            FTakingParentFont = true;
            FFont->Assign(P->Font());
            FTakingParentFont = false;
        }
    }
    for (TReportComponent* C : FontChildren()) C->ParentFontChanged();
}

void TReportComponent::FontChanged(TObject*) {
    // A font given here is this component's own from now on; the parent's,
    // taken while ParentFont, is not.
    if (!FTakingParentFont) FParentFont = false;
    for (TReportComponent* C : FontChildren()) C->ParentFontChanged();
}

TReportFont TReportComponent::ReportFont() const {
    return TReportFont{FFont->Name(), FFont->Size(), FFont->Style(), FFont->Color()};
}

// --- TReportBand ---

TReportBand::TReportBand(TComponent* AOwner) : TReportComponent(AOwner) {}

void TReportBand::BeforeDestruction() {
    SetReport(nullptr);
    for (TReportControl* C : std::vector<TReportControl*>(FControls)) C->SetBand(nullptr);
    TReportComponent::BeforeDestruction();
}

void TReportBand::DescribeProperties(TPropertyTable& T) {
    T.Property("BandKind", &TReportBand::BandKind, &TReportBand::SetBandKind).Default(bkDetail);
    T.Property("Height", &TReportBand::Height, &TReportBand::SetHeight);
    T.Event("BeforePrint", &TReportBand::BeforePrint);
}

void TReportBand::SetReport(TReport* Value) {
    if (MoveTo(this, FReport, Value, &TReport::FBands)) ParentFontChanged();
}

void TReportBand::SetHeight(double Value) {
    CheckLength(Value, "band height");
    FHeight = Value;
}

TComponent* TReportBand::GetParentComponent() const { return FReport; }

void TReportBand::SetParentComponent(TComponent* Value) { SetReport(ParentAs<TReport>(this, Value)); }

void TReportBand::GetChildren(const TGetChildProc& Proc, TComponent*) {
    for (TReportControl* C : FControls) Proc(C);
}

TReportComponent* TReportBand::FontParent() const { return FReport; }

std::vector<TReportComponent*> TReportBand::FontChildren() const {
    return std::vector<TReportComponent*>(FControls.begin(), FControls.end());
}

// --- TReportControl ---

TReportControl::TReportControl(TComponent* AOwner) : TReportComponent(AOwner) {}

void TReportControl::BeforeDestruction() {
    SetBand(nullptr);
    TReportComponent::BeforeDestruction();
}

void TReportControl::DescribeProperties(TPropertyTable& T) {
    T.Property("Left", &TReportControl::Left, &TReportControl::SetLeft);
    T.Property("Top", &TReportControl::Top, &TReportControl::SetTop);
    T.Property("Width", &TReportControl::Width, &TReportControl::SetWidth);
    T.Property("AutoSize", &TReportControl::AutoSize, &TReportControl::SetAutoSize).Default(true);
}

void TReportControl::SetBand(TReportBand* Value) {
    if (MoveTo(this, FBand, Value, &TReportBand::FControls)) ParentFontChanged();
}

void TReportControl::SetWidth(double Value) {
    CheckLength(Value, "width");
    FWidth = Value;
}

TComponent* TReportControl::GetParentComponent() const { return FBand; }

void TReportControl::SetParentComponent(TComponent* Value) { SetBand(ParentAs<TReportBand>(this, Value)); }

TReportComponent* TReportControl::FontParent() const { return FBand; }

// --- the texts ---

void TReportLabel::DescribeProperties(TPropertyTable& T) {
    T.Property("Caption", &TReportLabel::Caption, &TReportLabel::SetCaption);
}

void TReportDBText::DescribeProperties(TPropertyTable& T) {
    T.Property("DataSet", &TReportDBText::DataSet, &TReportDBText::SetDataSet);
    T.Property("DataField", &TReportDBText::DataField, &TReportDBText::SetDataField);
}

void TReportDBText::SetDataSet(TDataSet* Value) {
    if (Value == FDataSet) return;
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
    FDataSet = Value;
    FField = nullptr;
    if (FDataSet) FDataSet->FreeNotification(this);
}

void TReportDBText::Notification(TComponent* AComponent, TOperation Operation) {
    TReportControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet) {
        FDataSet = nullptr;
        FField = nullptr;
    }
}

void TReportDBText::Prepare(TReport*) {
    if (!FDataSet) throw EReportError(Name() + " has no data set");
    FField = FDataSet->FieldByName(FDataField);
}

AnsiString TReportDBText::Text(const TReport&) const { return FField ? FField->DisplayText() : AnsiString(); }

void TReportExpr::DescribeProperties(TPropertyTable& T) {
    T.Property("Expression", &TReportExpr::Expression, &TReportExpr::SetExpression);
}

void TReportExpr::Prepare(TReport* Report) {
    FField = nullptr;
    AnsiString E = Trim(FExpression);
    if (UpperCase(E) == "COUNT") return;
    // A field of a data set of the form: "Table.Field".
    size_t Dot = E.find('.');
    if (Dot != AnsiString::npos) {
        AnsiString Set = Trim(E.substr(0, Dot)), FieldName = Trim(E.substr(Dot + 1));
        TComponent* Root = Report->Owner();
        auto* DataSet = dynamic_cast<TDataSet*>(Root ? Root->FindComponent(Set) : nullptr);
        if (DataSet && IsValidIdent(Set) && !FieldName.empty()) {
            FField = DataSet->FieldByName(FieldName);
            return;
        }
    }
    throw EReportError("Expression not understood in " + Name() + ": " + FExpression);
}

AnsiString TReportExpr::Text(const TReport& Report) const {
    return FField ? FField->DisplayText() : IntToStr(Report.DetailCount());
}

// --- TReport ---

TReport::TReport(TComponent* AOwner) : TReportComponent(AOwner), FMeasure(std::make_unique<TCanvas>()) {
    Font()->SetName("Arial");
    Font()->SetSize(10);
    FMeasure->SetPixelsPerInch(LayoutPixelsPerInch);
}

TReport::~TReport() = default;

void TReport::BeforeDestruction() {
    for (TReportBand* B : std::vector<TReportBand*>(FBands)) B->SetReport(nullptr);
    TReportComponent::BeforeDestruction();
}

void TReport::DescribeProperties(TPropertyTable& T) {
    T.Property("DataSet", &TReport::DataSet, &TReport::SetDataSet);
    T.Property("PaperWidth", &TReport::PaperWidth, &TReport::SetPaperWidth).Default(210.0);
    T.Property("PaperHeight", &TReport::PaperHeight, &TReport::SetPaperHeight).Default(297.0);
    T.Property("LeftMargin", &TReport::LeftMargin, &TReport::SetLeftMargin).Default(10.0);
    T.Property("TopMargin", &TReport::TopMargin, &TReport::SetTopMargin).Default(10.0);
    T.Property("RightMargin", &TReport::RightMargin, &TReport::SetRightMargin).Default(10.0);
    T.Property("BottomMargin", &TReport::BottomMargin, &TReport::SetBottomMargin).Default(10.0);
    T.Property("PrintIfEmpty", &TReport::PrintIfEmpty, &TReport::SetPrintIfEmpty).Default(true);
    T.Property("ReportTitle", &TReport::ReportTitle, &TReport::SetReportTitle);
}

void TReport::SetDataSet(TDataSet* Value) {
    if (Value == FDataSet) return;
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
    FDataSet = Value;
    if (FDataSet) FDataSet->FreeNotification(this);
}

void TReport::SetPaperWidth(double Value) {
    if (!(Value > 0)) throw EReportError("Invalid paper width: " + FloatToStr(Value));
    FPaperWidth = Value;
}

void TReport::SetPaperHeight(double Value) {
    if (!(Value > 0)) throw EReportError("Invalid paper height: " + FloatToStr(Value));
    FPaperHeight = Value;
}

void TReport::SetLeftMargin(double Value) {
    CheckLength(Value, "margin");
    FLeftMargin = Value;
}

void TReport::SetTopMargin(double Value) {
    CheckLength(Value, "margin");
    FTopMargin = Value;
}

void TReport::SetRightMargin(double Value) {
    CheckLength(Value, "margin");
    FRightMargin = Value;
}

void TReport::SetBottomMargin(double Value) {
    CheckLength(Value, "margin");
    FBottomMargin = Value;
}

void TReport::Notification(TComponent* AComponent, TOperation Operation) {
    TReportComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet) FDataSet = nullptr;
}

std::vector<TReportComponent*> TReport::FontChildren() const {
    return std::vector<TReportComponent*>(FBands.begin(), FBands.end());
}

void TReport::GetChildren(const TGetChildProc& Proc, TComponent*) {
    for (TReportBand* B : FBands) Proc(B);
}

void TReport::NewPage(double& Y) {
    FPages.emplace_back();
    Y = FTopMargin;
}

void TReport::PrintBand(TReportBand& Band, double& Y) {
    bool Print = true;
    if (Assigned(Band.BeforePrint)) Band.BeforePrint(&Band, Print);
    if (!Print) return;
    // A band that does not fit above the bottom margin goes to a new page,
    // unless the page is still empty: a band taller than the page would
    // otherwise ask for new pages for ever.
    const double Epsilon = 1e-6;
    if (Y > FTopMargin + Epsilon && Y + Band.Height() > FPaperHeight - FBottomMargin + Epsilon) NewPage(Y);
    if (Band.BandKind() == bkDetail) ++FDetailCount;

    const double Right = FPaperWidth - FRightMargin;
    TReportFont Selected;
    bool HaveFont = false;
    for (TReportControl* C : Band.FControls) {
        AnsiString Text = C->Text(*this);
        if (Text.empty()) continue;
        double Left = FLeftMargin + C->Left();
        // A text never reaches past the band, which ends at the right margin.
        double Room = std::min(C->AutoSize() ? Right - Left : C->Width(), Right - Left);
        int LeftPx = ToPixels(Left, LayoutPixelsPerInch);
        int RoomPx = ToPixels(Left + std::max(0.0, Room), LayoutPixelsPerInch) - LeftPx;
        TReportFont Font = C->ReportFont();
        if (!HaveFont || !(Font == Selected)) {
            SelectFont(*FMeasure, Font, LayoutPixelsPerInch);
            Selected = Font;
            HaveFont = true;
        }
        // Only characters that fit whole are kept.
        size_t Fits = 0;
        int Used = 0;
        for (; Fits < Text.size(); ++Fits) {
            int W = FMeasure->TextWidth(std::string_view(Text).substr(Fits, 1));
            if (Used + W > RoomPx) break;
            Used += W;
        }
        if (Fits == 0) continue;
        Text.resize(Fits);
        double Width = C->AutoSize() ? ToMillimetres(Used, LayoutPixelsPerInch) : Room;
        FPages.back().Runs.push_back(TReportTextRun{Left, Y + C->Top(), Width, std::move(Text), Font});
    }
    Y += Band.Height();
}

void TReport::Prepare() {
    FPages.clear();
    FDetailCount = 0;
    FPrepared = false;
    if (FDataSet) FDataSet->CheckActive();
    for (TReportBand* B : FBands)
        for (TReportControl* C : B->FControls) C->Prepare(this);

    // The run reads the records without the data set's controls following
    // it, and leaves the data set where it found it.
    TControlsDisabled Quiet(FDataSet);
    TBookmark Mark = FDataSet ? FDataSet->GetBookmark() : TBookmark();
    struct TGoBack {
        TDataSet* DataSet;
        const TBookmark& Mark;
        ~TGoBack() {
            if (DataSet && !Mark.empty() && DataSet->Active()) {
                try {
                    DataSet->GotoBookmark(Mark);
                } catch (const Exception&) {
                    // The record went away meanwhile: the data set stays where the run left it.
                }
            }
        }
    } GoBack{FDataSet, Mark};

    bool Empty = true;
    if (FDataSet) {
        FDataSet->First();
        Empty = FDataSet->Eof();
    }
    if (Empty && !FPrintIfEmpty) {
        FPrepared = true;
        return;
    }
    double Y = 0;
    NewPage(Y);
    for (TReportBand* B : std::vector<TReportBand*>(FBands))
        if (B->BandKind() == bkTitle) PrintBand(*B, Y);
    std::vector<TReportBand*> Details;
    for (TReportBand* B : FBands)
        if (B->BandKind() == bkDetail) Details.push_back(B);
    if (FDataSet && !Details.empty()) {
        for (; !FDataSet->Eof(); FDataSet->Next())
            for (TReportBand* B : Details) PrintBand(*B, Y);
    }
    FPrepared = true;
}

void TReport::PaintPage(TCanvas& Canvas, int Index, double PixelsPerInch, TPoint Origin) const {
    const TReportPage& Page = Pages(Index);
    Canvas.Brush()->SetStyle(bsClear);
    TReportFont Selected;
    bool HaveFont = false;
    TTextMetric Tm;
    double Ascent = 0;
    for (const TReportTextRun& Run : Page.Runs) {
        if (!HaveFont || !(Run.Font == Selected)) {
            SelectFont(Canvas, Run.Font, PixelsPerInch);
            Selected = Run.Font;
            HaveFont = true;
            Canvas.GetTextMetrics(Tm);
            Ascent = AscentPerPixel(Run.Font) * -Canvas.Font()->Height();
        }
        // The line's top is where the font's ascent ends above the baseline;
        // the baseline goes to the pixel nearest to it, whatever the device
        // rounds its ascent to.
        int X = Origin.x + ToPixels(Run.Left, PixelsPerInch);
        int Y =
            Origin.y + static_cast<int>(std::lround(Run.Top * PixelsPerInch / 25.4 + Ascent)) - Tm.tmAscent;
        int Right = Origin.x + ToPixels(Run.Left + Run.Width, PixelsPerInch);
        TRect Clip(X, Y, std::max(X, Right), Y + Tm.tmHeight);
        // The run's room holds the text at the printer's resolution. At a
        // coarse one (a whole page on a screen) the font's whole pixels and
        // hinting widen the characters: they close up then, each where its
        // share of the room puts it, so that the whole text still shows.
        std::vector<int> Advances;
        int Wide = 0;
        for (char Ch : Run.Text) Wide += Advances.emplace_back(Canvas.TextWidth(std::string_view(&Ch, 1)));
        if (Wide > Clip.Width() && Wide > 0) {
            int Done = 0, Placed = 0;
            for (int& Advance : Advances) {
                Done += Advance;
                int At = MulDiv(Done, Clip.Width(), Wide);
                Advance = At - Placed;
                Placed = At;
            }
            Canvas.ExtTextOut(X, Y, ETO_CLIPPED, &Clip, Run.Text, Advances);
        } else {
            Canvas.ExtTextOut(X, Y, ETO_CLIPPED, &Clip, Run.Text);
        }
    }
}

TSurface TReport::PagePicture(int Index, int PixelsPerInch) const {
    TSurface Picture(ToPixels(FPaperWidth, PixelsPerInch), ToPixels(FPaperHeight, PixelsPerInch));
    TCanvas Canvas(&Picture);
    Canvas.SetPixelsPerInch(PixelsPerInch);
    Canvas.Brush()->SetColor(clWhite);
    Canvas.FillRect(TRect(0, 0, Picture.Width(), Picture.Height()));
    PaintPage(Canvas, Index, PixelsPerInch);
    return Picture;
}

void TReport::PreviewModal(const TRect& Area) {
    Prepare();
    PreviewReportModal(*this, Area);
}

void TReport::Print(TPrinter& Printer, int From, int To, int Copies) {
    if (!FPrepared) Prepare();
    From = std::max(From, 1);
    To = std::min(To, PageCount());
    if (From > To || Copies < 1) return;
    // The paper of the report, to the tenth of a millimetre the printer
    // takes, for this job only: the printer is the whole program's.
    struct TRestore {
        TPrinter& P;
        TPrinterOrientation Orientation;
        int Width, Height;
        AnsiString Title;
        ~TRestore() {
            if (P.Printing()) return;
            P.SetOrientation(Orientation);
            P.SetPaperSize(Width, Height);
            P.SetTitle(Title);
        }
    } Restore{Printer, Printer.Orientation(), Printer.PaperWidth(), Printer.PaperHeight(), Printer.Title()};
    Printer.SetOrientation(poPortrait);
    Printer.SetPaperSize(static_cast<int>(std::lround(FPaperWidth * 10)),
                         static_cast<int>(std::lround(FPaperHeight * 10)));
    Printer.SetTitle(FReportTitle);
    Printer.BeginDoc();
    try {
        bool First = true;
        for (int Copy = 0; Copy < Copies; ++Copy)
            for (int P = From; P <= To; ++P) {
                if (!First) Printer.NewPage();
                First = false;
                PaintPage(*Printer.Canvas(), P - 1, Printer.PixelsPerInch());
            }
        Printer.EndDoc();
    } catch (...) {
        if (Printer.Printing()) Printer.Abort();
        throw;
    }
}

void RegisterReportClasses() {
    RegisterClasses({&TReport::StaticClassInfo(), &TReportBand::StaticClassInfo(),
                     &TReportLabel::StaticClassInfo(), &TReportDBText::StaticClassInfo(),
                     &TReportExpr::StaticClassInfo()});
}
