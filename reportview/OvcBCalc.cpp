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
    using N = TOvcCustomNumberEdit;
    PublishBorderedEditProperties<B>(T);
    // The bidirectional mode is the wrapper's and its edit's alike.
    ForwardToWrapperAndEdit<B>(T, "BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode)
        .Default(bdLeftToRight);
    ForwardToWrapperAndEdit<B>(T, "ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode)
        .Default(true);
    ForwardToEdit<B>(T, "AllowIncDec", &N::AllowIncDec, &N::SetAllowIncDec).Default(false);
    T.PropertyOf<B>(
         "ShowButton", [](B& C) { return C.ShowButton(); }, [](B& C, bool V) { C.SetShowButton(V); })
        .Default(true);
    ForwardToEdit<B>(T, "ButtonGlyph", &N::GetButtonGlyph, &N::SetButtonGlyph);
    ForwardToEdit<B>(T, "PopupAnchor", &N::PopupAnchor, &N::SetPopupAnchor).Default(TOvcPopupAnchor::paLeft);
    ForwardToEdit<B>(T, "PopupColors", &N::PopupColors, &N::SetPopupColors);
    ForwardToEdit<B>(T, "PopupDecimals", &N::PopupDecimals, &N::SetPopupDecimals).Default(2);
    ForwardToEdit<B>(T, "PopupFont", &N::PopupFont, &N::SetPopupFont);
    ForwardToEdit<B>(T, "PopupHeight", &N::PopupHeight, &N::SetPopupHeight).NoDefault();
    ForwardToEdit<B>(T, "PopupWidth", &N::PopupWidth, &N::SetPopupWidth).NoDefault();
    ForwardEventToEdit<B>(T, "OnPopupOpen", &N::OnPopupOpen);
    ForwardEventToEdit<B>(T, "OnPopupClose", &N::OnPopupClose);
}
