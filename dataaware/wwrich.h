#pragma once
// The rich text editor window: a modal word-processor window on a copy of a
// rich edit's content, with a tool bar, a format bar, the ruler, a status
// bar and the editing control (of the caller's own class). OK brings the
// edited content back to the caller; closing after changes asks first.
#include <utility>
#include <vector>

#include "dataaware/wwriched.h"
#include "platform/ui/Forms.h"

class TBevel;
class TPanel;
class TSpeedButton;
class TComboBox;
class TPopupMenu;
class TMenuItem;
class TPrintDialog;
class TOpenDialog;
class TSaveDialog;
class TStatusBar;
class TMainMenu;
class TCanvas;

class TwwRichEditForm : public TForm {
    ZELMOR_CLASS(TwwRichEditForm, TForm)
public:
    explicit TwwRichEditForm(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);

    // From the form file.
    TBevel* ToolBarBevel = nullptr;
    TBevel* FormatBarBevel = nullptr;
    TBevel* RulerBevel = nullptr;
    TPanel* Toolbar = nullptr;
    TPanel* FormatBar = nullptr;
    TSpeedButton* NewButton = nullptr;
    TSpeedButton* LoadButton1 = nullptr;
    TSpeedButton* SaveAsButton = nullptr;
    TSpeedButton* PrintButton = nullptr;
    TBevel* Bevel1 = nullptr;
    TSpeedButton* FindButton = nullptr;
    TSpeedButton* SpellButton = nullptr;
    TBevel* ToolbarBevel1 = nullptr;
    TSpeedButton* CutButton = nullptr;
    TSpeedButton* CopyButton = nullptr;
    TSpeedButton* PasteButton = nullptr;
    TBevel* Bevel2 = nullptr;
    TSpeedButton* UndoButton = nullptr;
    TSpeedButton* RedoButton = nullptr;
    TBevel* UserButtonBevel = nullptr;
    TComboBox* FontNameCombo = nullptr;
    TComboBox* FontSizeCombo = nullptr;
    TSpeedButton* BoldButton = nullptr;
    TSpeedButton* ItalicButton = nullptr;
    TSpeedButton* UnderlineButton = nullptr;
    TSpeedButton* ColorButton = nullptr;
    TBevel* Bevel3 = nullptr;
    TSpeedButton* LeftButton = nullptr;
    TSpeedButton* CenterButton = nullptr;
    TSpeedButton* RightButton = nullptr;
    TSpeedButton* JustifyButton = nullptr;
    TBevel* Bevel4 = nullptr;
    TSpeedButton* BulletButton = nullptr;
    TSpeedButton* HighlightButton = nullptr;
    TStatusBar* StatusBar = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* File1 = nullptr;
    TMenuItem* Load1 = nullptr;
    TMenuItem* SaveAs1 = nullptr;
    TMenuItem* SaveExit1 = nullptr;
    TMenuItem* FileSep1 = nullptr;
    TMenuItem* Print1 = nullptr;
    TMenuItem* PageSetup1 = nullptr;
    TMenuItem* FileSep2 = nullptr;
    TMenuItem* Exit1 = nullptr;
    TMenuItem* Edit1 = nullptr;
    TMenuItem* Undo1 = nullptr;
    TMenuItem* Redo1 = nullptr;
    TMenuItem* Cut1 = nullptr;
    TMenuItem* Copy1 = nullptr;
    TMenuItem* Paste1 = nullptr;
    TMenuItem* Clear1 = nullptr;
    TMenuItem* SelectAll1 = nullptr;
    TMenuItem* Find1 = nullptr;
    TMenuItem* FindNext1 = nullptr;
    TMenuItem* Replace1 = nullptr;
    TMenuItem* View1 = nullptr;
    TMenuItem* Toolbar1 = nullptr;
    TMenuItem* FormatBar1 = nullptr;
    TMenuItem* StatusBar1 = nullptr;
    TMenuItem* Ruler1 = nullptr;
    TMenuItem* Options1 = nullptr;
    TMenuItem* Insert1 = nullptr;
    TMenuItem* InsertObject1 = nullptr;
    TMenuItem* Format1 = nullptr;
    TMenuItem* Font1 = nullptr;
    TMenuItem* BulletStyle1 = nullptr;
    TMenuItem* Paragraph1 = nullptr;
    TMenuItem* Tabs1 = nullptr;
    TMenuItem* Help1 = nullptr;
    TMenuItem* Tools1 = nullptr;
    TMenuItem* Spelling1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* Automatic1 = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;

