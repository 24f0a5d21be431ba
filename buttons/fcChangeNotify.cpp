#include "buttons/fcChangeNotify.h"

ZELMOR_IMPLEMENT_CLASS(TfcChangeLink, TObject)

void TfcChangeLink::Changed() {
    if (Assigned(OnChange)) OnChange(Sender);
}

void TfcChangeLink::WentDown() {
    if (Assigned(OnDown)) OnDown(Sender);
}

void TfcChangeLink::Loaded() {
    if (Assigned(OnLoaded)) OnLoaded(Sender);
}

void TfcChangeLinks::Notify(TObject* Sender, void (TfcChangeLink::*Call)()) {
    std::vector<TfcChangeLink*> Snapshot = FLinks;
    for (TfcChangeLink* Link : Snapshot) {
        if (!Contains(Link)) continue;
        Link->Sender = Sender;
        (Link->*Call)();
    }
}
