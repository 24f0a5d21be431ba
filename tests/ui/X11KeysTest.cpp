// The keys of the keyboard as the X server reports them, translated to what
// the screens read: the virtual key and the Windows-1252 character. The
// symbols are those of a Spanish keyboard (and the US one where they share a
// key); AltGr is the fifth modifier, as X keyboards set it up.
#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "FormTestSupport.h"
#include "platform/backend/X11Keys.h"
#include "platform/ui/StdCtrls.h"

#include <X11/keysym.h>

std::ostream& operator<<(std::ostream& S, const TX11KeyEvent& E) {
    return S << "{vk " << E.Vk << (E.Down ? " down" : " up") << " char "
             << int(static_cast<unsigned char>(E.Char)) << "}";
}

namespace {

constexpr unsigned Sh = X11ShiftMask, Caps = X11LockMask, Ctrl = X11ControlMask, Alt = X11Mod1Mask;
constexpr unsigned NumLock = 1u << 4, AltGr = 1u << 7;

struct TKeyCase {
    const char* Key;
    unsigned long Sym, Base;
    unsigned State;
    WORD Vk;
    char Char;
    unsigned long Dead = 0;
};

const TKeyCase KeyCases[] = {
    // Letters and digits.
    {"a", XK_a, XK_a, 0, 'A', 'a'},
    {"Shift+a", XK_A, XK_a, Sh, 'A', 'A'},
    {"a with Caps Lock", XK_A, XK_a, Caps, 'A', 'A'},
    {"Shift+a with Caps Lock", XK_a, XK_a, Sh | Caps, 'A', 'a'},
    {"z", XK_z, XK_z, 0, 'Z', 'z'},
    {"Shift+z", XK_Z, XK_z, Sh, 'Z', 'Z'},
    {"0", XK_0, XK_0, 0, '0', '0'},
    {"1", XK_1, XK_1, 0, '1', '1'},
    {"9", XK_9, XK_9, 0, '9', '9'},
    // The shifted digits of a Spanish keyboard stay their digit's key.
    {"Shift+1", XK_exclam, XK_1, Sh, '1', '!'},
    {"Shift+2", XK_quotedbl, XK_2, Sh, '2', '"'},
    {"Shift+3", XK_periodcentered, XK_3, Sh, '3', '\xB7'},
    {"Shift+4", XK_dollar, XK_4, Sh, '4', '$'},
    {"Shift+5", XK_percent, XK_5, Sh, '5', '%'},
    {"Shift+6", XK_ampersand, XK_6, Sh, '6', '&'},
    {"Shift+7", XK_slash, XK_7, Sh, '7', '/'},
    {"Shift+8", XK_parenleft, XK_8, Sh, '8', '('},
    {"Shift+9", XK_parenright, XK_9, Sh, '9', ')'},
    {"Shift+0", XK_equal, XK_0, Sh, '0', '='},
    {"AltGr+1", XK_bar, XK_1, AltGr, '1', '|'},
    {"AltGr+2", XK_at, XK_2, AltGr, '2', '@'},
    {"AltGr+3", XK_numbersign, XK_3, AltGr, '3', '#'},
    {"AltGr+4", XK_asciitilde, XK_4, AltGr, '4', '~'},
    {"AltGr+6", XK_notsign, XK_6, AltGr, '6', '\xAC'},
    {"AltGr+e", XK_EuroSign, XK_e, AltGr, 'E', '\x80'},
    // Function keys type nothing, with or without Shift.
    {"F1", XK_F1, XK_F1, 0, VK_F1, 0},
    {"F2", XK_F2, XK_F2, 0, VK_F2, 0},
    {"F3", XK_F3, XK_F3, 0, VK_F3, 0},
    {"F4", XK_F4, XK_F4, 0, VK_F4, 0},
    {"Alt+F4", XK_F4, XK_F4, Alt, VK_F4, 0},
    {"F5", XK_F5, XK_F5, 0, VK_F5, 0},
    {"F6", XK_F6, XK_F6, 0, VK_F6, 0},
    {"F7", XK_F7, XK_F7, 0, VK_F7, 0},
    {"F8", XK_F8, XK_F8, 0, VK_F8, 0},
    {"F9", XK_F9, XK_F9, 0, VK_F9, 0},
    {"F10", XK_F10, XK_F10, 0, VK_F10, 0},
    {"F11", XK_F11, XK_F11, 0, VK_F11, 0},
    {"F12", XK_F12, XK_F12, 0, VK_F12, 0},
    {"Shift+F12", XK_F12, XK_F12, Sh, VK_F12, 0},
    // Moving keys.
    {"Left", XK_Left, XK_Left, 0, VK_LEFT, 0},
    {"Right", XK_Right, XK_Right, 0, VK_RIGHT, 0},
    {"Up", XK_Up, XK_Up, 0, VK_UP, 0},
    {"Down", XK_Down, XK_Down, 0, VK_DOWN, 0},
    {"Shift+Left", XK_Left, XK_Left, Sh, VK_LEFT, 0},
    {"Ctrl+Left", XK_Left, XK_Left, Ctrl, VK_LEFT, 0},
    {"Alt+Down", XK_Down, XK_Down, Alt, VK_DOWN, 0},
    {"Home", XK_Home, XK_Home, 0, VK_HOME, 0},
    {"End", XK_End, XK_End, 0, VK_END, 0},
    {"Ctrl+Home", XK_Home, XK_Home, Ctrl, VK_HOME, 0},
    {"PgUp", XK_Prior, XK_Prior, 0, VK_PRIOR, 0},
    {"PgDn", XK_Next, XK_Next, 0, VK_NEXT, 0},
    {"Ctrl+PgDn", XK_Next, XK_Next, Ctrl, VK_NEXT, 0},
    {"Insert", XK_Insert, XK_Insert, 0, VK_INSERT, 0},
    // Delete erases in the key-down alone: a character 127 would stay in the text.
    {"Delete", XK_Delete, XK_Delete, 0, VK_DELETE, 0},
    {"Ctrl+Delete", XK_Delete, XK_Delete, Ctrl, VK_DELETE, 0},
    {"Shift+Delete", XK_Delete, XK_Delete, Sh, VK_DELETE, 0},
    // Keys that type control characters.
    {"Tab", XK_Tab, XK_Tab, 0, VK_TAB, '\t'},
    {"Shift+Tab", XK_ISO_Left_Tab, XK_Tab, Sh, VK_TAB, '\t'},
    {"Ctrl+Tab", XK_Tab, XK_Tab, Ctrl, VK_TAB, 0},
    {"Enter", XK_Return, XK_Return, 0, VK_RETURN, '\r'},
    {"keypad Enter", XK_KP_Enter, XK_KP_Enter, 0, VK_RETURN, '\r'},
    {"Ctrl+Enter", XK_Return, XK_Return, Ctrl, VK_RETURN, '\n'},
    {"Ctrl+keypad Enter", XK_KP_Enter, XK_KP_Enter, Ctrl, VK_RETURN, '\n'},
    {"Escape", XK_Escape, XK_Escape, 0, VK_ESCAPE, 27},
    {"Ctrl+Escape", XK_Escape, XK_Escape, Ctrl, VK_ESCAPE, 27},
    {"Backspace", XK_BackSpace, XK_BackSpace, 0, VK_BACK, '\b'},
    {"Ctrl+Backspace", XK_BackSpace, XK_BackSpace, Ctrl, VK_BACK, '\b'},
    {"Space", XK_space, XK_space, 0, VK_SPACE, ' '},
    {"Shift+Space", XK_space, XK_space, Sh, VK_SPACE, ' '},
    {"Ctrl+Space", XK_space, XK_space, Ctrl, VK_SPACE, ' '},
    // The keypad: Num Lock decides, and it shows only in the symbol.
    {"keypad 7", XK_KP_7, XK_KP_Home, NumLock, VK_NUMPAD7, '7'},
    {"keypad 0", XK_KP_0, XK_KP_Insert, NumLock, VK_NUMPAD0, '0'},
    {"keypad point", XK_KP_Decimal, XK_KP_Delete, NumLock, VK_DECIMAL, '.'},
    {"keypad 7 without Num Lock", XK_KP_Home, XK_KP_Home, 0, VK_HOME, 0},
    {"keypad 0 without Num Lock", XK_KP_Insert, XK_KP_Insert, 0, VK_INSERT, 0},
    {"keypad point without Num Lock", XK_KP_Delete, XK_KP_Delete, 0, VK_DELETE, 0},
    {"keypad +", XK_KP_Add, XK_KP_Add, 0, VK_ADD, '+'},
    {"keypad -", XK_KP_Subtract, XK_KP_Subtract, 0, VK_SUBTRACT, '-'},
    {"keypad *", XK_KP_Multiply, XK_KP_Multiply, 0, VK_MULTIPLY, '*'},
    {"keypad /", XK_KP_Divide, XK_KP_Divide, 0, VK_DIVIDE, '/'},
    // The Spanish letters with keys of their own.
    {"\xF1", XK_ntilde, XK_ntilde, 0, VK_OEM_3, '\xF1'},
    {"Shift+\xF1", XK_Ntilde, XK_ntilde, Sh, VK_OEM_3, '\xD1'},
    {"\xF1 with Caps Lock", XK_Ntilde, XK_ntilde, Caps, VK_OEM_3, '\xD1'},
    {"\xE7", XK_ccedilla, XK_ccedilla, 0, VK_OEM_2, '\xE7'},
    {"Shift+\xE7", XK_Ccedilla, XK_ccedilla, Sh, VK_OEM_2, '\xC7'},
    // The accents' keys: dead, they type with the next letter.
    {"\xB4", XK_dead_acute, XK_dead_acute, 0, VK_OEM_7, 0, XK_dead_acute},
    {"Shift+\xB4", XK_dead_diaeresis, XK_dead_acute, Sh, VK_OEM_7, 0, XK_dead_diaeresis},
    {"AltGr+\xB4", XK_braceleft, XK_dead_acute, AltGr, VK_OEM_7, '{'},
    {"`", XK_dead_grave, XK_dead_grave, 0, VK_OEM_1, 0, XK_dead_grave},
    {"Shift+`", XK_dead_circumflex, XK_dead_grave, Sh, VK_OEM_1, 0, XK_dead_circumflex},
    {"AltGr+`", XK_bracketleft, XK_dead_grave, AltGr, VK_OEM_1, '['},
    // The other signs of the Spanish keyboard, each on its key.
    {"\xBA", XK_masculine, XK_masculine, 0, VK_OEM_5, '\xBA'},
    {"Shift+\xBA", XK_ordfeminine, XK_masculine, Sh, VK_OEM_5, '\xAA'},
    {"AltGr+\xBA", XK_backslash, XK_masculine, AltGr, VK_OEM_5, '\\'},
    {"'", XK_apostrophe, XK_apostrophe, 0, VK_OEM_7, '\''},
    {"Shift+'", XK_question, XK_apostrophe, Sh, VK_OEM_7, '?'},
    {"\xA1", XK_exclamdown, XK_exclamdown, 0, VK_OEM_6, '\xA1'},
    {"Shift+\xA1", XK_questiondown, XK_exclamdown, Sh, VK_OEM_6, '\xBF'},
    {"+", XK_plus, XK_plus, 0, VK_OEM_PLUS, '+'},
    {"Shift++", XK_asterisk, XK_plus, Sh, VK_OEM_PLUS, '*'},
    {"AltGr++", XK_bracketright, XK_plus, AltGr, VK_OEM_PLUS, ']'},
    {"AltGr+\xE7", XK_braceright, XK_ccedilla, AltGr, VK_OEM_2, '}'},
    {"<", XK_less, XK_less, 0, VK_OEM_102, '<'},
    {"Shift+<", XK_greater, XK_less, Sh, VK_OEM_102, '>'},
    {",", XK_comma, XK_comma, 0, VK_OEM_COMMA, ','},
    {"Shift+,", XK_semicolon, XK_comma, Sh, VK_OEM_COMMA, ';'},
    {".", XK_period, XK_period, 0, VK_OEM_PERIOD, '.'},
    {"Shift+.", XK_colon, XK_period, Sh, VK_OEM_PERIOD, ':'},
    {"-", XK_minus, XK_minus, 0, VK_OEM_MINUS, '-'},
    {"Shift+-", XK_underscore, XK_minus, Sh, VK_OEM_MINUS, '_'},
    // Ctrl: the letters' control characters (copy, paste, cut, undo, the
    // menus' short cuts); nothing from the other keys.
    {"Ctrl+C", XK_c, XK_c, Ctrl, 'C', 3},
    {"Ctrl+V", XK_v, XK_v, Ctrl, 'V', 22},
    {"Ctrl+X", XK_x, XK_x, Ctrl, 'X', 24},
    {"Ctrl+Z", XK_z, XK_z, Ctrl, 'Z', 26},
    {"Ctrl+S", XK_s, XK_s, Ctrl, 'S', 19},
    {"Ctrl+R", XK_r, XK_r, Ctrl, 'R', 18},
    {"Ctrl+Shift+S", XK_S, XK_s, Ctrl | Sh, 'S', 19},
    {"Ctrl+1", XK_1, XK_1, Ctrl, '1', 0},
    {"Ctrl+3", XK_3, XK_3, Ctrl, '3', 0},
    {"Ctrl+8", XK_8, XK_8, Ctrl, '8', 0},
    {"Ctrl+\xF1", XK_ntilde, XK_ntilde, Ctrl, VK_OEM_3, 0},
    {"Ctrl+\xB4", XK_dead_acute, XK_dead_acute, Ctrl, VK_OEM_7, 0},
    {"Alt+a", XK_a, XK_a, Alt, 'A', 'a'},
    // The modifiers themselves; AltGr alone is no key of the program's.
    {"Shift", XK_Shift_L, XK_Shift_L, 0, VK_SHIFT, 0},
    {"Ctrl", XK_Control_R, XK_Control_R, 0, VK_CONTROL, 0},
    {"Alt", XK_Alt_L, XK_Alt_L, 0, VK_MENU, 0},
    {"Caps Lock", XK_Caps_Lock, XK_Caps_Lock, 0, VK_CAPITAL, 0},
    {"AltGr", XK_ISO_Level3_Shift, XK_ISO_Level3_Shift, 0, 0, 0},
    // A sign Windows-1252 lacks types nothing, not its key's letter; one it
    // has comes through, whichever way X writes it.
    {"AltGr+t", XK_tslash, XK_t, AltGr, 0, 0},
    {"AltGr+v", 0x100201C, XK_v, AltGr, 'V', '\x93'},
};

TEST(X11Keys, EachKeyGivesItsVirtualKeyAndCharacter) {
    for (const TKeyCase& C : KeyCases) {
        SCOPED_TRACE(C.Key);
        TX11Key K = TranslateX11Key(C.Sym, C.Base, C.State);
        EXPECT_EQ(K.Vk, C.Vk);
        EXPECT_EQ(static_cast<unsigned char>(K.Char), static_cast<unsigned char>(C.Char));
        EXPECT_EQ(K.Dead, C.Dead);
    }
}

// --- the accents: a dead key, then the letter ---

struct TStroke {
    unsigned long Sym, Base;
    unsigned State;
    bool Press;
};

std::vector<TX11KeyEvent> Play(std::initializer_list<TStroke> Strokes) {
    TX11DeadKeys Dead;
    std::vector<TX11KeyEvent> Events;
    for (const TStroke& S : Strokes)
        for (const TX11KeyEvent& E : Dead.Feed(TranslateX11Key(S.Sym, S.Base, S.State), S.Press))
            Events.push_back(E);
    return Events;
}

TEST(X11Keys, AnAccentsKeyThenALetterTypeTheAccentedLetter) {
    struct TCase {
        unsigned long Dead, DeadBase;
        unsigned DeadState;
        unsigned long Sym, Base;
        unsigned State;
        WORD Vk;
        char Typed;
    };
    const TCase Cases[] = {
        {XK_dead_acute, XK_dead_acute, 0, XK_a, XK_a, 0, 'A', '\xE1'},
        {XK_dead_acute, XK_dead_acute, 0, XK_e, XK_e, 0, 'E', '\xE9'},
        {XK_dead_acute, XK_dead_acute, 0, XK_i, XK_i, 0, 'I', '\xED'},
        {XK_dead_acute, XK_dead_acute, 0, XK_o, XK_o, 0, 'O', '\xF3'},
        {XK_dead_acute, XK_dead_acute, 0, XK_u, XK_u, 0, 'U', '\xFA'},
        {XK_dead_acute, XK_dead_acute, 0, XK_A, XK_a, Sh, 'A', '\xC1'},
        {XK_dead_acute, XK_dead_acute, 0, XK_E, XK_e, Sh, 'E', '\xC9'},
        {XK_dead_acute, XK_dead_acute, 0, XK_I, XK_i, Caps, 'I', '\xCD'},
        {XK_dead_acute, XK_dead_acute, 0, XK_O, XK_o, Sh, 'O', '\xD3'},
        {XK_dead_acute, XK_dead_acute, 0, XK_U, XK_u, Sh, 'U', '\xDA'},
        {XK_dead_diaeresis, XK_dead_acute, Sh, XK_u, XK_u, 0, 'U', '\xFC'},
        {XK_dead_diaeresis, XK_dead_acute, Sh, XK_U, XK_u, Sh, 'U', '\xDC'},
        {XK_dead_grave, XK_dead_grave, 0, XK_a, XK_a, 0, 'A', '\xE0'},
        {XK_dead_circumflex, XK_dead_grave, Sh, XK_o, XK_o, 0, 'O', '\xF4'},
        // A space after the accent types the accent itself.
        {XK_dead_acute, XK_dead_acute, 0, XK_space, XK_space, 0, VK_SPACE, '\xB4'},
        {XK_dead_diaeresis, XK_dead_acute, Sh, XK_space, XK_space, 0, VK_SPACE, '\xA8'},
        {XK_dead_grave, XK_dead_grave, 0, XK_space, XK_space, 0, VK_SPACE, '`'},
        {XK_dead_circumflex, XK_dead_grave, Sh, XK_space, XK_space, 0, VK_SPACE, '^'},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::string(1, C.Typed));
        std::vector<TX11KeyEvent> Expected = {{C.Vk, true, C.Typed}, {C.Vk, false, 0}};
        EXPECT_EQ(Play({{C.Dead, C.DeadBase, C.DeadState, true},
                        {C.Dead, C.DeadBase, C.DeadState, false},
                        {C.Sym, C.Base, C.State, true},
                        {C.Sym, C.Base, C.State, false}}),
                  Expected);
    }
}

