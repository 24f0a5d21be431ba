#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/classes/Collection.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Strings.h"

// The reader takes the whole file apart into tokens first, then walks them.
// Fix-ups and the list of components to be told Loaded hold components that
// a setter or a ReadState may free while the form is still being read; the
// reader hears of that through a free notification and forgets them.

struct TReader::TToken {
    enum TKind { tIdent, tInteger, tFloat, tString, tBinary, tSymbol, tEnd };
    TKind Kind = tEnd;
    char Symbol = 0;
    AnsiString Text;  // identifier, text value or bytes
    int64_t Int = 0;
    long double Float = 0;
    int Line = 1;
};

// One step from the component being read to the object that holds a
// property: a sub-object (Index -1) or an item of a collection.
struct TReader::TStep {
    AnsiString Prop;
    int Index = -1;
    bool operator==(const TStep& Other) const { return Index == Other.Index && SameText(Prop, Other.Prop); }
};

struct TReader::TFixup {
    TComponent* Anchor;
    std::vector<TStep> Path;
    AnsiString Prop;
    AnsiString Name;
    int Line;
};

class TReader::TWatch : public TComponent {
public:
    explicit TWatch(TReader& Reader) : TComponent(nullptr), FReader(Reader) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove) FReader.Forget(AComponent);
    }

private:
    TReader& FReader;
};

