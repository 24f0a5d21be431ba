#include "platform/gfx/Printers.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/gfx/CanvasImpl.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"

namespace {

int PaperPixels(int TenthsOfMm, int PixelsPerInch) { return MulDiv(TenthsOfMm, PixelsPerInch, 254); }

// The titles' numbers stop somewhere: a folder holding this many files of
// one title has more of them than anyone will look through.
constexpr int MaxFilesPerTitle = 9999;

// A failed job names its file as the program speaks of files.
AnsiString FileFailure(const char* What, const std::string& FileName, int Error) {
    return AnsiString(What) + " " + UnmapPath(FileName) + " (" + SystemErrorText(Error) + ")";
}

// Gives the finished file the name Name unless an entry has it: false then.
// Never replaces a file, so that two jobs, of this process or another, can
// never take one name.
bool ClaimName(const std::string& Temp, const std::string& Name, int& Error) {
    if (::renameat2(AT_FDCWD, Temp.c_str(), AT_FDCWD, Name.c_str(), RENAME_NOREPLACE) == 0) return true;
    Error = errno;
    if (Error == EEXIST) return false;
    if (Error != EINVAL && Error != ENOSYS) return false;
    // A file system without that rename: a second link claims the name as surely.
    if (::link(Temp.c_str(), Name.c_str()) == 0) {
        ::unlink(Temp.c_str());
        Error = 0;
        return true;
    }
    Error = errno;
    return false;
}

}  // namespace

// --- TPrinter ---
TPrinter::TPrinter(int PixelsPerInch)
    : FPixelsPerInch(PixelsPerInch > 0 ? PixelsPerInch : PrinterPixelsPerInch),
      FCanvas(std::make_unique<TCanvas>()) {
    FCanvas->SetPixelsPerInch(FPixelsPerInch);
    // A colour printer.
    FCanvas->SetBitsPerPixel(24);
}

TPrinter::~TPrinter() = default;

void TPrinter::CheckPrinting(bool Value) const {
    if (FPrinting == Value) return;
    throw EPrinter(Value ? "Printer is not currently printing" : "Printing in progress");
}

void TPrinter::SetOrientation(TPrinterOrientation Value) {
    CheckPrinting(false);
    FOrientation = Value;
}

void TPrinter::SetPaperSize(int Width, int Height) {
    CheckPrinting(false);
    if (Width < 1 || Height < 1) throw EPrinter("Paper size is not valid");
    FPaperWidth = Width;
    FPaperHeight = Height;
}

const std::vector<TPaperSize>& PaperSizes() {
    static const std::vector<TPaperSize> sizes = {
        {1, "Letter", 2159, 2794}, {5, "Legal", 2159, 3556},        {7, "Executive", 1842, 2667},
        {8, "A3", 2970, 4200},     {9, "A4", 2100, 2970},           {11, "A5", 1480, 2100},
        {13, "B5", 1820, 2570},    {20, "Envelope #10", 1048, 2413}};
    return sizes;
}

int TPrinter::PaperCode() const {
    for (const TPaperSize& p : PaperSizes())
        if (p.Width == FPaperWidth && p.Height == FPaperHeight) return p.Code;
    return 0;
}

void TPrinter::SetPaperCode(int Code) {
    for (const TPaperSize& p : PaperSizes())
        if (p.Code == Code) return SetPaperSize(p.Width, p.Height);
    throw EPrinter("Paper size is not valid");
}

int TPrinter::PageWidth() const {
    return PaperPixels(FOrientation == poPortrait ? FPaperWidth : FPaperHeight, FPixelsPerInch);
}

int TPrinter::PageHeight() const {
    return PaperPixels(FOrientation == poPortrait ? FPaperHeight : FPaperWidth, FPixelsPerInch);
}

TStrings* TPrinter::Printers() const {
    if (!FPrinters) {
        FPrinters = std::make_unique<TStringList>();
        FPrinters->Add(DeviceName());
    }
    return FPrinters.get();
}

void TPrinter::SetPrinterIndex(int Value) {
    CheckPrinting(false);
    if (Value != -1 && Value != 0) throw EPrinter("Printer selected is not valid");
}

void TPrinter::CloseJob() {
    FCanvas->SetSurface(nullptr);
    FCanvas->SetTextLayer(nullptr);
    FPage.reset();
    FText.reset();
    FPrinting = false;
    FPageNumber = 0;
}

