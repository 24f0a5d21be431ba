#include "dataaware/Wwfltvw.h"

#include "dataaware/Wwintl.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwstr.h"
#include "platform/rtl/Numbers.h"

ZELMOR_IMPLEMENT_CLASS(TwwFilterDialogView, TForm)

namespace {

AnsiString WithoutAmpersand(const AnsiString& Text) { return ReplaceCharWithText(Text, '&', ""); }

int ScaledPx(int Value) { return MulDiv(Value, Screen->PixelsPerInch(), 96); }

}  // namespace

void SummaryRow(TwwFilterDialog* Dialog, const TwwFieldInfo& Info, AnsiString Cells[3]) {
    TwwFilterDialogIntl* T = DefaultIntl->FilterDialog();
    Cells[0] = Info.DisplayName;
    if (Info.MatchType == fdMatchRange) {
        Cells[1] = WithoutAmpersand(T->ByRangeLabel());
        Cells[2].clear();
        if (!Info.MinValue.empty()) Cells[2] = ">=" + Info.MinValue;
        if (!Info.MinValue.empty() && !Info.MaxValue.empty()) Cells[2] += ", ";
        if (!Info.MaxValue.empty()) Cells[2] += "<=" + Info.MaxValue;
        return;
    }
    Cells[1] = WithoutAmpersand(Info.MatchType == fdMatchStart ? T->MatchStartLabel()
                                : Info.MatchType == fdMatchAny ? T->MatchAnyLabel()
                                                               : T->MatchExactLabel());
    Cells[2] = Info.FilterValue;
    if (Info.NonMatching) {
        const bool List = !Dialog->FindValueOperator(Info.FilterValue).empty();
        Cells[2] = List ? T->ViewSummaryNotText() + " (" + Info.FilterValue + ")"
                        : T->ViewSummaryNotText() + " " + Info.FilterValue;
    }
}

TwwFilterDialogView::TwwFilterDialogView(TComponent* AOwner, TCreateNew Tag) : TForm(AOwner, Tag) {
    SetName("wwFilterDialogView");
    SetCaption("Show Search Summary");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    StringGrid1 = NewComponent<TStringGrid>(this);
    StringGrid1->SetName("StringGrid1");
    StringGrid1->SetColCount(3);
    StringGrid1->SetFixedCols(0);
    StringGrid1->SetFixedRows(1);
    StringGrid1->SetDefaultRowHeight(18);
    StringGrid1->SetScrollBars(ssVertical);
    StringGrid1->SetBounds(ScaledPx(8), ScaledPx(8), ScaledPx(464), ScaledPx(200));
    StringGrid1->SetParent(this);
    StringGrid1->OnEnter = [this](TObject*) {
        // Cells can be selected but not changed.
        StringGrid1->SetEditorMode(true);
        StringGrid1->SetEditorMode(false);
    };
    CancelBtn = CreateDialogButton(this, bkCancel);
    CancelBtn->SetTabOrder(0);
    SetClientWidth(ScaledPx(489) - 8);
    CancelBtn->SetBounds((ClientWidth() - CancelBtn->Width()) / 2,
                         StringGrid1->Top() + StringGrid1->Height() + ScaledPx(9), CancelBtn->Width(),
                         CancelBtn->Height());
    CancelBtn->SetVisible(true);
    SetClientHeight(CancelBtn->Top() + CancelBtn->Height() + ScaledPx(8));
    SetWidth(ScaledPx(489));
}

void TwwFilterDialogView::Fill(TwwFilterDialog* Dialog, const TwwFieldInfoList& Criteria) {
    TwwFilterDialogIntl* T = DefaultIntl->FilterDialog();
    StringGrid1->SetColWidths(0, ScaledPx(120));
    StringGrid1->SetColWidths(1, ScaledPx(140));
    StringGrid1->SetColWidths(2, ScaledPx(197));
    StringGrid1->SetRowCount(std::max<int>(2, int(Criteria.size()) + 1));
    StringGrid1->SetCells(0, 0, T->SummaryFieldLabel());
    StringGrid1->SetCells(1, 0, T->SummarySearchLabel());
    StringGrid1->SetCells(2, 0, T->SummaryValueLabel());
    if (!T->SummaryCaption().empty()) SetCaption(T->SummaryCaption());
    Font()->SetStyle(DefaultIntl->DialogFontStyle());
    for (size_t I = 0; I < Criteria.size(); ++I) {
        AnsiString Cells[3];
        SummaryRow(Dialog, Criteria[I], Cells);
        for (int C = 0; C < 3; ++C) StringGrid1->SetCells(C, int(I) + 1, Cells[C]);
    }
}

void ShowFilterSummary(TwwFilterDialog* Dialog, const TwwFieldInfoList& Criteria) {
    auto* Form = TForm::CreateNew<TwwFilterDialogView>(Application);
    try {
        Form->Fill(Dialog, Criteria);
        Form->ShowModal();
    } catch (...) {
        Form->Free();
        throw;
    }
    Form->Free();
}
