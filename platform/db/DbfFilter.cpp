// Text filter expressions ("TNC='k' and TIPO='1'").
#include "platform/db/DbfFilter.h"

#include <cstring>

#include "platform/db/DbfInternal.h"
#include "platform/rtl/Strings.h"

TDbfRecordFilter TDbfFilter::AsRecordFilter(std::shared_ptr<const TDbfFilter> Filter) {
    return [Filter = std::move(Filter)](const char* Record) { return Filter->Matches(Record); };
}

namespace {

enum TOp { opEq, opNe, opLt, opGt, opLe, opGe };

TOp Mirror(TOp Op) {
    switch (Op) {
    case opLt: return opGt;
    case opGt: return opLt;
    case opLe: return opGe;
    case opGe: return opLe;
    default: return Op;
    }
}

bool Holds(TOp Op, int Cmp) {
    switch (Op) {
    case opEq: return Cmp == 0;
    case opNe: return Cmp != 0;
    case opLt: return Cmp < 0;
    case opGt: return Cmp > 0;
    case opLe: return Cmp <= 0;
    case opGe: return Cmp >= 0;
    }
    return false;
}

template <class T>
int Order3(T A, T B) {
    return A < B ? -1 : (B < A ? 1 : 0);
}

std::string_view TrimRightView(std::string_view S) {
    size_t e = S.size();
    while (e > 0 && (S[e - 1] == ' ' || S[e - 1] == '\0')) --e;
    return S.substr(0, e);
}

// --- the tree ---

class TNode {
public:
    virtual ~TNode() = default;
    virtual bool Eval(const char* Record) const = 0;
};

class TLogic : public TNode {
public:
    TLogic(bool IsAnd, std::unique_ptr<TNode> L, std::unique_ptr<TNode> R)
        : FAnd(IsAnd), FL(std::move(L)), FR(std::move(R)) {}
    bool Eval(const char* Record) const override {
        return FAnd ? (FL->Eval(Record) && FR->Eval(Record)) : (FL->Eval(Record) || FR->Eval(Record));
    }

private:
    bool FAnd;
    std::unique_ptr<TNode> FL, FR;
};

class TNot : public TNode {
public:
    explicit TNot(std::unique_ptr<TNode> N) : FN(std::move(N)) {}
    bool Eval(const char* Record) const override { return !FN->Eval(Record); }

private:
    std::unique_ptr<TNode> FN;
};

class TConstant : public TNode {
public:
    explicit TConstant(bool V) : FV(V) {}
    bool Eval(const char*) const override { return FV; }

private:
    bool FV;
};

// The text of a field for comparing: no trailing blanks, folded when asked.
class TTextAccess {
public:
    TTextAccess(const TDbfTable& Table, int Field, bool Fold) : FTable(Table), FField(Field), FFold(Fold) {
        const TDbfFieldDef& f = Table.Field(Field);
        FRaw = f.Type != 'M' && f.Type != 'L' && f.Type != 'D' && f.Type != 'N' && f.Type != 'F' && !Fold;
        FOffset = f.Offset;
        FLength = size_t(f.Length);
    }
    // Gives a view of the text; Store holds it when it had to be made.
    std::string_view Get(const char* Record, std::string& Store) const {
        if (FRaw) return TrimRightView(std::string_view(Record + FOffset, FLength));
        Store = FTable.GetText(Record, FField);
        Store.resize(TrimRightView(Store).size());
        if (FFold) Store = AnsiUpperCase(Store);
        return Store;
    }

private:
    const TDbfTable& FTable;
    int FField;
    bool FFold;
    bool FRaw = true;
    int FOffset = 0;
    size_t FLength = 0;
};

class TTextCompare : public TNode {
public:
    TTextCompare(TTextAccess Access, TOp Op, std::string Constant, bool Prefix)
        : FAccess(std::move(Access)), FOp(Op), FConstant(std::move(Constant)), FPrefix(Prefix) {}
    bool Eval(const char* Record) const override {
        std::string store;
        std::string_view text = FAccess.Get(Record, store);
        if (FPrefix) {
            bool starts =
                text.size() >= FConstant.size() && text.compare(0, FConstant.size(), FConstant) == 0;
            return FOp == opEq ? starts : !starts;
        }
        return Holds(FOp, text.compare(FConstant));
    }

private:
    TTextAccess FAccess;
    TOp FOp;
    std::string FConstant;
    bool FPrefix;
};

class TTwoTexts : public TNode {
public:
    TTwoTexts(TTextAccess A, TOp Op, TTextAccess B) : FA(std::move(A)), FOp(Op), FB(std::move(B)) {}
    bool Eval(const char* Record) const override {
        std::string sa, sb;
        return Holds(FOp, FA.Get(Record, sa).compare(FB.Get(Record, sb)));
    }

private:
    TTextAccess FA;
    TOp FOp;
    TTextAccess FB;
};

// Numbers, dates (as day numbers) and logicals (0/1) of a field.
class TScalarAccess {
public:
    TScalarAccess(const TDbfTable& Table, int Field)
        : FTable(Table), FField(Field), FType(Table.Field(Field).Type) {}
    bool Get(const char* Record, double& V) const {
        bool null = false;
        switch (FType) {
        case 'N':
        case 'F': V = FTable.GetNumber(Record, FField, &null); return !null;
        case 'D': V = FTable.GetDate(Record, FField, &null); return !null;
        case 'L': V = FTable.GetBoolean(Record, FField) ? 1 : 0; return true;  // blank reads false
        default: return false;
        }
    }

private:
    const TDbfTable& FTable;
    int FField;
    char FType;
};

class TScalarCompare : public TNode {
public:
    TScalarCompare(TScalarAccess Access, TOp Op, double Constant)
        : FAccess(Access), FOp(Op), FConstant(Constant) {}
    bool Eval(const char* Record) const override {
        double v;
        return FAccess.Get(Record, v) && Holds(FOp, Order3(v, FConstant));
    }

private:
    TScalarAccess FAccess;
    TOp FOp;
    double FConstant;
};

class TTwoScalars : public TNode {
public:
    TTwoScalars(TScalarAccess A, TOp Op, TScalarAccess B) : FA(A), FOp(Op), FB(B) {}
    bool Eval(const char* Record) const override {
        double a, b;
        return FA.Get(Record, a) && FB.Get(Record, b) && Holds(FOp, Order3(a, b));
    }

private:
    TScalarAccess FA;
    TOp FOp;
    TScalarAccess FB;
};

class TBlankTest : public TNode {
public:
    TBlankTest(const TDbfTable& Table, int Field, bool WantBlank)
        : FTable(Table), FField(Field), FWant(WantBlank) {}
    bool Eval(const char* Record) const override {
        bool blank = FTable.IsBlank(Record, FField);
        if (!blank && FTable.Field(FField).Type == 'M') blank = FTable.GetMemo(Record, FField).empty();
        return blank == FWant;
    }

private:
    const TDbfTable& FTable;
    int FField;
    bool FWant;
};

class TCompiled : public TDbfFilter {
public:
    TCompiled(std::shared_ptr<const TDbfTable> Keep, std::unique_ptr<TNode> Root)
        : FKeep(std::move(Keep)), FRoot(std::move(Root)) {}
    bool Matches(const char* Record) const override { return FRoot->Eval(Record); }

private:
    std::shared_ptr<const TDbfTable> FKeep;
    std::unique_ptr<TNode> FRoot;
};

// --- the parser ---

struct TToken {
    enum TKind { tkEnd, tkLParen, tkRParen, tkOp, tkWord, tkName, tkString, tkNumber } Kind = tkEnd;
    std::string Text;
    TOp Op = opEq;
    size_t At = 0;
};

struct TOperand {
    enum TKind { okField, okText, okNumber, okLogical } Kind = okText;
    int Field = -1;
    std::string Text;  // as written (the number's digits too)
    double Num = 0;
    bool Bool = false;
};

class TParser {
public:
    TParser(const TDbfTable& Table, std::string_view Text, TDbfFilterOptions Options)
        : FTable(Table), FText(Text), FOptions(Options) {}

