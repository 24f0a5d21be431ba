#include "dataaware/wwexport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "dataaware/Wwdbcomb.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/wwcheckbox.h"
#include "dataaware/wwgridhint.h"
#include "dataaware/wwhistorylist.h"
#include "dataaware/wwpaintoptions.h"
#include "dataaware/wwradiogroup.h"
#include "dataaware/wwstr.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Regional.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/FileStream.h"
#include "platform/sys/Paths.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"

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

AnsiString TwwExportOptions::EffectiveFileName() const {
    if (!FFileName.empty()) return FFileName;
    if (FGrid && FGrid->ComponentState().Contains(csDesigning)) return {};
    return ChangeFileExt(ProgramIniFileName(), ".txt");
}

AnsiString TwwExportOptions::QuoteField(const AnsiString& Text) {
    if (!FOptions.Contains(esoDblQuoteFields)) return Text;
    if (Text.empty()) return FExportType == wwgetTxt && FDelimiter.empty() ? "\"\"" : "";
    return "\"" + StringReplace(Text, "\"", "\"\"", rfReplaceAll) + "\"";
}

AnsiString HtmlEscape(std::string_view Text) {
    AnsiString Out;
    Out.reserve(Text.size());
    for (char Ch : Text) {
        switch (Ch) {
        case '&': Out += "&amp;"; break;
        case '<': Out += "&lt;"; break;
        case '>': Out += "&gt;"; break;
        case '"': Out += "&quot;"; break;
        default: Out += Ch;
        }
    }
    return Out;
}

void TwwDBGrid::DoExportField(TField* Field, bool& Accept) {
    if (Assigned(OnExportField)) OnExportField(this, Field, Accept);
}

void TwwDBGrid::DoExportSYLKFormat(TField* Field, AnsiString& SYLKFormat) {
    if (Assigned(OnExportSYLKFormat)) OnExportSYLKFormat(this, Field, SYLKFormat);
}

std::string HtmlClipboardBlock(std::string_view Document) {
    static constexpr std::string_view Start = "<!--StartFragment-->", End = "<!--EndFragment-->";
    std::string Wrapped;
    Wrapped.reserve(Document.size() + 64);
    Wrapped.append(Start).append("\r\n").append(Document).append(End);
    auto Header = [](size_t A, size_t B, size_t C, size_t D) {
        char Buf[256];
        std::snprintf(Buf, sizeof Buf,
                      "Version:0.9\r\nStartHTML:%010zu\r\nEndHTML:%010zu\r\nStartFragment:%010zu\r\n"
                      "EndFragment:%010zu\r\nStartSelection:%010zu\r\nEndSelection:%010zu\r\n",
                      A, B, C, D, C, D);
        return std::string(Buf);
    };
    const size_t H = Header(0, 0, 0, 0).size();
    std::string Block = Header(H, H + Wrapped.size(), H + Start.size(), H + Wrapped.size() - End.size());
    Block += Wrapped;
    Block.push_back('\0');
    return Block;
}

