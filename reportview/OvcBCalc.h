#pragma once
// The bordered number edit: a number edit with its calculator inside a
// border parent. Its properties, the popup's among them, reach the inner edit.
#include "reportview/OvcBordr.h"
#include "reportview/OvcEdClc.h"

class TOvcNumberEditEx : public TOvcNumberEdit {
    ZELMOR_CLASS(TOvcNumberEditEx, TOvcNumberEdit)
public:
    explicit TOvcNumberEditEx(TComponent* AOwner) : TOvcNumberEdit(AOwner) {}
    TOvcBorderParent* BorderParent = nullptr;
};

// The border parent of a popup edit: the popup's button, glyph and events.
class TOvcBorderEdPopup : public TOvcBorderParent {
    ZELMOR_CLASS(TOvcBorderEdPopup, TOvcBorderParent)
public:
    explicit TOvcBorderEdPopup(TComponent* AOwner) : TOvcBorderParent(AOwner) {}
    void SetEditControl(TWinControl* Value) override;
    TOvcEdPopup* PopupEdit() const { return FPopupEdit; }
    bool PopupActive() const { return FPopupEdit && FPopupEdit->PopupActive(); }
    int GetButtonWidth() const { return FPopupEdit ? FPopupEdit->GetButtonWidth() : 0; }
    bool ShowButton() const { return FPopupEdit && FPopupEdit->ShowButton(); }
    void SetShowButton(bool Value);

protected:
    TOvcEdPopup* FPopupEdit = nullptr;
};

class TOvcBorderedNumberEdit : public TOvcBorderEdPopup {
    ZELMOR_CLASS(TOvcBorderedNumberEdit, TOvcBorderEdPopup)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcBorderedNumberEdit(TComponent* AOwner);
    using EditType = TOvcNumberEditEx;

    TOvcNumberEditEx* Edit() const { return FEdit; }
    TOvcCalculator* Calculator() const { return FEdit->Calculator(); }
    double GetAsFloat() { return FEdit->GetAsFloat(); }
    int32_t GetAsInteger() { return FEdit->GetAsInteger(); }
    AnsiString GetAsString() { return FEdit->GetAsString(); }
    void SetAsFloat(double Value) { FEdit->SetAsFloat(Value); }
    void SetAsInteger(int32_t Value) { FEdit->SetAsInteger(Value); }
    void SetAsString(const AnsiString& Value) { FEdit->SetAsString(Value); }
    bool GetEditEnabled() const { return FEdit->Enabled(); }
    void SetEditEnabled(bool Value);

protected:
    void CreateWnd() override;

private:
    TOvcNumberEditEx* FEdit;
};
