#include "reportview/OvcCmd.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/classes/Filer.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/FileStream.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcMisc.h"

ZELMOR_IMPLEMENT_CLASS(TOvcCommandTable, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TOvcCommandProcessor, TPersistent)

namespace {

constexpr uint8_t S = ss_Shift, C = ss_Ctrl, A = ss_Alt, W = ss_Wordstar;

constexpr TOvcCmdRec Key(uint8_t Key1, uint8_t Shift1, uint16_t Cmd) { return {Key1, Shift1, 0, 0, Cmd}; }
// A WordStar sequence: Ctrl plus the first key, then the second key with or without Ctrl.
constexpr TOvcCmdRec Seq(char Key1, char Key2, uint16_t Cmd) {
    return {uint8_t(Key1), C, uint8_t(Key2), W, Cmd};
}

const TOvcCmdRec DefaultRows[] = {Key(VK_LEFT, 0, ccLeft),
                                  Key(VK_RIGHT, 0, ccRight),
                                  Key(VK_LEFT, C, ccWordLeft),
                                  Key(VK_RIGHT, C, ccWordRight),
                                  Key(VK_HOME, 0, ccHome),
                                  Key(VK_END, 0, ccEnd),
                                  Key(VK_DELETE, 0, ccDel),
                                  Key(VK_BACK, 0, ccBack),
                                  Key(VK_BACK, S, ccBack),
                                  Key(VK_PRIOR, C, ccTopOfPage),
                                  Key(VK_NEXT, C, ccBotOfPage),
                                  Key(VK_INSERT, 0, ccIns),
                                  Key('Z', C, ccUndo),
                                  Key(VK_BACK, A, ccRestore),
                                  Key(VK_UP, 0, ccUp),
                                  Key(VK_DOWN, 0, ccDown),
                                  Key(VK_RETURN, C, ccNewLine),
                                  Key(VK_LEFT, S, ccExtendLeft),
                                  Key(VK_RIGHT, S, ccExtendRight),
                                  Key(VK_HOME, S, ccExtendHome),
                                  Key(VK_END, S, ccExtendEnd),
                                  Key(VK_LEFT, C | S, ccExtWordLeft),
                                  Key(VK_RIGHT, C | S, ccExtWordRight),
                                  Key(VK_PRIOR, S, ccExtendPgUp),
                                  Key(VK_NEXT, S, ccExtendPgDn),
                                  Key(VK_UP, S, ccExtendUp),
                                  Key(VK_DOWN, S, ccExtendDown),
                                  Key(VK_HOME, C | S, ccExtFirstPage),
                                  Key(VK_END, C | S, ccExtLastPage),
                                  Key(VK_PRIOR, C | S, ccExtTopOfPage),
                                  Key(VK_NEXT, C | S, ccExtBotOfPage),
                                  Key(VK_DELETE, S, ccCut),
                                  Key('X', C, ccCut),
                                  Key(VK_INSERT, C, ccCopy),
                                  Key('C', C, ccCopy),
                                  Key(VK_INSERT, S, ccPaste),
                                  Key('V', C, ccPaste),
                                  Key(VK_PRIOR, 0, ccPrevPage),
                                  Key(VK_NEXT, 0, ccNextPage),
                                  Key(VK_HOME, C, ccFirstPage),
                                  Key(VK_END, C, ccLastPage),
                                  Key(VK_TAB, 0, ccTab),
                                  Key(VK_TAB, C, ccTab),
                                  Key('Z', C | S, ccRedo),
                                  Key('0', C, ccGotoMarker0),
                                  Key('1', C, ccGotoMarker1),
                                  Key('2', C, ccGotoMarker2),
                                  Key('3', C, ccGotoMarker3),
                                  Key('4', C, ccGotoMarker4),
                                  Key('5', C, ccGotoMarker5),
                                  Key('6', C, ccGotoMarker6),
                                  Key('7', C, ccGotoMarker7),
                                  Key('8', C, ccGotoMarker8),
                                  Key('9', C, ccGotoMarker9),
                                  Key('0', C | S, ccSetMarker0),
                                  Key('1', C | S, ccSetMarker1),
                                  Key('2', C | S, ccSetMarker2),
                                  Key('3', C | S, ccSetMarker3),
                                  Key('4', C | S, ccSetMarker4),
                                  Key('5', C | S, ccSetMarker5),
                                  Key('6', C | S, ccSetMarker6),
                                  Key('7', C | S, ccSetMarker7),
                                  Key('8', C | S, ccSetMarker8),
                                  Key('9', C | S, ccSetMarker9)};

const TOvcCmdRec WordStarRows[] = {
    Key('S', C, ccLeft),          Key('D', C, ccRight),         Key('E', C, ccUp),
    Key('X', C, ccDown),          Key('R', C, ccPrevPage),      Key('C', C, ccNextPage),
    Key('W', C, ccScrollUp),      Key('Z', C, ccScrollDown),    Key('A', C, ccWordLeft),
    Key('F', C, ccWordRight),     Seq('Q', 'S', ccHome),        Seq('Q', 'D', ccEnd),
    Key('G', C, ccDel),           Key('H', C, ccBack),          Key('Y', C, ccDelLine),
    Seq('Q', 'Y', ccDelEol),      Key('V', C, ccIns),           Key('T', C, ccDelWord),
    Key('P', C, ccCtrlChar),      Seq('Q', 'L', ccRestore),     Seq('Q', '0', ccGotoMarker0),
    Seq('Q', '1', ccGotoMarker1), Seq('Q', '2', ccGotoMarker2), Seq('Q', '3', ccGotoMarker3),
    Seq('Q', '4', ccGotoMarker4), Seq('Q', '5', ccGotoMarker5), Seq('Q', '6', ccGotoMarker6),
    Seq('Q', '7', ccGotoMarker7), Seq('Q', '8', ccGotoMarker8), Seq('Q', '9', ccGotoMarker9),
    Seq('K', '0', ccSetMarker0),  Seq('K', '1', ccSetMarker1),  Seq('K', '2', ccSetMarker2),
    Seq('K', '3', ccSetMarker3),  Seq('K', '4', ccSetMarker4),  Seq('K', '5', ccSetMarker5),
    Seq('K', '6', ccSetMarker6),  Seq('K', '7', ccSetMarker7),  Seq('K', '8', ccSetMarker8),
    Seq('K', '9', ccSetMarker9)};

const TOvcCmdRec GridRows[] = {Key(VK_LEFT, 0, ccLeft),
                               Key(VK_RIGHT, 0, ccRight),
                               Key(VK_LEFT, C, ccPageLeft),
                               Key(VK_RIGHT, C, ccPageRight),
                               Key(VK_HOME, 0, ccHome),
                               Key(VK_END, 0, ccEnd),
                               Key(VK_DELETE, 0, ccDel),
                               Key(VK_BACK, 0, ccBack),
                               Key(VK_NEXT, C, ccBotOfPage),
                               Key(VK_PRIOR, C, ccTopOfPage),
                               Key(VK_INSERT, 0, ccIns),
                               Key('Z', C, ccRestore),
                               Key(VK_UP, 0, ccUp),
                               Key(VK_DOWN, 0, ccDown),
                               Key(VK_LEFT, S, ccExtendLeft),
                               Key(VK_RIGHT, S, ccExtendRight),
                               Key(VK_HOME, S, ccExtendHome),
                               Key(VK_END, S, ccExtendEnd),
                               Key(VK_LEFT, C | S, ccExtWordLeft),
                               Key(VK_RIGHT, C | S, ccExtWordRight),
                               Key(VK_PRIOR, S, ccExtendPgUp),
                               Key(VK_NEXT, S, ccExtendPgDn),
                               Key(VK_UP, S, ccExtendUp),
                               Key(VK_DOWN, S, ccExtendDown),
                               Key(VK_HOME, C | S, ccExtFirstPage),
                               Key(VK_END, C | S, ccExtLastPage),
                               Key(VK_PRIOR, C | S, ccExtTopOfPage),
                               Key(VK_NEXT, C | S, ccExtBotOfPage),
                               Key('X', C, ccCut),
                               Key('C', C, ccCopy),
                               Key('V', C, ccPaste),
                               Key(VK_PRIOR, 0, ccPrevPage),
                               Key(VK_HOME, C, ccFirstPage),
                               Key(VK_NEXT, 0, ccNextPage),
                               Key(VK_END, C, ccLastPage),
                               Key(VK_UP, C, ccTopLeftCell),
                               Key(VK_DOWN, C, ccBotRightCell),
                               Key(VK_F2, 0, ccTableEdit)};

// The names of the built-in tables stand in the library's string table.
enum : uint16_t { SGridTable = 30266, SDefaultTable = 30275, SWordStarTable = 30276, SUnknownTable = 30277 };

// The built-in table of that name, or an empty one.
std::span<const TOvcCmdRec> BuiltIn(std::string_view Name) {
    if (SameText(Name, GetRvLibStr(SDefaultTable))) return DefCommandTable();
    if (SameText(Name, GetRvLibStr(SWordStarTable))) return DefWsCommandTable();
    if (SameText(Name, GetRvLibStr(SGridTable))) return DefGridCommandTable();
    return {};
}

uint8_t FlagsOf(TShiftState Shift) {
    return uint8_t((Shift.Contains(ssShift) ? ss_Shift : 0) | (Shift.Contains(ssCtrl) ? ss_Ctrl : 0) |
                   (Shift.Contains(ssAlt) ? ss_Alt : 0));
}

bool IsModifierKey(uint8_t Key) {
    return Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU || Key == VK_CAPITAL || Key == VK_NUMLOCK ||
           Key == VK_SCROLL;
}

}  // namespace