    std::unique_ptr<TNode> Parse() {
        Advance();
        auto root = Expression();
        if (FTok.Kind != TToken::tkEnd) Fail("sobra '" + FTok.Text + "'");
        return root;
    }

private:
    [[noreturn]] void Fail(const std::string& Why) {
        DbfRaise(dbeFilterSyntax, "Expresi\xF3n de filtro no v\xE1lida \"" + std::string(FText) +
                                      "\": " + Why + " en la posici\xF3n " + std::to_string(FTok.At + 1));
    }
    static bool IsWordStart(char C) { return IsCharAlpha(C) || C == '_'; }
    static bool IsWordChar(char C) { return IsCharAlphaNumeric(C) || C == '_'; }

    void Advance() {
        while (FAt < FText.size() &&
               (FText[FAt] == ' ' || FText[FAt] == '\t' || FText[FAt] == '\r' || FText[FAt] == '\n'))
            ++FAt;
        FTok = TToken{};
        FTok.At = FAt;
        if (FAt >= FText.size()) return;
        char c = FText[FAt];
        if (c == '(' || c == ')') {
            FTok.Kind = c == '(' ? TToken::tkLParen : TToken::tkRParen;
            FTok.Text = std::string(1, c);
            ++FAt;
        } else if (c == '=' || c == '<' || c == '>') {
            FTok.Kind = TToken::tkOp;
            char n = FAt + 1 < FText.size() ? FText[FAt + 1] : '\0';
            if (c == '<' && n == '>') FTok.Op = opNe;
            else if (c == '<' && n == '=') FTok.Op = opLe;
            else if (c == '>' && n == '=') FTok.Op = opGe;
            else FTok.Op = c == '=' ? opEq : (c == '<' ? opLt : opGt);
            size_t len = (FTok.Op == opNe || FTok.Op == opLe || FTok.Op == opGe) ? 2 : 1;
            FTok.Text = std::string(FText.substr(FAt, len));
            FAt += len;
        } else if (c == '\'' || c == '"') {
            FTok.Kind = TToken::tkString;
            ++FAt;
            while (true) {
                if (FAt >= FText.size()) Fail("un texto no est\xE1 cerrado");
                if (FText[FAt] == c) {
                    if (FAt + 1 < FText.size() && FText[FAt + 1] == c) {
                        FTok.Text += c;
                        FAt += 2;
                        continue;
                    }
                    ++FAt;
                    break;
                }
                FTok.Text += FText[FAt++];
            }
        } else if (c == '[') {
            size_t close = FText.find(']', FAt);
            if (close == std::string_view::npos) Fail("un '[' no est\xE1 cerrado");
            FTok.Kind = TToken::tkName;
            FTok.Text = std::string(FText.substr(FAt + 1, close - FAt - 1));
            FAt = close + 1;
        } else if ((c >= '0' && c <= '9') || c == '.' ||
                   (c == '-' && FAt + 1 < FText.size() &&
                    ((FText[FAt + 1] >= '0' && FText[FAt + 1] <= '9') || FText[FAt + 1] == '.'))) {
            FTok.Kind = TToken::tkNumber;
            size_t b = FAt++;
            while (FAt < FText.size() && ((FText[FAt] >= '0' && FText[FAt] <= '9') || FText[FAt] == '.'))
                ++FAt;
            FTok.Text = std::string(FText.substr(b, FAt - b));
        } else if (IsWordStart(c)) {
            FTok.Kind = TToken::tkWord;
            size_t b = FAt;
            while (FAt < FText.size() && IsWordChar(FText[FAt])) ++FAt;
            FTok.Text = std::string(FText.substr(b, FAt - b));
        } else {
            FTok.Text = std::string(1, c);
            Fail("sobra '" + FTok.Text + "'");
        }
    }
    bool IsWord(const char* W) const { return FTok.Kind == TToken::tkWord && SameText(FTok.Text, W); }

