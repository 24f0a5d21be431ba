#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/classes/Collection.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Strings.h"

// A value written by a DefineProperty writer: a scalar as it will stand in
// the file, or a list. Kept whole until the property ends, so that a list is
// put on one line when it fits and one item a line when it does not.
struct TWriter::TNode {
    bool IsList = false;
    AnsiString Text;
    std::vector<TNode> Items;
};

namespace {
constexpr int kMaxDepth = 64;
constexpr size_t kWidth = 100;
constexpr size_t kHexPerLine = 64;

AnsiString Spaces(int Count) { return AnsiString(static_cast<size_t>(Count), ' '); }

bool IsIdent(std::string_view S) {
    auto start = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (S.empty() || !start(S[0])) return false;
    for (char c : S.substr(1))
        if (!start(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

// Printable ASCII in quotes, every other byte as #nnn: 'Atenci'#243'n'.
AnsiString QuoteText(std::string_view S) {
    if (S.empty()) return "''";
    AnsiString out;
    bool quoted = false;
    for (char c : S) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 32 && u <= 126) {
            if (!quoted) out += '\'';
            quoted = true;
            out += c;
            if (c == '\'') out += '\'';
        } else {
            if (quoted) out += '\'';
            quoted = false;
            out += '#' + IntToStr(u);
        }
    }
    if (quoted) out += '\'';
    return out;
}

// The shortest text that reads back as the same value of the property's type.
AnsiString FloatText(long double Value, TFloatType Type) {
    if (!std::isfinite(Value))
        throw EWriteError("A form cannot hold the number " +
                          AnsiString(std::isnan(Value) ? "NaN" : "infinity"));
    char buffer[64];
    std::to_chars_result r;
    if (Type == ftSingle) r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(Value));
    else if (Type == ftExtended) r = std::to_chars(buffer, buffer + sizeof buffer, Value);
    else r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(Value));
    AnsiString text(buffer, r.ptr);
    // A float keeps a point or an exponent, so a list read back tells it from an integer.
    if (text.find_first_of(".e") == AnsiString::npos) text += ".0";
    return text;
}

}  // namespace

AnsiString TWriter::Flat(const TNode& Node) {
    if (!Node.IsList) return Node.Text;
    AnsiString out = "(";
    for (size_t i = 0; i < Node.Items.size(); ++i) {
        if (i) out += ' ';
        out += Flat(Node.Items[i]);
    }
    return out + ")";
}

void TWriter::AppendNode(AnsiString& Out, const TNode& Node, int Indent) {
    auto column = [&Out] { return Out.size() - (Out.rfind('\n') + 1); };
    AnsiString flat = Flat(Node);
    if (!Node.IsList || column() + flat.size() <= kWidth || Node.Items.empty()) {
        Out += flat;
        return;
    }
    // A list of texts (the lines of a string list) reads best one a line;
    // any other list is filled line by line.
    bool texts = std::all_of(Node.Items.begin(), Node.Items.end(), [](const TNode& Item) {
        return !Item.IsList && (Item.Text[0] == '\'' || Item.Text[0] == '#');
    });
    Out += '(';
    for (size_t i = 0; i < Node.Items.size(); ++i) {
        const TNode& item = Node.Items[i];
        if (texts || (i > 0 && column() + 1 + Flat(item).size() > kWidth)) {
            Out += '\n' + Spaces(Indent + 2);
        } else if (i > 0) {
            Out += ' ';
        }
        AppendNode(Out, item, Indent + 2);
    }
    Out += ')';
}

namespace {
AnsiString VariantText(const std::any& Value, const AnsiString& Name) {
    if (const auto* s = std::any_cast<AnsiString>(&Value)) return QuoteText(*s);
    if (const auto* s = std::any_cast<const char*>(&Value)) return QuoteText(*s ? *s : "");
    if (const auto* b = std::any_cast<bool>(&Value)) return *b ? "True" : "False";
    if (const auto* i = std::any_cast<int>(&Value)) return IntToStr(*i);
    if (const auto* i = std::any_cast<int64_t>(&Value)) return IntToStr(*i);
    if (const auto* d = std::any_cast<double>(&Value)) return FloatText(*d, ftDouble);
    if (const auto* f = std::any_cast<float>(&Value)) return FloatText(*f, ftSingle);
    if (const auto* e = std::any_cast<long double>(&Value)) return FloatText(*e, ftExtended);
    throw EWriteError("Property " + Name + " holds a value of a kind a form cannot hold");
}

// Clears a state flag on the way out, also when the write fails.
class TStateScope {
public:
    TStateScope(TComponentState& State, TComponentStateFlag Flag) : FState(State), FFlag(Flag) {
        FState.Include(Flag);
    }
    ~TStateScope() { FState.Exclude(FFlag); }
    TStateScope(const TStateScope&) = delete;
    TStateScope& operator=(const TStateScope&) = delete;

private:
    TComponentState& FState;
    TComponentStateFlag FFlag;
};
}  // namespace

