#include "platform/ui/ColorDialog.h"

#include <algorithm>
#include <array>

#include "platform/classes/Properties.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_COMPONENT(TColorDialog, TComponent)

const TColor BasicDialogColors[48] = {
    RGB(255, 128, 128), RGB(255, 255, 128), RGB(128, 255, 128), RGB(0, 255, 128),   RGB(128, 255, 255),
    RGB(0, 128, 255),   RGB(255, 128, 192), RGB(255, 128, 255), RGB(255, 0, 0),     RGB(255, 255, 0),
    RGB(128, 255, 0),   RGB(0, 255, 64),    RGB(0, 255, 255),   RGB(0, 128, 192),   RGB(128, 128, 192),
    RGB(255, 0, 255),   RGB(128, 64, 64),   RGB(255, 128, 64),  RGB(0, 255, 0),     RGB(0, 128, 128),
    RGB(0, 64, 128),    RGB(128, 128, 255), RGB(128, 0, 64),    RGB(255, 0, 128),   RGB(128, 0, 0),
    RGB(255, 128, 0),   RGB(0, 128, 0),     RGB(0, 128, 64),    RGB(0, 0, 255),     RGB(0, 0, 160),
    RGB(128, 0, 128),   RGB(128, 0, 255),   RGB(64, 0, 0),      RGB(128, 64, 0),    RGB(0, 64, 0),
    RGB(0, 64, 64),     RGB(0, 0, 128),     RGB(0, 0, 64),      RGB(64, 0, 64),     RGB(64, 0, 128),
    RGB(0, 0, 0),       RGB(128, 128, 0),   RGB(128, 128, 64),  RGB(128, 128, 128), RGB(64, 128, 128),
    RGB(192, 192, 192), RGB(64, 0, 64),     RGB(255, 255, 255)};

namespace {

AnsiString CustomName(int Index) { return AnsiString("Color") + static_cast<char>('A' + Index); }

// A square of one colour the user clicks; the chosen one has a thick frame.
class TColorSwatch : public TGraphicControl {
    ZELMOR_CLASS(TColorSwatch, TGraphicControl)
public:
    explicit TColorSwatch(TComponent* AOwner) : TGraphicControl(AOwner) {
        FControlStyle = {csClickEvents, csOpaque};
        SetBounds(0, 0, 20, 18);
    }
    void SetChosen(bool Value) {
        if (FChosen == Value) return;
        FChosen = Value;
        Invalidate();
    }

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        TRect R = ClientRect();
        C->Brush()->SetColor(clBtnFace);
        C->FillRect(R);
        InflateRect(R, -2, -2);
        TRect Frame = R;
        ::Frame3D(C, Frame, clBtnShadow, clBtnHighlight, 1);
        C->Brush()->SetColor(Color());
        C->FillRect(Frame);
        if (FChosen) {
            C->Brush()->SetColor(clWindowText);
            TRect Outer = ClientRect();
            C->FrameRect(Outer);
            InflateRect(Outer, -1, -1);
            C->FrameRect(Outer);
        }
    }

private:
    bool FChosen = false;
};
ZELMOR_IMPLEMENT_CLASS(TColorSwatch, TGraphicControl)

// The form and the state of one run of the dialog.
class TColorForm {
public:
    TColorForm(TColor Start, std::array<TColor, 16> Custom) : FCustom(Custom) {
        FForm = TForm::CreateNew(Application);
        FForm->SetBorderStyle(bsDialog);
        FForm->SetPosition(poScreenCenter);
        FForm->SetCaption("Color");
        auto Swatch = [&](const AnsiString& Name, TColor Color, int X, int Y, auto OnClick) {
            auto* S = NewComponent<TColorSwatch>(FForm);
            S->SetName(Name);
            S->SetParent(FForm);
            S->SetBounds(X, Y, 22, 20);
            S->SetColor(Color);
            S->OnClick = OnClick;
            return S;
        };
        Label("&Colores b\xE1sicos:", 8, 6);
        for (int I = 0; I < 48; ++I)
            Swatch("Basic" + IntToStr(I), BasicDialogColors[I], 8 + (I % 8) * 26, 22 + (I / 8) * 24,
                   [this, I](TObject*) { Choose(BasicDialogColors[I]); });
        Label("Colores &personalizados:", 8, 170);
        for (int I = 0; I < 16; ++I)
            FCustomSwatches[static_cast<size_t>(I)] =
                Swatch("Custom" + IntToStr(I), Custom[static_cast<size_t>(I)], 8 + (I % 8) * 26,
                       186 + (I / 8) * 24, [this, I](TObject*) {
                           SelectSlot(I);
                           Choose(FCustom[static_cast<size_t>(I)]);
                       });
        FCurrent = Swatch("Current", Start, 228, 22, [](TObject*) {});
        FCurrent->SetBounds(228, 22, 72, 44);
        const char* Parts[3] = {"Red", "Green", "Blue"};
        const char* Captions[3] = {"&Rojo:", "&Verde:", "A&zul:"};
        for (int I = 0; I < 3; ++I) {
            Label(Captions[I], 228, 80 + I * 28);
            auto* E = NewComponent<TEdit>(FForm);
            E->SetName(Parts[I]);
            E->SetParent(FForm);
            E->SetBounds(270, 76 + I * 28, 40, 21);
            E->OnChange = [this](TObject*) { PartsChanged(); };
            FParts[static_cast<size_t>(I)] = E;
        }
        auto* Add = Button("AddCustom", "&Agregar a los colores personalizados", 8, 240, 290, mrNone);
        Add->OnClick = [this](TObject*) { AddCustom(); };
        Button("OK", "Aceptar", 144, 274, 75, mrOk)->SetDefault(true);
        Button("Cancel", "Cancelar", 225, 274, 75, mrCancel)->SetCancel(true);
        FForm->SetClientSize(320, 308);
        Choose(Start);
        SelectSlot(0);
    }
    ~TColorForm() { FForm->Free(); }
    TColorForm(const TColorForm&) = delete;
    TColorForm& operator=(const TColorForm&) = delete;

