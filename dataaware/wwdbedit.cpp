#include "dataaware/wwdbedit.h"

#include <cmath>

#include "dataaware/Wwintl.h"
#include "dataaware/wwcommon.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwpict.h"
#include "dataaware/wwstr.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Regional.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Sound.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Grids.h"
#include "platform/win/StdWindows.h"

ZELMOR_IMPLEMENT_ENUM(TwwEditDataType, "wwDefault", "wwEdtDate", "wwEdtTime", "wwEdtDateTime")
ZELMOR_IMPLEMENT_CLASS(TwwDBPicture, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwCustomMaskEdit, TCustomMaskEdit)
ZELMOR_IMPLEMENT_CLASS(TwwDBCustomEdit, TwwCustomMaskEdit)
ZELMOR_IMPLEMENT_COMPONENT(TwwDBEdit, TwwDBCustomEdit)

namespace {

bool IsLoading(const TComponent* Component) { return Component->ComponentState().Contains(csLoading); }
bool IsDesigningComponent(const TComponent* Component) {
    return Component->ComponentState().Contains(csDesigning);
}
bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }

bool ParentNamed(TControl* Control, std::string_view Name) {
    return Control->Parent() && IsClassNamed(Control->Parent(), Name);
}

// The grid takes the focus and handles the key as its own key-down.

// The grid's OnCalcCellColors: (grid, field, draw state, highlight, font, brush).
using TCellColorsHandler = void(TObject*, TField*, TGridDrawState, bool, TFont*, TBrush*);

}  // namespace

// ---------------------------------------------------------------- TwwDBPicture

TwwDBPicture::TwwDBPicture(TComponent* RelatedComponent) : FRelatedComponent(RelatedComponent) {}

void TwwDBPicture::DescribeProperties(TPropertyTable& T) {
    using P = TwwDBPicture;
    T.Property("PictureMaskFromDataSet", &P::PictureMaskFromDataSet, &P::SetPictureMaskFromDataSet)
        .Default(true);
    T.Property("PictureMask", &P::PictureMask, &P::SetPictureMask);
    T.Property("AutoFill", &P::AutoFill, &P::SetAutoFill).Default(true);
    T.Property("AllowInvalidExit", &P::AllowInvalidExit, &P::SetAllowInvalidExit).Default(false);
}

TDataSet* TwwDBPicture::ModeDataSet(AnsiString& FieldName) const {
    if (!FPictureMaskFromDataSet) return nullptr;
    auto* edit = dynamic_cast<TwwDBCustomEdit*>(FRelatedComponent);
    if (!edit || !edit->DataSource() || edit->DataField().empty()) return nullptr;
    TDataSet* dataSet = edit->DataSource()->DataSet();
    if (!dataSet || !GetPictureMasks(dataSet)) return nullptr;
    FieldName = edit->DataField();
    return dataSet;
}

bool TwwDBPicture::InDataSetMode() const {
    AnsiString field;
    return ModeDataSet(field) != nullptr;
}

AnsiString TwwDBPicture::PictureMask() const {
    AnsiString field;
    TDataSet* dataSet = ModeDataSet(field);
    if (!dataSet) return FPictureMask;
    AnsiString mask;
    bool autoFill, gridFlag;
    GetFieldPictureMask(dataSet, field, true, mask, autoFill, gridFlag);
    return mask;
}

bool TwwDBPicture::AutoFill() const {
    AnsiString field;
    if (TDataSet* dataSet = ModeDataSet(field)) {
        AnsiString mask;
        bool autoFill, gridFlag;
        GetFieldPictureMask(dataSet, field, true, mask, autoFill, gridFlag);
        if (!mask.empty()) return autoFill;
    }
    return FAutoFill;
}

bool TwwDBPicture::AllowInvalidExit() const { return !InDataSetMode() && FAllowInvalidExit; }

void TwwDBPicture::SetPictureMask(const AnsiString& Value) {
    AnsiString field;
    TDataSet* dataSet = ModeDataSet(field);
    if (dataSet && !GetTablePictureForField(dataSet, field).empty()) {
        MessageDlg("Picture mask already defined in Paradox table. ", mtWarning, {mbOK}, 0);
        return;
    }
    FPictureMask = Value;
    if (!dataSet) return;
    SetFieldPictureMask(dataSet, field, Value, FAutoFill, false, true, false, false);
    AfterLineWritten();
}

void TwwDBPicture::SetAutoFill(bool Value) {
    FAutoFill = Value;
    AnsiString field;
    TDataSet* dataSet = ModeDataSet(field);
    if (!dataSet) return;
    SetFieldPictureMask(dataSet, field, "", Value, false, false, true, false);
    AfterLineWritten();
}

void TwwDBPicture::SetAllowInvalidExit(bool Value) {
    if (!InDataSetMode()) FAllowInvalidExit = Value;
}

void TwwDBPicture::AfterLineWritten() {
    const TComponentState state = FRelatedComponent->ComponentState();
    if (state.Contains(csDesigning) && !state.Contains(csWriting)) NotifyFormDesigner(FRelatedComponent);
}

