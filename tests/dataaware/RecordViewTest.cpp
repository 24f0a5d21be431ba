// The record view on the students of the small school: where its labels and
// controls go in the vertical and the horizontal layout (computed here from
// the form's font), the modal and the modeless form, and the question before
// changes are thrown away.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbdlg.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwdbdatetimepicker.h"
#include "dataaware/wwdbedit.h"
#include "dataaware/wwframe.h"
#include "dataaware/wwrcdvw.h"
#include "dataaware/wwriched.h"
#include "platform/db/Fields.h"
#include "platform/ui/Menus.h"
#include "platform/win/WindowManager.h"

namespace {

class RecordViewTest : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        MakeSchool();
        Table = NewWwTable("alum", "N");
        Source = NewComponent<TwwDataSource>(Form);
        Source->SetDataSet(Table);
        Dialog = NewComponent<TwwRecordViewDialog>(Form);
        Dialog->SetDataSource(Source);
        Table->Open();
    }
    void TearDown() override {
        if (Dialog->Form()) Dialog->Form()->Free();
        GridFixture::TearDown();
    }
    // The form's measures, as the layout takes them.
    int Zero() {
        TCanvas* C = Dialog->Form()->Canvas();
        C->Font()->Assign(Dialog->Form()->Font());
        return C->TextWidth("0");
    }
    int LabelWidth(const char* Text) {
        TCanvas* C = Dialog->Form()->Canvas();
        C->Font()->Assign(Dialog->LabelFont());
        return C->TextWidth(Text);
    }
    TControl* ControlOf(const char* Field) {
        for (TControl* C : Dialog->Controls())
            if (GetDataFieldProp(C) == Field) return C;
        return nullptr;
    }
    TwwTable* Table = nullptr;
    TwwDataSource* Source = nullptr;
    TwwRecordViewDialog* Dialog = nullptr;
};

}  // namespace

// Vertical: labels right-aligned in a column as wide as the widest label,
// controls beside it at their natural width (a memo across the room left),
// one per line; a Selected line naming no field is passed over.
TEST_F(RecordViewTest, TheVerticalLayout) {
    for (const char* Line :
         {"NOMBRE\t20\tNombre\tF", "NOPE\t5\tNada\tF", "ABREV\t4\tAbrev~iatura\tF", "OBS\t30\tObs\tF"})
        Dialog->Selected()->Add(Line);
    Dialog->SetOptions(Dialog->Options() - TwwRecordViewOptions{rvoModalForm});
    ASSERT_TRUE(Dialog->Execute());
    Idle();
    TwwRecordViewForm* F = Dialog->Form();
    ASSERT_NE(F, nullptr);
    const int Z = Zero();
    const int W = std::max({LabelWidth("Nombre"), LabelWidth("Abrev iatura"), LabelWidth("Obs")});
    const int L = 5 + W + 5;
    EXPECT_EQ(Dialog->LabelEdge(), L);
    ASSERT_EQ(Dialog->Controls().size(), 3u);
    ASSERT_EQ(Dialog->Labels().size(), 3u);
    const int Avail = F->Width() - L - 5 - 20;
    TControl* Nombre = ControlOf("NOMBRE");
    TControl* Abrev = ControlOf("ABREV");
    TControl* Obs = ControlOf("OBS");
    ASSERT_TRUE(Nombre && Abrev && Obs);
    EXPECT_EQ(Nombre->BoundsRect().Left, L);
    EXPECT_EQ(Nombre->Width(), std::min(Z * 21 + 3, Avail));
    EXPECT_EQ(Abrev->Width(), std::min(Z * 5 + 3, Avail));
    EXPECT_EQ(Obs->Width(), Avail) << "a memo takes the room left";
    TCanvas* C = F->Canvas();
    C->Font()->Assign(F->Font());
    EXPECT_EQ(Obs->Height(), C->TextHeight("0") * 2 + 8);
    EXPECT_EQ(Nombre->Top(), 5);
    EXPECT_EQ(Abrev->Top(), 5 + Nombre->Height() + 2);
    EXPECT_EQ(Obs->Top(), Abrev->Top() + Abrev->Height() + 2);
    EXPECT_EQ(Dialog->Labels()[1]->Left(), 5);
    EXPECT_EQ(Dialog->Labels()[1]->Width(), W);
    EXPECT_EQ(Dialog->Labels()[1]->Top(), Abrev->Top() + 4);
    const int Needed = F->RecordPanel->Left() + F->ScrollBox->Left() + L + Z * 31 + 3 + 5 + 14;
    EXPECT_EQ(Dialog->NeededWidth(), Needed);
    // Narrowed to the room, a wide field is cut to it.
    Dialog->Form()->Close();
    Idle();
    EXPECT_EQ(Dialog->Form(), nullptr) << "a modeless form frees itself";
}

