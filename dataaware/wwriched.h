#pragma once
// The library's rich edit and its data-aware descendant. TwwCustomRichEdit
// streams rich or plain text in (whole or over the selection, optionally
// only its first blocks) and out, keeps its content in form data under its
// own names, sets character and paragraph formats on the selection, converts
// measures, and searches; its own popup menu offers the commands. There is
// no embedded-object interface on this system: a control always runs as if
// OLE were disabled, so no object items appear.
//
// TwwDBRichEdit shows one field: a blob holds rich text (or plain text),
// any other field its text. It loads a blob only when shown or asked for,
// enters edit mode before the first change, and writes the content back when
// the record is written. The grid keeps one hidden instance to turn
// rich-text cells into the plain text they show.
#include <memory>

#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/FindDialog.h"
#include "platform/ui/RichEdit.h"

class TField;
class TFieldDataLink;
class TDataSource;
class TPopupMenu;
class TMenuItem;
class TStream;
class TwwTrackIcon;
class TwwFormPosition;
class TwwRichEditForm;
class TSpeedButton;
class TFontDialog;

enum TwwRichEditWidth : uint8_t { rewWindowSize, rewPrinterSize };
ZELMOR_DECLARE_ENUM(TwwRichEditWidth);
enum TwwMeasurementUnits : uint8_t { muInches, muCentimeters };
ZELMOR_DECLARE_ENUM(TwwMeasurementUnits);
enum TwwRichEditOleOption : uint8_t { reoAdjustPopupMenu, reoDisableOLE };
ZELMOR_DECLARE_ENUM(TwwRichEditOleOption);
using TwwRichEditOleOptions = TSet<TwwRichEditOleOption>;
enum TwwRichEditPopupOption : uint8_t {
    rpoPopupEdit,
    rpoPopupCut,
    rpoPopupCopy,
    rpoPopupPaste,
    rpoPopupBold,
    rpoPopupItalic,
    rpoPopupUnderline,
    rpoPopupFont,
    rpoPopupBullet,
    rpoPopupParagraph,
    rpoPopupTabs,
    rpoPopupFind,
    rpoPopupReplace,
    rpoPopupInsertObject,
    rpoPopupMSWordSpellCheck
};
ZELMOR_DECLARE_ENUM(TwwRichEditPopupOption);
using TwwRichEditPopupOptions = TSet<TwwRichEditPopupOption>;
enum TwwRichEditOption : uint8_t {
    reoShowLoad,
    reoShowSaveAs,
    reoShowSaveExit,
    reoShowPrint,
    reoShowPageSetup,
    reoShowFormatBar,
    reoShowToolBar,
    reoShowStatusBar,
    reoShowHints,
    reoShowRuler,
    reoShowInsertObject,
    reoCloseOnEscape,
    reoFlatButtons,
    reoShowSpellCheck,
    reoShowMainMenuIcons,
    reoShowJustifyButton,
    reoUseBackColor,
    reoNoConfirmation
};
ZELMOR_DECLARE_ENUM(TwwRichEditOption);
using TwwRichEditOptions = TSet<TwwRichEditOption>;

// Search options of the find and replace loop: the find and replace
// dialogs' options (frMatchCase, frWholeWord, frReplaceAll count).
using TwwFindOptions = TFindOptions;

// The margins of a printed page, in the control's measurement units.
class TwwPrintMargins : public TPersistent {
    ZELMOR_CLASS(TwwPrintMargins, TPersistent)
public:
    TwwPrintMargins() = default;
    static void DescribeProperties(TPropertyTable& T);
    void Assign(TPersistent* Source) override;
    double Top() const { return FTop; }
    void SetTop(double Value) { FTop = Value; }
    double Bottom() const { return FBottom; }
    void SetBottom(double Value) { FBottom = Value; }
    double Left() const { return FLeft; }
    void SetLeft(double Value) { FLeft = Value; }
    double Right() const { return FRight; }
    void SetRight(double Value) { FRight = Value; }

private:
    double FTop = 1.0, FBottom = 1.0, FLeft = 1.0, FRight = 1.0;
};

