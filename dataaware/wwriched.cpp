#include "dataaware/wwriched.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "dataaware/Wwintl.h"
#include "dataaware/Wwtypes.h"
#include "dataaware/wwTrackIcon.h"
#include "dataaware/wwcommon.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwrich.h"
#include "platform/classes/Filer.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Clipbrd.h"
#include "platform/gfx/Printers.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Shell.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/PageSetupDialog.h"
#include "platform/ui/RichLayout.h"
#include "platform/ui/RtfReader.h"

ZELMOR_IMPLEMENT_ENUM(TwwRichEditWidth, "rewWindowSize", "rewPrinterSize")
ZELMOR_IMPLEMENT_ENUM(TwwMeasurementUnits, "muInches", "muCentimeters")
ZELMOR_IMPLEMENT_ENUM(TwwRichEditOleOption, "reoAdjustPopupMenu", "reoDisableOLE")
ZELMOR_IMPLEMENT_ENUM(TwwRichEditPopupOption, "rpoPopupEdit", "rpoPopupCut", "rpoPopupCopy", "rpoPopupPaste",
                      "rpoPopupBold", "rpoPopupItalic", "rpoPopupUnderline", "rpoPopupFont", "rpoPopupBullet",
                      "rpoPopupParagraph", "rpoPopupTabs", "rpoPopupFind", "rpoPopupReplace",
                      "rpoPopupInsertObject", "rpoPopupMSWordSpellCheck")
ZELMOR_IMPLEMENT_ENUM(TwwRichEditOption, "reoShowLoad", "reoShowSaveAs", "reoShowSaveExit", "reoShowPrint",
                      "reoShowPageSetup", "reoShowFormatBar", "reoShowToolBar", "reoShowStatusBar",
                      "reoShowHints", "reoShowRuler", "reoShowInsertObject", "reoCloseOnEscape",
                      "reoFlatButtons", "reoShowSpellCheck", "reoShowMainMenuIcons", "reoShowJustifyButton",
                      "reoUseBackColor", "reoNoConfirmation")
ZELMOR_IMPLEMENT_CLASS(TwwPrintMargins, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwRTFHeaderFooter, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwCustomRichEdit, TCustomRichEdit)
ZELMOR_IMPLEMENT_COMPONENT(TwwDBRichEdit, TwwCustomRichEdit)
ZELMOR_IMPLEMENT_CLASS(TwwRulerPanel, TPanel)
ZELMOR_IMPLEMENT_COMPONENT(TwwPageSetupDialog, TCommonDialog)

namespace {

// The reader the control hands to the rich edit: each call reads at most
// half the asked size, drops a block's last CR, makes every line end CR LF
// and, with a block limit, counts two steps a block; the block that reaches
// the limit ends at the first "{" after its first "\pard", made "}".
class TBlockReader {
public:
    TBlockReader(TStream& Stream, int Limit) : FStream(Stream), FLimit(Limit) {}

    int operator()(char* Buffer, int Size) {
        if (FLimit > 0 && FCounter >= FLimit) return 0;
        const int half = Size / 2;
        std::vector<char> raw(static_cast<size_t>(half));
        int got = half > 0 ? static_cast<int>(FStream.Read(raw.data(), half)) : 0;
        if (got > 0 && raw[static_cast<size_t>(got) - 1] == '\r') --got;
        int out = 0;
        for (int i = 0; i < got; ++i) {
            const char c = raw[static_cast<size_t>(i)];
            if (c == '\r' || c == '\n') {
                Buffer[out++] = '\r';
                Buffer[out++] = '\n';
                if (c == '\r' && i + 1 < got && raw[static_cast<size_t>(i) + 1] == '\n') ++i;
            } else {
                Buffer[out++] = c;
            }
        }
        if (FLimit > 0 && ++FCounter == FLimit) {
            std::string_view block(Buffer, static_cast<size_t>(out));
            size_t pard = block.find("\\pard");
            if (pard != std::string_view::npos) {
                size_t brace = block.find('{', pard);
                if (brace != std::string_view::npos) {
                    Buffer[brace] = '}';
                    out = static_cast<int>(brace) + 1;
                }
            }
        }
        if (FLimit > 0) ++FCounter;
        return out;
    }

private:
    TStream& FStream;
    int FLimit;
    int FCounter = 0;
};

// The hourglass while something slow runs; the cursor before it comes back.
class THourGlass {
public:
    THourGlass() : FSaved(Screen ? Screen->Cursor() : crDefault) {
        if (Screen) Screen->SetCursor(crHourGlass);
    }
    ~THourGlass() {
        if (Screen) Screen->SetCursor(FSaved);
    }

private:
    TCursor FSaved;
};

bool IsDigitChar(char C) { return C >= '0' && C <= '9'; }

const TwwRichEditPopupOptions AllPopupOptions = TwwRichEditPopupOptions::FromBits(0x7FFF);

// The texts of the paragraph dialog name the alignments the format takes.
TRichAlignment AlignmentOfText(const AnsiString& Text) {
    TwwRichEditParagraphDlg* texts = DefaultIntl->RichEdit()->ParagraphDialog();
    if (Text == texts->AlignLeft()) return raLeft;
    if (Text == texts->AlignRight()) return raRight;
    if (Text == texts->AlignJustify()) return raJustify;
    return raCenter;
}

}  // namespace

AnsiString RichTextPreview(const AnsiString& Bytes, int BlockLimit) {
    TStringStream source(Bytes);
    TBlockReader reader(source, BlockLimit);
    std::vector<char> block(static_cast<size_t>(RichStreamBlockSize));
    AnsiString text;
    for (;;) {
        int got = reader(block.data(), RichStreamBlockSize);
        if (got <= 0) break;
        text.append(block.data(), static_cast<size_t>(got));
    }
    return text;
}

// ---------------------------------------------------------------------------
// Margins, header and footer
// ---------------------------------------------------------------------------

void TwwPrintMargins::DescribeProperties(TPropertyTable& T) {
    using C = TwwPrintMargins;
    T.Property("Top", &C::Top, &C::SetTop);
    T.Property("Bottom", &C::Bottom, &C::SetBottom);
    T.Property("Left", &C::Left, &C::SetLeft);
    T.Property("Right", &C::Right, &C::SetRight);
}

void TwwPrintMargins::Assign(TPersistent* Source) {
    if (auto* m = dynamic_cast<TwwPrintMargins*>(Source)) {
        FTop = m->FTop;
        FBottom = m->FBottom;
        FLeft = m->FLeft;
        FRight = m->FRight;
    }
}

TwwRTFHeaderFooter::TwwRTFHeaderFooter() : FFont(std::make_unique<TFont>()) {}
TwwRTFHeaderFooter::~TwwRTFHeaderFooter() = default;

void TwwRTFHeaderFooter::DescribeProperties(TPropertyTable& T) {
    using C = TwwRTFHeaderFooter;
    T.Property("VertMargin", &C::VertMargin, &C::SetVertMargin);
    T.Property("LeftText", &C::LeftText, &C::SetLeftText);
    T.Property("CenterText", &C::CenterText, &C::SetCenterText);
    T.Property("RightText", &C::RightText, &C::SetRightText);
    T.Property("Font", &C::Font, &C::SetFont);
    T.Property("LineSeparator", &C::LineSeparator, &C::SetLineSeparator).Default(false);
}

void TwwRTFHeaderFooter::SetFont(TFont* Value) { FFont->Assign(Value); }

void TwwRTFHeaderFooter::Assign(TPersistent* Source) {
    if (auto* h = dynamic_cast<TwwRTFHeaderFooter*>(Source)) {
        FVertMargin = h->FVertMargin;
        FLeftText = h->FLeftText;
        FCenterText = h->FCenterText;
        FRightText = h->FRightText;
        FLineSeparator = h->FLineSeparator;
        FFont->Assign(h->FFont.get());
    }
}

// ---------------------------------------------------------------------------
// TwwCustomRichEdit
// ---------------------------------------------------------------------------

TwwCustomRichEdit::TwwCustomRichEdit(TComponent* AOwner)
    : TCustomRichEdit(AOwner), FPrintMargins(std::make_unique<TwwPrintMargins>()),
      FPrintHeader(std::make_unique<TwwRTFHeaderFooter>()),
      FPrintFooter(std::make_unique<TwwRTFHeaderFooter>()),
      FEditorPosition(std::make_unique<TwwFormPosition>()) {
    FPopupOptions =
        AllPopupOptions - TwwRichEditPopupOptions{rpoPopupBold, rpoPopupItalic, rpoPopupUnderline};
    for (int o = reoShowSaveExit; o <= reoShowMainMenuIcons; ++o)
        FEditorOptions.Include(static_cast<TwwRichEditOption>(o));
    if (Application) FPrintJobName = Application->Title();
    SetWordWrap(true);
    CreateDialogs();
}

TwwCustomRichEdit::~TwwCustomRichEdit() = default;

