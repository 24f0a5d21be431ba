#include "tests/support/ui/KeyScript.h"

#include <map>
#include <stdexcept>
#include <string>

void PlayKeys(TUiDriver& Ui, std::string_view Script) {
    static const std::map<std::string, WORD> Names = {
        {"Left", VK_LEFT}, {"Right", VK_RIGHT},  {"Up", VK_UP},      {"Down", VK_DOWN},  {"Home", VK_HOME},
        {"End", VK_END},   {"PgUp", VK_PRIOR},   {"PgDn", VK_NEXT},  {"Del", VK_DELETE}, {"Ins", VK_INSERT},
        {"Back", VK_BACK}, {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE}, {"Tab", VK_TAB},    {"Space", VK_SPACE},
        {"F4", VK_F4},     {"F1", VK_F1},
    };
    size_t I = 0;
    // F1 to F12 by number.
    auto FunctionKey = [](const std::string& Name) -> WORD {
        if (Name.size() < 2 || Name.size() > 3 || Name[0] != 'F') return 0;
        int N = 0;
        for (size_t K = 1; K < Name.size(); ++K) {
            if (Name[K] < '0' || Name[K] > '9') return 0;
            N = N * 10 + (Name[K] - '0');
        }
        return N >= 1 && N <= 12 ? static_cast<WORD>(VK_F1 + N - 1) : 0;
    };
    while (I < Script.size()) {
        if (Script[I] != '{') {
            size_t J = Script.find('{', I);
            if (J == std::string_view::npos) J = Script.size();
            Ui.Type(Script.substr(I, J - I));
            I = J;
            continue;
        }
        size_t Close = Script.find('}', I);
        if (Close == std::string_view::npos) throw std::invalid_argument("unclosed key in script");
        std::string Name(Script.substr(I + 1, Close - I - 1));
        I = Close + 1;
        TShiftState Shift;
        while (Name.size() > 2 && Name[1] == '+') {
            switch (Name[0]) {
            case 'S': Shift.Include(ssShift); break;
            case 'C': Shift.Include(ssCtrl); break;
            case 'A': Shift.Include(ssAlt); break;
            default: throw std::invalid_argument("unknown modifier in script: " + Name);
            }
            Name.erase(0, 2);
        }
        WORD Key;
        auto It = Names.find(Name);
        if (It != Names.end()) Key = It->second;
        else if (WORD F = FunctionKey(Name)) Key = F;
        else if (Name.size() == 1 &&
                 ((Name[0] >= 'A' && Name[0] <= 'Z') || (Name[0] >= '0' && Name[0] <= '9')))
            Key = static_cast<WORD>(Name[0]);
        else throw std::invalid_argument("unknown key in script: " + Name);
        // Keys that type a character bring it, as the display would.
        char C = 0;
        if (Key == VK_BACK) C = '\b';
        else if (Key == VK_RETURN) C = '\r';
        else if (Key == VK_ESCAPE) C = 27;
        else if (Key == VK_TAB) C = '\t';
        else if (Key == VK_SPACE) C = ' ';
        else if (Key >= 'A' && Key <= 'Z' && Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt))
            C = static_cast<char>(Key - 'A' + 1);
        else if (Key >= 'A' && Key <= 'Z')
            C = static_cast<char>(Shift.Contains(ssShift) ? Key : Key - 'A' + 'a');
        else if (Key >= '0' && Key <= '9') C = static_cast<char>(Key);
        if (Shift.Contains(ssShift)) InputKey(VK_SHIFT, true);
        if (Shift.Contains(ssCtrl)) InputKey(VK_CONTROL, true);
        if (Shift.Contains(ssAlt)) InputKey(VK_MENU, true);
        InputKey(Key, true, C);
        InputKey(Key, false);
        if (Shift.Contains(ssAlt)) InputKey(VK_MENU, false);
        if (Shift.Contains(ssCtrl)) InputKey(VK_CONTROL, false);
        if (Shift.Contains(ssShift)) InputKey(VK_SHIFT, false);
    }
}