// The header or the footer of printed pages: three texts, their font, the
// distance from the page's edge (inches) and a rule beside them.
class TwwRTFHeaderFooter : public TPersistent {
    ZELMOR_CLASS(TwwRTFHeaderFooter, TPersistent)
public:
    TwwRTFHeaderFooter();
    ~TwwRTFHeaderFooter() override;
    static void DescribeProperties(TPropertyTable& T);
    void Assign(TPersistent* Source) override;
    double VertMargin() const { return FVertMargin; }
    void SetVertMargin(double Value) { FVertMargin = Value; }
    AnsiString LeftText() const { return FLeftText; }
    void SetLeftText(const AnsiString& Value) { FLeftText = Value; }
    AnsiString CenterText() const { return FCenterText; }
    void SetCenterText(const AnsiString& Value) { FCenterText = Value; }
    AnsiString RightText() const { return FRightText; }
    void SetRightText(const AnsiString& Value) { FRightText = Value; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    bool LineSeparator() const { return FLineSeparator; }
    void SetLineSeparator(bool Value) { FLineSeparator = Value; }

private:
    double FVertMargin = 0.5;
    AnsiString FLeftText, FCenterText, FRightText;
    std::unique_ptr<TFont> FFont;
    bool FLineSeparator = false;
};

class TwwCustomRichEdit;
using TwwRTFDrawHeaderFooter =
    TEvent<void(TObject* Sender, TRect DrawRect, int PageNumber, AnsiString& LeftText, AnsiString& CenterText,
                AnsiString& RightText, bool& DoDefault)>;
using TwwURLOpenEvent = TEvent<void(TwwCustomRichEdit* Sender, const AnsiString& URLLink, bool& UseDefault)>;
using TwwOnRichEditDlgEvent = TEvent<void(TwwRichEditForm* Form)>;
using TwwRTFNotifyEvent = TEvent<void(TwwRichEditForm* Form, TwwCustomRichEdit* RichEdit, bool& DoDefault)>;
using TRichEditProtectChange = TEvent<void(TObject* Sender, int StartPos, int EndPos, bool& AllowChange)>;

// What a paragraph format call sets (bits of its mask).
enum : uint32_t {
    wwpmAlignment = 1,
    wwpmNumbering = 2,
    wwpmOffset = 4,
    wwpmRightIndent = 8,
    wwpmStartIndent = 16,
    wwpmTabStops = 32,
    wwpmSpaceBefore = 64,
    wwpmSpaceAfter = 128,
    wwpmLineSpacing = 256
};

class TwwCustomRichEdit : public TCustomRichEdit {
    ZELMOR_CLASS(TwwCustomRichEdit, TCustomRichEdit)
public:
    explicit TwwCustomRichEdit(TComponent* AOwner);
    ~TwwCustomRichEdit() override;

    // --- properties ---
    TwwRichEditPopupOptions PopupOptions() const { return FPopupOptions; }
    void SetPopupOptions(TwwRichEditPopupOptions Value) { FPopupOptions = Value; }
    TwwRichEditOptions EditorOptions() const { return FEditorOptions; }
    void SetEditorOptions(TwwRichEditOptions Value) { FEditorOptions = Value; }
    AnsiString EditorCaption() const { return FEditorCaption; }
    void SetEditorCaption(const AnsiString& Value) { FEditorCaption = Value; }
    TwwRichEditWidth EditWidth() const { return FEditWidth; }
    void SetEditWidth(TwwRichEditWidth Value);
    TwwMeasurementUnits MeasurementUnits() const { return FMeasurementUnits; }
    void SetMeasurementUnits(TwwMeasurementUnits Value) { FMeasurementUnits = Value; }
    int PrintPageSize() const { return FPrintPageSize; }
    // With the printer's width on a form, the printer takes the paper at once.
    void SetPrintPageSize(int Value);
    AnsiString PrintJobName() const { return FPrintJobName; }
    void SetPrintJobName(const AnsiString& Value) { FPrintJobName = Value; }
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value) { FHighlightColor = Value; }
    int GutterWidth() const { return FGutterWidth; }
    void SetGutterWidth(int Value);
    int MSVersion() const { return FMSVersion; }
    void SetMSVersion(int Value) { FMSVersion = Value; }
    // Kept as set; whatever it holds, there is no object interface here, so
    // the control always works as with reoDisableOLE (no object items).
    TwwRichEditOleOptions OleOptions() const { return FOleOptions; }
    void SetOleOptions(TwwRichEditOleOptions Value);
    bool AutoURLDetect() const { return FAutoURLDetect; }
    void SetAutoURLDetect(bool Value) { FAutoURLDetect = Value; }
    bool WantNavigationKeys() const { return FWantNavigationKeys; }
    void SetWantNavigationKeys(bool Value) { FWantNavigationKeys = Value; }
    AnsiString Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    // 1: the first-generation control (no back colour, no spacing in the
    // paragraph dialog); 2: the newer one. A new control has 2; one read from
    // a form without "RichEditVersion" has 1.
    int RichEditVersion() const { return FRichEditVersion; }
    void SetRichEditVersion(int Value);
    // Set while content is being loaded: changes then are no edits.
    bool Loading() const { return FLoadingDepth > 0; }
    TPopupMenu* OwnPopupMenu() const { return FPopupMenu; }
    bool StoresPopupMenu() const { return PopupMenu() != FPopupMenu; }