void TwwCustomRichEdit::DescribeProperties(TPropertyTable& T) {
    using C = TwwCustomRichEdit;
    T.Property("PopupOptions", &C::PopupOptions, &C::SetPopupOptions)
        .Default(AllPopupOptions - TwwRichEditPopupOptions{rpoPopupBold, rpoPopupItalic, rpoPopupUnderline});
    T.Property("EditorOptions", &C::EditorOptions, &C::SetEditorOptions);
    T.Property("EditorCaption", &C::EditorCaption, &C::SetEditorCaption);
    T.Property("EditWidth", &C::EditWidth, &C::SetEditWidth).Default(rewWindowSize);
    T.Property("MeasurementUnits", &C::MeasurementUnits, &C::SetMeasurementUnits).Default(muInches);
    T.Property("PrintPageSize", &C::PrintPageSize, &C::SetPrintPageSize).Default(1);
    T.Property("PrintJobName", &C::PrintJobName, &C::SetPrintJobName);
    T.Property("HighlightColor", &C::HighlightColor, &C::SetHighlightColor).Default(0x00FFFF);
    T.Property("GutterWidth", &C::GutterWidth, &C::SetGutterWidth).Default(3);
    T.Property("MSVersion", &C::MSVersion, &C::SetMSVersion).Default(3);
    T.Property("OleOptions", &C::OleOptions, &C::SetOleOptions);
    T.Property("AutoURLDetect", &C::AutoURLDetect, &C::SetAutoURLDetect).Default(false);
    T.Property("WantNavigationKeys", &C::WantNavigationKeys, &C::SetWantNavigationKeys).Default(false);
    T.Property("Title", &C::Title, &C::SetTitle);
    T.Property("PlainText", &C::PlainText, &C::SetPlainText).Default(false);
    T.Property("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(true);
    T.Property("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(true);
    T.Property("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).Default(false);
    T.Property("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).Default(ssNone);
    T.Property("PrintMargins", &C::PrintMargins, &C::SetPrintMargins);
    T.Property("PrintHeader", &C::PrintHeader, &C::SetPrintHeader);
    T.Property("PrintFooter", &C::PrintFooter, &C::SetPrintFooter);
    T.Property("EditorPosition", &C::EditorPosition, &C::SetEditorPosition);
    T.Property("UserSpeedButton1", &C::UserSpeedButton1, &C::SetUserSpeedButton1);
    T.Property("UserSpeedButton2", &C::UserSpeedButton2, &C::SetUserSpeedButton2);
    T.Event("OnURLOpen", &C::OnURLOpen);
    T.Event("OnCreateDialog", &C::OnCreateDialog);
    T.Event("OnInitDialog", &C::OnInitDialog);
    T.Event("OnCloseDialog", &C::OnCloseDialog);
    T.Event("OnMenuLoadClick", &C::OnMenuLoadClick);
    T.Event("OnMenuSaveAsClick", &C::OnMenuSaveAsClick);
    T.Event("OnMenuPrintClick", &C::OnMenuPrintClick);
    T.Event("OnMenuSaveAndExitClick", &C::OnMenuSaveAndExitClick);
    T.Event("OnPrintHeader", &C::OnPrintHeader);
    T.Event("OnPrintFooter", &C::OnPrintFooter);
}

void TwwCustomRichEdit::SetEditorPosition(TwwFormPosition* Value) { FEditorPosition->Assign(Value); }

void TwwCustomRichEdit::SetUserSpeedButton1(TSpeedButton* Value) {
    FUserSpeedButton1 = Value;
    if (!Value) return;
    Value->FreeNotification(this);
    Value->SetVisible(false);
}

void TwwCustomRichEdit::SetUserSpeedButton2(TSpeedButton* Value) {
    FUserSpeedButton2 = Value;
    if (!Value) return;
    Value->FreeNotification(this);
    Value->SetVisible(false);
}

void TwwCustomRichEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomRichEdit::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FUserSpeedButton1) FUserSpeedButton1 = nullptr;
    if (AComponent == FUserSpeedButton2) FUserSpeedButton2 = nullptr;
}

void TwwCustomRichEdit::DblClick() {
    TCustomRichEdit::DblClick();
    if (Parent() && ::IsClassNamed(Parent(), "TwwDBGrid")) ExecuteEditor();
}

void TwwCustomRichEdit::DoCreateDialog(TwwRichEditForm* Form) {
    if (Assigned(OnCreateDialog)) OnCreateDialog(Form);
}

void TwwCustomRichEdit::DoInitDialog(TwwRichEditForm* Form) {
    if (Assigned(OnInitDialog)) OnInitDialog(Form);
}

void TwwCustomRichEdit::DoCloseDialog(TwwRichEditForm* Form) {
    if (Assigned(OnCloseDialog)) OnCloseDialog(Form);
}

bool TwwCustomRichEdit::ExecuteEditor() {
    auto* form = NewComponent<TwwRichEditForm>(Application);
    FEditorForm = form;
    struct TForget {
        TwwCustomRichEdit* Edit;
        TwwRichEditForm* Form;
        ~TForget() {
            Edit->FEditorForm = nullptr;
            if (Form->RichEdit1) Form->RichEdit1->Lines()->Clear();
            Form->Free();
        }
    } forget{this, form};
    LoadContent();
    form->Prepare(this);
    DoCreateDialog(form);
    const bool ok = form->ShowModal() == mrOk;
    form->TakeBack(ok);
    return ok;
}

void TwwCustomRichEdit::SetOleOptions(TwwRichEditOleOptions Value) {
    if (FOleOptions == Value) return;
    FOleOptions = Value;
    // The window is made anew as with an object interface; the content stays.
    if (HandleAllocated()) RecreateWnd();
}

void TwwCustomRichEdit::SetRichEditVersion(int Value) {
    if (FRichEditVersion == Value) return;
    FRichEditVersion = Value;
    if (HandleAllocated()) RecreateWnd();
}

// --- form data ---

void TwwCustomRichEdit::DefineProperties(TFiler* Filer) {
    TCustomRichEdit::DefineProperties(Filer);
    Filer->DefineProperty(
        "RichEditVersion", [this](TReader& R) { SetRichEditVersion(R.ReadInteger()); },
        [this](TWriter& W) {
            FRichEditVersion = 2;
            W.WriteInteger(2);
        },
        true);
    Filer->DefineBinaryProperty(
        "Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); },
        GetField() == nullptr);
}

// A length of four bytes (little-endian), then the content as the lines save it.
void TwwCustomRichEdit::WriteData(TStream& Stream) {
    TStepMemoryStream content;
    Lines()->SaveToStream(content);
    const auto length = static_cast<uint32_t>(content.Size());
    const uint8_t head[4] = {uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16),
                             uint8_t(length >> 24)};
    Stream.Write(head, 4);
    if (length > 0) Stream.Write(content.Memory(), length);
}

void TwwCustomRichEdit::ReadData(TStream& Stream) {
    SetPlainText(false);
    uint8_t head[4] = {};
    Stream.ReadBuffer(head, 4);
    const uint32_t length = head[0] | (head[1] << 8) | (head[2] << 16) | (uint32_t(head[3]) << 24);
    if (length > 0 && !GetField()) {
        AnsiString bytes(std::min<uint64_t>(length, static_cast<uint64_t>(Stream.Size() - Stream.Position())),
                         '\0');
        Stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        TStringStream content(bytes);
        TLoadingScope loading(this);
        Lines()->LoadFromStream(content);
    }
    FContentFromForm = true;
}

void TwwCustomRichEdit::ReadState(TReader* Reader) {
    // A form that does not name the version is of the first generation.
    FRichEditVersion = 1;
    FContentFromForm = false;
    SetPlainText(true);
    TCustomRichEdit::ReadState(Reader);
    const bool fromLines = !FContentFromForm;
    SetPlainText(false);
    if (fromLines) {
        // Rich text kept as lines is parsed now.
        TStringStream lines(Text());
        TLoadingScope loading(this);
        Lines()->LoadFromStream(lines);
    }
}

void TwwCustomRichEdit::Loaded() {
    TCustomRichEdit::Loaded();
    if (!IsDesigning(this)) SetPopupCaptions();
}

// --- streaming ---

void TwwCustomRichEdit::StreamIn(TStream& Stream, bool SelectionOnly, int BlockLimit) {
    const int64_t start = Stream.Position();
    TBlockReader first(Stream, BlockLimit);
    if (TCustomRichEdit::StreamIn(std::ref(first), !PlainText(), SelectionOnly)) return;
    if (!PlainText() && !SelectionOnly) {
        Stream.SetPosition(start);
        TBlockReader again(Stream, BlockLimit);
        if (TCustomRichEdit::StreamIn(std::ref(again), false, false)) return;
    }
    throw EOutOfResources("Failed to Load Stream");
}

void TwwCustomRichEdit::StripHighlightCodes() {
    AnsiString rtf;
    StreamOut(
        [&](const char* B, int N) {
            rtf.append(B, static_cast<size_t>(N));
            return N;
        },
        true, true);
    static constexpr std::string_view word = "\\highlight";
    AnsiString stripped;
    size_t at = 0;
    for (;;) {
        size_t found = rtf.find(word, at);
        // An escaped backslash before it is text, not a control word.
        while (found != AnsiString::npos && found > 0 && rtf[found - 1] == '\\')
            found = rtf.find(word, found + 1);
        if (found == AnsiString::npos) break;
        stripped.append(rtf, at, found - at);
        size_t end = found + word.size();
        while (end < rtf.size() && IsDigitChar(rtf[end])) ++end;
        if (end < rtf.size() && rtf[end] == ' ') ++end;
        at = end;
    }
    stripped.append(rtf, at, AnsiString::npos);
    const int start = SelStart(), length = SelLength();
    size_t pos = 0;
    TCustomRichEdit::StreamIn(
        [&](char* B, int N) {
            size_t n = std::min(static_cast<size_t>(N), stripped.size() - pos);
            std::memcpy(B, stripped.data() + pos, n);
            pos += n;
            return static_cast<int>(n);
        },
        true, true);
    SetSelStart(start);
    SetSelLength(length);
}

// --- what a data-aware descendant fills in ---

bool TwwCustomRichEdit::GetReadOnly() const { return TCustomEdit::ReadOnly(); }

void TwwCustomRichEdit::DoURLOpen(const AnsiString& URL, bool& UseDefault) {
    if (Assigned(OnURLOpen)) OnURLOpen(this, URL, UseDefault);
}

// --- formats ---

void TwwCustomRichEdit::SetSelFont(const AnsiString& Name, int Size, TColor Color, TFontStyles Style) {
    TRichCharFormat f;
    uint32_t mask = cmBold | cmItalic | cmUnderline | cmStrikeOut | cmFace | cmSize | cmCharset;
    f.FaceName = Name.substr(0, 31);
    f.Height = Size * 20;
    f.Charset = GetFontCharset(Name);
    if (Color != clNone) {
        mask |= cmColor;
        f.AutoColor = false;
        f.Color = ColorToRGB(Color);
    }
    f.Bold = Style.Contains(fsBold);
    f.Italic = Style.Contains(fsItalic);
    f.Underline = Style.Contains(fsUnderline);
    f.StrikeOut = Style.Contains(fsStrikeOut);
    SetSelCharFormat(f, mask);
    SetModified(true);
}

void TwwCustomRichEdit::SetSelEffect(int Kind, bool On) {
    static constexpr uint32_t masks[] = {cmBold, cmItalic, cmUnderline, cmStrikeOut};
    if (Kind < 0 || Kind > 3) return;
    TRichCharFormat f;
    f.Bold = f.Italic = f.Underline = f.StrikeOut = On;
    SetSelCharFormat(f, masks[Kind]);
    SetModified(true);
}

void TwwCustomRichEdit::SetSelBackColor(TColor Color) {
    TColorRef back = 0;
    if (Color == -1) {
        StripHighlightCodes();
        back = ColorToRGB(this->Color());
    } else {
        back = ColorToRGB(Color);
    }
    if (FRichEditVersion >= 2) {
        TRichCharFormat f;
        f.AutoBackColor = false;
        f.BackColor = back;
        SetSelCharFormat(f, cmBackColor);
        SetModified(true);
        SetSelLength(0);
    }
}

TColor TwwCustomRichEdit::GetSelBackColor() const {
    const TColor own = static_cast<TColor>(ColorToRGB(Color()));
    if (FRichEditVersion < 2) return own;
    TRichCharFormat f = SelCharFormat();
    return f.AutoBackColor ? own : static_cast<TColor>(f.BackColor);
}

void TwwCustomRichEdit::SetParagraphFormat(uint32_t Mask, const AnsiString& Alignment, bool Numbering,
                                           int Offset, int RightIndent, int StartIndent, int TabCount,
                                           const int* Tabs, int SpaceBefore, int SpaceAfter, int LineSpacing,
                                           int LineSpacingRule) {
    BeginEdit();
    TRichParaFormat f;
    f.Alignment = AlignmentOfText(Alignment);
    f.Numbering = Numbering ? rnBullet : rnNone;
    f.Offset = Offset;
    f.RightIndent = RightIndent;
    f.StartIndent = StartIndent;
    for (int i = 0; Tabs && i < std::min(TabCount, MaxRichTabStops); ++i) f.Tabs.push_back(Tabs[i]);
    f.SpaceBefore = SpaceBefore;
    f.SpaceAfter = SpaceAfter;
    // One and a half and double lines go as twentieths of a line.
    if (LineSpacingRule == 1) LineSpacingRule = 5, LineSpacing = 30;
    else if (LineSpacingRule == 2) LineSpacingRule = 5, LineSpacing = 40;
    f.LineSpacing = LineSpacing;
    f.LineSpacingRule = static_cast<uint8_t>(LineSpacingRule);
    // The caller's bits name the same attributes as the document's mask.
    SetSelParaFormat(f, Mask & pmAllPara);
    SetModified(true);
}

void TwwCustomRichEdit::GetIndents(int& Offset, int& RightIndent, int& StartIndent) const {
    TRichParaFormat f = SelParaFormat();
    Offset = f.Offset;
    RightIndent = f.RightIndent;
    StartIndent = f.StartIndent;
}

TRichParaFormat TwwCustomRichEdit::GetParagraphFormat() const { return SelParaFormat(); }

void TwwCustomRichEdit::SetBullets(bool On) {
    BeginEdit();
    TRichParaFormat f;
    f.Numbering = On ? rnBullet : rnNone;
    f.Offset = 720;
    SetSelParaFormat(f, On ? (pmNumbering | pmOffset) : pmNumbering);
    SetModified(true);
}

uint8_t TwwCustomRichEdit::GetFontCharset(const AnsiString& /*Name*/) const {
    // Every face fontconfig offers here draws Windows-1252 text.
    return static_cast<uint8_t>(Font()->Charset());
}

bool TwwCustomRichEdit::CanPasteFromClipboard() {
    TClipboard* clip = Clipboard();
    if (clip->HasFormat(CF_METAFILEPICT) || clip->HasFormat(CF_ENHMETAFILE)) return true;
    if (clip->HasFormat(CF_BITMAP)) return false;
    return clip->HasFormat(CF_TEXT);
}

bool TwwCustomRichEdit::UsesPrinterWidth() const {
    return FEditWidth == rewPrinterSize && Printer()->Printers()->Count() > 0;
}

void TwwCustomRichEdit::SetEditWidth(TwwRichEditWidth Value) {
    FEditWidth = Value;
    UpdateFormatRect();
}

void TwwCustomRichEdit::SetPrintPageSize(int Value) {
    FPrintPageSize = Value;
    if (!GetParentForm(this) || !UsesPrinterWidth()) return;
    ApplyPrintPageSize();
    UpdateFormatRect();
}

void TwwCustomRichEdit::SetGutterWidth(int Value) {
    FGutterWidth = Value;
    UpdateFormatRect();
}

void TwwCustomRichEdit::CreateWnd() {
    TCustomRichEdit::CreateWnd();
    UpdateFormatRect();
}

void TwwCustomRichEdit::Resize() {
    TCustomRichEdit::Resize();
    if (!UsesPrinterWidth()) UpdateFormatRect();
}

TWinControl* TwwCustomRichEdit::HostGrid() const {
    return Parent() && ::IsClassNamed(Parent(), "TCustomGrid") ? Parent() : nullptr;
}

void TwwCustomRichEdit::CNKeyDown(TMessage& Message) {
    const WORD key = Message.CharCode();
    TWinControl* grid = ComponentState().Contains(csDesigning) ? nullptr : HostGrid();
    // The data grids name the option dgTabs.
    const bool tabs = grid && (GridOptionSet(grid, "goTabs") || GridOptionSet(grid, "dgTabs"));
    if (grid &&
        ((key == VK_TAB && tabs) || (key == VK_RETURN && (!WantReturns() || GetKeyState(VK_CONTROL) < 0)))) {
        WORD handed = key;
        HandKeyToGrid(grid, handed);
        Message.Result = 1;
        return;
    }
    TCustomRichEdit::CNKeyDown(Message);
}

void TwwCustomRichEdit::KeyPress(char& Key) {
    if (Key == '\t' && HostGrid()) {
        Key = 0;
        return;
    }
    TCustomRichEdit::KeyPress(Key);
}

void TwwCustomRichEdit::UpdateFormatRect() {
    if (!HandleAllocated()) return;
    TLoadingScope loading(this);
    TRect r;
    if (UsesPrinterWidth()) {
        // The page's printable width at the screen's resolution, as it will print.
        TPrinter* printer = Printer();
        const int ppi = printer->PixelsPerInch(), screen = Screen ? Screen->PixelsPerInch() : 96;
        auto inches = [this](double Margin) { return TextToTwips(FloatToStr(Margin)) / 1440.0; };
        const double width = double(printer->PageWidth()) / ppi - inches(FPrintMargins->Left()) -
                             inches(FPrintMargins->Right());
        r = TRect(FGutterWidth + 10, 0, static_cast<int>(width * screen) + FGutterWidth + 4,
                  MulDiv(printer->PageHeight(), screen, ppi));
    } else {
        r = TRect(0, 0, ClientWidth() - 2, Height());
        if (BorderStyle() == bsNone) {
            if (::IsClassNamed(Parent(), "TwwDataInspector")) {
                r.Left = FGutterWidth - 2;
            } else if (IsInCustomGrid(this)) {
                r.Top = 1;
                r.Left = FGutterWidth - 1;
            } else {
                r.Top = 2;
                r.Left = FGutterWidth - 2;
                r.Bottom -= 2;
            }
        }
    }
    Perform(EM_SETRECT, 0, PointerToLParam(&r));
}

// --- measures ---

AnsiString TwwCustomRichEdit::StripUnitMarks(AnsiString Text) {
    while (!Text.empty() && Text.back() != '\0' && std::strchr(" 'CMcm", Text.back())) Text.pop_back();
    return Text;
}

bool TwwCustomRichEdit::IsValidMeasure(const AnsiString& Text) const {
    // Tab stops and indents go no further than 22 inches either way.
    constexpr int MaxMeasureTwips = 31680;
    const AnsiString bare = StripUnitMarks(Text);
    if (bare.empty() || !IsFloatText(bare)) return false;
    const int twips = TextToTwips(bare);
    return twips >= -MaxMeasureTwips && twips <= MaxMeasureTwips;
}

int TwwCustomRichEdit::TextToTwips(const AnsiString& Text) const {
    double value = StrToFloat(StripUnitMarks(Text)) * 1440;
    // Centimetres as the library counts them: 2.537 to the inch.
    if (FMeasurementUnits == muCentimeters) value /= 2.537;
    return static_cast<int>(std::trunc(value));
}

double TwwCustomRichEdit::TwipsToUnits(int Twips) const {
    double value = Twips / 1440.0;
    if (FMeasurementUnits == muCentimeters) value *= 2.537;
    return std::round(value * 100) / 100;
}

AnsiString TwwCustomRichEdit::UnitsToText(double Units) const {
    return FloatToStr(Units) + (FMeasurementUnits == muCentimeters ? " cm" : "''");
}

AnsiString TwwCustomRichEdit::UnitsToSnappedText(int Step, double Units) const {
    if (Step == 0) Step = FMeasurementUnits == muCentimeters ? 20 : 8;
    const double away = 1 / (1.5 * Step);
    const double moved = Units < 0 ? Units - away : Units + away;
    long thousandths = static_cast<long>(std::trunc(moved * 1000));
    const long grain = 1000 / Step;
    if (grain > 0) thousandths -= thousandths % grain;
    return UnitsToText(thousandths / 1000.0);
}

// --- search ---

int TwwCustomRichEdit::FindTextRange(const AnsiString& Text, int Start, int Length, TwwFindOptions Options) {
    uint8_t o = 0;
    if (Options.Contains(frMatchCase)) o |= stMatchCase;
    if (Options.Contains(frWholeWord)) o |= stWholeWord;
    return FindText(Text, Start, Start + Length, o);
}

AnsiString TwwCustomRichEdit::BeginSearch() {
    const AnsiString selected = SelText();
    const AnsiString text =
        selected.empty() || selected.find('\r') != AnsiString::npos ? FLastFindText : selected;
    FWrapped = false;
    FSearchStart = SelStart();
    return text;
}

void TwwCustomRichEdit::SearchNext(const AnsiString& FindText, TwwFindOptions Options, bool Replacing,
                                   const AnsiString& Replacement) {
    FLastFindText = FindText;
    const int findLength = static_cast<int>(FindText.size());
    do {
        const int length = static_cast<int>(Text().size());
        if (Replacing) {
            const int at = FindTextRange(FindText, SelStart(), length, Options);
            if (at >= 0 && at == SelStart() && SelLength() == findLength) {
                SetSelText(Replacement);
                if (FWrapped) FSearchStart += static_cast<int>(Replacement.size()) - findLength;
            }
        }
        const int from = SelStart() + 1;
        int found = FindTextRange(FindText, from, static_cast<int>(Text().size()) - from, Options);
        if (FWrapped && found > FSearchStart) found = -1;
        if (!FWrapped && found < 0 && SelStart() > 0) {
            FWrapped = true;
            found = FindTextRange(FindText, 0, static_cast<int>(Text().size()), Options);
            if (found > FSearchStart) found = -1;
        }
        if (found < 0) {
            MessageDlg(DefaultIntl->UserMessages()->LocateNoMoreMatches(), mtInformation, {mbOK}, 0);
            FSearchStart = SelStart();
            FWrapped = false;
            return;
        }
        SetSelStart(found);
        SetSelLength(findLength);
    } while (Options.Contains(frReplaceAll));
}

// --- the search and font dialogs ---

void TwwCustomRichEdit::CreateDialogs() {
    if (!ComponentState().Contains(csDesigning)) {
        FFindDialog = NewComponent<TFindDialog>(this);
        FFindDialog->SetOptions({frHideUpDown, frReplace, frReplaceAll});
        FFindDialog->OnFind = [this](TObject* Sender) { FindHandler(Sender); };
        FFindDialog->OnClose = [this](TObject* Sender) { CloseHandler(Sender); };
        FReplaceDialog = NewComponent<TReplaceDialog>(this);
        FReplaceDialog->OnReplace = [this](TObject* Sender) { ReplaceHandler(Sender); };
        FReplaceDialog->OnFind = [this](TObject* Sender) { FindHandler(Sender); };
        FReplaceDialog->OnClose = [this](TObject* Sender) { CloseHandler(Sender); };
        FFontDialog = NewComponent<TFontDialog>(this);
        FFontDialog->SetDevice(fdBoth);
    }
    BuildPopupMenu();
}

namespace {
// A new HideSelection makes the window anew: the selection is carried over.
void SetHideSelectionKeepingSelection(TwwCustomRichEdit* Edit, bool Value) {
    if (Edit->HideSelection() == Value) return;
    const int start = Edit->SelStart(), length = Edit->SelLength();
    Edit->SetHideSelection(Value);
    Edit->SetSelStart(start);
    Edit->SetSelLength(length);
}
}  // namespace

bool TwwCustomRichEdit::OpenSearchDialog(TFindDialog* Dialog) {
    if (!Dialog) return false;
    // The match must show while the focus is in the dialog.
    if (!Dialog->Showing()) FSavedHideSelection = HideSelection();
    SetHideSelectionKeepingSelection(this, false);
    Dialog->SetFindText(BeginSearch());
    return Dialog->Execute();
}

bool TwwCustomRichEdit::ExecuteFindDialog() { return OpenSearchDialog(FFindDialog); }

bool TwwCustomRichEdit::ExecuteReplaceDialog() { return OpenSearchDialog(FReplaceDialog); }

void TwwCustomRichEdit::CloseHandler(TObject*) {
    SetHideSelectionKeepingSelection(this, FSavedHideSelection);
}

void TwwCustomRichEdit::FindHandler(TObject* Sender) {
    auto* Dialog = dynamic_cast<TFindDialog*>(Sender);
    if (!Dialog || !FFindDialog) return;
    FLastFindText = Dialog->FindText();
    FFindDialog->SetFindText(FLastFindText);
    // Find Next pressed in the replace dialog searches with what that dialog
    // says: its case and whole-word boxes reach the find dialog's options.
    if (Dialog != FFindDialog) {
        TFindOptions O = FFindDialog->Options() - TFindOptions{frMatchCase, frWholeWord};
        FFindDialog->SetOptions(O + (Dialog->Options() * TFindOptions{frMatchCase, frWholeWord}));
    }
    FindNext();
}

void TwwCustomRichEdit::ReplaceHandler(TObject*) {
    if (!FReplaceDialog) return;
    FLastFindText = FReplaceDialog->FindText();
    ReplaceNext();
}

void TwwCustomRichEdit::FindNext() {
    if (!FFindDialog) return;
    const AnsiString Text = !FFindDialog->FindText().empty() ? FFindDialog->FindText() : FLastFindText;
    if (Text.empty()) return;
    // Finding never replaces: a replace-all flag left in the options must not
    // walk the whole text.
    SearchNext(Text, FFindDialog->Options() - TFindOptions{frReplace, frReplaceAll}, false, "");
}

void TwwCustomRichEdit::ReplaceNext() {
    if (!FReplaceDialog || FReplaceDialog->FindText().empty()) return;
    SearchNext(FReplaceDialog->FindText(), FReplaceDialog->Options(), true, FReplaceDialog->ReplaceText());
}

bool TwwCustomRichEdit::ExecuteFontDialog() {
    if (!FFontDialog) return false;
    const TRichCharFormat f = SelCharFormat();
    TFont* font = FFontDialog->Font();
    font->SetName(f.FaceName);
    font->SetSize((f.Height + 10) / 20);
    TFontStyles style;
    if (f.Bold) style.Include(fsBold);
    if (f.Italic) style.Include(fsItalic);
    if (f.Underline) style.Include(fsUnderline);
    if (f.StrikeOut) style.Include(fsStrikeOut);
    font->SetStyle(style);
    const TColor before = f.AutoColor ? clWindowText : static_cast<TColor>(f.Color);
    font->SetColor(before);
    TFontDialogOptions options = FFontDialog->Options();
    if (UsesPrinterWidth()) options.Include(fdWysiwyg);
    else options.Exclude(fdWysiwyg);
    FFontDialog->SetOptions(options);
    if (!FFontDialog->Execute()) return false;
    BeginEdit();
    const TColor color = font->Color() == before ? clNone : font->Color();
    SetSelFont(font->Name(), font->Size(), color, font->Style());
    return true;
}

bool TwwCustomRichEdit::ReplaceText(const AnsiString& FindText, const AnsiString& Replacement,
                                    TwwFindOptions Options) {
    const int at = FindTextRange(FindText, SelStart(), static_cast<int>(Text().size()), Options);
    if (at < 0) return false;
    SetSelStart(at);
    SetSelLength(static_cast<int>(FindText.size()));
    SetSelText(Replacement);
    return true;
}

// --- links ---

bool TwwCustomRichEdit::LinkAt(int Pos, int& Start, int& End) const {
    const AnsiString text = Text();
    if (Pos < 0 || Pos >= static_cast<int>(text.size())) return false;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    if (blank(text[static_cast<size_t>(Pos)])) return false;
    int a = Pos, b = Pos;
    while (a > 0 && !blank(text[static_cast<size_t>(a) - 1])) --a;
    while (b < static_cast<int>(text.size()) && !blank(text[static_cast<size_t>(b)])) ++b;
    const AnsiString word = LowerCase(text.substr(static_cast<size_t>(a), static_cast<size_t>(b - a)));
    size_t at = AnsiString::npos;
    for (const char* scheme : {"http://", "https://", "mailto:", "www."})
        at = std::min(at, word.find(scheme));
    if (at == AnsiString::npos) return false;
    int s = a + static_cast<int>(at), e = b;
    while (e > s && std::strchr(".,;:!?)\"'", text[static_cast<size_t>(e) - 1])) --e;
    if (Pos < s || Pos >= e) return false;
    Start = s;
    End = e;
    return true;
}

void TwwCustomRichEdit::OpenLink(const AnsiString& URL) {
    bool useDefault = true;
    DoURLOpen(URL, useDefault);
    if (!useDefault) return;
    const AnsiString address = LowerCase(URL.substr(0, 4)) == "www." ? "http://" + URL : URL;
    THourGlass hourglass;
    if (ShellExecute(HandleAllocated() ? reinterpret_cast<uintptr_t>(Handle()) : 0, "OPEN", address, "", "",
                     SW_SHOWNORMAL) <= 32)
        MessageDlg("Unable to open the link " + URL, mtWarning, {mbOK}, 0);
}

int TwwCustomRichEdit::CharFromPoint(int X, int Y) {
    return LoWord(static_cast<uintptr_t>(Perform(EM_CHARFROMPOS, 0, MakeLParam(X, Y))));
}

void TwwCustomRichEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomRichEdit::MouseDown(Button, Shift, X, Y);
    if (!FAutoURLDetect || Button != mbLeft) return;
    int s = 0, e = 0;
    FLinkArmed = LinkAt(CharFromPoint(X, Y), s, e);
    if (FLinkArmed) FArmedLink = Text().substr(static_cast<size_t>(s), static_cast<size_t>(e - s));
}

void TwwCustomRichEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool armed = FLinkArmed && Button == mbLeft;
    FLinkArmed = false;
    TCustomRichEdit::MouseUp(Button, Shift, X, Y);
    if (armed) OpenLink(FArmedLink);
}

// --- the popup menu ---

void TwwCustomRichEdit::BuildPopupMenu() {
    FPopupMenu = NewComponent<TPopupMenu>(this);
    FPopupMenu->OnPopup = [this](TObject* Sender) { PopupMenuPopup(Sender); };
    for (TMenuItem*& item : FItems) {
        item = NewComponent<TMenuItem>(FPopupMenu);
        FPopupMenu->Items()->Add(item);
    }
    for (int separator : {1, 5, 9, 14, 17}) FItems[separator]->SetCaption("-");
    FItems[0]->OnClick = [this](TObject*) { ExecuteEditor(); };
    FItems[2]->OnClick = [this](TObject*) { CutToClipboard(); };
    FItems[3]->OnClick = [this](TObject*) { CopyToClipboard(); };
    FItems[4]->OnClick = [this](TObject*) { PasteFromClipboard(); };
    for (int kind = 0; kind < 3; ++kind) {
        FItems[6 + kind]->OnClick = [this, kind](TObject*) {
            BeginEdit();
            TMenuItem* item = FItems[6 + kind];
            SetSelEffect(kind, !item->Checked());
            item->SetChecked(!item->Checked());
        };
    }
    FItems[11]->OnClick = [this](TObject*) {
        SetBullets(!FItems[11]->Checked());
        FItems[11]->SetChecked(!FItems[11]->Checked());
    };
    FItems[10]->OnClick = [this](TObject*) { ExecuteFontDialog(); };
    FItems[12]->OnClick = [this](TObject*) { ExecuteParagraphDialog(); };
    FItems[13]->OnClick = [this](TObject*) { ExecuteTabDialog(); };
    FItems[15]->OnClick = [this](TObject*) { ExecuteFindDialog(); };
    FItems[16]->OnClick = [this](TObject*) { ExecuteReplaceDialog(); };
    SetPopupCaptions();
    if (!PopupMenu()) SetPopupMenu(FPopupMenu);
}

