// Binary filter blocks, as the data-aware library's filter parser writes them
// (layout in DbfFilter.h).
#include <cmath>
#include <cstring>
#include <variant>

#include "platform/db/DbfFilter.h"
#include "platform/db/DbfInternal.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"

namespace {

constexpr size_t HeaderSize = 10;
constexpr size_t SlotSize = 14;
constexpr int MaxDepth = 256;

enum TNodeClass : uint32_t { ncBinary = 2, ncField = 4, ncConstant = 5 };
enum TCanOp : uint32_t {
    coEq = 3,
    coNe = 4,
    coGt = 5,
    coLt = 6,
    coGe = 7,
    coLe = 8,
    coAnd = 10,
    coOr = 11,
    coMinusUnary = 15,
    coAdd = 16,
    coSub = 17,
    coMul = 18,
    coDiv = 19
};
enum TConstType : uint16_t {
    ctText = 1,
    ctDate = 2,
    ctBool = 4,
    ctInt16 = 5,
    ctInt32 = 6,
    ctFloat = 7,
    ctBcd = 8,
    ctTime = 10,
    ctStamp = 11
};

// A value while evaluating: nothing (null), a text, a number, a date (day
// number, with a fraction for a time stamp), a time of day (milliseconds) or
// a truth value.
struct TValue {
    enum TKind { Null, Text, Num, Date, Time, Bool } Kind = Null;
    std::string Str;
    double N = 0;
    bool B = false;
};

struct TNode {
    uint32_t Class = 0;
    uint32_t Op = 0;
    int Left = -1, Right = -1;  // nodes of a two-operand node
    int Field = -1;
    char FieldType = 'C';
    int Offset = 0, Length = 0;  // a field's bytes in the record
    TValue Constant;
};

int Compare(const TValue& A, const TValue& B, bool& Comparable) {
    Comparable = true;
    if (A.Kind == TValue::Text && B.Kind == TValue::Text)
        return A.Str.compare(B.Str) < 0 ? -1 : (A.Str == B.Str ? 0 : 1);
    bool numA = A.Kind == TValue::Num || A.Kind == TValue::Date,
         numB = B.Kind == TValue::Num || B.Kind == TValue::Date;
    if ((numA && numB && (A.Kind == B.Kind || A.Kind == TValue::Num || B.Kind == TValue::Num)) ||
        (A.Kind == TValue::Time && B.Kind == TValue::Time))
        return A.N < B.N ? -1 : (A.N > B.N ? 1 : 0);
    if (A.Kind == TValue::Bool && B.Kind == TValue::Bool) return int(A.B) - int(B.B);
    Comparable = false;
    return 0;
}

class TBlockFilter : public TDbfFilter {
public:
    TBlockFilter(std::shared_ptr<const TDbfTable> Table, std::vector<TNode> Nodes)
        : FTable(std::move(Table)), FNodes(std::move(Nodes)) {}

    bool Matches(const char* Record) const override {
        TValue v = Eval(0, Record);
        return v.Kind == TValue::Bool && v.B;
    }

private:
    TValue FieldValue(const TNode& N, const char* Record) const {
        TValue v;
        bool null = false;
        switch (N.FieldType) {
        case 'N':
        case 'F':
            v.N = FTable->GetNumber(Record, N.Field, &null);
            v.Kind = null ? TValue::Null : TValue::Num;
            break;
        case 'D':
            v.N = FTable->GetDate(Record, N.Field, &null);
            v.Kind = null ? TValue::Null : TValue::Date;
            break;
        case 'L':
            v.Kind = TValue::Bool;
            v.B = FTable->GetBoolean(Record, N.Field);  // blank reads false
            break;
        default:
            v.Kind = TValue::Text;
            v.Str = FTable->GetText(Record, N.Field);
            while (!v.Str.empty() && v.Str.back() == ' ') v.Str.pop_back();
            break;
        }
        return v;
    }