    // --- streaming ---
    // Reads Stream (from its position) into the whole content or over the
    // selection. With BlockLimit above 0 the read stops after the counter
    // reaches it: two steps a block, so 2 reads one whole block and 1 cuts
    // the first block at the first "{" after its first "\pard". Rich text
    // that fails to load is read again as plain text; plain text that fails
    // raises "Failed to Load Stream".
    virtual void StreamIn(TStream& Stream, bool SelectionOnly, int BlockLimit);
    virtual void StripHighlightCodes();

    // --- what the data-aware descendant fills in ---
    virtual bool GetReadOnly() const;
    virtual void BeginEdit() {}
    virtual void UpdateRecord() {}
    virtual bool IsContentLoaded() const { return true; }
    virtual TField* GetField() const { return nullptr; }
    virtual void LoadContent() {}
    virtual void DoURLOpen(const AnsiString& URL, bool& UseDefault);

    // --- formats (twips) ---
    void SetSelFont(const AnsiString& Name, int Size, TColor Color, TFontStyles Style);
    // Kind: 0 bold, 1 italic, 2 underline, 3 strike-out; others do nothing.
    void SetSelEffect(int Kind, bool On);
    // -1: no highlight (the highlight codes are stripped).
    void SetSelBackColor(TColor Color);
    TColor GetSelBackColor() const;
    void SetParagraphFormat(uint32_t Mask, const AnsiString& Alignment, bool Numbering, int Offset,
                            int RightIndent, int StartIndent, int TabCount, const int* Tabs, int SpaceBefore,
                            int SpaceAfter, int LineSpacing, int LineSpacingRule);
    void GetIndents(int& Offset, int& RightIndent, int& StartIndent) const;
    TRichParaFormat GetParagraphFormat() const;
    void SetBullets(bool On);
    uint8_t GetFontCharset(const AnsiString& Name) const;
    bool CanPasteFromClipboard();
    bool HasFindText() const { return !FLastFindText.empty(); }
    bool HasSelection() const { return SelLength() > 0; }
    bool UsesPrinterWidth() const;
    // The rectangle the text is laid out in: the printable width of the
    // page with UsesPrinterWidth, the window's otherwise, the gutter at the left.
    void UpdateFormatRect();

    // --- measures in MeasurementUnits ---
    // The text without its trailing unit marks (blanks, apostrophes, "cm").
    static AnsiString StripUnitMarks(AnsiString Text);
    // A number (unit marks aside) within 22 inches either way.
    bool IsValidMeasure(const AnsiString& Text) const;
    int TextToTwips(const AnsiString& Text) const;
    double TwipsToUnits(int Twips) const;
    AnsiString UnitsToText(double Units) const;
    AnsiString UnitsToSnappedText(int Step, double Units) const;

