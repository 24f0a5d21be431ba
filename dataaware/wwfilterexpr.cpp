#include "dataaware/wwfilterexpr.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "dataaware/wwhelpers.h"
#include "dataaware/wwstack.h"
#include "platform/db/DataSet.h"
#include "platform/db/DbfFilter.h"
#include "platform/db/Table.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"

namespace {

constexpr size_t HeaderSize = 10;
constexpr size_t SlotSize = 14;
constexpr size_t MaxBlockSize = 65535;  // the header keeps sizes and offsets in 16 bits

// Node classes, operators and constant types of the engine's filter block.
enum : uint32_t { ncBinary = 2, ncField = 4, ncConstant = 5 };
enum : uint32_t { coField = 13, coConstant = 14 };

bool IsNameStart(char C) {
    auto b = static_cast<unsigned char>(C);
    switch (C) {
    case '!':
    case '#':
    case '$':
    case '*':
    case '+':
    case '-':
    case '/': return true;
    default: return (b >= 64 && b <= 90) || (b >= 95 && b <= 122) || b >= 146;
    }
}

bool IsNameChar(char C) { return IsNameStart(C) || C == ' ' || (C >= '0' && C <= '9'); }

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

enum TTokenKind { tkNone, tkParen, tkCompare, tkLogical, tkName, tkNumber, tkString };

struct TToken {
    TTokenKind Kind = tkNone;
    AnsiString Text;
    size_t End = 0;  // where the text goes on after the token
};

uint32_t OperatorCode(const AnsiString& Op) {
    AnsiString op = UpperCase(Op);
    if (op == "=") return 3;
    if (op == "<>") return 4;
    if (op == ">") return 5;
    if (op == "<") return 6;
    if (op == ">=") return 7;
    if (op == "<=") return 8;
    if (op == "AND") return 10;
    if (op == "OR") return 11;
    if (op == "+") return 16;
    // The binary minus: the engine reads its unary code between two operands
    // the same way, but the block says what it means.
    if (op == "-") return 17;
    if (op == "*") return 18;
    return 19;  // "/"
}

TNodeConstType ConstTypeOf(TFieldType Type) {
    switch (Type) {
    case ftString: return nctString;
    case ftFloat:
    case ftCurrency: return nctFloat;
    case ftDateTime: return nctDateTime;
    case ftDate: return nctDate;
    case ftTime: return nctTime;
    case ftBoolean: return nctBoolean;
    case ftInteger:
    case ftAutoInc: return nctInteger;
    case ftBCD: return nctBCD;
    case ftSmallint:
    case ftWord: return nctSmallInt;
    default: return nctField;
    }
}

// The engine's type and size of a constant.
struct TEngineType {
    uint16_t Type;
    uint16_t Size;
};

class TFilterParser {
public:
    TFilterParser(std::string_view Text, TDataSet* Table) : FText(Text), FTable(Table) {}

    ~TFilterParser() {
        while (TNode* node = FNodes.Pop()) delete node;
    }

    std::unique_ptr<TNode> Parse() {
        if (!Expression()) return nullptr;
        // Text after a complete expression would be ignored silently.
        if (SkipBlanks() < FText.size() || FNodes.Count() != 1) return nullptr;
        return std::unique_ptr<TNode>(FNodes.Pop());
    }

private:
    size_t SkipBlanks() const {
        size_t p = FPos;
        while (p < FText.size() && (FText[p] == ' ' || FText[p] == '\t')) ++p;
        return p;
    }

