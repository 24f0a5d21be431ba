#include "dataaware/wwrich.h"

#include <algorithm>
#include <tuple>

#include "dataaware/Wwintl.h"
#include "dataaware/Wwtypes.h"
#include "dataaware/wwTrackIcon.h"
#include "dataaware/wwhelpers.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Printers.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/FileStream.h"
#include "platform/sys/Files.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Menus.h"
#include "platform/ui/PrintDialog.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/WindowManager.h"

ZELMOR_IMPLEMENT_COMPONENT(TwwRichEditForm, TForm)

namespace {

TwwDBRichEditIntl* RichTexts() { return DefaultIntl->RichEdit(); }

int PpiScale(int Value, int PixelsPerInch) { return Value * PixelsPerInch / 96; }

}  // namespace

TwwRichEditForm::TwwRichEditForm(TComponent* AOwner) : TForm(AOwner) {}

void TwwRichEditForm::DescribeProperties(TPropertyTable& T) {
    using F = TwwRichEditForm;
    T.Field("ToolBarBevel", &F::ToolBarBevel);
    T.Field("FormatBarBevel", &F::FormatBarBevel);
    T.Field("RulerBevel", &F::RulerBevel);
    T.Field("Toolbar", &F::Toolbar);
    T.Field("FormatBar", &F::FormatBar);
    T.Field("NewButton", &F::NewButton);
    T.Field("LoadButton1", &F::LoadButton1);
    T.Field("SaveAsButton", &F::SaveAsButton);
    T.Field("PrintButton", &F::PrintButton);
    T.Field("Bevel1", &F::Bevel1);
    T.Field("FindButton", &F::FindButton);
    T.Field("SpellButton", &F::SpellButton);
    T.Field("ToolbarBevel1", &F::ToolbarBevel1);
    T.Field("CutButton", &F::CutButton);
    T.Field("CopyButton", &F::CopyButton);
    T.Field("PasteButton", &F::PasteButton);
    T.Field("Bevel2", &F::Bevel2);
    T.Field("UndoButton", &F::UndoButton);
    T.Field("RedoButton", &F::RedoButton);
    T.Field("UserButtonBevel", &F::UserButtonBevel);
    T.Field("FontNameCombo", &F::FontNameCombo);
    T.Field("FontSizeCombo", &F::FontSizeCombo);
    T.Field("BoldButton", &F::BoldButton);
    T.Field("ItalicButton", &F::ItalicButton);
    T.Field("UnderlineButton", &F::UnderlineButton);
    T.Field("ColorButton", &F::ColorButton);
    T.Field("Bevel3", &F::Bevel3);
    T.Field("LeftButton", &F::LeftButton);
    T.Field("CenterButton", &F::CenterButton);
    T.Field("RightButton", &F::RightButton);
    T.Field("JustifyButton", &F::JustifyButton);
    T.Field("Bevel4", &F::Bevel4);
    T.Field("BulletButton", &F::BulletButton);
    T.Field("HighlightButton", &F::HighlightButton);
    T.Field("StatusBar", &F::StatusBar);
    T.Field("MainMenu1", &F::MainMenu1);
    T.Field("File1", &F::File1);
    T.Field("Load1", &F::Load1);
    T.Field("SaveAs1", &F::SaveAs1);
    T.Field("SaveExit1", &F::SaveExit1);
    T.Field("FileSep1", &F::FileSep1);
    T.Field("Print1", &F::Print1);
    T.Field("PageSetup1", &F::PageSetup1);
    T.Field("FileSep2", &F::FileSep2);
    T.Field("Exit1", &F::Exit1);
    T.Field("Edit1", &F::Edit1);
    T.Field("Undo1", &F::Undo1);
    T.Field("Redo1", &F::Redo1);
    T.Field("Cut1", &F::Cut1);
    T.Field("Copy1", &F::Copy1);
    T.Field("Paste1", &F::Paste1);
    T.Field("Clear1", &F::Clear1);
    T.Field("SelectAll1", &F::SelectAll1);
    T.Field("Find1", &F::Find1);
    T.Field("FindNext1", &F::FindNext1);
    T.Field("Replace1", &F::Replace1);
    T.Field("View1", &F::View1);
    T.Field("Toolbar1", &F::Toolbar1);
    T.Field("FormatBar1", &F::FormatBar1);
    T.Field("StatusBar1", &F::StatusBar1);
    T.Field("Ruler1", &F::Ruler1);
    T.Field("Options1", &F::Options1);
    T.Field("Insert1", &F::Insert1);
    T.Field("InsertObject1", &F::InsertObject1);
    T.Field("Format1", &F::Format1);
    T.Field("Font1", &F::Font1);
    T.Field("BulletStyle1", &F::BulletStyle1);
    T.Field("Paragraph1", &F::Paragraph1);
    T.Field("Tabs1", &F::Tabs1);
    T.Field("Help1", &F::Help1);
    T.Field("Tools1", &F::Tools1);
    T.Field("Spelling1", &F::Spelling1);
    T.Field("PopupMenu1", &F::PopupMenu1);
    T.Field("Automatic1", &F::Automatic1);
    T.Field("PrintDialog1", &F::PrintDialog1);
    T.Field("OpenDialog1", &F::OpenDialog1);
    T.Field("SaveDialog1", &F::SaveDialog1);
    T.Handler("FormShow", &F::FormShow);
    T.Handler("FormClose", &F::FormClose);
    T.Handler("FormCloseQuery", &F::FormCloseQuery);
    T.Handler("FormResize", &F::FormResize);
    T.Handler("FormKeyDown", &F::FormKeyDown);
    T.Handler("FormKeyPress", &F::FormKeyPress);
    T.Handler("FormKeyUp", &F::FormKeyUp);
    T.Handler("NewButtonClick", &F::NewButtonClick);
    T.Handler("PrintButtonClick", &F::PrintButtonClick);
    T.Handler("CutButtonClick", &F::CutButtonClick);
    T.Handler("CopyButtonClick", &F::CopyButtonClick);
    T.Handler("PasteButtonClick", &F::PasteButtonClick);
    T.Handler("UndoButtonClick", &F::UndoButtonClick);
    T.Handler("RedoButtonClick", &F::RedoButtonClick);
    T.Handler("StateButtonMouseDown", &F::StateButtonMouseDown);
    T.Handler("BoldButtonClick", &F::BoldButtonClick);
    T.Handler("ItalicButtonClick", &F::ItalicButtonClick);
    T.Handler("UnderlineButtonClick", &F::UnderlineButtonClick);
    T.Handler("ColorButtonClick", &F::ColorButtonClick);
    T.Handler("ColorItemClick", &F::ColorItemClick);
    T.Handler("AlignButtonClick", &F::AlignButtonClick);
    T.Handler("JustifyButtonClick", &F::JustifyButtonClick);
    T.Handler("BulletButtonClick", &F::BulletButtonClick);
    T.Handler("HighlightButtonClick", &F::HighlightButtonClick);
    T.Handler("FontNameComboChange", &F::FontNameComboChange);
    T.Handler("FontSizeComboChange", &F::FontSizeComboChange);
    T.Handler("SpellButtonClick", &F::SpellButtonClick);
    T.Handler("Paragraph1Click", &F::Paragraph1Click);
    T.Handler("Tabs1Click", &F::Tabs1Click);
    T.Handler("BulletStyle1Click", &F::BulletStyle1Click);
    T.Handler("SaveExit1Click", &F::SaveExit1Click);
    T.Handler("Exit1Click", &F::Exit1Click);
    T.Handler("Clear1Click", &F::Clear1Click);
    T.Handler("SelectAll1Click", &F::SelectAll1Click);
    T.Handler("LoadButtonClick", &F::LoadButtonClick);
    T.Handler("SaveAsButtonClick", &F::SaveAsButtonClick);
    T.Handler("PageSetup1Click", &F::PageSetup1Click);
    T.Handler("Edit1Click", &F::Edit1Click);
    T.Handler("FindButtonClick", &F::FindButtonClick);
    T.Handler("FindNext1Click", &F::FindNext1Click);
    T.Handler("Replace1Click", &F::Replace1Click);
    T.Handler("Toolbar1Click", &F::Toolbar1Click);
    T.Handler("FormatBar1Click", &F::FormatBar1Click);
    T.Handler("StatusBar1Click", &F::StatusBar1Click);
    T.Handler("Ruler1Click", &F::Ruler1Click);
    T.Handler("Font1Click", &F::Font1Click);
}