    // --- search ---
    // Where Text stands in [Start, Start + Length), or -1.
    virtual int FindTextRange(const AnsiString& Text, int Start, int Length, TwwFindOptions Options);
    // One step of the find and replace loop (repeated while frReplaceAll):
    // wraps once to the start and stops at the search start; "no more
    // matches" is told and ends it.
    void SearchNext(const AnsiString& FindText, TwwFindOptions Options, bool Replacing,
                    const AnsiString& Replacement);
    // Starts a search as opening a search dialog does: the search starts at
    // the selection, the text is the selection unless it is empty or holds a
    // line break (then the last find text).
    AnsiString BeginSearch();
    virtual bool ReplaceText(const AnsiString& FindText, const AnsiString& Replacement,
                             TwwFindOptions Options);
    const AnsiString& LastFindText() const { return FLastFindText; }
    // The dialogs the control searches and formats with (made at construction).
    TFindDialog* FindDialog() const { return FFindDialog; }
    TReplaceDialog* ReplaceDialog() const { return FReplaceDialog; }
    TFontDialog* FontDialog() const { return FFontDialog; }
    // Open the modeless find or replace dialog over the selection's text
    // (BeginSearch); the selection shows meanwhile.
    bool ExecuteFindDialog();
    bool ExecuteReplaceDialog();
    // The next match of the last search (F3), and the replace step.
    void FindNext();
    void ReplaceNext();
    // The selection's font in the font dialog; on OK the selection takes the
    // face, size, style and, when it was changed, the colour.
    bool ExecuteFontDialog();

    // --- links ---
    // The link that holds Pos (http://, https://, mailto:, www.), if any.
    bool LinkAt(int Pos, int& Start, int& End) const;
    // Opens a link as a click on it does: OnURLOpen first; the shell's
    // opener takes only web and mail addresses, and a link it refuses or
    // fails to open is told to the user.
    void OpenLink(const AnsiString& URL);

    // --- printing ---
    TwwPrintMargins* PrintMargins() const { return FPrintMargins.get(); }
    void SetPrintMargins(TwwPrintMargins* Value) { FPrintMargins->Assign(Value); }
    TwwRTFHeaderFooter* PrintHeader() const { return FPrintHeader.get(); }
    void SetPrintHeader(TwwRTFHeaderFooter* Value) { FPrintHeader->Assign(Value); }
    TwwRTFHeaderFooter* PrintFooter() const { return FPrintFooter.get(); }
    void SetPrintFooter(TwwRTFHeaderFooter* Value) { FPrintFooter->Assign(Value); }
    // The printed text's rectangle in twips from the printable area's corner:
    // the margins, kept within what the printer can print.
    TRect GetPrintRect() const;
    // Puts PrintPageSize into the printer (a code it does not know changes nothing).
    void ApplyPrintPageSize();
    // Prints the content on the printer, page after page, with header and footer.
    void Print(const AnsiString& JobTitle);
    virtual void DoPrintHeader(TRect Rect, int PageNumber, AnsiString& Left, AnsiString& Center,
                               AnsiString& Right, bool& DoDefault);
    virtual void DoPrintFooter(TRect Rect, int PageNumber, AnsiString& Left, AnsiString& Center,
                               AnsiString& Right, bool& DoDefault);
    // No spelling checker lives on this system: nothing to do.
    virtual bool SpellCheck() { return true; }
    // There is no word processor to print through: says so and answers false.
    virtual bool PrintThroughWord(const AnsiString& DocumentName);

    // --- dialogs ---
    // Alignment, indents and spacing of the selected paragraphs (wwrchdlg); true on OK.
    virtual bool ExecuteParagraphDialog();
    // The tab stops of the selected paragraphs (wwrichtb); true on OK.
    virtual bool ExecuteTabDialog();

    // --- the editor window (wwrich) ---
    // Opens the editing window on a copy of the content; true when it closed
    // with OK, which brings the edited content back.
    virtual bool ExecuteEditor();
    TwwFormPosition* EditorPosition() const { return FEditorPosition.get(); }
    void SetEditorPosition(TwwFormPosition* Value);
    // Buttons lent to the editor's tool bar while it is open; assigning one hides it.
    TSpeedButton* UserSpeedButton1() const { return FUserSpeedButton1; }
    void SetUserSpeedButton1(TSpeedButton* Value);
    TSpeedButton* UserSpeedButton2() const { return FUserSpeedButton2; }
    void SetUserSpeedButton2(TSpeedButton* Value);
    // The editor window while it is open.
    TwwRichEditForm* EditorForm() const { return FEditorForm; }
    virtual void DoCreateDialog(TwwRichEditForm* Form);
    virtual void DoInitDialog(TwwRichEditForm* Form);
    virtual void DoCloseDialog(TwwRichEditForm* Form);
    TwwOnRichEditDlgEvent OnCreateDialog;
    TwwOnRichEditDlgEvent OnInitDialog;
    TwwOnRichEditDlgEvent OnCloseDialog;
    TwwRTFNotifyEvent OnMenuLoadClick;
    TwwRTFNotifyEvent OnMenuSaveAsClick;
    TwwRTFNotifyEvent OnMenuPrintClick;
    TwwRTFNotifyEvent OnMenuSaveAndExitClick;

