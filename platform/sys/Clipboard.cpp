#include "platform/sys/Clipboard.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <new>

#include "platform/rtl/Strings.h"

struct TGlobalBlock {
    std::vector<uint8_t> Bytes;
    int Locks = 0;
};

namespace {

struct Heap {
    std::map<HGLOBAL, std::unique_ptr<TGlobalBlock>> Blocks;
    size_t Limit = SIZE_MAX;
};

Heap& TheHeap() {
    static Heap h;
    return h;
}

TGlobalBlock* Find(HGLOBAL Mem) {
    auto& b = TheHeap().Blocks;
    auto it = b.find(Mem);
    return it == b.end() ? nullptr : it->second.get();
}

class InProcessStore : public TClipboardStore {
public:
    void Clear() override { FItems.clear(); }
    void Put(unsigned Format, std::vector<uint8_t> Data) override {
        for (auto& item : FItems)
            if (item.first == Format) {
                item.second = std::move(Data);
                return;
            }
        FItems.emplace_back(Format, std::move(Data));
    }
    bool Get(unsigned Format, std::vector<uint8_t>& Data) const override {
        for (const auto& item : FItems)
            if (item.first == Format) {
                Data = item.second;
                return true;
            }
        return false;
    }
    std::vector<unsigned> Formats() const override {
        std::vector<unsigned> f;
        for (const auto& item : FItems) f.push_back(item.first);
        return f;
    }

private:
    std::vector<std::pair<unsigned, std::vector<uint8_t>>> FItems;
};

struct ClipboardState {
    InProcessStore Local;
    TClipboardStore* Installed = nullptr;
    bool Open = false;
    uintptr_t Owner = 0;
    // Blocks handed out by GetClipboardData, kept until the next change.
    std::map<unsigned, HGLOBAL> Handed;
    std::vector<AnsiString> Registered;
};

ClipboardState& State() {
    static ClipboardState s;
    return s;
}

void DropHanded() {
    for (auto& [format, mem] : State().Handed) GlobalFree(mem);
    State().Handed.clear();
}

}  // namespace

HGLOBAL GlobalAlloc(unsigned, size_t Bytes) {
    Heap& h = TheHeap();
    if (Bytes > h.Limit) return nullptr;
    auto block = std::make_unique<TGlobalBlock>();
    try {
        block->Bytes.assign(Bytes, 0);  // always zeroed: nobody reads stale bytes
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    HGLOBAL handle = block.get();
    h.Blocks.emplace(handle, std::move(block));
    return handle;
}

HGLOBAL GlobalReAlloc(HGLOBAL Mem, size_t Bytes, unsigned) {
    TGlobalBlock* b = Find(Mem);
    if (!b || Bytes > TheHeap().Limit) return nullptr;
    try {
        b->Bytes.resize(Bytes, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return Mem;
}

void* GlobalLock(HGLOBAL Mem) {
    TGlobalBlock* b = Find(Mem);
    if (!b) return nullptr;
    ++b->Locks;
    static uint8_t empty = 0;
    return b->Bytes.empty() ? &empty : b->Bytes.data();
}

bool GlobalUnlock(HGLOBAL Mem) {
    TGlobalBlock* b = Find(Mem);
    if (!b || b->Locks == 0) return false;
    return --b->Locks > 0;
}

size_t GlobalSize(HGLOBAL Mem) {
    TGlobalBlock* b = Find(Mem);
    return b ? b->Bytes.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL Mem) {
    auto& blocks = TheHeap().Blocks;
    auto it = blocks.find(Mem);
    if (it == blocks.end()) return Mem;
    blocks.erase(it);
    return nullptr;
}

void SetGlobalAllocLimit(size_t Bytes) { TheHeap().Limit = Bytes; }

unsigned RegisterClipboardFormat(std::string_view Name) {
    auto& r = State().Registered;
    for (size_t i = 0; i < r.size(); ++i)
        if (SameText(r[i], Name)) return 0xC000u + static_cast<unsigned>(i);
    r.emplace_back(Name);
    return 0xC000u + static_cast<unsigned>(r.size() - 1);
}

AnsiString GetClipboardFormatName(unsigned Format) {
    auto& r = State().Registered;
    if (Format < 0xC000u || Format - 0xC000u >= r.size()) return {};
    return r[Format - 0xC000u];
}

TClipboardStore& ClipboardStore() {
    ClipboardState& s = State();
    return s.Installed ? *s.Installed : s.Local;
}

TClipboardStore* SetClipboardStore(TClipboardStore* Store) {
    TClipboardStore* previous = State().Installed;
    State().Installed = Store;
    DropHanded();
    return previous;
}

bool OpenClipboard(uintptr_t Owner) {
    ClipboardState& s = State();
    if (s.Open && s.Owner != Owner) return false;
    // Another program may have changed the clipboard since: no block handed
    // out before stays (they are only good while the clipboard is open).
    if (!s.Open) DropHanded();
    s.Open = true;
    s.Owner = Owner;
    return true;
}

bool CloseClipboard() {
    ClipboardState& s = State();
    if (!s.Open) return false;
    s.Open = false;
    return true;
}

bool EmptyClipboard() {
    if (!State().Open) return false;
    DropHanded();
    ClipboardStore().Clear();
    return true;
}

HGLOBAL SetClipboardData(unsigned Format, HGLOBAL Mem) {
    TGlobalBlock* b = Find(Mem);
    if (!State().Open || !b) return nullptr;
    DropHanded();
    ClipboardStore().Put(Format, std::move(b->Bytes));
    GlobalFree(Mem);
    return Mem;
}

HGLOBAL GetClipboardData(unsigned Format) {
    ClipboardState& s = State();
    auto it = s.Handed.find(Format);
    if (it != s.Handed.end()) return it->second;
    std::vector<uint8_t> data;
    if (!ClipboardStore().Get(Format, data)) return nullptr;
    HGLOBAL h = GlobalAlloc(GHND, data.size());
    if (!h) return nullptr;
    if (!data.empty()) std::memcpy(GlobalLock(h), data.data(), data.size());
    GlobalUnlock(h);
    s.Handed[Format] = h;
    return h;
}

bool IsClipboardFormatAvailable(unsigned Format) {
    std::vector<unsigned> f = ClipboardStore().Formats();
    return std::find(f.begin(), f.end(), Format) != f.end();
}

int CountClipboardFormats() { return static_cast<int>(ClipboardStore().Formats().size()); }

bool ClipboardSetText(std::string_view Text) {
    HGLOBAL h = GlobalAlloc(GHND, Text.size() + 1);
    if (!h) return false;  // no memory: the clipboard keeps what it had
    std::memcpy(GlobalLock(h), Text.data(), Text.size());
    GlobalUnlock(h);
    uintptr_t self = reinterpret_cast<uintptr_t>(&State());
    if (!OpenClipboard(self)) {
        GlobalFree(h);
        return false;
    }
    EmptyClipboard();
    bool ok = SetClipboardData(CF_TEXT, h) != nullptr;
    if (!ok) GlobalFree(h);
    CloseClipboard();
    return ok;
}

AnsiString ClipboardGetText() {
    std::vector<uint8_t> data;
    if (!ClipboardStore().Get(CF_TEXT, data)) return {};
    auto zero = std::find(data.begin(), data.end(), 0);
    return AnsiString(data.begin(), zero);
}

bool ClipboardHasText() { return IsClipboardFormatAvailable(CF_TEXT); }
