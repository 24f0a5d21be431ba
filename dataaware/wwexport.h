#pragma once
// The export settings every published grid owns (its ExportOptions). The
// program's forms stream them with the grid; the export itself is not built
// here, so they are settings only.
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

private:
    TComponent* FGrid;
    TwwGridExportType FExportType = wwgetTxt;
    AnsiString FDelimiter = ",";
    AnsiString FFileName;
    TwwExportSaveOptions FOptions{esoShowHeader, esoShowTitle, esoDblQuoteFields, esoShowAlternating};
    AnsiString FTitleName;
    int FHTMLBorderWidth = 1;
    int FOutputWidthinTwips = 0;
};
