#pragma once
// TEMPORARY STUB (not committed): stands in for the standard controls until they land.
#include "platform/ui/Controls.h"
class TCustomEdit : public TWinControl {
    ZELMOR_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(true); }
    int SelStart() const { return FSelStart; }
    void SetSelStart(int V) { FSelStart = V; FSelLength = 0; }
    int SelLength() const { return FSelLength; }
    void SetSelLength(int V) { FSelLength = V; }
    void SelectAll() { FSelStart = 0; FSelLength = GetTextLen(); }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int V) { FMaxLength = V; }
    void SetBorderStyle(TBorderStyle) {}
    bool Modified() const { return false; }
protected:
    virtual bool EditCanModify() { return true; }
    void KeyPress(char& Key) override {
        TWinControl::KeyPress(Key);
        if (Key == 8) { AnsiString T = Text(); if (!T.empty()) { T.pop_back(); SetText(T);} FSelStart = GetTextLen(); FSelLength = 0; }
        else if (static_cast<unsigned char>(Key) >= 32) { AnsiString T = Text(); T.replace(FSelStart, FSelLength, 1, Key); SetText(T); FSelStart++; FSelLength = 0; }
    }
    void WMGetDlgCode(TMessage& M) override { M.Result = DLGC_WANTCHARS | DLGC_WANTARROWS; }
    int FSelStart = 0, FSelLength = 0, FMaxLength = 0;
};
class TCustomMaskEdit : public TCustomEdit {
    ZELMOR_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    using TCustomEdit::TCustomEdit;
    AnsiString EditMask() const { return FMask; }
    void SetEditMask(const AnsiString& V) { FMask = V; }
private:
    AnsiString FMask;
};
inline ZELMOR_IMPLEMENT_CLASS(TCustomEdit, TWinControl)
inline ZELMOR_IMPLEMENT_CLASS(TCustomMaskEdit, TCustomEdit)