    // A character field against a text constant, or a number field against
    // a number, read in place: what almost every filter of a screen asks,
    // without a copy of the value. False when the comparison is another.
    bool CompareInPlace(const TNode& N, const char* Record, bool& Result) const {
        const TNode& field = FNodes[size_t(N.Left)];
        const TNode& constant = FNodes[size_t(N.Right)];
        if (field.Class != ncField || constant.Class != ncConstant) return false;
        int c;
        if (field.FieldType == 'C' && constant.Constant.Kind == TValue::Text) {
            std::string_view text(Record + field.Offset, size_t(field.Length));
            while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
            c = text.compare(constant.Constant.Str);
        } else if ((field.FieldType == 'N' || field.FieldType == 'F') &&
                   constant.Constant.Kind == TValue::Num) {
            bool null = false;
            double value = FTable->GetNumber(Record, field.Field, &null);
            if (null) {
                Result = false;
                return true;
            }
            c = value < constant.Constant.N ? -1 : (value > constant.Constant.N ? 1 : 0);
        } else {
            return false;
        }
        switch (N.Op) {
        case coEq: Result = c == 0; break;
        case coNe: Result = c != 0; break;
        case coGt: Result = c > 0; break;
        case coLt: Result = c < 0; break;
        case coGe: Result = c >= 0; break;
        default: Result = c <= 0; break;
        }
        return true;
    }

    TValue Eval(int Index, const char* Record) const {
        const TNode& n = FNodes[size_t(Index)];
        if (n.Class == ncField) return FieldValue(n, Record);
        if (n.Class == ncConstant) return n.Constant;
        if (bool result; n.Op >= coEq && n.Op <= coLe && CompareInPlace(n, Record, result))
            return TValue{TValue::Bool, {}, 0, result};
        TValue out;
        if (n.Op == coAnd || n.Op == coOr) {
            TValue a = Eval(n.Left, Record);
            bool left = a.Kind == TValue::Bool && a.B;
            if (n.Op == coAnd && !left) return TValue{TValue::Bool, {}, 0, false};
            if (n.Op == coOr && left) return TValue{TValue::Bool, {}, 0, true};
            TValue b = Eval(n.Right, Record);
            return TValue{TValue::Bool, {}, 0, b.Kind == TValue::Bool && b.B};
        }
        TValue a = Eval(n.Left, Record), b = Eval(n.Right, Record);
        if (n.Op >= coEq && n.Op <= coLe) {
            bool comparable;
            int c = Compare(a, b, comparable);
            bool r = false;
            if (comparable) {
                switch (n.Op) {
                case coEq: r = c == 0; break;
                case coNe: r = c != 0; break;
                case coGt: r = c > 0; break;
                case coLt: r = c < 0; break;
                case coGe: r = c >= 0; break;
                case coLe: r = c <= 0; break;
                }
            }
            return TValue{TValue::Bool, {}, 0, r};
        }
        // Arithmetic.
        if (a.Kind == TValue::Text && b.Kind == TValue::Text && n.Op == coAdd)
            return TValue{TValue::Text, a.Str + b.Str, 0, false};
        bool numA = a.Kind == TValue::Num || a.Kind == TValue::Date,
             numB = b.Kind == TValue::Num || b.Kind == TValue::Date;
        if (!numA || !numB) return out;
        double r;
        switch (n.Op) {
        case coAdd: r = a.N + b.N; break;
        case coSub:
        case coMinusUnary: r = a.N - b.N; break;
        case coMul: r = a.N * b.N; break;
        default:
            if (b.N == 0) return out;
            r = a.N / b.N;
            break;
        }
        if (!std::isfinite(r)) return out;
        out.N = r;
        // A date moved by a number stays a date; two dates apart make a number.
        bool oneDate = (a.Kind == TValue::Date) != (b.Kind == TValue::Date);
        out.Kind =
            oneDate && (n.Op == coAdd || n.Op == coSub || n.Op == coMinusUnary) ? TValue::Date : TValue::Num;
        return out;
    }

