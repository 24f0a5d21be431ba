#pragma once
// The data-aware report view: a report view whose items are the records of
// a data set. Item n is record n of the data link's record window, which is
// made as large as the data set, so that showing, comparing or totalling a
// record makes buffer row n - 1 the link's active record and moves no
// cursor. The report fields are made from the data set's fields (one per
// field of a kind the view can show); views and view fields come from form
// data and name those report fields.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/db/DataSource.h"
#include "reportview/OvcDlm.h"
#include "reportview/OvcRptVw.h"

class TDataSet;
class TField;
class TOvcDbReportView;

using TOvcDbRVEnumEvent = TEvent<void(TObject* Sender, bool& Stop, void* UserData)>;

class TOvcDbRvField : public TOvcRvField {
    ZELMOR_CLASS(TOvcDbRvField, TOvcRvField)
public:
    explicit TOvcDbRvField(TComponent* AOwner) : TOvcRvField(AOwner) {}
};

class TOvcDbRvDataLink : public TDataLink {
    ZELMOR_CLASS(TOvcDbRvDataLink, TDataLink)
public:
    explicit TOvcDbRvDataLink(TOvcDbReportView* View) : FView(View) {}
    // The data set's field at Index; "Invalid Field Index" outside the fields.
    TField* GetFields(int Index) const;
    bool GetDefaultFields() const;

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void LayoutChanged() override;
    void RecordChanged(TField*) override {}
    void UpdateData() override {}

private:
    TOvcDbReportView* FView;
};

class TOvcDbReportView : public TOvcCustomReportView {
    ZELMOR_CLASS(TOvcDbReportView, TOvcCustomReportView)
public:
    // More records than this stop the load.
    static constexpr int MaxDataCount = 0x4000;
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcDbReportView(TComponent* AOwner);
    ~TOvcDbReportView() override;
    void BeforeDestruction() override;

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    TOvcDbRvDataLink* DataLink() const { return FDataLink.get(); }
    bool UseRecordCount() const { return FUseRecordCount; }
    void SetUseRecordCount(bool Value) { FUseRecordCount = Value; }
    bool RefreshOnMove() const { return FRefreshOnMove; }
    void SetRefreshOnMove(bool Value) { FRefreshOnMove = Value; }
    bool SyncOnOwnerDraw() const { return FSyncOnOwnerDraw; }
    void SetSyncOnOwnerDraw(bool Value) { FSyncOnOwnerDraw = Value; }
    // The data set's field of report field I.
    TField* BoundField(int I) const { return FBoundFields.at(size_t(I)); }
    int ItemCount() const { return static_cast<int>(FItemList.size()); }

    void BuildFieldTable();
    void BindViews();
    void ClearAll();
    void ClearBindings();
    void ClearDataList() { FItemList.clear(); }
    void ReloadData();
    int InternalRecordCount();
    AnsiString CreateValidFieldName(const AnsiString& Name) const;
    void ActiveChanged();
    void DataSetChanged();
    // The data set's records may hold new values (a post, a cancel, a
    // delete, a refresh: anything but a move): totals are summed again and
    // the body and footer repainted. Texts stay cached and the order stays
    // until the table is reopened.
    void ValuesChanged();
    void RecordChanged() { ReloadData(); }
    void MoveDataPointer(void* Data);
    void UpdateCurrentSelection();

    // The record to handle is the data set's current record.
    TOvcDbRVEnumEvent OnEnumerate;

    void Click() override;
    void DblClick() override;
    // The view's own answer first, then its data source's (the actions that
    // work on a data set).
    bool ExecuteAction(TBasicAction* Action) override;
    bool UpdateAction(TBasicAction* Action) override;
    void Enumerate(void* UserData) override;
    void EnumerateSelected(void* UserData) override;
    void EnumerateEx(bool Backwards, bool SelectedOnly, void* StartAfter, void* UserData) override;
    // Dates and logicals are read as what they are (totals still read
    // numbers only, through DoGetFieldAsFloat).
    double GetFieldAsDateTime(void* Data, int32_t FieldIndex) override;
    bool GetFieldAsBoolean(void* Data, int32_t FieldIndex) override;
    AnsiString DoGetFieldAsString(void* Data, int32_t FieldIndex) override;
    AnsiString DoGetGroupString(int32_t FieldIndex, TOvcRvIndexGroup* GroupRef) override;
    void DoKeySearch(int32_t SortColumn, const AnsiString& KeyString) override;
    void DoDrawViewField(TCanvas* Canvas, void* Data, const AnsiString& Text, const AnsiString& FullText,
                         const TRect& Rect, int32_t ViewFieldIndex, bool IsGroupLine, bool IsSelected,
                         uint32_t TextFlags, TOvcRvViewField* ViewField, TOvcRvField* Field) override;
    int DoCompareFields(void* Data1, void* Data2, int FieldIndex) override;
    double DoGetFieldAsFloat(void* Data, int FieldIndex) override;
    void DoEnumEvent(void* Data, bool& Stop, void* UserData) override;
    void SetName(const AnsiString& NewName) override;

protected:
    void DoBusy(bool BusyFlag) override;
    const TClassInfo* GetFieldClassType() const override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TMoving;
    TField* FieldOf(int FieldIndex) const;
    std::vector<void*> FItemList;
    std::vector<TField*> FBoundFields;
    std::vector<std::unique_ptr<TOvcLiteStringCache>> FCaches;
    std::unique_ptr<TOvcDbRvDataLink> FDataLink;
    bool FKeySearchMode = false;
    AnsiString FKeyText;
    int FMoveDepth = 0;
    bool FUseRecordCount = false;
    bool FRefreshOnMove = true;
    bool FSyncOnOwnerDraw = false;
    // A reload asked while this view reloads is dropped; other views reload.
    bool FReloading = false;
};