void TwwCustomRichEdit::SetPopupCaptions() {
    TwwRichEditPopupMenuLabels* l = DefaultIntl ? DefaultIntl->RichEdit()->PopupMenuLabels() : nullptr;
    if (!l) return;
    const std::pair<int, const AnsiString*> captions[] = {
        {0, &l->EditCaption()},       {2, &l->CutCaption()},           {3, &l->CopyCaption()},
        {4, &l->PasteCaption()},      {6, &l->BoldCaption()},          {7, &l->ItalicCaption()},
        {8, &l->UnderlineCaption()},  {10, &l->FontCaption()},         {11, &l->BulletStyleCaption()},
        {12, &l->ParagraphCaption()}, {13, &l->TabsCaption()},         {15, &l->FindCaption()},
        {16, &l->ReplaceCaption()},   {18, &l->InsertObjectCaption()}, {19, &l->SpellCheckCaption()}};
    for (auto [index, text] : captions) FItems[index]->SetCaption(*text);
}

void TwwCustomRichEdit::PopupMenuPopup(TObject*) {
    TwwRichEditPopupOptions o = FPopupOptions;
    if (!::IsClassNamed(this, "TwwDBRichEditMSWord")) o.Exclude(rpoPopupMSWordSpellCheck);
    const bool readOnly = GetReadOnly();
    if (readOnly)
        o = o * TwwRichEditPopupOptions{rpoPopupEdit, rpoPopupCut, rpoPopupCopy, rpoPopupPaste, rpoPopupFind};
    TwwRichEditPopupMenuLabels* l = DefaultIntl->RichEdit()->PopupMenuLabels();
    FItems[0]->SetCaption(readOnly ? l->ViewCaption() : l->EditCaption());
    auto any = [&](TwwRichEditPopupOption From, TwwRichEditPopupOption To) {
        for (int i = From; i <= To; ++i)
            if (o.Contains(static_cast<TwwRichEditPopupOption>(i))) return true;
        return false;
    };
    // There is no object interface: object insertion never shows.
    const bool insertObject = false;
    static constexpr std::pair<int, TwwRichEditPopupOption> commands[] = {
        {0, rpoPopupEdit},      {2, rpoPopupCut},
        {3, rpoPopupCopy},      {4, rpoPopupPaste},
        {6, rpoPopupBold},      {7, rpoPopupItalic},
        {8, rpoPopupUnderline}, {10, rpoPopupFont},
        {11, rpoPopupBullet},   {12, rpoPopupParagraph},
        {13, rpoPopupTabs},     {15, rpoPopupFind},
        {16, rpoPopupReplace},  {19, rpoPopupMSWordSpellCheck}};
    for (auto [index, option] : commands) FItems[index]->SetVisible(o.Contains(option));
    FItems[18]->SetVisible(insertObject);
    FItems[1]->SetVisible(o.Contains(rpoPopupEdit) && any(rpoPopupCut, rpoPopupMSWordSpellCheck));
    FItems[5]->SetVisible(any(rpoPopupCut, rpoPopupPaste) && any(rpoPopupBold, rpoPopupMSWordSpellCheck));
    FItems[9]->SetVisible(any(rpoPopupBold, rpoPopupUnderline) &&
                          any(rpoPopupFont, rpoPopupMSWordSpellCheck));
    FItems[14]->SetVisible(
        any(rpoPopupFont, rpoPopupTabs) &&
        (any(rpoPopupFind, rpoPopupReplace) || insertObject || o.Contains(rpoPopupMSWordSpellCheck)));
    FItems[17]->SetVisible(insertObject && any(rpoPopupFind, rpoPopupReplace));
    FItems[2]->SetEnabled(HasSelection() && !readOnly);
    FItems[3]->SetEnabled(HasSelection());
    FItems[4]->SetEnabled(CanPasteFromClipboard() && !readOnly);
    const TRichCharFormat f = SelCharFormat();
    FItems[6]->SetChecked(f.Bold);
    FItems[7]->SetChecked(f.Italic);
    FItems[8]->SetChecked(f.Underline);
    FItems[11]->SetChecked(SelParaFormat().Numbering != rnNone);
}

