#include "reportview/OvcColor.h"

#include "platform/classes/Filer.h"

ZELMOR_IMPLEMENT_CLASS(TOvcColors, TPersistent)

void TOvcColors::DescribeProperties(TPropertyTable& T) {
    T.Property("BackColor", &TOvcColors::BackColor, &TOvcColors::SetBackColor).OfType(ColorTypeInfo());
    T.Property("TextColor", &TOvcColors::TextColor, &TOvcColors::SetTextColor).OfType(ColorTypeInfo());
}

TOvcColors::TOvcColors(TColor DefaultText, TColor DefaultBack)
    : FBackColor(DefaultBack), FTextColor(DefaultText), FDefaultBack(DefaultBack), FDefaultText(DefaultText) {
}

void TOvcColors::Store(TColor& Field, TColor Value, TColor Default) {
    if (Value == Field) return;
    if (Value != Default) FUseDefault = false;
    Field = Value;
    DoOnColorChange();
}

void TOvcColors::SetBackColor(TColor Value) { Store(FBackColor, Value, FDefaultBack); }
void TOvcColors::SetTextColor(TColor Value) { Store(FTextColor, Value, FDefaultText); }

void TOvcColors::SetUseDefault(bool Value) {
    FUseDefault = Value;
    if (!Value) return;
    ResetToDefaultColors();
    DoOnColorChange();
}

void TOvcColors::ResetToDefaultColors() {
    FBackColor = FDefaultBack;
    FTextColor = FDefaultText;
}

void TOvcColors::DoOnColorChange() {
    if (OnColorChange) OnColorChange(this);
}

void TOvcColors::Assign(TPersistent* Source) {
    auto* from = dynamic_cast<TOvcColors*>(Source);
    if (!from) {
        TPersistent::Assign(Source);
        return;
    }
    SetBackColor(from->BackColor());
    SetTextColor(from->TextColor());
}

void TOvcColors::DefineProperties(TFiler* Filer) {
    TPersistent::DefineProperties(Filer);
    Filer->DefineProperty(
        "UseDefault", [](TReader& R) { R.ReadBoolean(); }, nullptr, false);
}