TEST(X11Keys, AnAccentWaitsForTheLetterAndIsTypedWhenNoneFits) {
    const TStroke AcuteDown{XK_dead_acute, XK_dead_acute, 0, true},
        AcuteUp{XK_dead_acute, XK_dead_acute, 0, false};
    using V = std::vector<TX11KeyEvent>;
    // Shift pressed between the accent and the letter leaves the accent waiting.
    EXPECT_EQ(Play({AcuteDown,
                    AcuteUp,
                    {XK_Shift_L, XK_Shift_L, 0, true},
                    {XK_E, XK_e, Sh, true},
                    {XK_E, XK_e, Sh, false},
                    {XK_Shift_L, XK_Shift_L, Sh, false}}),
              (V{{VK_SHIFT, true, 0}, {'E', true, '\xC9'}, {'E', false, 0}, {VK_SHIFT, false, 0}}));
    // So does a key that types nothing.
    EXPECT_EQ(Play({AcuteDown, AcuteUp, {XK_Left, XK_Left, 0, true}, {XK_a, XK_a, 0, true}}),
              (V{{VK_LEFT, true, 0}, {'A', true, '\xE1'}}));
    // A letter without that accent: the accent, then the letter, nothing lost.
    EXPECT_EQ(Play({AcuteDown, AcuteUp, {XK_x, XK_x, 0, true}, {XK_x, XK_x, 0, false}}),
              (V{{VK_OEM_7, true, '\xB4'}, {VK_OEM_7, false, 0}, {'X', true, 'x'}, {'X', false, 0}}));
    EXPECT_EQ(Play({{XK_dead_diaeresis, XK_dead_acute, Sh, true}, {XK_3, XK_3, 0, true}}),
              (V{{VK_OEM_7, true, '\xA8'}, {VK_OEM_7, false, 0}, {'3', true, '3'}}));
    // Two accents type both.
    EXPECT_EQ(
        Play({AcuteDown, AcuteUp, {XK_dead_grave, XK_dead_grave, 0, true}}),
        (V{{VK_OEM_7, true, '\xB4'}, {VK_OEM_7, false, 0}, {VK_OEM_1, true, '`'}, {VK_OEM_1, false, 0}}));
    // Backspace after the accent takes it back.
    EXPECT_EQ(Play({AcuteDown, AcuteUp, {XK_BackSpace, XK_BackSpace, 0, true}}),
              (V{{VK_OEM_7, true, '\xB4'}, {VK_OEM_7, false, 0}, {VK_BACK, true, '\b'}}));
    // The accent is used once.
    EXPECT_EQ(Play({AcuteDown, AcuteUp, {XK_a, XK_a, 0, true}, {XK_a, XK_a, 0, true}}),
              (V{{'A', true, '\xE1'}, {'A', true, 'a'}}));
}

