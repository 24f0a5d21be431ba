#pragma once
// Shared pieces of the engine tests: a scratch folder, row helpers and the
// twelve school tables.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/db/DbfTable.h"
#include "tests/support/OutsideTools.h"  // the outside readers
#include "tests/support/Peer.h"          // another program on the same files

class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    const std::string& Path() const { return FPath; }
    std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }

private:
    std::string FPath;
};

std::string ReadBytes(const std::string& Path);
void WriteBytes(const std::string& Path, const std::string& Bytes);
bool FileExists(const std::string& Path);

// A record buffer with the named fields set from texts (memo fields through SetMemo).
std::vector<char> Row(TDbfTable& Table, std::initializer_list<std::pair<const char*, std::string>> Values);
// Appends such a row; gives its number.
uint32_t AppendRow(TDbfTable& Table, std::initializer_list<std::pair<const char*, std::string>> Values);
// The record numbers a cursor visits from First to the end.
std::vector<uint32_t> Walk(TDbfCursor& Cursor);
// Every visible record in physical order as "recno:field|field|..." (memo texts included).
std::vector<std::string> Snapshot(TDbfTable& Table);
// Each order's records (visible ones) against a sort of the same rows by the
// order's key with ties by record number; gives the problems found.
std::vector<std::string> CheckOrdersAgainstSort(TDbfTable& Table);

// A table as the outside readers' script below prints it: "# Path", then
// each visible row, its fields tab-separated (texts without trailing
// blanks, numbers with four decimals, "null" for a blank number, date or
// logical).
std::string OutsideView(TDbfTable& Table, const std::string& Path);
// What the Python reader Module (dbfread or dbf) makes of the tables, in
// that form; gives its exit status.
int ReadOutside(const std::string& Module, const std::vector<TDbfTable*>& Tables, std::string& Output);
// The twelve school tables as the program creates them.
struct TSchoolTable {
    std::string Name;
    std::vector<TDbfFieldSpec> Fields;
    std::vector<TDbfIndexSpec> Indexes;
};
const std::vector<TSchoolTable>& SchoolTables();
