#include "platform/dbctrls/DBCtrls.h"

#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_COMPONENT(TDBMemo, TCustomMemo)
ZELMOR_IMPLEMENT_COMPONENT(TDBCheckBox, TCustomCheckBox)
ZELMOR_IMPLEMENT_COMPONENT(TDBImage, TCustomControl)

namespace {

std::unique_ptr<TFieldDataLink> NewLink(TComponent* Control) {
    auto Link = std::make_unique<TFieldDataLink>();
    Link->SetControl(Control);
    return Link;
}

// The first of a list of texts separated by ";".
AnsiString FirstOf(const AnsiString& Values) { return Values.substr(0, Values.find(';')); }

bool OneOf(const AnsiString& Text, const AnsiString& Values) {
    size_t Start = 0;
    for (;;) {
        size_t End = Values.find(';', Start);
        if (AnsiSameText(Text,
                         Values.substr(Start, End == AnsiString::npos ? AnsiString::npos : End - Start)))
            return true;
        if (End == AnsiString::npos) return false;
        Start = End + 1;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// TDBMemo
// ---------------------------------------------------------------------------

TDBMemo::TDBMemo(TComponent* AOwner) : TCustomMemo(AOwner), FDataLink(NewLink(this)) {
    FDataLink->OnDataChange = [this](TObject* S) { DataChange(S); };
    FDataLink->OnUpdateData = [this](TObject* S) { UpdateData(S); };
    FDataLink->OnEditingChange = [this](TObject*) { TCustomMemo::SetReadOnly(!FDataLink->CanModify()); };
}

TDBMemo::~TDBMemo() { FDataLink->SetControl(nullptr); }

void TDBMemo::DescribeProperties(TPropertyTable& T) {
    using C = TDBMemo;
    TControl::PublishStandard(T, {"Align", "Anchors", "Color", "Enabled", "Font", "ParentFont", "ShowHint",
                                  "TabOrder", "TabStop", "Visible", "OnEnter", "OnExit", "OnKeyDown",
                                  "OnKeyPress"});
    T.Event("OnChange", &C::OnChange);
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("DataField", &C::DataField, &C::SetDataField);
    T.Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
}

void TDBMemo::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

void TDBMemo::SetReadOnly(bool Value) {
    FDataLink->SetReadOnly(Value);
    TCustomMemo::SetReadOnly(Value);
}

void TDBMemo::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomMemo::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == DataSource()) SetDataSource(nullptr);
}

void TDBMemo::DataChange(TObject*) {
    FLoading = true;
    SetText(Field() ? Field()->AsString() : AnsiString());
    SetModified(false);
    FLoading = false;
}

void TDBMemo::UpdateData(TObject*) {
    if (Field()) Field()->SetAsString(Text());
}

void TDBMemo::KeyPress(char& Key) {
    TCustomMemo::KeyPress(Key);
    // A key that would change the text first puts the record in edit mode.
    if (Key != 0 && (uint8_t(Key) >= 32 || Key == 8 || Key == 13) && Field() && !FDataLink->Edit()) Key = 0;
}

void TDBMemo::Change() {
    if (!FLoading) FDataLink->SetModified();
    TCustomMemo::Change();
}

void TDBMemo::CMExit(TMessage& Message) {
    try {
        FDataLink->UpdateRecord();
    } catch (...) {
        SetFocus();
        throw;
    }
    TCustomMemo::CMExit(Message);
}

// ---------------------------------------------------------------------------
// TDBCheckBox
// ---------------------------------------------------------------------------

TDBCheckBox::TDBCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner), FDataLink(NewLink(this)) {
    FDataLink->OnDataChange = [this](TObject* S) { DataChange(S); };
    FDataLink->OnUpdateData = [this](TObject* S) { UpdateData(S); };
}

TDBCheckBox::~TDBCheckBox() { FDataLink->SetControl(nullptr); }