// Each field gets the control of its kind: a date the date-time editor
// (wider by its button) unless rvoUseDateTimePicker is off, rich text the
// rich edit, a memo the memo (the framed memo edit while EditFrame is on),
// any other field the edit; every control with a frame takes a copy of
// EditFrame and is offered to OnSetControlEffects.
TEST_F(RecordViewTest, EachFieldGetsTheControlOfItsKind) {
    CreateTable("ficha", {{"NOMBRE", ftString, 10}, {"NACIDO", ftDate}, {"OBS", ftMemo}, {"RICO", ftMemo}});
    AddRows("ficha",
            {{{"NOMBRE", "Ana"}, {"NACIDO", "15/03/2010"}, {"OBS", "nota"}, {"RICO", "{\\rtf1 Hola}"}}});
    TwwTable* Ficha = NewWwTable("ficha");
    Source->SetDataSet(Ficha);
    Ficha->Open();
    for (const char* Line :
         {"NOMBRE\t10\tNombre\tF", "NACIDO\t10\tNacido\tF", "OBS\t20\tObs\tF", "RICO\t20\tRico\tF"})
        Dialog->Selected()->Add(Line);
    Dialog->SetOptions(Dialog->Options() - TwwRecordViewOptions{rvoModalForm});
    struct TCase {
        bool Picker, Frame;
        std::vector<std::string> Classes;
    };
    for (const TCase& C :
         {TCase{true, false, {"TwwDBEdit", "TwwDBDateTimePicker", "TwwDBMemo", "TwwDBRichEdit"}},
          TCase{false, true, {"TwwDBEdit", "TwwDBEdit", "TwwDBEditMemo", "TwwDBRichEdit"}}}) {
        SCOPED_TRACE(C.Picker ? "picker" : "framed");
        TwwRecordViewOptions O = Dialog->Options();
        if (C.Picker) O.Include(rvoUseDateTimePicker);
        else O.Exclude(rvoUseDateTimePicker);
        Dialog->SetOptions(O);
        Dialog->EditFrame()->SetEnabled(C.Frame);
        std::vector<std::string> Effects;
        Dialog->OnSetControlEffects = [&](TwwRecordViewForm*, TField* F, TControl*, TwwEditFrame* Frame,
                                          TwwButtonEffects*) {
            Effects.push_back(F->FieldName());
            EXPECT_EQ(Frame->Enabled(), C.Frame);
        };
        ASSERT_TRUE(Dialog->Execute());
        Idle();
        std::vector<std::string> Classes;
        for (TControl* Control : Dialog->Controls()) Classes.push_back(Control->ClassName());
        EXPECT_EQ(Classes, C.Classes);
        EXPECT_FALSE(Effects.empty());
        EXPECT_EQ(Effects[0], "NOMBRE");
        const int Z = Zero();
        TCanvas* Canvas = Dialog->Form()->Canvas();
        Canvas->Font()->Assign(Dialog->Form()->Font());
        const int MemoHeight = Canvas->TextHeight("0") * 2 + 8;
        TControl* Nacido = ControlOf("NACIDO");
        const int Avail = Dialog->Form()->Width() - Dialog->LabelEdge() - 5 - 20;
        if (auto* Picker = dynamic_cast<TwwDBDateTimePicker*>(Nacido))
            EXPECT_EQ(Nacido->Width(), std::min(Z * 11 + 3 + Picker->Button()->Width(), Avail));
        else EXPECT_EQ(Nacido->Width(), std::min(Z * 11 + 3, Avail));
        EXPECT_EQ(ControlOf("RICO")->Height(), MemoHeight) << "rich text is a multi-line control";
        EXPECT_EQ(ControlOf("RICO")->Width(), Avail);
        EXPECT_EQ(ControlOf("OBS")->Height(), MemoHeight);
        Dialog->Form()->Close();
        Idle();
    }
}