namespace {

const char* AlignmentWord(TAlignment A) {
    return A == taRightJustify ? "right" : A == taCenter ? "center" : "left";
}
char AlignmentLetter(TAlignment A) { return A == taRightJustify ? 'R' : A == taCenter ? 'C' : 'L'; }

AnsiString ColorDigits(TColor Color) {
    const TColorRef C = ColorToRGB(Color);
    char Buf[8];
    std::snprintf(Buf, sizeof Buf, "%02X%02X%02X", C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF);
    return Buf;
}
AnsiString ColorAttribute(TColor Color) { return "BGCOLOR=#" + ColorDigits(Color); }

AnsiString FontStyleAttribute(TFont* Font) {
    return "STYLE=\"font-family: " + HtmlEscape(Font->Name()) + ";font-size: " + IntToStr(Font->Size()) +
           " pt;color:#" + ColorDigits(Font->Color()) + ";\"";
}

AnsiString InFontTags(TFont* Font, const AnsiString& Text) {
    AnsiString T = Text;
    const TFontStyles S = Font->Style();
    if (S.Contains(fsItalic)) T = "<I>" + T + "</I>";
    if (S.Contains(fsBold)) T = "<B>" + T + "</B>";
    if (S.Contains(fsUnderline)) T = "<U>" + T + "</U>";
    if (S.Contains(fsStrikeOut)) T = "<STRIKE>" + T + "</STRIKE>";
    return T;
}

bool SameFontLook(TFont* A, TFont* B) {
    return A->Name() == B->Name() && A->Size() == B->Size() && A->Color() == B->Color();
}

// The r-th "~" part (1-based) of a title; empty when missing or after an empty part.
AnsiString TitlePart(const AnsiString& Title, int R) {
    int Position = 1;
    AnsiString Part;
    for (int I = 1; I <= R; ++I) {
        if (Position < 0) return {};
        Part = NextToken(Title, "~", Position);
        if (Part.empty()) return {};
    }
    return Part;
}

AnsiString PadLeft(const AnsiString& Text, int Width) {
    return static_cast<int>(Text.size()) >= Width ? Text : AnsiString(Width - Text.size(), ' ') + Text;
}
AnsiString PadRight(const AnsiString& Text, int Width) {
    return static_cast<int>(Text.size()) >= Width ? Text : Text + AnsiString(Width - Text.size(), ' ');
}

AnsiString DoubleSemicolons(std::string_view Text) { return StringReplace(Text, ";", ";;", rfReplaceAll); }

// 15 significant digits with "." as the decimal point.
AnsiString SylkNumber(double Value) {
    TFormatSettings S = FormatSettings();
    S.DecimalSeparator = '.';
    return FloatToStrF(Value, ffGeneral, 15, 0, S);
}

bool IsIntegerType(TFieldType T) {
    return T == ftSmallint || T == ftInteger || T == ftWord || T == ftLargeint || T == ftAutoInc;
}
bool IsNumberFormatType(TFieldType T) {
    return T == ftFloat || T == ftCurrency || T == ftDate || T == ftTime || T == ftDateTime;
}

// One export of one grid: the working state lives while it runs.
class TExportWriter {
public:
    TExportWriter(TwwExportOptions* Options, TwwDBGrid* Grid)
        : O(Options), G(Grid), Opt(Options->Options()) {}
    AnsiString Run();

private:
    bool Has(TwwExportSaveOption X) const { return Opt.Contains(X); }
    int Mapped() const { return G->DataLink()->MappedCount(); }
    TField* FieldOf(int I) const { return G->DataLink()->MappedField(I); }
    TwwColumn* Col(int I) const { return G->ColumnAt(I); }
    int GridCol(int I) const { return I + G->IndicatorOffset(); }
    int TitleColumns() const { return Mapped() + (Has(esoShowRecordNo) ? 1 : 0); }
    // The grid columns of I's group: [First, Last] as data columns.
    void GroupOf(int I, int& First, int& Last);
    int ExportedIn(int First, int Last) const;
    AnsiString ControlName(TField* F, AnsiString& Kind);

    void TextHeader();
    void TextRow();
    void HtmlHead();
    void HtmlRow();
    AnsiString HtmlCellText(int I, TField* F);
    void SylkHeader();
    void SylkTitles();
    void SylkRow();
    AnsiString SylkValue(TField* F, const AnsiString& Text);
    int FontNumber(TFont* Font);
    void SylkFinish();