void TwwDBPicture::Assign(TPersistent* Source) {
    if (auto* picture = dynamic_cast<TwwDBPicture*>(Source)) {
        FPictureMask = picture->PictureMask();
        FAutoFill = picture->AutoFill();
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- TwwCustomMaskEdit

TwwCustomMaskEdit::TwwCustomMaskEdit(TComponent* AOwner)
    : TCustomMaskEdit(AOwner), FPicture(std::make_unique<TwwDBPicture>(this)),
      FFrame(std::make_unique<TwwEditFrame>(this)) {}

TwwCustomMaskEdit::~TwwCustomMaskEdit() = default;

void TwwCustomMaskEdit::SetWordWrap(bool Value) {
    FWordWrap = Value;
    RecreateWnd();
}

void TwwCustomMaskEdit::SetShowVertScrollBar(bool Value) {
    if (Value == FShowVertScrollBar) return;
    FShowVertScrollBar = Value;
    RecreateWnd();
}

bool TwwCustomMaskEdit::UsesPictureMask() const {
    return FUsePictureMask && !FPicture->PictureMask().empty();
}

bool TwwCustomMaskEdit::CheckValue(const AnsiString& Text) {
    const AnsiString mask = FPicture->PictureMask();
    bool passes = true;
    if (!Text.empty() && !mask.empty()) {
        TwwPictureValidator validator(mask, FPicture->AutoFill());
        AnsiString text = Text;
        passes = validator.CheckPicture(text, false) == prComplete;
    }
    DoCheckValue(passes);
    return passes;
}

void TwwCustomMaskEdit::DoCheckValue(bool PassesPictureTest) {
    if (Assigned(OnCheckValue)) OnCheckValue(this, PassesPictureTest);
}

void TwwCustomMaskEdit::ApplyAutoFill() {
    if (!UsesPictureMask()) return;
    TwwPictureValidator validator(FPicture->PictureMask(), FPicture->AutoFill());
    AnsiString text = Text();
    validator.CheckPicture(text, true);
    if (text != Text()) SetText(text);
}

bool TwwCustomMaskEdit::IsTemplateOnly() {
    if (FMaskStoreLiteralTemplate || UsesPictureMask() || EditMask().empty()) return false;
    const AnsiString mask = EditMask();
    AnsiString text = EditText();
    size_t position = 0;
    const size_t length = mask.size();
    for (size_t i = 0; i < length; ++i) {
        const char c = mask[i];
        if (c == ';' && i + 4 >= length) break;
        if (c == '!' || c == '<' || c == '>') continue;
        if (c == '\\') {
            // The escaped character is a literal of the text.
            if (++i < length && position < text.size()) text.erase(position, 1);
            continue;
        }
        if (AnsiString("09#AaCcLl").find(c) != AnsiString::npos) {
            ++position;
            continue;
        }
        if (position < text.size()) text.erase(position, 1);
    }
    const char blank = Mask().Blank();
    if (mask.find('!') != AnsiString::npos) TrimLeadingChars(text, TCharSet(std::string_view(&blank, 1)));
    else TrimTrailingChars(text, TCharSet(std::string_view(&blank, 1)));
    if (blank != ' ') text = ReplaceChar(text, blank, ' ');
    TrimTrailingChars(text, TCharSet(" "));
    return text.empty();
}

void TwwCustomMaskEdit::SetEditRect() {
    if (!HandleAllocated()) return;
    TRect r(0, 0, ClientWidth() - 1, ClientHeight() + 1);
    TControl* control = this;
    const bool borderless = BorderStyle() == bsNone;
    if (borderless && IsInInspector(control)) {
        r.Left = r.Top = 1;
    } else if (borderless && ParentNamed(control, "TCustomGrid")) {
        r.Left = 2;
        r.Top = ParentNamed(control, "TwwDBGrid") ? 1 : 2;
    } else if (FFrame->Enabled()) {
        FFrame->GetEditMargins(r);
    } else {
        r.Left = r.Top = borderless ? 1 : 0;
    }
    Perform(EM_SETRECTNP, 0, PointerToLParam(&r));
}

void TwwCustomMaskEdit::CreateParams(TCreateParams& Params) {
    TCustomMaskEdit::CreateParams(Params);
    Params.Style &= ~static_cast<DWORD>(ES_WANTRETURN | ES_AUTOVSCROLL);
    // Only a multi-line edit honours a formatting rectangle, and a framed
    // edit has no border: it is always multi-line.
    if (BorderStyle() == bsNone || FWordWrap) Params.Style |= ES_MULTILINE;
    if (FWordWrap) {
        Params.Style |= ES_AUTOVSCROLL;
        Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    }
    if (FWantReturns) Params.Style |= ES_WANTRETURN;
    if (FShowVertScrollBar) Params.Style |= WS_VSCROLL;
}

void TwwCustomMaskEdit::CreateWnd() {
    TCustomMaskEdit::CreateWnd();
    if (BorderStyle() == bsNone && AutoSize() && !ParentNamed(this, "TCustomGrid")) FFrame->AdjustHeight();
    SetEditRect();
}

void TwwCustomMaskEdit::KeyPress(char& Key) {
    TCustomMaskEdit::KeyPress(Key);
    FPictureHandledKey = false;
    if (UsesPictureMask()) PictureKeyPress(Key);
}

void TwwCustomMaskEdit::PictureKeyPress(char& Key) {
    const AnsiString old = Text();
    const int length = static_cast<int>(old.size());
    const int start = std::min(SelStart(), length);
    const int selection = std::min(SelLength(), length - start);
    if (Key == '\b') {
        PrepareEdit();
        if (Assigned(OnCheckValue) && !TCustomEdit::ReadOnly()) {
            // The text as the key leaves it: the selection deleted, else the
            // character before the caret.
            AnsiString after = old;
            if (selection > 0) after.erase(static_cast<size_t>(start), static_cast<size_t>(selection));
            else if (start > 0) after.erase(static_cast<size_t>(start - 1), 1);
            CheckValue(after);
        }
        return;
    }
    if (static_cast<unsigned char>(Key) < 32) {
        if (Key == '\r' && !FWantReturns) Key = '\0';
        return;
    }
    const AnsiString before = old.substr(0, static_cast<size_t>(start));
    const AnsiString rest = old.substr(static_cast<size_t>(start + selection));
    AnsiString text = before + Key + rest;
    if (MaxLength() > 0 && static_cast<int>(text.size()) > MaxLength() && text.size() > old.size()) return;
    TwwPictureValidator validator(FPicture->PictureMask(), FPicture->AutoFill());
    TwwPicResult result = validator.CheckPicture(text, FPicture->AutoFill());
    if (result == prError) {
        // A blank the picture fills by itself may stand where the key went.
        AnsiString blank = before + ' ' + rest;
        if (validator.CheckPicture(blank, FPicture->AutoFill()) != prError) {
            text = blank + Key;
            result = validator.CheckPicture(text, FPicture->AutoFill());
        }
    }
    bool failing = false, beeped = false;
    const int grown = static_cast<int>(text.size());
    auto writeText = [this, &text] {
        FSettingPictureText = true;
        TwwFinally done([this] { FSettingPictureText = false; });
        SetText(text);
    };
    switch (result) {
    case prComplete:
        PrepareEdit();
        if (!TCustomEdit::ReadOnly()) {
            writeText();
            SetSelStart(selection == length ? grown : grown > length ? start + (grown - length) : start + 1);
            SetSelLength(0);
        }
        Key = '\0';
        FPictureHandledKey = true;
        break;
    case prIncomplete:
        PrepareEdit();
        if (!TCustomEdit::ReadOnly()) {
            writeText();
            SetSelStart(selection == length ? grown : selection > 0 ? start + 1 : start + (grown - length));
        }
        Key = '\0';
        FPictureHandledKey = true;
        failing = true;
        Perform(EM_SCROLLCARET);
        break;
    case prError:
        if (start + selection < length) {
            // In the middle of the text the edit control takes the key.
            failing = true;
        } else {
            Key = '\0';
            MessageBeep(0);
            beeped = true;
        }
        break;
    default: break;
    }
    if (!beeped && !TCustomEdit::ReadOnly()) DoCheckValue(!failing);
}

void TwwCustomMaskEdit::KeyUp(WORD& Key, TShiftState Shift) {
    TCustomMaskEdit::KeyUp(Key, Shift);
    if (Key == VK_DELETE && Assigned(OnCheckValue)) CheckValue(Text());
}

void TwwCustomMaskEdit::DoExit() {
    TCustomMaskEdit::DoExit();
    FRefocusedOnExit = false;
    if (!UsesPictureMask() || !Modified() || FPicture->AllowInvalidExit() || CheckValue(Text())) return;
    // The focus has moved on already: the edit takes it back.
    SelectAll();
    SetFocus();
    SetModified(true);
    MessageBeep(0);
    FRefocusedOnExit = true;
}

void TwwCustomMaskEdit::WMSize(TMessage& Message) {
    TCustomMaskEdit::WMSize(Message);
    SetEditRect();
}

void TwwCustomMaskEdit::WMVScroll(TMessage& Message) {
    if (ParentNamed(this, "TwwCustomDBGrid") && !Focused()) SetFocus();
    TCustomMaskEdit::WMVScroll(Message);
}

// ---------------------------------------------------------------- TwwDBCustomEdit

TwwDBCustomEdit::TwwDBCustomEdit(TComponent* AOwner)
    : TwwCustomMaskEdit(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
    TCustomEdit::SetReadOnly(true);
    SetAutoSize(true);
    FControlStyle.Include(csReplicatable);
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TObject* Sender) { DataChange(Sender); };
    FDataLink->OnEditingChange = [this](TObject* Sender) { EditingStateChanged(Sender); };
    FDataLink->OnUpdateData = [this](TObject* Sender) { UpdateData(Sender); };
    SetUsePictureMask(true);
}

TwwDBCustomEdit::~TwwDBCustomEdit() {
    FDataLink->OnDataChange = nullptr;
    FDataLink.reset();
    FCanvas.reset();
}

void TwwDBCustomEdit::Loaded() {
    TwwCustomMaskEdit::Loaded();
    ReleaseMaxLength();
    if (!DataSource() && !ReadOnly()) SetReadOnly(false);
}

void TwwDBCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TwwCustomMaskEdit::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (FDataLink && AComponent == DataSource()) SetDataSource(nullptr);
    if (AComponent == FController) SetController(nullptr);
}