    TToken Peek(bool LogicalAllowed) const {
        TToken token;
        size_t p = SkipBlanks();
        if (p >= FText.size()) return token;
        const char c = FText[p];
        auto take = [&](TTokenKind Kind, size_t End) {
            token.Kind = Kind;
            token.Text = AnsiString(FText.substr(p, End - p));
            while (!token.Text.empty() && token.Text.back() == ' ') token.Text.pop_back();
            token.End = End;
            return token;
        };
        if (c == '(' || c == ')') return take(tkParen, p + 1);
        auto isCompare = [](char C) { return C == '<' || C == '=' || C == '>'; };
        if (isCompare(c))
            return take(tkCompare, p + (p + 1 < FText.size() && isCompare(FText[p + 1]) ? 2 : 1));
        if (LogicalAllowed) {
            for (std::string_view word : {std::string_view("AND"), std::string_view("OR")}) {
                if (p + word.size() > FText.size() || !SameText(FText.substr(p, word.size()), word)) continue;
                size_t after = p + word.size();
                // Only a whole word: "ORDERS" is a name.
                if (after < FText.size() && FText[after] != ' ' && IsNameChar(FText[after])) continue;
                return take(tkLogical, after);
            }
        }
        if (IsNameStart(c)) {
            size_t end = p + 1;
            while (end < FText.size() && IsNameChar(FText[end])) ++end;
            return take(tkName, end);
        }
        if (IsDigit(c) || (c == '-' && p + 1 < FText.size() && IsDigit(FText[p + 1]))) {
            size_t end = p + 1;
            while (end < FText.size() && IsDigit(FText[end])) ++end;
            const char decimal = FormatSettings().DecimalSeparator;
            if (end + 1 < FText.size() && FText[end] == decimal && IsDigit(FText[end + 1])) {
                end += 2;
                while (end < FText.size() && IsDigit(FText[end])) ++end;
            }
            return take(tkNumber, end);
        }
        if (c == '"') {
            size_t close = FText.find('"', p + 1);
            if (close != std::string_view::npos) return take(tkString, close + 1);
        }
        return token;
    }

    void Take(const TToken& Token) {
        FPos = Token.End;
        FSymbols.Push(Token.Text);
    }

    // A rule that completes takes its symbols off the stack and leaves its own.
    bool Reduce(int Symbols, const char* Rule) {
        for (int i = 0; i < Symbols; ++i) {
            if (FSymbols.Count() == 0) return false;
            FSymbols.Pop();
        }
        FSymbols.Push(Rule);
        return true;
    }

    bool Expression() {
        if (!Relation()) return false;
        for (;;) {
            TToken op = Peek(true);
            if (op.Kind != tkLogical) break;
            Take(op);
            if (!Relation() || !MakeNode(nkLogical, op.Text) || !Reduce(3, "L")) return false;
        }
        return Reduce(1, "L");
    }

    bool Relation() {
        if (!Sum()) return false;
        TToken op = Peek(false);
        if (op.Kind == tkCompare && (op.Text == "=" || op.Text == "<>" || op.Text == "<" || op.Text == ">" ||
                                     op.Text == "<=" || op.Text == ">=")) {
            Take(op);
            if (!Sum() || !MakeNode(nkComparison, op.Text)) return false;
            return Reduce(3, "R");
        }
        return Reduce(1, "R");
    }

    bool Sum() { return Arithmetic(&TFilterParser::Term, "+", "-", "E"); }
    bool Term() { return Arithmetic(&TFilterParser::Factor, "*", "/", "T"); }

    // Operands of the next rule joined, left to right, by one of two operators.
    bool Arithmetic(bool (TFilterParser::*Operand)(), const char* Op1, const char* Op2, const char* Rule) {
        if (!(this->*Operand)()) return false;
        for (;;) {
            TToken op = Peek(false);
            if (op.Kind != tkName || (op.Text != Op1 && op.Text != Op2)) break;
            Take(op);
            if (!(this->*Operand)() || !MakeNode(nkArithmetic, op.Text) || !Reduce(3, Rule)) return false;
        }
        return Reduce(1, Rule);
    }

    bool Factor() {
        TToken token = Peek(false);
        if (token.Kind == tkParen && token.Text == "(") {
            Take(token);
            if (!Expression()) return false;
            TToken close = Peek(false);
            if (close.Kind != tkParen || close.Text != ")") return false;
            Take(close);
            // The inner expression's node stands for the parentheses.
            return Reduce(3, "P");
        }
        if (token.Kind != tkName && token.Kind != tkNumber && token.Kind != tkString) return false;
        Take(token);
        auto node = std::make_unique<TNode>();
        node->Kind = nkOperand;
        node->Text = token.Text;
        FNodes.Push(node.release());
        return Reduce(1, "P");
    }

