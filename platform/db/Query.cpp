#include "platform/db/Query.h"

#include "platform/db/DataSource.h"
#include "platform/db/DbfTable.h"
#include "platform/rtl/StringList.h"

ZELMOR_IMPLEMENT_COMPONENT(TQuery, TDBDataSet)
ZELMOR_IMPLEMENT_COMPONENT(TStoredProc, TDBDataSet)

namespace {
[[noreturn]] void NoStatements(const char* What, const TComponent* Component) {
    DatabaseErrorFmt(DBText::NotSupported, {What}, Component);
}
}  // namespace

// ---------------------------------------------------------------- TQuery

TQuery::TQuery(TComponent* AOwner)
    : TDBDataSet(AOwner), FSQL(std::make_unique<TStringList>()), FParams(std::make_unique<TParams>(this)) {}

TQuery::~TQuery() = default;

void TQuery::DescribeProperties(TPropertyTable& T) {
    T.Property("DataSource", &TQuery::DataSource, &TQuery::SetDataSource);
    T.Property("Params", &TQuery::Params, &TQuery::SetParams);
    T.Property("RequestLive", &TQuery::RequestLive, &TQuery::SetRequestLive).Default(false);
    T.Property("SQL", &TQuery::SQL, &TQuery::SetSQL);
}

TStrings* TQuery::SQL() const { return FSQL.get(); }

void TQuery::SetSQL(TStrings* Value) {
    if (Active()) Close();
    if (Value && Value != FSQL.get()) FSQL->Assign(Value);
}

void TQuery::SetParams(TParams* Value) {
    if (Value && Value != FParams.get()) FParams->Assign(Value);
}

void TQuery::Notification(TComponent* AComponent, TOperation Operation) {
    TDBDataSet::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSource) FDataSource = nullptr;
}

void TQuery::Prepare() { NoStatements("SQL statements", this); }

void TQuery::ExecSQL() { NoStatements("SQL statements", this); }

std::unique_ptr<TDbfCursor> TQuery::CreateHandle() { NoStatements("SQL statements", this); }

// ---------------------------------------------------------------- TStoredProc

TStoredProc::TStoredProc(TComponent* AOwner) : TDBDataSet(AOwner), FParams(std::make_unique<TParams>(this)) {}

TStoredProc::~TStoredProc() = default;

void TStoredProc::DescribeProperties(TPropertyTable& T) {
    T.Property("Params", &TStoredProc::Params, &TStoredProc::SetParams);
    T.Property("StoredProcName", &TStoredProc::StoredProcName, &TStoredProc::SetStoredProcName);
}

void TStoredProc::SetParams(TParams* Value) {
    if (Value && Value != FParams.get()) FParams->Assign(Value);
}

void TStoredProc::Prepare() { NoStatements("stored procedures", this); }

void TStoredProc::ExecProc() { NoStatements("stored procedures", this); }

std::unique_ptr<TDbfCursor> TStoredProc::CreateHandle() { NoStatements("stored procedures", this); }
