#pragma once
// A change link: how an image button follows a picture, an imager or another
// button without any of them knowing the follower's class. The notifier sets
// Sender before each call; it keeps the links in a plain list and never frees
// them, so a follower withdraws its link before it goes.
#include <algorithm>
#include <vector>

#include "platform/rtl/Object.h"

class TfcChangeLink : public TObject {
    ZELMOR_CLASS(TfcChangeLink, TObject)
public:
    TObject* Sender = nullptr;
    TNotifyEvent OnChange;
    TNotifyEvent OnDown;
    TNotifyEvent OnLoaded;

    virtual void Changed();
    virtual void WentDown();
    virtual void Loaded();
};

// The list a notifier keeps: links in the order they came, each once.
class TfcChangeLinks {
public:
    void Add(TfcChangeLink* Link) {
        if (Link && std::find(FLinks.begin(), FLinks.end(), Link) == FLinks.end()) FLinks.push_back(Link);
    }
    void Remove(TfcChangeLink* Link) { std::erase(FLinks, Link); }
    bool Contains(const TfcChangeLink* Link) const {
        return std::find(FLinks.begin(), FLinks.end(), Link) != FLinks.end();
    }
    size_t Count() const { return FLinks.size(); }
    // Each link in turn gets Sender and then the call; a link withdrawn by an
    // earlier one's handler is not called any more.
    void Notify(TObject* Sender, void (TfcChangeLink::*Call)());

private:
    std::vector<TfcChangeLink*> FLinks;
};
