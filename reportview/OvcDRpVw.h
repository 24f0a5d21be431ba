#pragma once
// The data report view: a report view filled with in-memory items, each
// holding one typed value per report field, which the form stores as the
// byte stream "Data" of the view's Items:
//
//   "ODRD", a 32-bit length (the bytes from that field to the end), a
//   32-bit item count, then per item and per report field a 32-bit size and
//   that many bytes of the value (all integers little-endian).
//
// Values by type: a text and a zero byte; a 10-byte extended float; a 4-byte
// signed integer; an 8-byte date-time; one byte 0 or 1; a 4-byte unsigned
// integer. A value never set has size 0 and reads as 0, false or "".
#include <cstdint>
#include <memory>
#include <vector>

#include "reportview/OvcRptVw.h"

class TStream;
class TMemoryStream;
class TOvcDataReportView;
class TOvcDataRvItems;

enum TOvcDRDataType : uint8_t { dtString, dtFloat, dtInteger, dtDateTime, dtBoolean, dtDWord };
ZELMOR_DECLARE_ENUM(TOvcDRDataType);

class TOvcDataRvField : public TOvcRvField {
    ZELMOR_CLASS(TOvcDataRvField, TOvcRvField)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcDataRvField(TComponent* AOwner) : TOvcRvField(AOwner) {}
    TOvcDRDataType DataType() const { return TOvcDRDataType(FDataType); }
    // "It is not possible to change data types while the view contains data".
    void SetDataType(TOvcDRDataType Value);
    const AnsiString& Format() const { return FFormat; }
    void SetFormat(const AnsiString& Value) { FFormat = Value; }
    // Float texts come from the view's OnFormatFieldFloat.
    bool FormatByOwner() const { return FFlag1; }
    void SetFormatByOwner(bool Value) { FFlag1 = Value; }
};

class TOvcDataRvItem : public TObject {
public:
    // Registered with the view (unless Private) and appended to Items (when given).
    TOvcDataRvItem(TOvcDataReportView* View, TOvcDataRvItems* Items, bool Private = false);
    ~TOvcDataRvItem() override;

    AnsiString GetAsString(int FieldIndex) const;
    void SetAsString(int FieldIndex, const AnsiString& Value);
    double GetAsFloat(int FieldIndex) const;
    void SetAsFloat(int FieldIndex, double Value);
    int32_t GetAsInteger(int FieldIndex) const;
    void SetAsInteger(int FieldIndex, int32_t Value);
    double GetAsDateTime(int FieldIndex) const;
    void SetAsDateTime(int FieldIndex, double Value);
    bool GetAsBoolean(int FieldIndex) const;
    void SetAsBoolean(int FieldIndex, bool Value);
    uint32_t GetAsDWord(int FieldIndex) const;
    void SetAsDWord(int FieldIndex, uint32_t Value);
    // The stored text; "" for a size below 2.
    AnsiString GetAsPChar(int FieldIndex) const;

    int GetFieldSize(int FieldIndex) const;
    void SetFieldSize(int FieldIndex, int Size);
    // Drops every value when the view's fields are not those the values were stored for.
    void ValidateData();
    void ClearData();
    void CheckType(int FieldIndex, TOvcDRDataType Type) const;
    // Tells the view the item changed (not for a private item).
    void Changed();
    bool GetSelected() const;
    void SetSelected(bool Value);
    void ReadFromStream(TStream& Stream);
    void WriteToStream(TStream& Stream) const;
    bool IsPrivate() const { return FPrivate; }

private:
    friend class TOvcDataRvItems;
    const uint8_t* Bytes(int FieldIndex) const;
    uint8_t* Bytes(int FieldIndex);
    TOvcDRDataType TypeOf(int FieldIndex) const;
    void CheckIndex(int FieldIndex) const;
    // The raw reads, without the type check.
    long double InternalGetAsFloat(int FieldIndex) const;
    int32_t InternalGetAsInteger(int FieldIndex) const;
    double InternalGetAsDateTime(int FieldIndex) const;
    bool InternalGetAsBoolean(int FieldIndex) const;
    uint32_t InternalGetAsDWord(int FieldIndex) const;
    void Store(int FieldIndex, const void* Data, int Size);

    TOvcDataReportView* FView;
    TOvcDataRvItems* FItems;
    std::vector<int> FOffsets;
    std::vector<int> FSizes;
    std::vector<uint8_t> FData;
    bool FPrivate;
    bool FRegistered = false;
};

