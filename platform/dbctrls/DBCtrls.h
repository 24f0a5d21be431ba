#pragma once
// The class library's data-aware controls that the data-aware library
// creates by class: a memo, a check box and an image, each bound to one field
// of a data source's data set through a field data link. They show the
// field's value of the current record and write what the user changed back
// into the field (putting the data set in edit mode) when the focus leaves
// them or the record is posted.
#include <memory>

#include "platform/db/DataSource.h"
#include "platform/gfx/Bitmap.h"
#include "platform/ui/StdCtrls.h"

class TField;

class TDBMemo : public TCustomMemo {
    ZELMOR_CLASS(TDBMemo, TCustomMemo)
public:
    explicit TDBMemo(TComponent* AOwner);
    ~TDBMemo() override;
    static void DescribeProperties(TPropertyTable& T);

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    const AnsiString& DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
    TField* Field() const { return FDataLink->Field(); }
    bool ReadOnly() const { return FDataLink->ReadOnly(); }
    void SetReadOnly(bool Value);
    TFieldDataLink* DataLink() const { return FDataLink.get(); }

protected:
    void Change() override;
    void KeyPress(char& Key) override;
    void CMExit(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void DataChange(TObject* Sender);
    void UpdateData(TObject* Sender);
    std::unique_ptr<TFieldDataLink> FDataLink;
    bool FLoading = false;
};

class TDBCheckBox : public TCustomCheckBox {
    ZELMOR_CLASS(TDBCheckBox, TCustomCheckBox)
public:
    explicit TDBCheckBox(TComponent* AOwner);
    ~TDBCheckBox() override;
    static void DescribeProperties(TPropertyTable& T);

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    const AnsiString& DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
    TField* Field() const { return FDataLink->Field(); }
    bool ReadOnly() const { return FDataLink->ReadOnly(); }
    void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
    // The texts the field holds for a ticked and an unticked box; a Boolean
    // field takes true and false. Several texts may stand separated by ";"
    // (the first is written).
    const AnsiString& ValueChecked() const { return FValueChecked; }
    void SetValueChecked(const AnsiString& Value);
    const AnsiString& ValueUnchecked() const { return FValueUnchecked; }
    void SetValueUnchecked(const AnsiString& Value);
    TFieldDataLink* DataLink() const { return FDataLink.get(); }

protected:
    void Toggle() override;
    void CMExit(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void DataChange(TObject* Sender);
    void UpdateData(TObject* Sender);
    TCheckBoxState FieldState() const;
    std::unique_ptr<TFieldDataLink> FDataLink;
    AnsiString FValueChecked = "True", FValueUnchecked = "False";
};

// Shows a graphic field (a Windows bitmap in the blob), stretched to the
// control when Stretch, else at its top-left corner.
class TDBImage : public TCustomControl {
    ZELMOR_CLASS(TDBImage, TCustomControl)
public:
    explicit TDBImage(TComponent* AOwner);
    ~TDBImage() override;
    static void DescribeProperties(TPropertyTable& T);

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    const AnsiString& DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
    TField* Field() const { return FDataLink->Field(); }
    bool ReadOnly() const { return FDataLink->ReadOnly(); }
    void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    // The picture of the current record; empty when the field is empty or holds no bitmap.
    TBitmap* Picture() const { return FPicture.get(); }
    TFieldDataLink* DataLink() const { return FDataLink.get(); }

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void DataChange(TObject* Sender);
    std::unique_ptr<TFieldDataLink> FDataLink;
    std::unique_ptr<TBitmap> FPicture;
    bool FStretch = false;
};

// Makes the three classes known to form files.
void RegisterDBControls();
