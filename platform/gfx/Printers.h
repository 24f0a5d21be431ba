#pragma once
// The printer: print jobs drawn page by page on a canvas.
//
// A job is BeginDoc, drawing on Canvas, NewPage before each further page, and
// EndDoc (or Abort, which drops the job). Each page is a white surface of
// PageWidth by PageHeight pixels: A4 paper (210 by 297 mm, or the paper set) at PixelsPerInch
// dots per inch, 300 unless the printer is made with another resolution, so
// 2480 by 3508 pixels upright; landscape swaps the two. The canvas keeps its
// pen, brush, font and mapping from page to page, and a font given to it
// keeps its size in points (Arial 10 is 42 pixels high on the page).
//
// This machine has no printer device. Printer() is the one printer of the
// process: a TPdfPrinter, which writes each job as a PDF file into the
// per-user Zelmor folder, unless SetPrinter put another in its place (tests
// install a TRecordingPrinter, which keeps the finished pages).
//
// A printer that writes documents keeps text as text (KeepsText): what the
// canvas draws as text reaches it as runs beside the page's pixels, so that a
// reader of the document can search and copy it.
//
// Calls in the wrong state raise EPrinter: "Printing in progress" when a job
// runs and BeginDoc, the orientation or the printer index is asked for;
// "Printer is not currently printing" for NewPage, EndDoc and Abort without a
// job.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Graphics.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"

class TStrings;

ZELMOR_EXCEPTION(EPrinter, Exception);

enum TPrinterOrientation : uint8_t { poPortrait, poLandscape };

constexpr int PrinterPixelsPerInch = 300;

class TPrinter : public TObject {
public:
    explicit TPrinter(int PixelsPerInch = PrinterPixelsPerInch);
    ~TPrinter() override;

    void BeginDoc();
    void NewPage();
    void EndDoc();
    // Drops the job: nothing of it comes out. Aborted stays true until the next BeginDoc.
    void Abort();

    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }
    // 1 on the first page of a job, 0 outside one.
    int PageNumber() const { return FPageNumber; }

    // Outside a job the canvas measures text but draws nowhere.
    TCanvas* Canvas() const { return FCanvas.get(); }
    // The job's name; a job takes the title it has at BeginDoc.
    AnsiString Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value);
    // The paper upright, in tenths of a millimetre: A4 (2100 x 2970) unless
    // set otherwise; sizes below 1 are refused with EPrinter, and so is a
    // change while a job runs.
    int PaperWidth() const { return FPaperWidth; }
    int PaperHeight() const { return FPaperHeight; }
    void SetPaperSize(int Width, int Height);
    // The paper by its code, as printer settings name it (1 letter, 5 legal,
    // 8 A3, 9 A4, 11 A5 ...: PaperSizes); a code not in the table is
    // refused with EPrinter. Setting a code sets the paper size; PaperCode
    // answers 0 for a size no code names.
    int PaperCode() const;
    void SetPaperCode(int Code);
    // Where the printable area begins on the page, in device pixels from
    // its top-left corner: a quarter of an inch on every side, as the
    // printers the libraries were made for leave unprinted.
    int PrintableOffsetX() const { return FPixelsPerInch / 4; }
    int PrintableOffsetY() const { return FPixelsPerInch / 4; }
    // The page in device pixels, as the paper and the orientation make it.
    int PageWidth() const;
    int PageHeight() const;
    // Dots per inch, the same across and down the page.
    int PixelsPerInch() const { return FPixelsPerInch; }

    // The installed printers: this one alone. An index of -1 chooses the
    // default, which is it; PrinterIndex answers 0.
    TStrings* Printers() const;
    int PrinterIndex() const { return 0; }
    void SetPrinterIndex(int Value);

protected:
    // The name the printer has in Printers.
    virtual AnsiString DeviceName() const = 0;
    // Whether text drawn on the canvas comes to PageDone as runs (true) or
    // as pixels of the page (false), for the whole of a job.
    virtual bool KeepsText() const { return false; }
    // Where the pages go. StartJob may refuse the job by raising; PageDone
    // receives every page as it is finished, the last one before EndJob,
    // with the text kept apart from its pixels (empty unless KeepsText).
    // AbortJob drops whatever the job has left behind, on Abort and when
    // PageDone or EndJob fails within EndDoc; it must not raise.
    virtual void StartJob(const AnsiString& Title, int PageWidth, int PageHeight) = 0;
    virtual void PageDone(TSurface&& Page, TTextLayer&& Text) = 0;
    virtual void EndJob() = 0;
    virtual void AbortJob() noexcept = 0;