    bool MakeNode(TNodeKind Kind, const AnsiString& Op) {
        if (FNodes.Count() < 2) return false;
        std::unique_ptr<TNode> right(FNodes.Pop());
        std::unique_ptr<TNode> left(FNodes.Pop());
        if (left->Kind == nkOperand) {
            TField* field = FTable ? FTable->FindField(left->Text) : nullptr;
            if (!field) {
                MessageDlg(left->Text + "\rField not found in Table. ", mtWarning, {mbOK}, 0);
                return false;
            }
            if (right->Kind == nkOperand) {
                right->ConstType = ConstTypeOf(field->DataType());
                if (right->ConstType == nctBCD) right->Size = field->Size();
            }
        }
        auto node = std::make_unique<TNode>();
        node->Kind = Kind;
        node->Text = Op;
        node->Left = std::move(left);
        node->Right = std::move(right);
        FNodes.Push(node.release());
        return true;
    }

    std::string_view FText;
    size_t FPos = 0;
    TDataSet* FTable;
    TStackStr FSymbols;
    TStackPtr FNodes;
};

AnsiString Unquoted(const AnsiString& Text) {
    if (Text.size() >= 2 && Text.front() == '"' && Text.back() == '"') return Text.substr(1, Text.size() - 2);
    if (!Text.empty() && Text.front() == '"') return Text.substr(1);
    return Text;
}

int CountNodes(const TNode* Node) {
    return Node ? 1 + CountNodes(Node->Left.get()) + CountNodes(Node->Right.get()) : 0;
}

TEngineType EngineTypeOf(const TNode& Node) {
    switch (Node.ConstType) {
    case nctString:
        return {1, static_cast<uint16_t>(std::min<size_t>(Unquoted(Node.Text).size(), 65534) + 1)};
    case nctFloat: return {7, 8};
    case nctDateTime: return {11, 8};
    case nctDate: return {2, 4};
    case nctTime: return {10, 4};
    case nctBoolean: return {4, 2};
    case nctInteger: return {6, 4};
    case nctBCD: return {8, 34};
    case nctSmallInt: return {5, 2};
    default: return {0, 0};
    }
}

// The bytes an operand takes in the literal area.
size_t LiteralSize(const TNode& Node) {
    if (Node.Kind != nkOperand) return 0;
    if (Node.ConstType == nctField) return Node.Text.size() + 1;
    return EngineTypeOf(Node).Size;
}

size_t LiteralBytes(const TNode* Node) {
    if (!Node) return 0;
    return LiteralSize(*Node) + LiteralBytes(Node->Left.get()) + LiteralBytes(Node->Right.get());
}

// The engine's BCD of a number: precision 32, the sign and the decimals in
// the second byte, then the digits two to a byte, most significant first.
void WriteBcd(uint8_t* Out, long double Value, int Decimals) {
    char text[128];
    std::snprintf(text, sizeof text, "%.*Lf", Decimals, std::fabs(Value));
    AnsiString digits;
    for (const char* p = text; *p; ++p)
        if (IsDigit(*p)) digits += *p;
    while (digits.size() > 1 && digits[0] == '0') digits.erase(0, 1);
    constexpr size_t Precision = 32;
    if (digits.size() > Precision)
        throw EConvertError("'" + FloatToStr(Value) + "' does not fit a BCD value");
    digits.insert(0, Precision - digits.size(), '0');
    Out[0] = static_cast<uint8_t>(Precision);
    Out[1] = static_cast<uint8_t>((Value < 0 ? 0x80 : 0) | (Decimals & 0x3F));
    for (size_t i = 0; i < Precision; ++i) {
        auto nibble = static_cast<uint8_t>(digits[i] - '0');
        Out[2 + i / 2] = static_cast<uint8_t>(Out[2 + i / 2] | (i % 2 == 0 ? nibble << 4 : nibble));
    }
}

class TBlockWriter {
public:
    TBlockWriter(std::vector<uint8_t>& Block, int Nodes)
        : FBlock(Block), FNext(Nodes - 1), FLiteralStart(HeaderSize + SlotSize * static_cast<size_t>(Nodes)) {
    }

