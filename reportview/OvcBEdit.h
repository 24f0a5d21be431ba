#pragma once
// The bordered edit: a library edit inside a border parent that draws its
// border lines (the bottom one at first). Its properties reach the inner edit.
#include "reportview/OvcBordr.h"
#include "reportview/OvcEditF.h"

class TOvcBorderedEdit;

class TOvcEditEx : public TOvcEdit {
    ZELMOR_CLASS(TOvcEditEx, TOvcEdit)
public:
    explicit TOvcEditEx(TComponent* AOwner) : TOvcEdit(AOwner) {}
    TOvcBorderParent* BorderParent = nullptr;
};

// Makes Edit the hosted edit of Parent: no border or 3-D look of its own,
// the parent's colour and tab stop, at the top-left corner.
void HostEdit(TOvcBorderParent* Parent, TWinControl* Edit, TCustomEdit* AsEdit);

// A property of the wrapper B read from and written to its inner edit.
template <class B, class G, class S>
TPropBuilder ForwardToEdit(TPropertyTable& T, std::string_view Name, G Getter, S Setter) {
    using V = std::decay_t<decltype((std::declval<B&>().Edit()->*Getter)())>;
    return T.template PropertyOf<B>(
        Name, [Getter](B& C) { return (C.Edit()->*Getter)(); },
        [Setter](B& C, V Value) { (C.Edit()->*Setter)(Value); });
}

// The same, set on the wrapper B too.
template <class B, class G, class S>
TPropBuilder ForwardToWrapperAndEdit(TPropertyTable& T, std::string_view Name, G Getter, S Setter) {
    using V = std::decay_t<decltype((std::declval<B&>().Edit()->*Getter)())>;
    return T.template PropertyOf<B>(
        Name, [Getter](B& C) { return (C.Edit()->*Getter)(); },
        [Setter](B& C, V Value) {
            (C.*Setter)(Value);
            (C.Edit()->*Setter)(Value);
        });
}

// An event of the wrapper B kept by its inner edit.
template <class B, class M, class Sig>
void ForwardEventToEdit(TPropertyTable& T, std::string_view Name, TEvent<Sig> M::*Member) {
    T.template PropertyOf<B>(
        Name, [Member](B& C) -> const TEvent<Sig>& { return C.Edit()->*Member; },
        [Member](B& C, TEvent<Sig> V) { C.Edit()->*Member = std::move(V); });
}

// What both bordered edits publish alike: the wrapper's own properties and
// those it forwards to its inner edit (Enabled and ImeName too, so that they
// act on what the user types in), with the inner edit's defaults.
template <class B>
void PublishBorderedEditProperties(TPropertyTable& T) {
    using E = TCustomEdit;
    TControl::PublishStandard(
        T, {"Anchors", "Constraints", "PopupMenu", "ShowHint", "TabOrder", "Visible", "OnEnter", "OnExit"});
    T.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
    T.Property("About", &B::About, &B::SetAbout);
    T.Property("Borders", &B::Borders, &B::SetBorders);
    T.template PropertyOf<B>(
        "LabelInfo", [](B& C) { return C.LabelInfo(); }, [](B& C, TOvcLabelInfo* I) { C.SetLabelInfo(I); });
    T.template PropertyOf<B>(
        "Enabled", [](B& C) { return C.GetEditEnabled(); }, [](B& C, bool V) { C.SetEditEnabled(V); });
    ForwardToEdit<B>(T, "ImeName", &E::ImeName, &E::SetImeName);
    ForwardToEdit<B>(T, "ImeMode", &E::ImeMode, &E::SetImeMode);
    ForwardToEdit<B>(T, "ReadOnly", &B::EditType::ReadOnly, &B::EditType::SetReadOnly).Default(false);
    T.template PropertyOf<B>(
        "Controller", [](B& C) { return C.Edit()->Controller(); },
        [](B& C, TOvcController* V) { C.Edit()->SetController(V); });
    ForwardToEdit<B>(T, "AutoSelect", &E::AutoSelect, &E::SetAutoSelect).Default(true);
    ForwardToEdit<B>(T, "AutoSize", &E::AutoSize, &E::SetAutoSize).Default(true);
    ForwardToEdit<B>(T, "CharCase", &E::CharCase, &E::SetCharCase).Default(ecNormal);
    ForwardToEdit<B>(T, "Cursor", &TControl::Cursor, &TControl::SetCursor)
        .OfType(CursorTypeInfo())
        .Default(crDefault);
    ForwardToEdit<B>(T, "DragCursor", &TControl::DragCursor, &TControl::SetDragCursor)
        .OfType(CursorTypeInfo())
        .Default(crDrag);
    ForwardToEdit<B>(T, "DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
    ForwardToEdit<B>(T, "Font", &TControl::Font, &TControl::SetFont);
    ForwardToEdit<B>(T, "HideSelection", &E::HideSelection, &E::SetHideSelection).Default(true);
    ForwardToEdit<B>(T, "MaxLength", &E::MaxLength, &E::SetMaxLength).Default(0);
    ForwardToEdit<B>(T, "OEMConvert", &E::OEMConvert, &E::SetOEMConvert).Default(false);
    ForwardToEdit<B>(T, "ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    ForwardToEdit<B>(T, "ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint)
        .Default(true);
    ForwardToEdit<B>(T, "PasswordChar", &E::PasswordChar, &E::SetPasswordChar).Default('\0');
    ForwardToEdit<B>(T, "BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode).Default(bdLeftToRight);
    ForwardToEdit<B>(T, "ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode)
        .Default(true);
    ForwardEventToEdit<B>(T, "OnChange", &E::OnChange);
    ForwardEventToEdit<B>(T, "OnClick", &TControl::OnClick);
    ForwardEventToEdit<B>(T, "OnDblClick", &TControl::OnDblClick);
    ForwardEventToEdit<B>(T, "OnKeyDown", &TWinControl::OnKeyDown);
    ForwardEventToEdit<B>(T, "OnKeyPress", &TWinControl::OnKeyPress);
    ForwardEventToEdit<B>(T, "OnKeyUp", &TWinControl::OnKeyUp);
    ForwardEventToEdit<B>(T, "OnMouseDown", &TControl::OnMouseDown);
    ForwardEventToEdit<B>(T, "OnMouseMove", &TControl::OnMouseMove);
    ForwardEventToEdit<B>(T, "OnMouseUp", &TControl::OnMouseUp);
}

class TOvcBorderedEdit : public TOvcBorderParent {
    ZELMOR_CLASS(TOvcBorderedEdit, TOvcBorderParent)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcBorderedEdit(TComponent* AOwner);
    using EditType = TOvcEditEx;

    TOvcEditEx* Edit() const { return FEdit; }
    AnsiString GetEditText() const { return FEdit->Text(); }
    void SetEditText(const AnsiString& Value) { FEdit->SetText(Value); }
    bool GetEditEnabled() const { return FEdit->Enabled(); }
    // The wrapper and its edit together.
    void SetEditEnabled(bool Value);
    AnsiString GetImeName() const { return FEdit->ImeName(); }
    void SetImeName(const AnsiString& Value) { FEdit->SetImeName(Value); }
    int GetEditHeight() const { return FEdit->Height(); }
    void SetEditHeight(int Value);
    int GetEditWidth() const { return FEdit->Width(); }
    void SetEditWidth(int Value);

protected:
    void CreateWnd() override;

private:
    TOvcEditEx* FEdit;
};
