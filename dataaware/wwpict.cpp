#include "dataaware/wwpict.h"

#include <algorithm>

#include "platform/rtl/Strings.h"

namespace {

// Matching states: the three answers plus two that only live while matching.
enum TState { sComplete, sIncomplete, sEmpty, sError, sSyntax, sAmbiguous, sIncompleteNoFill };

bool IsIncompleteState(TState S) { return S == sIncomplete || S == sIncompleteNoFill; }
bool IsCompleteState(TState S) { return S == sComplete || S == sAmbiguous; }

bool IsLetter(char C) {
    auto b = static_cast<unsigned char>(C);
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || b > 128;
}

// The characters auto-fill stops at: those that are not literals.
bool IsMaskSpecial(char C) {
    switch (C) {
    case '!':
    case '#':
    case '&':
    case '*':
    case ',':
    case '?':
    case '@':
    case '[':
    case ']':
    case '{':
    case '}':
    case '~': return true;
    default: return false;
    }
}

class TMatcher {
public:
    TMatcher(const AnsiString& Mask, AnsiString& Text) : M(Mask), T(Text) {}

    TState MatchAll() {
        FTp = 0;
        FStop = 0;
        FSpaceTaken = false;
        FSteps = 0;
        TState r = Stretch(0, M.size());
        if (r != sError && FTp < T.size()) r = sError;
        return r;
    }
    size_t StopPosition() const { return FStop; }

private:
    // Just past the item that starts at P (an escaped character, a group, an
    // optional part, or a repetition with its item).
    size_t ItemEnd(size_t P, size_t End) const {
        if (P >= End) return End;
        // A repetition's item follows its count.
        while (P < End && M[P] == '*') {
            ++P;
            while (P < End && M[P] >= '0' && M[P] <= '9') ++P;
        }
        if (P >= End) return End;
        switch (M[P]) {
        case ';': return std::min(P + 2, End);
        case '[':
        case '{': {
            int depth = 0;
            for (size_t q = P; q < End; ++q) {
                char c = M[q];
                if (c == ';') ++q;
                else if (c == '[' || c == '{') ++depth;
                else if ((c == ']' || c == '}') && --depth == 0) return q + 1;
            }
            return End;
        }
        default: return P + 1;
        }
    }

    // The end of the alternative that starts at P: the next "," outside any item.
    size_t AlternativeEnd(size_t P, size_t End) const {
        while (P < End && M[P] != ',') P = ItemEnd(P, End);
        return P;
    }

    // Whether what is left of an alternative may match nothing: optional
    // parts, open repetitions (or a one-digit count of an optional part), and
    // groups with such an alternative.
    bool RestIsOptional(size_t P, size_t End, int Depth = 0) const {
        if (Depth > MaxDepth) return false;
        while (P < End && M[P] != ',') {
            size_t next = ItemEnd(P, End);
            switch (M[P]) {
            case '[': break;
            case '*': {
                size_t q = P + 1;
                while (q < End && M[q] >= '0' && M[q] <= '9') ++q;
                bool optionalItem = q < End && M[q] == '[';
                if (q != P + 1 && !(q == P + 2 && optionalItem)) return false;
                break;
            }
            case '{':
                if (!GroupHasOptionalAlternative(P + 1, next - 1, Depth + 1)) return false;
                break;
            default: return false;
            }
            P = next;
        }
        return true;
    }

    bool GroupHasOptionalAlternative(size_t P, size_t End, int Depth) const {
        for (;;) {
            size_t altEnd = AlternativeEnd(P, End);
            if (RestIsOptional(P, altEnd, Depth)) return true;
            if (altEnd >= End) return false;
            P = altEnd + 1;
        }
    }

    void Consume(char C) { T[FTp++] = C; }

