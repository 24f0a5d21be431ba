#include "dataaware/wwexport.h"

ZELMOR_IMPLEMENT_ENUM(TwwGridExportType, "wwgetTxt", "wwgetHTML", "wwgetSYLK", "wwgetXML")
ZELMOR_IMPLEMENT_ENUM(TwwExportSaveOption, "esoShowHeader", "esoShowFooter", "esoDynamicColors",
                      "esoShowTitle", "esoDblQuoteFields", "esoSaveSelectedOnly", "esoAddControls",
                      "esoBestColFit", "esoShowRecordNo", "esoEmbedURL", "esoShowAlternating",
                      "esoTransparentGrid", "esoClipboard")
ZELMOR_IMPLEMENT_CLASS(TwwExportOptions, TPersistent)

void TwwExportOptions::DescribeProperties(TPropertyTable& T) {
    using C = TwwExportOptions;
    T.Property("ExportType", &C::ExportType, &C::SetExportType).Default(wwgetTxt);
    T.Property("Delimiter", &C::Delimiter, &C::SetDelimiter).Stored(&C::DelimiterStored);
    T.Property("FileName", &C::FileName, &C::SetFileName);
    T.Property("Options", &C::Options, &C::SetOptions)
        .Default(TwwExportSaveOptions{esoShowHeader, esoShowTitle, esoDblQuoteFields, esoShowAlternating});
    T.Property("TitleName", &C::TitleName, &C::SetTitleName);
    T.Property("HTMLBorderWidth", &C::HTMLBorderWidth, &C::SetHTMLBorderWidth).Default(1);
    T.Property("OutputWidthinTwips", &C::OutputWidthinTwips, &C::SetOutputWidthinTwips).Default(0);
}

void TwwExportOptions::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TwwExportOptions*>(Source)) {
        FExportType = S->FExportType;
        FDelimiter = S->FDelimiter;
        FFileName = S->FFileName;
        FOptions = S->FOptions;
        FTitleName = S->FTitleName;
        FHTMLBorderWidth = S->FHTMLBorderWidth;
        FOutputWidthinTwips = S->FOutputWidthinTwips;
        return;
    }
    TPersistent::Assign(Source);
}