// ---------------------------------------------------------------------------
// TwwDBRichEdit
// ---------------------------------------------------------------------------

TwwDBRichEdit::TwwDBRichEdit(TComponent* AOwner)
    : TwwCustomRichEdit(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
    FControlStyle.Include(csReplicatable);
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TObject* Sender) { DataChange(Sender); };
    FDataLink->OnEditingChange = [this](TObject* Sender) { EditingChange(Sender); };
    FDataLink->OnUpdateData = [this](TObject* Sender) { UpdateData(Sender); };
}

TwwDBRichEdit::~TwwDBRichEdit() {
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnEditingChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
    FDataLink.reset();
}

void TwwDBRichEdit::DescribeProperties(TPropertyTable& T) {
    using C = TwwDBRichEdit;
    PublishEditProperties(T);
    // The control's own menu is made with it, not read from the form.
    T.Property("PopupMenu", &C::PopupMenu, &C::SetPopupMenu).Stored(&C::StoresPopupMenu);
    T.Property("Lines", &C::Lines, &C::SetLines).Stored(false);
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("DataField", &C::DataField, &C::SetDataField);
    T.Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    T.Property("AutoDisplay", &C::AutoDisplay, &C::SetAutoDisplay).Default(true);
}

void TwwDBRichEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TwwCustomRichEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == DataSource()) SetDataSource(nullptr);
}