    void Write(TNode& Node) {
        if (Node.Left) Write(*Node.Left);
        if (Node.Right) Write(*Node.Right);
        Node.SlotOffset = static_cast<int>(SlotSize) * FNext--;
        uint8_t* slot = FBlock.data() + HeaderSize + static_cast<size_t>(Node.SlotOffset);
        if (Node.Kind != nkOperand) {
            Put32(slot, ncBinary);
            Put32(slot + 4, OperatorCode(Node.Text));
            Put16(slot + 8, static_cast<uint32_t>(Node.Left->SlotOffset));
            Put16(slot + 10, static_cast<uint32_t>(Node.Right->SlotOffset));
        } else if (Node.ConstType == nctField) {
            Put32(slot, ncField);
            Put32(slot + 4, coField);
            Put16(slot + 8, static_cast<uint32_t>(++FFields));
            Put16(slot + 10, static_cast<uint32_t>(FLiteral));
            WriteText(Node.Text);
        } else {
            TEngineType type = EngineTypeOf(Node);
            Put32(slot, ncConstant);
            Put32(slot + 4, coConstant);
            Put16(slot + 8, type.Type);
            Put16(slot + 10, type.Size);
            Put16(slot + 12, static_cast<uint32_t>(FLiteral));
            WriteConstant(Node, type);
        }
    }

    size_t LiteralEnd() const { return FLiteralStart + FLiteral; }

private:
    static void Put16(uint8_t* P, uint32_t V) {
        P[0] = static_cast<uint8_t>(V);
        P[1] = static_cast<uint8_t>(V >> 8);
    }
    static void Put32(uint8_t* P, uint32_t V) {
        Put16(P, V);
        Put16(P + 2, V >> 16);
    }
    uint8_t* Literal() { return FBlock.data() + FLiteralStart + FLiteral; }

    void WriteText(const AnsiString& Text) {
        // Texts are kept in the table's own character set, which is ours.
        std::memcpy(Literal(), Text.data(), Text.size());
        FLiteral += Text.size() + 1;
    }

    template <class T>
    void WriteValue(T Value) {
        std::memcpy(Literal(), &Value, sizeof Value);
        FLiteral += sizeof Value;
    }

    void WriteConstant(const TNode& Node, TEngineType Type) {
        const AnsiString text = Unquoted(Node.Text);
        switch (Node.ConstType) {
        case nctString: {
            // A token's trailing blanks are gone already; a quoted one keeps its own.
            AnsiString value = text;
            value.resize(Type.Size - 1u);
            WriteText(value);
            break;
        }
        case nctFloat: WriteValue(static_cast<double>(StrToFloat(Node.Text))); break;
        case nctBCD:
            WriteBcd(Literal(), StrToFloat(Node.Text), Node.Size);
            FLiteral += Type.Size;
            break;
        case nctInteger: WriteValue(static_cast<int32_t>(StrToInt(Node.Text))); break;
        case nctSmallInt: {
            int value = StrToInt(Node.Text);
            if (value < -32768 || value > 65535)
                throw EConvertError("'" + Node.Text + "' is not a valid small integer value");
            WriteValue(static_cast<int16_t>(value));
            break;
        }
        case nctBoolean:
            WriteValue(
                static_cast<uint16_t>(!text.empty() && (text[0] == 'T' || text[0] == 't') ? 0xFFFF : 0));
            break;
        case nctDate: WriteValue(static_cast<int32_t>(DateTimeToTimeStamp(StrToDate(text)).Date)); break;
        case nctTime: WriteValue(static_cast<int32_t>(DateTimeToTimeStamp(StrToTime(text)).Time)); break;
        case nctDateTime: {
            TDateTime value = text.find(' ') != AnsiString::npos ? StrToDateTime(text) : StrToDate(text);
            WriteValue(static_cast<double>(TimeStampToMSecs(DateTimeToTimeStamp(value))));
            break;
        }
        default: break;
        }
    }

