#include "shell/forms/Reloj.h"

#include "platform/ui/Forms.h"

void TReloj::Pon() {
    if (FPuesto || !Screen) return;
    FAntes = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
    FPuesto = true;
}

void TReloj::Quita() {
    if (!FPuesto) return;
    FPuesto = false;
    if (Screen) Screen->SetCursor(FAntes);
}