TDataSource* TwwDBCustomEdit::DataSource() const { return FDataLink->DataSource(); }

void TwwDBCustomEdit::SetDataSource(TDataSource* Value) {
    if (Value && Value != DataSource()) TCustomEdit::SetReadOnly(true);
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

AnsiString TwwDBCustomEdit::DataField() const { return FDataLink->FieldName(); }

void TwwDBCustomEdit::SetDataField(const AnsiString& Value) {
    if (!IsDesigningComponent(this)) ReleaseMaxLength();
    FDataLink->SetFieldName(Value);
}

TField* TwwDBCustomEdit::Field() const { return FDataLink->Field(); }

bool TwwDBCustomEdit::ReadOnly() const { return FDataLink->ReadOnly(); }

void TwwDBCustomEdit::SetReadOnly(bool Value) {
    FDataLink->SetReadOnly(Value);
    // A bound edit stays read-only until its record is edited.
    if (!(Value && FDataLink->DataSet()) && !IsLoading(this)) TCustomEdit::SetReadOnly(Value);
}

TwwController* TwwDBCustomEdit::Controller() const { return static_cast<TwwController*>(FController); }

void TwwDBCustomEdit::SetController(TwwController* Value) {
    if (Value == FController) return;
    RegisterWithController(FController, Value, this);
    if (!Value) return;
    Frame()->Assign(Value->Frame());
    if (HandleAllocated()) RecreateWnd();
}

TwwDBPicture* TwwDBCustomEdit::GetPicture() {
    TwwDBPicture* picture = Picture();
    AnsiString field;
    if (TDataSet* dataSet = picture->ModeDataSet(field)) {
        bool gridFlag;
        GetFieldPictureMask(dataSet, field, true, picture->FPictureMask, picture->FAutoFill, gridFlag);
        picture->FAllowInvalidExit = false;
    }
    return picture;
}

void TwwDBCustomEdit::SetPicture(TwwDBPicture* Value) {
    Picture()->Assign(Value);
    SetEditMask(UsesPictureMask() || !Field() ? AnsiString() : Field()->EditMask());
    AnsiString field;
    TDataSet* dataSet = Picture()->ModeDataSet(field);
    if (Value->PictureMask().empty() || !dataSet) return;
    SetFieldPictureMask(dataSet, field, Value->PictureMask(), Value->AutoFill(), false, true, true, false);
    Picture()->AfterLineWritten();
}

void TwwDBCustomEdit::SetUnboundAlignment(TAlignment Value) {
    if (Value == FUnboundAlignment) return;
    FUnboundAlignment = Value;
    Invalidate();
}

void TwwDBCustomEdit::SetEditAlignment(TwwEditAlignment Value) {
    if (Value == FEditAlignment) return;
    FEditAlignment = Value;
    RecreateWnd();
}

TAlignment TwwDBCustomEdit::EffectiveAlignment() const {
    TControl* self = const_cast<TwwDBCustomEdit*>(this);
    if (IsInInspector(self)) return taLeftJustify;
    return Field() ? FShownFieldAlignment : FUnboundAlignment;
}

AnsiString TwwDBCustomEdit::GetDisplayFormat() {
    if (!FDisplayFormat.empty()) return FDisplayFormat;
    if (auto* numeric = dynamic_cast<TNumericField*>(Field())) return numeric->DisplayFormat();
    return {};
}

bool TwwDBCustomEdit::IsEditBlocked() {
    TDataSource* source = DataSource();
    return source && !source->AutoEdit() && source->State() != dsEdit && source->State() != dsInsert;
}

bool TwwDBCustomEdit::IsMemoField() {
    TField* field = Field();
    if (!field || !field->IsBlob()) return false;
    const TFieldType type = field->DataType();
    return type == ftMemo || type == ftOraBlob || type == ftOraClob;
}

void TwwDBCustomEdit::GetTextAreaRect(TRect& R) {
    R = ClientRect();
    if (GetButtonWidth() > 0 && GetShowButton()) R.Right -= GetButtonWidth() + (Frame()->Enabled() ? 1 : 0);
}

AnsiString TwwDBCustomEdit::GetFieldText() { return Text(); }

void TwwDBCustomEdit::DrawDisplayText(TCanvas* Canvas, const TRect& R, const AnsiString& Text, int X, int Y) {
    Canvas->TextRect(R, X, Y, Text);
}

void TwwDBCustomEdit::DrawFrame(TCanvas* Canvas) { DrawFrameEdges(this, Frame(), Canvas, FIsFocused); }

void TwwDBCustomEdit::ReportMaskError(TField* Field) { DefaultIntl->DoValidationError(this, Field); }

void TwwDBCustomEdit::ReportInvalidValue(TField* Field) {
    TwwInvalidValueEvent onInvalid =
        Field ? GetOnInvalidValueEvent(Field->DataSet()) : TwwInvalidValueEvent();
    if (Assigned(onInvalid)) onInvalid(Field->DataSet(), Field);
    else ReportMaskError(Field);
}

bool TwwDBCustomEdit::GetDisplayForValue(const AnsiString&, AnsiString&) { return false; }

void TwwDBCustomEdit::EnsureCanvas() {
    if (FCanvas) return;
    FCanvas = std::make_unique<TControlCanvas>();
    FCanvas->SetControl(this);
}

void TwwDBCustomEdit::DoMouseEnter() {
    try {
        if (Assigned(OnMouseEnter)) OnMouseEnter(this);
    } catch (...) {
        return;
    }
    if (!Frame()->IsEffective() || FIsFocused || !Frame()->MouseEnterSameAsFocus()) return;
    EnsureCanvas();
    FCanvas->HandleNeeded();
    DrawFrameEdges(this, Frame(), FCanvas.get(), true);
    FCanvas->FreeHandle();
}

void TwwDBCustomEdit::DoMouseLeave() {
    try {
        if (Assigned(OnMouseLeave)) OnMouseLeave(this);
    } catch (...) {
        return;
    }
    FrameMouseLeft(this, Frame(), FIsFocused);
}

bool TwwDBCustomEdit::ExecuteAction(TBasicAction* Action) {
    // The data source serves the actions of its data set.
    return TwwCustomMaskEdit::ExecuteAction(Action) || ExecuteActionOn(Action, DataSource());
}

bool TwwDBCustomEdit::UpdateAction(TBasicAction* Action) {
    return TwwCustomMaskEdit::UpdateAction(Action) || UpdateActionOn(Action, DataSource());
}

void TwwDBCustomEdit::CMGetDataLink(TMessage& Message) { Message.Result = PointerToLParam(FDataLink.get()); }

void TwwDBCustomEdit::ReleaseMaxLength() {
    if (MaxLength() <= 0 || !DataSource() || !DataSource()->DataSet()) return;
    TField* field = DataSource()->DataSet()->FindField(DataField());
    if (field && field->DataType() == ftString && field->Size() == MaxLength()) SetMaxLength(0);
}

// ---------------------------------------------------------------- editing state

void TwwDBCustomEdit::SetModifiedState(bool Value) {
    TField* field = Field();
    if (Value && field && (FDataLink->ReadOnly() || field->ReadOnly())) return;
    if (Value && DataSource() && DataSource()->State() != dsBrowse) FDataLink->SetModified();
    SetModified(Value);
}

void TwwDBCustomEdit::Change() {
    if (!IsLoading(this)) {
        if (!Field()) SetModifiedState(true);
        if (SettingPictureText()) SetModified(true);
        if (Field() && DataSource() && (DataSource()->State() == dsEdit || DataSource()->State() == dsInsert))
            SetModifiedState(true);
    }
    TwwCustomMaskEdit::Change();
}

bool TwwDBCustomEdit::EditCanModify() {
    TField* field = Field();
    if (!field) return true;
    if (FDataLink->Edit()) return true;
    // A calculated field that the program lets the user type into: the data
    // set goes into edit mode although the field itself cannot be modified.
    return !ReadOnly() && IsCalcOrLookupField(field) && !field->ReadOnly() && field->DataSet() &&
           field->DataSet()->CanModify();
}

void TwwDBCustomEdit::Reset() {
    if (Field()) FDataLink->Reset();
    else SetText(FSavedText);
    SelectAll();
    SetModifiedState(false);
    if (Assigned(OnCheckValue)) CheckValue(Text());
}

void TwwDBCustomEdit::PrepareEdit() {
    if (!IsEditBlocked()) FDataLink->Edit();
}

void TwwDBCustomEdit::SetFocused(bool Value) {
    if (FIsFocused == Value) return;
    FIsFocused = Value;
    if (EffectiveAlignment() != taLeftJustify && !IsMasked()) Invalidate();
    if (Field()) FDataLink->Reset();
    else if (HandleAllocated() && GetFocus() == Handle()) FSavedText = Text();
}

void TwwDBCustomEdit::EditingStateChanged(TObject*) { TCustomEdit::SetReadOnly(!FDataLink->Editing()); }

void TwwDBCustomEdit::DataChange(TObject*) {
    TField* field = Field();
    if (!field) {
        FShownFieldAlignment = taLeftJustify;
        SetEditMask("");
        SetText(IsDesigningComponent(this) ? Name() : AnsiString());
        return;
    }
    if (field->Alignment() != FShownFieldAlignment) {
        SetText("");
        FShownFieldAlignment = field->Alignment();
    }
    if (!UsesPictureMask()) SetEditMask(field->EditMask());
    if (!IsDesigningComponent(this) && (field->DataType() == ftString || field->DataType() == ftWideString) &&
        MaxLength() == 0)
        SetMaxLength(field->Size());
    const bool memo = IsMemoField();
    if ((FIsFocused || memo) && FDataLink->CanModify()) {
        SetText(memo ? field->AsString() : field->Text());
        return;
    }
    if (memo) SetText(field->AsString());
    else SetEditText(field->DisplayText());
}

void TwwDBCustomEdit::UpdateData(TObject*) {
    if (TCustomEdit::ReadOnly()) return;
    TField* field = Field();
    if (UsesPictureMask()) {
        if (!CheckValue(Text())) ReportInvalidValue(field);
    } else if (!IsTemplateOnly()) {
        ValidateEdit();
    }
    if (!Modified()) return;
    if (IsMemoField()) {
        field->SetAsString(GetFieldText());
        return;
    }
    if (!FDataLink->Editing() && !IsCalcOrLookupField(field)) return;
    const AnsiString text = GetFieldText();
    if (text.empty()) {
        field->SetText(text);
        return;
    }
    if (dynamic_cast<TDateTimeField*>(field) && IsDateText(text)) {
        // Two-digit years follow the library's one rule (wwcommon.h). The text
        // is one date and nothing more, so its time of day is midnight.
        TDateTime date;
        if (ParseDateText(text, date)) field->SetAsDateTime(date);
        else ReportInvalidValue(field);
        return;
    }
    if (IsTemplateOnly()) {
        field->Clear();
        return;
    }
    const AnsiString format = GetDisplayFormat();
    if (dynamic_cast<TNumericField*>(field) && !format.empty()) {
        // A number that cannot be read back is refused as a text that fails
        // its picture is: the field keeps its value only if the program says so.
        long double value;
        if (!ParseDisplayFloat(text, value, format)) {
            ReportInvalidValue(field);
            return;
        }
        if (field->DataType() == ftFloat || field->DataType() == ftBCD || field->DataType() == ftCurrency)
            field->SetAsFloat(static_cast<double>(value));
        else field->SetAsInteger(static_cast<int>(std::lround(static_cast<double>(value))));
        return;
    }
    field->SetText(GetFieldText());
}

void TwwDBCustomEdit::UpdateRecord() {
    const bool modified = Modified();
    try {
        FDataLink->UpdateRecord();
    } catch (...) {
        SelectAll();
        SetFocus();
        SetModified(modified);
        throw;
    }
}

// ---------------------------------------------------------------- typing

bool TwwDBCustomEdit::IsDateKind() {
    TField* field = Field();
    return field ? dynamic_cast<TDateField*>(field) != nullptr : FUnboundDataType == wwEdtDate;
}

bool TwwDBCustomEdit::IsTimeKind() {
    TField* field = Field();
    return field ? dynamic_cast<TTimeField*>(field) != nullptr : FUnboundDataType == wwEdtTime;
}

bool TwwDBCustomEdit::IsDateTimeKind() {
    TField* field = Field();
    return field ? dynamic_cast<TDateTimeField*>(field) != nullptr : FUnboundDataType == wwEdtDateTime;
}

bool TwwDBCustomEdit::AutoFillDateTime() {
    if (TCustomEdit::ReadOnly() || !(IsDateKind() || IsTimeKind() || IsDateTimeKind())) return false;
    const AnsiString text = Text();
    const int length = static_cast<int>(text.size());
    const bool whole = SelLength() == length;
    if (!whole && !(SelLength() == 0 && SelStart() == length)) return false;
    if (FDataLink->ReadOnly()) {
        MessageBeep(0);
        return false;
    }
    if (IsEditBlocked()) return true;
    FDataLink->Edit();

    const TFormatSettings& settings = FormatSettings();
    const char dateSep = settings.DateSeparator, timeSep = settings.TimeSeparator;
    AnsiString b = whole ? AnsiString() : text;
    const TDateTime now = Now();
    auto endsWith = [&b](char C) { return !b.empty() && b.back() == C; };
    auto dateComplete = [&] { return CountChar(b, dateSep) >= 2 && !endsWith(dateSep); };
    auto finish = [this, &b] {
        SetText(b);
        SetSelStart(static_cast<int>(b.size()));
        SetModifiedState(true);
    };

    TwwDateTimePart part;
    if (IsTimeKind()) {
        part = TimePartAt(static_cast<int>(b.size()), b);
    } else if (whole) {
        switch (GetDateOrder(settings.ShortDateFormat)) {
        case doDMY: part = dtpDay; break;
        case doYMD: part = dtpYear; break;
        default: part = dtpMonth; break;
        }
    } else if (!dateComplete() && !endsWith(dateSep)) {
        b += dateSep;
        finish();
        return true;
    } else {
        part = DateTimePartAt(static_cast<int>(b.size()), b, false);
    }
    auto isDatePart = [](TwwDateTimePart P) { return P == dtpDay || P == dtpMonth || P == dtpYear; };
    if (isDatePart(part) && (dateComplete() || IsTimeKind())) part = dtpHour;

    int year, month, day, hour, minute, second, msec;
    DecodeDate(now, year, month, day);
    DecodeTime(now, hour, minute, second, msec);
    auto twoDigits = [](int Value) { return (Value < 10 ? "0" : "") + IntToStr(Value); };
    auto dateSeparatorAfter = [&] {
        if (CountChar(b, dateSep) < 2 && !endsWith(dateSep)) b += dateSep;
    };
    const AnsiString lowerFormat = LowerCase(settings.ShortDateFormat);
    switch (part) {
    case dtpDay:
        b += lowerFormat.find("dd") != AnsiString::npos ? twoDigits(day) : IntToStr(day);
        dateSeparatorAfter();
        break;
    case dtpMonth:
        b += lowerFormat.find("mm") != AnsiString::npos ? twoDigits(month) : IntToStr(month);
        dateSeparatorAfter();
        break;
    case dtpYear:
        b += settings.ShortDateFormat.find("yyyy") != AnsiString::npos ? IntToStr(year)
                                                                       : twoDigits(year % 100);
        dateSeparatorAfter();
        break;
    default: break;
    }
    if (!IsDateKind() && !isDatePart(part)) {
        const bool hasAmString = !settings.TimeAMString.empty();
        bool timeComplete;
        if (hasAmString) {
            const AnsiString upper = UpperCase(b);
            const char am = static_cast<char>(CharUpper(settings.TimeAMString[0]));
            const char pm =
                settings.TimePMString.empty() ? am : static_cast<char>(CharUpper(settings.TimePMString[0]));
            timeComplete = upper.find(am) != AnsiString::npos || upper.find(pm) != AnsiString::npos;
        } else {
            timeComplete = CountChar(b, timeSep) >= 2 && !endsWith(timeSep);
        }
        if (!timeComplete) {
            if (part == dtpSecond && CountChar(b, timeSep) >= 2 && !endsWith(timeSep)) part = dtpAmPm;
            if (part == dtpHour && IsDateTimeKind() && !IsTimeKind() && !endsWith(' ')) {
                b += ' ';
                finish();
                return true;
            }
            if (part == dtpMinute && !endsWith(timeSep)) {
                b += timeSep;
                finish();
                return true;
            }
            switch (part) {
            case dtpHour: {
                int shown = hour;
                if (hasAmString) shown = hour % 12 == 0 ? 12 : hour % 12;
                b += IntToStr(shown) + timeSep;
                break;
            }
            case dtpMinute: b += twoDigits(minute) + timeSep; break;
            case dtpSecond: b += twoDigits(second); break;
            case dtpAmPm:
                if (!endsWith(' ')) b += ' ';
                b += hour < 12 ? "AM" : "PM";
                break;
            default: break;
            }
        }
    }
    finish();
    return true;
}

void TwwDBCustomEdit::KeyPress(char& Key) {
    if (ParentNamed(this, "TCustomGrid")) GridKeyPress(Parent(), Key);
    if (Key == '\t') {
        Key = '\0';
        return;
    }
    const unsigned char typed = static_cast<unsigned char>(Key);
    TField* field = Field();
    if (typed >= 32 || Key == '\b' || (Key == '\r' && WantReturns())) {
        TDataSource* source = DataSource();
        if (source && !source->AutoEdit() && source->State() != dsEdit && source->State() != dsInsert) {
            Key = '\0';
            return;
        }
        if (!source) {
            if (ReadOnly()) return;
            SetReadOnly(false);
        }
        if (field && IsCalcOrLookupField(field) && !ReadOnly()) {
            if (field->ReadOnly() || !field->DataSet()->CanModify()) return;
            field->DataSet()->Edit();
            TCustomEdit::SetReadOnly(false);
        }
    }
    if (AutoFillDate() && Key == ' ' && !(UsesPictureMask() && Picture()->AutoFill())) {
        PrepareEdit();
        if (!CtrlHeld() && AutoFillDateTime()) {
            Key = '\0';
            if (Assigned(OnCheckValue)) CheckValue(Text());
            return;
        }
    }
    const char before = Key;
    TwwCustomMaskEdit::KeyPress(Key);
    bool clearAtEnd = false;
    if (Key == '\0' && PictureHandledKey()) {
        SetModifiedState(true);
    } else if (IsMasked() && Key == '\0' && before != '\0') {
        // The edit mask typed the key itself; the checks below still see it.
        Key = before;
        clearAtEnd = true;
    }
    AnsiString shown;
    if (!GetDisplayForValue(field ? field->AsString() : AnsiString(), shown) && field &&
        static_cast<unsigned char>(Key) >= 32) {
        const bool isInteger = dynamic_cast<TIntegerField*>(field) != nullptr;
        const bool isFloat = dynamic_cast<TFloatField*>(field) != nullptr;
        bool refused;
        if ((isInteger || isFloat) && !GetDisplayFormat().empty()) {
            const bool sign = Key == '+' || Key == '-' || (Key >= '0' && Key <= '9');
            refused = !(sign ||
                        (isFloat && (Key == 'E' || Key == 'e' || Key == FormatSettings().DecimalSeparator)));
        } else {
            refused = !field->IsValidChar(Key);
        }
        if (refused) {
            MessageBeep(0);
            Key = '\0';
        }
    }
    const unsigned char key = static_cast<unsigned char>(Key);
    if (Key == '\b' || Key == '\x16' || Key == '\x18' || key >= 32) {
        FDataLink->Edit();
        SetModifiedState(true);
        if (!ShowsCaret()) Key = '\0';
    } else if (Key == '\r') {
        if (WantReturns()) {
            FDataLink->Edit();
            SetModifiedState(true);
        } else {
            // Without WantReturns, Return never types a line break: a framed
            // edit is multi-line only for its formatting rectangle.
            Key = '\0';
        }
    } else if (key == VK_ESCAPE) {
        Reset();
        Invalidate();
        Key = '\0';
        if (ParentNamed(this, "TwwCustomDBGrid") && Parent()->CanFocus()) Parent()->SetFocus();
    }
    if (clearAtEnd) Key = '\0';
}

void TwwDBCustomEdit::KeyToGrid(WORD& Key, TShiftState Shift) {
    TWinControl* grid = Parent();
    const int length = static_cast<int>(Text().size());
    const int start = SelStart(), selection = SelLength();
    const bool wholeSelected = selection == length && length > 0;
    const bool atStart = Shift.Contains(ssCtrl) || (selection == 0 && start == 0) || wholeSelected ||
                         (IsMasked() && selection == 1 && start == 0);
    const bool atEnd = Shift.Contains(ssCtrl) || (selection == 0 && start == length) || wholeSelected;
    const bool alwaysShowEditor = ParentNamed(this, "TwwDBGrid") && GridOptionSet(grid, "dgAlwaysShowEditor");
    const bool inspector = IsInInspector(this);
    bool hand = false;
    switch (Key) {
    case VK_ESCAPE: hand = !Modified(); break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: hand = !Shift.Contains(ssAlt); break;
    case VK_LEFT:
        if (inspector) break;
        [[fallthrough]];
    case VK_HOME: hand = alwaysShowEditor && atStart; break;
    case VK_RIGHT:
        if (inspector) break;
        [[fallthrough]];
    case VK_END: hand = alwaysShowEditor && atEnd; break;
    case VK_INSERT: hand = !Shift.Contains(ssShift); break;
    case VK_DELETE: hand = Shift.Contains(ssCtrl); break;
    default: break;
    }
    if (!ShowsCaret() && (Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_RIGHT)) hand = true;
    if (hand) HandKeyToGrid(grid, Key);
}

void TwwDBCustomEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TWinControl* grid = ParentNamed(this, "TCustomGrid") ? Parent() : nullptr;
    if (grid) {
        const int length = static_cast<int>(Text().size());
        const bool partlySelected = SelLength() > 0 && SelLength() < length;
        if (!(IsMemoField() && partlySelected)) {
            if (Key == VK_F2) {
                if (Assigned(grid->OnKeyDown)) grid->OnKeyDown(grid, Key, Shift);
                if (Key == VK_F2 && ShowsCaret()) SetSelLength(0);
                return;
            }
            KeyToGrid(Key, Shift);
        }
        const bool activeControl = Screen && Screen->ActiveControl() == this;
        if (Key != 0 && Assigned(grid->OnKeyDown) && (activeControl || (Key != VK_RETURN && Key != VK_TAB)))
            grid->OnKeyDown(grid, Key, Shift);
    }
    if (Key == 0) return;
    TwwCustomMaskEdit::KeyDown(Key, Shift);
    if (Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift))) {
        if (DataSource()) {
            if (IsEditBlocked()) {
                Key = 0;
            } else {
                FDataLink->Edit();
                SetModifiedState(true);
            }
        } else if (!ReadOnly()) {
            TCustomEdit::SetReadOnly(false);
        }
    }
}

