#include "ButtonsFixture.h"

#include "buttons/fcReg.h"

ButtonsTest::ButtonsTest() {
    RegisterUiClasses();
    RegisterFcClasses();
}

TForm* ButtonsTest::NewForm(int Width, int Height) {
    TForm* F = NewPlainForm("", Width, Height);
    F->SetColor(clBtnFace);
    return F;
}

void PressAt(TPoint P) {
    InputMouseMove(P);
    InputMouseButton(0, true, P);
}

void ReleaseAt(TPoint P) {
    InputMouseMove(P);
    InputMouseButton(0, false, P);
}

void MoveTo(TPoint P) { InputMouseMove(P); }

std::string HexOf(const std::string& Bytes) {
    static const char* Digits = "0123456789ABCDEF";
    std::string Out;
    for (unsigned char C : Bytes) {
        Out += Digits[C >> 4];
        Out += Digits[C & 15];
    }
    return Out;
}

std::string BinaryBlock(const std::string& Bytes, int Indent) {
    std::string Hex = HexOf(Bytes), Out = "{";
    for (size_t i = 0; i < Hex.size(); i += 64)
        Out += "\n" + std::string(size_t(Indent), ' ') + Hex.substr(i, 64);
    return Out + "}";
}

uint32_t PixelOfColor(TColor Color) { return ColorRefToPixel(ColorToRGB(Color)); }

TInk InkOf(const TSurface& S, uint32_t Pixel, const TRect& Within) {
    TInk Out;
    for (int y = Within.Top; y < Within.Bottom; ++y)
        for (int x = Within.Left; x < Within.Right; ++x)
            if (S.GetPixel(x, y) == Pixel) Out.insert({x, y});
    return Out;
}

TInk Shifted(const TInk& Ink, int Dx, int Dy) {
    TInk Out;
    for (auto [x, y] : Ink) Out.insert({x + Dx, y + Dy});
    return Out;
}
