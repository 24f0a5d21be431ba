#pragma once
// The export of a published grid's records (its ExportOptions): delimited or
// fixed-width text, an HTML table or a SYLK spreadsheet, to a file or to the
// clipboard, all records or only the selected ones, each cell as the grid
// shows it (GetCellDisplayText).
//
// Encodings. The program's texts are Windows-1252, and so are the bytes of
// the text and SYLK files and of every plain-text clipboard block. An HTML
// file is Windows-1252 too and says so in a META line of its head. The
// clipboard's "HTML Format" block is UTF-8 (its META line says utf-8), with
// the offsets of its header counted in its UTF-8 bytes.
//
// How an export keeps the data and the files sound:
// - The whole export is made in memory and the file is written once the walk
//   has ended: an export that fails half-way, or writes nothing, leaves an
//   existing file as it was. Save answers false when nothing was exported
//   (the grid has no open data set, XML was asked, or an export is running).
// - XML is not exported: Save shows "XML export is not supported" and
//   changes nothing.
// - During the walk only paint messages are handled: input waits in the
//   queue until the export has ended, so that nothing moves the record,
//   closes the data set or frees the grid meanwhile. A second Save of the
//   same grid while one runs does nothing.
// - HTML: every text that comes from the data or the layout (cells, titles,
//   group names, the caption, footer texts, the file name, control values
//   and link addresses) has &, <, > and " escaped before the line breaks
//   become <BR> and links become <A href>.
// - Quoted text doubles the double quotes inside it; SYLK text values are
//   always quoted (as a spreadsheet reads them), ";" doubled, and every line
//   break in them (CR LF, a lone CR or LF) is a blank, so that a value never
//   ends its record.
#include <cstdint>

#include "platform/classes/Properties.h"
#include "platform/rtl/Object.h"

class TComponent;

enum TwwGridExportType : uint8_t { wwgetTxt, wwgetHTML, wwgetSYLK, wwgetXML };
ZELMOR_DECLARE_ENUM(TwwGridExportType);
enum TwwExportSaveOption : uint8_t {
    esoShowHeader,
    esoShowFooter,
    esoDynamicColors,
    esoShowTitle,
    esoDblQuoteFields,
    esoSaveSelectedOnly,
    esoAddControls,
    esoBestColFit,
    esoShowRecordNo,
    esoEmbedURL,
    esoShowAlternating,
    esoTransparentGrid,
    esoClipboard
};
ZELMOR_DECLARE_ENUM(TwwExportSaveOption);
using TwwExportSaveOptions = TSet<TwwExportSaveOption>;

class TwwExportOptions : public TPersistent {
    ZELMOR_CLASS(TwwExportOptions, TPersistent)
public:
    explicit TwwExportOptions(TComponent* Grid) : FGrid(Grid) {}
    static void DescribeProperties(TPropertyTable& T);
    TwwGridExportType ExportType() const { return FExportType; }
    void SetExportType(TwwGridExportType Value) { FExportType = Value; }
    const AnsiString& Delimiter() const { return FDelimiter; }
    void SetDelimiter(const AnsiString& Value) { FDelimiter = Value; }
    bool DelimiterStored() const { return FDelimiter != ","; }
    const AnsiString& FileName() const { return FFileName; }
    void SetFileName(const AnsiString& Value) { FFileName = Value; }
    // FileName, or when empty the program's name before its first "." with ".txt".
    AnsiString EffectiveFileName() const;
    TwwExportSaveOptions Options() const { return FOptions; }
    void SetOptions(TwwExportSaveOptions Value) { FOptions = Value; }
    const AnsiString& TitleName() const { return FTitleName; }
    void SetTitleName(const AnsiString& Value) { FTitleName = Value; }
    int HTMLBorderWidth() const { return FHTMLBorderWidth; }
    void SetHTMLBorderWidth(int Value) { FHTMLBorderWidth = Value; }
    int OutputWidthinTwips() const { return FOutputWidthinTwips; }
    void SetOutputWidthinTwips(int Value) { FOutputWidthinTwips = Value; }
    TComponent* Grid() const { return FGrid; }
    void Assign(TPersistent* Source) override;

    // Text between double quotes with esoDblQuoteFields (the quotes inside
    // doubled); an empty text is "" only for fixed-width text.
    virtual AnsiString QuoteField(const AnsiString& Text);
    // Exports the grid's records; false when nothing was exported. Errors of
    // the file or the data set are raised; the record is back in its place.
    virtual bool Save();
    // The export as the file would hold it (the clipboard's blocks are made
    // from it); false, with Text empty, when nothing can be exported.
    bool MakeExport(AnsiString& Text);
    bool Exporting() const { return FExporting; }

private:
    TComponent* FGrid;
    TwwGridExportType FExportType = wwgetTxt;
    AnsiString FDelimiter = ",";
    AnsiString FFileName;
    TwwExportSaveOptions FOptions{esoShowHeader, esoShowTitle, esoDblQuoteFields, esoShowAlternating};
    AnsiString FTitleName;
    int FHTMLBorderWidth = 1;
    int FOutputWidthinTwips = 0;
    bool FExporting = false;
};

// The clipboard's "HTML Format" block of an HTML document: the header with
// its byte offsets, the wrapped document and a closing zero byte.
std::string HtmlClipboardBlock(std::string_view Document);
// &, <, > and " as HTML entities.
AnsiString HtmlEscape(std::string_view Text);
