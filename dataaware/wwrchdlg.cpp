#include "dataaware/wwrchdlg.h"

#include <cmath>
#include <cstring>

#include "dataaware/Wwintl.h"
#include "dataaware/wwcommon.h"
#include "dataaware/wwriched.h"
#include "platform/rtl/Format.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_CLASS(TwwRichParagraphDialog, TForm)

namespace {

const AnsiString& Or(const AnsiString& Text, const AnsiString& Fallback) {
    return Text.empty() ? Fallback : Text;
}

}  // namespace

TwwRichParagraphDialog::TwwRichParagraphDialog(TComponent* AOwner, TCreateNew Tag) : TForm(AOwner, Tag) {
    SetBorderStyle(bsDialog);
    SetColor(clBtnFace);
    SetClientWidth(331);
    SetClientHeight(229);
    SetPosition(poScreenCenter);
    auto label = [this](TWinControl* Parent, const char* Name, int Left, int Top) {
        auto* l = NewComponent<TLabel>(this);
        l->SetName(Name);
        l->SetBounds(Left, Top, 80, 13);
        l->SetParent(Parent);
        return l;
    };
    auto edit = [this](TWinControl* Parent, const char* Name, int Left, int Top) {
        auto* e = NewComponent<TEdit>(this);
        e->SetName(Name);
        e->SetBounds(Left, Top, 64, 21);
        e->SetParent(Parent);
        return e;
    };
    auto combo = [this](const char* Name, int Left, int Top, int Width) {
        auto* c = NewComponent<TComboBox>(this);
        c->SetName(Name);
        c->SetStyle(csDropDownList);
        c->SetBounds(Left, Top, Width, 21);
        c->SetParent(this);
        return c;
    };
    Label4 = label(this, "Label4", 8, 10);
    AlignmentCombo = combo("AlignmentCombo", 90, 6, 120);
    GroupBox1 = NewComponent<TGroupBox>(this);
    GroupBox1->SetBounds(8, 34, 150, 100);
    GroupBox1->SetParent(this);
    Label1 = label(GroupBox1, "Label1", 8, 20);
    LeftEdit = edit(GroupBox1, "LeftEdit", 78, 16);
    Label2 = label(GroupBox1, "Label2", 8, 46);
    RightEdit = edit(GroupBox1, "RightEdit", 78, 42);
    Label3 = label(GroupBox1, "Label3", 8, 72);
    FirstLineEdit = edit(GroupBox1, "FirstLineEdit", 78, 68);
    SpacingGroup = NewComponent<TGroupBox>(this);
    SpacingGroup->SetBounds(164, 34, 160, 150);
    SpacingGroup->SetParent(this);
    BeforeParagraphLabel = label(SpacingGroup, "BeforeParagraphLabel", 8, 20);
    BeforeParagraphEdit = edit(SpacingGroup, "BeforeParagraphEdit", 88, 16);
    AfterParagraphLabel = label(SpacingGroup, "AfterParagraphLabel", 8, 46);
    AfterParagraphEdit = edit(SpacingGroup, "AfterParagraphEdit", 88, 42);
    WithinParagraphLabel = label(SpacingGroup, "WithinParagraphLabel", 8, 72);
    LineSpacingComboBox = combo("LineSpacingComboBox", 172, 122, 90);
    WithinParagraphAt = label(SpacingGroup, "WithinParagraphAt", 8, 124);
    WithinParagraphEdit = edit(SpacingGroup, "WithinParagraphEdit", 88, 120);
    auto button = [this](const char* Name, int Left) {
        auto* b = NewComponent<TButton>(this);
        b->SetName(Name);
        b->SetBounds(Left, 196, 75, 25);
        b->SetParent(this);
        return b;
    };
    OKBtn = button("OKBtn", 164);
    OKBtn->SetDefault(true);
    OKBtn->OnClick = [this](TObject*) { OKBtnClick(); };
    CancelBtn = button("CancelBtn", 248);
    CancelBtn->SetCancel(true);
    CancelBtn->SetModalResult(mrCancel);
    LineSpacingComboBox->OnChange = [this](TObject*) { LineSpacingChange(); };
    WithinParagraphEdit->OnChange = [this](TObject*) { WithinChange(); };
}