void TPrinter::BeginDoc() {
    CheckPrinting(false);
    auto page = std::make_unique<TSurface>(PageWidth(), PageHeight());
    StartJob(FTitle, page->Width(), page->Height());
    FPage = std::move(page);
    FCanvas->SetSurface(FPage.get());
    if (KeepsText()) FText = std::make_unique<TTextLayer>();
    FCanvas->SetTextLayer(FText.get());
    // A job starts on a fresh device; the tools chosen on the canvas stay chosen.
    FCanvas->ResetDeviceState();
    FPrinting = true;
    FAborted = false;
    FPageNumber = 1;
}

void TPrinter::NewPage() {
    CheckPrinting(true);
    std::unique_ptr<TSurface> done =
        std::exchange(FPage, std::make_unique<TSurface>(PageWidth(), PageHeight()));
    TTextLayer text;
    if (FText) std::swap(text, *FText);
    FCanvas->SetSurface(FPage.get());
    // The new page is in place before the finished one is handed on: should
    // that fail, the job still has a page to draw on until the caller aborts it.
    ++FPageNumber;
    FCanvas->Refresh();
    PageDone(std::move(*done), std::move(text));
}

void TPrinter::EndDoc() {
    CheckPrinting(true);
    std::unique_ptr<TSurface> last = std::move(FPage);
    TTextLayer text;
    if (FText) std::swap(text, *FText);
    CloseJob();
    try {
        PageDone(std::move(*last), std::move(text));
        last.reset();
        EndJob();
    } catch (...) {
        AbortJob();
        throw;
    }
}

void TPrinter::Abort() {
    CheckPrinting(true);
    CloseJob();
    FAborted = true;
    AbortJob();
}

// --- TRecordingPrinter ---
AnsiString TRecordingPrinter::DeviceName() const { return "Recording printer"; }

void TRecordingPrinter::StartJob(const AnsiString& Title, int, int) { FJob = TDocument{Title, {}}; }

void TRecordingPrinter::PageDone(TSurface&& Page, TTextLayer&&) { FJob.Pages.push_back(std::move(Page)); }

void TRecordingPrinter::EndJob() { FDocuments.push_back(std::move(FJob)); }

void TRecordingPrinter::AbortJob() noexcept { FJob = TDocument{}; }

// --- TPdfPrinter ---
// The file is written under a hidden temporary name beside its final one and
// renamed when complete, so that a reader never meets half a document and a
// failed job never destroys the file an earlier one wrote.
struct TPdfPrinter::TJob {
    AnsiString Title;
    std::string FileName, TempName;
    int Fd = -1;
    int Error = 0;  // the first failed write
    bool Dropping = false;
    int PixelsPerInch = PrinterPixelsPerInch;
    cairo_surface_t* Pdf = nullptr;

    ~TJob() {
        Dropping = true;  // an unfinished surface finishes on destruction: nothing more reaches the disk
        if (Pdf) cairo_surface_destroy(Pdf);
        if (Fd >= 0) ::close(Fd);
        if (!TempName.empty()) ::unlink(TempName.c_str());
    }

    static cairo_status_t Write(void* Closure, const unsigned char* Data, unsigned int Length) {
        auto* job = static_cast<TJob*>(Closure);
        if (job->Dropping) return CAIRO_STATUS_SUCCESS;
        while (Length > 0 && job->Error == 0) {
            ssize_t n = ::write(job->Fd, Data, Length);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) job->Error = n < 0 ? errno : EIO;
            else {
                Data += n;
                Length -= unsigned(n);
            }
        }
        return job->Error ? CAIRO_STATUS_WRITE_ERROR : CAIRO_STATUS_SUCCESS;
    }

    [[noreturn]] void Fail(int Err) const {
        throw EWriteError(FileFailure("No se puede escribir el archivo", FileName, Err));
    }
    void Check() const {
        if (Error) Fail(Error);
        if (cairo_surface_status(Pdf) != CAIRO_STATUS_SUCCESS) Fail(EIO);
    }
};

TPdfPrinter::TPdfPrinter(std::string Folder, int PixelsPerInch)
    : TPrinter(PixelsPerInch), FFolder(std::move(Folder)) {}

TPdfPrinter::~TPdfPrinter() = default;

AnsiString TPdfPrinter::DeviceName() const { return "Archivo PDF"; }

std::string TPdfPrinter::Folder() const { return FFolder.empty() ? UserFolder() : FFolder; }