    std::vector<uint8_t>& FBlock;
    int FNext;
    size_t FLiteralStart;
    size_t FLiteral = 0;
    int FFields = 0;
};

// Reads the records of an open data set again under its new filters.
void RefreshDataSet(TDataSet* DataSet) {
    if (!DataSet->Active()) return;
    if (TableHasIndexFields(DataSet)) return DataSet->Refresh();
    DataSet->UpdateCursorPos();
    DataSet->Resync({});
}

}  // namespace

std::unique_ptr<TNode> ParseFilterExpression(std::string_view Text, TDataSet* Table) {
    TFilterParser parser(Text, Table);
    return parser.Parse();
}

std::vector<uint8_t> BuildFilterBlock(std::string_view Text, TDataSet* Table) {
    std::unique_ptr<TNode> root = ParseFilterExpression(Text, Table);
    if (!root) return {};
    const int nodes = CountNodes(root.get());
    // The literal area is as large as the expression's names and constants.
    const size_t size = HeaderSize + SlotSize * static_cast<size_t>(nodes) + LiteralBytes(root.get());
    if (size > MaxBlockSize) return {};
    std::vector<uint8_t> block(size, 0);
    TBlockWriter writer(block, nodes);
    writer.Write(*root);
    const uint16_t header[5] = {1, static_cast<uint16_t>(writer.LiteralEnd()), static_cast<uint16_t>(nodes),
                                static_cast<uint16_t>(HeaderSize),
                                static_cast<uint16_t>(HeaderSize + SlotSize * static_cast<size_t>(nodes))};
    for (int i = 0; i < 5; ++i) {
        block[static_cast<size_t>(2 * i)] = static_cast<uint8_t>(header[i]);
        block[static_cast<size_t>(2 * i + 1)] = static_cast<uint8_t>(header[i] >> 8);
    }
    return block;
}

void DropFilter(TDataSet* DataSet, int& Handle) {
    if (Handle && DataSet) DataSet->RemoveOwnFilter(Handle);
    Handle = 0;
}

void* LoadedQueryDriverModule() { return nullptr; }

bool ApplyFilterText(std::string_view Text, TDataSet* Table, int& Handle, bool ApplyWhenClosed) {
    if (!Table->Active() && !ApplyWhenClosed) {
        Handle = 0;
        return true;
    }
    auto* table = dynamic_cast<TTable*>(Table);
    const int tableType = table ? static_cast<int>(table->TableType()) : 0;
    if (tableType > ttFoxPro) {
        // Tables of the optional drivers take the text as it is, through their
        // own module; with none loaded the filter cannot be set.
        if (Text.empty()) {
            DropFilter(Table, Handle);
            RefreshDataSet(Table);
            return true;
        }
        return LoadedQueryDriverModule() != nullptr;
    }
    if (Text.empty()) {
        DropFilter(Table, Handle);
        RefreshDataSet(Table);
        return true;
    }
    std::vector<uint8_t> block;
    std::shared_ptr<const TDbfFilter> filter;
    try {
        block = BuildFilterBlock(Text, Table);
        if (!block.empty() && Table->Handle())
            filter = DbfCompileFilterBlock(Table->Handle()->Table(), block.data(), block.size());
    } catch (const EDBEngineError&) {
        filter.reset();
    } catch (...) {
        // A constant that does not convert: the old filter goes all the same,
        // so that the table never keeps one it can no longer drop.
        DropFilter(Table, Handle);
        RefreshDataSet(Table);
        throw;
    }
    DropFilter(Table, Handle);
    if (filter) Handle = Table->AddOwnFilter(TDbfFilter::AsRecordFilter(filter));
    RefreshDataSet(Table);
    return Handle != 0;
}

bool SetRecordFilterCallback(TwwRecordFilterCallback Callback, TDataSet* DataSet, int& Handle) {
    DropFilter(DataSet, Handle);
    if (!Callback) {
        RefreshDataSet(DataSet);
        return true;
    }
    if (!DataSet->Handle()) return false;
    Handle = DataSet->AddOwnFilter(std::move(Callback));
    if (!Handle) return false;
    RefreshDataSet(DataSet);
    return true;
}
