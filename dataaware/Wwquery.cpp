#include "dataaware/Wwquery.h"

#include "platform/sys/Dialogs.h"

ZELMOR_IMPLEMENT_COMPONENT(TwwQuery, TQuery)

void TwwQuery::FilterRefused() {
    MessageDlg(
        "Local filtering is not supported on a Live-Query which contains a Where clause in the SQL string. "
        "To perform a local filter on this query, you will need to set its RequestLive property to False.",
        mtWarning, {mbOK}, 0);
}

bool FieldsMapToIndex(TDataSet* DataSet, const AnsiString& Fields, bool CaseSensitive) {
    std::vector<TField*> fields;
    for (const AnsiString& name : SplitFieldNames(Fields)) fields.push_back(DataSet->FieldByName(name));
    return DataSet->MapsToIndex(fields, !CaseSensitive);
}
