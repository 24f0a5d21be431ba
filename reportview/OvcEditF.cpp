#include "reportview/OvcEditF.h"

#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_CLASS(TOvcCustomEdit, TCustomEdit)
ZELMOR_IMPLEMENT_COMPONENT(TOvcEdit, TOvcCustomEdit)

TOvcCustomEdit::TOvcCustomEdit(TComponent* AOwner) : TCustomEdit(AOwner), TOvcLabelled(this) {}

TOvcCustomEdit::~TOvcCustomEdit() = default;

void TOvcCustomEdit::BeforeDestruction() {
    if (TOvcAttachedLabel* label = LabelInfo()->ALabel) {
        if (!label->ComponentState().Contains(csDestroying)) LabelInfo()->SetVisible(false);
        LabelInfo()->ALabel = nullptr;
    }
    TCustomEdit::BeforeDestruction();
}

void TOvcCustomEdit::SetController(TOvcController* Value) {
    FController = Value;
    if (Value) Value->FreeNotification(this);
}

void TOvcCustomEdit::CreateWnd() {
    TOvcController* controller = FController;
    LookUpController(this, controller);
    if (controller != FController) SetController(controller);
    TCustomEdit::CreateWnd();
}

void TOvcCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (HandleAllocated()) PostMessage(Handle(), OM_POSITIONLABEL, 0, 0);
}

void TOvcCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomEdit::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        LabelGone(AComponent);
        if (AComponent == FController) FController = nullptr;
    } else if (!FController) {
        if (auto* c = dynamic_cast<TOvcController*>(AComponent)) SetController(c);
    }
}

void TOvcCustomEdit::WndProc(TMessage& Message) {
    if (LibraryMessage(Message)) return;
    TCustomEdit::WndProc(Message);
}

void TOvcCustomEdit::CMVisibleChanged(TMessage& Message) {
    TCustomEdit::CMVisibleChanged(Message);
    LabelVisibility();
}

void TOvcEdit::DescribeProperties(TPropertyTable& T) {
    using E = TOvcCustomEdit;
    PublishEditProperties(T);
    TControl::PublishStandard(T, {"Text"});
    T.Property("About", &E::About, &E::SetAbout);
    T.PropertyOf<E>(
        "Controller", [](E& C) { return C.Controller(); },
        [](E& C, TOvcController* V) { C.SetController(V); });
    T.PropertyOf<E>(
        "LabelInfo", [](E& C) { return C.LabelInfo(); }, [](E& C, TOvcLabelInfo* I) { C.SetLabelInfo(I); });
}
