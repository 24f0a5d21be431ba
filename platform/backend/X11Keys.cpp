#include "platform/backend/X11Keys.h"

#include <cstring>
#include <utility>

#include "platform/rtl/Strings.h"

#include <X11/X.h>
#include <X11/keysym.h>

static_assert(X11ShiftMask == ShiftMask && X11LockMask == LockMask && X11ControlMask == ControlMask &&
              X11Mod1Mask == Mod1Mask);

namespace {

bool IsKeypad(unsigned long S) { return S >= XK_KP_Space && S <= XK_KP_Equal; }

// The key a symbol stands for. The punctuation keys are named as on the
// keyboards the school uses; symbols both the Spanish and the US keyboard
// have keep the key of the US one.
WORD VkOf(unsigned long S) {
    if (S >= XK_a && S <= XK_z) return static_cast<WORD>('A' + (S - XK_a));
    if (S >= XK_A && S <= XK_Z) return static_cast<WORD>('A' + (S - XK_A));
    if (S >= XK_0 && S <= XK_9) return static_cast<WORD>('0' + (S - XK_0));
    if (S >= XK_F1 && S <= XK_F12) return static_cast<WORD>(VK_F1 + (S - XK_F1));
    if (S >= XK_KP_0 && S <= XK_KP_9) return static_cast<WORD>(VK_NUMPAD0 + (S - XK_KP_0));
    switch (S) {
    case XK_Return:
    case XK_KP_Enter: return VK_RETURN;
    case XK_Tab:
    case XK_ISO_Left_Tab:
    case XK_KP_Tab: return VK_TAB;
    case XK_Escape: return VK_ESCAPE;
    case XK_BackSpace: return VK_BACK;
    case XK_Delete:
    case XK_KP_Delete: return VK_DELETE;
    case XK_Insert:
    case XK_KP_Insert: return VK_INSERT;
    case XK_Home:
    case XK_KP_Home: return VK_HOME;
    case XK_End:
    case XK_KP_End: return VK_END;
    case XK_Prior:
    case XK_KP_Prior: return VK_PRIOR;
    case XK_Next:
    case XK_KP_Next: return VK_NEXT;
    case XK_Left:
    case XK_KP_Left: return VK_LEFT;
    case XK_Right:
    case XK_KP_Right: return VK_RIGHT;
    case XK_Up:
    case XK_KP_Up: return VK_UP;
    case XK_Down:
    case XK_KP_Down: return VK_DOWN;
    case XK_KP_Begin: return VK_CLEAR;
    case XK_space:
    case XK_KP_Space: return VK_SPACE;
    case XK_Shift_L:
    case XK_Shift_R: return VK_SHIFT;
    case XK_Control_L:
    case XK_Control_R: return VK_CONTROL;
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R: return VK_MENU;
    case XK_Caps_Lock: return VK_CAPITAL;
    case XK_Num_Lock: return VK_NUMLOCK;
    case XK_Scroll_Lock: return VK_SCROLL;
    case XK_Pause: return VK_PAUSE;
    case XK_Print: return VK_SNAPSHOT;
    case XK_Menu: return VK_APPS;
    case XK_KP_Multiply: return VK_MULTIPLY;
    case XK_KP_Add: return VK_ADD;
    case XK_KP_Subtract: return VK_SUBTRACT;
    case XK_KP_Decimal:
    case XK_KP_Separator: return VK_DECIMAL;
    case XK_KP_Divide: return VK_DIVIDE;
    // The US keyboard.
    case XK_semicolon: return VK_OEM_1;
    case XK_equal:
    case XK_plus: return VK_OEM_PLUS;
    case XK_comma: return VK_OEM_COMMA;
    case XK_minus: return VK_OEM_MINUS;
    case XK_period: return VK_OEM_PERIOD;
    case XK_slash: return VK_OEM_2;
    case XK_grave: return VK_OEM_3;
    case XK_bracketleft: return VK_OEM_4;
    case XK_backslash: return VK_OEM_5;
    case XK_bracketright: return VK_OEM_6;
    case XK_apostrophe: return VK_OEM_7;
    case XK_less: return VK_OEM_102;
    // The keys only the Spanish keyboard has.
    case XK_masculine: return VK_OEM_5;
    case XK_exclamdown: return VK_OEM_6;
    case XK_dead_grave: return VK_OEM_1;
    case XK_ntilde:
    case XK_Ntilde: return VK_OEM_3;
    case XK_dead_acute: return VK_OEM_7;
    case XK_ccedilla:
    case XK_Ccedilla: return VK_OEM_2;
    default: return 0;
    }
}

// The character a symbol stands for, as a code point; 0 for none.
char32_t CodePointOf(unsigned long S) {
    if ((S >= 0x20 && S <= 0x7E) || (S >= 0xA0 && S <= 0xFF)) return static_cast<char32_t>(S);
    if ((S & 0xFF000000ul) == 0x01000000ul) {
        char32_t U = static_cast<char32_t>(S & 0x00FFFFFFul);
        return U < 0x20 || (U >= 0x7F && U < 0xA0) ? 0 : U;
    }
    if (S == XK_EuroSign) return 0x20AC;
    return 0;
}

// Symbols below the function keys' block stand for characters (of some
// alphabet); a Unicode symbol always does.
bool IsCharacterSymbol(unsigned long S) {
    return (S >= 0x20 && S < 0xFE00) || (S & 0xFF000000ul) == 0x01000000ul;
}

// What a key types, as the screens expect it. Under Ctrl only the letters
// and a few keys type (control characters the edits and menus read): a digit
// or an Escape typed by Ctrl+1 or Ctrl+3 would reach an edit as typing.
// Delete types nothing: it erases in its key-down, and an erasing character
// after it would stay inside the text.
char CharOf(unsigned long Sym, unsigned State) {
    if (State & X11ControlMask) {
        if (Sym >= XK_a && Sym <= XK_z) return static_cast<char>(Sym - XK_a + 1);
        if (Sym >= XK_A && Sym <= XK_Z) return static_cast<char>(Sym - XK_A + 1);
        switch (Sym) {
        case XK_Return:
        case XK_KP_Enter:
            return '\n';  // the line feed a memo takes for OK
        // Backspace erases as without Ctrl: Windows would type character 127,
        // which an edit would keep inside the text.
        case XK_BackSpace: return '\b';
        case XK_Escape: return 27;
        case XK_space: return ' ';
        case XK_bracketleft: return 27;
        case XK_backslash: return 28;
        case XK_bracketright: return 29;
        default: return 0;
        }
    }
    switch (Sym) {
    case XK_BackSpace: return '\b';
    case XK_Tab:
    case XK_ISO_Left_Tab:
    case XK_KP_Tab: return '\t';
    case XK_Return:
    case XK_KP_Enter: return '\r';
    case XK_Escape: return 27;
    case XK_KP_Space: return ' ';
    case XK_KP_Multiply: return '*';
    case XK_KP_Add: return '+';
    case XK_KP_Separator: return ',';
    case XK_KP_Subtract: return '-';
    case XK_KP_Decimal: return '.';
    case XK_KP_Divide: return '/';
    case XK_KP_Equal: return '=';
    default: break;
    }
    if (Sym >= XK_KP_0 && Sym <= XK_KP_9) return static_cast<char>('0' + (Sym - XK_KP_0));
    char32_t U = CodePointOf(Sym);
    int C = U ? UnicodeToAnsiChar(U) : -1;
    return C < 0 ? 0 : static_cast<char>(C);
}

struct TAccent {
    unsigned long Dead;
    char Alone;  // what the dead key types before a space, or before a letter it does not fit
    const char* Letters;
    const char* Accented;  // letter by letter
};

constexpr TAccent Accents[] = {
    {XK_dead_acute, '\xB4', "aeiouyAEIOUY", "\xE1\xE9\xED\xF3\xFA\xFD\xC1\xC9\xCD\xD3\xDA\xDD"},
    {XK_dead_grave, '`', "aeiouAEIOU", "\xE0\xE8\xEC\xF2\xF9\xC0\xC8\xCC\xD2\xD9"},
    {XK_dead_circumflex, '^', "aeiouAEIOU", "\xE2\xEA\xEE\xF4\xFB\xC2\xCA\xCE\xD4\xDB"},
    {XK_dead_diaeresis, '\xA8', "aeiouyAEIOUY", "\xE4\xEB\xEF\xF6\xFC\xFF\xC4\xCB\xCF\xD6\xDC\x9F"},
    {XK_dead_tilde, '~', "anoANO", "\xE3\xF1\xF5\xC3\xD1\xD5"},
    {XK_dead_cedilla, '\xB8', "cC", "\xE7\xC7"},
};

const TAccent* AccentOf(unsigned long Dead) {
    for (const TAccent& A : Accents)
        if (A.Dead == Dead) return &A;
    return nullptr;
}

}  // namespace