// Clamping and the work area: a field wider than the screen makes a form
// as wide as the work area allows and is cut to the room
// (rvoShortenEditBox); rvoConsistentEditWidth widens a short field to it;
// a record taller than the work area gives a form 12 pixels lower than it
// (and a horizontal scroll bar higher when its controls are wider).
TEST_F(RecordViewTest, WidthsAreClampedAndTheFormStaysInTheWorkArea) {
    Dialog->Selected()->Add("NOMBRE\t300\tNombre\tF");
    Dialog->Selected()->Add("ABREV\t4\tAbrev\tF");
    Dialog->Selected()->Add("OBS\t10\tObs\tF");
    Dialog->SetLinesPerMemoControl(300);
    TRect Work;
    GetWorkArea(Work);
    struct TCase {
        TwwRecordViewOptions Options;
        bool Shorten, Consistent;
    };
    const TwwRecordViewOptions Base =
        Dialog->Options() - TwwRecordViewOptions{rvoModalForm, rvoShortenEditBox};
    for (const TCase& C :
         {TCase{Base + TwwRecordViewOptions{rvoShortenEditBox}, true, false}, TCase{Base, false, false},
          TCase{Base + TwwRecordViewOptions{rvoConsistentEditWidth}, false, true}}) {
        SCOPED_TRACE(std::string(C.Shorten ? "shorten" : "") + (C.Consistent ? "consistent" : ""));
        Dialog->SetOptions(C.Options);
        ASSERT_TRUE(Dialog->Execute());
        Idle();
        TwwRecordViewForm* F = Dialog->Form();
        const int Z = Zero();
        EXPECT_GT(Dialog->NeededWidth(), Work.Width());
        const int VBar = GetSystemMetrics(SM_CXVSCROLL);
        EXPECT_EQ(F->Width(), Work.Width() - 5 - 14 + VBar) << "widened for the vertical scroll bar";
        EXPECT_GT(Dialog->NeededHeight(), Work.Height());
        const int Avail = F->Width() - VBar - Dialog->LabelEdge() - 5 - 20;
        // rvoConsistentEditWidth gives every control the room again when the form is sized.
        EXPECT_EQ(ControlOf("NOMBRE")->Width(), C.Shorten || C.Consistent ? Avail : Z * 301 + 3);
        EXPECT_EQ(ControlOf("ABREV")->Width(), C.Consistent ? Avail : Z * 5 + 3);
        // Laid out wider than the form (not cut to the room), the form grows
        // by a horizontal scroll bar.
        EXPECT_EQ(F->Height(), Work.Height() - 12 + (C.Shorten ? 0 : GetSystemMetrics(SM_CYHSCROLL)));
        // The scroll box scrolls over the record: down to its last control
        // (a memo's line step), across to the widest control, less the
        // vertical bar as the form was cut to the work area.
        TControlScrollBar* Vert = F->ScrollBox->VertScrollBar();
        TControl* Obs = ControlOf("OBS");
        EXPECT_EQ(Vert->Range(), Obs->Top() + Obs->Height() + 5);
        EXPECT_EQ(Vert->Increment(), 2 + Obs->Height());
        EXPECT_TRUE(Vert->IsScrollBarVisible());
        const int Widest = C.Shorten ? Avail : Z * 301 + 3;
        TControlScrollBar* Horz = F->ScrollBox->HorzScrollBar();
        EXPECT_EQ(Horz->Range(), (C.Consistent ? Widest : Dialog->LabelEdge() + Widest + 5) - VBar);
        EXPECT_EQ(Horz->IsScrollBarVisible(), !C.Shorten);
        // Scrolling brings the controls up with it, at most to the range's end.
        const int Top = Obs->Top();
        Vert->SetPosition(10);
        EXPECT_EQ(Vert->Position(), 10);
        EXPECT_EQ(Obs->Top(), Top - 10);
        Vert->SetPosition(Vert->Range() * 2);
        EXPECT_EQ(Vert->Position(), Vert->Range() - F->ScrollBox->ClientHeight());
        F->Close();
        Idle();
    }
}