    // --- events ---
    TwwRTFDrawHeaderFooter OnPrintHeader;
    TwwRTFDrawHeaderFooter OnPrintFooter;
    TwwURLOpenEvent OnURLOpen;
    TRichEditProtectChange OnProtectChange;

    static void DescribeProperties(TPropertyTable& T);

protected:
    void DefineProperties(TFiler* Filer) override;
    void ReadState(TReader* Reader) override;
    void Loaded() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Inside a grid a double click opens the editor window.
    void DblClick() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    void Resize() override;
    // In a grid's cell: Tab (with the grid's goTabs) and Enter (unless
    // WantReturns without Ctrl) go to the grid; a Tab character is dropped.
    void CNKeyDown(TMessage& Message) override;
    void KeyPress(char& Key) override;
    // The grid this control is the cell control of, or none.
    TWinControl* HostGrid() const;
    virtual void BuildPopupMenu();
    // The find, replace and font dialogs, then the popup menu.
    virtual void CreateDialogs();
    void PopupMenuPopup(TObject* Sender);
    // Loading content: Loading() is true meanwhile.
    struct TLoadingScope {
        explicit TLoadingScope(TwwCustomRichEdit* E) : Edit(E) { ++Edit->FLoadingDepth; }
        ~TLoadingScope() { --Edit->FLoadingDepth; }
        TwwCustomRichEdit* Edit;
    };
    friend struct TLoadingScope;
    bool FContentFromForm = false;

private:
    void SetPopupCaptions();
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream);
    int CharFromPoint(int X, int Y);
    bool OpenSearchDialog(TFindDialog* Dialog);
    void FindHandler(TObject* Sender);
    void ReplaceHandler(TObject* Sender);
    void CloseHandler(TObject* Sender);

    TwwRichEditPopupOptions FPopupOptions;
    TwwRichEditOptions FEditorOptions;
    AnsiString FEditorCaption = "Edit Rich Text";
    TwwRichEditWidth FEditWidth = rewWindowSize;
    TwwMeasurementUnits FMeasurementUnits = muInches;
    int FPrintPageSize = 1;
    AnsiString FPrintJobName;
    TColor FHighlightColor = 0x00FFFF;
    int FGutterWidth = 3;
    int FMSVersion = 3;
    TwwRichEditOleOptions FOleOptions{reoAdjustPopupMenu};
    bool FAutoURLDetect = false;
    bool FWantNavigationKeys = false;
    AnsiString FTitle;
    int FRichEditVersion = 2;
    int FLoadingDepth = 0;
    TPopupMenu* FPopupMenu = nullptr;
    TMenuItem* FItems[20] = {};
    AnsiString FLastFindText;
    TFindDialog* FFindDialog = nullptr;
    TReplaceDialog* FReplaceDialog = nullptr;
    TFontDialog* FFontDialog = nullptr;
    bool FSavedHideSelection = true;
    int FSearchStart = 0;
    bool FWrapped = false;
    bool FLinkArmed = false;
    AnsiString FArmedLink;
    std::unique_ptr<TwwPrintMargins> FPrintMargins;
    std::unique_ptr<TwwRTFHeaderFooter> FPrintHeader, FPrintFooter;
    std::unique_ptr<TwwFormPosition> FEditorPosition;
    TSpeedButton* FUserSpeedButton1 = nullptr;
    TSpeedButton* FUserSpeedButton2 = nullptr;
    TwwRichEditForm* FEditorForm = nullptr;
};

class TwwDBRichEdit : public TwwCustomRichEdit {
    ZELMOR_CLASS(TwwDBRichEdit, TwwCustomRichEdit)
public:
    // One read block of a preview: half of what the control asks each read for.
    static constexpr int PreviewBlockSize = RichStreamBlockSize / 2;