// ---------------------------------------------------------------- opening

void TwwRichEditForm::Prepare(TwwCustomRichEdit* Source) {
    SourceRichEdit = Source;
    const int ppi = Screen ? Screen->PixelsPerInch() : 96;

    RulerPanel = NewComponent<TwwRulerPanel>(this);
    RulerPanel->SetName("RulerPanel");
    RulerPanel->SetParent(this);
    RulerPanel->SetBounds(0, FormatBar->Top() + FormatBar->Height() + 10, ClientWidth(), ppi < 97 ? 25 : 27);

    RichEdit1 = static_cast<TwwCustomRichEdit*>(Source->ClassInfo()->Create(this));
    RichEdit1->SetOleOptions(Source->OleOptions());
    RichEdit1->SetScrollBars(ssVertical);
    RichEdit1->SetWordWrap(Source->WordWrap());
    RichEdit1->SetBounds(0, RulerPanel->Height() + 62, 595, 330);
    RichEdit1->SetHideSelection(false);
    RichEdit1->SetTabOrder(3);
    RichEdit1->SetWantTabs(true);
    RichEdit1->SetWantReturns(true);
    RichEdit1->SetPopupOptions(
        {rpoPopupCut, rpoPopupCopy, rpoPopupPaste, rpoPopupFont, rpoPopupBullet, rpoPopupParagraph});
    RichEdit1->SetName("RichEdit1");
    RichEdit1->SetParent(this);
    // What moves the selection brings the buttons up to date.
    RichEdit1->OnKeyUp = [this](TObject*, WORD&, TShiftState) { UpdateControls(); };
    RichEdit1->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { UpdateControls(); };
    RichEdit1->OnChange = [this](TObject*) { UpdateControls(); };
    SetActiveControl(RichEdit1);

    SetCaption(Source->EditorCaption());
    RichEdit1->Font()->Assign(Source->Font());
    RichEdit1->SetPrintHeader(Source->PrintHeader());
    RichEdit1->SetPrintFooter(Source->PrintFooter());
    RichEdit1->OnPrintHeader = Source->OnPrintHeader;
    RichEdit1->OnPrintFooter = Source->OnPrintFooter;
    RichEdit1->SetMeasurementUnits(Source->MeasurementUnits());
    RichEdit1->OnInitDialog = Source->OnInitDialog;
    RichEdit1->SetPrintMargins(Source->PrintMargins());
    RichEdit1->SetEditWidth(Source->EditWidth());
    RichEdit1->SetPrintPageSize(Source->PrintPageSize());
    RichEdit1->SetHighlightColor(Source->HighlightColor());
    if (Source->EditorOptions().Contains(reoUseBackColor)) RichEdit1->SetColor(Source->Color());
    RichEdit1->SetMaxLength(Source->MaxLength());
    RichEdit1->SetAutoURLDetect(Source->AutoURLDetect());
    RichEdit1->OnURLOpen = Source->OnURLOpen;
    RichEdit1->SetEditorOptions(Source->EditorOptions());
    const bool readOnly = Source->GetReadOnly();
    if (auto* db = dynamic_cast<TwwDBRichEdit*>(RichEdit1)) db->SetReadOnly(readOnly);
    else RichEdit1->TCustomEdit::SetReadOnly(readOnly);

    RulerPanel->Setup(RichEdit1);

    TwwFormPosition* at = Source->EditorPosition();
    if (at->Width() > 0) SetWidth(at->Width());
    if (at->Height() > 0) SetHeight(at->Height());
    if (at->Left() > 0 || at->Top() > 0) {
        SetPosition(poDesigned);
        SetLeft(at->Left() > 0 ? at->Left() : Left());
        SetTop(at->Top() > 0 ? at->Top() : Top());
    } else if (Screen) {
        SetLeft(Screen->WorkAreaLeft() + (Screen->WorkAreaWidth() - PpiScale(Width(), ppi)) / 2);
        SetTop(Screen->WorkAreaTop() + (Screen->WorkAreaHeight() - PpiScale(Height(), ppi)) / 2);
    }
}