void TwwDBCustomEdit::CNKeyDown(TMessage& Message) {
    if (IsDesigningComponent(this)) {
        TwwCustomMaskEdit::CNKeyDown(Message);
        return;
    }
    const WORD key = Message.CharCode();
    if (WantReturns() && key == VK_RETURN && !CtrlHeld()) {
        Message.Result = 0;
        return;
    }
    TWinControl* grid = ParentNamed(this, "TCustomGrid") ? Parent() : nullptr;
    if (grid && ((key == VK_TAB && GridOptionSet(grid, "goTabs")) || key == VK_RETURN)) {
        WORD handed = key;
        HandKeyToGrid(grid, handed);
        Message.Result = 1;
        return;
    }
    const bool multiLine = HandleAllocated() && (GetWindowLong(Handle(), GWL_STYLE) & ES_MULTILINE);
    if (multiLine &&
        ((key == VK_ESCAPE && !Modified()) || (key == VK_RETURN && (!Modified() || !WantReturns())))) {
        // A multi-line edit wants every key, so the form's default and cancel
        // buttons would never hear Return and Escape from it: they go to the
        // form's dialog keys first.
        if (TCustomForm* form = GetParentForm(this)) {
            if (form->Perform(CM_DIALOGKEY, key, Message.LParam) != 0) {
                Message.Result = 1;
                return;
            }
        }
    }
    TwwCustomMaskEdit::CNKeyDown(Message);
}

