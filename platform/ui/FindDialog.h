#pragma once
// The find and replace dialogs: modeless forms that stay open while the
// user searches. Execute shows the form (or asks the dialog script) and
// returns at once; each press of a button sets Options as the buttons say
// and fires the event the program searches in: Find Next (frFindNext) fires
// OnFind, Replace (frReplace) and Replace All (frReplaceAll) fire OnReplace.
// The form's controls: the edits "FindText" and "ReplaceText", the check
// boxes "WholeWord" and "MatchCase", the radio buttons "Up" and "Down", the
// buttons "FindNext", "Replace", "ReplaceAll" and "Cancel".
#include <cstdint>

#include "platform/classes/Properties.h"
#include "platform/rtl/Object.h"
#include "platform/ui/CommonDialogs.h"

class TForm;
class TEdit;
class TCheckBox;
class TRadioButton;
class TButton;
class TGroupBox;

enum TFindOption : uint8_t {
    frDown,
    frFindNext,
    frHideMatchCase,
    frHideWholeWord,
    frHideUpDown,
    frMatchCase,
    frDisableMatchCase,
    frDisableUpDown,
    frDisableWholeWord,
    frReplace,
    frReplaceAll,
    frWholeWord,
    frShowHelp
};
ZELMOR_DECLARE_ENUM(TFindOption);
using TFindOptions = TSet<TFindOption>;

class TFindDialog : public TCommonDialog {
    ZELMOR_CLASS(TFindDialog, TCommonDialog)
public:
    explicit TFindDialog(TComponent* AOwner);
    ~TFindDialog() override;
    static void DescribeProperties(TPropertyTable& T);

    AnsiString FindText() const;
    void SetFindText(const AnsiString& Value);
    TFindOptions Options() const;
    void SetOptions(TFindOptions Value);
    // Where the form shows, on the screen; -1 centres it.
    int Left() const { return FLeft; }
    void SetLeft(int Value) { FLeft = Value; }
    int Top() const { return FTop; }
    void SetTop(int Value) { FTop = Value; }

    // Shows the form (in front, when it shows already); true.
    bool Execute() override;
    // Hides the form; OnClose follows when the dialog was open (shown, or
    // answered by a script).
    void CloseDialog();
    // Whether the form shows.
    bool Showing() const;
    // The form while it exists (for tests that drive it with keys).
    TForm* Form() const { return FForm; }

    // The buttons, as the user presses them (the form's controls are read first).
    void ClickFindNext();

    TNotifyEvent OnFind;

protected:
    virtual bool IsReplace() const { return false; }
    virtual void BuildForm();
    // Options and texts from the controls, with the button's flag.
    void ReadForm(TFindOption Pressed);
    void WriteForm();
    virtual void DoFind();
    TButton* AddButton(const char* Name, const char* Caption, int Y);
    TForm* FForm = nullptr;
    TEdit* FFindEdit = nullptr;
    TEdit* FReplaceEdit = nullptr;
    TCheckBox* FWholeWord = nullptr;
    TCheckBox* FMatchCase = nullptr;
    TGroupBox* FDirection = nullptr;
    TRadioButton* FUp = nullptr;
    TRadioButton* FDown = nullptr;
    TButton* FFindNextButton = nullptr;
    AnsiString FFindText;
    AnsiString FReplaceText;
    TFindOptions FOptions{frDown};

private:
    void UpdateButtons();
    int FLeft = -1, FTop = -1;
    bool FOpen = false;
};

class TReplaceDialog : public TFindDialog {
    ZELMOR_CLASS(TReplaceDialog, TFindDialog)
public:
    explicit TReplaceDialog(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    AnsiString ReplaceText() const;
    void SetReplaceText(const AnsiString& Value);
    void ClickReplace();
    void ClickReplaceAll();
    TNotifyEvent OnReplace;

protected:
    bool IsReplace() const override { return true; }
    void BuildForm() override;
    virtual void DoReplace();
};

void RegisterFindDialogClasses();