    TwwExportOptions* O;
    TwwDBGrid* G;
    TwwExportSaveOptions Opt;
    std::vector<bool> Exported;
    int TotalWidth = 0;
    std::vector<int> SylkFormats;
    std::vector<AnsiString> Fonts;
    int Counter = 0;
    int Written = 0;
    AnsiString Out;
};

void TExportWriter::GroupOf(int I, int& First, int& Last) {
    TRect R;
    G->GetGroupHeaderRect(GridCol(I), 0, R, false, First, Last);
    First -= G->IndicatorOffset();
    Last -= G->IndicatorOffset();
    First = std::max(First, 0);
    Last = std::min(Last, Mapped() - 1);
}

int TExportWriter::ExportedIn(int First, int Last) const {
    int N = 0;
    for (int J = First; J <= Last; ++J) N += Exported[J] ? 1 : 0;
    return N;
}

// The control a "CustomEdit" line names, with the line's kind.
AnsiString TExportWriter::ControlName(TField* F, AnsiString& Kind) {
    AnsiString Params;
    G->GetFieldControlType(F->FieldName(), Kind, Params);
    int Position = 1;
    return NextToken(Params, ";", Position);
}

AnsiString TExportWriter::Run() {
    const int N = Mapped();
    Exported.assign(N, false);
    SylkFormats.assign(N, 0);
    for (int I = 0; I < N; ++I) {
        bool Accept = true;
        G->DoExportField(FieldOf(I), Accept);
        Exported[I] = Accept;
        if (Accept) TotalWidth += G->ColWidths(GridCol(I)) + 5;
    }
    const TwwGridExportType Type = O->ExportType();
    if (Type == wwgetTxt && Has(esoShowHeader)) TextHeader();
    if (Type == wwgetHTML) HtmlHead();
    if (Type == wwgetSYLK) SylkHeader();
    TDataSet* DS = G->DataLink()->DataSet();
    auto MakeRow = [&] {
        if (Type == wwgetTxt) TextRow();
        else if (Type == wwgetHTML) HtmlRow();
        else SylkRow();
        ++Written;
        // Paint only: input waits until the export has ended.
        TMsg Msg;
        while (PeekMessage(Msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessage(Msg);
    };
    if (Has(esoSaveSelectedOnly)) {
        G->SortSelectedBookmarks();
        const std::vector<TBookmark> List = G->SelectedList();
        for (size_t K = 0; K < List.size(); ++K) {
            Counter = static_cast<int>(K) + 1;
            DS->GotoBookmark(List[K]);
            MakeRow();
        }
        if (List.empty() && Type == wwgetHTML)
            Out += "<TR BGCOLOR=#" + ColorDigits(G->TitleColor()) +
                   "><TH colspan=" + IntToStr(TitleColumns()) +
                   " scope=colgroup>No Records Selected</TH></TR>\r\n";
    } else {
        DS->First();
        while (!DS->Eof()) {
            ++Counter;
            MakeRow();
            DS->Next();
        }
    }
    if (Type == wwgetHTML) Out += "</TBODY>\r\n</BODY>\r\n</TABLE>\r\n</HTML>\r\n";
    if (Type == wwgetSYLK) SylkFinish();
    return Out;
}

// --- text ---

void TExportWriter::TextHeader() {
    const bool Fixed = O->Delimiter().empty();
    const int Q = Has(esoDblQuoteFields) ? 2 : 0;
    AnsiString Line;
    bool First = true;
    if (Has(esoShowRecordNo)) {
        if (Fixed) Line += PadLeft("#", 8);
        else Line += O->QuoteField("#");
        First = false;
    }
    for (int I = 0; I < Mapped(); ++I) {
        if (!Exported[I]) continue;
        if (!First) Line += Fixed ? AnsiString(" ") : O->Delimiter();
        First = false;
        const AnsiString Title = O->QuoteField(ReplaceChar(Col(I)->DisplayLabel(), '~', ' '));
        if (!Fixed) {
            Line += Title;
            continue;
        }
        TField* F = FieldOf(I);
        const int Width = Col(I)->DisplayWidth() + Q;
        Line += F && F->Alignment() == taLeftJustify ? PadRight(Title, Width) : PadLeft(Title, Width);
    }
    Out += Line + "\r\n";
}

void TExportWriter::TextRow() {
    const bool Fixed = O->Delimiter().empty();
    const int Q = Has(esoDblQuoteFields) ? 2 : 0;
    AnsiString Line;
    bool First = true;
    if (Has(esoShowRecordNo)) {
        const AnsiString No = O->QuoteField(IntToStr(Counter));
        Line += Fixed ? PadLeft(No, 8) : No;
        First = false;
    }
    for (int I = 0; I < Mapped(); ++I) {
        if (!Exported[I]) continue;
        if (!First) Line += Fixed ? AnsiString(" ") : O->Delimiter();
        First = false;
        const AnsiString Text = O->QuoteField(G->GetCellDisplayText(I));
        if (!Fixed) {
            Line += Text;
            continue;
        }
        TField* F = FieldOf(I);
        const int Title = static_cast<int>(ReplaceChar(Col(I)->DisplayLabel(), '~', ' ').size());
        const int Width = std::max(Col(I)->DisplayWidth() + Q, Title + Q);
        Line += F && F->Alignment() == taLeftJustify ? PadRight(Text, Width) : PadLeft(Text, Width);
    }
    Out += Line + "\r\n";
}

// --- HTML ---

void TExportWriter::HtmlHead() {
    TFont* TitleFont = G->TitleFont();
    Out += "<HTML>\r\n<HEAD>\r\n";
    Out += "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\r\n";
    Out += "<TITLE>" + HtmlEscape(O->EffectiveFileName()) + "</TITLE>\r\n";
    Out += "</HEAD>\r\n<BODY>\r\n";
    Out += "<TABLE ALIGN=Center BORDER=\"" + IntToStr(O->HTMLBorderWidth()) +
           "\" CELLPADDING=\"1\" CELLSPACING=\"0\"" +
           (G->BiDiMode() != bdLeftToRight ? " dir=\"RTL\"" : " dir=\"LTR\"");
    Out += Has(esoTransparentGrid) ? AnsiString(">") : " " + ColorAttribute(G->Color()) + ">";
    Out += "\r\n<THEAD>\r\n";
    if (Has(esoShowHeader) && Has(esoShowTitle))
        Out += "<TR " + FontStyleAttribute(TitleFont) + " " + ColorAttribute(G->TitleColor()) +
               ">\r\n<TH colspan=\"" + IntToStr(TitleColumns()) + "\" scope=\"colgroup\">" +
               HtmlEscape(O->TitleName()) + "</TH>\r\n</TR>\r\n";
    if (Has(esoShowHeader)) {
        const AnsiString RowStart =
            "<TR " + FontStyleAttribute(TitleFont) + " ALIGN=" + AlignmentWord(G->TitleAlignment()) + ">\r\n";
        AnsiString First = RowStart, Second = RowStart;
        bool Grouped = false;
        if (Has(esoShowRecordNo))
            First += "<TD ALIGN=\"CENTER\" " + FontStyleAttribute(TitleFont) + " SCOPE=\"col\" bgcolor=#" +
                     ColorDigits(G->TitleColor()) + " RowSpan=\"2\">" + InFontTags(TitleFont, "#") +
                     "</TD>\r\n";
        for (int I = 0; I < Mapped(); ++I) {
            TFont Font;
            Font.Assign(TitleFont);
            TBrush Brush;
            Brush.SetColor(G->TitleColor());
            TAlignment Alignment = G->TitleAlignment();
            const AnsiString Group = Col(I)->GroupName();
            if (Has(esoDynamicColors))
                G->DoCalcTitleAttributes(Group.empty() ? Col(I)->FieldName() : Group, &Font, Alignment,
                                         &Brush);
            const AnsiString Extra =
                SameFontLook(&Font, TitleFont) ? AnsiString() : " " + FontStyleAttribute(&Font);
            const AnsiString Title =
                StringReplace(HtmlEscape(Col(I)->DisplayLabel()), "~", "<BR>", rfReplaceAll);
            if (!Group.empty()) {
                int Lo, Hi;
                GroupOf(I, Lo, Hi);
                const int N = ExportedIn(Lo, Hi);
                if (N > 0) {
                    First += "<TD" + Extra + " SCOPE=\"col\" bgcolor=#" + ColorDigits(Brush.Color()) +
                             " ALIGN=CENTER ColSpan=\"" + IntToStr(N) + "\">" +
                             InFontTags(&Font, HtmlEscape(Group)) + "</TD>\r\n";
                    Grouped = true;
                }
                for (int J = Lo; J <= Hi; ++J) {
                    if (!Exported[J]) continue;
                    TFont F2;
                    F2.Assign(TitleFont);
                    TBrush B2;
                    B2.SetColor(G->TitleColor());
                    TAlignment A2 = G->TitleAlignment();
                    if (Has(esoDynamicColors)) G->DoCalcTitleAttributes(Col(J)->FieldName(), &F2, A2, &B2);
                    const AnsiString X2 =
                        SameFontLook(&F2, TitleFont) ? AnsiString() : " " + FontStyleAttribute(&F2);
                    const AnsiString T2 =
                        StringReplace(HtmlEscape(Col(J)->DisplayLabel()), "~", "<BR>", rfReplaceAll);
                    Second += "<TD" + X2 + " ALIGN=\"" + AlignmentWord(A2) + "\" SCOPE=\"col\" bgcolor=#" +
                              ColorDigits(B2.Color()) + " >" + InFontTags(&F2, T2) + "</TD>\r\n";
                }
                I = Hi;
                continue;
            }
            if (!Exported[I]) continue;
            First += "<TD" + Extra + " ALIGN=\"" + AlignmentWord(Alignment) + "\" SCOPE=\"col\" bgcolor=#" +
                     ColorDigits(Brush.Color()) + " RowSpan=\"2\">" + InFontTags(&Font, Title) + "</TD>\r\n";
        }
        Out += First + "</TR>\r\n";
        Out += Grouped ? Second + "</TR>\r\n" : AnsiString("<TR></TR>\r\n");
    }
    Out += "</THEAD>\r\n";
    if (Has(esoShowFooter) && G->Options().Contains(dgShowFooter)) {
        Out += "<TFOOT " + FontStyleAttribute(TitleFont) + " " + ColorAttribute(G->FooterColor()) + ">\r\n";
        if (Has(esoShowRecordNo)) Out += "<TD>&nbsp;</TD>\r\n";
        for (int I = 0; I < Mapped(); ++I) {
            if (!Exported[I]) continue;
            const AnsiString Footer = Col(I)->FooterValue();
            TField* F = FieldOf(I);
            if (Footer.empty()) Out += "<TD>&nbsp;</TD>\r\n";
            else
                Out += "<TD ALIGN=" + AnsiString(AlignmentWord(F ? F->Alignment() : taLeftJustify)) + " " +
                       FontStyleAttribute(G->Font()) + " " + ColorAttribute(G->FooterCellColor()) + ">" +
                       HtmlEscape(Footer) + "</TD>\r\n";
        }
        Out += "</TFOOT>\r\n";
    }
    Out += "<TBODY>\r\n";
}

// The cell's content: a control's form element, a link or the escaped text.
AnsiString TExportWriter::HtmlCellText(int I, TField* F) {
    AnsiString Text = G->GetCellDisplayText(I);
    while (!Text.empty() && static_cast<unsigned char>(Text.back()) <= ' ') Text.pop_back();
    AnsiString Kind, Params;
    if (F) G->GetFieldControlType(F->FieldName(), Kind, Params);
    static const AnsiString Checked = "<input align=\"middle\" type=\"checkbox\" checked >";
    static const AnsiString Unchecked = "<INPUT ALIGN=\"middle\" TYPE=\"checkbox\" >";
    if (Has(esoAddControls) && F) {
        if (Kind == "CheckBox") {
            int Position = 1;
            return Text == NextToken(Params, ";", Position) ? Checked : Unchecked;
        }
        if (Kind == "CustomEdit") {
            int Position = 1;
            TWinControl* Control = G->FindCellControl(NextToken(Params, ";", Position));
            if (auto* Group = dynamic_cast<TwwRadioGroup*>(Control)) {
                AnsiString Html;
                for (int K = 0; K < Group->Items()->Count(); ++K) {
                    AnsiString Value, Caption;
                    Group->GetItemValue(K, Value);
                    Group->GetItemCaptionForValue(Value, Caption);
                    Html += "<input align=\"middle\" type=\"radio\" value=\"" + HtmlEscape(Value) +
                            "\" name=\"radio" + IntToStr(Counter) + "\"" +
                            (SameText(Text, Caption) ? " checked" : "") + ">" +
                            HtmlEscape(Group->Items()->Strings(K)) + "<BR>\r\n";
                }
                return Html;
            }
            if (auto* Box = dynamic_cast<TwwCheckBox*>(Control))
                return SameText(Text, Box->ValueChecked()) ? Checked : Unchecked;
            if (auto* Combo = dynamic_cast<TwwDBComboBox*>(Control)) {
                AnsiString Html = "<Select Name=\"wwCombo" + IntToStr(Counter) + "\">\r\n";
                for (int K = 0; K < Combo->Items()->Count(); ++K) {
                    const AnsiString Item = Combo->Items()->Strings(K);
                    AnsiString Shown = Item, Value = Item;
                    if (Combo->MapList()) {
                        int Position = 1;
                        Shown = NextToken(Item, "\t", Position);
                        Value = Position > 0 ? NextToken(Item, "\t", Position) : AnsiString();
                    }
                    Html += "<Option Value=\"" + HtmlEscape(Value) + "\"" +
                            (SameText(Text, Shown) ? " selected" : "") + ">" + HtmlEscape(Shown) + "\r\n";
                }
                return Html + "</Select>\r\n";
            }
        }
    }
    if (Text.empty()) return "&nbsp;";
    AnsiString Html = HtmlEscape(Text);
    if (Has(esoEmbedURL) && Kind == "URL-Link" && F) {
        AnsiString Display, Address;
        G->SplitURLLink(F->AsString(), Display, Address);
        if (SameText(Display, Address)) Address = WithMailTo(Address);
        Html = "<A href=\"" + HtmlEscape(Address) + "\">" + Html + "</A>";
    }
    return StringReplace(Html, "\r\n", "<BR>", rfReplaceAll);
}

void TExportWriter::HtmlRow() {
    TFont* GridFont = G->Font();
    Out += "<TR VALIGN=\"TOP\" " + FontStyleAttribute(GridFont) + ">\r\n";
    if (Has(esoShowRecordNo))
        Out += "<TD WIDTH=\"0*\" NOWRAP ALIGN=\"right\" scope=\"row\" " + FontStyleAttribute(G->TitleFont()) +
               " " + ColorAttribute(G->TitleColor()) + ">" + IntToStr(Counter) + "</TD>\r\n";
    double Scale = 1;
    if (O->OutputWidthinTwips() != 0 && TotalWidth > 0)
        Scale = O->OutputWidthinTwips() / (static_cast<double>(TotalWidth) / Screen->PixelsPerInch() * 1440);
    for (int I = 0; I < Mapped(); ++I) {
        if (!Exported[I]) continue;
        TField* F = FieldOf(I);
        const AnsiString Text = HtmlCellText(I, F);
        TFont Font;
        Font.Assign(GridFont);
        TBrush Brush;
        Brush.SetColor(G->Color());
        if (Has(esoShowAlternating) && Counter % 2 == 0 && G->PaintOptions()->AlternatingRowColor() != clNone)
            Brush.SetColor(G->PaintOptions()->AlternatingRowColor());
        if (Has(esoDynamicColors)) G->DoCalcCellColors(F, TGridDrawState{}, false, &Font, &Brush);
        AnsiString Kind, Params;
        if (F) G->GetFieldControlType(F->FieldName(), Kind, Params);
        AnsiString Cell = "<TD NOWRAP";
        if (Kind != "CheckBox")
            Cell += " ALIGN=\"" + AnsiString(AlignmentWord(F ? F->Alignment() : taLeftJustify)) + "\"";
        if (!SameFontLook(&Font, GridFont)) Cell += " " + FontStyleAttribute(&Font);
        if (Brush.Color() != G->Color()) Cell += " " + ColorAttribute(Brush.Color());
        const int Pixels = G->ColWidths(GridCol(I));
        const bool Wide =
            Kind == "RichEdit" || (F && (F->DataType() == ftMemo || F->DataType() == ftOraClob) &&
                                   G->MemoAttributes().Contains(mGridShow));
        if (!Has(esoBestColFit))
            Cell += " WIDTH=\"" + IntToStr(static_cast<int>(Pixels * Scale)) + "\" SCOPE=\"row\">";
        else if (Wide) Cell += " WIDTH=\"" + IntToStr(Pixels) + "\" SCOPE=\"row\">";
        else Cell += " WIDTH=\"0*\" SCOPE=\"row\">";
        Out += Cell + InFontTags(&Font, Text) + "</TD>\r\n";
    }
    Out += "</TR>\r\n";
}

// --- SYLK ---

int TExportWriter::FontNumber(TFont* Font) {
    AnsiString D = "P;F" + DoubleSemicolons(Font->Name()) + ";M" + IntToStr(Font->Size() * 20);
    bool Any = false;
    auto Letter = [&](char L) {
        D += Any ? AnsiString(1, L) : AnsiString(";S") + L;
        Any = true;
    };
    const TFontStyles S = Font->Style();
    if (S.Contains(fsBold)) Letter('B');
    if (S.Contains(fsItalic)) Letter('I');
    if (S.Contains(fsUnderline)) Letter('U');
    if (S.Contains(fsStrikeOut)) Letter('S');
    const auto It = std::find(Fonts.begin(), Fonts.end(), D);
    if (It != Fonts.end()) return static_cast<int>(It - Fonts.begin());
    Fonts.push_back(D);
    return static_cast<int>(Fonts.size()) - 1;
}

void TExportWriter::SylkHeader() {
    FontNumber(G->TitleFont());
    FontNumber(G->Font());
    Out += "ID;PW2W 3000;N;E\r\n";
    std::vector<AnsiString> Formats{"General"};
    for (int I = 0; I < Mapped(); ++I) {
        TField* F = FieldOf(I);
        const TFieldType T = F ? F->DataType() : ftUnknown;
        AnsiString Format = T == ftCurrency   ? "\"$\"#,##0.00_);;[Red]\\(\"$\"#,##0.00\\)"
                            : T == ftDate     ? "m/d/yyyy"
                            : T == ftTime     ? "h:mm\\ AM/PM"
                            : T == ftDateTime ? "m/d/yyyy\\ h:mm\\ AM/PM"
                                              : "General";
        G->DoExportSYLKFormat(F, Format);
        auto It = std::find(Formats.begin(), Formats.end(), Format);
        if (It == Formats.end()) It = Formats.insert(Formats.end(), Format);
        SylkFormats[I] = static_cast<int>(It - Formats.begin());
    }
    for (const AnsiString& Format : Formats) Out += "P;P" + Format + "\r\n";
    Out += "B;Y;X" + IntToStr(TitleColumns()) + "\r\n";
    Out += "F;G;M255\r\n";
    int K = 0;
    if (Has(esoShowRecordNo)) Out += "F;W1 1 10\r\n", K = 1;
    for (int I = 0; I < Mapped(); ++I) {
        if (!Exported[I]) continue;
        ++K;
        TField* F = FieldOf(I);
        const int Width = Has(esoBestColFit) && F ? F->DisplayWidth() : Col(I)->DisplayWidth();
        Out += "F;W" + IntToStr(K) + " " + IntToStr(K) + " " + IntToStr(Width) + "\r\n";
    }
    if (Has(esoShowHeader)) SylkTitles();
    Out += "\r\n";
}

void TExportWriter::SylkTitles() {
    const int L = G->TitleLines(), H = L / 2;
    const AnsiString Y1 = ";Y";
    for (int R = 1; R <= L; ++R) {
        int X = 0;
        if (Has(esoShowRecordNo)) {
            X = 1;
            if (R == 1) Out += "F;SLRTM0;FG0C;Y1;X1\r\nC;K\"#\"\r\n";
            else Out += "F;SLRBM0;FG0C;Y" + IntToStr(R) + ";X1\r\n";
        }
        auto OwnTitle = [&](int I, int Part, bool Top) {
            TFont Font;
            Font.Assign(G->TitleFont());
            TBrush Brush;
            Brush.SetColor(G->TitleColor());
            TAlignment Alignment = G->TitleAlignment();
            if (Has(esoDynamicColors))
                G->DoCalcTitleAttributes(Col(I)->FieldName(), &Font, Alignment, &Brush);
            Out += AnsiString("F;SLR") + (Top ? "T" : "") + (R == L ? "B" : "") + "M" +
                   IntToStr(FontNumber(&Font)) + ";FG0" + AlignmentLetter(Alignment) + ";Y" + IntToStr(R) +
                   ";X" + IntToStr(X) + "\r\n";
            const AnsiString Text = DoubleSemicolons(TitlePart(Col(I)->DisplayLabel(), Part));
            if (!Text.empty()) Out += "C;K\"" + Text + "\"\r\n";
        };
        for (int I = 0; I < Mapped(); ++I) {
            const AnsiString Group = Col(I)->GroupName();
            if (Group.empty()) {
                if (!Exported[I]) continue;
                ++X;
                OwnTitle(I, R, R == 1);
                continue;
            }
            int Lo, Hi;
            GroupOf(I, Lo, Hi);
            if (R > 1 && R > H) {
                for (int J = Lo; J <= Hi; ++J) {
                    if (!Exported[J]) continue;
                    ++X;
                    OwnTitle(J, R - H, R - 1 <= H);
                }
            } else if (ExportedIn(Lo, Hi) > 0) {
                bool FirstOfGroup = true;
                const AnsiString B = R > 1 && R >= H ? "B" : "";
                for (int J = Lo; J <= Hi; ++J) {
                    if (!Exported[J]) continue;
                    ++X;
                    if (FirstOfGroup) {
                        Out += R == 1 ? "F;SLTM0;FG0C;Y1;X" + IntToStr(X) + "\r\n"
                                      : "F;SL" + B + "M0;FG0C;Y" + IntToStr(R) + ";X" + IntToStr(X) + "\r\n";
                        Out += "C;K\"" + DoubleSemicolons(TitlePart(Group, R)) + "\"\r\n";
                    } else {
                        Out += (R == 1 ? AnsiString("F;STM0;FG0C;X") : "F;S" + B + "M0;FG0C;X") +
                               IntToStr(X) + "\r\n";
                        Out += "C;K\"\"\r\n";
                    }
                    FirstOfGroup = false;
                }
            }
            I = Hi;
        }
    }
}

AnsiString TExportWriter::SylkValue(TField* F, const AnsiString& Text) {
    auto Quoted = [](const AnsiString& T) { return "\"" + T + "\""; };
    if (F->IsNull()) return "C;K\"\"";
    const TFieldType T = F->DataType();
    if (IsIntegerType(T)) {
        AnsiString Kind;
        TWinControl* Control = T == ftAutoInc ? nullptr : G->FindCellControl(ControlName(F, Kind));
        if (Kind != "CustomEdit") Control = nullptr;
        if (auto* Combo = dynamic_cast<TwwDBComboBox*>(Control)) {
            if (Combo->MapList() && Has(esoAddControls)) return "C;K" + Quoted(Text);
            return "C;K" + IntToStr(F->AsInteger());
        }
        if (auto* Box = dynamic_cast<TwwCheckBox*>(Control)) {
            if (!Has(esoAddControls)) return "C;K" + IntToStr(F->AsInteger());
            return "C;K" + Quoted(DoubleSemicolons(F->AsInteger() == 1 ? Box->DisplayValueChecked()
                                                                       : Box->DisplayValueUnchecked()));
        }
        if (dynamic_cast<TwwRadioGroup*>(Control))
            return Has(esoAddControls) ? "C;K" + Quoted(Text) : "C;K" + IntToStr(F->AsInteger());
        return "C;K" + Text;
    }
    if (T == ftBoolean) return AnsiString("C;K") + (F->AsBoolean() ? "\"TRUE\"" : "\"FALSE\"");
    if (T == ftFloat || T == ftCurrency || T == ftDateTime) return "C;K" + SylkNumber(F->AsFloat());
    if (T == ftTime) {
        const double V = F->AsDateTime();
        return "C;K" + SylkNumber(V - std::trunc(V));
    }
    if (T == ftDate) return "C;K" + IntToStr(static_cast<int>(std::trunc(F->AsDateTime())));
    // A line break would end the record: a lone CR or LF becomes a blank too.
    AnsiString S = StringReplace(Text, "\r\n", " ", rfReplaceAll);
    std::replace(S.begin(), S.end(), '\r', ' ');
    std::replace(S.begin(), S.end(), '\n', ' ');
    if (S.size() > 255) S.resize(255);
    return S.empty() ? AnsiString("C;K\"\"") : "C;K" + Quoted(S);
}

void TExportWriter::SylkRow() {
    const int Y = Counter + (Has(esoShowHeader) ? G->TitleLines() : 0);
    const AnsiString YX = ";Y" + IntToStr(Y) + ";X";
    int X = 0;
    if (Has(esoShowRecordNo)) {
        TFont* A = G->TitleFont();
        TFont* B = G->Font();
        const bool Same = A->Name() == B->Name() && A->Size() == B->Size() && A->Style() == B->Style();
        Out += AnsiString(Same ? "F;SLRTBM0;FG0L" : "F;SLRTBM1;FG0L") + YX + "1\r\nC;K" + IntToStr(Counter) +
               "\r\n";
        X = 1;
    }
    for (int I = 0; I < Mapped(); ++I) {
        if (!Exported[I]) continue;
        ++X;
        TField* F = FieldOf(I);
        TFont Font;
        Font.Assign(G->Font());
        TBrush Brush;
        Brush.SetColor(G->Color());
        if (Has(esoDynamicColors)) G->DoCalcCellColors(F, TGridDrawState{}, false, &Font, &Brush);
        const int M = FontNumber(&Font);
        const char A = AlignmentLetter(F ? F->Alignment() : taLeftJustify);
        if (F && IsNumberFormatType(F->DataType()))
            Out += "F;P" + IntToStr(SylkFormats[I]) + ";SLTRBM" + IntToStr(M) + ";FG0" + A + YX +
                   IntToStr(X) + "\r\n";
        else Out += "F;SLTRBM" + IntToStr(M) + ";FG0" + A + YX + IntToStr(X) + "\r\n";
        Out +=
            (F ? SylkValue(F, DoubleSemicolons(G->GetCellDisplayText(I))) : AnsiString("C;K\"\"")) + "\r\n";
    }
}

void TExportWriter::SylkFinish() {
    Out += "E";
    const size_t At = Out.find("\r\nB;Y;") + 2;
    const size_t End = Out.find("\r\n", At);
    AnsiString Fonts;
    for (const AnsiString& D : this->Fonts) Fonts += D + "\r\n";
    const int Rows = Written + (Has(esoShowHeader) ? G->TitleLines() : 0);
    Out.replace(At, End - At, Fonts + "B;Y" + IntToStr(Rows) + ";X" + IntToStr(TitleColumns()));
}

bool PutOnClipboard(const std::vector<std::pair<unsigned, std::string>>& Blocks) {
    if (!OpenClipboard(0)) return false;
    struct TClose {
        ~TClose() { CloseClipboard(); }
    } Close;
    EmptyClipboard();
    std::vector<HGLOBAL> Memory;
    for (const auto& [Format, Bytes] : Blocks) {
        const bool Zero = !Bytes.empty() && Bytes.back() == '\0';
        HGLOBAL Mem = GlobalAlloc(GMEM_MOVEABLE, Bytes.size() + (Zero ? 0 : 1));
        if (!Mem) {
            for (HGLOBAL M : Memory) GlobalFree(M);
            MessageDlg("Global Alloc failed!", mtError, {mbOK}, 0);
            return false;
        }
        auto* P = static_cast<char*>(GlobalLock(Mem));
        std::copy(Bytes.begin(), Bytes.end(), P);
        if (!Zero) P[Bytes.size()] = '\0';
        GlobalUnlock(Mem);
        Memory.push_back(Mem);
    }
    for (size_t I = 0; I < Blocks.size(); ++I) SetClipboardData(Blocks[I].first, Memory[I]);
    return true;
}

}  // namespace

bool TwwExportOptions::MakeExport(AnsiString& Text) {
    Text.clear();
    auto* Grid = dynamic_cast<TwwDBGrid*>(FGrid);
    if (!Grid || FExporting || FExportType == wwgetXML || !Grid->DataLink()->Active()) return false;
    TDataSet* DS = Grid->DataLink()->DataSet();
    FExporting = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FExporting};
    TControlsDisabled Disabled(DS);
    TBookmark Place = DS->GetBookmark();
    const int Row = Grid->DataLink()->ActiveRecord();
    struct TRestore {
        TwwDBGrid* Grid;
        TDataSet* DS;
        TBookmark& Place;
        int Row;
        ~TRestore() {
            try {
                if (!Place.empty() && DS->Active()) DS->GotoBookmark(Place);
                DS->FreeBookmark(Place);
                Grid->KeepRecordOnRow(Row);
            } catch (...) {
            }
        }
    } Restore{Grid, DS, Place, Row};
    Text = TExportWriter(this, Grid).Run();
    return true;
}

bool TwwExportOptions::Save() {
    if (FExporting) return false;
    if (FExportType == wwgetXML) {
        MessageDlg("XML export is not supported", mtError, {mbOK}, 0);
        return false;
    }
    AnsiString Text;
    if (!MakeExport(Text)) return false;
    if (FOptions.Contains(esoClipboard)) {
        std::vector<std::pair<unsigned, std::string>> Blocks;
        if (FExportType == wwgetHTML) {
            // The plain text keeps the program's bytes; "HTML Format" is UTF-8.
            Blocks.emplace_back(CF_TEXT, HtmlClipboardBlock(Text));
            const AnsiString Utf8 = StringReplace(ToUtf8(Text), "charset=windows-1252", "charset=utf-8", 0);
            Blocks.emplace_back(RegisterClipboardFormat("HTML Format"), HtmlClipboardBlock(Utf8));
        } else {
            Blocks.emplace_back(CF_TEXT, Text);
            if (FExportType == wwgetSYLK) Blocks.emplace_back(CF_SYLK, Text);
        }
        return PutOnClipboard(Blocks);
    }
    TFileStream Stream(EffectiveFileName(), fmCreate);
    Stream.WriteBuffer(Text.data(), static_cast<int>(Text.size()));
    return true;
}