// ---------------------------------------------------------------- clipboard and undo

void TwwDBCustomEdit::WMPaste(TMessage& Message) {
    const AnsiString oldText = Text();
    const int oldStart = SelStart();
    if (!DataSource()) {
        if (ReadOnly()) return;
        SetReadOnly(false);
    }
    if (IsEditBlocked()) return;
    // A borderless edit is multi-line for its formatting rectangle only: it
    // takes the first line of what is pasted.
    const bool singleLine = BorderStyle() == bsNone && !WordWrap() && PasswordChar() == '\0';
    AnsiString clip;
    bool cut = false;
    if (singleLine) {
        clip = ClipboardGetText();
        size_t cr = clip.find('\r');
        if (cr != AnsiString::npos) {
            ClipboardSetText(clip.substr(0, cr));
            cut = true;
        }
    }
    PrepareEdit();
    TwwCustomMaskEdit::WMPaste(Message);
    if (cut && ClipboardGetText() != clip) ClipboardSetText(clip);
    SetModifiedState(true);
    ApplyAutoFill();
    if (SelStart() == 0)
        SetSelStart(static_cast<int>(Text().size()) + oldStart - static_cast<int>(oldText.size()));
    if (Assigned(OnCheckValue)) CheckValue(Text());
}

void TwwDBCustomEdit::WMCut(TMessage& Message) {
    if (IsEditBlocked()) return;
    PrepareEdit();
    TwwCustomMaskEdit::WMCut(Message);
    SetModifiedState(true);
    if (Assigned(OnCheckValue)) CheckValue(Text());
}

