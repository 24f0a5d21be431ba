#pragma once
// A file system in memory for the engine's fuzz targets: no disk work per run.
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/db/DbfTable.h"

class TMemoryFs : public TDbfFileSystem {
public:
    std::map<std::string, std::shared_ptr<std::string>> Files;

    void Put(const std::string& Path, const uint8_t* Data, size_t Size) {
        Files[Path] = std::make_shared<std::string>(reinterpret_cast<const char*>(Data), Size);
    }
    std::unique_ptr<TDbfFile> Open(const std::string& Path, bool) override {
        auto it = Files.find(Path);
        if (it == Files.end()) throw EDBEngineError(dbeNotFound, "no file " + Path);
        return std::make_unique<TFile>(it->second, Path);
    }
    std::unique_ptr<TDbfFile> Create(const std::string& Path) override {
        Files[Path] = std::make_shared<std::string>();
        return Open(Path, true);
    }
    bool Exists(const std::string& Path) override { return Files.count(Path) != 0; }
    bool IsWritable(const std::string&) override { return true; }
    void Remove(const std::string& Path) override { Files.erase(Path); }
    void Rename(const std::string& From, const std::string& To) override {
        auto it = Files.find(From);
        if (it == Files.end()) throw EDBEngineError(dbeNotFound, "no file " + From);
        auto data = it->second;
        Files.erase(it);
        Files[To] = data;
    }
    std::vector<std::string> List(const std::string& Folder) override {
        std::vector<std::string> names;
        for (const auto& [path, data] : Files)
            if (path.size() > Folder.size() + 1 && path.compare(0, Folder.size() + 1, Folder + "/") == 0)
                names.push_back(path.substr(Folder.size() + 1));
        return names;
    }

private:
    class TFile : public TDbfFile {
    public:
        TFile(std::shared_ptr<std::string> Data, std::string Path)
            : FData(std::move(Data)), FPath(std::move(Path)) {}
        size_t Read(uint64_t Offset, void* Buffer, size_t Count) override {
            if (Offset >= FData->size()) return 0;
            size_t n = std::min<uint64_t>(Count, FData->size() - Offset);
            std::memcpy(Buffer, FData->data() + Offset, n);
            return n;
        }
        void Write(uint64_t Offset, const void* Buffer, size_t Count) override {
            // Memory is what is fuzzed here, not the disk: refuse absurd growth.
            if (Offset + Count > (64u << 20)) throw EDBEngineError(dbeIO, "file too large");
            if (FData->size() < Offset + Count) FData->resize(Offset + Count, '\0');
            std::memcpy(FData->data() + Offset, Buffer, Count);
        }
        uint64_t Size() override { return FData->size(); }
        void Truncate(uint64_t Size) override {
            if (Size > (64u << 20)) throw EDBEngineError(dbeIO, "file too large");
            FData->resize(Size);
        }
        const std::string& Path() const override { return FPath; }

    private:
        std::shared_ptr<std::string> FData;
        std::string FPath;
    };
};

// Reads every visible record and field of a table along every order.
inline void ReadEverything(TDbfTable& Table) {
    TDbfCursor cursor(Table.shared_from_this());
    for (int order = -1; order < Table.OrderCount(); ++order) {
        cursor.SetOrder(order);
        for (bool on = cursor.First(); on; on = cursor.Next())
            for (int f = 0; f < Table.FieldCount(); ++f) {
                try {
                    Table.GetText(cursor.Record(), f);
                } catch (const EDatabaseError&) {
                }
            }
        cursor.RecordCount();
    }
}

// The indexed table of the index targets at /m/t: 40 rows of a number, a
// name NameWidth wide (a wider name makes more levels in its tags' trees)
// and a date, and four tags, one descending and one case-insensitive.
constexpr uint32_t IndexedRows = 40;
inline void MakeIndexedTable(TMemoryFs& Fs, int NameWidth, bool NumberedNames) {
    TDbfTable::Create("/m/t", {{"N", 'N', 6, 0}, {"NAME", 'C', NameWidth, 0}, {"BORN", 'D', 8, 0}},
                      {{"N", "N"}, {"NAME", "NAME", true}, {"UNAME", "NAME", false, true}, {"BORN", "BORN"}},
                      &Fs);
    auto table = TDbfTable::Open("/m/t", dbfReadWrite, &Fs);
    std::vector<char> buffer(size_t(table->RecordLength()));
    const char* names[] = {"ana", "Blas", "carmen", "Dora", "eva"};
    for (uint32_t i = 0; i < IndexedRows; ++i) {
        table->BlankRecord(buffer.data());
        table->SetNumber(buffer.data(), 0, (i * 7) % 13);
        std::string name = names[i % 5];
        if (NumberedNames) name += " " + std::to_string(i % 9);
        table->SetText(buffer.data(), 1, name);
        table->SetDate(buffer.data(), 2, 40000 + (i * 11) % 17);
        table->Append(buffer.data());
    }
}

// Every order of a table shows each visible record once (Visible in all), in
// key order; traps otherwise.
inline void CheckOrders(TDbfTable& Table, uint32_t Visible) {
    TDbfCursor cursor(Table.shared_from_this());
    for (int order = 0; order < Table.OrderCount(); ++order) {
        cursor.SetOrder(order);
        uint32_t seen = 0;
        bool descending = Table.OrderInfo(order).Descending;
        std::string last;
        for (bool on = cursor.First(); on; on = cursor.Next(), ++seen) {
            std::string key = Table.KeyOf(order, cursor.Record()).Bytes;
            if (seen > 0 && (descending ? key > last : key < last)) __builtin_trap();
            last = key;
        }
        if (seen != Visible) __builtin_trap();
    }
}
