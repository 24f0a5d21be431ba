#pragma once
// Banded reports: a report over a data set, made of bands that hold texts.
//
// A report (TReport) is a component of a form, with its bands (TReportBand)
// and their texts (TReportLabel, TReportDBText, TReportExpr) read from the
// form file inside it:
//
//   object QR: TReport                 lengths in millimetres
//     DataSet = TAlum                  its records, in the data set's order
//     PrintIfEmpty = True              a page with the title even without records
//     object QRBand1: TReportBand
//       BandKind = bkTitle             printed once, at the top of the first page
//       Height = 22.0
//       object LabelTitulo: TReportLabel
//         Left = 2.1
//         Top = 4.2
//       end
//     end
//     object QRBand2: TReportBand
//       BandKind = bkDetail            printed once per record
//       Height = 5.0
//       BeforePrint = QRBand2BeforePrint
//       object QRExpr1: TReportExpr
//         Expression = 'COUNT'
//         AutoSize = False
//         Width = 11.6
//       end
//     end
//   end
//
// Prepare runs the data set once and lays the pages out as lists of text
// runs placed in millimetres on the paper; the preview, the pictures and the
// printer all draw those same lists, so that what is printed is what was
// shown. Reading the records is the data set's own (each record read runs
// its calculated fields); the report keeps the data set's place and its
// controls quiet while it runs.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/Properties.h"
#include "platform/gfx/Graphics.h"
#include "platform/rtl/Exceptions.h"

class TDataSet;
class TField;
class TPrinter;
class TReport;
class TReportBand;
class TReportControl;

ZELMOR_EXCEPTION(EReportError, Exception);

// A font as the report lays text out: the face as the form names it, its
// size in points (whatever the resolution it is drawn at), style and colour.
struct TReportFont {
    AnsiString Name;
    int Size = 10;
    TFontStyles Style;
    TColor Color = clBlack;
    bool operator==(const TReportFont&) const = default;
};

// One text placed on a page: its left edge and the top of its line in
// millimetres from the paper's top-left corner, the room it may take (the
// text is already cut to it) and its font.
struct TReportTextRun {
    double Left = 0, Top = 0, Width = 0;
    AnsiString Text;
    TReportFont Font;
};

struct TReportPage {
    std::vector<TReportTextRun> Runs;
};

// What reports, bands and texts share: a font that follows the parent's
// until one of its own is given (as the font of a control does).
class TReportComponent : public TComponent {
    ZELMOR_CLASS(TReportComponent, TComponent)
public:
    explicit TReportComponent(TComponent* AOwner);
    ~TReportComponent() override;
    static void DescribeProperties(TPropertyTable& T);

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TReportFont ReportFont() const;

protected:
    // The component whose font this one follows; null for the report.
    virtual TReportComponent* FontParent() const { return nullptr; }
    // Those that follow this one's font.
    virtual std::vector<TReportComponent*> FontChildren() const { return {}; }
    // Takes the parent's font again (while ParentFont) and passes it on.
    void ParentFontChanged();

private:
    void FontChanged(TObject* Sender);
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FTakingParentFont = false;
};

enum TBandKind : uint8_t { bkTitle, bkDetail };
ZELMOR_DECLARE_ENUM(TBandKind);

using TBandBeforePrintEvent = TEvent<void(TReportBand* Sender, bool& PrintBand)>;

class TReportBand : public TReportComponent {
    ZELMOR_CLASS(TReportBand, TReportComponent)
    friend class TReport;
    friend class TReportControl;

public:
    explicit TReportBand(TComponent* AOwner);
    void BeforeDestruction() override;
    static void DescribeProperties(TPropertyTable& T);

    TReport* Report() const { return FReport; }
    void SetReport(TReport* Value);
    TBandKind BandKind() const { return FBandKind; }
    void SetBandKind(TBandKind Value) { FBandKind = Value; }
    // Millimetres.
    double Height() const { return FHeight; }
    void SetHeight(double Value);
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TReportControl* Controls(int Index) const { return FControls.at(static_cast<size_t>(Index)); }

    // Runs before the band is laid out; clearing PrintBand leaves it out.
    TBandBeforePrintEvent BeforePrint;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
    TReportComponent* FontParent() const override;
    std::vector<TReportComponent*> FontChildren() const override;

private:
    TReport* FReport = nullptr;
    std::vector<TReportControl*> FControls;
    TBandKind FBandKind = bkDetail;
    double FHeight = 10;
};

// A text of a band. With AutoSize it is as wide as its text (but no wider
// than the band, which ends at the right margin); otherwise it is Width
// millimetres wide and its text is cut to the characters that fit whole.
class TReportControl : public TReportComponent {
    ZELMOR_CLASS(TReportControl, TReportComponent)
    friend class TReport;
    friend class TReportBand;

public:
    explicit TReportControl(TComponent* AOwner);
    void BeforeDestruction() override;
    static void DescribeProperties(TPropertyTable& T);

