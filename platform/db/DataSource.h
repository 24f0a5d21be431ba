#pragma once
// TDataSource joins a data set to the controls that show it; TDataLink is a
// control's end of that join, and TFieldDataLink the end of a control that
// shows one field.
//
// A link sees a window of BufferCount records inside the data set's record
// window: ActiveRecord is the current record's row in it (0 .. RecordCount-1)
// and setting it makes another buffered record the one fields read, without
// moving the cursor (a grid paints its rows so). The notices come in the
// order the data set sends them (DataSet.h).
#include <functional>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/db/DB.h"

class TDataLink;
class TDataSource;

using TDataChangeEvent = TEvent<void(TObject* Sender, TField* Field)>;

class TDataSource : public TComponent {
    ZELMOR_CLASS(TDataSource, TComponent)
    friend class TDataSet;
    friend class TDataLink;

public:
    explicit TDataSource(TComponent* AOwner);
    ~TDataSource() override;
    void BeforeDestruction() override;
    static void DescribeProperties(TPropertyTable& T);

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    // The data set's state, or dsInactive while disabled or without one.
    TDataSetState State() const { return FState; }
    // Whether controls put the data set into edit mode when the user types.
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool Value) { FAutoEdit = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Puts the data set into edit mode when AutoEdit and browsing.
    void Edit();
    bool IsLinkedTo(const TDataSet* DataSet) const;
    int DataLinkCount() const { return static_cast<int>(FDataLinks.size()); }
    TDataLink* DataLinks(int Index) const { return FDataLinks.at(static_cast<size_t>(Index)); }

    TDataChangeEvent OnDataChange;
    TNotifyEvent OnStateChange;
    TNotifyEvent OnUpdateData;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void DataEvent(TDataEvent Event, intptr_t Info);

private:
    void UpdateState();
    void SetState(TDataSetState Value);
    void AddDataLink(TDataLink* Link);
    void RemoveDataLink(TDataLink* Link);

    TDataSet* FDataSet = nullptr;
    TDataSetState FState = dsInactive;
    bool FAutoEdit = true;
    bool FEnabled = true;
    std::vector<TDataLink*> FDataLinks;
};

class TDataLink : public TPersistent {
    ZELMOR_CLASS(TDataLink, TPersistent)
    friend class TDataSource;
    friend class TDataSet;

public:
    TDataLink() = default;
    ~TDataLink() override;

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* Value);
    TDataSet* DataSet() const;
    bool Active() const { return FActive; }
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // The current record's row in this link's window; 0 while a key is typed.
    int ActiveRecord() const;
    void SetActiveRecord(int Value);
    int BufferCount() const { return FBufferCount; }
    void SetBufferCount(int Value);
    // Rows of this link's window that hold records.
    int RecordCount() const;
    // Puts the data set into edit mode (through the data source) unless
    // read-only; answers whether it is editing now.
    bool Edit();
    int MoveBy(int Distance);
    // Asks the control to write its pending value (UpdateData), once.
    void UpdateRecord();
    bool VisualControl() const { return FVisualControl; }
    void SetVisualControl(bool Value) { FVisualControl = Value; }

protected:
    // The notices; the defaults do nothing.
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int Distance);
    virtual void EditingChanged() {}
    // The control showing *Field takes the focus and clears *Field.
    virtual void FocusControl(TField** Field);
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* Field);
    virtual void UpdateData() {}

    virtual void DataEvent(TDataEvent Event, intptr_t Info);
    int FirstRecord() const { return FFirstRecord; }

private:
    void UpdateState();
    void SetActive(bool Value);
    void SetEditing(bool Value);
    void UpdateRange();

    TDataSource* FDataSource = nullptr;
    int FFirstRecord = 0;
    int FBufferCount = 1;
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
    bool FVisualControl = false;
};

// The hook through which a field data link asks its control to take the
// focus (the window layer sets it): true when the control took it.
using TFocusControlHook = std::function<bool(TComponent* Control)>;
void SetFieldFocusHook(TFocusControlHook Hook);

class TFieldDataLink : public TDataLink {
    ZELMOR_CLASS(TFieldDataLink, TDataLink)

public:
    TFieldDataLink() = default;

    TComponent* Control() const { return FControl; }
    void SetControl(TComponent* Value) { FControl = Value; }
    const AnsiString& FieldName() const { return FFieldName; }
    void SetFieldName(const AnsiString& Value);
    TField* Field() const { return FField; }
    // Not read-only, with a field that can be modified.
    bool CanModify() const;
    // Edit mode only for a field that can be modified.
    bool Edit();
    // The control's value differs from the field's (set by the control).
    bool Modified() const { return FModified; }
    void SetModified() { FModified = true; }
    // Throws away the control's change: it shows the field's value again.
    void Reset();
    bool Editing() const { return FFieldEditing; }

    TNotifyEvent OnDataChange;
    TNotifyEvent OnEditingChange;
    TNotifyEvent OnUpdateData;
    TNotifyEvent OnActiveChange;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void FocusControl(TField** Field) override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    void UpdateField();
    void SetField(TField* Value);
    void SetFieldEditing(bool Value);

    TComponent* FControl = nullptr;
    AnsiString FFieldName;
    TField* FField = nullptr;
    bool FModified = false;
    bool FFieldEditing = false;
};
