#pragma once
// TwwQuery: the library's query data set, with the table's lines, checks and
// record filter. Statements do not run on the dBase engine: opening one ends
// in a database error and the query stays closed.
#include <string>

#include "dataaware/Wwtable.h"
#include "platform/db/Query.h"

class TwwQuery : public TwwExtendedDataSet<TQuery, TwwQuery> {
    ZELMOR_CLASS(TwwQuery, TQuery)
public:
    explicit TwwQuery(TComponent* AOwner) : TwwExtendedDataSet(AOwner) {}
    static void DescribeProperties(TPropertyTable& T) { DescribeExtras(T, true); }

protected:
    void FilterRefused() override;
};

// Whether the fields of the list (";"-separated; each must exist) are, in
// order, the leading fields of the data set's current index, and that index
// ignores case unless CaseSensitive.
bool FieldsMapToIndex(TDataSet* DataSet, const AnsiString& Fields, bool CaseSensitive);