    std::shared_ptr<const TDbfTable> FTable;
    std::vector<TNode> FNodes;
};

class TBlockReader {
public:
    TBlockReader(const TDbfTable& Table, const uint8_t* Data, size_t Size)
        : FTable(Table), FData(Data), FSize(Size) {}

    std::vector<TNode> Read() {
        if (FSize < HeaderSize) Fail("el bloque es m\xE1s corto que su cabecera");
        uint16_t version = DbfGet16(FData), total = DbfGet16(FData + 2), count = DbfGet16(FData + 4);
        FNodeStart = DbfGet16(FData + 6);
        FLiteralStart = DbfGet16(FData + 8);
        if (version != 1) Fail("versi\xF3n desconocida " + std::to_string(version));
        if (total > FSize) Fail("el bloque es m\xE1s corto que el tama\xF1o que declara");
        FEnd = total;
        if (count == 0) Fail("no tiene nodos");
        if (FNodeStart < HeaderSize || FNodeStart + size_t(count) * SlotSize > FLiteralStart ||
            FLiteralStart > FEnd)
            Fail("las zonas de nodos y de literales no caben en el bloque");
        FCount = count;
        FSlotOf.assign(count, -1);
        Node(0, 0);
        return std::move(FNodes);
    }

private:
    [[noreturn]] void Fail(const std::string& Why) {
        DbfRaise(dbeFilterSyntax, "Bloque de filtro no v\xE1lido: " + Why);
    }

    // Reads the node at Offset (from the start of the node area); gives its index.
    int Node(uint32_t Offset, int Depth) {
        if (Depth > MaxDepth) Fail("los nodos anidan demasiados niveles");
        if (Offset % SlotSize != 0 || Offset / SlotSize >= FCount) Fail("un nodo fuera de la zona de nodos");
        // Each slot is read once, so shared children cannot multiply the work.
        if (FSlotOf[Offset / SlotSize] >= 0) Fail("un nodo usado dos veces");
        const uint8_t* p = FData + FNodeStart + Offset;
        TNode n;
        n.Class = DbfGet32(p);
        n.Op = DbfGet32(p + 4);
        int index = int(FNodes.size());
        FSlotOf[Offset / SlotSize] = index;
        FNodes.push_back(n);
        switch (n.Class) {
        case ncBinary: {
            uint32_t left = DbfGet16(p + 8), right = DbfGet16(p + 10);
            bool known = (n.Op >= coEq && n.Op <= coLe) || n.Op == coAnd || n.Op == coOr ||
                         (n.Op >= coMinusUnary && n.Op <= coDiv);
            if (!known) Fail("operador desconocido " + std::to_string(n.Op));
            // Children lie after their parent: a block cannot loop.
            if (left <= Offset || right <= Offset) Fail("un nodo remite a uno anterior");
            int l = Node(left, Depth + 1);
            int r = Node(right, Depth + 1);
            FNodes[size_t(index)].Left = l;
            FNodes[size_t(index)].Right = r;
            break;
        }
        case ncField: {
            std::string name = Literal(DbfGet16(p + 10), FEnd);
            int field = FTable.FieldIndex(name);
            if (field < 0)
                DbfRaise(dbeFieldNotFound, "No existe el campo '" + name + "' del bloque de filtro");
            FNodes[size_t(index)].Field = field;
            FNodes[size_t(index)].FieldType = FTable.Field(field).Type;
            FNodes[size_t(index)].Offset = FTable.Field(field).Offset;
            FNodes[size_t(index)].Length = FTable.Field(field).Length;
            break;
        }
        case ncConstant:
            FNodes[size_t(index)].Constant = Constant(DbfGet16(p + 8), DbfGet16(p + 10), DbfGet16(p + 12));
            break;
        default: Fail("clase de nodo desconocida " + std::to_string(n.Class));
        }
        return index;
    }