TWriter::TWriter() = default;
TWriter::~TWriter() = default;

AnsiString TWriter::WriteRootComponent(TComponent* Root) {
    FRoot = Root;
    FText.clear();
    WriteComponent(Root, 0);
    return std::move(FText);
}

void TWriter::WriteLine(int Indent, std::string_view Text) {
    FText += Spaces(Indent);
    FText += Text;
    FText += '\n';
}

void TWriter::WriteComponent(TComponent* Component, int Indent) {
    if (Indent / 2 > kMaxDepth) throw EWriteError("Components nested too deeply under " + FRoot->Name());
    TStateScope writing(Component->FComponentState, csWriting);
    const AnsiString& name = Component->Name();
    WriteLine(Indent,
              "object " + (name.empty() ? Component->ClassName() : name + ": " + Component->ClassName()));
    WriteProperties(Component, AnsiString(), Indent + 2, 0);
    Component->GetChildren([&](TComponent* Child) { WriteComponent(Child, Indent + 2); }, FRoot);
    WriteLine(Indent, "end");
}

void TWriter::WriteProperties(TPersistent* Instance, const AnsiString& Prefix, int Indent, int Depth) {
    if (Depth > kMaxDepth) throw EWriteError("Sub-objects nested too deeply at " + Prefix);
    for (const TPropInfo* info : GetPropList(Instance)) {
        if (!info->IsStored(Instance)) continue;
        AnsiString name = Prefix + info->Name();
        if (info->Kind() == tkClass) {
            TObject* object = info->GetObject(Instance);
            if (!object) continue;
            if (auto* component = dynamic_cast<TComponent*>(object)) {
                if (info->IsWritable()) WriteLine(Indent, name + " = " + ReferenceName(component));
            } else if (auto* collection = dynamic_cast<TCollection*>(object)) {
                if (collection->Count() == 0) continue;
                WriteLine(Indent, name + " = <");
                WriteCollection(collection, Indent + 2, Depth + 1);
                FText.insert(FText.size() - 1, ">");
            } else if (auto* persistent = dynamic_cast<TPersistent*>(object)) {
                WriteProperties(persistent, name + ".", Indent, Depth + 1);
            }
            continue;
        }
        if (!info->IsWritable() || info->IsDefaultValue(Instance)) continue;
        AnsiString value;
        switch (info->Kind()) {
        case tkInteger:
            if (!IntToIdent(info->PropType(), info->GetOrd(Instance), value))
                value = IntToStr(info->GetOrd(Instance));
            break;
        case tkInt64: value = IntToStr(info->GetInt64(Instance)); break;
        case tkChar: value = QuoteText(AnsiString(1, static_cast<char>(info->GetOrd(Instance)))); break;
        case tkEnumeration: value = info->GetEnum(Instance); break;
        case tkFloat: value = FloatText(info->GetFloat(Instance), info->PropType().FloatType); break;
        case tkString:
        case tkLString:
        case tkWString: value = QuoteText(info->GetStr(Instance)); break;
        case tkSet: value = "[" + StringReplace(info->GetSet(Instance), ",", ", ", rfReplaceAll) + "]"; break;
        case tkMethod: {
            // A handler set in code has no name to write; it is set again by that code.
            TMethod method = info->GetMethod(Instance);
            if (method.Name().empty()) continue;
            if (!IsIdent(method.Name()))
                throw EWriteError("Handler name " + QuoteText(method.Name()) + " of " + name +
                                  " is no identifier");
            value = method.Name();
            break;
        }
        case tkVariant: value = VariantText(info->GetVariant(Instance), name); break;
        case tkClass: continue;
        }
        WriteLine(Indent, name + " = " + value);
    }
    FPrefix = Prefix;
    FIndent = Indent;
    DefineAllProperties(Instance);
}