bool TwwRichEditForm::ReadOnly() const { return RichEdit1 && RichEdit1->GetReadOnly(); }

TwwRichEditOptions TwwRichEditForm::WorkingOptions() const {
    TwwRichEditOptions o = RichEdit1->EditorOptions();
    if (ReadOnly())
        o = o - TwwRichEditOptions{reoShowLoad,    reoShowSaveAs,    reoShowSaveExit, reoShowFormatBar,
                                   reoShowToolBar, reoShowStatusBar, reoShowRuler,    reoShowSpellCheck};
    if (!::IsClassNamed(RichEdit1, "TwwDBRichEditMSWord")) o.Exclude(reoShowSpellCheck);
    return o;
}

void TwwRichEditForm::FormShow(TObject*) {
    for (int i = 0; i < PopupMenu1->Items()->Count(); ++i) {
        TMenuItem* item = PopupMenu1->Items()->Items(i);
        item->OnMeasureItem = [this](TObject* S, TCanvas* C, int& W, int& H) {
            MeasureColorItem(S, C, W, H);
        };
        item->OnDrawItem = [this](TObject* S, TCanvas* C, const TRect& R, bool Sel) {
            DrawColorItem(S, C, R, Sel);
        };
        item->OnClick = [this](TObject* S) { ColorItemClick(S); };
    }
    Automatic1->SetTag(static_cast<int>(RichEdit1->Font()->Color()));
    if (Application) {
        FSavedOnHint = Application->OnHint;
        FHintReplaced = true;
        if (RichEdit1->EditorOptions().Contains(reoShowHints))
            Application->OnHint = [this](TObject* Sender) { ShowHintInStatus(Sender); };
        else Application->OnHint = nullptr;
    }
    {
        const bool modified = SourceRichEdit->Modified();
        CopyRichEditContent(RichEdit1, SourceRichEdit);
        SourceRichEdit->SetModified(modified);
    }
    RichEdit1->SetGutterWidth(6);
    FontNameCombo->Items()->Assign(Screen->Fonts());

    const TwwRichEditOptions o = WorkingOptions();
    const bool writable = !ReadOnly();
    const bool spelling = o.Contains(reoShowSpellCheck) && writable;
    for (auto [item, button, option] :
         {std::tuple{Load1, LoadButton1, reoShowLoad}, std::tuple{SaveAs1, SaveAsButton, reoShowSaveAs},
          std::tuple{Print1, PrintButton, reoShowPrint}}) {
        item->SetVisible(o.Contains(option));
        button->SetVisible(o.Contains(option));
    }
    PageSetup1->SetVisible(o.Contains(reoShowPageSetup));
    SaveExit1->SetVisible(o.Contains(reoShowSaveExit));
    Tools1->SetVisible(spelling);
    Spelling1->SetVisible(spelling);
    SpellButton->SetVisible(spelling);
    JustifyButton->SetVisible(o.Contains(reoShowJustifyButton) && writable);
    // There is no object interface: nothing to insert.
    Insert1->SetVisible(false);
    InsertObject1->SetVisible(false);
    FileSep2->SetVisible(Print1->Visible() || PageSetup1->Visible());
    FileSep1->SetVisible(Load1->Visible() || SaveExit1->Visible());
    Format1->SetVisible(writable);
    View1->SetVisible(writable);
    NewButton->SetVisible(writable);
    ArrangeToolbar();

    Toolbar->SetVisible(o.Contains(reoShowToolBar));
    ToolBarBevel->SetVisible(o.Contains(reoShowToolBar));
    FormatBar->SetVisible(o.Contains(reoShowFormatBar));
    FormatBarBevel->SetVisible(o.Contains(reoShowFormatBar));
    RulerPanel->SetVisible(o.Contains(reoShowRuler));
    RulerBevel->SetVisible(o.Contains(reoShowRuler));
    StatusBar->SetVisible(o.Contains(reoShowStatusBar));
    Toolbar1->SetChecked(Toolbar->Visible());
    FormatBar1->SetChecked(FormatBar->Visible());
    StatusBar1->SetChecked(StatusBar->Visible());
    Ruler1->SetChecked(RulerPanel->Visible());

    // The caller's own buttons join the tool bar while the window is open.
    TSpeedButton* previous = UndoButton;
    int left = UndoButton->Left() + 32;
    for (TSpeedButton* user : {SourceRichEdit->UserSpeedButton1(), SourceRichEdit->UserSpeedButton2()}) {
        if (!user) continue;
        FUserParents.push_back({user, user->Parent()});
        user->SetParent(Toolbar);
        user->SetVisible(true);
        user->SetFlat(o.Contains(reoFlatButtons));
        user->SetBounds(left, UndoButton->Top(), user->Width(), UndoButton->Height());
        left = user->Left() + user->Width();
        previous = user;
        UserButtonBevel->SetVisible(true);
    }
    (void)previous;

    if (!o.Contains(reoFlatButtons)) {
        Toolbar->SetHeight(Toolbar->Height() + 4);
        FormatBar->SetHeight(FormatBar->Height() + 2);
        for (TPanel* bar : {Toolbar, FormatBar}) {
            const int down = bar == Toolbar ? 2 : 1;
            for (int i = 0; i < bar->ControlCount(); ++i) {
                TControl* c = bar->Controls(i);
                c->SetTop(c->Top() + down);
                if (auto* b = dynamic_cast<TSpeedButton*>(c)) {
                    b->SetFlat(false);
                    b->SetMargin(b->Margin() - 1);
                } else if (auto* bevel = dynamic_cast<TBevel*>(c)) {
                    bevel->SetVisible(false);
                }
            }
        }
    }

    ApplyLabels();
    ShowStatusKeys();
    UpdateControls();
    RichEdit1->SetModified(false);
    RichEdit1->DoInitDialog(this);
    LayoutControls();
}