std::string TPdfPrinter::FileNameFor(const AnsiString& Title, int Number) const {
    AnsiString name;
    for (char c : Title.substr(0, 100)) {
        bool bad = uint8_t(c) < 32 || std::strchr("<>:\"/\\|?*", c) != nullptr;
        name += bad ? '_' : c;
    }
    // Leading dots would hide the file; trailing blanks and dots are lost on Windows copies.
    size_t first = name.find_first_not_of(". ");
    size_t last = name.find_last_not_of(". ");
    name = first == AnsiString::npos ? AnsiString() : name.substr(first, last - first + 1);
    if (name.empty()) name = "Zelmor";
    if (Number > 1) name += " " + IntToStr(Number);
    return (std::filesystem::path(Folder()) / (ToUtf8(name) + ".pdf")).string();
}

void TPdfPrinter::StartJob(const AnsiString& Title, int PageWidth, int PageHeight) {
    auto job = std::make_unique<TJob>();
    job->Title = Title;
    job->FileName = FileNameFor(Title);
    job->PixelsPerInch = PixelsPerInch();
    std::filesystem::path file(job->FileName);
    auto refuse = [&](int Err) {
        throw EFCreateError(FileFailure("No se puede crear el archivo", job->FileName, Err));
    };
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) refuse(ec.value());
    std::string hidden(1, '.');
    hidden += file.filename().string();
    hidden += ".XXXXXX";
    std::string temp = (file.parent_path() / hidden).string();
    job->Fd = ::mkstemp(temp.data());
    if (job->Fd < 0) refuse(errno);
    job->TempName = temp;
    // mkstemp makes the file private; the finished document is an ordinary file.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(job->Fd, 0666 & ~mask);

    double scale = 72.0 / job->PixelsPerInch;  // points per printer pixel
    job->Pdf =
        cairo_pdf_surface_create_for_stream(&TJob::Write, job.get(), PageWidth * scale, PageHeight * scale);
    // 1.4 keeps the page tree in plain objects, which every reader takes.
    cairo_pdf_surface_restrict_to_version(job->Pdf, CAIRO_PDF_VERSION_1_4);
    std::string title = ToUtf8(Title);
    cairo_pdf_surface_set_metadata(job->Pdf, CAIRO_PDF_METADATA_TITLE, title.c_str());
    if (cairo_surface_status(job->Pdf) != CAIRO_STATUS_SUCCESS) refuse(EIO);
    FJob = std::move(job);
}

void TPdfPrinter::PageDone(TSurface&& Page, TTextLayer&& Text) {
    int w = Page.Width(), h = Page.Height();
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_surface_flush(image);
    uint8_t* data = cairo_image_surface_get_data(image);
    int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < h; ++y)
        Page.ReadSpan(0, y, w, reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride)));
    cairo_surface_mark_dirty(image);
    Page = TSurface();  // the page's pixels live on in the image alone

    cairo_t* cr = cairo_create(FJob->Pdf);
    double scale = 72.0 / FJob->PixelsPerInch;
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, image, 0, 0);
    // Printer pixels stay sharp squares in any viewer.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    ShowTextRuns(cr, Text);
    Text.clear();
    cairo_show_page(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(image);
    FJob->Check();
}

void TPdfPrinter::EndJob() {
    TJob& job = *FJob;
    cairo_surface_finish(job.Pdf);
    job.Check();
    int fd = job.Fd;
    job.Fd = -1;
    // On the disk before the rename, so that a crash leaves the old file or the whole new one.
    int synced = ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && synced == 0) synced = errno;
    if (synced) job.Fail(synced);
    // Each job keeps the files of the earlier ones: it takes the first free
    // name of the title's, the title's followed by 2, 3 ...
    for (int number = 1;; ++number) {
        if (number > 1) job.FileName = FileNameFor(job.Title, number);
        int error = 0;
        if (ClaimName(job.TempName, job.FileName, error)) break;
        if (error != EEXIST || number == MaxFilesPerTitle) job.Fail(error);
    }
    job.TempName.clear();
    FLastFileName = job.FileName;
    FJob.reset();
}

void TPdfPrinter::AbortJob() noexcept { FJob.reset(); }

// --- the printer of the process ---
namespace {
std::unique_ptr<TPrinter>& CurrentPrinter() {
    static std::unique_ptr<TPrinter> printer;
    return printer;
}
}  // namespace

TPrinter* Printer() {
    auto& p = CurrentPrinter();
    if (!p) p = std::make_unique<TPdfPrinter>();
    return p.get();
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> NewPrinter) {
    std::unique_ptr<TPrinter> old = std::move(CurrentPrinter());
    CurrentPrinter() = std::move(NewPrinter);
    return old;
}