// The dialog's Menu shows as the form's bar when it has items, and the form
// is taller by the bar; a click on a top item runs it; the bar goes when the
// form closes. A menu without items, or a dialog frame, adds nothing.
TEST_F(RecordViewTest, TheDialogsMenuShowsAsTheFormsBar) {
    Dialog->Selected()->Add("NOMBRE\t10\tNombre\tF");
    Dialog->SetOptions(Dialog->Options() - TwwRecordViewOptions{rvoModalForm});
    ASSERT_TRUE(Dialog->Execute());
    Idle();
    const int Bare = Dialog->NeededHeight();
    Dialog->Form()->Close();
    Idle();
    auto* Menu = NewComponent<TMainMenu>(Form);
    Dialog->SetMenu(Menu);
    ASSERT_TRUE(Dialog->Execute());
    Idle();
    EXPECT_EQ(Dialog->Form()->Menu(), nullptr) << "a menu without items is not shown";
    EXPECT_EQ(Dialog->NeededHeight(), Bare);
    Dialog->Form()->Close();
    Idle();
    auto* Item = NewComponent<TMenuItem>(Menu);
    Item->SetCaption("&Marcar");
    int Clicks = 0;
    Item->OnClick = [&](TObject*) { ++Clicks; };
    Menu->Items()->Add(Item);
    for (TFormBorderStyle Border : {bsSizeable, bsDialog}) {
        SCOPED_TRACE(int(Border));
        Dialog->SetBorderStyle(Border);
        ASSERT_TRUE(Dialog->Execute());
        Idle();
        TwwRecordViewForm* F = Dialog->Form();
        EXPECT_EQ(F->Menu(), Menu);
        EXPECT_EQ(Dialog->NeededHeight(), Bare + (Border == bsDialog ? 0 : GetSystemMetrics(SM_CYMENU)));
        EXPECT_EQ(F->Height(), Dialog->NeededHeight());
        TRect W;
        GetWindowRect(F->Handle(), W);
        const TRect R = Menu->BarItems(MenuBarRect(F->Handle())).at(0).second;
        const int Before = Clicks;
        Ui().Click(TPoint(W.Left + (R.Left + R.Right) / 2, W.Top + (R.Top + R.Bottom) / 2));
        Idle();
        EXPECT_EQ(Clicks, Before + 1);
        F->Close();
        Idle();
        EXPECT_EQ(Menu->Form(), nullptr) << "the bar goes with the form";
    }
}

// Horizontal: label above control, fields side by side; a Selected line
// naming no field breaks the row.
TEST_F(RecordViewTest, TheHorizontalLayoutBreaksRows) {
    Dialog->SetStyle(rvsHorizontal);
    for (const char* Line :
         {"NOMBRE\t10\tNombre\tF", "ABREV\t4\tAbrev\tF", "NOPE\t5\tNada\tF", "TNC\t4\tCurso\tF"})
        Dialog->Selected()->Add(Line);
    Dialog->SetOptions(Dialog->Options() - TwwRecordViewOptions{rvoModalForm});
    ASSERT_TRUE(Dialog->Execute());
    Idle();
    const int Z = Zero();
    TControl* Nombre = ControlOf("NOMBRE");
    TControl* Abrev = ControlOf("ABREV");
    TControl* Tnc = ControlOf("TNC");
    ASSERT_TRUE(Nombre && Abrev && Tnc);
    const int LabelHeight = Dialog->Labels()[0]->Height();
    EXPECT_EQ(Nombre->Left(), 5);
    EXPECT_EQ(Nombre->Top(), 5 + 1 + LabelHeight);
    EXPECT_EQ(Nombre->Width(), Z * 11 + 3);
    EXPECT_EQ(Abrev->Left(), 5 + std::max(Nombre->Width(), LabelWidth("Nombre") + 1) + 5);
    EXPECT_EQ(Abrev->Top(), Nombre->Top());
    EXPECT_EQ(Tnc->Left(), 5) << "a new row";
    EXPECT_EQ(Tnc->Top(), Nombre->Top() + 1 + Nombre->Height() + 2 + LabelHeight);
    EXPECT_GE(Dialog->NeededWidth(), 400);
    // The scroll box reaches down to the last row, a row and its spacing a
    // line, and across to the widest control; a record this small needs no bar.
    TControlScrollBar* Vert = Dialog->Form()->ScrollBox->VertScrollBar();
    EXPECT_EQ(Vert->Range(), Tnc->Top() + Tnc->Height() + 5);
    EXPECT_EQ(Vert->Increment(), Tnc->Height() + 2);
    EXPECT_FALSE(Vert->IsScrollBarVisible());
    EXPECT_EQ(Dialog->Form()->ScrollBox->HorzScrollBar()->Range(), 5 + Nombre->Width() + 5);
}