TDataSource* TwwDBRichEdit::DataSource() const { return FDataLink->DataSource(); }

void TwwDBRichEdit::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

AnsiString TwwDBRichEdit::DataField() const { return FDataLink->FieldName(); }

void TwwDBRichEdit::SetDataField(const AnsiString& Value) {
    if (!Value.empty() && Value != FDataLink->FieldName()) TCustomEdit::SetReadOnly(true);
    else if (Value.empty()) TCustomEdit::SetReadOnly(GetReadOnly());
    FDataLink->SetFieldName(Value);
}

bool TwwDBRichEdit::ReadOnly() const { return FDataLink->ReadOnly(); }

void TwwDBRichEdit::SetReadOnly(bool Value) {
    if (!GetField()) TCustomEdit::SetReadOnly(Value);
    FDataLink->SetReadOnly(Value);
}

TField* TwwDBRichEdit::GetField() const { return FDataLink->Field(); }

bool TwwDBRichEdit::IsBlobField() const {
    TField* f = GetField();
    return f && f->IsBlob();
}

bool TwwDBRichEdit::GetReadOnly() const {
    TField* f = GetField();
    if (!f && FDataLink->FieldName().empty()) return TCustomEdit::ReadOnly();
    if (FDataLink->ReadOnly()) return true;
    if (IsDesigning(const_cast<TwwDBRichEdit*>(this)) || !f || !f->DataSet()) return false;
    return f->DataSet()->CanModify() ? f->ReadOnly() : true;
}

void TwwDBRichEdit::SetAutoDisplay(bool Value) {
    if (FAutoDisplay == Value) return;
    FAutoDisplay = Value;
    if (Value && GetField()) LoadContent();
}

void TwwDBRichEdit::LoadFromBlobField(TField* Field) {
    auto* blob = dynamic_cast<TBlobField*>(Field);
    if (!blob) return;
    TLoadingScope loading(this);
    const int maxLength = MaxLength();
    if (maxLength > 0) SetMaxLength(maxLength + 1);
    struct TRestore {
        TwwDBRichEdit* E;
        int Max;
        ~TRestore() {
            if (Max > 0) E->SetMaxLength(Max);
        }
    } restore{this, maxLength};
    TStepMemoryStream stream;
    blob->SaveToStream(stream);
    stream.SetPosition(0);
    Lines()->Clear();
    Lines()->LoadFromStream(stream);
}

void TwwDBRichEdit::LoadFieldPreview(TField* Field, int BlockLimit) {
    if (!Field || !Field->IsBlob() || !Field->DataSet()) return;
    TLoadingScope loading(this);
    std::unique_ptr<TStream> blob = Field->DataSet()->CreateBlobStream(Field, bmRead);
    if (PlainText()) {
        StreamIn(*blob, false, BlockLimit);
    } else {
        // The rich text's own characters arrive as text, cut where the limit
        // says; what arrived is then read as rich text.
        SetPlainText(true);
        StreamIn(*blob, false, BlockLimit);
        TStepMemoryStream head;
        Lines()->SaveToStream(head);
        SetPlainText(false);
        Lines()->Clear();
        head.SetPosition(0);
        StreamIn(head, true, 0);
    }
    FContentLoaded = false;
}

void TwwDBRichEdit::LoadContent() {
    TField* f = GetField();
    if (!f || FContentLoaded || !f->IsBlob()) return;
    {
        TLoadingScope loading(this);
        THourGlass hourglass;
        TRichEditProtectChange saved = OnProtectChange;
        OnProtectChange = [](TObject*, int, int, bool& Allow) { Allow = true; };
        FContentLoaded = true;
        try {
            LoadFromBlobField(f);
        } catch (const EOutOfResources& e) {
            Lines()->SetText("(" + e.Message() + ")");
        } catch (const EDatabaseError& e) {
            Lines()->SetText("(" + e.Message() + ")");
        }
        OnProtectChange = saved;
    }
    EditingChange(this);
    SetModified(false);
}

void TwwDBRichEdit::DataChange(TObject*) {
    TField* f = GetField();
    TLoadingScope loading(this);
    if (!f) {
        FContentLoaded = false;
        SetText(IsDesigning(this) ? Name() : AnsiString());
        return;
    }
    if (!f->IsBlob()) {
        FContentLoaded = false;
        SetText(Focused() && FDataLink->CanModify() ? f->Text() : f->DisplayText());
        FContentLoaded = true;
        return;
    }
    if (FAutoDisplay || (FDataLink->Editing() && FContentLoaded)) {
        // The user's unsaved view stays when the field still holds what it
        // held when the edit began.
        if (!FSnapshot.empty() && FSnapshot == f->AsString()) return;
        FContentLoaded = false;
        if (Visible()) LoadContent();
        return;
    }
    FContentLoaded = false;
    SetText(Format("(%s)", {f->DisplayLabel()}));
}

void TwwDBRichEdit::EditingChange(TObject*) {
    if (GetField()) TCustomEdit::SetReadOnly(!(FDataLink->Editing() && FContentLoaded));
}

void TwwDBRichEdit::UpdateData(TObject*) { UpdateRecord(); }

void TwwDBRichEdit::BeginEdit() {
    TField* f = GetField();
    if (!f || FDataLink->Editing()) return;
    if (f->IsBlob()) FSnapshot = f->AsString();
    TDataSource* source = DataSource();
    if (source && source->State() == dsBrowse && source->AutoEdit()) FDataLink->Edit();
    FSnapshot.clear();
    if (IsInCustomGrid(this) && !GetReadOnly() && FDataLink->Editing()) FDataLink->SetModified();
}

void TwwDBRichEdit::UpdateRecord() {
    TField* f = GetField();
    if (!f || !Modified() || !FContentLoaded) return;
    if (auto* blob = dynamic_cast<TBlobField*>(f)) {
        TStepMemoryStream content;
        Lines()->SaveToStream(content);
        blob->LoadFromStream(content);
    } else {
        f->SetAsString(Text());
    }
}

void TwwDBRichEdit::Change() {
    if (GetField() && FContentLoaded && !Loading() && !GetReadOnly()) {
        BeginEdit();
        FDataLink->SetModified();
    }
    TwwCustomRichEdit::Change();
}

void TwwDBRichEdit::KeyDown(WORD& Key, TShiftState Shift) {
    // In a grid's cell the keys that move between records go to the grid.
    if (TWinControl* grid = HostGrid()) {
        const bool ctrl = Shift.Contains(ssCtrl);
        const bool vertical = Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT;
        if ((Key == VK_ESCAPE && !Modified()) ||
            (vertical && !Shift.Contains(ssAlt) && !WantNavigationKeys()) ||
            (ctrl && (Key == VK_HOME || Key == VK_END))) {
            HandKeyToGrid(grid, Key);
            return;
        }
    }
    TwwCustomRichEdit::KeyDown(Key, Shift);
    if (Key == VK_F2 && PopupOptions().Contains(rpoPopupEdit)) {
        Key = 0;
        ExecuteEditor();
        return;
    }
    const bool paste =
        (Key == VK_INSERT && Shift.Contains(ssShift)) || (Key == 'V' && Shift.Contains(ssCtrl));
    if (paste && !CanPasteFromClipboard()) {
        Key = 0;
        return;
    }
    if (!GetField() || !FContentLoaded) return;
    if (Key == VK_DELETE || Key == VK_BACK || paste || (Key == 'X' && Shift.Contains(ssCtrl))) {
        BeginEdit();
    } else if (Key == VK_RETURN) {
        if (WantReturns()) {
            BeginEdit();
        } else {
            SetSelStart(0);
            Key = 0;
        }
    }
}

void TwwDBRichEdit::DblClick() {
    if (GetField() && !FContentLoaded) {
        LoadContent();
        return;
    }
    TwwCustomRichEdit::DblClick();
}

void TwwDBRichEdit::KeyPress(char& Key) {
    if (Key == '\t' && !WantTabs()) {
        Key = 0;
        return;
    }
    TField* f = GetField();
    if (!f) return TwwCustomRichEdit::KeyPress(Key);
    if (!FContentLoaded) {
        if (Key == '\r') LoadContent();
        Key = 0;
        return;
    }
    TwwCustomRichEdit::KeyPress(Key);
    const auto u = static_cast<unsigned char>(Key);
    const bool printable = u >= 32 && u != 127;
    if (printable && !f->IsValidChar(Key)) {
        MessageBeep(0);
        Key = 0;
        return;
    }
    if (Key == '\b' || Key == '\t' || Key == '\n' || Key == '\r' || Key == 22 || Key == 24 || printable) {
        BeginEdit();
    } else if (Key == 27) {
        FDataLink->Reset();
    }
}

void TwwDBRichEdit::DoExit() {
    if (GetField()) {
        try {
            FDataLink->UpdateRecord();
        } catch (...) {
            SetFocus();
            throw;
        }
    }
    TwwCustomRichEdit::DoExit();
}

void TwwDBRichEdit::CMGetDataLink(TMessage& Message) { Message.Result = PointerToLParam(FDataLink.get()); }