    // The alternatives between P and End, each tried from the same place in the text.
    TState Stretch(size_t P, size_t End) {
        // A mask nested deeper, or one that would take longer to match than
        // any real mask, refuses the text instead of exhausting the stack.
        if (FDepth >= MaxDepth || ++FSteps > MaxSteps) return sError;
        ++FDepth;
        TState r = Alternatives(P, End);
        --FDepth;
        return r;
    }

    TState Alternatives(size_t P, size_t End) {
        const size_t startTp = FTp;
        bool remembered = false;
        TState rememberedState = sIncomplete;
        size_t rememberedTp = 0, rememberedStop = 0;
        for (;;) {
            size_t altEnd = AlternativeEnd(P, End);
            FTp = startTp;
            TState r = Alternative(P, altEnd);
            // A completion that got less far than an earlier incomplete
            // alternative is taken as incomplete too.
            if (IsCompleteState(r) && remembered && FTp < rememberedTp) r = sIncomplete;
            if (r == sError || IsIncompleteState(r)) {
                if (IsIncompleteState(r) && !remembered) {
                    remembered = true;
                    rememberedState = r;
                    rememberedTp = FTp;
                    rememberedStop = FStop;
                }
                if (altEnd >= End) {
                    if (!remembered) return r;
                    FTp = rememberedTp;
                    FStop = rememberedStop;
                    return rememberedState;
                }
                P = altEnd + 1;
                continue;
            }
            if (r == sComplete && remembered) return sAmbiguous;
            return r;
        }
    }

    TState Alternative(size_t P, size_t End) {
        TState state = sEmpty;
        while (P < End) {
            if (FTp >= T.size()) {
                FStop = P;
                if (RestIsOptional(P, End)) return sAmbiguous;
                return state == sIncompleteNoFill ? sIncompleteNoFill : sIncomplete;
            }
            const char c = T[FTp];
            TState item = sComplete;
            switch (M[P]) {
            case '#':
                if (c < '0' || c > '9') return sError;
                Consume(c);
                ++P;
                break;
            case '?':
                if (!IsLetter(c)) return sError;
                Consume(c);
                ++P;
                break;
            case '&':
                if (!IsLetter(c)) return sError;
                Consume(CharUpper(c));
                ++P;
                break;
            case '~':
                if (!IsLetter(c)) return sError;
                Consume(CharLower(c));
                ++P;
                break;
            case '!':
                Consume(CharUpper(c));
                ++P;
                break;
            case '@':
                Consume(c);
                ++P;
                break;
            case '*':
                item = Repetition(P, End);
                if (!IsCompleteState(item)) return item;
                break;
            case '{': {
                size_t end = ItemEnd(P, End);
                item = Stretch(P + 1, end - 1);
                if (!IsCompleteState(item)) return item;
                P = end;
                break;
            }
            case '[': {
                size_t end = ItemEnd(P, End);
                size_t before = FTp;
                item = Stretch(P + 1, end - 1);
                if (IsIncompleteState(item)) return item;
                if (item == sError) {
                    // An optional part that does not fit is passed over.
                    FTp = before;
                    item = sAmbiguous;
                }
                P = end;
                break;
            }
            default: {
                if (M[P] == ';') ++P;
                const char literal = M[P];
                const bool last = FTp + 1 == T.size();
                if (AsciiUpper(literal) != AsciiUpper(c)) {
                    // A blank typed last stands for the literal the mask wants
                    // there ("12 " becomes "12/" under "##/##"), once a match.
                    if (c != ' ' || !last || FSpaceTaken) return sError;
                } else if (literal == ' ' && last) {
                    FSpaceTaken = true;
                }
                Consume(literal);
                ++P;
                break;
            }
            }
            state = item == sAmbiguous ? sIncompleteNoFill : sIncomplete;
        }
        return state == sIncompleteNoFill ? sAmbiguous : sComplete;
    }