void TwwDBCustomEdit::WMUndo(TMessage& Message) {
    if (IsEditBlocked()) return;
    PrepareEdit();
    DefaultHandler(Message);
    SetModifiedState(true);
}

// ---------------------------------------------------------------- focus

void TwwDBCustomEdit::CMEnter(TMessage& Message) {
    SetEditRect();
    SetFocused(true);
    if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TwwCustomMaskEdit::CMEnter(Message);
    if (!ShowsCaret()) Invalidate();
    // Opaque while it is typed into.
    if (IsEditTransparent()) Frame()->DropTransparentStyle();
    if (Frame()->Enabled()) Invalidate();
}

void TwwDBCustomEdit::DoEnter() {
    TwwCustomMaskEdit::DoEnter();
    GetPicture();
    if (ParentNamed(this, "TwwDBGrid")) SelectAll();
    if (!Field()) SetModified(false);
}

void TwwDBCustomEdit::CMExit(TMessage&) {
    // The record update has checked the edit mask already: a text that is
    // only the mask's template went into the field as no value, and the
    // masked edit's own check on leaving would refuse it.
    UpdateRecord();
    DoExit();
    if (!RefocusedOnExit()) {
        SetFocused(false);
        if (HandleAllocated()) Perform(EM_SETSEL, 0, 0);
    }
    if (!ShowsCaret()) Invalidate();
    if (IsEditTransparent()) Frame()->RestoreTransparentStyle();
    if (Frame()->Enabled()) {
        Invalidate();
        InvalidateControlBackground(this);
    }
}