// The modal form answers whether it closed with OK; the close button,
// OK and Escape end it as the options say.
TEST_F(RecordViewTest, ModalFormCloses) {
    struct TCase {
        const char* How;
        bool CloseIsCancel;
        bool Ok;
    };
    for (const TCase& C : {TCase{"OK", true, true}, TCase{"close button", true, false},
                           TCase{"close button, not cancel", false, true}, TCase{"Escape", true, false}}) {
        SCOPED_TRACE(C.How);
        TwwRecordViewOptions O = Dialog->Options();
        if (C.CloseIsCancel) O.Include(rvoCloseIsCancel);
        else O.Exclude(rvoCloseIsCancel);
        Dialog->SetOptions(O);
        Ui().Then([&] {
            TwwRecordViewForm* F = Dialog->Form();
            ASSERT_NE(F, nullptr);
            const std::string How = C.How;
            if (How == "OK") {
                Ui().Key(VK_RETURN, TShiftState{ssCtrl});
            } else if (How == "Escape") {
                Ui().Key(VK_ESCAPE);
            } else {
                F->Close();
            }
            Idle();
        });
        EXPECT_EQ(Dialog->Execute(), C.Ok);
        EXPECT_EQ(Dialog->Form(), nullptr);
    }
}

// Changes thrown away are asked about: Yes keeps them (posted, the form
// answers OK), No cancels the record, Cancel keeps the form open. The
// close button asks when it counts as Cancel (rvoCloseIsCancel) and posts
// without a question otherwise; OK never asks.
TEST_F(RecordViewTest, TheCloseQuestion) {
    Dialog->Selected()->Add("NOMBRE\t20\tNombre\tF");
    struct TCase {
        const char* How;
        bool CloseIsCancel;
        int Answer;  // mrNone: no question expected
        const char* Stored;
        bool Result;
    };
    const TCase Cases[] = {
        {"close button", true, mrYes, "luisa", true},
        {"close button", true, mrNo, "luis", false},
        {"close button", true, mrCancel, "luis", false},
        {"close button", false, mrNone, "luisa", true},
        {"OK", true, mrNone, "luisa", true},
        {"Cancel", true, mrYes, "luisa", true},
        {"Cancel", true, mrNo, "luis", false},
        {"Cancel", false, mrCancel, "luis", false},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::string(C.How) + (C.CloseIsCancel ? ", close is cancel" : "") + ", answer " +
                     std::to_string(C.Answer));
        TwwRecordViewOptions O = Dialog->Options();
        if (C.CloseIsCancel) O.Include(rvoCloseIsCancel);
        else O.Exclude(rvoCloseIsCancel);
        Dialog->SetOptions(O);
        Table->First();
        const size_t AskedBefore = Answers.Asked().size();
        if (C.Answer != mrNone) Answers.Then(C.Answer);
        // After Cancel in the box, the form is still there and Cancel with No ends it.
        if (C.Answer == mrCancel) Answers.Then(mrNo);
        Ui().Then([&] {
            auto* Edit = dynamic_cast<TwwDBEdit*>(ControlOf("NOMBRE"));
            ASSERT_NE(Edit, nullptr);
            Edit->SetFocus();
            Ui().Key(VK_END);
            Ui().Type("a");
            Idle();
            EXPECT_EQ(Table->State(), dsEdit);
            const std::string How = C.How;
            if (How == "OK") Dialog->PostAndClose();
            else if (How == "Cancel") Dialog->CancelAndClose();
            else Dialog->Form()->Close();
        });
        if (C.Answer == mrCancel)
            Ui().Then([&] {
                EXPECT_NE(Dialog->Form(), nullptr) << "Cancel keeps the form";
                Dialog->CancelAndClose();
            });
        EXPECT_EQ(Dialog->Execute(), C.Result);
        EXPECT_EQ(Ui().StepsLeft(), 0u);
        const size_t Asked = Answers.Asked().size() - AskedBefore;
        EXPECT_EQ(Asked, C.Answer == mrNone ? 0u : C.Answer == mrCancel ? 2u : 1u);
        if (Asked > 0) {
            EXPECT_EQ(Answers.Texts().back(), "Changes have been made!  Do you wish to save your changes?");
            EXPECT_EQ(Answers.Asked().back().DlgType, mtConfirmation);
        }
        EXPECT_EQ(Table->State(), dsBrowse);
        EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), C.Stored);
        // Back to the first name for the next case.
        if (std::string(C.Stored) == "luisa") {
            Table->Edit();
            Table->FieldByName("NOMBRE")->SetAsString("luis");
            Table->Post();
        }
    }
}