void TwwRichEditForm::ArrangeToolbar() {
    // The file buttons that show, left to right, then the groups after them.
    int x = NewButton->Left();
    for (TSpeedButton* b : {NewButton, LoadButton1, SaveAsButton, PrintButton}) {
        if (!b->Visible()) continue;
        b->SetLeft(x);
        x += b->Width();
    }
    Bevel1->SetLeft(x + 4);
    FindButton->SetLeft(Bevel1->Left() + Bevel1->Width() + 5);
    SpellButton->SetLeft(FindButton->Left() + FindButton->Width());
    TSpeedButton* before = SpellButton->Visible() ? SpellButton : FindButton;
    ToolbarBevel1->SetLeft(before->Left() + before->Width() + 3);
    CutButton->SetLeft(ToolbarBevel1->Left() + ToolbarBevel1->Width() + 5);
    CopyButton->SetLeft(CutButton->Left() + CutButton->Width());
    PasteButton->SetLeft(CopyButton->Left() + CopyButton->Width());
    Bevel2->SetLeft(PasteButton->Left() + PasteButton->Width() + 3);
    UndoButton->SetLeft(Bevel2->Left() + Bevel2->Width() + 5);
    RedoButton->SetLeft(UndoButton->Left() + UndoButton->Width());
    UserButtonBevel->SetLeft(RedoButton->Left() + RedoButton->Width() + 3);
    if (!JustifyButton->Visible()) {
        const int ppi = Screen ? Screen->PixelsPerInch() : 96;
        Bevel4->SetLeft(PpiScale(485, ppi));
        BulletButton->SetLeft(Bevel4->Left() + Bevel4->Width() + 5);
        HighlightButton->SetLeft(BulletButton->Left() + PpiScale(24, ppi));
    }
}

void TwwRichEditForm::ApplyLabels() {
    TwwDBRichEditIntl* t = RichTexts();
    const bool hints = RichEdit1->EditorOptions().Contains(reoShowHints);
    AnsiString redo = t->RedoButtonHint();
    if (redo.empty()) redo = "Redo | Reverses the last undo action";
    const std::pair<TControl*, AnsiString> texts[] = {{FontNameCombo, t->FontNameComboHint()},
                                                      {FontSizeCombo, t->FontSizeComboHint()},
                                                      {NewButton, t->NewButtonHint()},
                                                      {LoadButton1, t->LoadButtonHint()},
                                                      {SaveAsButton, t->SaveAsButtonHint()},
                                                      {PrintButton, t->PrintButtonHint()},
                                                      {FindButton, t->FindButtonHint()},
                                                      {CutButton, t->CutButtonHint()},
                                                      {CopyButton, t->CopyButtonHint()},
                                                      {UndoButton, t->UndoButtonHint()},
                                                      {SpellButton, t->SpellCheckHint()},
                                                      {RedoButton, redo},
                                                      {PasteButton, t->PasteButtonHint()},
                                                      {BoldButton, t->BoldButtonHint()},
                                                      {ColorButton, t->ColorButtonHint()},
                                                      {UnderlineButton, t->UnderlineButtonHint()},
                                                      {ItalicButton, t->ItalicButtonHint()},
                                                      {LeftButton, t->LeftButtonHint()},
                                                      {CenterButton, t->CenterButtonHint()},
                                                      {JustifyButton, t->JustifyButtonHint()},
                                                      {RightButton, t->RightButtonHint()},
                                                      {BulletButton, t->BulletButtonHint()},
                                                      {HighlightButton, t->HighlightButtonHint()}};
    for (const auto& [control, hint] : texts) {
        control->SetHint(hint);
        control->SetShowHint(hints);
    }
    if (hints) {
        const std::pair<TMenuItem*, AnsiString> itemHints[] = {{Load1, t->LoadButtonHint()},
                                                               {SaveAs1, t->SaveAsButtonHint()},
                                                               {SaveExit1, t->SaveExitHint()},
                                                               {Print1, t->PrintButtonHint()},
                                                               {PageSetup1, t->PageSetupHint()},
                                                               {Exit1, t->ExitHint()},
                                                               {Undo1, t->UndoButtonHint()},
                                                               {Redo1, redo},
                                                               {Cut1, t->CutButtonHint()},
                                                               {Copy1, t->CopyButtonHint()},
                                                               {Paste1, t->PasteButtonHint()},
                                                               {Clear1, t->ClearHint()},
                                                               {SelectAll1, t->SelectAllHint()},
                                                               {Find1, t->FindButtonHint()},
                                                               {FindNext1, t->FindNextHint()},
                                                               {Replace1, t->ReplaceHint()},
                                                               {InsertObject1, t->InsertObjectHint()},
                                                               {Spelling1, t->SpellCheckHint()},
                                                               {Toolbar1, t->ToolbarHint()},
                                                               {FormatBar1, t->FormatBarHint()},
                                                               {StatusBar1, t->ViewStatusBarHint()},
                                                               {Options1, t->OptionsHint()},
                                                               {Font1, t->FontHint()},
                                                               {BulletStyle1, t->BulletButtonHint()},
                                                               {Paragraph1, t->ParagraphHint()},
                                                               {Tabs1, t->TabsHint()}};
        for (const auto& [item, hint] : itemHints) item->SetHint(hint);
    }
    TwwRichEditMenuLabels* m = t->MenuLabels();
    auto orElse = [](const AnsiString& Text, const char* Fallback) {
        return Text.empty() ? AnsiString(Fallback) : Text;
    };
    const std::pair<TMenuItem*, AnsiString> captions[] = {{File1, m->FileCaption()},
                                                          {Load1, m->LoadCaption()},
                                                          {SaveAs1, m->SaveAsCaption()},
                                                          {SaveExit1, m->SaveExitCaption()},
                                                          {Print1, m->PrintCaption()},
                                                          {PageSetup1, m->PageSetupCaption()},
                                                          {Exit1, m->ExitCaption()},
                                                          {Edit1, m->EditCaption()},
                                                          {Undo1, m->UndoCaption()},
                                                          {Redo1, orElse(m->RedoCaption(), "&Redo")},
                                                          {Cut1, m->CutCaption()},
                                                          {Copy1, m->CopyCaption()},
                                                          {Paste1, m->PasteCaption()},
                                                          {Clear1, m->ClearCaption()},
                                                          {SelectAll1, m->SelectallCaption()},
                                                          {Find1, m->FindCaption()},
                                                          {FindNext1, m->FindNextCaption()},
                                                          {Replace1, m->ReplaceCaption()},
                                                          {Insert1, orElse(m->InsertCaption(), "&Insert")},
                                                          {InsertObject1, m->InsertObjectCaption()},
                                                          {View1, m->ViewCaption()},
                                                          {Toolbar1, m->ToolbarCaption()},
                                                          {FormatBar1, m->FormatBarCaption()},
                                                          {StatusBar1, m->ViewStatusBarCaption()},
                                                          {Ruler1, orElse(m->RulerCaption(), "&Ruler")},
                                                          {Options1, m->OptionsCaption()},
                                                          {Format1, m->FormatCaption()},
                                                          {Font1, m->FontCaption()},
                                                          {BulletStyle1, m->BulletStyleCaption()},
                                                          {Paragraph1, m->ParagraphCaption()},
                                                          {Tabs1, m->TabsCaption()},
                                                          {Tools1, m->ToolCaption()},
                                                          {Spelling1, m->SpellCheckCaption()},
                                                          {Help1, m->HelpCaption()}};
    for (const auto& [item, caption] : captions) item->SetCaption(caption);
}