    explicit TwwDBRichEdit(TComponent* AOwner);
    ~TwwDBRichEdit() override;
    static void DescribeProperties(TPropertyTable& T);

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    AnsiString DataField() const;
    void SetDataField(const AnsiString& Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    bool AutoDisplay() const { return FAutoDisplay; }
    void SetAutoDisplay(bool Value);
    TFieldDataLink* DataLink() const { return FDataLink.get(); }

    // The whole blob, rich text unless PlainText.
    void LoadFromBlobField(TField* Field);
    // Only the beginning of the blob: BlockLimit as StreamIn counts it.
    void LoadFieldPreview(TField* Field, int BlockLimit);

    bool GetReadOnly() const override;
    void BeginEdit() override;
    void UpdateRecord() override;
    bool IsContentLoaded() const override { return FContentLoaded; }
    TField* GetField() const override;
    void LoadContent() override;
    bool IsBlobField() const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    // A blob not loaded yet is loaded, and nothing else happens.
    void DblClick() override;
    void DoExit() override;
    void CMGetDataLink(TMessage& Message) override;
    // Painted as a copy (a grid paints the control into the cells of the
    // other rows): the field's content of the record the grid stands on,
    // formatted into the control's formatting rectangle on the grid's canvas.
    void WMPaint(TMessage& Message) override;

private:
    void DataChange(TObject* Sender);
    void EditingChange(TObject* Sender);
    void UpdateData(TObject* Sender);

    std::unique_ptr<TFieldDataLink> FDataLink;
    bool FAutoDisplay = true;
    bool FContentLoaded = false;
    AnsiString FSnapshot;
};

// The ruler of the editor window: a scale in inches (eight parts) or
// centimetres (four) over the width the text wraps at, with three markers
// for the selected paragraph's left indent, right indent and first line.
// Dropping a marker snaps it to the scale and applies the indents.
class TwwRulerPanel : public TPanel {
    ZELMOR_CLASS(TwwRulerPanel, TPanel)
public:
    explicit TwwRulerPanel(TComponent* AOwner);

    // Makes the three markers for Edit (with its screen resolution, 96 here)
    // at the ruler's edges; in printer-width mode the ruler first takes the
    // printable width.
    void Setup(TwwCustomRichEdit* Edit);
    TwwCustomRichEdit* RichEdit() const { return FRichEdit; }
    // (6, 4, width - 6, height - 4).
    TRect RulerRect() const { return FRulerRect; }
    void ComputeRect();
    // The ruler as wide as the page less its margins (plus its 12 edge pixels).
    void FitToPrinterWidth(TwwCustomRichEdit* Edit);
    // The markers follow the selected paragraph's indents.
    void UpdateMarkers();
    // Snaps the dropped marker, keeps it 48 pixels from the others and applies
    // the indents it stands for.
    void MarkerDropped(TwwTrackIcon* Marker);
    double PixelsPerUnit() const;
    // The length of the scale in units.
    double ScaleLength() const;

    TwwTrackIcon* LeftMarker = nullptr;
    TwwTrackIcon* RightMarker = nullptr;
    TwwTrackIcon* FirstLineMarker = nullptr;

protected:
    void Paint() override;

private:
    double PrintableInches() const;
    int ToTwips(int Pixels) const;
    int ToPixels(int Twips) const;
    TwwCustomRichEdit* FRichEdit = nullptr;
    TRect FRulerRect;
    int FPixelsPerInch = 96;
};

// The page setup of the editor window: the margins in the control's units,
// the paper (with the printer's width only) and the orientation, put into
// the control and the printer on OK.
class TwwPageSetupDialog : public TCommonDialog {
    ZELMOR_CLASS(TwwPageSetupDialog, TCommonDialog)
public:
    explicit TwwPageSetupDialog(TComponent* AOwner);
    TwwCustomRichEdit* RichEdit() const { return FRichEdit; }
    void SetRichEdit(TwwCustomRichEdit* Value);
    // True on OK: PrintMargins, PrintPageSize and the printer hold the choice.
    bool Execute() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TwwCustomRichEdit* FRichEdit = nullptr;
};

// The text a preview read of Bytes with that block limit (0: no limit)
// hands over, line ends made CR LF.
AnsiString RichTextPreview(const AnsiString& Bytes, int BlockLimit);

// Copies the content of Source into Destination (a blob not loaded yet goes
// straight from its field).
void CopyRichEditContent(TwwCustomRichEdit* Destination, TwwCustomRichEdit* Source);
