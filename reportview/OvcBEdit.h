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

// What both bordered edits publish alike: the wrapper's own properties and
// those it forwards to its inner edit (Enabled and ImeName too, so that they
// act on what the user types in).
template <class B>
void PublishBorderedEditProperties(TPropertyTable& T) {
    TControl::PublishStandard(
        T, {"Anchors", "Constraints", "PopupMenu", "ShowHint", "TabOrder", "Visible", "OnEnter", "OnExit"});
    T.Property("About", &B::About, &B::SetAbout);
    T.Property("Borders", &B::Borders, &B::SetBorders);
    T.template PropertyOf<B>(
        "LabelInfo", [](B& C) { return C.LabelInfo(); }, [](B& C, TOvcLabelInfo* I) { C.SetLabelInfo(I); });
    T.template PropertyOf<B>(
        "Enabled", [](B& C) { return C.GetEditEnabled(); }, [](B& C, bool V) { C.SetEditEnabled(V); });
    T.template PropertyOf<B>(
        "ImeName", [](B& C) { return C.Edit()->ImeName(); },
        [](B& C, AnsiString V) { C.Edit()->SetImeName(V); });
    T.template PropertyOf<B>(
        "ReadOnly", [](B& C) { return C.Edit()->ReadOnly(); },
        [](B& C, bool V) { C.Edit()->SetReadOnly(V); });
    T.template PropertyOf<B>(
        "Controller", [](B& C) { return C.Edit()->Controller(); },
        [](B& C, TOvcController* V) { C.Edit()->SetController(V); });
    T.template PropertyOf<B>(
        "OnChange", [](B& C) -> const TNotifyEvent& { return C.Edit()->OnChange; },
        [](B& C, TNotifyEvent V) { C.Edit()->OnChange = std::move(V); });
}

class TOvcBorderedEdit : public TOvcBorderParent {
    ZELMOR_CLASS(TOvcBorderedEdit, TOvcBorderParent)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcBorderedEdit(TComponent* AOwner);

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