std::span<const TOvcCmdRec> DefCommandTable() { return DefaultRows; }
std::span<const TOvcCmdRec> DefWsCommandTable() { return WordStarRows; }
std::span<const TOvcCmdRec> DefGridCommandTable() { return GridRows; }

// --- TOvcCommandTable ---

TOvcCommandTable::TOvcCommandTable() : FTableName(GetRvLibStr(SUnknownTable)) {}

void TOvcCommandTable::Check(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}

int TOvcCommandTable::AddRec(const TOvcCmdRec& Rec) {
    FRecords.push_back(Rec);
    return Count() - 1;
}

void TOvcCommandTable::InsertRec(int Index, const TOvcCmdRec& Rec) {
    if (Index != Count()) Check(Index);
    FRecords.insert(FRecords.begin() + Index, Rec);
}

TOvcCmdRec TOvcCommandTable::GetCmdRec(int Index) const {
    Check(Index);
    return FRecords[size_t(Index)];
}

void TOvcCommandTable::PutCmdRec(int Index, const TOvcCmdRec& Rec) {
    Check(Index);
    FRecords[size_t(Index)] = Rec;
}

void TOvcCommandTable::Delete(int Index) {
    Check(Index);
    FRecords.erase(FRecords.begin() + Index);
}

void TOvcCommandTable::Exchange(int Index1, int Index2) {
    Check(Index1);
    Check(Index2);
    std::swap(FRecords[size_t(Index1)], FRecords[size_t(Index2)]);
}