// A lookup combo of a grid named by a ControlType line is borrowed for the
// form, with a border and the form's button look, and goes back into the
// grid without a border and with its own button look.
TEST_F(RecordViewTest, ABorrowedLookupComboGoesBackToItsGrid) {
    TForm* Frm = NewPlainForm("GridForm", 400, 200);
    Shown = Frm;
    auto* Grid = NewComponent<TwwDBGrid>(Frm);
    Grid->SetBounds(0, 0, 300, 150);
    Grid->SetParent(Frm);
    auto* Combo = NewComponent<TwwDBLookupComboDlg>(Frm);
    Combo->SetName("AsigCombo");
    Combo->SetParent(Grid);
    Combo->SetVisible(false);
    SetBorderStyleProp(Combo, false);
    // The grid's button look: flat and transparent.
    TObject* Effects = GetObjectProp(Combo, "ButtonEffects");
    SetOrdProp(Effects, "Flat", true);
    SetOrdProp(Effects, "Transparent", true);
    const TRect Bounds = Combo->BoundsRect();
    auto* View = NewComponent<TwwRecordViewDialog>(Frm);
    View->SetDataSource(Source);
    View->ControlType()->Add("ASIG;LookupCombo;AsigCombo");
    View->Selected()->Add("ASIG\t4\tAsignatura\tF");
    bool BorrowedWithBorder = false, FlatMeanwhile = true;
    TWinControl* ParentMeanwhile = nullptr;
    Ui().Then([&] {
        ParentMeanwhile = Combo->Parent();
        BorrowedWithBorder = HasBorderStyleSingle(Combo) && Combo->Visible();
        FlatMeanwhile = GetOrdProp(Effects, "Flat") != 0;
        View->CancelAndClose();
    });
    View->Execute();
    EXPECT_NE(ParentMeanwhile, Grid);
    EXPECT_TRUE(BorrowedWithBorder);
    EXPECT_EQ(Combo->Parent(), Grid);
    EXPECT_FALSE(Combo->Visible());
    EXPECT_FALSE(HasBorderStyleSingle(Combo)) << "back in the grid without a border";
    EXPECT_EQ(Combo->BoundsRect(), Bounds);
    EXPECT_FALSE(FlatMeanwhile) << "the form's button look: rvcFlatButtons is off";
    EXPECT_EQ(GetOrdProp(Effects, "Flat"), 1) << "the grid's button look comes back";
    EXPECT_EQ(GetOrdProp(Effects, "Transparent"), 1);
}