class TOvcDataRvItems : public TPersistent {
    ZELMOR_CLASS(TOvcDataRvItems, TPersistent)
public:
    explicit TOvcDataRvItems(TOvcDataReportView* View);
    ~TOvcDataRvItems() override;
    TOvcDataRvItem* Add();
    void Clear();
    int GetCount() const { return static_cast<int>(FList.size()); }
    TOvcDataRvItem* GetItem(int Index) const { return FList.at(size_t(Index)); }
    // "Bad stream signature in report view data" without the magic.
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;
    void Assign(TPersistent* Source) override;
    // The stream read while the form was read, parsed once the fields are known.
    void LoadPending();

protected:
    void DefineProperties(TFiler* Filer) override;

private:
    friend class TOvcDataRvItem;
    std::vector<TOvcDataRvItem*> FList;  // owned
    TOvcDataReportView* FView;
    bool FClearing = false;
    std::unique_ptr<TMemoryStream> FPending;
};

using TOvcDrawDViewFieldEvent = TEvent<void(TObject* Sender, TCanvas* Canvas, TOvcDataRvItem* Data,
                                            int32_t ViewFieldIndex, const TRect& Rect, const AnsiString& S)>;
using TOvcDrawDViewFieldExEvent = TEvent<void(
    TObject* Sender, TCanvas* Canvas, TOvcDataRvField* Field, TOvcRvViewField* ViewField, uint32_t& TextAlign,
    bool IsSelected, bool IsGroupLine, TOvcDataRvItem* Data, const TRect& Rect, const AnsiString& Text,
    const AnsiString& TruncText, bool& DefaultDrawing)>;
using TOvcDRVEnumEvent = TEvent<void(TObject* Sender, TOvcDataRvItem* Data, bool& Stop, void* UserData)>;
using TOvcDRVFilterEvent =
    TEvent<void(TObject* Sender, TOvcDataRvItem* Data, int32_t FilterIndex, bool& Include)>;
using TOvcFormatFieldFloatEvent =
    TEvent<void(TObject* Sender, int32_t FieldIndex, double Value, AnsiString& Text)>;

class TOvcDataReportView : public TOvcCustomReportView {
    ZELMOR_CLASS(TOvcDataReportView, TOvcCustomReportView)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcDataReportView(TComponent* AOwner);
    ~TOvcDataReportView() override;
    void BeforeDestruction() override;

    TOvcDataRvItems* Items() const { return FItems.get(); }
    void SetItems(TOvcDataRvItems* Value) { FItems->Assign(Value); }
    TOvcDataRvField* GetField(int Index) const {
        return static_cast<TOvcDataRvField*>(Fields()->Item(Index));
    }
    TOvcDataRvItem* GetCurrentItem() {
        return static_cast<TOvcDataRvItem*>(TOvcCustomReportView::GetCurrentItem());
    }
    void SetCurrentItem(TOvcDataRvItem* Item) { TOvcCustomReportView::SetCurrentItem(Item); }

    TOvcDrawDViewFieldEvent OnDrawViewField;
    TOvcDrawDViewFieldExEvent OnDrawViewFieldEx;
    TOvcDRVEnumEvent OnEnumerate;
    TOvcDRVFilterEvent OnFilter;
    TOvcFormatFieldFloatEvent OnFormatFieldFloat;

    int DoCompareFields(void* Data1, void* Data2, int FieldIndex) override;
    bool DoFilter(void* Data, int FilterIndex) override;
    double DoGetFieldAsFloat(void* Data, int FieldIndex) override;
    void DoEnumEvent(void* Data, bool& Stop, void* UserData) override;
    AnsiString DoGetFieldAsString(void* Data, int32_t FieldIndex) override;
    AnsiString DoGetGroupString(int32_t FieldIndex, TOvcRvIndexGroup* GroupRef) override;
    void DoKeySearch(int32_t FieldIndex, const AnsiString& Text) override;
    void DoDrawViewField(TCanvas* Canvas, void* Data, const AnsiString& Text, const AnsiString& FullText,
                         const TRect& Rect, int32_t ViewFieldIndex, bool IsGroupLine, bool IsSelected,
                         uint32_t TextFlags, TOvcRvViewField* ViewField, TOvcRvField* Field) override;
    double GetFieldAsFloat(void* Data, int32_t FieldIndex) override;
    double GetFieldAsDateTime(void* Data, int32_t FieldIndex) override;
    bool GetFieldAsBoolean(void* Data, int32_t FieldIndex) override;
    AnsiString GetFieldAsString(void* Data, int32_t FieldIndex) override;
    void Enumerate(void* UserData) override;
    void EnumerateSelected(void* UserData) override;
    void EnumerateEx(bool Backwards, bool SelectedOnly, void* StartAfter, void* UserData) override;

protected:
    const TClassInfo* GetFieldClassType() const override;
    void Loaded() override;

private:
    std::unique_ptr<TOvcDataRvItems> FItems;
};