    bool Run() { return FForm->ShowModal() == mrOk; }
    TColor Chosen() const { return FColor; }
    const std::array<TColor, 16>& Custom() const { return FCustom; }

private:
    void Label(const char* Caption, int X, int Y) {
        auto* L = NewComponent<TLabel>(FForm);
        L->SetParent(FForm);
        L->SetBounds(X, Y, 200, 14);
        L->SetCaption(Caption);
    }
    TButton* Button(const char* Name, const char* Caption, int X, int Y, int W, TModalResult Result) {
        auto* B = NewComponent<TButton>(FForm);
        B->SetName(Name);
        B->SetParent(FForm);
        B->SetBounds(X, Y, W, 25);
        B->SetCaption(Caption);
        B->SetModalResult(Result);
        return B;
    }
    void Choose(TColor Color) {
        FColor = static_cast<TColor>(ColorToRGB(Color));
        FCurrent->SetColor(FColor);
        FUpdating = true;
        FParts[0]->SetText(IntToStr(GetRValue(static_cast<TColorRef>(FColor))));
        FParts[1]->SetText(IntToStr(GetGValue(static_cast<TColorRef>(FColor))));
        FParts[2]->SetText(IntToStr(GetBValue(static_cast<TColorRef>(FColor))));
        FUpdating = false;
    }
    // A part typed out of 0..255, or not a number, counts as its nearest value.
    void PartsChanged() {
        if (FUpdating) return;
        int V[3];
        for (int I = 0; I < 3; ++I)
            V[I] = std::clamp(StrToIntDef(FParts[static_cast<size_t>(I)]->Text(), 0), 0, 255);
        FColor = RGB(V[0], V[1], V[2]);
        FCurrent->SetColor(FColor);
    }
    void SelectSlot(int Index) {
        FSlot = Index;
        for (int I = 0; I < 16; ++I) FCustomSwatches[static_cast<size_t>(I)]->SetChosen(I == Index);
    }
    // The current colour goes to the chosen slot; the next slot is chosen then.
    void AddCustom() {
        FCustom[static_cast<size_t>(FSlot)] = FColor;
        FCustomSwatches[static_cast<size_t>(FSlot)]->SetColor(FColor);
        SelectSlot((FSlot + 1) % 16);
    }

    TForm* FForm;
    TColor FColor = clBlack;
    std::array<TColor, 16> FCustom;
    std::array<TColorSwatch*, 16> FCustomSwatches{};
    std::array<TEdit*, 3> FParts{};
    TColorSwatch* FCurrent = nullptr;
    int FSlot = 0;
    bool FUpdating = false;
};

}  // namespace

TColorDialog::TColorDialog(TComponent* AOwner)
    : TComponent(AOwner), FCustomColors(std::make_unique<TStringList>()) {}

TColorDialog::~TColorDialog() = default;

void TColorDialog::DescribeProperties(TPropertyTable& T) {
    T.Property("Color", &TColorDialog::Color, &TColorDialog::SetColor)
        .OfType(ColorTypeInfo())
        .Default(clBlack);
    T.Property("CustomColors", &TColorDialog::CustomColors, &TColorDialog::SetCustomColors);
}

bool TColorDialog::Execute() {
    if (auto Answer = AskDialogScript(this)) return *Answer;
    std::array<TColor, 16> Custom;
    for (int I = 0; I < 16; ++I) {
        AnsiString Value = FCustomColors->Values(CustomName(I));
        Custom[static_cast<size_t>(I)] = Value.empty() ? clWhite : StrToIntDef("$" + Value, clWhite);
    }
    TColorForm Form(FColor, Custom);
    if (!Form.Run()) return false;
    FColor = Form.Chosen();
    FCustomColors->Clear();
    for (int I = 0; I < 16; ++I)
        FCustomColors->Add(CustomName(I) + "=" + IntToHex(Form.Custom()[static_cast<size_t>(I)], 6));
    return true;
}