    // Made by ExecuteEditor.
    TwwCustomRichEdit* SourceRichEdit = nullptr;
    TwwRulerPanel* RulerPanel = nullptr;
    TwwCustomRichEdit* RichEdit1 = nullptr;
    // The button's state before the press that clicks it.
    bool StateAtPress = false;

    // Makes the ruler and the editing control for Source and takes its settings.
    void Prepare(TwwCustomRichEdit* Source);
    // After the window closed: OK brings the edited content back.
    void TakeBack(bool Ok);
    // Buttons, combos, menu items and ruler markers after each change.
    void UpdateControls();
    // Places the bars, the ruler, the editing control and the status bar.
    void LayoutControls();
    // The editing control's options as the window works with them.
    TwwRichEditOptions WorkingOptions() const;
    bool ReadOnly() const;

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormResize(TObject* Sender);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormKeyPress(TObject* Sender, char& Key);
    void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void NewButtonClick(TObject* Sender);
    void PrintButtonClick(TObject* Sender);
    void CutButtonClick(TObject* Sender);
    void CopyButtonClick(TObject* Sender);
    void PasteButtonClick(TObject* Sender);
    void UndoButtonClick(TObject* Sender);
    void RedoButtonClick(TObject* Sender);
    void StateButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void BoldButtonClick(TObject* Sender);
    void ItalicButtonClick(TObject* Sender);
    void UnderlineButtonClick(TObject* Sender);
    void ColorButtonClick(TObject* Sender);
    void ColorItemClick(TObject* Sender);
    void AlignButtonClick(TObject* Sender);
    void JustifyButtonClick(TObject* Sender);
    void BulletButtonClick(TObject* Sender);
    void HighlightButtonClick(TObject* Sender);
    void FontNameComboChange(TObject* Sender);
    void FontSizeComboChange(TObject* Sender);
    void SpellButtonClick(TObject* Sender);
    void Paragraph1Click(TObject* Sender);
    void Tabs1Click(TObject* Sender);
    void BulletStyle1Click(TObject* Sender);
    void SaveExit1Click(TObject* Sender);
    void Exit1Click(TObject* Sender);
    void Clear1Click(TObject* Sender);
    void SelectAll1Click(TObject* Sender);
    void LoadButtonClick(TObject* Sender);
    void SaveAsButtonClick(TObject* Sender);
    void PageSetup1Click(TObject* Sender);
    void Edit1Click(TObject* Sender);
    void FindButtonClick(TObject* Sender);
    void FindNext1Click(TObject* Sender);
    void Replace1Click(TObject* Sender);
    void Toolbar1Click(TObject* Sender);
    void FormatBar1Click(TObject* Sender);
    void StatusBar1Click(TObject* Sender);
    void Ruler1Click(TObject* Sender);
    void Font1Click(TObject* Sender);

private:
    void ApplyLabels();
    void ArrangeToolbar();
    void ShowStatusKeys();
    void ShowHintInStatus(TObject* Sender);
    void MeasureColorItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    void DrawColorItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected);
    // Shows or hides a bar (with its bevel), ticks its item and lays the window out again.
    void ToggleBar(TControl* Bar, TControl* Bevel, TMenuItem* Item);
    TNotifyEvent FSavedOnHint;
    bool FHintReplaced = false;
    void EffectClick(int Kind, TSpeedButton* Button);
    bool FClosingWithOk = false;
    std::vector<std::pair<TSpeedButton*, TWinControl*>> FUserParents;
};