void TwwRichEditForm::ShowHintInStatus(TObject*) {
    StatusBar->Panels()->Items(0)->SetText(GetLongHint(Application->Hint()));
}

void TwwRichEditForm::ShowStatusKeys() {
    TwwDBRichEditIntl* t = RichTexts();
    StatusBar->Panels()->Items(1)->SetText((GetKeyState(VK_CAPITAL) & 1) ? t->CAPLockCaption()
                                                                         : AnsiString());
    StatusBar->Panels()->Items(2)->SetText((GetKeyState(VK_NUMLOCK) & 1) ? t->NUMLockCaption()
                                                                         : AnsiString());
}

// ---------------------------------------------------------------- state

void TwwRichEditForm::UpdateControls() {
    if (!RichEdit1) return;
    const TRichCharFormat f = RichEdit1->SelCharFormat();
    const TRichParaFormat p = RichEdit1->SelParaFormat();
    BoldButton->SetDown(f.Bold);
    UnderlineButton->SetDown(f.Underline);
    ItalicButton->SetDown(f.Italic);
    BulletButton->SetDown(p.Numbering != rnNone);
    switch (p.Alignment) {
    case raLeft: LeftButton->SetDown(true); break;
    case raCenter: CenterButton->SetDown(true); break;
    case raRight: RightButton->SetDown(true); break;
    case raJustify: JustifyButton->SetDown(true); break;
    }
    HighlightButton->SetDown(RichEdit1->GetSelBackColor() == RichEdit1->HighlightColor());

    const int name = FontNameCombo->Items()->IndexOf(f.FaceName);
    if (name >= 0) {
        FontNameCombo->SetItemIndex(name);
        FontNameCombo->Font()->SetColor(clWindowText);
    } else {
        FontNameCombo->SetItemIndex(-1);
        FontNameCombo->SetText(f.FaceName);
        FontNameCombo->Font()->SetColor(clRed);
    }
    const AnsiString size = IntToStr((f.Height + 10) / 20);
    const int sizeIndex = FontSizeCombo->Items()->IndexOf(size);
    FontSizeCombo->SetItemIndex(sizeIndex);
    if (sizeIndex < 0) FontSizeCombo->SetText(size);

    const bool writable = !ReadOnly();
    const bool selection = RichEdit1->HasSelection();
    bool anyText = false;
    for (int i = 0; i < RichEdit1->Lines()->Count() && !anyText; ++i)
        anyText = !RichEdit1->Lines()->Strings(i).empty();
    PasteButton->SetEnabled(writable && RichEdit1->CanPasteFromClipboard());
    UndoButton->SetEnabled(RichEdit1->CanUndo());
    RedoButton->SetEnabled(RichEdit1->CanRedo());
    CutButton->SetEnabled(writable && selection);
    CopyButton->SetEnabled(selection);
    FindButton->SetEnabled(anyText);
    Paste1->SetEnabled(PasteButton->Enabled());
    Undo1->SetEnabled(UndoButton->Enabled());
    Redo1->SetEnabled(RedoButton->Enabled());
    Cut1->SetEnabled(CutButton->Enabled());
    Clear1->SetEnabled(writable && selection);
    Copy1->SetEnabled(selection);
    SelectAll1->SetEnabled(anyText);
    Find1->SetEnabled(anyText);
    FindNext1->SetEnabled(RichEdit1->HasFindText());
    Replace1->SetEnabled(writable && !RichEdit1->Text().empty());
    BulletStyle1->SetChecked(p.Numbering != rnNone);
    if (RulerPanel) RulerPanel->UpdateMarkers();
}