void TwwRichParagraphDialog::SetRichEdit(TwwCustomRichEdit* Value) {
    FRichEdit = Value;
    ApplyLabels();
}

void TwwRichParagraphDialog::ApplyLabels() {
    TwwRichEditParagraphDlg* t = DefaultIntl->RichEdit()->ParagraphDialog();
    SetHelpContext(t->HelpContext());
    SetCaption(t->ParagraphDlgCaption());
    OKBtn->SetCaption(DefaultIntl->BtnOKCaption());
    CancelBtn->SetCaption(DefaultIntl->BtnCancelCaption());
    GroupBox1->SetCaption(t->IndentationGroupBoxCaption());
    Label1->SetCaption(t->LeftEditCaption());
    Label2->SetCaption(t->RightEditCaption());
    Label3->SetCaption(t->FirstLineEditCaption());
    Label4->SetCaption(t->AlignmentCaption());
    SpacingGroup->SetCaption(t->SpacingGroupCaption());
    BeforeParagraphLabel->SetCaption(t->BeforeParagraphCaption());
    AfterParagraphLabel->SetCaption(t->AfterParagraphCaption());
    WithinParagraphLabel->SetCaption(t->WithinParagraphCaption());
    WithinParagraphAt->SetCaption(t->WithinParagraphAtCaption());
    if (FRichEdit && FRichEdit->EditorOptions().Contains(reoShowHints)) {
        LeftEdit->SetHint(t->LeftEditHint());
        RightEdit->SetHint(t->RightEditHint());
        FirstLineEdit->SetHint(t->FirstLineEditHint());
        AlignmentCombo->SetHint(t->AlignmentHint());
        for (TControl* c :
             std::initializer_list<TControl*>{LeftEdit, RightEdit, FirstLineEdit, AlignmentCombo})
            c->SetShowHint(true);
    }
    TStrings* a = AlignmentCombo->Items();
    a->Clear();
    a->Add(t->AlignLeft());
    a->Add(t->AlignCenter());
    a->Add(t->AlignRight());
    if (FRichEdit && FRichEdit->EditorOptions().Contains(reoShowJustifyButton)) a->Add(t->AlignJustify());
    TStrings* s = LineSpacingComboBox->Items();
    s->Clear();
    s->Add(Or(t->SpacingSingle(), "Single"));
    s->Add(Or(t->Spacing1_5(), "1.5 Lines"));
    s->Add(Or(t->SpacingDouble(), "Double"));
    s->Add(Or(t->SpacingAtLeast(), "At least"));
    s->Add(Or(t->SpacingExactly(), "Exactly"));
    s->Add(Or(t->SpacingMultiple(), "Multiple"));
}

bool TwwRichParagraphDialog::IsValidMeasure(const AnsiString& Text) const {
    return FRichEdit->IsValidMeasure(Text);
}

// A choice in the list empties the edit, then the new rule fills it: the
// two steps the list's click and change take, in that order.
void TwwRichParagraphDialog::LineSpacingChange() {
    FFilling = true;
    const int rule = LineSpacingComboBox->ItemIndex();
    AnsiString text;
    if (rule == 3 || rule == 4) {
        // A sixth of an inch, or 0.42283 cm, cut to two decimals.
        const double units = FRichEdit->MeasurementUnits() == muCentimeters ? 0.42283 : 1.0 / 6;
        text = FRichEdit->UnitsToText(std::trunc(units * 100) / 100);
    } else if (rule == 5) {
        text = "1";
    }
    WithinParagraphEdit->SetText(text);
    FFilling = false;
}

void TwwRichParagraphDialog::WithinChange() {
    if (FFilling || WithinParagraphEdit->Text().empty()) return;
    if (LineSpacingComboBox->ItemIndex() >= 0 && LineSpacingComboBox->ItemIndex() <= 2) {
        FFilling = true;
        LineSpacingComboBox->SetItemIndex(5);
        FFilling = false;
    }
}