void TOvcCommandTable::Move(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex) return;
    Check(FromIndex);
    Check(ToIndex);
    TOvcCmdRec rec = FRecords[size_t(FromIndex)];
    FRecords.erase(FRecords.begin() + FromIndex);
    FRecords.insert(FRecords.begin() + ToIndex, rec);
}

int TOvcCommandTable::IndexOf(const TOvcCmdRec& Rec) const {
    for (int i = 0; i < Count(); ++i)
        if (FRecords[size_t(i)].SameKeys(Rec)) return i;
    return -1;
}

void TOvcCommandTable::SaveToFile(std::string_view FileName) const {
    TStringList lines;
    lines.Add(FTableName);
    for (const TOvcCmdRec& r : FRecords)
        lines.Add(Format("%4d%4d%4d%4d%6d", {r.Key1, r.Shift1, r.Key2, r.Shift2, r.Cmd}));
    SaveStringsToFile(lines, FileName);
}

void TOvcCommandTable::LoadFromFile(std::string_view FileName) {
    TStringList lines;
    LoadStringsFromFile(lines, FileName);
    std::vector<TOvcCmdRec> records;
    for (int i = 1; i < lines.Count(); ++i) {
        const AnsiString& line = lines.Strings(i);
        // Five numbers separated by blanks; the rest of the line is a comment,
        // and numbers missing at its end are 0.
        int64_t values[5] = {};
        size_t at = 0;
        for (int64_t& value : values) {
            while (at < line.size() && static_cast<unsigned char>(line[at]) <= ' ') ++at;
            if (at >= line.size()) break;
            size_t end = at;
            while (end < line.size() && static_cast<unsigned char>(line[end]) > ' ') ++end;
            AnsiString word = line.substr(at, end - at);
            auto refuse = [&](const char* What) {
                throw EInOutError(Format("%s, line %d: %s %s", {AnsiString(FileName), i + 1, word, What}));
            };
            if (!TryStrToInt64(word, value)) refuse("is not a number");
            const int64_t most = &value == &values[4] ? 65535 : 255;
            if (value < 0 || value > most)
                refuse(&value == &values[4] ? "does not fit a command (0 to 65535)"
                                            : "does not fit a key or its shift flags (0 to 255)");
            at = end;
        }
        records.push_back({uint8_t(values[0]), uint8_t(values[1]), uint8_t(values[2]), uint8_t(values[3]),
                           uint16_t(values[4])});
    }
    FTableName = lines.Count() > 0 ? lines.Strings(0) : AnsiString();
    FRecords = std::move(records);
}