private:
    void CheckPrinting(bool Value) const;
    void CloseJob();

    int FPixelsPerInch;
    std::unique_ptr<TCanvas> FCanvas;
    std::unique_ptr<TSurface> FPage;
    std::unique_ptr<TTextLayer> FText;
    mutable std::unique_ptr<TStrings> FPrinters;
    AnsiString FTitle;
    TPrinterOrientation FOrientation = poPortrait;
    int FPaperWidth = 2100, FPaperHeight = 2970;
    bool FPrinting = false, FAborted = false;
    int FPageNumber = 0;
};

// Keeps in memory every job that ended with EndDoc; an aborted job leaves nothing.
class TRecordingPrinter : public TPrinter {
public:
    struct TDocument {
        AnsiString Title;
        std::vector<TSurface> Pages;
    };
    using TPrinter::TPrinter;
    const std::vector<TDocument>& Documents() const { return FDocuments; }

protected:
    AnsiString DeviceName() const override;
    void StartJob(const AnsiString& Title, int PageWidth, int PageHeight) override;
    void PageDone(TSurface&& Page, TTextLayer&& Text) override;
    void EndJob() override;
    void AbortJob() noexcept override;

private:
    std::vector<TDocument> FDocuments;
    TDocument FJob;
};

// Writes each job into one PDF file, every page an image at the printer's
// resolution with the text drawn on it as text, in the place and size the
// raster would give it; named after the job's title (FileNameFor) in a folder: the
// per-user Zelmor folder unless the printer is made with another. No job
// replaces a file: when the job ends it takes the first of the title's names
// that no entry of the folder has (FileNameFor with 1, 2, 3 ...), so every
// earlier listing stays; an aborted or failed job leaves no file behind. A
// folder that cannot be made or written raises EFCreateError at BeginDoc; a
// failure while the file is written raises EWriteError from NewPage or
// EndDoc. The messages name the file by its Windows path, in Spanish.
class TPdfPrinter : public TPrinter {
public:
    // Folder: a machine folder (UTF-8); empty for the per-user Zelmor folder.
    explicit TPdfPrinter(std::string Folder = {}, int PixelsPerInch = PrinterPixelsPerInch);
    ~TPdfPrinter() override;
    // The machine folder the files go to.
    std::string Folder() const;
    // The machine path of a job of that title: the title with the
    // characters a file name cannot hold made "_", cut to 100 characters,
    // "Zelmor" when nothing is left, then, from Number 2 on, a blank and
    // the number, and ".pdf".
    std::string FileNameFor(const AnsiString& Title, int Number = 1) const;
    // The file the last finished job was written to (machine path); empty
    // before one.
    const std::string& LastFileName() const { return FLastFileName; }

protected:
    AnsiString DeviceName() const override;
    bool KeepsText() const override { return true; }
    void StartJob(const AnsiString& Title, int PageWidth, int PageHeight) override;
    void PageDone(TSurface&& Page, TTextLayer&& Text) override;
    void EndJob() override;
    void AbortJob() noexcept override;

private:
    struct TJob;
    std::string FFolder;
    std::unique_ptr<TJob> FJob;
    std::string FLastFileName;
};

// The paper sizes printer settings name by code, upright, in tenths of a millimetre.
struct TPaperSize {
    int Code;
    const char* Name;
    int Width, Height;
};
const std::vector<TPaperSize>& PaperSizes();

// The printer of the process; a TPdfPrinter until SetPrinter replaces it.
TPrinter* Printer();
// Puts a printer in place of the current one (nullptr: back to a fresh
// default) and answers the one it replaces.
std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> NewPrinter);

// Installs a printer for as long as it lives and then puts the previous one back.
class TPrinterOverride {
public:
    explicit TPrinterOverride(std::unique_ptr<TPrinter> NewPrinter)
        : FPrevious(SetPrinter(std::move(NewPrinter))) {}
    ~TPrinterOverride() { SetPrinter(std::move(FPrevious)); }
    TPrinterOverride(const TPrinterOverride&) = delete;
    TPrinterOverride& operator=(const TPrinterOverride&) = delete;

private:
    std::unique_ptr<TPrinter> FPrevious;
};