TX11Key TranslateX11Key(unsigned long Sym, unsigned long Base, unsigned State) {
    TX11Key K;
    K.Char = CharOf(Sym, State);
    if (!(State & X11ControlMask) && AccentOf(Sym)) K.Dead = Sym;
    // A letter Windows-1252 has no byte for types nothing; the key's own
    // character must not come in its place.
    if (!K.Char && !K.Dead && !(State & X11ControlMask) && IsCharacterSymbol(Sym)) return {};
    // Num Lock decides what a keypad key is, and it shows only in Sym.
    K.Vk = IsKeypad(Sym) ? VkOf(Sym) : 0;
    if (!K.Vk) K.Vk = VkOf(Base);
    if (!K.Vk) K.Vk = VkOf(Sym);
    if (!K.Vk && (K.Char || K.Dead)) K.Vk = VK_OEM_102;
    return K;
}

std::vector<TX11KeyEvent> TX11DeadKeys::Feed(const TX11Key& Key, bool Press) {
    if (!Key.Vk) return {};
    if (!Press) {
        if (Key.Dead) return {};
        return {{Key.Vk, false, 0}};
    }
    auto Alone = [](const TX11Key& Dead, std::vector<TX11KeyEvent>& Events) {
        Events.push_back({Dead.Vk, true, AccentOf(Dead.Dead)->Alone});
        Events.push_back({Dead.Vk, false, 0});
    };
    std::vector<TX11KeyEvent> Events;
    if (Key.Dead) {
        // A second accent types both.
        if (FWaiting.Dead) {
            Alone(std::exchange(FWaiting, {}), Events);
            Alone(Key, Events);
        } else {
            FWaiting = Key;
        }
        return Events;
    }
    // Shift for a capital, or any key that types nothing, leaves the accent waiting.
    if (!FWaiting.Dead || !Key.Char) return {{Key.Vk, true, Key.Char}};
    TX11Key Waiting = std::exchange(FWaiting, {});
    const TAccent& A = *AccentOf(Waiting.Dead);
    if (Key.Char == ' ') return {{Key.Vk, true, A.Alone}};
    if (const char* L = std::strchr(A.Letters, Key.Char)) return {{Key.Vk, true, A.Accented[L - A.Letters]}};
    Alone(Waiting, Events);
    Events.push_back({Key.Vk, true, Key.Char});
    return Events;
}