void TOvcCommandTable::ReadCommandList(TReader& Reader) {
    FTableName = Reader.ReadString();
    FIsActive = Reader.ReadBoolean();
    Reader.ReadListBegin();
    FRecords.clear();
    std::span<const TOvcCmdRec> builtIn = BuiltIn(FTableName);
    FRecords.assign(builtIn.begin(), builtIn.end());
    while (!Reader.EndOfList()) {
        int32_t keys = Reader.ReadInteger();
        int32_t command = Reader.ReadInteger();
        if (command < 0 || command > 65535)
            throw EReadError("Command " + IntToStr(command) + " out of range in " + FTableName);
        TOvcCmdRec rec = CmdRecFromKeys(keys, uint16_t(command));
        int at = builtIn.empty() ? -1 : IndexOf(rec);
        if (at < 0) FRecords.push_back(rec);
        else if (command != 0) FRecords[size_t(at)] = rec;
        else FRecords.erase(FRecords.begin() + at);
    }
    Reader.ReadListEnd();
}

void TOvcCommandTable::WriteCommandList(TWriter& Writer) const {
    Writer.WriteString(FTableName);
    Writer.WriteBoolean(FIsActive);
    Writer.WriteListBegin();
    std::span<const TOvcCmdRec> builtIn = BuiltIn(FTableName);
    if (!builtIn.empty()) {
        // Built-in rows this table lacks, as the key with command 0.
        for (const TOvcCmdRec& b : builtIn)
            if (IndexOf(b) < 0) {
                Writer.WriteInteger(b.Keys());
                Writer.WriteInteger(0);
            }
    }
    for (const TOvcCmdRec& r : FRecords) {
        if (std::find(builtIn.begin(), builtIn.end(), r) != builtIn.end()) continue;
        Writer.WriteInteger(r.Keys());
        Writer.WriteInteger(r.Cmd);
    }
    Writer.WriteListEnd();
}

void TOvcCommandTable::DefineProperties(TFiler* Filer) {
    Filer->DefineProperty(
        "CommandList", [this](TReader& R) { ReadCommandList(R); },
        [this](TWriter& W) { WriteCommandList(W); }, Count() > 0);
}

// --- TOvcCommandProcessor ---

TOvcCommandProcessor::TOvcCommandProcessor() {
    struct {
        uint16_t Name;
        bool Active;
        std::span<const TOvcCmdRec> Rows;
    } const tables[] = {{SDefaultTable, true, DefCommandTable()},
                        {SWordStarTable, false, DefWsCommandTable()},
                        {SGridTable, false, DefGridCommandTable()}};
    for (const auto& t : tables) {
        AnsiString name = GetRvLibStr(t.Name);
        CreateCommandTable(name, t.Active);
        for (const TOvcCmdRec& r : t.Rows) AddCommandRec(name, r);
    }
    ResetCommandProcessor();
}

TOvcCommandProcessor::~TOvcCommandProcessor() { Clear(); }

void TOvcCommandProcessor::Add(TOvcCommandTable* Table) {
    std::unique_ptr<TOvcCommandTable> owned(Table);
    AnsiString name = Table->TableName();
    // Only a name that is taken looks for a number: renaming a free
    // "Custom2" to "Custom1" because "Custom" exists would change the name
    // of a stored table each time its form is read.
    if (GetCommandTable(name)) {
        AnsiString base = name;
        while (base.size() >= 2 && std::isdigit(static_cast<unsigned char>(base.back()))) base.pop_back();
        if (GetCommandTable(base)) {
            for (int n = 1;; ++n) {
                name = base + IntToStr(n);
                if (!GetCommandTable(name)) break;
            }
        } else {
            name = Table->TableName();
        }
    }
    Table->SetTableName(name);
    FTables.push_back(owned.release());
}