    TReportBand* Band() const { return FBand; }
    void SetBand(TReportBand* Value);
    // Millimetres from the band's left edge (the left margin) and top.
    double Left() const { return FLeft; }
    void SetLeft(double Value) { FLeft = Value; }
    double Top() const { return FTop; }
    void SetTop(double Value) { FTop = Value; }
    double Width() const { return FWidth; }
    void SetWidth(double Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { FAutoSize = Value; }

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

protected:
    TReportComponent* FontParent() const override;
    // Readies whatever the text needs for a run of its report (a field
    // found, an expression understood); raises EReportError when it cannot.
    virtual void Prepare(TReport*) {}
    // The text for the band being laid out.
    virtual AnsiString Text(const TReport& Report) const = 0;

private:
    TReportBand* FBand = nullptr;
    double FLeft = 0, FTop = 0, FWidth = 20;
    bool FAutoSize = true;
};

// A fixed text; its Caption may be set at run time, before Prepare.
class TReportLabel : public TReportControl {
    ZELMOR_CLASS(TReportLabel, TReportControl)
public:
    explicit TReportLabel(TComponent* AOwner) : TReportControl(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value) { FCaption = Value; }

protected:
    AnsiString Text(const TReport&) const override { return FCaption; }

private:
    AnsiString FCaption;
};

// The display text of a field of a data set in its current record.
class TReportDBText : public TReportControl {
    ZELMOR_CLASS(TReportDBText, TReportControl)
public:
    explicit TReportDBText(TComponent* AOwner) : TReportControl(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    const AnsiString& DataField() const { return FDataField; }
    void SetDataField(const AnsiString& Value) { FDataField = Value; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Prepare(TReport* Report) override;
    AnsiString Text(const TReport& Report) const override;

private:
    TDataSet* FDataSet = nullptr;
    AnsiString FDataField;
    TField* FField = nullptr;
};

// The value of an expression. Two are understood: "COUNT", the number of
// detail bands printed so far, the one being laid out included; and a field
// of a data set of the report's form, as "TAlum.ASIGS". Any other raises
// EReportError when the report is prepared.
class TReportExpr : public TReportControl {
    ZELMOR_CLASS(TReportExpr, TReportControl)
public:
    explicit TReportExpr(TComponent* AOwner) : TReportControl(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
    const AnsiString& Expression() const { return FExpression; }
    void SetExpression(const AnsiString& Value) { FExpression = Value; }

protected:
    void Prepare(TReport* Report) override;
    AnsiString Text(const TReport& Report) const override;

private:
    AnsiString FExpression;
    TField* FField = nullptr;  // the field named; null for COUNT
};

class TReport : public TReportComponent {
    ZELMOR_CLASS(TReport, TReportComponent)
    friend class TReportBand;

public:
    explicit TReport(TComponent* AOwner);
    ~TReport() override;
    void BeforeDestruction() override;
    static void DescribeProperties(TPropertyTable& T);

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    // The paper, upright, and its margins, in millimetres: A4 with 10 mm
    // margins unless set otherwise.
    double PaperWidth() const { return FPaperWidth; }
    void SetPaperWidth(double Value);
    double PaperHeight() const { return FPaperHeight; }
    void SetPaperHeight(double Value);
    double LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(double Value);
    double TopMargin() const { return FTopMargin; }
    void SetTopMargin(double Value);
    double RightMargin() const { return FRightMargin; }
    void SetRightMargin(double Value);
    double BottomMargin() const { return FBottomMargin; }
    void SetBottomMargin(double Value);
    // Whether a data set without records still gives a page (with the title
    // band); without it such a report has no pages.
    bool PrintIfEmpty() const { return FPrintIfEmpty; }
    void SetPrintIfEmpty(bool Value) { FPrintIfEmpty = Value; }
    // The name of the print job (the PDF file is named after it).
    const AnsiString& ReportTitle() const { return FReportTitle; }
    void SetReportTitle(const AnsiString& Value) { FReportTitle = Value; }

    int BandCount() const { return static_cast<int>(FBands.size()); }
    TReportBand* Bands(int Index) const { return FBands.at(static_cast<size_t>(Index)); }

    // Runs the data set from its first record and lays out the pages: the
    // title bands at the top of the first page, then the detail bands of
    // every record, each on a new page when it does not fit above the bottom
    // margin. A band's BeforePrint runs before it is laid out. The data set
    // is left on the record it was on.
    void Prepare();
    // The pages of the last Prepare.
    int PageCount() const { return static_cast<int>(FPages.size()); }
    const TReportPage& Pages(int Index) const { return FPages.at(static_cast<size_t>(Index)); }
    // Detail bands laid out so far: "COUNT" while the report runs, the
    // number of detail bands printed once it is done.
    int DetailCount() const { return FDetailCount; }

    // Prepares the report and shows it in the print preview, modally; the
    // user may print it from there.
    void PreviewModal();
    // Prints the pages From..To (1-based) Copies times, in order, as one job
    // of Printer titled ReportTitle. Prepares the report first when it has
    // not been prepared.
    void Print(TPrinter& Printer, int From, int To, int Copies = 1);

    // Draws a page's texts on a canvas at a resolution (pixels per inch),
    // the paper's top-left corner at Origin. Only the texts: the paper is the
    // caller's.
    void PaintPage(TCanvas& Canvas, int Index, double PixelsPerInch, TPoint Origin = {0, 0}) const;
    // A page as a picture: white paper with its texts.
    TSurface PagePicture(int Index, int PixelsPerInch) const;

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    std::vector<TReportComponent*> FontChildren() const override;

private:
    void PrintBand(TReportBand& Band, double& Y);
    void NewPage(double& Y);
    TDataSet* FDataSet = nullptr;
    double FPaperWidth = 210, FPaperHeight = 297;
    double FLeftMargin = 10, FTopMargin = 10, FRightMargin = 10, FBottomMargin = 10;
    bool FPrintIfEmpty = true;
    AnsiString FReportTitle;
    std::vector<TReportBand*> FBands;
    std::vector<TReportPage> FPages;
    int FDetailCount = 0;
    bool FPrepared = false;
    std::unique_ptr<TCanvas> FMeasure;
};

// Makes the report classes known to form files.
void RegisterReportClasses();
