#include "tests/support/ui/UiDriver.h"

#include "platform/classes/Component.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"

TUiDriver& InstallUiDriver(int Width, int Height) {
    auto D = std::make_unique<TUiDriver>(Width, Height);
    TUiDriver& Ref = *D;
    SetDisplay(std::move(D));
    return Ref;
}

void TUiDriver::Present(HWND Wnd, const TSurface&, const TRect&) {
    ++FPresented;
    if (OnPresent) OnPresent(Wnd);
}

void TUiDriver::CursorChanged(int Cursor) { FCursor = Cursor; }

void TUiDriver::Wait(int TimeoutMs) {
    if (!FSteps.empty()) {
        std::function<void()> Step = std::move(FSteps.front());
        FSteps.pop_front();
        Step();
        return;
    }
    try {
        TOffscreenDisplay::Wait(TimeoutMs);
    } catch (const EUiStalled&) {
        throw EUiStalled("A message loop waits for input, and the script has no step left");
    }
}

void TUiDriver::Then(std::function<void()> Step) { FSteps.push_back(std::move(Step)); }

void TUiDriver::KeyDown(WORD Key) { InputKey(Key, true); }
void TUiDriver::KeyUp(WORD Key) { InputKey(Key, false); }

void TUiDriver::Key(WORD Key, TShiftState Shift) {
    if (Shift.Contains(ssShift)) InputKey(VK_SHIFT, true);
    if (Shift.Contains(ssCtrl)) InputKey(VK_CONTROL, true);
    if (Shift.Contains(ssAlt)) InputKey(VK_MENU, true);
    InputKey(Key, true);
    InputKey(Key, false);
    if (Shift.Contains(ssAlt)) InputKey(VK_MENU, false);
    if (Shift.Contains(ssCtrl)) InputKey(VK_CONTROL, false);
    if (Shift.Contains(ssShift)) InputKey(VK_SHIFT, false);
}

void TUiDriver::Type(std::string_view Text) {
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

void TUiDriver::MoveTo(TPoint P) { InputMouseMove(P); }

void TUiDriver::Click(TPoint P, TMouseButton Button) {
    int B = Button == mbLeft ? 0 : Button == mbRight ? 1 : 2;
    InputMouseMove(P);
    InputMouseButton(B, true, P);
    InputMouseButton(B, false, P);
}

void TUiDriver::DoubleClick(TPoint P) {
    Click(P);
    Click(P);
}

TPoint TUiDriver::CenterOf(TControl* Control) {
    TRect R = Control->ClientRect();
    return TPoint(R.Width() / 2, R.Height() / 2);
}

void TUiDriver::Click(TControl* Control) { Click(Control, CenterOf(Control)); }

void TUiDriver::Click(TControl* Control, TPoint ClientPoint, TMouseButton Button) {
    Click(Control->ClientToScreen(ClientPoint), Button);
}

void TUiDriver::DoubleClick(TControl* Control) { DoubleClick(Control->ClientToScreen(CenterOf(Control))); }

TControl* TUiDriver::Find(TComponent* Root, std::string_view Name) {
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

void TUiDriver::RunUntilIdle() {
    TMsg Msg;
    for (int Round = 0; Round < 10000; ++Round) {
        Application->ProcessMessages();
        Application->Idle();
        if (!PeekMessage(Msg, nullptr, 0, 0, PM_NOREMOVE)) return;
    }
    throw EScriptError("The queue never empties: something posts a message for every message it handles");
}

const TSurface& TUiDriver::Picture(TCustomForm* Form) {
    HWND H = Form->Handle();
    UpdateWindow(H);
    const TSurface* S = WindowSurface(H);
    if (!S) throw EInvalidOperation("The form has no window of its own");
    return *S;
}

void TUiDriver::SaveToPng(TCustomForm* Form, const std::string& FileName) {
    SaveSurfaceToPng(Picture(Form), FileName);
}