void TwwRichEditForm::LayoutControls() {
    if (!RichEdit1) return;
    try {
        const int ppi = Screen ? Screen->PixelsPerInch() : 96;
        if (!RichEdit1->UsesPrinterWidth()) {
            RulerPanel->SetWidth(ClientWidth() - 8);
            RulerPanel->ComputeRect();
        }
        int top = 0;
        if (Toolbar->Visible()) {
            ToolBarBevel->SetTop(top);
            Toolbar->SetTop(top + 2);
            top += Toolbar->Height() + 2;
        }
        if (FormatBar->Visible()) {
            FormatBarBevel->SetTop(top);
            FormatBar->SetTop(top + 2);
            top += FormatBar->Height() + 2;
        }
        if (RulerPanel->Visible()) {
            RulerBevel->SetTop(top);
            RulerPanel->SetTop(top + 2);
            top += RulerPanel->Height() + 2;
        }
        StatusBar->Panels()->Items(0)->SetWidth(std::max(0, ClientWidth() - PpiScale(90, ppi)));
        const int statusHeight = StatusBar->Visible() ? StatusBar->Height() : 0;
        RichEdit1->SetBounds(0, top, ClientWidth() - 8, std::max(0, ClientHeight() - statusHeight - top));
        RulerPanel->RightMarker->SetMaxValue(RulerPanel->RulerRect().Right -
                                             RulerPanel->RightMarker->Width() / 2);
        RulerPanel->UpdateMarkers();
        StatusBar->SetBounds(0, RichEdit1->Top() + RichEdit1->Height(), RichEdit1->Width(),
                             StatusBar->Height());
        RichEdit1->Invalidate();
        RulerPanel->Invalidate();
    } catch (const Exception&) {
        MessageDlg("Error in resize", mtError, {mbOK}, 0);
    }
}

void TwwRichEditForm::FormResize(TObject*) { LayoutControls(); }

// ---------------------------------------------------------------- closing

void TwwRichEditForm::FormCloseQuery(TObject*, bool& CanClose) {
    if (ModalResult() == mrOk) return;
    if (RichEdit1->EditorOptions().Contains(reoNoConfirmation)) {
        SetModalResult(mrOk);
        return;
    }
    if (RichEdit1->Modified() && !ReadOnly()) {
        switch (MessageDlg(DefaultIntl->UserMessages()->RichEditExitWarning(), mtConfirmation,
                           {mbYes, mbNo, mbCancel}, 0)) {
        case mrYes: SetModalResult(mrOk); break;
        case mrNo: SetModalResult(mrCancel); break;
        default: CanClose = false; break;
        }
        return;
    }
    SetModalResult(mrCancel);
}

void TwwRichEditForm::FormClose(TObject*, TCloseAction&) {
    if (FHintReplaced && Application) Application->OnHint = FSavedOnHint;
    FHintReplaced = false;
    for (auto [button, parent] : FUserParents) {
        button->SetParent(parent);
        button->SetVisible(false);
    }
    FUserParents.clear();
}

void TwwRichEditForm::TakeBack(bool Ok) {
    TwwCustomRichEdit* source = SourceRichEdit;
    if (Ok) {
        if (RichEdit1->Modified()) {
            source->BeginEdit();
            TField* field = source->GetField();
            if (auto* blob = dynamic_cast<TBlobField*>(field)) {
                TStepMemoryStream content;
                RichEdit1->Lines()->SaveToStream(content);
                content.SetPosition(0);
                blob->LoadFromStream(content);
            } else {
                // A field that is no blob takes the text through the control,
                // which the post writes back.
                CopyRichEditContent(source, RichEdit1);
            }
            source->DoCloseDialog(this);
            source->SetModified(true);
        } else {
            source->DoCloseDialog(this);
        }
        source->SetPrintMargins(RichEdit1->PrintMargins());
        source->SetPrintPageSize(RichEdit1->PrintPageSize());
    } else {
        source->DoCloseDialog(this);
    }
}

// ---------------------------------------------------------------- keys

void TwwRichEditForm::FormKeyDown(TObject*, WORD& Key, TShiftState) {
    if (Key != VK_ESCAPE) return;
    if (ReadOnly() || RichEdit1->EditorOptions().Contains(reoCloseOnEscape)) {
        SetModalResult(mrCancel);
    } else {
        RichEdit1->Undo();
        UpdateControls();
    }
    Key = 0;
}

void TwwRichEditForm::FormKeyPress(TObject*, char& Key) {
    if (ReadOnly()) return;
    const TRichCharFormat f = RichEdit1->SelCharFormat();
    switch (Key) {
    case 2:  // Ctrl+B
        StateAtPress = f.Bold;
        BoldButtonClick(BoldButton);
        break;
    case 21:  // Ctrl+U
        StateAtPress = f.Underline;
        UnderlineButtonClick(UnderlineButton);
        break;
    case 9:  // Ctrl+I comes as a tab
        if (!(GetKeyState(VK_CONTROL) & 0x8000)) return;
        StateAtPress = f.Italic;
        ItalicButtonClick(ItalicButton);
        break;
    default: return;
    }
    Key = 0;
}

void TwwRichEditForm::FormKeyUp(TObject*, WORD& Key, TShiftState Shift) {
    // Ctrl+Z is the Edit menu's short cut, which only brings the controls
    // up to date: the undo comes here, once.
    if (Key == 'Z' && Shift.Contains(ssCtrl)) {
        RichEdit1->Undo();
        UpdateControls();
    }
    ShowStatusKeys();
}

