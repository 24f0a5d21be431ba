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
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* Automatic1 = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;

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

private:
    void ApplyLabels();
    void ArrangeToolbar();
    void ShowStatusKeys();
    void EffectClick(int Kind, TSpeedButton* Button);
    bool FClosingWithOk = false;
    std::vector<std::pair<TSpeedButton*, TWinControl*>> FUserParents;
};