int TOvcCommandProcessor::CreateCommandTable(const AnsiString& TableName, bool Active) {
    auto* table = new TOvcCommandTable;
    table->SetTableName(TableName);
    table->SetIsActive(Active);
    Add(table);
    return Count() - 1;
}

TOvcCommandTable* TOvcCommandProcessor::GetTable(int Index) const {
    if (Index < 0 || Index >= Count()) throw ETableNotFound();
    return FTables[size_t(Index)];
}

void TOvcCommandProcessor::SetTable(int Index, TOvcCommandTable* Table) {
    std::unique_ptr<TOvcCommandTable> owned(Table);
    delete GetTable(Index);
    FTables[size_t(Index)] = owned.release();
}

void TOvcCommandProcessor::Exchange(int Index1, int Index2) {
    GetTable(Index1);
    GetTable(Index2);
    std::swap(FTables[size_t(Index1)], FTables[size_t(Index2)]);
}

TOvcCommandTable* TOvcCommandProcessor::GetCommandTable(std::string_view TableName) const {
    int i = GetCommandTableIndex(TableName);
    return i < 0 ? nullptr : FTables[size_t(i)];
}

int TOvcCommandProcessor::GetCommandTableIndex(std::string_view TableName) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(FTables[size_t(i)]->TableName(), TableName)) return i;
    return -1;
}

TOvcCommandTable& TOvcCommandProcessor::Named(std::string_view TableName) const {
    TOvcCommandTable* table = GetCommandTable(TableName);
    if (!table) throw ETableNotFound();
    return *table;
}

int TOvcCommandProcessor::GetCommandCount(std::string_view TableName) const {
    return Named(TableName).Count();
}

int TOvcCommandProcessor::AddCommand(std::string_view TableName, uint8_t Key1, uint8_t Shift1, uint8_t Key2,
                                     uint8_t Shift2, uint16_t Command) {
    return AddCommandRec(TableName, TOvcCmdRec{Key1, Shift1, Key2, Shift2, Command});
}

int TOvcCommandProcessor::AddCommandRec(std::string_view TableName, const TOvcCmdRec& Rec) {
    TOvcCommandTable& table = Named(TableName);
    if (table.IndexOf(Rec) >= 0) throw EDuplicateCommand();
    return table.AddRec(Rec);
}

void TOvcCommandProcessor::DeleteCommand(std::string_view TableName, uint8_t Key1, uint8_t Shift1,
                                         uint8_t Key2, uint8_t Shift2) {
    TOvcCommandTable& table = Named(TableName);
    int i = table.IndexOf(TOvcCmdRec{Key1, Shift1, Key2, Shift2, 0});
    if (i >= 0) table.Delete(i);
}

void TOvcCommandProcessor::ChangeTableName(std::string_view OldName, const AnsiString& NewName) {
    Named(OldName).SetTableName(NewName);
}

void TOvcCommandProcessor::Delete(int Index) {
    delete GetTable(Index);
    FTables.erase(FTables.begin() + Index);
}

void TOvcCommandProcessor::DeleteCommandTable(std::string_view TableName) {
    Named(TableName);
    Delete(GetCommandTableIndex(TableName));
}

void TOvcCommandProcessor::Clear() {
    for (TOvcCommandTable* t : FTables) delete t;
    FTables.clear();
}

void TOvcCommandProcessor::SetScanPriority(std::span<const AnsiString> Names) {
    for (size_t i = 0; i < Names.size() && i < FTables.size(); ++i) {
        int j = GetCommandTableIndex(Names[i]);
        if (j >= 0 && size_t(j) != i) Exchange(static_cast<int>(i), j);
    }
}

int TOvcCommandProcessor::LoadCommandTable(std::string_view FileName) {
    auto table = std::make_unique<TOvcCommandTable>();
    table->LoadFromFile(FileName);
    Add(table.release());
    return Count() - 1;
}

void TOvcCommandProcessor::SaveCommandTable(std::string_view TableName, std::string_view FileName) {
    if (TOvcCommandTable* table = GetCommandTable(TableName)) table->SaveToFile(FileName);
}

void TOvcCommandProcessor::GetState(TOvcProcessorState& State, uint8_t& Key, uint8_t& Shift) const {
    State = FState;
    Key = FKey;
    Shift = FShift;
}