void TWriter::WriteCollection(TCollection* Collection, int Indent, int Depth) {
    for (int i = 0; i < Collection->Count(); ++i) {
        WriteLine(Indent, "item");
        WriteProperties(Collection->Items(i), AnsiString(), Indent + 2, Depth);
        WriteLine(Indent, "end");
    }
}

AnsiString TWriter::ReferenceName(TComponent* Component) const {
    auto unreachable = [&] {
        throw EWriteError("Component " +
                          (Component->Name().empty() ? Component->ClassName() : Component->Name()) +
                          " cannot be named from " + FRoot->ClassName());
    };
    if (Component == FRoot && !FRoot->Name().empty()) return FRoot->Name();
    if (Component->Name().empty()) unreachable();
    AnsiString path = Component->Name();
    for (TComponent* owner = Component->Owner(); owner; owner = owner->Owner()) {
        if (owner == FRoot) return path;
        if (owner->Name().empty()) break;
        path = owner->Name() + "." + path;
        if (FindGlobalComponent(owner->Name()) == owner) return path;
    }
    unreachable();
    return path;
}

// --- values of DefineProperty writers ---

void TWriter::AddValue(TNode Node) {
    if (!FValues) throw EWriteError("A value written outside a property");
    (FOpenLists.empty() ? *FValues : *FOpenLists.back()).push_back(std::move(Node));
}

void TWriter::WriteListBegin() {
    AddValue(TNode{true, {}, {}});
    std::vector<TNode>& target = FOpenLists.empty() ? *FValues : *FOpenLists.back();
    FOpenLists.push_back(&target.back().Items);
}

void TWriter::WriteListEnd() {
    if (FOpenLists.empty()) throw EWriteError("A list ended that was not begun");
    FOpenLists.pop_back();
}

void TWriter::WriteString(std::string_view Value) { AddValue(TNode{false, QuoteText(Value), {}}); }

void TWriter::WriteInteger(int64_t Value) { AddValue(TNode{false, IntToStr(Value), {}}); }

void TWriter::WriteFloat(long double Value) { AddValue(TNode{false, FloatText(Value, ftExtended), {}}); }

void TWriter::WriteBoolean(bool Value) { AddValue(TNode{false, Value ? "True" : "False", {}}); }

void TWriter::WriteIdent(std::string_view Ident) {
    if (!IsIdent(Ident)) throw EWriteError(QuoteText(Ident) + " is no identifier");
    AddValue(TNode{false, AnsiString(Ident), {}});
}

void TWriter::WriteChar(char Value) { AddValue(TNode{false, QuoteText(std::string_view(&Value, 1)), {}}); }

void TWriter::WriteNodeProperty(const AnsiString& Name, int Indent, const TNode& Node) {
    AnsiString line = Spaces(Indent) + Name + " = ";
    AppendNode(line, Node, Indent);
    FText += line;
    FText += '\n';
}

void TWriter::DefineProperty(std::string_view Name, const TReaderProc&, const TWriterProc& WriteData,
                             bool HasData) {
    if (!HasData || !WriteData) return;
    AnsiString name = FPrefix + AnsiString(Name);
    std::vector<TNode> values;
    FValues = &values;
    FOpenLists.clear();
    try {
        WriteData(*this);
    } catch (...) {
        FValues = nullptr;
        FOpenLists.clear();
        throw;
    }
    FValues = nullptr;
    bool open = !FOpenLists.empty();
    FOpenLists.clear();
    if (open) throw EWriteError("A list of " + name + " was not ended");
    if (values.size() != 1)
        throw EWriteError(name + " wrote " + IntToStr(static_cast<int64_t>(values.size())) +
                          " values instead of one");
    WriteNodeProperty(name, FIndent, values[0]);
}

void TWriter::DefineBinaryProperty(std::string_view Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData) {
    if (!HasData || !WriteData) return;
    TMemoryStream stream;
    WriteData(stream);
    AnsiString bytes = stream.DataString();
    AnsiString line = FPrefix + AnsiString(Name) + " = {";
    static const char digits[] = "0123456789ABCDEF";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % (kHexPerLine / 2) == 0) {
            WriteLine(FIndent, line);
            line = Spaces(2);
        }
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        line += digits[b >> 4];
        line += digits[b & 15];
    }
    WriteLine(FIndent, line + "}");
}