// ---------------------------------------------------------------- windows and painting

bool TwwDBCustomEdit::IsGridFocused() { return ParentNamed(this, "TwwDBGrid") && Parent()->Focused(); }

bool TwwDBCustomEdit::IsEditTransparent() { return Frame()->IsTransparentFrame(); }

void TwwDBCustomEdit::CreateParams(TCreateParams& Params) {
    TwwCustomMaskEdit::CreateParams(Params);
    if (Frame()->Enabled()) Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    TRect r(Left(), Top(), Left() + Width() - GetButtonWidth(), Top() + Height());
    HDC screen = GetDC(nullptr);
    const bool oneLine = SingleLineFillsRect(screen, r, 0);
    ReleaseDC(nullptr, screen);
    if (oneLine) {
        if (WordWrap()) Params.Style |= ES_AUTOHSCROLL;
        // A password edit must stay single-line.
        if ((BorderStyle() == bsNone || Frame()->Enabled()) && PasswordChar() != '\0')
            Params.Style &= ~static_cast<DWORD>(ES_MULTILINE);
    }
    if (FEditAlignment == eaRightAlignEditing ||
        (FormatSettings().RightToLeft && BiDiMode() == bdRightToLeft))
        Params.ExStyle |= WS_EX_RIGHT;
    else Params.ExStyle &= ~static_cast<DWORD>(WS_EX_RIGHT);
    if (IsEditTransparent() && Frame()->UseTransparentStyle()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TwwDBCustomEdit::CreateWnd() {
    TwwCustomMaskEdit::CreateWnd();
    if (IsEditTransparent() && Parent()) ClearWindowStyleBit(Parent());
}

void TwwDBCustomEdit::WndProc(TMessage& Message) {
    if (Message.Msg == WM_VSCROLL && !FIsFocused && IsEditTransparent() && CanFocus()) SetFocus();
    TwwCustomMaskEdit::WndProc(Message);
}

void TwwDBCustomEdit::WMSetFocus(TMessage& Message) {
    TwwCustomMaskEdit::WMSetFocus(Message);
    if (!ShowsCaret()) HideCaret(Handle());
}

void TwwDBCustomEdit::WMSetFont(TMessage& Message) {
    TwwCustomMaskEdit::WMSetFont(Message);
    if (Frame()->Enabled() && HandleAllocated()) Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

void TwwDBCustomEdit::CMFontChanged(TMessage& Message) {
    TwwCustomMaskEdit::CMFontChanged(Message);
    if (Owner() && !IsLoading(Owner())) SetEditRect();
}

void TwwDBCustomEdit::WMEraseBkgnd(TMessage& Message) {
    if (IsPaintingInInspector(this) || (IsEditTransparent() && !FIsFocused)) {
        Message.Result = 1;
        return;
    }
    TwwCustomMaskEdit::WMEraseBkgnd(Message);
}

void TwwDBCustomEdit::CMTextChanged(TMessage& Message) {
    if (IsEditTransparent() && !FIsFocused) Frame()->RefreshBackground(false, true, false);
    TwwCustomMaskEdit::CMTextChanged(Message);
}

void TwwDBCustomEdit::CMMouseEnter(TMessage& Message) {
    TwwCustomMaskEdit::CMMouseEnter(Message);
    DoMouseEnter();
}

void TwwDBCustomEdit::CMMouseLeave(TMessage& Message) {
    TPoint cursor;
    GetCursorPos(cursor);
    // A leave that comes from a child (the button) while the mouse is still here.
    if (PtInRect(ClientRect(), ScreenToClient(cursor))) return;
    TwwCustomMaskEdit::CMMouseLeave(Message);
    DoMouseLeave();
}

bool TwwDBCustomEdit::PaintsItself() {
    return ((EffectiveAlignment() != taLeftJustify || Frame()->IsEffective()) && !FIsFocused) ||
           !ShowsCaret() || IsGridFocused() || IsPaintCopy(ControlState());
}

void TwwDBCustomEdit::WMPaint(TMessage& Message) {
    if (PaintsItself()) {
        PaintSelf(Message);
        return;
    }
    TwwCustomMaskEdit::WMPaint(Message);
    if (!Frame()->IsEffective()) return;
    EnsureCanvas();
    if (auto* dc = reinterpret_cast<HDC>(Message.WParam)) FCanvas->SetHandle(dc);
    else FCanvas->HandleNeeded();
    TwwFinally unbind([this] { FCanvas->FreeHandle(); });
    DrawFrame(FCanvas.get());
}

void TwwDBCustomEdit::PaintSelf(TMessage& Message) {
    EnsureCanvas();
    HDC given = reinterpret_cast<HDC>(Message.WParam);
    TPaintStruct paint;
    HDC dc = given ? given : BeginPaint(Handle(), paint);
    TwwFinally endPaint([this, given, &paint] {
        FCanvas->SetHandle(nullptr);
        if (!given) EndPaint(Handle(), paint);
    });
    TControlCanvas* canvas = FCanvas.get();
    canvas->SetHandle(dc);
    const bool copy = IsPaintCopy(ControlState());
    const bool focused = HandleAllocated() && GetFocus() == Handle();
    const bool inGrid = ParentNamed(this, "TCustomGrid");
    const bool inInspector = IsInInspector(this);
    const bool effective = Frame()->IsEffective();
    const bool transparent = IsEditTransparent();
    const bool bordered = BorderStyle() == bsSingle;
    TField* field = Field();

    canvas->Font()->Assign(Font());
    if (!Enabled() && Color() != clGrayText) canvas->Font()->SetColor(clGrayText);
    else if (copy && given) canvas->Font()->SetColor(static_cast<TColor>(given->GetTextColor()));
    else if (inGrid) canvas->Font()->SetColor(Parent()->Font()->Color());

    const TRect client = ClientRect();
    canvas->Brush()->SetColor(clWhite);
    if (bordered && (!Ctl3D() || (!copy && ParentNamed(this, "TwwDBGrid")))) {
        canvas->Brush()->SetColor(clWindowFrame);
        canvas->FrameRect(client);
    }
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    TRect r = client;
    InflateRect(r, -1, -1);
    if (!transparent && !copy) {
        if (Frame()->Enabled() && !FIsFocused && Frame()->NonFocusColor() != clNone) {
            canvas->Brush()->SetColor(Frame()->NonFocusColor());
            canvas->FillRect(client);
        } else {
            canvas->FillRect(r);
        }
    }
    if (GetShowButton() && !copy) GetTextAreaRect(r);
    else r = client;
    InflateRect(r, -1, -1);

    AnsiString text;
    if (copy && field) {
        if (!GetDisplayForValue(field->AsString(), text))
            text = IsMemoField() ? field->AsString() : field->DisplayText();
    } else {
        text = IsMemoField() ? field->AsString() : EditText();
    }

    const bool selectedLook = !copy && ((!ShowsCaret() && focused && !IsDroppedDown()) || IsGridFocused());
    if (selectedLook) {
        canvas->Brush()->SetColor(clHighlight);
        canvas->Font()->SetColor(clHighlightText);
        TMethod handler;
        GetOnCalcCellColorsEvent(Parent(), handler);
        if (IsGridFocused() && handler.Assigned() && handler.Fits<TCellColorsHandler>())
            handler.ToEvent<TCellColorsHandler>()(Parent(), field, TGridDrawState{}, true, canvas->Font(),
                                                  canvas->Brush());
    }

    const int textWidth = canvas->TextWidth(text);
    int y;
    if (inInspector) y = 1;
    else if (inGrid) y = ParentNamed(this, "TwwDBGrid") ? 2 : 1;
    else if (IsGridFocused() || (ParentNamed(this, "TwwDBGrid") && focused)) y = bordered ? 3 : 2;
    else y = 1;
    int x;
    if (inGrid) x = 2;
    else if (effective) Frame()->GetNonFocusTextOffsets(x, y, FIsFocused);
    else x = y + 1;
    const TAlignment alignment = EffectiveAlignment();
    if (alignment == taRightJustify) {
        int right = r.Right;
        if (copy) right = client.Right;
        else if (GetShowButton()) right = GetButtonLeft() - (Frame()->Transparent() ? 1 : 0);
        x = right - textWidth - y - 1;
        if (effective) x -= Frame()->NonFocusTextOffsetX();
    } else if (alignment == taCenter) {
        x = (r.Left + r.Right - textWidth) / 2;
    }
    if (PasswordChar() != '\0') text = AnsiString(text.size(), PasswordChar());

    int left = x, top = y;
    if (copy && !(inGrid && !inInspector)) left = x - 1;
    --left;
    --top;

    int options = 0;
    if (WordWrap()) options |= dctWordWrap;
    if (copy || (transparent && !FIsFocused)) options |= dctNoFill;
    if (inGrid) {
        const int cellHeight = static_cast<int>(Message.LParam);
        r.Bottom = copy && cellHeight != 0 ? r.Top + cellHeight : client.Bottom;
    }
    if (!FIsFocused) {
        if (transparent && Frame()->NonFocusTransparentFontColor() != clNone)
            canvas->Font()->SetColor(Frame()->NonFocusTransparentFontColor());
        else if (Frame()->Enabled() && Frame()->NonFocusFontColor() != clNone)
            canvas->Font()->SetColor(Frame()->NonFocusFontColor());
    }

    const bool focusedFrame = effective && FIsFocused;
    if (focusedFrame) {
        const int inset = TwwEditFrame::IsMonoStyle(Frame()->FocusStyle()) ? 1 : 2;
        InflateRect(r, -inset, -inset);
    }
    if (IsOwnerDraw()) {
        DrawDisplayText(canvas, r, text, left, top);
    } else {
        const TAlignment drawn =
            UseRightToLeftAlignment() && alignment == taLeftJustify ? taRightJustify : alignment;
        DrawCellText(canvas, r, focusedFrame ? 1 : left, focusedFrame ? 0 : top, text, drawn, options);
    }
    if (effective) DrawFrame(canvas);
    if (selectedLook) {
        TRect area;
        GetTextAreaRect(area);
        TRect outline = area;
        if (bordered) {
            ++outline.Top;
            --outline.Bottom;
            ++outline.Left;
        }
        if (!focusedFrame) {
            if (inGrid) outline = area;
            else --outline.Right;
        }
        canvas->FrameRect(outline);
        canvas->SetTextColor(clHighlightText);
        canvas->SetBkColor(clHighlight);
        canvas->DrawFocusRect(outline);
    }
}

// ---------------------------------------------------------------- TwwDBEdit

void TwwDBEdit::DescribeProperties(TPropertyTable& T) {
    using E = TwwDBCustomEdit;
    using M = TwwCustomMaskEdit;
    PublishEditProperties(T);
    T.Property("Controller", &E::Controller, &E::SetController);
    T.Property("DisableThemes", &E::DisableThemes, &E::SetDisableThemes).Default(false);
    T.Property("AutoFillDate", &E::AutoFillDate, &E::SetAutoFillDate).Default(true);
    T.Property("DataField", &E::DataField, &E::SetDataField);
    T.Property("DataSource", &E::DataSource, &E::SetDataSource);
    T.Property("EditAlignment", &E::EditAlignment, &E::SetEditAlignment).Default(eaLeftAlignEditing);
    T.Property("Frame", &M::Frame, &M::SetFrame);
    T.Property("Picture", &E::GetPicture, &E::SetPicture).Stored(&TwwDBEdit::PictureStored);
    T.Property("ReadOnly", &E::ReadOnly, &E::SetReadOnly).Default(false);
    T.Property("MaskStoreLiteralTemplate", &M::MaskStoreLiteralTemplate, &M::SetMaskStoreLiteralTemplate)
        .Default(false);
    T.Property("ShowVertScrollBar", &M::ShowVertScrollBar, &M::SetShowVertScrollBar).Default(false);
    T.Property("UnboundDataType", &E::UnboundDataType, &E::SetUnboundDataType).NoDefault();
    T.Property("UnboundAlignment", &E::UnboundAlignment, &E::SetUnboundAlignment).Default(taLeftJustify);
    T.Property("UsePictureMask", &M::UsePictureMask, &M::SetUsePictureMask).Default(true);
    T.Property("WantReturns", &M::WantReturns, &M::SetWantReturns).NoDefault();
    T.Property("WordWrap", &M::WordWrap, &M::SetWordWrap).NoDefault();
    T.Event("OnMouseEnter", &E::OnMouseEnter);
    T.Event("OnMouseLeave", &E::OnMouseLeave);
    T.Event("OnCheckValue", &M::OnCheckValue);
}

bool TwwDBEdit::PictureStored() const {
    auto* self = const_cast<TwwDBEdit*>(this);
    return !(self->Picture()->InDataSetMode() && self->Picture()->PictureMask().empty());
}