void TOvcCommandProcessor::SetState(TOvcProcessorState State, uint8_t Key, uint8_t Shift) {
    FState = State;
    FKey = Key;
    FShift = Shift;
}

std::vector<TOvcCommandTable*> TOvcCommandProcessor::ActiveTables() const {
    std::vector<TOvcCommandTable*> tables;
    for (TOvcCommandTable* t : FTables)
        if (t->IsActive()) tables.push_back(t);
    return tables;
}

std::vector<TOvcCommandTable*> TOvcCommandProcessor::NamedTables(std::span<const AnsiString> Names) const {
    std::vector<TOvcCommandTable*> tables;
    for (const AnsiString& name : Names)
        if (TOvcCommandTable* t = GetCommandTable(name)) tables.push_back(t);
    return tables;
}

uint16_t TOvcCommandProcessor::Translate(const TMessage& Msg) {
    return TranslateWith(ActiveTables(), uint8_t(Msg.WParam & 0xFF), GetShiftFlags());
}

uint16_t TOvcCommandProcessor::TranslateKey(WORD Key, TShiftState Shift) {
    return TranslateWith(ActiveTables(), uint8_t(Key & 0xFF), FlagsOf(Shift));
}

uint16_t TOvcCommandProcessor::TranslateUsing(std::span<const AnsiString> TableNames, const TMessage& Msg) {
    return TranslateWith(NamedTables(TableNames), uint8_t(Msg.WParam & 0xFF), GetShiftFlags());
}

uint16_t TOvcCommandProcessor::TranslateKeyUsing(std::span<const AnsiString> TableNames, WORD Key,
                                                 TShiftState Shift) {
    return TranslateWith(NamedTables(TableNames), uint8_t(Key & 0xFF), FlagsOf(Shift));
}

uint16_t TOvcCommandProcessor::ScanTable(const TOvcCommandTable& Table, uint8_t Key, uint8_t Shift) {
    for (int i = 0; i < Table.Count(); ++i) {
        const TOvcCmdRec r = Table.GetCmdRec(i);
        if (FState == stPartial) {
            if (r.Key1 != FKey || r.Shift1 != FShift || r.Key2 != Key) continue;
            if (r.Shift2 != Shift && !(r.Shift2 == ss_Wordstar && (Shift == 0 || Shift == ss_Ctrl))) continue;
            SetState(r.Cmd == ccCtrlChar ? stLiteral : stNone, 0, 0);
            return r.Cmd;
        }
        if (r.Key1 != Key || r.Shift1 != Shift) continue;
        if (r.Key2 != 0) {
            SetState(stPartial, Key, Shift);
            return ccSequencePending;
        }
        if (r.Cmd == ccCtrlChar) FState = stLiteral;
        return r.Cmd;
    }
    return ccNone;
}

uint16_t TOvcCommandProcessor::TranslateWith(const std::vector<TOvcCommandTable*>& Tables, uint8_t Key,
                                             uint8_t Shift) {
    if (IsModifierKey(Key)) return FState == stPartial ? ccSequencePending : ccNotACommand;
    if (FState == stLiteral) {
        ResetCommandProcessor();
        return ccNotACommand;
    }
    const bool partial = FState == stPartial;
    for (TOvcCommandTable* t : Tables)
        if (uint16_t command = ScanTable(*t, Key, Shift); command != ccNone) return command;
    ResetCommandProcessor();
    return partial ? ccSequenceFailed : ccNotACommand;
}

void TOvcCommandProcessor::ReadTableList(TReader& Reader) {
    Reader.ReadListBegin();
    Clear();
    while (!Reader.EndOfList()) {
        auto table = std::make_unique<TOvcCommandTable>();
        table->ReadCommandList(Reader);
        Add(table.release());
    }
    Reader.ReadListEnd();
}

void TOvcCommandProcessor::WriteTableList(TWriter& Writer) const {
    Writer.WriteListBegin();
    for (const TOvcCommandTable* t : FTables) t->WriteCommandList(Writer);
    Writer.WriteListEnd();
}

void TOvcCommandProcessor::DefineProperties(TFiler* Filer) {
    Filer->DefineProperty(
        "TableList", [this](TReader& R) { ReadTableList(R); }, [this](TWriter& W) { WriteTableList(W); },
        Count() > 0);
}