    std::unique_ptr<TNode> Expression() {
        auto left = Term();
        while (IsWord("OR")) {
            Advance();
            left = std::make_unique<TLogic>(false, std::move(left), Term());
        }
        return left;
    }
    std::unique_ptr<TNode> Term() {
        auto left = Factor();
        while (IsWord("AND")) {
            Advance();
            left = std::make_unique<TLogic>(true, std::move(left), Factor());
        }
        return left;
    }
    std::unique_ptr<TNode> Factor() {
        if (++FDepth > 200) Fail("la expresi\xF3n anida demasiados niveles");
        std::unique_ptr<TNode> node;
        if (IsWord("NOT")) {
            Advance();
            node = std::make_unique<TNot>(Factor());
        } else if (FTok.Kind == TToken::tkLParen) {
            Advance();
            node = Expression();
            if (FTok.Kind != TToken::tkRParen) Fail("falta un ')'");
            Advance();
        } else {
            node = Comparison();
        }
        --FDepth;
        return node;
    }
    TOperand Operand() {
        TOperand o;
        switch (FTok.Kind) {
        case TToken::tkString:
            o.Kind = TOperand::okText;
            o.Text = FTok.Text;
            break;
        case TToken::tkNumber:
            o.Kind = TOperand::okNumber;
            o.Text = FTok.Text;
            if (!DbfParseNumber(o.Text, o.Num)) Fail("n\xFAmero no v\xE1lido " + o.Text);
            break;
        case TToken::tkWord:
            if (SameText(FTok.Text, "TRUE") || SameText(FTok.Text, "FALSE")) {
                o.Kind = TOperand::okLogical;
                o.Bool = SameText(FTok.Text, "TRUE");
                o.Text.assign(1, o.Bool ? 'T' : 'F');
                break;
            }
            [[fallthrough]];
        case TToken::tkName:
            o.Kind = TOperand::okField;
            o.Field = FTable.FieldIndex(FTok.Text);
            if (o.Field < 0)
                DbfRaise(dbeFieldNotFound, "No existe el campo '" + FTok.Text +
                                               "' de la expresi\xF3n de filtro \"" + std::string(FText) +
                                               "\"");
            break;
        default:
            Fail(FTok.Kind == TToken::tkEnd ? "falta un valor"
                                            : "falta un valor antes de '" + FTok.Text + "'");
        }
        Advance();
        return o;
    }

