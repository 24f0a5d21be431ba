#include "reportview/OvcBCalc.h"

#include "reportview/OvcBEdit.h"

ZELMOR_IMPLEMENT_CLASS(TOvcNumberEditEx, TOvcNumberEdit)
ZELMOR_IMPLEMENT_CLASS(TOvcBorderEdPopup, TOvcBorderParent)
ZELMOR_IMPLEMENT_COMPONENT(TOvcBorderedNumberEdit, TOvcBorderEdPopup)

void TOvcBorderEdPopup::SetEditControl(TWinControl* Value) {
    TOvcBorderParent::SetEditControl(Value);
    FPopupEdit = dynamic_cast<TOvcEdPopup*>(Value);
}

void TOvcBorderEdPopup::SetShowButton(bool Value) {
    if (!FPopupEdit) return;
    FPopupEdit->SetShowButton(Value);
    FShowButtonCopy = Value;
    PaintBorders();
}

TOvcBorderedNumberEdit::TOvcBorderedNumberEdit(TComponent* AOwner)
    : TOvcBorderEdPopup(AOwner), FEdit(new TOvcNumberEditEx(this)) {
    FEdit->BorderParent = this;
    HostEdit(this, FEdit, FEdit);
    FShowButtonCopy = FEdit->ShowButton();
    FButtonReserve = FEdit->GetButtonGlyph()->Width() + 4;
}

void TOvcBorderedNumberEdit::CreateWnd() {
    TOvcBorderEdPopup::CreateWnd();
    PaintBorders();
}

void TOvcBorderedNumberEdit::SetEditEnabled(bool Value) {
    SetEnabled(Value);
    FEdit->SetEnabled(Value);
}

void TOvcBorderedNumberEdit::DescribeProperties(TPropertyTable& T) {
    using B = TOvcBorderedNumberEdit;
    PublishBorderedEditProperties<B>(T);
    T.PropertyOf<B>(
        "AllowIncDec", [](B& C) { return C.Edit()->AllowIncDec(); },
        [](B& C, bool V) { C.Edit()->SetAllowIncDec(V); });
    T.PropertyOf<B>(
        "ShowButton", [](B& C) { return C.ShowButton(); }, [](B& C, bool V) { C.SetShowButton(V); });
    T.PropertyOf<B>(
        "PopupAnchor", [](B& C) { return C.Edit()->PopupAnchor(); },
        [](B& C, TOvcPopupAnchor V) { C.Edit()->SetPopupAnchor(V); });
    T.PropertyOf<B>(
        "PopupDecimals", [](B& C) { return C.Edit()->PopupDecimals(); },
        [](B& C, int V) { C.Edit()->SetPopupDecimals(V); });
    T.PropertyOf<B>(
        "OnPopupOpen", [](B& C) -> const TOvcPopupEvent& { return C.Edit()->OnPopupOpen; },
        [](B& C, TOvcPopupEvent V) { C.Edit()->OnPopupOpen = std::move(V); });
    T.PropertyOf<B>(
        "OnPopupClose", [](B& C) -> const TOvcPopupEvent& { return C.Edit()->OnPopupClose; },
        [](B& C, TOvcPopupEvent V) { C.Edit()->OnPopupClose = std::move(V); });
}
