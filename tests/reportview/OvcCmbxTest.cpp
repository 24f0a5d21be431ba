// The combo box base: the MRU block, the search that completes the typed
// text after its delay on the manual clock, the keys it answers, hot
// tracking and borders to the pixel, the border settings as forms store
// them, and its attached label; and the small colour and border classes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OvcTestSupport.h"
#include "platform/sys/Sound.h"
#include "platform/win/Display.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcCmbx.h"
#include "reportview/OvcColor.h"
#include "reportview/OvcExcpt.h"

namespace {

using Texts = std::vector<std::string>;

class OvcCombo : public OvcFormTest {
protected:
    OvcCombo() {
        F = NewPlainForm("F", 400, 200);
        Controller = NewComponent<TOvcController>(F);
        Controller->SetName("OvcController1");
        C = NewComponent<TOvcComboBox>(F);
        C->SetName("Combo");
        C->SetBounds(20, 40, 150, 21);
        C->SetParent(F);
        for (const char* s : {"Alfa", "Bravo", "Brezo", "Charlie"}) C->Items()->Add(s);
    }
    Texts Rows() {
        Texts t;
        for (int i = 0; i < C->Items()->Count(); ++i) t.push_back(C->Items()->Get(i));
        return t;
    }
    // The user picks row Index of the list below the MRU block.
    void Choose(int Index) {
        C->SetDroppedDown(true);
        C->SetItemIndex(C->MRUCount() + Index);
        C->SetDroppedDown(false);
        Ui.RunUntilIdle();
    }
    void Show() {
        F->Show();
        Ui.RunUntilIdle();
        C->SetFocus();
        Ui.RunUntilIdle();
    }
    void Wait(uint32_t MSecs) {
        Clock.Advance(MSecs);
        Ui.RunUntilIdle();
    }
    TForm* F;
    TOvcController* Controller;
    TOvcComboBox* C;
};

TEST_F(OvcCombo, TheMostRecentRowsStandAboveTheList) {
    Show();
    Choose(0);
    EXPECT_EQ(Rows(), (Texts{"Alfa", "Alfa", "Bravo", "Brezo", "Charlie"}));
    EXPECT_EQ(C->GetListIndex(), 0) << "the first row of the list, whatever the block";
    Choose(1);
    Choose(2);
    Choose(3);
    EXPECT_EQ(Rows(), (Texts{"Charlie", "Brezo", "Bravo", "Alfa", "Bravo", "Brezo", "Charlie"}));
    EXPECT_EQ(C->Text(), "Charlie");
    EXPECT_EQ(C->ItemIndex(), 6) << "the list's row is selected, not the block's";
    Choose(1);
    EXPECT_EQ(Rows(), (Texts{"Bravo", "Charlie", "Brezo", "Alfa", "Bravo", "Brezo", "Charlie"}));
    EXPECT_EQ(C->GetListIndex(), 1);
    TStrings* list = C->GetList();
    EXPECT_EQ(list->Count(), 4);
    EXPECT_EQ(list->Get(0), "Alfa");
    C->SetListIndex(-1);
    EXPECT_EQ(C->ItemIndex(), -1);
    C->SetListIndex(4);
    EXPECT_EQ(C->ItemIndex(), -1) << "past the last row";
    C->SetListIndex(2);
    EXPECT_EQ(C->ItemIndex(), 5);

    EXPECT_EQ(C->AddItem("Bravo", nullptr), -1);
    EXPECT_EQ(C->AddItem("Delta", nullptr), 4);
    C->RemoveItem("Charlie");
    EXPECT_EQ(Rows(), (Texts{"Bravo", "Brezo", "Alfa", "Bravo", "Brezo", "Delta"}));
    C->InsertItem(0, "Aaron", nullptr);
    EXPECT_EQ(C->GetList()->Get(0), "Aaron");
    C->ClearMRUList();
    EXPECT_EQ(Rows(), (Texts{"Aaron", "Alfa", "Bravo", "Brezo", "Delta"}));
    C->SetMRUListCount(1);
    Choose(1);
    Choose(2);
    EXPECT_EQ(Rows().front(), "Bravo");
    EXPECT_EQ(C->MRUCount(), 1);
}

TEST_F(OvcCombo, TheSearchCompletesTheTextAfterTheDelay) {
    Show();
    Ui.Type("b");
    Ui.RunUntilIdle();
    EXPECT_EQ(C->Text(), "b");
    Wait(300);
    Ui.Type("r");
    Ui.RunUntilIdle();
    Wait(472);
    EXPECT_EQ(C->Text(), "br") << "the delay counts from the last key";
    Wait(28);
    EXPECT_EQ(C->Text(), "Bravo");
    EXPECT_EQ(C->SelStart(), 2) << "what was completed is selected";
    EXPECT_EQ(C->SelLength(), 3);
    // A backspace as the last key leaves the text as typed.
    C->SetText("");
    Ui.Type("bre");
    Ui.Key(VK_BACK);
    Ui.RunUntilIdle();
    Wait(1000);
    EXPECT_EQ(C->Text(), "br");
    Ui.Type("e");
    Ui.RunUntilIdle();
    Wait(500);
    EXPECT_EQ(C->Text(), "Brezo");
}

TEST_F(OvcCombo, EnterEscapeHomeAndEnd) {
    Show();
    int clicks = 0, changes = 0;
    C->OnClick = [&](TObject*) { ++clicks; };
    C->OnChange = [&](TObject*) { ++changes; };
    Ui.Type("ch");
    Ui.Key(VK_RETURN);
    Ui.RunUntilIdle();
    EXPECT_EQ(C->Text(), "Charlie") << "Enter completes at once";
    EXPECT_EQ(clicks, 1);
    TBeepRecorder beeps;
    C->SetText("zz");
    Ui.Key(VK_RETURN);
    Ui.RunUntilIdle();
    EXPECT_EQ(beeps.Beeps(), std::vector<unsigned>{0}) << "nothing to complete";
    changes = 0;
    Ui.Key(VK_ESCAPE);
    Ui.RunUntilIdle();
    EXPECT_EQ(C->ItemIndex(), 0);
    EXPECT_GE(changes, 1);
    Ui.Key(VK_END);
    Ui.RunUntilIdle();
    EXPECT_EQ(C->ItemIndex(), 0) << "Home and End move the caret while StandardHomeEnd";
    C->SetStandardHomeEnd(false);
    Ui.Key(VK_END);
    Ui.RunUntilIdle();
    EXPECT_EQ(C->ItemIndex(), 3);
    Ui.Key(VK_HOME, {ssShift});
    Ui.RunUntilIdle();
    EXPECT_EQ(C->ItemIndex(), 3) << "not with a shift key";
    Ui.Key(VK_HOME);
    Ui.RunUntilIdle();
    EXPECT_EQ(C->ItemIndex(), 0);
}

TEST_F(OvcCombo, HotTrackingLightsTheFlatLookUnderTheMouse) {
    // The focus elsewhere: a focused combo is lit too.
    auto* other = NewComponent<TTestField>(F);
    other->SetBounds(20, 100, 50, 20);
    other->SetParent(F);
    C->SetController(Controller);
    C->SetCtl3D(false);
    C->SetHotTrack(true);
    C->SetColor(clWhite);
    F->SetColor(clSilver);
    F->Show();
    other->SetFocus();
    InputMouseMove(TPoint(0, 0));
    Ui.RunUntilIdle();
    const int W = C->Width(), H = C->Height(), B = W - 15, mid = H / 2;
    auto at = [&](int X, int Y) { return PixelAt(F, 20 + X, 40 + Y); };
    // Not lit: all in the control's colour, with the black arrow.
    EXPECT_EQ(at(5, 1), Rgb(clWhite));
    EXPECT_EQ(at(W - 2, mid), Rgb(clWhite));
    EXPECT_EQ(at(B + 5, mid - 1), 0u) << "the arrow";
    InputMouseMove(C->ClientToScreen(TPoint(W / 2, mid)));
    Ui.RunUntilIdle();
    EXPECT_TRUE(C->Hot());
    // Lit: a sunken frame in the hot-track colours.
    EXPECT_EQ(at(5, 1), Rgb(clBtnShadow)) << "shadow across the top";
    EXPECT_EQ(at(1, mid), Rgb(clBtnShadow)) << "and down the left";
    EXPECT_EQ(at(W - 2, mid), Rgb(clBtnHighlight)) << "highlight down the right";
    EXPECT_EQ(at(5, H - 2), Rgb(clBtnHighlight)) << "and across the bottom";
    EXPECT_EQ(at(B - 2, mid), Rgb(clWhite)) << "the line before the button";
    EXPECT_EQ(at(B + 5, mid - 1), 0u);
    // The mouse goes: the pool's hot check puts it out.
    InputMouseMove(TPoint(0, 0));
    Wait(100);
    EXPECT_FALSE(C->Hot());
    EXPECT_EQ(at(5, 1), Rgb(clWhite));
    C->SetHotTrack(false);
    EXPECT_EQ(Controller->TimerPool()->TriggerCount(), 0);
}

TEST_F(OvcCombo, BordersAreDrawnWhereTheirWidthsPutThem) {
    F->Show();
    Ui.RunUntilIdle();
    struct Side {
        TOvcBorder* Border;
        TColor Color;
        int Width;
    } sides[] = {{C->Borders()->LeftBorder(), clRed, 1},
                 {C->Borders()->TopBorder(), clBlue, 1},
                 {C->Borders()->RightBorder(), clLime, 1},
                 {C->Borders()->BottomBorder(), clFuchsia, 2}};
    for (const Side& s : sides) {
        s.Border->SetPenColor(s.Color);
        s.Border->SetPenWidth(s.Width);
        s.Border->SetEnabled(true);
    }
    EXPECT_TRUE(C->HotTrack()) << "a border makes the flat look";
    EXPECT_FALSE(C->Ctl3D());
    EXPECT_FALSE(C->HotTrackBorder());
    Ui.RunUntilIdle();
    const int W = C->Width(), H = C->Height();
    auto at = [&](int X, int Y) { return PixelAt(F, 20 + X, 40 + Y); };
    int R = W - 17;  // with hot tracking
    EXPECT_EQ(at(0, H / 2), Rgb(clRed)) << "left at w div 2";
    EXPECT_EQ(at(5, 0), Rgb(clBlue)) << "top at w div 2";
    EXPECT_EQ(at(R - 1, 0), Rgb(clBlue)) << "the top stops before R";
    EXPECT_EQ(at(R, H / 2), Rgb(clLime)) << "right at R - w div 2";
    EXPECT_EQ(at(5, H - 1), Rgb(clFuchsia)) << "bottom at Height - w div 2";
    C->SetHotTrack(false);
    Ui.RunUntilIdle();
    R = W - 19;
    EXPECT_EQ(at(R, H / 2), Rgb(clLime)) << "without hot tracking R is Width - 19";

    // Back to no border: the 3D look, no hot tracking.
    for (const Side& s : sides) s.Border->SetEnabled(false);
    EXPECT_TRUE(C->Ctl3D());
    EXPECT_FALSE(C->HotTrack());
    C->Borders()->LeftBorder()->SetEnabled(true);
    C->SetHTBorder(true);
    EXPECT_TRUE(C->HotTrackBorder()) << "the hot-track border takes the side borders' place";
    EXPECT_FALSE(C->Borders()->AnyEnabled());
    EXPECT_TRUE(C->Ctl3D());
}

// The view pickers of the types screen as their form streams them.
std::string PickerForm(const std::string& Extra, int Recent = 3) {
    std::string borders;
    for (const char* side : {"BottomBorder", "LeftBorder", "RightBorder", "TopBorder"})
        for (const char* line : {".Enabled = False", ".BorderStyle = bpsSolid", ".PenColor = clBlack",
                                 ".PenStyle = psSolid", ".PenWidth = 2"})
            borders += std::string("    Borders.") + side + line + "\n";
    return "object TiposForm: TForm\n"
           "  object OvcController1: TOvcController\n"
           "  end\n"
           "  object OvcViewComboBox1: TOvcComboBox\n"
           "    Left = 8\n"
           "    Top = 8\n"
           "    Width = 145\n"
           "    Height = 21\n" +
           borders + Extra +
           "    Controller = OvcController1\n"
           "    HotTrackBorder = True\n"
           "    HotTrackColors.Highlight = clBtnHighlight\n"
           "    HotTrackColors.Shadow = clBtnShadow\n"
           "    DropDownCount = 3\n"
           "    HotTrack = False\n"
           "    ItemHeight = 12\n"
           "    KeyDelay = 500\n"
           "    LabelInfo.Visible = False\n"
           "    MRUListColor = clWindow\n"
           "    MRUListCount = " +
           std::to_string(Recent) +
           "\n"
           "    Text = 'Tipos'\n"
           "  end\n"
           "end\n";
}

TEST_F(OvcCombo, ThePickersKeepTheirHotTrackBorderAsStreamed) {
    for (const std::string extra : {"", "    Borders.LeftBorder.PenColor = clRed\n"}) {
        TForm* T = ReadForm(PickerForm(extra));
        auto* p = dynamic_cast<TOvcComboBox*>(T->FindComponent("OvcViewComboBox1"));
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(p->HotTrackBorder()) << extra;
        EXPECT_FALSE(p->HotTrack());
        EXPECT_TRUE(p->Ctl3D());
        EXPECT_EQ(p->Controller(), T->FindComponent("OvcController1"));
        EXPECT_EQ(p->DropDownCount(), 3);
        EXPECT_EQ(p->MRUListCount(), 3);
        EXPECT_EQ(p->KeyDelay(), 500);
        EXPECT_EQ(p->Text(), "Tipos");
        T->Free();
    }
}

TEST_F(OvcCombo, APickerStreamedWithFourRecentRowsKeepsFour) {
    TForm* T = ReadForm(PickerForm("", 4));
    auto* p = dynamic_cast<TOvcComboBox*>(T->FindComponent("OvcViewComboBox1"));
    ASSERT_NE(p, nullptr);
    p->SetParent(T);
    for (const char* s : {"A", "B", "C", "D", "E"}) p->Items()->Add(s);
    T->Show();
    Ui.RunUntilIdle();
    for (int i = 0; i < 5; ++i) {
        p->SetDroppedDown(true);
        p->SetItemIndex(p->MRUCount() + i);
        p->SetDroppedDown(false);
        Ui.RunUntilIdle();
    }
    ASSERT_EQ(p->MRUCount(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(p->Items()->Get(i), std::string(1, char('E' - i))) << i;
    EXPECT_EQ(p->GetList()->Count(), 5);
}

TEST_F(OvcCombo, AComboOnAFormWithoutAControllerIsRefused) {
    TForm* G = NewPlainForm("G");
    auto* c = NewComponent<TOvcComboBox>(G);
    c->SetParent(G);
    EXPECT_THROW(c->HandleNeeded(), ENoControllerAssigned);
}

TEST_F(OvcCombo, TheLabelFollowsTheCombo) {
    Show();
    C->LabelInfo()->SetVisible(true);
    TOvcAttachedLabel* label = C->GetAttachedLabel();
    EXPECT_EQ(label->Name(), "ComboLabel1");
    EXPECT_FALSE(label->AutoSize());
    EXPECT_EQ(label->Left(), 20);
    EXPECT_EQ(label->Top() + label->Height(), 40);
    C->SetBounds(60, 90, 150, 21);
    Ui.RunUntilIdle();
    EXPECT_EQ(label->Left(), 60);
    EXPECT_EQ(label->Top() + label->Height(), 90);
}

TEST_F(OvcCombo, TheWheelReachesTheLibrarysWheelEvent) {
    auto* view = NewComponent<TTestOvcView>(F);
    view->SetBounds(20, 100, 50, 20);
    view->SetParent(F);
    Show();
    struct Case {
        TWinControl* Control;
        TOvcMouseWheelEvent* Event;
    } cases[] = {{C, &C->OnMouseWheel}, {view, &view->OnMouseWheel}};
    for (const Case& c : cases) {
        std::string seen;
        *c.Event = [&](TObject* Sender, TShiftState Shift, uint16_t Delta, uint16_t X, uint16_t Y) {
            seen = (Sender == c.Control ? "self " : "other ") + std::to_string(Shift.Contains(ssShift)) +
                   std::to_string(Shift.Contains(ssCtrl)) + " " + std::to_string(Delta) + " " +
                   std::to_string(X) + "," + std::to_string(Y);
        };
        // One notch towards the user with Shift and Ctrl held, at screen point (300, 400).
        c.Control->Perform(WM_MOUSEWHEEL, MakeWParam(MK_SHIFT | MK_CONTROL, -120), MakeLParam(300, 400));
        EXPECT_EQ(seen, "self 11 65416 300,400") << c.Control->ClassName();
    }
}

// --- the small classes ---

TEST(OvcColors, DefaultsAndChanges) {
    TOvcColors c(clBtnText, clBtnFace);
    int changes = 0;
    c.OnColorChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(c.BackColor(), clBtnFace);
    EXPECT_EQ(c.TextColor(), clBtnText);
    EXPECT_TRUE(c.UseDefault());
    c.SetBackColor(clBtnFace);
    EXPECT_EQ(changes, 0) << "the same colour changes nothing";
    c.SetBackColor(clRed);
    EXPECT_FALSE(c.UseDefault());
    EXPECT_EQ(changes, 1);
    c.SetUseDefault(true);
    EXPECT_EQ(c.BackColor(), clBtnFace);
    EXPECT_EQ(changes, 2);
    TOvcColors d(clBlack, clWhite);
    d.Assign(&c);
    EXPECT_EQ(d.BackColor(), clBtnFace);
    EXPECT_EQ(d.TextColor(), clBtnText);
}

TEST(OvcBorders, SettersStoreChangesAndWidthsAboveZero) {
    TOvcBorder b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.SetPenWidth(0);
    b.SetPenWidth(-3);
    EXPECT_EQ(b.PenWidth(), 2);
    b.SetPenWidth(2);
    EXPECT_EQ(changes, 0);
    b.SetPenColor(clRed);
    b.SetEnabled(true);
    EXPECT_EQ(changes, 2);
    TOvcBorders all, copy;
    all.TopBorder()->Assign(&b);
    copy.Assign(&all);
    EXPECT_TRUE(copy.TopBorder()->Enabled());
    EXPECT_EQ(copy.TopBorder()->PenColor(), clRed);
    EXPECT_FALSE(copy.LeftBorder()->Enabled());
}

}  // namespace