// ---------------------------------------------------------------- commands

void TwwRichEditForm::NewButtonClick(TObject*) {
    if (MessageDlg(DefaultIntl->UserMessages()->RichEditClearWarning(), mtConfirmation, {mbOK, mbCancel},
                   0) != mrOk)
        return;
    RichEdit1->Lines()->Clear();
    RichEdit1->SetModified(true);
    UpdateControls();
}

void TwwRichEditForm::LoadButtonClick(TObject*) {
    bool doDefault = true;
    if (Assigned(SourceRichEdit->OnMenuLoadClick))
        SourceRichEdit->OnMenuLoadClick(this, RichEdit1, doDefault);
    if (!doDefault || !OpenDialog1->Execute()) return;
    TFileStream file(OpenDialog1->FileName(), fmOpenRead);
    RichEdit1->Lines()->LoadFromStream(file);
    RichEdit1->SetFocus();
    UpdateControls();
}

void TwwRichEditForm::SaveAsButtonClick(TObject*) {
    bool doDefault = true;
    if (Assigned(SourceRichEdit->OnMenuSaveAsClick))
        SourceRichEdit->OnMenuSaveAsClick(this, RichEdit1, doDefault);
    if (!doDefault || !SaveDialog1->Execute()) return;
    const AnsiString name = SaveDialog1->FileName();
    // Only an explicit Yes replaces a file that is there.
    if (FileExists(name) &&
        MessageDlg(Format("OK to overwrite %s", {name}), mtConfirmation, {mbYes, mbNo, mbCancel}, 0) != mrYes)
        return;
    // The text filter writes plain text; the control keeps its own mode.
    struct TRestore {
        TwwCustomRichEdit* Edit;
        bool Plain;
        ~TRestore() { Edit->SetPlainText(Plain); }
    } restore{RichEdit1, RichEdit1->PlainText()};
    if (SaveDialog1->FilterIndex() == 2) RichEdit1->SetPlainText(true);
    TFileStream file(name, fmCreate);
    RichEdit1->Lines()->SaveToStream(file);
}

void TwwRichEditForm::PrintButtonClick(TObject*) {
    bool doDefault = true;
    if (Assigned(SourceRichEdit->OnMenuPrintClick))
        SourceRichEdit->OnMenuPrintClick(this, RichEdit1, doDefault);
    if (!doDefault) return;
    if (PrintDialog1->Execute()) RichEdit1->Print(SourceRichEdit->PrintJobName());
}

void TwwRichEditForm::CutButtonClick(TObject*) {
    RichEdit1->CutToClipboard();
    UpdateControls();
}

void TwwRichEditForm::CopyButtonClick(TObject*) {
    RichEdit1->CopyToClipboard();
    UpdateControls();
}

void TwwRichEditForm::PasteButtonClick(TObject*) {
    RichEdit1->PasteFromClipboard();
    UpdateControls();
}

void TwwRichEditForm::UndoButtonClick(TObject*) {
    RichEdit1->Undo();
    UpdateControls();
}

void TwwRichEditForm::RedoButtonClick(TObject*) {
    RichEdit1->Redo();
    UpdateControls();
}

void TwwRichEditForm::StateButtonMouseDown(TObject* Sender, TMouseButton, TShiftState, int, int) {
    if (auto* b = dynamic_cast<TSpeedButton*>(Sender)) StateAtPress = b->Down();
}

void TwwRichEditForm::EffectClick(int Kind, TSpeedButton*) {
    RichEdit1->SetSelEffect(Kind, !StateAtPress);
    UpdateControls();
}

void TwwRichEditForm::BoldButtonClick(TObject*) { EffectClick(0, BoldButton); }
void TwwRichEditForm::ItalicButtonClick(TObject*) { EffectClick(1, ItalicButton); }
void TwwRichEditForm::UnderlineButtonClick(TObject*) { EffectClick(2, UnderlineButton); }

void TwwRichEditForm::ColorButtonClick(TObject*) {
    const TPoint at = ColorButton->Parent()->ClientToScreen(
        TPoint(ColorButton->Left() - 1, ColorButton->Top() + ColorButton->Height()));
    PopupMenu1->Popup(at.x, at.y);
}

void TwwRichEditForm::ColorItemClick(TObject* Sender) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item) return;
    TRichCharFormat f;
    f.AutoColor = false;
    f.Color = ColorToRGB(static_cast<TColor>(item->Tag()));
    RichEdit1->BeginEdit();
    RichEdit1->SetSelCharFormat(f, cmColor);
    RichEdit1->SetModified(true);
    UpdateControls();
}

void TwwRichEditForm::AlignButtonClick(TObject* Sender) {
    TwwRichEditParagraphDlg* t = RichTexts()->ParagraphDialog();
    const AnsiString text = Sender == CenterButton  ? t->AlignCenter()
                            : Sender == RightButton ? t->AlignRight()
                                                    : t->AlignLeft();
    RichEdit1->SetParagraphFormat(wwpmAlignment, text, false, 0, 0, 0, 0, nullptr, 0, 0, 0, 0);
    UpdateControls();
}

void TwwRichEditForm::JustifyButtonClick(TObject*) {
    RichEdit1->SetParagraphFormat(wwpmAlignment, RichTexts()->ParagraphDialog()->AlignJustify(), false, 0, 0,
                                  0, 0, nullptr, 0, 0, 0, 0);
    UpdateControls();
}

void TwwRichEditForm::BulletButtonClick(TObject*) {
    RichEdit1->SetBullets(!StateAtPress);
    UpdateControls();
}

void TwwRichEditForm::HighlightButtonClick(TObject*) {
    RichEdit1->BeginEdit();
    RichEdit1->SetSelBackColor(HighlightButton->Down() ? RichEdit1->HighlightColor()
                                                       : static_cast<TColor>(-1));
    UpdateControls();
}

