#pragma once
// Command tables and the command processor: the library's controls do not
// read keys themselves, the controller's processor turns each key into a
// command number. A processor scans its active tables in order; a table
// row is one key with its shift flags, or a two-key sequence, and a command.
//
// Forms store tables as their differences from the built-in tables
// ("Default", "WordStar", "Grid") under "TableList" and "CommandList";
// tables can also be saved to and loaded from text files.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/classes/Properties.h"
#include "platform/ui/Controls.h"
#include "reportview/OvcData.h"

class TReader;
class TWriter;

using TUserCommandEvent = TEvent<void(TObject* Sender, uint16_t Command)>;

// The built-in tables, in their rows' order.
std::span<const TOvcCmdRec> DefCommandTable();      // "Default", 64 rows
std::span<const TOvcCmdRec> DefWsCommandTable();    // "WordStar", 40 rows
std::span<const TOvcCmdRec> DefGridCommandTable();  // "Grid", 38 rows

class TOvcCommandTable : public TPersistent {
    ZELMOR_CLASS(TOvcCommandTable, TPersistent)
public:
    TOvcCommandTable();

    bool IsActive() const { return FIsActive; }
    void SetIsActive(bool Value) { FIsActive = Value; }
    const AnsiString& TableName() const { return FTableName; }
    void SetTableName(const AnsiString& Value) { FTableName = Value; }

    int Count() const { return static_cast<int>(FRecords.size()); }
    int AddRec(const TOvcCmdRec& Rec);
    void InsertRec(int Index, const TOvcCmdRec& Rec);
    // EListError for an index out of range.
    TOvcCmdRec GetCmdRec(int Index) const;
    void PutCmdRec(int Index, const TOvcCmdRec& Rec);
    void Delete(int Index);
    void Exchange(int Index1, int Index2);
    void Move(int FromIndex, int ToIndex);
    void Clear() { FRecords.clear(); }
    // The first row with the same four key bytes (the command is not compared), or -1.
    int IndexOf(const TOvcCmdRec& Rec) const;

    // The text form: the table's name, then one row a line, its five numbers
    // right-aligned in columns of 4, 4, 4, 4 and 6 characters.
    void SaveToFile(std::string_view FileName) const;
    // Takes the name and the rows of the file; IsActive stays. A line whose
    // numbers are not numbers or do not fit a key byte or a command is
    // refused (EInOutError naming the file and the line) and the table stays
    // as it was.
    void LoadFromFile(std::string_view FileName);

    // The "CommandList" value: the name, IsActive and the rows, as their
    // differences from the built-in table of that name.
    void ReadCommandList(TReader& Reader);
    void WriteCommandList(TWriter& Writer) const;

protected:
    void DefineProperties(TFiler* Filer) override;

private:
    void Check(int Index) const;
    std::vector<TOvcCmdRec> FRecords;
    bool FIsActive = true;
    AnsiString FTableName;
};

enum TOvcProcessorState : uint8_t { stNone, stPartial, stLiteral };

class TOvcCommandProcessor : public TPersistent {
    ZELMOR_CLASS(TOvcCommandProcessor, TPersistent)
public:
    // Holds the three built-in tables, "Default" active.
    TOvcCommandProcessor();
    ~TOvcCommandProcessor() override;

    // Takes the table; a name that another table bears gets the first free
    // number ("Default" becomes "Default1"), counted on the name without its
    // own digits ("Default1" becomes "Default2"). A name no table bears stays
    // as it is, digits and all ("Custom2" beside "Custom"), so that the
    // tables of a form read back under the names they were stored with.
    void Add(TOvcCommandTable* Table);
    int CreateCommandTable(const AnsiString& TableName, bool Active);
    int Count() const { return static_cast<int>(FTables.size()); }
    // ETableNotFound for an index out of range.
    TOvcCommandTable* GetTable(int Index) const;
    void SetTable(int Index, TOvcCommandTable* Table);  // frees the one replaced
    void Exchange(int Index1, int Index2);
    // By name without regard to case; null or -1 when none.
    TOvcCommandTable* GetCommandTable(std::string_view TableName) const;
    int GetCommandTableIndex(std::string_view TableName) const;

    // These raise ETableNotFound for a table that is not there.
    int GetCommandCount(std::string_view TableName) const;
    // EDuplicateCommand when a row of the same keys exists.
    int AddCommand(std::string_view TableName, uint8_t Key1, uint8_t Shift1, uint8_t Key2, uint8_t Shift2,
                   uint16_t Command);
    int AddCommandRec(std::string_view TableName, const TOvcCmdRec& Rec);
    void DeleteCommand(std::string_view TableName, uint8_t Key1, uint8_t Shift1, uint8_t Key2,
                       uint8_t Shift2);
    void ChangeTableName(std::string_view OldName, const AnsiString& NewName);
    void Delete(int Index);
    void DeleteCommandTable(std::string_view TableName);
    void Clear();
    // The tables named come first, in the order given.
    void SetScanPriority(std::span<const AnsiString> Names);

    virtual int LoadCommandTable(std::string_view FileName);
    virtual void SaveCommandTable(std::string_view TableName, std::string_view FileName);

    // The translation state, shared by all the controls of the form: the
    // first key of a sequence typed in one control and the second in another
    // still form a sequence.
    void GetState(TOvcProcessorState& State, uint8_t& Key, uint8_t& Shift) const;
    void SetState(TOvcProcessorState State, uint8_t Key, uint8_t Shift);
    void ResetCommandProcessor() { SetState(stNone, 0, 0); }

    // A key-down message (the key in WParam; the shift keys held now).
    uint16_t Translate(const TMessage& Msg);
    uint16_t TranslateKey(WORD Key, TShiftState Shift);
    // The same over the named tables only, in that order, active or not.
    uint16_t TranslateUsing(std::span<const AnsiString> TableNames, const TMessage& Msg);
    uint16_t TranslateKeyUsing(std::span<const AnsiString> TableNames, WORD Key, TShiftState Shift);

protected:
    void DefineProperties(TFiler* Filer) override;

private:
    TOvcCommandTable& Named(std::string_view TableName) const;
    uint16_t TranslateWith(const std::vector<TOvcCommandTable*>& Tables, uint8_t Key, uint8_t Shift);
    uint16_t ScanTable(const TOvcCommandTable& Table, uint8_t Key, uint8_t Shift);
    std::vector<TOvcCommandTable*> ActiveTables() const;
    std::vector<TOvcCommandTable*> NamedTables(std::span<const AnsiString> Names) const;
    void ReadTableList(TReader& Reader);
    void WriteTableList(TWriter& Writer) const;

    std::vector<TOvcCommandTable*> FTables;
    TOvcProcessorState FState = stNone;
    uint8_t FKey = 0;
    uint8_t FShift = 0;
};
