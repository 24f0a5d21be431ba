#include "platform/backend/Offscreen.h"

#include <chrono>
#include <thread>

#include "platform/backend/Backend.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"

TOffscreenDisplay::TOffscreenDisplay(int Width, int Height) : FWidth(Width), FHeight(Height) {}

TOffscreenDisplay& InstallOffscreen(int Width, int Height) {
    auto D = std::make_unique<TOffscreenDisplay>(Width, Height);
    TOffscreenDisplay& Ref = *D;
    SetSystemMetric(SM_CXSCREEN, Width);
    SetSystemMetric(SM_CYSCREEN, Height);
    SetSystemMetric(SM_CXFULLSCREEN, Width);
    SetSystemMetric(SM_CYFULLSCREEN, Height - 30 - GetSystemMetrics(SM_CYCAPTION));
    SetDisplay(std::move(D));
    return Ref;
}

void TOffscreenDisplay::Wait(int TimeoutMs) {
    if (!FSteps.empty()) {
        std::function<void()> Step = std::move(FSteps.front());
        FSteps.pop_front();
        Step();
        return;
    }
    // Only a clock that runs by itself can make a timer come due while we wait.
    if (TimeoutMs >= 0 && !dynamic_cast<TManualClock*>(&Clock())) {
        std::this_thread::sleep_for(std::chrono::milliseconds(TimeoutMs));
        return;
    }
    throw EUiStalled("A message loop waits for input, and the script has no step left");
}

void TOffscreenDisplay::Then(std::function<void()> Step) { FSteps.push_back(std::move(Step)); }

void TOffscreenDisplay::KeyDown(WORD Key) { InputKey(Key, true); }
void TOffscreenDisplay::KeyUp(WORD Key) { InputKey(Key, false); }

void TOffscreenDisplay::Key(WORD Key, TShiftState Shift) {
    if (Shift.Contains(ssShift)) InputKey(VK_SHIFT, true);
    if (Shift.Contains(ssCtrl)) InputKey(VK_CONTROL, true);
    if (Shift.Contains(ssAlt)) InputKey(VK_MENU, true);
    InputKey(Key, true);
    InputKey(Key, false);
    if (Shift.Contains(ssAlt)) InputKey(VK_MENU, false);
    if (Shift.Contains(ssCtrl)) InputKey(VK_CONTROL, false);
    if (Shift.Contains(ssShift)) InputKey(VK_SHIFT, false);
}

void TOffscreenDisplay::Type(std::string_view Text) {
    for (char C : Text) {
        int16_t Scan = VkKeyScan(C);
        if (Scan == -1) {
            // No US key types it (an accented letter): the key arrives with its character.
            InputKey(VK_OEM_102, true, C);
            InputKey(VK_OEM_102, false);
            continue;
        }
        WORD Vk = static_cast<WORD>(Scan & 0xFF);
        bool Shift = (Scan & 0x100) != 0, Ctrl = (Scan & 0x200) != 0;
        if (Shift) InputKey(VK_SHIFT, true);
        if (Ctrl) InputKey(VK_CONTROL, true);
        InputKey(Vk, true, C);
        InputKey(Vk, false);
        if (Ctrl) InputKey(VK_CONTROL, false);
        if (Shift) InputKey(VK_SHIFT, false);
    }
}

void TOffscreenDisplay::MoveTo(TPoint P) { InputMouseMove(P); }

void TOffscreenDisplay::Click(TPoint P, TMouseButton Button) {
    int B = Button == mbLeft ? 0 : Button == mbRight ? 1 : 2;
    InputMouseMove(P);
    InputMouseButton(B, true, P);
    InputMouseButton(B, false, P);
}

void TOffscreenDisplay::DoubleClick(TPoint P) {
    Click(P);
    Click(P);
}

TPoint TOffscreenDisplay::CenterOf(TControl* Control) {
    TRect R = Control->ClientRect();
    return TPoint(R.Width() / 2, R.Height() / 2);
}

void TOffscreenDisplay::Click(TControl* Control) { Click(Control, CenterOf(Control)); }

void TOffscreenDisplay::Click(TControl* Control, TPoint ClientPoint, TMouseButton Button) {
    Click(Control->ClientToScreen(ClientPoint), Button);
}

void TOffscreenDisplay::DoubleClick(TControl* Control) {
    DoubleClick(Control->ClientToScreen(CenterOf(Control)));
}

TControl* TOffscreenDisplay::Find(TComponent* Root, std::string_view Name) {
    if (!Root) throw EComponentError("No component to look in for " + AnsiString(Name));
    if (auto* C = dynamic_cast<TControl*>(Root->FindComponent(Name))) return C;
    for (int I = 0; I < Root->ComponentCount(); ++I) {
        TComponent* Sub = Root->Components(I);
        if (Sub->ComponentCount() == 0) continue;
        try {
            return Find(Sub, Name);
        } catch (const EComponentError&) {
        }
    }
    throw EComponentError("No control named " + AnsiString(Name) + " in " + Root->Name());
}

void TOffscreenDisplay::RunUntilIdle() {
    TMsg Msg;
    for (int Round = 0; Round < 10000; ++Round) {
        Application->ProcessMessages();
        Application->Idle();
        if (!PeekMessage(Msg, nullptr, 0, 0, PM_NOREMOVE)) return;
    }
    throw EScriptError("The queue never empties: something posts a message for every message it handles");
}

const TSurface& TOffscreenDisplay::Picture(TCustomForm* Form) {
    HWND H = Form->Handle();
    UpdateWindow(H);
    const TSurface* S = WindowSurface(H);
    if (!S) throw EInvalidOperation("The form has no window of its own");
    return *S;
}

void TOffscreenDisplay::SaveToPng(TCustomForm* Form, const std::string& FileName) {
    SaveSurfaceToPng(Picture(Form), FileName);
}

std::string ChooseBackend(const char* Requested, const char* DisplayVariable) {
    if (Requested && *Requested) return Requested;
    return DisplayVariable && *DisplayVariable ? "x11" : "offscreen";
}

TDisplay& InstallBackend() {
    std::string Name = ChooseBackend(std::getenv("ZELMOR_BACKEND"), std::getenv("DISPLAY"));
    if (Name == "offscreen") return InstallOffscreen();
    if (Name == "x11") {
        std::unique_ptr<TDisplay> X = CreateX11Display(nullptr);
        if (!X) throw EInvalidOperation("Cannot open the X display");
        TDisplay& Ref = *X;
        SetDisplay(std::move(X));
        return Ref;
    }
    throw EInvalidOperation("Unknown display backend \"" + Name + "\" (offscreen or x11)");
}