    // "*" with its count and item at P; P moves past the item.
    TState Repetition(size_t& P, size_t End) {
        // A round that consumes nothing would be the same in every later
        // round, so it ends the count; every other round consumes a
        // character. So a count past the text's length answers as that length
        // plus one does, and its digits are read no further than that.
        const size_t countBound = T.size() + 1;
        size_t q = P + 1;
        size_t count = 0;
        for (; q < End && M[q] >= '0' && M[q] <= '9'; ++q)
            count = std::min(count * 10 + static_cast<size_t>(M[q] - '0'), countBound);
        const size_t itemStart = q, itemEnd = ItemEnd(q, End);
        if (itemStart >= End) return sError;
        if (count > 0) {
            for (size_t i = 0; i < count; ++i) {
                if (FTp >= T.size()) {
                    FStop = itemStart;
                    if (M[itemStart] == '[') break;
                    return sIncomplete;
                }
                const size_t before = FTp;
                TState r = Stretch(itemStart, itemEnd);
                if (!IsCompleteState(r)) return r;
                if (FTp == before) break;
            }
            P = itemEnd;
            return sComplete;
        }
        while (FTp < T.size()) {
            size_t before = FTp;
            TState r = Stretch(itemStart, itemEnd);
            if (IsIncompleteState(r)) return r;
            if (r == sError) {
                FTp = before;
                break;
            }
            if (FTp == before) break;
        }
        P = itemEnd;
        return sAmbiguous;
    }

    const AnsiString& M;
    AnsiString& T;
    size_t FTp = 0;
    size_t FStop = 0;
    bool FSpaceTaken = false;
    int FDepth = 0;
    long FSteps = 0;
    static constexpr int MaxDepth = 200;
    static constexpr long MaxSteps = 1000000;
};

}  // namespace

bool IsWellFormedPicture(const AnsiString& Mask) {
    if (Mask.empty() || Mask.back() == ';') return false;
    if (Mask.back() == '*' && (Mask.size() < 2 || Mask[Mask.size() - 2] != ';')) return false;
    int brackets = 0, braces = 0;
    for (size_t i = 0; i < Mask.size(); ++i) {
        switch (Mask[i]) {
        case ';': ++i; break;
        case '[': ++brackets; break;
        case ']': --brackets; break;
        case '{': ++braces; break;
        case '}': --braces; break;
        default: break;
        }
    }
    return brackets == 0 && braces == 0;
}

TwwPictureValidator::TwwPictureValidator(const AnsiString& Mask, bool AutoFill)
    : FMask(Mask), FAutoFill(AutoFill) {
    AnsiString empty;
    FStatus = CheckPicture(empty, false) == prEmpty ? 0 : 1;
}

bool TwwPictureValidator::IsValid(AnsiString& Text, bool SuppressFill) {
    if (FMask.empty()) return true;
    return CheckPicture(Text, FAutoFill && !SuppressFill) != prError;
}

bool TwwPictureValidator::IsValidInput(const AnsiString& Text) {
    if (FMask.empty()) return true;
    AnsiString copy = Text;
    TwwPicResult r = CheckPicture(copy, false);
    return r == prComplete || r == prEmpty;
}

TwwPicResult TwwPictureValidator::CheckPicture(AnsiString& Text, bool AutoFill) {
    if (!IsWellFormedPicture(FMask)) return prSyntax;
    if (Text.empty()) return prEmpty;
    TMatcher matcher(FMask, Text);
    TState r = matcher.MatchAll();
    if (r == sIncomplete && AutoFill) {
        const AnsiString before = Text;
        for (size_t p = matcher.StopPosition(); p < FMask.size() && !IsMaskSpecial(FMask[p]); ++p) {
            if (FMask[p] == ';' && ++p >= FMask.size()) break;
            Text += FMask[p];
        }
        if (Text.size() != before.size()) {
            r = matcher.MatchAll();
            if (r == sError) {
                Text = before;
                r = sIncomplete;
            }
        }
    }
    switch (r) {
    case sAmbiguous: return prComplete;
    case sIncompleteNoFill: return prIncomplete;
    default: return static_cast<TwwPicResult>(r);
    }
}