void TwwRichEditForm::FontNameComboChange(TObject*) {
    const AnsiString name = FontNameCombo->Text();
    if (name.empty()) return;
    if (name != RichEdit1->SelCharFormat().FaceName) {
        TRichCharFormat f;
        f.FaceName = name;
        f.Charset = RichEdit1->GetFontCharset(name);
        RichEdit1->BeginEdit();
        RichEdit1->SetSelCharFormat(f, cmFace | cmCharset);
        RichEdit1->SetModified(true);
    }
    RichEdit1->SetFocus();
}

void TwwRichEditForm::FontSizeComboChange(TObject*) {
    const AnsiString text = FontSizeCombo->Text();
    if (text.empty()) return;
    int size = 0;
    if (!TryStrToInt(text, size) || size <= 0) return;
    TRichCharFormat f;
    f.Height = size * 20;
    RichEdit1->BeginEdit();
    RichEdit1->SetSelCharFormat(f, cmSize);
    RichEdit1->SetModified(true);
    RichEdit1->SetFocus();
}

void TwwRichEditForm::SpellButtonClick(TObject*) { RichEdit1->SpellCheck(); }

void TwwRichEditForm::Paragraph1Click(TObject*) {
    if (RichEdit1->ExecuteParagraphDialog()) RulerPanel->UpdateMarkers();
}

void TwwRichEditForm::Tabs1Click(TObject*) { RichEdit1->ExecuteTabDialog(); }

void TwwRichEditForm::BulletStyle1Click(TObject*) {
    StateAtPress = RichEdit1->SelParaFormat().Numbering != rnNone;
    BulletButtonClick(BulletButton);
}

void TwwRichEditForm::SaveExit1Click(TObject*) {
    bool doDefault = true;
    if (Assigned(SourceRichEdit->OnMenuSaveAndExitClick))
        SourceRichEdit->OnMenuSaveAndExitClick(this, RichEdit1, doDefault);
    if (!doDefault) return;
    FClosingWithOk = true;
    SetModalResult(mrOk);
}

void TwwRichEditForm::Exit1Click(TObject*) { SetModalResult(mrCancel); }

void TwwRichEditForm::Clear1Click(TObject*) {
    RichEdit1->ClearSelection();
    UpdateControls();
}

void TwwRichEditForm::SelectAll1Click(TObject*) {
    RichEdit1->SelectAll();
    UpdateControls();
}

void TwwRichEditForm::Edit1Click(TObject*) { UpdateControls(); }

void TwwRichEditForm::ToggleBar(TControl* Bar, TControl* Bevel, TMenuItem* Item) {
    Bar->SetVisible(!Bar->Visible());
    if (Bevel) Bevel->SetVisible(Bar->Visible());
    Item->SetChecked(Bar->Visible());
    LayoutControls();
}

void TwwRichEditForm::Toolbar1Click(TObject*) { ToggleBar(Toolbar, ToolBarBevel, Toolbar1); }
void TwwRichEditForm::FormatBar1Click(TObject*) { ToggleBar(FormatBar, FormatBarBevel, FormatBar1); }
void TwwRichEditForm::StatusBar1Click(TObject*) { ToggleBar(StatusBar, nullptr, StatusBar1); }
void TwwRichEditForm::Ruler1Click(TObject*) { ToggleBar(RulerPanel, RulerBevel, Ruler1); }

// ---------------------------------------------------------------- the colour menu

void TwwRichEditForm::MeasureColorItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
    const AnsiString caption = static_cast<TMenuItem*>(Sender)->Caption();
    Height = ACanvas->TextHeight(caption) + 2;
    Width = ACanvas->TextWidth(caption) + 45;
}

void TwwRichEditForm::DrawColorItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected) {
    auto* item = static_cast<TMenuItem*>(Sender);
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(Selected ? clHighlight : clBtnFace);
    ACanvas->FillRect(ARect);
    ACanvas->Font()->SetColor(Selected ? clHighlightText : clWindowText);
    const TRect swatch(ARect.Left + 3, ARect.Top + 2, ARect.Left + 43, ARect.Bottom - 2);
    ACanvas->Brush()->SetColor(static_cast<TColor>(item->Tag()));
    ACanvas->FillRect(swatch);
    ACanvas->Brush()->SetStyle(bsClear);
    const AnsiString caption = item->Caption();
    ACanvas->TextOut(swatch.Right + 3, ARect.Top + (ARect.Height() - ACanvas->TextHeight(caption)) / 2,
                     caption);
}

// ---------------------------------------------------------------- dialogs of the control

void TwwRichEditForm::FindButtonClick(TObject*) {
    RichEdit1->ExecuteFindDialog();
    UpdateControls();
}

void TwwRichEditForm::FindNext1Click(TObject*) {
    RichEdit1->FindNext();
    UpdateControls();
}

void TwwRichEditForm::Replace1Click(TObject*) {
    RichEdit1->ExecuteReplaceDialog();
    UpdateControls();
}

void TwwRichEditForm::Font1Click(TObject*) {
    RichEdit1->ExecuteFontDialog();
    UpdateControls();
}

void TwwRichEditForm::PageSetup1Click(TObject*) {
    auto* dialog = NewComponent<TwwPageSetupDialog>(this);
    struct TFree {
        TwwPageSetupDialog* Dialog;
        ~TFree() { Dialog->Free(); }
    } free{dialog};
    dialog->SetRichEdit(RichEdit1);
    if (!dialog->Execute()) return;
    if (RichEdit1->UsesPrinterWidth()) {
        // The page's width changed: the ruler takes it, and the right indent
        // stays where the right marker stands.
        RulerPanel->FitToPrinterWidth(RichEdit1);
        RulerPanel->UpdateMarkers();
        RulerPanel->MarkerDropped(RulerPanel->RightMarker);
    }
    LayoutControls();
}