namespace {
// Deeper nesting than this is no form of ours; it would only exhaust the stack.
constexpr int kMaxDepth = 64;

bool IsIdentStart(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
bool IsIdentChar(char C) { return IsIdentStart(C) || IsDigit(C); }
int HexValue(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    return -1;
}

AnsiString Where(const AnsiString& Source, int Line) {
    AnsiString where = Source.empty() ? "Line " : Source + ", line ";
    return where + IntToStr(Line) + ": ";
}

class TLexer {
public:
    TLexer(std::string_view Text, const AnsiString& Source) : FText(Text), FSource(Source) {}

    template <class Token>
    void Run(std::vector<Token>& Tokens) {
        for (;;) {
            SkipBlanks();
            Token t;
            t.Line = FLine;
            if (FPos >= FText.size()) {
                t.Kind = Token::tEnd;
                Tokens.push_back(std::move(t));
                return;
            }
            char c = FText[FPos];
            if (IsIdentStart(c)) {
                t.Kind = Token::tIdent;
                t.Text = Ident();
            } else if (IsDigit(c) || c == '-' || c == '+' || c == '$') {
                Number(t);
            } else if (c == '\'' || c == '#') {
                t.Kind = Token::tString;
                t.Text = Text();
            } else if (c == '{') {
                t.Kind = Token::tBinary;
                t.Text = Bytes();
            } else if (AnsiString("=:[](),<>").find(c) != AnsiString::npos) {
                t.Kind = Token::tSymbol;
                t.Symbol = c;
                ++FPos;
            } else {
                Fail("Unexpected character #" + IntToStr(static_cast<unsigned char>(c)));
            }
            Tokens.push_back(std::move(t));
        }
    }

private:
    [[noreturn]] void Fail(const AnsiString& Message) const {
        throw EReadError(Where(FSource, FLine) + Message);
    }

    bool More() const { return FPos < FText.size(); }
    char At() const { return FText[FPos]; }

    void SkipBlanks() {
        while (More()) {
            char c = At();
            if (c == '\n') {
                ++FLine;
            } else if (c == '\r') {
                if (FPos + 1 >= FText.size() || FText[FPos + 1] != '\n') ++FLine;
            } else if (c != ' ' && c != '\t') {
                return;
            }
            ++FPos;
        }
    }

    AnsiString Ident() {
        size_t start = FPos;
        for (;;) {
            while (More() && IsIdentChar(At())) ++FPos;
            if (More() && At() == '.' && FPos + 1 < FText.size() && IsIdentStart(FText[FPos + 1])) ++FPos;
            else break;
        }
        return AnsiString(FText.substr(start, FPos - start));
    }

    template <class Token>
    void Number(Token& T) {
        size_t start = FPos;
        bool negative = false;
        if (At() == '-' || At() == '+') {
            negative = At() == '-';
            ++FPos;
        }
        if (More() && At() == '$') {
            ++FPos;
            uint64_t value = 0;
            size_t digits = 0;
            for (; More() && HexValue(At()) >= 0; ++FPos, ++digits) {
                if (value > (uint64_t(INT64_MAX) >> 4)) Fail("Number too large");
                value = value * 16 + HexValue(At());
            }
            if (digits == 0) Fail("Hexadecimal digits expected");
            T.Kind = Token::tInteger;
            T.Int = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
            return;
        }
        if (!More() || !IsDigit(At())) Fail("Number expected");
        while (More() && IsDigit(At())) ++FPos;
        bool isFloat = false;
        if (More() && At() == '.') {
            isFloat = true;
            ++FPos;
            if (!More() || !IsDigit(At())) Fail("Digits expected after the decimal point");
            while (More() && IsDigit(At())) ++FPos;
        }
        if (More() && (At() == 'e' || At() == 'E')) {
            isFloat = true;
            ++FPos;
            if (More() && (At() == '-' || At() == '+')) ++FPos;
            if (!More() || !IsDigit(At())) Fail("Digits expected in the exponent");
            while (More() && IsDigit(At())) ++FPos;
        }
        if (More() && IsIdentChar(At())) Fail("Invalid number");
        std::string_view text = FText.substr(start, FPos - start);
        if (text.front() == '+') text.remove_prefix(1);
        if (isFloat) {
            long double value = 0;
            auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
                Fail("Invalid number " + AnsiString(text));
            T.Kind = Token::tFloat;
            T.Float = value;
            T.Text = AnsiString(text);
        } else {
            int64_t value = 0;
            auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (ec != std::errc() || end != text.data() + text.size()) Fail("Number too large");
            T.Kind = Token::tInteger;
            T.Int = value;
        }
    }

    // 'quoted' pieces and #nnn bytes, side by side without blanks.
    AnsiString Text() {
        AnsiString value;
        while (More() && (At() == '\'' || At() == '#')) {
            if (At() == '#') {
                ++FPos;
                int code = 0;
                if (More() && At() == '$') {
                    ++FPos;
                    if (!More() || HexValue(At()) < 0) Fail("Character code expected after #$");
                    for (; More() && HexValue(At()) >= 0; ++FPos)
                        if ((code = code * 16 + HexValue(At())) > 255) Fail("Character code above 255");
                } else {
                    if (!More() || !IsDigit(At())) Fail("Character code expected after #");
                    for (; More() && IsDigit(At()); ++FPos)
                        if ((code = code * 10 + (At() - '0')) > 255) Fail("Character code above 255");
                }
                value += static_cast<char>(code);
                continue;
            }
            ++FPos;
            for (;;) {
                if (!More() || At() == '\n' || At() == '\r') Fail("Unterminated string");
                char c = At();
                unsigned char u = static_cast<unsigned char>(c);
                // Raw accented letters would change with the editor's encoding:
                // they must be written as #nnn.
                if (u < 32 || u > 126)
                    Fail("Character #" + IntToStr(u) + " inside quotes; write it as #" + IntToStr(u));
                ++FPos;
                if (c == '\'') {
                    if (More() && At() == '\'') {
                        value += '\'';
                        ++FPos;
                        continue;
                    }
                    break;
                }
                value += c;
            }
        }
        return value;
    }

    AnsiString Bytes() {
        ++FPos;
        AnsiString bytes;
        int high = -1;
        for (;;) {
            SkipBlanks();
            if (!More()) Fail("Binary data without its closing }");
            char c = At();
            if (c == '}') {
                ++FPos;
                break;
            }
            int v = HexValue(c);
            if (v < 0) Fail("Invalid character in binary data");
            if (high < 0) {
                high = v;
            } else {
                bytes += static_cast<char>(high * 16 + v);
                high = -1;
            }
            ++FPos;
        }
        if (high >= 0) Fail("Odd number of hexadecimal digits in binary data");
        return bytes;
    }

    std::string_view FText;
    const AnsiString& FSource;
    size_t FPos = 0;
    int FLine = 1;
};

AnsiString Describe(const TObject* Instance) {
    if (auto* component = dynamic_cast<const TComponent*>(Instance); component && !component->Name().empty())
        return component->ClassName() + " " + component->Name();
    return Instance->ClassName();
}

// The exception in flight that already names its file and line; any other
// one gets the line of the last token read when it leaves the reader.
thread_local const void* tLocated = nullptr;

template <class E>
[[noreturn]] void Raise(const AnsiString& Source, int Line, const AnsiString& Message) {
    try {
        throw E(Where(Source, Line) + Message);
    } catch (Exception& e) {
        tLocated = &e;
        throw;
    }
}
}  // namespace

// --- set-up ---

TReader::TReader(std::string_view Text, AnsiString SourceName) : FSourceName(std::move(SourceName)) {
    TLexer(Text, FSourceName).Run(FTokens);
    FWatch = std::make_unique<TWatch>(*this);
}

TReader::~TReader() {
    for (TComponent* c : FLoaded)
        if (c) FWatch->RemoveFreeNotification(c);
}

void TReader::Watch(TComponent* Component) {
    if (std::find(FLoaded.begin(), FLoaded.end(), Component) != FLoaded.end()) return;
    // A free notification marks the component for good; take the mark back
    // off afterwards unless someone else asked for it too.
    bool marked = Component->FComponentState.Contains(csFreeNotification);
    Component->FreeNotification(FWatch.get());
    if (!marked) Component->FComponentState.Exclude(csFreeNotification);
    FLoaded.push_back(Component);
}

void TReader::Forget(TComponent* Component) {
    // Set to null, not erased: the fix-ups and the Loaded calls may be
    // walking these lists.
    std::replace(FLoaded.begin(), FLoaded.end(), Component, static_cast<TComponent*>(nullptr));
    for (TFixup& f : FFixups)
        if (f.Anchor == Component) f.Anchor = nullptr;
    for (TComponent*& reading : FReading)
        if (reading == Component) {
            reading = nullptr;
            FReadingFreed = true;
        }
}

void TReader::CheckReading() const {
    if (FReadingFreed)
        Error("A component was freed while its data was being read", FTokens[FPos > 0 ? FPos - 1 : 0].Line);
}

// --- tokens ---

const TReader::TToken& TReader::Peek(size_t Ahead) const {
    size_t at = std::min(FPos + Ahead, FTokens.size() - 1);
    return FTokens[at];
}

const TReader::TToken& TReader::Take() {
    const TToken& t = FTokens[FPos];
    if (FPos + 1 < FTokens.size()) ++FPos;
    return t;
}

bool TReader::PeekSymbol(char Symbol) const {
    return Peek().Kind == TToken::tSymbol && Peek().Symbol == Symbol;
}

bool TReader::PeekKeyword(std::string_view Keyword) const {
    return Peek().Kind == TToken::tIdent && SameText(Peek().Text, Keyword);
}

void TReader::Error(const AnsiString& Message, int Line) const {
    Raise<EReadError>(FSourceName, Line, Message);
}

void TReader::SyntaxError(const AnsiString& Message) const {
    const TToken& t = Peek();
    AnsiString found;
    switch (t.Kind) {
    case TToken::tIdent:
    case TToken::tSymbol:
        found = "'" + (t.Kind == TToken::tSymbol ? AnsiString(1, t.Symbol) : t.Text) + "'";
        break;
    case TToken::tInteger:
    case TToken::tFloat: found = "a number"; break;
    case TToken::tString: found = "a text"; break;
    case TToken::tBinary: found = "binary data"; break;
    case TToken::tEnd: found = "the end of the file"; break;
    }
    Error(Message + ", found " + found, t.Line);
}

void TReader::ExpectSymbol(char Symbol) {
    if (!PeekSymbol(Symbol)) SyntaxError(AnsiString("'") + Symbol + "' expected");
    Take();
}

const TReader::TToken& TReader::ExpectIdent() {
    if (Peek().Kind != TToken::tIdent) SyntaxError("Identifier expected");
    return Take();
}

// --- values for DefineProperty readers ---

TValueType TReader::NextValue() const {
    const TToken& t = Peek();
    switch (t.Kind) {
    case TToken::tInteger: return vaInteger;
    case TToken::tFloat: return vaFloat;
    case TToken::tString: return vaString;
    case TToken::tBinary: return vaBinary;
    case TToken::tIdent:
        if (SameText(t.Text, "True")) return vaTrue;
        if (SameText(t.Text, "False")) return vaFalse;
        if (SameText(t.Text, "nil")) return vaNil;
        return vaIdent;
    case TToken::tSymbol:
        switch (t.Symbol) {
        case '(': return vaList;
        case ')': return vaNull;
        case '[': return vaSet;
        case '<': return vaCollection;
        }
        break;
    case TToken::tEnd: break;
    }
    SyntaxError("A value expected");
}

void TReader::ReadListBegin() {
    ExpectSymbol('(');
    if (++FDepth > kMaxDepth) Error("Lists nested too deeply", Peek().Line);
}

void TReader::ReadListEnd() {
    ExpectSymbol(')');
    --FDepth;
}

AnsiString TReader::ReadString() {
    if (Peek().Kind != TToken::tString) SyntaxError("A text expected");
    return Take().Text;
}

int TReader::ReadInteger() {
    int64_t value = ReadInt64();
    if (value < INT32_MIN || value > INT32_MAX) Error("Integer out of range", FTokens[FPos - 1].Line);
    return static_cast<int>(value);
}

int64_t TReader::ReadInt64() {
    if (Peek().Kind != TToken::tInteger) SyntaxError("An integer expected");
    return Take().Int;
}

long double TReader::ReadFloat() {
    if (Peek().Kind == TToken::tInteger) return static_cast<long double>(Take().Int);
    if (Peek().Kind != TToken::tFloat) SyntaxError("A number expected");
    return Take().Float;
}

bool TReader::ReadBoolean() {
    TValueType v = NextValue();
    if (v != vaTrue && v != vaFalse) SyntaxError("True or False expected");
    Take();
    return v == vaTrue;
}

AnsiString TReader::ReadIdent() { return ExpectIdent().Text; }

char TReader::ReadChar() {
    if (Peek().Kind != TToken::tString || Peek().Text.size() != 1) SyntaxError("One character expected");
    return Take().Text[0];
}

void TReader::SkipValue() {
    switch (NextValue()) {
    case vaList:
        ReadListBegin();
        while (!EndOfList()) SkipValue();
        ReadListEnd();
        return;
    case vaSet:
        Take();
        while (!PeekSymbol(']')) {
            ExpectIdent();
            if (!PeekSymbol(']')) ExpectSymbol(',');
        }
        Take();
        return;
    case vaCollection:
        Take();
        if (++FDepth > kMaxDepth) Error("Collections nested too deeply", Peek().Line);
        while (PeekKeyword("item")) {
            Take();
            while (Peek().Kind == TToken::tIdent && Peek(1).Kind == TToken::tSymbol &&
                   Peek(1).Symbol == '=') {
                Take();
                Take();
                SkipValue();
            }
            if (!PeekKeyword("end")) SyntaxError("'end' expected");
            Take();
        }
        ExpectSymbol('>');
        --FDepth;
        return;
    case vaNull: SyntaxError("A value expected");
    default: Take();
    }
}

// --- properties defined by DefineProperties ---

void TReader::DefineProperty(std::string_view Name, const TReaderProc& ReadData, const TWriterProc&, bool) {
    if (FPropFound || FPropName.empty() || !SameText(Name, FPropName)) return;
    FPropFound = true;
    AnsiString name = std::exchange(FPropName, AnsiString());
    // Where the value ends, so that a reader that takes too little or too
    // much is caught here and not as a puzzling error further on.
    size_t start = FPos;
    int depth = FDepth;
    SkipValue();
    size_t end = FPos;
    FPos = start;
    if (!ReadData) {
        FPos = end;
        return;
    }
    ReadData(*this);
    if (FPos != end || FDepth != depth)
        Error("The value of " + name + " is not what its reader expects", FPropLine);
}

void TReader::DefineBinaryProperty(std::string_view Name, const TStreamProc& ReadData, const TStreamProc&,
                                   bool) {
    if (FPropFound || FPropName.empty() || !SameText(Name, FPropName)) return;
    FPropFound = true;
    AnsiString name = std::exchange(FPropName, AnsiString());
    if (Peek().Kind != TToken::tBinary) SyntaxError("Binary data expected for " + name);
    const AnsiString& bytes = Take().Text;
    if (!ReadData) return;
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    ReadData(stream);
}

// --- components ---

// "object Name: TClass", "inherited Name: TClass" or, for a component
// without a name, "object TClass".
struct TReader::THeader {
    bool Inherited;
    AnsiString Name;
    AnsiString ClassName;
    int Line;
};

TReader::THeader TReader::ReadHeader() {
    THeader header{PeekKeyword("inherited"), {}, {}, Take().Line};
    header.Name = ExpectIdent().Text;
    if (PeekSymbol(':')) {
        Take();
        header.ClassName = ExpectIdent().Text;
    } else {
        header.ClassName = std::exchange(header.Name, AnsiString());
    }
    if (header.Name.find('.') != AnsiString::npos || header.ClassName.find('.') != AnsiString::npos)
        Error("Invalid component name " + header.Name + ": " + header.ClassName, header.Line);
    return header;
}

void TReader::ReadRootComponent(TComponent* Root) {
    FRoot = Root;
    tLocated = nullptr;
    try {
        if (!PeekKeyword("inherited") && !PeekKeyword("object")) SyntaxError("'object' expected");
        auto [inherited, name, className, line] = ReadHeader();
        if (!Root->IsClassNamed(className))
            Error("The form is a " + className + ", not a " + Root->ClassName(), line);
        if (!name.empty() && !SameText(Root->Name(), name)) {
            // A second form of the same class gets a name of its own.
            AnsiString unique = name;
            TComponent* owner = Root->Owner();
            for (int n = 1; owner && owner->FindComponent(unique) && owner->FindComponent(unique) != Root;
                 ++n)
                unique = name + "_" + IntToStr(n);
            Root->SetName(unique);
        }
        Watch(Root);
        Root->Loading();
        Root->FComponentState.Include(csReading);
        FOwner = FParent = Root;
        FReading.push_back(Root);
        Root->ReadState(this);
        CheckReading();
        FReading.pop_back();
        Root->FComponentState.Exclude(csReading);
        if (Peek().Kind != TToken::tEnd) SyntaxError("End of file expected");
        DoFixups();
    } catch (Exception& e) {
        for (TComponent* c : FLoaded)
            if (c) c->FComponentState -= TComponentState{csLoading, csReading};
        if (tLocated != &e) {
            int line = FTokens[FPos > 0 ? FPos - 1 : 0].Line;
            e.SetMessage(Where(FSourceName, line) + e.Message());
        }
        tLocated = nullptr;
        throw;
    }
    for (size_t i = 0; i < FLoaded.size(); ++i)
        if (TComponent* c = FLoaded[i]) c->Loaded();
}

void TReader::ReadData(TComponent* Instance) {
    TComponent* anchor = std::exchange(FAnchor, Instance);
    std::vector<TStep> path = std::exchange(FPath, {});
    ReadProperties(Instance);
    FAnchor = anchor;
    FPath = std::move(path);

    TComponent* owner = FOwner;
    TComponent* parent = FParent;
    FParent = Instance->GetChildParent();
    FOwner = Instance->GetChildOwner();
    if (!FOwner) FOwner = FRoot;
    while (PeekKeyword("object") || PeekKeyword("inherited")) {
        ReadComponent();
        CheckReading();
    }
    FOwner = owner;
    FParent = parent;
    if (!PeekKeyword("end")) SyntaxError("A property, 'object' or 'end' expected");
    Take();
}

const TClassInfo& TReader::FindComponentClass(const AnsiString& ClassName, int Line) {
    const TClassInfo* cls = GetClass(ClassName);
    if (!cls && OnFindComponentClass) OnFindComponentClass(this, ClassName, cls);
    if (!cls) Raise<EClassNotFound>(FSourceName, Line, "Class " + ClassName + " not found");
    if (!cls->InheritsFrom(&TComponent::StaticClassInfo()))
        Error(ClassName + " is not a component class", Line);
    return *cls;
}

TComponent* TReader::ReadComponent() {
    if (++FDepth > kMaxDepth) Error("Components nested too deeply", Peek().Line);
    auto [inherited, name, className, line] = ReadHeader();

    TComponent* component = nullptr;
    if (inherited) {
        component = FOwner->FindComponent(name);
        if (!component && OnAncestorNotFound) OnAncestorNotFound(this, name, GetClass(className), component);
        if (!component) Error("Ancestor for '" + name + "' not found", line);
        if (!component->IsClassNamed(className))
            Error(name + " is a " + component->ClassName() + ", not a " + className, line);
    } else {
        const TClassInfo& cls = FindComponentClass(className, line);
        TObject* made = cls.Create(FOwner);
        component = dynamic_cast<TComponent*>(made);
        if (!component) {
            delete made;
            Error("The factory of " + className + " made no component", line);
        }
    }
    Watch(component);
    FReading.push_back(component);
    try {
        if (!inherited && !name.empty()) component->SetName(name);
        component->Loading();
        component->FComponentState.Include(csReading);
        if (component->HasParent()) component->SetParentComponent(FParent);
        component->ReadState(this);
        CheckReading();
        component->FComponentState.Exclude(csReading);
    } catch (...) {
        // A component read only in part does not stay behind; freeing it
        // also takes it (and what it owns) off the reader's lists.
        bool alive = FReading.back() != nullptr;
        FReading.pop_back();
        if (!inherited && alive) component->Free();
        throw;
    }
    FReading.pop_back();
    --FDepth;
    return component;
}

// --- properties ---

void TReader::ReadProperties(TPersistent* Instance) {
    while (Peek().Kind == TToken::tIdent && Peek(1).Kind == TToken::tSymbol && Peek(1).Symbol == '=') {
        ReadProperty(Instance);
        CheckReading();
    }
}

void TReader::ReadProperty(TPersistent* Instance) {
    const TToken& nameToken = Take();
    AnsiString path = nameToken.Text;
    int line = nameToken.Line;
    Take();  // '='
    auto unknown = [&] { Error("Property " + path + " does not exist in " + Describe(Instance), line); };

    TPersistent* holder = Instance;
    size_t mark = FPath.size();
    std::string_view rest = path;
    size_t dot;
    while ((dot = rest.find('.')) != std::string_view::npos) {
        AnsiString part(rest.substr(0, dot));
        rest.remove_prefix(dot + 1);
        const TPropInfo* step = GetPropInfo(holder, part);
        if (!step || step->Kind() != tkClass) unknown();
        TObject* object = step->GetObject(holder);
        auto* next = dynamic_cast<TPersistent*>(object);
        // Another component is reached by reference only, never written into.
        if (!next || dynamic_cast<TComponent*>(object))
            Error("Property " + AnsiString(path.substr(0, path.size() - rest.size() - 1)) + " of " +
                      Describe(Instance) + " holds no object of its own",
                  line);
        if (FPath.size() - mark >= kMaxDepth) Error("Property path too long", line);
        FPath.push_back({part});
        holder = next;
    }
    AnsiString last(rest);
    if (const TPropInfo* info = GetPropInfo(holder, last)) {
        ReadPropValue(holder, *info, path, line);
    } else {
        AnsiString name = std::exchange(FPropName, last);
        bool found = std::exchange(FPropFound, false);
        int propLine = std::exchange(FPropLine, line);
        DefineAllProperties(holder);
        bool handled = FPropFound;
        FPropName = name;
        FPropFound = found;
        FPropLine = propLine;
        if (!handled) unknown();
    }
    FPath.resize(mark);
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo& Info, const AnsiString& Path, int Line) {
    const TToken& value = Peek();
    auto invalid = [&]() { SyntaxError("Invalid value for property " + Path); };
    switch (Info.Kind()) {
    case tkInteger:
    case tkInt64:
        if (value.Kind == TToken::tInteger) {
            Info.SetOrd(Instance, Take().Int);
        } else if (int64_t named;
                   value.Kind == TToken::tIdent && IdentToInt(Info.PropType(), value.Text, named)) {
            Take();
            Info.SetOrd(Instance, named);
        } else {
            invalid();
        }
        return;
    case tkChar:
        if (value.Kind != TToken::tString || value.Text.size() != 1) invalid();
        Info.SetOrd(Instance, static_cast<unsigned char>(Take().Text[0]));
        return;
    case tkEnumeration: {
        int ordinal = value.Kind == TToken::tIdent ? GetEnumValue(Info.PropType(), value.Text) : -1;
        if (ordinal < 0) invalid();
        Take();
        Info.SetOrd(Instance, ordinal);
        return;
    }
    case tkFloat:
        if (value.Kind == TToken::tInteger) {
            Info.SetFloat(Instance, static_cast<long double>(Take().Int));
        } else if (value.Kind == TToken::tFloat) {
            // Parsed as the property's own type: a value the writer put out
            // comes back to the bit, without rounding twice.
            const AnsiString& text = Take().Text;
            const char* first = text.data();
            const char* last = text.data() + text.size();
            switch (Info.PropType().FloatType) {
            case ftSingle: {
                float f = 0;
                if (std::from_chars(first, last, f).ec != std::errc())
                    Error("Number out of range for " + Path, Line);
                Info.SetFloat(Instance, f);
                break;
            }
            case ftExtended: Info.SetFloat(Instance, value.Float); break;
            default: {
                double d = 0;
                if (std::from_chars(first, last, d).ec != std::errc())
                    Error("Number out of range for " + Path, Line);
                Info.SetFloat(Instance, d);
            }
            }
        } else {
            invalid();
        }
        return;
    case tkString:
    case tkLString:
    case tkWString:
        if (value.Kind != TToken::tString) invalid();
        Info.SetStr(Instance, Take().Text);
        return;
    case tkSet: {
        if (!PeekSymbol('[')) invalid();
        Take();
        uint32_t bits = 0;
        while (!PeekSymbol(']')) {
            const TToken& element = ExpectIdent();
            int ordinal = GetEnumValue(*Info.PropType().ElementType, element.Text);
            if (ordinal < 0) Error("Invalid element " + element.Text + " in set " + Path, element.Line);
            bits |= uint32_t(1) << ordinal;
            if (!PeekSymbol(']')) ExpectSymbol(',');
        }
        Take();
        Info.SetOrd(Instance, bits);
        return;
    }
    case tkClass:
        if (PeekSymbol('<')) {
            auto* collection = dynamic_cast<TCollection*>(Info.GetObject(Instance));
            if (!collection) invalid();
            FPath.push_back({Info.Name()});
            ReadCollection(collection, Path);
            FPath.pop_back();
        } else if (value.Kind == TToken::tIdent) {
            AnsiString name = Take().Text;
            if (!Info.IsWritable()) Error("Property " + Path + " is read-only", Line);
            // A property given twice takes the value given last.
            std::erase_if(FFixups, [&](const TFixup& f) {
                return f.Anchor == FAnchor && SameText(f.Prop, Info.Name()) && f.Path == FPath;
            });
            if (SameText(name, "nil")) Info.SetObject(Instance, nullptr);
            else FFixups.push_back({FAnchor, FPath, Info.Name(), name, Line});
        } else {
            invalid();
        }
        return;
    case tkMethod: {
        if (value.Kind != TToken::tIdent) invalid();
        AnsiString name = Take().Text;
        if (SameText(name, "nil")) {
            Info.SetMethod(Instance, TMethod());
            return;
        }
        TMethod handler = GetHandler(FRoot, name);
        if (!handler.Assigned())
            Raise<EMethodNotFound>(FSourceName, Line,
                                   "Method " + name + " for " + Path + " not found in " + FRoot->ClassName());
        Info.SetMethod(Instance, handler);
        return;
    }
    case tkVariant:
        switch (NextValue()) {
        case vaString: Info.SetVariant(Instance, Take().Text); return;
        case vaInteger: {
            int64_t v = Take().Int;
            if (v >= INT32_MIN && v <= INT32_MAX) Info.SetVariant(Instance, static_cast<int>(v));
            else Info.SetVariant(Instance, v);
            return;
        }
        case vaFloat: Info.SetVariant(Instance, static_cast<double>(Take().Float)); return;
        case vaTrue:
        case vaFalse: Info.SetVariant(Instance, ReadBoolean()); return;
        case vaNil:
            Take();
            Info.SetVariant(Instance, std::any());
            return;
        default: invalid();
        }
    }
}

void TReader::ReadCollection(TCollection* Collection, const AnsiString& Path) {
    int line = Take().Line;  // '<'
    if (++FDepth > kMaxDepth) Error("Collections nested too deeply", line);
    struct TUpdate {
        TCollection* C;
        ~TUpdate() { C->EndUpdate(); }
    };
    Collection->BeginUpdate();
    TUpdate update{Collection};
    // Fix-ups waiting for the old items would find new ones in their place.
    size_t at = FPath.size() - 1;
    std::erase_if(FFixups, [&](const TFixup& f) {
        return f.Anchor == FAnchor && f.Path.size() > at &&
               std::equal(FPath.begin(), FPath.begin() + at, f.Path.begin()) &&
               SameText(f.Path[at].Prop, FPath[at].Prop) && f.Path[at].Index >= 0;
    });
    Collection->Clear();
    while (PeekKeyword("item")) {
        Take();
        TCollectionItem* item = Collection->Add();
        FPath.back().Index = item->Index();
        ReadProperties(item);
        if (!PeekKeyword("end")) SyntaxError("A property of the item of " + Path + " or 'end' expected");
        Take();
    }
    FPath.back().Index = -1;
    ExpectSymbol('>');
    --FDepth;
}

// --- references, after the whole form is read ---

TObject* TReader::ResolveFixup(const TFixup& Fixup) {
    TObject* object = Fixup.Anchor;
    for (const TStep& step : Fixup.Path) {
        const TPropInfo* info = GetPropInfo(object, step.Prop);
        if (!info || info->Kind() != tkClass) return nullptr;
        object = info->GetObject(object);
        if (step.Index >= 0) {
            auto* collection = dynamic_cast<TCollection*>(object);
            if (!collection || step.Index >= collection->Count()) return nullptr;
            object = collection->Items(step.Index);
        }
        if (!object) return nullptr;
    }
    return object;
}

void TReader::DoFixups() {
    for (size_t i = 0; i < FFixups.size(); ++i) {
        const TFixup& f = FFixups[i];
        // Its component went meanwhile.
        if (!f.Anchor) continue;
        TObject* object = ResolveFixup(f);
        const TPropInfo* info = object ? GetPropInfo(object, f.Prop) : nullptr;
        if (!info) continue;
        TComponent* target = FindNestedComponent(FRoot, f.Name);
        if (!target) {
            std::string_view name = f.Name;
            size_t dot = name.find('.');
            std::string_view first = name.substr(0, dot);
            std::string_view rest = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
            TComponent* top = SameText(first, FRoot->Name()) ? FRoot : FindGlobalComponent(first);
            target = top && !rest.empty() ? FindNestedComponent(top, rest) : top;
        }
        if (!target) Error("Component " + f.Name + " not found for property " + f.Prop, f.Line);
        try {
            info->SetObject(object, target);
        } catch (Exception& e) {
            if (tLocated != &e) {
                e.SetMessage(Where(FSourceName, f.Line) + e.Message());
                tLocated = &e;
            }
            throw;
        }
    }
    FFixups.clear();
}