// A student's name typed on a Spanish keyboard, with a slip taken back by
// Backspace and another by Delete, reaches the edit as meant.
TEST_F(FormTest, ANameTypedOnASpanishKeyboardReachesTheEditWhole) {
    TForm* F = NewPlainForm("F");
    auto* E = Make<TEdit>(F, F, "E", Bounds(10, 10, 150, 0));
    F->Show();
    E->SetFocus();
    Ui.RunUntilIdle();
    TX11DeadKeys Dead;
    auto Tap = [&](unsigned long Sym, unsigned long Base, unsigned State = 0) {
        for (bool Press : {true, false})
            for (const TX11KeyEvent& Ev : Dead.Feed(TranslateX11Key(Sym, Base, State), Press))
                InputKey(Ev.Vk, Ev.Down, Ev.Char);
    };
    Tap(XK_x, XK_x);
    Tap(XK_dead_acute, XK_dead_acute);
    Tap(XK_I, XK_i, Sh);
    Tap(XK_ntilde, XK_ntilde);
    for (unsigned long L : {XK_i, XK_g, XK_o, XK_z}) Tap(L, L);
    Tap(XK_BackSpace, XK_BackSpace);
    Tap(XK_space, XK_space);
    Tap(XK_G, XK_g, Sh);
    Tap(XK_dead_diaeresis, XK_dead_acute, Sh);
    for (unsigned long L : {XK_u, XK_e, XK_l, XK_l}) Tap(L, L);
    Tap(XK_Home, XK_Home);
    Tap(XK_Delete, XK_Delete);
    Ui.RunUntilIdle();
    EXPECT_EQ(E->Text(), "\xCD\xF1igo G\xFC"
                         "ell");
}

}  // namespace
