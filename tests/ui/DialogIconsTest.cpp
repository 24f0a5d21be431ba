// The icons of the message boxes: the picture of each kind beside the text,
// by the shapes it is drawn from, and no picture for a box without one.
#include <gtest/gtest.h>

#include <functional>

#include "FormTestSupport.h"
#include "platform/ui/Forms.h"

namespace {

TEST_F(FormTest, MessageBoxesShowTheIconTheirKindAsksFor) {
    const uint32_t Red = ColorRefToPixel(clRed), Yellow = ColorRefToPixel(clYellow),
                   Blue = ColorRefToPixel(clBlue), White = 0xFFFFFF, Black = 0x000000;
    struct Case {
        const char* What;
        std::function<void()> Ask;
        bool HasIcon;
        TPoint A;  // icon points and the colours they take
        uint32_t ColorA;
        TPoint B;
        uint32_t ColorB;
    } Cases[] = {
        {"exclamation (MemInsuf)",
         [] { MessageBox("MEMORIA INSUFICIENTE EN MEMOFIJA 1", "Atenci\xF3n", MB_OK | MB_ICONEXCLAMATION); },
         true,
         {8, 28},
         Yellow,
         {16, 15},
         Black},
        {"hand",
         [] { MessageBox("No se puede", "Atenci\xF3n", MB_OK | MB_ICONHAND); },
         true,
         {6, 16},
         Red,
         {16, 16},
         White},
        {"information",
         [] { MessageBox("Proceso terminado", "Zelmor", MB_OK | MB_ICONINFORMATION); },
         true,
         {6, 16},
         Blue,
         {16, 18},
         White},
        {"question",
         [] {
             MessageBox("\xBF"
                        "Continuar?",
                        "Atenci\xF3n", MB_OKCANCEL | MB_ICONQUESTION);
         },
         true,
         {6, 16},
         Blue,
         {16, 2},
         Blue},
        {"error dialog",
         [] { MessageDlg("Error de lectura", mtError, TMsgDlgButtons{mbOK}, 0); },
         true,
         {6, 16},
         Red,
         {16, 16},
         White},
        {"warning dialog",
         [] { MessageDlg("Cuidado", mtWarning, TMsgDlgButtons{mbOK}, 0); },
         true,
         {8, 28},
         Yellow,
         {16, 15},
         Black},
        {"no icon (the program's refusals)",
         [] { MessageBox("Antes de continuar debe seleccionar un Curso", "Atenci\xF3n", MB_OK); },
         false,
         {},
         0,
         {},
         0},
        {"custom dialog",
         [] { MessageDlg("Texto", mtCustom, TMsgDlgButtons{mbOK}, 0); },
         false,
         {},
         0,
         {},
         0},
    };
    for (const Case& C : Cases) {
        Ui.Then([&] {
            TForm* Box = Screen->ActiveForm();
            ASSERT_NE(Box, nullptr) << C.What;
            auto* Icon = static_cast<TControl*>(Box->FindComponent("Icon"));
            EXPECT_EQ(Icon != nullptr, C.HasIcon) << C.What;
            if (Icon) {
                auto Pixel = [&](TPoint P) {
                    TPoint S = Icon->ClientToScreen(P);
                    return Ui.Picture(Box).GetPixel(S.x - Box->Left(), S.y - Box->Top()) & 0xFFFFFF;
                };
                EXPECT_EQ(Pixel(C.A), C.ColorA) << C.What;
                EXPECT_EQ(Pixel(C.B), C.ColorB) << C.What;
                // The text stands right of the icon.
                auto* Text = static_cast<TControl*>(Box->FindComponent("Message"));
                EXPECT_GE(Text->Left(), Icon->Left() + Icon->Width()) << C.What;
                if (C.ColorB == Blue) {
                    // The question mark: white inside the disc.
                    int Whites = 0;
                    for (int Y = 4; Y < 28; ++Y)
                        for (int X = 4; X < 28; ++X) Whites += Pixel(TPoint(X, Y)) == White;
                    EXPECT_GT(Whites, 20) << C.What;
                }
            }
            Ui.Click(Box, "OK");
        });
        C.Ask();
        EXPECT_EQ(Ui.StepsLeft(), 0u) << C.What;
    }
}

}  // namespace
