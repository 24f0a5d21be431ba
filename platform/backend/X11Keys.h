#pragma once
// The keys of an X keyboard as the window layer knows them: the virtual-key
// code that names the key and the Windows-1252 character it types. What the
// X server reports of a key goes in and nothing is asked of it, so the whole
// keyboard can be checked without one. No X type shows here: the window
// layer's names clash with Xlib's.
#include <vector>

#include "platform/win/Messages.h"

// The modifier bits of an X key event's state that the translation reads.
constexpr unsigned X11ShiftMask = 1u << 0;
constexpr unsigned X11LockMask = 1u << 1;
constexpr unsigned X11ControlMask = 1u << 2;
constexpr unsigned X11Mod1Mask = 1u << 3;  // Alt

struct TX11Key {
    WORD Vk = 0;             // 0: not a key of ours (AltGr alone, a letter Windows-1252 lacks)
    char Char = 0;           // 0: it types nothing
    unsigned long Dead = 0;  // a dead key's symbol: it types nothing now and accents the next letter
    bool operator==(const TX11Key&) const = default;
};

// Sym is the key's symbol under the modifiers held (Shift, Caps Lock, Num
// Lock and AltGr already applied, as XLookupString finds it); Base is the
// symbol of its first level, which names the key itself: Shift+7 of a
// Spanish keyboard is Sym slash on Base 7, and it stays key 7 for the
// program. State is the event's modifier bits.
TX11Key TranslateX11Key(unsigned long Sym, unsigned long Base, unsigned State);

struct TX11KeyEvent {
    WORD Vk = 0;
    bool Down = false;
    char Char = 0;
    bool operator==(const TX11KeyEvent&) const = default;
};

// A Spanish keyboard has no key for á, é, í, ó, ú or ü: the accent's dead
// key comes first, then the letter. This holds the accent between the two.
class TX11DeadKeys {
public:
    // The key events a press or release of Key makes for the window layer.
    std::vector<TX11KeyEvent> Feed(const TX11Key& Key, bool Press);

private:
    TX11Key FWaiting;
};
