#pragma once
// The standard controls: edits and memos, labels, buttons, check boxes and
// radio buttons, list boxes, combo boxes and group boxes.
//
// The windowed ones stand on window classes of our own, as the libraries
// expect of them (platform/ui/StdWindows.h): "EDIT", "LISTBOX", "COMBOBOX"
// and "BUTTON" keep the text, the items, the selection and the check state
// and do the typing, the clicking and the painting; the control classes here
// turn properties into styles and messages, and notifications (CN_COMMAND)
// into events. A descendant that overrides a handler and calls the inherited
// one therefore reaches the window class, as the libraries' edits, combos and
// check boxes rely on ("the key then goes on to the edit control").
#include <cstdint>
#include <memory>

#include "platform/classes/Alignment.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Controls.h"

enum TEditCharCase : uint8_t { ecNormal, ecUpperCase, ecLowerCase };
ZELMOR_DECLARE_ENUM(TEditCharCase);
enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
ZELMOR_DECLARE_ENUM(TScrollStyle);
// Left or right of the glyph (check boxes, radio buttons).
using TLeftRight = TAlignment;

// ---------------------------------------------------------------------------
// Edits
// ---------------------------------------------------------------------------

// A one-line edit over the "EDIT" window class. The text, the selection, the
// modified flag and the undo step live in the window while it exists; the
// control keeps them across a re-creation of the window.
class TCustomEdit : public TWinControl {
    ZELMOR_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    // --- what the descendants publish ---
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    // The height follows the font (with a border only).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // The most characters the user may type or paste; 0: no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value);
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Kept for the forms that set them; there is no input method here.
    int ImeMode() const { return FImeMode; }
    void SetImeMode(int Value) { FImeMode = Value; }
    AnsiString ImeName() const { return FImeName; }
    void SetImeName(const AnsiString& Value) { FImeName = Value; }

    // --- the text being edited ---
    bool Modified() const;
    void SetModified(bool Value);
    bool CanUndo() const;
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    AnsiString SelText() const;
    // Replaces the selection (EM_REPLACESEL).
    void SetSelText(const AnsiString& Value);
    void SelectAll();
    void Clear();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    void ClearUndo();

    // Fired when the text changes, by the user or by the program.
    TNotifyEvent OnChange;

    // The published properties of a plain edit, all but Text (which a masked
    // edit must read after its mask): for the descendants' tables.
    static void PublishEditProperties(TPropertyTable& T);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    // Sends the limit to the window.
    void DoSetMaxLength(int Value);
    // The height of the text in the font plus the border.
    void AdjustHeight();
    void UpdateHeight();
    // True while the window is being made (its first text does not count as a change).
    bool Creating() const { return FCreating; }

    void CMEnter(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMCtl3DChanged(TMessage& Message) override;
    void CNCommand(TMessage& Message) override;
    void CNCtlColor(TMessage& Message) override;
    void WMSetFont(TMessage& Message) override;

private:
    bool FAutoSelect = true;
    bool FAutoSize = true;
    TBorderStyle FBorderStyle = bsSingle;
    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    int FMaxLength = 0;
    bool FOEMConvert = false;
    char FPasswordChar = 0;
    bool FReadOnly = false;
    bool FModified = false;
    bool FCreating = false;
    int FImeMode = 3;
    AnsiString FImeName;
};

class TEdit : public TCustomEdit {
    ZELMOR_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

// A multi-line edit. Lines are the text's lines as typed (split at its line
// breaks), not the rows word wrap shows.
class TCustomMemo : public TCustomEdit {
    ZELMOR_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // Return types a line break; without it Return goes to the form (its default button).
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // Tab types a tab; without it Tab moves the focus on.
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // The caret as (column, line), counted from 0 in the lines shown.
    TPoint CaretPos() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    void KeyPress(char& Key) override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    std::unique_ptr<TStrings> FLines;
    TAlignment FAlignment = taLeftJustify;
    TScrollStyle FScrollBars = ssNone;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FWordWrap = true;
};

class TMemo : public TCustomMemo {
    ZELMOR_CLASS(TMemo, TCustomMemo)
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

// Registers the standard controls for creation by name (form resources).
void RegisterStdControls();
