#include "buttons/fcExprEval.h"

#include <vector>

#include "buttons/fcHelpers.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_CLASS(TfcEvaluator, TObject)

namespace {
std::vector<AnsiString> Tokens(const AnsiString& Text) {
    std::vector<AnsiString> Out;
    size_t Start = 0;
    while (true) {
        size_t Space = Text.find(' ', Start);
        if (Space == AnsiString::npos) {
            Out.push_back(Text.substr(Start));
            return Out;
        }
        Out.push_back(Text.substr(Start, Space - Start));
        Start = Space + 1;
    }
}
}  // namespace

int32_t TfcEvaluator::Evaluate(std::string_view Text) {
    for (char C : Text)
        if (!(C == ' ' || (C >= '0' && C <= '9') || C == '*' || C == '+' || C == ',' || C == '-' || C == '/'))
            // The program's own text, quotes and all.
            throw EInvalidOperation("Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed.");
    AnsiString S(Text);
    for (const char* Op : {"*", "/", "+", "-"}) S = fcReplaceAll(S, Op, AnsiString(" ") + Op + " ");
    while (S.find("  ") != AnsiString::npos) S = fcReplaceAll(S, "  ", " ");
    std::vector<AnsiString> T = Tokens(S);
    while (true) {
        size_t At = T.size();
        for (size_t i = 0; i < T.size() && At == T.size(); ++i)
            if (T[i] == "*" || T[i] == "/") At = i;
        for (size_t i = 0; i < T.size() && At == T.size(); ++i)
            if (T[i] == "+" || T[i] == "-") At = i;
        if (At == T.size()) break;
        // An operator at either end has an empty neighbour, which is no number.
        int64_t L = StrToInt(At > 0 ? std::string_view(T[At - 1]) : std::string_view());
        int64_t R = StrToInt(At + 1 < T.size() ? std::string_view(T[At + 1]) : std::string_view());
        int64_t V;
        switch (T[At][0]) {
        case '*': V = L * R; break;
        case '/':
            if (R == 0) throw EInvalidOperation("Divide By Zero Error");
            V = L / R;
            break;
        case '+': V = L + R; break;
        default: V = L - R; break;
        }
        size_t First = At > 0 ? At - 1 : At;
        size_t Last = std::min(At + 1, T.size() - 1);
        T.erase(T.begin() + long(First), T.begin() + long(Last) + 1);
        T.insert(T.begin() + long(First), IntToStr(int32_t(V)));
    }
    AnsiString Rest;
    for (size_t i = 0; i < T.size(); ++i) Rest += (i ? " " : "") + T[i];
    return StrToInt(Rest);
}