void TwwDBRichEdit::WMPaint(TMessage& Message) {
    auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam);
    if (!FControlState.Contains(csPaintCopy) || !canvas) return TwwCustomRichEdit::WMPaint(Message);
    TRichDocument copy;
    const TRichDocument* document = &copy;
    if (TField* f = GetField()) {
        const AnsiString value = f->IsBlob() ? f->AsString() : f->DisplayText();
        if (!PlainText() && IsRichText(value)) {
            copy = ReadRtf(value, DefaultCharFormat());
        } else {
            copy.SetDefaultFormat(DefaultCharFormat());
            copy.SetPlainText(value);
        }
    } else {
        document = &Document();
    }
    // The formatting rectangle: the gutter at the left, one pixel in at the
    // right (51 further out without word wrap), down past the bottom edge.
    const TRect client = ClientRect();
    const TRect rect(std::max(0, GutterWidth() - 1), 1, client.Right - 1 + (WordWrap() ? 0 : 51),
                     client.Bottom + 25);
    FormatRichRange(*canvas, *document, 0, rect, true);
}

void CopyRichEditContent(TwwCustomRichEdit* Destination, TwwCustomRichEdit* Source) {
    THourGlass hourglass;
    TField* f = Source->GetField();
    if (f && !Source->IsContentLoaded()) {
        if (auto* db = dynamic_cast<TwwDBRichEdit*>(Destination)) {
            db->LoadFromBlobField(f);
            return;
        }
        Source->LoadContent();
    }
    TStepMemoryStream content;
    Source->Lines()->SaveToStream(content);
    content.SetPosition(0);
    const int maxLength = Destination->MaxLength();
    if (Source->MaxLength() > 0 && maxLength > 0) Destination->SetMaxLength(maxLength + 1);
    Destination->Lines()->LoadFromStream(content);
    if (Source->MaxLength() > 0 && maxLength > 0) Destination->SetMaxLength(maxLength);
}

// ---------------------------------------------------------------------------
// Printing
// ---------------------------------------------------------------------------

void TwwCustomRichEdit::ApplyPrintPageSize() {
    for (const TPaperSize& p : PaperSizes())
        if (p.Code == FPrintPageSize && !Printer()->Printing()) Printer()->SetPaperCode(FPrintPageSize);
}

TRect TwwCustomRichEdit::GetPrintRect() const {
    TPrinter* printer = Printer();
    const int ppi = printer->PixelsPerInch();
    const int pageW = PixelsToTwips(printer->PageWidth(), ppi),
              pageH = PixelsToTwips(printer->PageHeight(), ppi);
    const int offX = PixelsToTwips(printer->PrintableOffsetX(), ppi);
    const int offY = PixelsToTwips(printer->PrintableOffsetY(), ppi);
    // Each margin as it would be typed, so that centimetres count as the dialogs count them.
    auto twips = [this](double Margin) { return TextToTwips(FloatToStr(Margin)); };
    TRect r;
    r.Left = std::clamp(twips(FPrintMargins->Left()) - offX, 0, std::max(0, pageW - 2 * offX));
    r.Right =
        std::clamp(pageW - twips(FPrintMargins->Right()) - offX, r.Left, std::max(r.Left, pageW - 2 * offX));
    // The top may reach the page less one offset, the bottom only the page less two.
    r.Top = std::clamp(twips(FPrintMargins->Top()) - offY, 0, std::max(0, pageH - offY));
    r.Bottom =
        std::clamp(pageH - twips(FPrintMargins->Bottom()) - offY, r.Top, std::max(r.Top, pageH - 2 * offY));
    return r;
}

// --- page setup ---

TwwPageSetupDialog::TwwPageSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

void TwwPageSetupDialog::SetRichEdit(TwwCustomRichEdit* Value) {
    FRichEdit = Value;
    if (Value) Value->FreeNotification(this);
}

void TwwPageSetupDialog::Notification(TComponent* AComponent, TOperation Operation) {
    TCommonDialog::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FRichEdit) FRichEdit = nullptr;
}

bool TwwPageSetupDialog::Execute() {
    if (!FRichEdit) return false;
    TPageSetupDialog dialog(nullptr);
    TwwPrintMargins* margins = FRichEdit->PrintMargins();
    // Thousandths of an inch, or hundredths of a millimetre: both the margin times 1000.
    dialog.SetUnits(FRichEdit->MeasurementUnits() == muInches ? pmInches : pmMillimeters);
    dialog.SetMarginLeft(static_cast<int>(margins->Left() * 1000));
    dialog.SetMarginTop(static_cast<int>(margins->Top() * 1000));
    dialog.SetMarginRight(static_cast<int>(margins->Right() * 1000));
    dialog.SetMarginBottom(static_cast<int>(margins->Bottom() * 1000));
    const bool printerWidth = FRichEdit->UsesPrinterWidth();
    if (!printerWidth) dialog.SetOptions({psoDisablePaper});
    dialog.SetPaperCode(printerWidth ? FRichEdit->PrintPageSize() : Printer()->PaperCode());
    dialog.SetOrientation(Printer()->Orientation());
    DoShow();
    const bool ok = dialog.Execute();
    DoClose();
    if (!ok) return false;
    margins->SetLeft(dialog.MarginLeft() / 1000.0);
    margins->SetTop(dialog.MarginTop() / 1000.0);
    margins->SetRight(dialog.MarginRight() / 1000.0);
    margins->SetBottom(dialog.MarginBottom() / 1000.0);
    if (!Printer()->Printing()) Printer()->SetOrientation(dialog.Orientation());
    if (dialog.PaperCode() != 0) FRichEdit->SetPrintPageSize(dialog.PaperCode());
    FRichEdit->ApplyPrintPageSize();
    return true;
}

void TwwCustomRichEdit::DoPrintHeader(TRect Rect, int PageNumber, AnsiString& Left, AnsiString& Center,
                                      AnsiString& Right, bool& DoDefault) {
    if (Assigned(OnPrintHeader)) OnPrintHeader(this, Rect, PageNumber, Left, Center, Right, DoDefault);
}

void TwwCustomRichEdit::DoPrintFooter(TRect Rect, int PageNumber, AnsiString& Left, AnsiString& Center,
                                      AnsiString& Right, bool& DoDefault) {
    if (Assigned(OnPrintFooter)) OnPrintFooter(this, Rect, PageNumber, Left, Center, Right, DoDefault);
}

void TwwCustomRichEdit::Print(const AnsiString& JobTitle) {
    if (UsesPrinterWidth()) ApplyPrintPageSize();
    TPrinter* printer = Printer();
    TCanvas* canvas = printer->Canvas();
    const int ppi = printer->PixelsPerInch();
    const TRect twips = GetPrintRect();
    // The canvas's origin is the paper's corner; the rectangles here start
    // at the printable area's.
    const int offX = printer->PrintableOffsetX(), offY = printer->PrintableOffsetY();
    const TRect page(TwipsToPixels(twips.Left, ppi), TwipsToPixels(twips.Top, ppi),
                     TwipsToPixels(twips.Right, ppi), TwipsToPixels(twips.Bottom, ppi));
    const TRect onPaper(page.Left + offX, page.Top + offY, page.Right + offX, page.Bottom + offY);
    const TRichDocument& document = Document();
    printer->SetTitle(JobTitle);
    printer->BeginDoc();
    try {
        // The measuring pass finds where the text ends.
        int end = 0;
        for (int at = 0;;) {
            int next = FormatRichRange(*canvas, document, at, onPaper, false);
            if (next <= at || next >= document.Length()) {
                end = std::max(next, at);
                break;
            }
            at = next;
        }
        auto drawBand = [&](TwwRTFHeaderFooter* Band, const TRect& R, bool Header) {
            canvas->Font()->Assign(Band->Font());
            bool doDefault = true;
            AnsiString left = Band->LeftText(), center = Band->CenterText(), right = Band->RightText();
            if (Header) DoPrintHeader(R, printer->PageNumber(), left, center, right, doDefault);
            else DoPrintFooter(R, printer->PageNumber(), left, center, right, doDefault);
            if (!doDefault) return;
            canvas->Brush()->SetStyle(bsClear);
            const int h = canvas->TextHeight("H");
            const int y = Header ? R.Top : R.Bottom - h;
            canvas->TextOut(R.Left + offX, y + offY, left);
            canvas->TextOut(R.Left + offX + (R.Width() - canvas->TextWidth(center)) / 2, y + offY, center);
            canvas->TextOut(R.Right + offX - canvas->TextWidth(right), y + offY, right);
            if (Band->LineSeparator()) {
                canvas->Pen()->SetWidth(TwipsToPixels(6, ppi));
                canvas->Pen()->SetColor(clBlack);
                const int ruleY =
                    Header ? R.Top + h + TwipsToPixels(28, ppi) : R.Bottom - h - TwipsToPixels(28, ppi);
                canvas->MoveTo(R.Left + offX, ruleY + offY);
                canvas->LineTo(R.Right + offX, ruleY + offY);
            }
        };
        for (int at = 0;;) {
            const int vert = static_cast<int>(FPrintHeader->VertMargin() * ppi);
            drawBand(FPrintHeader.get(), TRect(page.Left, vert - offY, page.Right, page.Top), true);
            const int footVert = static_cast<int>(FPrintFooter->VertMargin() * ppi);
            const int pageH = printer->PageHeight();
            drawBand(FPrintFooter.get(),
                     TRect(page.Left, pageH - footVert - TwipsToPixels(720, ppi), page.Right,
                           pageH - footVert - offY),
                     false);
            const int next = FormatRichRange(*canvas, document, at, onPaper, true);
            if (next <= at || next >= end) break;
            printer->NewPage();
            at = next;
        }
        printer->EndDoc();
    } catch (...) {
        if (printer->Printing()) printer->Abort();
        throw;
    }
}