void TDBCheckBox::DescribeProperties(TPropertyTable& T) {
    using C = TDBCheckBox;
    T.Property("Alignment", &C::Alignment, &C::SetAlignment).Default(taRightJustify);
    T.Property("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed).Default(false);
    TControl::PublishStandard(T, {"Caption", "Color", "Enabled", "Font", "ParentFont", "ShowHint", "TabOrder",
                                  "TabStop", "Visible", "OnClick", "OnEnter", "OnExit"});
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("DataField", &C::DataField, &C::SetDataField);
    T.Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    T.Property("ValueChecked", &C::ValueChecked, &C::SetValueChecked);
    T.Property("ValueUnchecked", &C::ValueUnchecked, &C::SetValueUnchecked);
}

void TDBCheckBox::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

void TDBCheckBox::SetValueChecked(const AnsiString& Value) {
    FValueChecked = Value;
    DataChange(this);
}

void TDBCheckBox::SetValueUnchecked(const AnsiString& Value) {
    FValueUnchecked = Value;
    DataChange(this);
}

void TDBCheckBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomCheckBox::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == DataSource()) SetDataSource(nullptr);
}

TCheckBoxState TDBCheckBox::FieldState() const {
    TField* F = Field();
    if (!F || F->IsNull()) return AllowGrayed() ? cbGrayed : cbUnchecked;
    if (F->DataType() == ftBoolean) return F->AsBoolean() ? cbChecked : cbUnchecked;
    const AnsiString Text = F->AsString();
    if (OneOf(Text, FValueChecked)) return cbChecked;
    if (OneOf(Text, FValueUnchecked)) return cbUnchecked;
    return cbGrayed;
}

void TDBCheckBox::DataChange(TObject*) { SetState(FieldState()); }

void TDBCheckBox::UpdateData(TObject*) {
    TField* F = Field();
    if (!F) return;
    if (State() == cbGrayed) F->Clear();
    else if (F->DataType() == ftBoolean) F->SetAsBoolean(State() == cbChecked);
    else F->SetAsString(FirstOf(State() == cbChecked ? FValueChecked : FValueUnchecked));
}

void TDBCheckBox::Toggle() {
    if (Field() && !FDataLink->Edit()) return;
    TCustomCheckBox::Toggle();
    FDataLink->SetModified();
}

void TDBCheckBox::CMExit(TMessage& Message) {
    try {
        FDataLink->UpdateRecord();
    } catch (...) {
        SetFocus();
        throw;
    }
    TCustomCheckBox::CMExit(Message);
}

// ---------------------------------------------------------------------------
// TDBImage
// ---------------------------------------------------------------------------

TDBImage::TDBImage(TComponent* AOwner)
    : TCustomControl(AOwner), FDataLink(NewLink(this)), FPicture(std::make_unique<TBitmap>()) {
    SetBounds(FLeft, FTop, 105, 105);
    SetTabStop(true);
    FDataLink->OnDataChange = [this](TObject* S) { DataChange(S); };
}

TDBImage::~TDBImage() { FDataLink->SetControl(nullptr); }

void TDBImage::DescribeProperties(TPropertyTable& T) {
    using C = TDBImage;
    TControl::PublishStandard(T, {"Align", "Anchors", "Color", "Enabled", "ShowHint", "TabOrder", "TabStop",
                                  "Visible", "OnClick", "OnEnter", "OnExit"});
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("DataField", &C::DataField, &C::SetDataField);
    T.Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    T.Property("Stretch", &C::Stretch, &C::SetStretch).Default(false);
}

void TDBImage::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

void TDBImage::SetStretch(bool Value) {
    if (FStretch == Value) return;
    FStretch = Value;
    Invalidate();
}

void TDBImage::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == DataSource()) SetDataSource(nullptr);
}

void TDBImage::DataChange(TObject*) {
    FPicture = std::make_unique<TBitmap>();
    if (auto* Blob = dynamic_cast<TBlobField*>(Field()); Blob && !Blob->IsNull()) {
        TMemoryStream Stream;
        Blob->SaveToStream(Stream);
        Stream.SetPosition(0);
        try {
            FPicture->LoadFromStream(Stream);
        } catch (const std::exception&) {
            // A blob that holds no bitmap shows nothing.
            FPicture = std::make_unique<TBitmap>();
        }
    }
    Invalidate();
}

void TDBImage::Paint() {
    TCanvas* C = Canvas();
    C->Brush()->SetColor(Color());
    C->FillRect(ClientRect());
    if (FPicture->Empty()) return;
    TRect R = FStretch ? ClientRect() : TRect(0, 0, FPicture->Width(), FPicture->Height());
    C->StretchDraw(R, FPicture.get());
}

void RegisterDBControls() {
    RegisterClasses(
        {&TDBMemo::StaticClassInfo(), &TDBCheckBox::StaticClassInfo(), &TDBImage::StaticClassInfo()});
}
