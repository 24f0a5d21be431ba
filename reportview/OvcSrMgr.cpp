#include "reportview/OvcSrMgr.h"

#include <algorithm>
#include <memory>
#include <string>

#include "platform/classes/Resources.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/Format.h"

namespace {

enum : int32_t { SNotFound = 1, SCannotLock = 2, SResourceNotFound = 3, SCannotOpen = 4, SInvalid = 5 };

std::unique_ptr<TOvcStringResource>& OwnTable() {
    static std::unique_ptr<TOvcStringResource> table;
    return table;
}

// A message of the reader: from its own table once that is open.
AnsiString Message(int32_t Ident) {
    if (OwnTable()) {
        AnsiString text = OwnTable()->GetString(Ident);
        if (!text.empty()) return text;
    }
    switch (Ident) {
    case SNotFound: return "String not found: %d";
    case SResourceNotFound: return "String resource not found: %s";
    default: return "Invalid TPString resource";
    }
}

uint32_t ReadU32(std::span<const uint8_t> Data, size_t At) {
    return uint32_t(Data[At]) | uint32_t(Data[At + 1]) << 8 | uint32_t(Data[At + 2]) << 16 |
           uint32_t(Data[At + 3]) << 24;
}

}  // namespace

TOvcStringResource::TOvcStringResource(std::string_view ResourceName) { ChangeResource(ResourceName); }

void TOvcStringResource::ChangeResource(std::string_view ResourceName) {
    FData = {};
    FCount = 0;
    if (ResourceName.empty()) return;
    AnsiString name(ResourceName.substr(0, 255));
    TResource found;
    if (!FindResource(rkStrings, name, found))
        throw ETpsStringResourceError(Format(Message(SResourceNotFound), {name}));
    std::span<const uint8_t> data = found.Bytes;
    // A table is read only when all of it is where its index says: a
    // damaged one would otherwise have the reader read past its end.
    auto invalid = [] { throw ETpsStringResourceError(Message(SInvalid)); };
    if (data.size() < 8 || !std::equal(data.begin(), data.begin() + 4, "STR0")) invalid();
    uint32_t count = ReadU32(data, 4);
    if (count > (data.size() - 8) / 12) invalid();
    int64_t previous = INT64_MIN;
    for (uint32_t i = 0; i < count; ++i) {
        size_t at = 8 + 12 * size_t(i);
        auto ident = static_cast<int32_t>(ReadU32(data, at));
        uint64_t offset = ReadU32(data, at + 4), length = ReadU32(data, at + 8);
        if (ident <= previous || offset + 2 * length > data.size()) invalid();
        previous = ident;
    }
    FData = data;
    FCount = count;
}

bool TOvcStringResource::FindIdent(int32_t Ident, TEntry& Entry) const {
    int64_t low = 0, high = int64_t(FCount) - 1;
    while (low <= high) {
        int64_t middle = (low + high) / 2;
        size_t at = 8 + 12 * size_t(middle);
        auto ident = static_cast<int32_t>(ReadU32(FData, at));
        if (ident == Ident) {
            Entry = {ident, ReadU32(FData, at + 4), ReadU32(FData, at + 8)};
            return true;
        }
        if (ident < Ident) low = middle + 1;
        else high = middle - 1;
    }
    if (ReportError) throw ETpsStringResourceError(Format(Message(SNotFound), {Ident}));
    return false;
}

std::u16string TOvcStringResource::Text(const TEntry& Entry) const {
    std::u16string text(Entry.Length, u'\0');
    for (uint32_t i = 0; i < Entry.Length; ++i)
        text[i] = static_cast<char16_t>(FData[Entry.Offset + 2 * i] | FData[Entry.Offset + 2 * i + 1] << 8);
    return text;
}

AnsiString TOvcStringResource::GetString(int32_t Ident) const {
    TEntry entry;
    return FindIdent(Ident, entry) ? WideToAnsi(Text(entry)) : AnsiString();
}

char* TOvcStringResource::GetAsciiZ(int32_t Ident, std::span<char> Buffer) const {
    if (Buffer.empty()) return Buffer.data();
    TEntry entry;
    AnsiString text;
    if (FindIdent(Ident, entry)) {
        std::u16string wide = Text(entry);
        // Fewer units, one by one, until the converted text leaves room for the zero.
        for (text = WideToAnsi(wide); text.size() >= Buffer.size(); text = WideToAnsi(wide)) wide.pop_back();
    }
    std::copy(text.begin(), text.end(), Buffer.begin());
    Buffer[text.size()] = '\0';
    return Buffer.data();
}

char16_t* TOvcStringResource::GetWideChar(int32_t Ident, std::span<char16_t> Buffer) const {
    if (Buffer.empty()) return Buffer.data();
    TEntry entry;
    std::u16string text;
    if (FindIdent(Ident, entry)) text = Text(entry);
    if (text.size() >= Buffer.size()) text.resize(Buffer.size() - 1);
    std::copy(text.begin(), text.end(), Buffer.begin());
    Buffer[text.size()] = u'\0';
    return Buffer.data();
}

void OpenStringResourceMessages() { OwnTable() = std::make_unique<TOvcStringResource>("OVCSRMGR_STRINGS"); }

void CloseStringResourceMessages() { OwnTable().reset(); }