bool TwwCustomRichEdit::PrintThroughWord(const AnsiString& /*DocumentName*/) {
    MessageDlg(DefaultIntl->UserMessages()->RichEditMSWordNotFound(), mtInformation, {mbOK}, 0);
    return false;
}

// ---------------------------------------------------------------------------
// TwwRulerPanel
// ---------------------------------------------------------------------------

namespace {

// Centimetres as the library counts them: 2.537 to the inch.
constexpr double CentimetresPerInch = 2.537;
// The closest a marker comes to another, in pixels.
constexpr int MarkerGap = 48;

}  // namespace

TwwRulerPanel::TwwRulerPanel(TComponent* AOwner) : TPanel(AOwner) {
    SetBevelOuter(bvNone);
    ComputeRect();
}

void TwwRulerPanel::ComputeRect() { FRulerRect = TRect(6, 4, Width() - 6, Height() - 4); }

int TwwRulerPanel::ToTwips(int Pixels) const { return Pixels * 1440 / FPixelsPerInch; }

int TwwRulerPanel::ToPixels(int Twips) const { return Twips * FPixelsPerInch / 1440; }

double TwwRulerPanel::PixelsPerUnit() const {
    const bool cm = FRichEdit && FRichEdit->MeasurementUnits() == muCentimeters;
    return cm ? FPixelsPerInch / CentimetresPerInch : FPixelsPerInch;
}

double TwwRulerPanel::PrintableInches() const {
    TPrinter* printer = Printer();
    const double page = PixelsToTwips(printer->PageWidth(), printer->PixelsPerInch()) / 1440.0;
    double margins = FRichEdit->PrintMargins()->Left() + FRichEdit->PrintMargins()->Right();
    if (FRichEdit->MeasurementUnits() == muCentimeters) margins /= CentimetresPerInch;
    return page - margins;
}

double TwwRulerPanel::ScaleLength() const {
    if (FRichEdit && FRichEdit->UsesPrinterWidth()) {
        const double inches = PrintableInches();
        return FRichEdit->MeasurementUnits() == muCentimeters ? inches * CentimetresPerInch : inches;
    }
    return (Width() - 12) / PixelsPerUnit();
}

void TwwRulerPanel::Setup(TwwCustomRichEdit* Edit) {
    FRichEdit = Edit;
    FPixelsPerInch = Screen ? Screen->PixelsPerInch() : ScreenPixelsPerInch;
    ComputeRect();
    if (Edit->UsesPrinterWidth()) FitToPrinterWidth(Edit);
    ComputeRect();
    auto make = [this](const char* Bitmap) {
        auto* marker = NewComponent<TwwTrackIcon>(this);
        marker->SetParent(this);
        marker->SetBitmapName(Bitmap);
        marker->SetMinValue(FRulerRect.Left - marker->Width() / 2);
        marker->SetMaxValue(FRulerRect.Right - marker->Width() / 2);
        marker->OnEndDrag = [this](TObject* Sender) { MarkerDropped(static_cast<TwwTrackIcon*>(Sender)); };
        return marker;
    };
    LeftMarker = make("wwRulerUp");
    LeftMarker->SetLeft(FRulerRect.Left - LeftMarker->Width() / 2);
    LeftMarker->SetTop(FRulerRect.Bottom + 4 - LeftMarker->Height());
    RightMarker = make("wwRulerUp");
    RightMarker->SetLeft(FRulerRect.Right - RightMarker->Width() / 2);
    RightMarker->SetTop(LeftMarker->Top());
    FirstLineMarker = make("wwRulerDown");
    FirstLineMarker->SetLeft(LeftMarker->Left() + 10);
    FirstLineMarker->SetTop(FRulerRect.Top - 2);
}

void TwwRulerPanel::FitToPrinterWidth(TwwCustomRichEdit* Edit) {
    FRichEdit = Edit;
    SetWidth(static_cast<int>(PrintableInches() * FPixelsPerInch) + 12);
    ComputeRect();
    for (TwwTrackIcon* marker : {LeftMarker, RightMarker, FirstLineMarker})
        if (marker) marker->SetMaxValue(FRulerRect.Right - marker->Width() / 2);
}

void TwwRulerPanel::Paint() {
    TPanel::Paint();
    TCanvas* canvas = Canvas();
    const TRect r = FRulerRect;
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(r);
    auto line = [canvas](TColor Color, int X0, int Y0, int X1, int Y1) {
        canvas->Pen()->SetColor(Color);
        canvas->MoveTo(X0, Y0);
        canvas->LineTo(X1, Y1);
    };
    line(clBtnShadow, r.Left - 1, r.Bottom, r.Left - 1, r.Top - 1);
    line(clBtnShadow, r.Left - 1, r.Top - 1, r.Right + 1, r.Top - 1);
    line(clBlack, r.Left, r.Bottom - 1, r.Left, r.Top);
    line(clBlack, r.Left, r.Top, r.Right, r.Top);
    line(clBtnFace, r.Left - 1, r.Bottom, r.Right, r.Bottom);
    line(clBtnFace, r.Right, r.Bottom, r.Right, r.Top - 1);
    line(clBtnHighlight, r.Left - 1, r.Bottom + 1, r.Right + 1, r.Bottom + 1);
    line(clBtnHighlight, r.Right + 1, r.Bottom + 1, r.Right + 1, r.Top - 2);

    const double length = ScaleLength();
    const double perUnit = PixelsPerUnit();
    const int parts = FRichEdit && FRichEdit->MeasurementUnits() == muCentimeters ? 4 : 8;
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->Assign(Font());
    canvas->Pen()->SetColor(clBlack);
    for (int unit = 0; unit <= static_cast<int>(length) + 1 && unit < length; ++unit) {
        if (unit > 0) {
            const AnsiString number = IntToStr(unit);
            const int x = r.Left + static_cast<int>(unit * perUnit);
            canvas->TextOut(x - canvas->TextWidth(number) / 2, r.Top + 3, number);
        }
        for (int part = 1; part < parts; ++part) {
            const double at = unit + static_cast<double>(part) / parts;
            if (at >= length) break;
            const int x = r.Left + static_cast<int>(at * perUnit);
            // The middle mark is the longer one.
            if (part == parts / 2) {
                canvas->MoveTo(x, r.Top + 7);
                canvas->LineTo(x, r.Bottom - 5);
            } else {
                canvas->MoveTo(x, r.Top + 8);
                canvas->LineTo(x, r.Bottom - 7);
            }
        }
    }
}

void TwwRulerPanel::UpdateMarkers() {
    if (!FRichEdit || !LeftMarker) return;
    int offset = 0, right = 0, start = 0;
    FRichEdit->GetIndents(offset, right, start);
    const int left = FRulerRect.Left;
    LeftMarker->SetLeft(left + ToPixels(start) + ToPixels(offset) - LeftMarker->Width() / 2);
    FirstLineMarker->SetLeft(left + ToPixels(start) - FirstLineMarker->Width() / 2);
    RightMarker->SetLeft(Width() - ToPixels(right) - RightMarker->Width());
}

void TwwRulerPanel::MarkerDropped(TwwTrackIcon* Marker) {
    if (!FRichEdit || !Marker) return;
    // Snapped to the grid at the left of the marker's centre, in thousandths of a unit.
    const bool cm = FRichEdit->MeasurementUnits() == muCentimeters;
    const long grain = cm ? 250 : 125;
    const double perUnit = PixelsPerUnit();
    const int centre = Marker->Left() + Marker->Width() / 2 - FRulerRect.Left;
    long thousandths = static_cast<long>(std::trunc(centre / perUnit * 1000));
    thousandths -= thousandths % grain;
    int position = Marker->MinValue() + static_cast<int>(thousandths / 1000.0 * perUnit) + 1;
    position = std::min(position, Marker->MaxValue());
    if (Marker == RightMarker)
        position = std::max(position, std::max(LeftMarker->Left(), FirstLineMarker->Left()) + MarkerGap);
    else position = std::min(position, RightMarker->Left() - MarkerGap);
    Marker->SetLeft(position);

    if (Marker == RightMarker) {
        const int half = Marker->Width() / 2;
        const int pixels = FRichEdit->UsesPrinterWidth()
                               ? Marker->MaxValue() - FRichEdit->GutterWidth() - 4 - Marker->Left() + 2 * half
                               : FRichEdit->Width() - FRichEdit->GutterWidth() - 4 - Marker->Left() + half;
        FRichEdit->SetParagraphFormat(wwpmRightIndent, "", false, 0, ToTwips(pixels), 0, 0, nullptr, 0, 0, 0,
                                      0);
    } else {
        const int a = ToTwips(LeftMarker->Left() - LeftMarker->MinValue());
        const int b = ToTwips(FirstLineMarker->Left() - FirstLineMarker->MinValue());
        FRichEdit->SetParagraphFormat(wwpmStartIndent | wwpmOffset, "", false, a - b, 0, b, 0, nullptr, 0, 0,
                                      0, 0);
    }
}