void TwwRichParagraphDialog::OKBtnClick() {
    for (TEdit* e : {LeftEdit, FirstLineEdit, RightEdit, BeforeParagraphEdit, AfterParagraphEdit}) {
        if (!e->Enabled() || IsValidMeasure(e->Text())) continue;
        e->SetFocus();
        return;
    }
    if (!WithinParagraphEdit->Text().empty() && LineSpacingComboBox->ItemIndex() != 5 &&
        !IsValidMeasure(WithinParagraphEdit->Text())) {
        WithinParagraphEdit->SetFocus();
        return;
    }
    SetModalResult(mrOk);
}

bool TwwCustomRichEdit::ExecuteParagraphDialog() {
    auto* dialog = TForm::CreateNew<TwwRichParagraphDialog>(Application);
    struct TFree {
        TwwRichParagraphDialog* D;
        ~TFree() { D->Free(); }
    } free{dialog};
    dialog->SetRichEdit(this);
    int offset = 0, right = 0, start = 0;
    GetIndents(offset, right, start);
    dialog->LeftEdit->SetText(UnitsToSnappedText(0, TwipsToUnits(start + offset)));
    dialog->FirstLineEdit->SetText(UnitsToSnappedText(0, TwipsToUnits(-offset)));
    dialog->RightEdit->SetText(UnitsToSnappedText(0, TwipsToUnits(right)));
    const TRichParaFormat f = GetParagraphFormat();
    if (RichEditVersion() >= 2) {
        dialog->BeforeParagraphEdit->SetText(UnitsToSnappedText(100, TwipsToUnits(f.SpaceBefore)));
        dialog->AfterParagraphEdit->SetText(UnitsToSnappedText(100, TwipsToUnits(f.SpaceAfter)));
        dialog->LineSpacingComboBox->SetItemIndex(f.LineSpacingRule);
        AnsiString within;
        if (f.LineSpacingRule == 5) within = FloatToStr(f.LineSpacing / 20.0);
        else if (f.LineSpacingRule >= 3) within = UnitsToSnappedText(100, TwipsToUnits(f.LineSpacing));
        dialog->WithinParagraphEdit->SetText(within);
    } else {
        for (TEdit* e :
             {dialog->BeforeParagraphEdit, dialog->AfterParagraphEdit, dialog->WithinParagraphEdit})
            e->SetEnabled(false);
        dialog->BeforeParagraphEdit->SetText("0");
        dialog->AfterParagraphEdit->SetText("0");
        dialog->WithinParagraphEdit->SetText("");
        dialog->LineSpacingComboBox->SetItemIndex(0);
        dialog->LineSpacingComboBox->SetEnabled(false);
    }
    TwwRichEditParagraphDlg* t = DefaultIntl->RichEdit()->ParagraphDialog();
    const AnsiString alignment = f.Alignment == raJustify ? t->AlignJustify()
                                 : f.Alignment == raLeft  ? t->AlignLeft()
                                 : f.Alignment == raRight ? t->AlignRight()
                                                          : t->AlignCenter();
    dialog->AlignmentCombo->SetItemIndex(dialog->AlignmentCombo->Items()->IndexOf(alignment));
    if (dialog->ShowModal() != mrOk) return false;
    const int first = TextToTwips(dialog->FirstLineEdit->Text());
    const int left = TextToTwips(dialog->LeftEdit->Text());
    const int newOffset = std::min(-first, left);
    const int newStart = first + left;
    const int newRight = TextToTwips(dialog->RightEdit->Text());
    const int rule = std::max(0, dialog->LineSpacingComboBox->ItemIndex());
    const AnsiString within = TwwCustomRichEdit::StripUnitMarks(dialog->WithinParagraphEdit->Text());
    int spacing = 0;
    if (rule == 5) {
        spacing = !within.empty() && IsFloatText(within)
                      ? static_cast<int>(std::trunc(StrToFloat(within) * 20))
                      : 20;
    } else if (!within.empty()) {
        spacing = TextToTwips(within);
    }
    const int before = TextToTwips(dialog->BeforeParagraphEdit->Text());
    const int after = TextToTwips(dialog->AfterParagraphEdit->Text());
    SetParagraphFormat(wwpmAlignment | wwpmOffset | wwpmRightIndent | wwpmStartIndent | wwpmSpaceBefore |
                           wwpmSpaceAfter | wwpmLineSpacing,
                       dialog->AlignmentCombo->Text(), false, newOffset, newRight, newStart, 0, nullptr,
                       before, after, spacing, rule);
    return true;
}
