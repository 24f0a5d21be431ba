#pragma once
// The statement data sets. The program reaches its tables by name only, so
// these exist for the libraries' classes that derive from them: they
// construct, keep their SQL text and parameters, and answer every attempt to
// run a statement with EDatabaseError "Operation not supported: ...".
#include <memory>

#include "platform/db/Params.h"
#include "platform/db/Table.h"

class TStrings;
class TStringList;

class TQuery : public TDBDataSet {
    ZELMOR_CLASS(TQuery, TDBDataSet)

public:
    explicit TQuery(TComponent* AOwner);
    ~TQuery() override;
    static void DescribeProperties(TPropertyTable& T);

    TStrings* SQL() const;
    void SetSQL(TStrings* Value);
    TParams* Params() const { return FParams.get(); }
    void SetParams(TParams* Value);
    TParam* ParamByName(std::string_view Name) const { return FParams->ParamByName(Name); }
    bool RequestLive() const { return FRequestLive; }
    void SetRequestLive(bool Value) { FRequestLive = Value; }
    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* Value) { FDataSource = Value; }
    bool Prepared() const { return false; }
    bool CanModify() const override { return false; }

    void Prepare();
    void UnPrepare() {}
    void ExecSQL();

protected:
    std::unique_ptr<TDbfCursor> CreateHandle() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TStringList> FSQL;
    std::unique_ptr<TParams> FParams;
    bool FRequestLive = false;
    TDataSource* FDataSource = nullptr;
};

class TStoredProc : public TDBDataSet {
    ZELMOR_CLASS(TStoredProc, TDBDataSet)

public:
    explicit TStoredProc(TComponent* AOwner);
    ~TStoredProc() override;
    static void DescribeProperties(TPropertyTable& T);

    const AnsiString& StoredProcName() const { return FStoredProcName; }
    void SetStoredProcName(const AnsiString& Value) { FStoredProcName = Value; }
    TParams* Params() const { return FParams.get(); }
    void SetParams(TParams* Value);
    TParam* ParamByName(std::string_view Name) const { return FParams->ParamByName(Name); }
    bool CanModify() const override { return false; }

    void Prepare();
    void ExecProc();

protected:
    std::unique_ptr<TDbfCursor> CreateHandle() override;

private:
    AnsiString FStoredProcName;
    std::unique_ptr<TParams> FParams;
};
