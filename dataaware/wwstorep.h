#pragma once
// TwwStoredProc: the library's stored procedure, with the table's lines,
// checks and record filter. There are no stored procedures on the dBase
// engine: opening one ends in a database error and it stays closed.
#include "dataaware/Wwtable.h"
#include "platform/db/Query.h"

class TwwStoredProc : public TwwExtendedDataSet<TStoredProc, TwwStoredProc> {
    ZELMOR_CLASS(TwwStoredProc, TStoredProc)
public:
    explicit TwwStoredProc(TComponent* AOwner) : TwwExtendedDataSet(AOwner) {}
    // A record filter the engine refuses is left off without a word: a
    // stored procedure's caller sees all its rows, as before.
    static void DescribeProperties(TPropertyTable& T) { DescribeExtras(T, true); }
};
