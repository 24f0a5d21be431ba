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
    TControl::PublishStandard(
        T, {"Anchors", "Constraints", "PopupMenu", "ShowHint", "TabOrder", "Visible", "OnEnter", "OnExit"});
    T.Property("About", &B::About, &B::SetAbout);
    T.Property("Borders", &B::Borders, &B::SetBorders);
    T.PropertyOf<B>(
        "LabelInfo", [](B& C) { return C.LabelInfo(); }, [](B& C, TOvcLabelInfo* I) { C.SetLabelInfo(I); });
    // Forwarded to the inner edit; Enabled and ImeName as well, so that they act on what the user types in.
    T.PropertyOf<B>(
        "Enabled", [](B& C) { return C.GetEditEnabled(); }, [](B& C, bool V) { C.SetEditEnabled(V); });
    T.PropertyOf<B>(
        "ImeName", [](B& C) { return C.GetImeName(); }, [](B& C, AnsiString V) { C.SetImeName(V); });
    T.PropertyOf<B>(
        "Text", [](B& C) { return C.GetEditText(); }, [](B& C, AnsiString V) { C.SetEditText(V); });
    T.PropertyOf<B>(
        "ReadOnly", [](B& C) { return C.Edit()->ReadOnly(); },
        [](B& C, bool V) { C.Edit()->SetReadOnly(V); });
    T.PropertyOf<B>(
        "MaxLength", [](B& C) { return C.Edit()->MaxLength(); },
        [](B& C, int V) { C.Edit()->SetMaxLength(V); });
    T.PropertyOf<B>(
        "PasswordChar", [](B& C) { return C.Edit()->PasswordChar(); },
        [](B& C, char V) { C.Edit()->SetPasswordChar(V); });
    T.PropertyOf<B>(
        "AutoSelect", [](B& C) { return C.Edit()->AutoSelect(); },
        [](B& C, bool V) { C.Edit()->SetAutoSelect(V); });
    T.PropertyOf<B>(
        "Controller", [](B& C) { return C.Edit()->Controller(); },
        [](B& C, TOvcController* V) { C.Edit()->SetController(V); });
    T.PropertyOf<B>(
        "OnChange", [](B& C) -> const TNotifyEvent& { return C.Edit()->OnChange; },
        [](B& C, TNotifyEvent V) { C.Edit()->OnChange = std::move(V); });
    T.PropertyOf<B>(
        "OnKeyPress", [](B& C) -> const TKeyPressEvent& { return C.Edit()->OnKeyPress; },
        [](B& C, TKeyPressEvent V) { C.Edit()->OnKeyPress = std::move(V); });
    T.PropertyOf<B>(
        "OnKeyDown", [](B& C) -> const TKeyEvent& { return C.Edit()->OnKeyDown; },
        [](B& C, TKeyEvent V) { C.Edit()->OnKeyDown = std::move(V); });
}
