#include "reportview/OvcBEdit.h"

ZELMOR_IMPLEMENT_CLASS(TOvcEditEx, TOvcEdit)
ZELMOR_IMPLEMENT_COMPONENT(TOvcBorderedEdit, TOvcBorderParent)

void HostEdit(TOvcBorderParent* Parent, TWinControl* Edit, TCustomEdit* AsEdit) {
    Parent->SetEditControl(Edit);
    Edit->SetParent(Parent);
    Edit->SetCtl3D(false);
    AsEdit->SetBorderStyle(bsNone);
    Edit->SetParentColor(true);
    Edit->SetTabStop(Parent->TabStop());
    Edit->SetBounds(0, 0, Edit->Width(), Edit->Height());
    Parent->Borders()->BottomBorder()->SetEnabled(true);
}

TOvcBorderedEdit::TOvcBorderedEdit(TComponent* AOwner)
    : TOvcBorderParent(AOwner), FEdit(new TOvcEditEx(this)) {
    FEdit->BorderParent = this;
    HostEdit(this, FEdit, FEdit);
}

void TOvcBorderedEdit::CreateWnd() {
    TOvcBorderParent::CreateWnd();
    SetBounds(Left(), Top(), Width(), Height());
    PaintBorders();
}

void TOvcBorderedEdit::SetEditEnabled(bool Value) {
    SetEnabled(Value);
    FEdit->SetEnabled(Value);
}

void TOvcBorderedEdit::SetEditHeight(int Value) {
    FEdit->SetBounds(FEdit->Left(), FEdit->Top(), FEdit->Width(), Value);
    Invalidate();
}

void TOvcBorderedEdit::SetEditWidth(int Value) {
    FEdit->SetBounds(FEdit->Left(), FEdit->Top(), Value, FEdit->Height());
    Invalidate();
}

void TOvcBorderedEdit::DescribeProperties(TPropertyTable& T) {
    using B = TOvcBorderedEdit;
    PublishBorderedEditProperties<B>(T);
    T.PropertyOf<B>(
        "Text", [](B& C) { return C.GetEditText(); }, [](B& C, AnsiString V) { C.SetEditText(V); });
}