    std::string Literal(uint32_t Offset, size_t Limit) {
        size_t at = FLiteralStart + Offset;
        if (at >= Limit) Fail("un literal fuera del bloque");
        const void* end = std::memchr(FData + at, 0, Limit - at);
        if (!end) Fail("un literal de texto sin final");
        return std::string(reinterpret_cast<const char*>(FData + at),
                           static_cast<const uint8_t*>(end) - (FData + at));
    }

    TValue Constant(uint16_t Type, uint16_t Size, uint16_t Offset) {
        size_t at = FLiteralStart + Offset;
        if (at + Size > FEnd) Fail("una constante fuera del bloque");
        const uint8_t* p = FData + at;
        auto need = [&](size_t N) {
            if (Size != N)
                Fail("una constante de tipo " + std::to_string(Type) + " y tama\xF1o " +
                     std::to_string(Size));
        };
        TValue v;
        switch (Type) {
        case ctText:
            if (Size == 0)
                Fail("una constante de texto vac\xED"
                     "a");
            v.Kind = TValue::Text;
            v.Str = Literal(Offset, at + Size);
            while (!v.Str.empty() && v.Str.back() == ' ') v.Str.pop_back();
            break;
        case ctDate:
            need(4);
            v.Kind = TValue::Date;
            v.N = double(int32_t(DbfGet32(p))) - DateDelta;
            break;
        case ctBool:
            need(2);
            v.Kind = TValue::Bool;
            v.B = DbfGet16(p) != 0;
            break;
        case ctInt16:
            need(2);
            v.Kind = TValue::Num;
            v.N = double(int16_t(DbfGet16(p)));
            break;
        case ctInt32:
            need(4);
            v.Kind = TValue::Num;
            v.N = double(int32_t(DbfGet32(p)));
            break;
        case ctFloat: {
            need(8);
            std::memcpy(&v.N, p, 8);
            if (!std::isfinite(v.N)) Fail("una constante decimal que no es un n\xFAmero");
            v.Kind = TValue::Num;
            break;
        }
        case ctBcd: {
            need(34);
            int precision = p[0], places = p[1] & 0x3F;
            if (precision < 1 || precision > 64 || places > precision || (p[1] & 0x40))
                Fail("una constante BCD no v\xE1lida");
            double n = 0;
            for (int i = 0; i < precision; ++i) {
                int nibble = (i % 2 == 0) ? (p[2 + i / 2] >> 4) : (p[2 + i / 2] & 0x0F);
                if (nibble > 9) Fail("una cifra BCD no v\xE1lida");
                n = n * 10 + nibble;
            }
            v.Kind = TValue::Num;
            v.N = (p[1] & 0x80 ? -n : n) / std::pow(10.0, places);
            break;
        }
        case ctTime:
            need(4);
            v.Kind = TValue::Time;
            v.N = double(int32_t(DbfGet32(p)));
            break;
        case ctStamp: {
            need(8);
            double ms;
            std::memcpy(&ms, p, 8);
            if (!std::isfinite(ms)) Fail("una constante de fecha y hora que no es un n\xFAmero");
            v.Kind = TValue::Date;
            v.N = ms / MSecsPerDay - DateDelta;
            break;
        }
        default: Fail("tipo de constante desconocido " + std::to_string(Type));
        }
        return v;
    }

    const TDbfTable& FTable;
    const uint8_t* FData;
    size_t FSize;
    size_t FEnd = 0, FNodeStart = 0, FLiteralStart = 0, FCount = 0;
    std::vector<int> FSlotOf;
    std::vector<TNode> FNodes;
};

}  // namespace

std::shared_ptr<const TDbfFilter> DbfCompileFilterBlock(const TDbfTable& Table, const void* Block,
                                                        size_t Size) {
    if (!Block) DbfRaise(dbeFilterSyntax, "Bloque de filtro no v\xE1lido: no se ha dado ninguno");
    TBlockReader reader(Table, static_cast<const uint8_t*>(Block), Size);
    return std::make_shared<TBlockFilter>(Table.shared_from_this(), reader.Read());
}