    std::unique_ptr<TNode> Comparison() {
        TOperand a = Operand();
        if (IsWord("IS")) {
            Advance();
            bool negated = IsWord("NOT");
            if (negated) Advance();
            if (!IsWord("NULL")) Fail("falta NULL despu\xE9s de IS");
            Advance();
            if (a.Kind != TOperand::okField) return std::make_unique<TConstant>(negated);
            return std::make_unique<TBlankTest>(FTable, a.Field, !negated);
        }
        if (FTok.Kind != TToken::tkOp)
            Fail(FTok.Kind == TToken::tkEnd ? "falta una comparaci\xF3n"
                                            : "falta una comparaci\xF3n antes de '" + FTok.Text + "'");
        TOp op = FTok.Op;
        Advance();
        TOperand b = Operand();
        if (a.Kind != TOperand::okField && b.Kind == TOperand::okField) {
            std::swap(a, b);
            op = Mirror(op);
        }
        if (a.Kind != TOperand::okField) {
            double x, y;
            bool numbers = DbfParseNumber(a.Text, x) && DbfParseNumber(b.Text, y);
            return std::make_unique<TConstant>(Holds(op, numbers ? Order3(x, y) : a.Text.compare(b.Text)));
        }
        const TDbfFieldDef& f = FTable.Field(a.Field);
        bool scalar = f.Type == 'N' || f.Type == 'F' || f.Type == 'D' || f.Type == 'L';
        if (b.Kind == TOperand::okField) {
            const TDbfFieldDef& g = FTable.Field(b.Field);
            bool numeric = (f.Type == 'N' || f.Type == 'F') && (g.Type == 'N' || g.Type == 'F');
            bool sameScalar = numeric || (f.Type == g.Type && scalar);
            if (sameScalar)
                return std::make_unique<TTwoScalars>(TScalarAccess(FTable, a.Field), op,
                                                     TScalarAccess(FTable, b.Field));
            return std::make_unique<TTwoTexts>(TTextAccess(FTable, a.Field, FOptions.CaseInsensitive), op,
                                               TTextAccess(FTable, b.Field, FOptions.CaseInsensitive));
        }
        if (!scalar) {
            std::string constant(TrimRightView(b.Text));
            bool prefix = false;
            if ((op == opEq || op == opNe) && !FOptions.NoPartialCompare && !constant.empty() &&
                constant.back() == '*') {
                constant.pop_back();
                prefix = true;
            }
            if (FOptions.CaseInsensitive) constant = AnsiUpperCase(constant);
            return std::make_unique<TTextCompare>(TTextAccess(FTable, a.Field, FOptions.CaseInsensitive), op,
                                                  constant, prefix);
        }
        // A blank constant against a number or a date asks whether the field is blank.
        if (b.Kind == TOperand::okText && Trim(b.Text).empty() && f.Type != 'L') {
            if (op == opEq) return std::make_unique<TBlankTest>(FTable, a.Field, true);
            if (op == opNe) return std::make_unique<TBlankTest>(FTable, a.Field, false);
            return std::make_unique<TConstant>(false);
        }
        double value = 0;
        if (f.Type == 'L') {
            std::string t = Trim(b.Text);
            char c = t.empty() ? 'F' : AsciiUpper(t[0]);
            if (b.Kind == TOperand::okNumber) value = b.Num != 0;
            else if (c == 'T' || c == 'Y') value = 1;
            else if (c == 'F' || c == 'N') value = 0;
            else Fail("'" + b.Text + "' no es un valor l\xF3gico para el campo " + f.Name);
        } else if (f.Type == 'D') {
            if (!ParseDateConstant(Trim(b.Text), value))
                Fail("'" + b.Text + "' no es una fecha para el campo " + f.Name);
        } else if (b.Kind == TOperand::okLogical || !DbfParseNumber(b.Text, value)) {
            Fail("'" + b.Text + "' no es un n\xFAmero para el campo " + f.Name);
        }
        return std::make_unique<TScalarCompare>(TScalarAccess(FTable, a.Field), op, value);
    }

    static bool ParseDateConstant(const std::string& T, double& Day) {
        if (DbfParseDate(T, Day)) return true;
        if (T.size() == 10 && T[4] == '-' && T[7] == '-')
            return DbfParseDate(T.substr(0, 4) + T.substr(5, 2) + T.substr(8, 2), Day);
        if (T.size() == 10 && T[2] == '/' && T[5] == '/')
            return DbfParseDate(T.substr(6, 4) + T.substr(3, 2) + T.substr(0, 2), Day);
        return false;
    }

    const TDbfTable& FTable;
    std::string_view FText;
    TDbfFilterOptions FOptions;
    size_t FAt = 0;
    TToken FTok;
    int FDepth = 0;
};

}  // namespace

std::shared_ptr<const TDbfFilter> DbfCompileFilter(const TDbfTable& Table, std::string_view Expression,
                                                   TDbfFilterOptions Options) {
    TParser parser(Table, Expression, Options);
    auto root = parser.Parse();
    return std::make_shared<TCompiled>(Table.shared_from_this(), std::move(root));
}
