#pragma once
// The hourglass over the long work of a button (import, conversion,
// export), which runs without the message loop: put on when the work
// starts, and the cursor the screen had back when it ends, however it ends.
#include "platform/gfx/Cursors.h"

class TReloj {
public:
    TReloj() = default;
    ~TReloj() { Quita(); }
    TReloj(const TReloj&) = delete;
    TReloj& operator=(const TReloj&) = delete;

    void Pon();
    void Quita();

private:
    bool FPuesto = false;
    TCursor FAntes = crDefault;
};
