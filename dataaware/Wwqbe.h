#pragma once
// TwwQBE: a data set whose rows would come from a query-by-example
// statement, with the table's lines and record filter. QBE statements do not
// run on the dBase engine: the statement's failure goes to OnError, and the
// data set ends in a database error and stays closed.
#include <memory>
#include <string>

#include "dataaware/Wwtable.h"

class TStringList;
class TwwQBE;

using TwwQBEErrorEvent = TEvent<void(TwwQBE* Qbe, int ErrorCode)>;

class TwwQBE : public TwwExtendedDataSet<TDBDataSet, TwwQBE> {
    ZELMOR_CLASS(TwwQBE, TDBDataSet)
public:
    explicit TwwQBE(TComponent* AOwner);
    ~TwwQBE() override;
    static void DescribeProperties(TPropertyTable& T);

    // Changing the statement of an open data set runs it again.
    TStrings* QBE() const;
    void SetQBE(TStrings* Value);
    // A permanent table for the answer (":alias:name" in an alias's folder).
    const AnsiString& AnswerTable() const { return FAnswerTable; }
    void SetAnswerTable(const AnsiString& Value) { FAnswerTable = Value; }
    bool AuxiliaryTables() const { return FAuxiliaryTables; }
    void SetAuxiliaryTables(bool Value) { FAuxiliaryTables = Value; }
    bool BlankAsZero() const { return FBlankAsZero; }
    void SetBlankAsZero(bool Value) { FBlankAsZero = Value; }
    TwwQBEErrorEvent OnError;

    // Placeholders of the statement ("~NAME") and their values, line for line.
    TStrings* ParamNames() const;
    TStrings* ParamValues() const;
    // The statement as it goes to the engine: each "~" and parameter name
    // replaced by the value (the last name first, without regard to case),
    // every other "~" and the word after it by one blank; lines joined by CR LF.
    AnsiString StatementText() const;
    // Runs the statement: the engine's code (0 for success) and its answer.
    virtual int RunQBE(std::unique_ptr<TDbfCursor>& Answer);

protected:
    std::unique_ptr<TDbfCursor> CreateHandle() override;
    void OpenCursor(bool InfoQuery) override;

private:
    std::unique_ptr<TStringList> FQBE, FParamNames, FParamValues;
    AnsiString FAnswerTable;
    bool FAuxiliaryTables = true;
    bool FBlankAsZero = true;
    AnsiString FLastError;
};
