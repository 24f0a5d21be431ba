// The bordered edits: the frame keeps its height of 21, the inner edit sits
// inside the enabled borders (and leaves room for the number edit's button),
// and what is set on the wrapper reaches the inner edit.
#include <gtest/gtest.h>

#include "OvcTestSupport.h"
#include "platform/classes/Filer.h"
#include "reportview/OvcBCalc.h"
#include "reportview/OvcBEdit.h"

namespace {

class OvcBorderedEdits : public OvcFormTest {
protected:
    OvcBorderedEdits() {
        F = NewPlainForm("F", 400, 300);
        NewComponent<TOvcController>(F);
        F->Show();
        Ui.RunUntilIdle();
    }
    TForm* F;
};

TEST_F(OvcBorderedEdits, TheFrameKeepsItsHeightAndTheEditSitsInsideTheBorders) {
    auto* b = NewComponent<TOvcBorderedEdit>(F);
    b->SetBounds(10, 10, 150, 40);
    Ui.RunUntilIdle();
    EXPECT_EQ(b->Height(), 21);
    TOvcBorder* bottom = b->Borders()->BottomBorder();
    EXPECT_TRUE(bottom->Enabled());
    EXPECT_EQ(b->Edit()->BoundsRect(), TRect(0, 0, 150, 21 - bottom->PenWidth()));
    b->Borders()->LeftBorder()->SetEnabled(true);
    b->Borders()->LeftBorder()->SetPenWidth(3);
    b->Borders()->TopBorder()->SetEnabled(true);
    b->Borders()->TopBorder()->SetPenWidth(1);
    Ui.RunUntilIdle();
    EXPECT_EQ(b->Edit()->BoundsRect(), TRect(3, 1, 150, 21 - bottom->PenWidth()));
    // The bottom line, 2 pixels wide, at y = 21 - 1 - 0: rows 19 and 20.
    bottom->SetPenColor(clRed);
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelAt(F, 10 + 50, 10 + 20), 0xFF0000u);
    b->SetEditEnabled(false);
    EXPECT_FALSE(b->Edit()->Enabled());
    b->SetEditText("hola");
    EXPECT_EQ(b->Edit()->Text(), "hola");
    // The forwarded properties stream as the wrapper's.
    TForm* G = ReadForm("object G: TForm\n  object C: TOvcController\n  end\n"
                        "  object B: TOvcBorderedEdit\n    Height = 40\n    Text = 'abc'\n    ReadOnly = "
                        "True\n    Enabled = False\n"
                        "  end\n  object N: TOvcBorderedNumberEdit\n    AllowIncDec = True\n    ShowButton = "
                        "False\n  end\nend\n");
    auto* rb = dynamic_cast<TOvcBorderedEdit*>(G->FindComponent("B"));
    auto* rn = dynamic_cast<TOvcBorderedNumberEdit*>(G->FindComponent("N"));
    ASSERT_TRUE(rb && rn);
    EXPECT_EQ(rb->Edit()->Text(), "abc");
    EXPECT_TRUE(rb->Edit()->ReadOnly());
    EXPECT_FALSE(rb->Edit()->Enabled());
    EXPECT_TRUE(rn->Edit()->AllowIncDec());
    EXPECT_FALSE(rn->Edit()->ShowButton());
    G->Free();
}

TEST_F(OvcBorderedEdits, TheNumberEditLeavesRoomForItsButton) {
    auto* n = NewComponent<TOvcBorderedNumberEdit>(F);
    n->SetBounds(10, 60, 150, 21);
    n->Borders()->RightBorder()->SetEnabled(true);
    n->Borders()->RightBorder()->SetPenWidth(2);
    Ui.RunUntilIdle();
    int reserve = n->Edit()->GetButtonGlyph()->Width() + 4;
    EXPECT_EQ(n->Edit()->Width(), 150 - (reserve + 4) - 2);
    n->Edit()->SetText("12,5");
    EXPECT_DOUBLE_EQ(n->GetAsFloat(), 12.5);
    n->Edit()->SetPopupAnchor(TOvcPopupAnchor::paRight);
    n->Edit()->SetFocus();
    n->Edit()->PopupOpen();
    Ui.RunUntilIdle();
    TOvcCalculator* calc = n->Calculator();
    TRect r;
    GetWindowRect(calc->Handle(), r);
    TPoint anchor =
        n->Edit()->ClientToScreen(TPoint(n->Edit()->Width() - calc->Width() - 1, n->Edit()->Height() - 2));
    // The inner edit has no 3-D look: 3 pixels right and down.
    EXPECT_EQ(TPoint(r.Left, r.Top), TPoint(anchor.x + 3, anchor.y + 3)) << "the wrapper's anchor decides";
    n->Edit()->PopupClose();
    n->SetEditEnabled(false);
    EXPECT_FALSE(n->Edit()->Enabled());
}

// Each forwarded property read from a form file reaches the inner edit, and
// the wrapper writes it back; each forwarded event is the inner edit's.
TEST_F(OvcBorderedEdits, ForwardedPropertiesReachTheInnerEditAndStream) {
    RegisterClass(TOvcBorderedEdit::StaticClassInfo());
    RegisterClass(TOvcBorderedNumberEdit::StaticClassInfo());
    struct Case {
        const char* Line;  // as the form file holds it
        std::function<bool(TCustomEdit*)> Reached;
    };
    const std::vector<Case> common = {
        {"AutoSelect = False", [](TCustomEdit* E) { return !E->AutoSelect(); }},
        {"AutoSize = False", [](TCustomEdit* E) { return !E->AutoSize(); }},
        {"BiDiMode = bdRightToLeft", [](TCustomEdit* E) { return E->BiDiMode() == bdRightToLeft; }},
        {"CharCase = ecUpperCase", [](TCustomEdit* E) { return E->CharCase() == ecUpperCase; }},
        {"Cursor = crHandPoint", [](TCustomEdit* E) { return E->Cursor() == crHandPoint; }},
        {"DragCursor = crNo", [](TCustomEdit* E) { return E->DragCursor() == crNo; }},
        {"DragMode = dmAutomatic", [](TCustomEdit* E) { return E->DragMode() == dmAutomatic; }},
        {"Font.Name = 'Arial'", [](TCustomEdit* E) { return E->Font()->Name() == "Arial"; }},
        {"HideSelection = False", [](TCustomEdit* E) { return !E->HideSelection(); }},
        {"ImeMode = 3", [](TCustomEdit* E) { return E->ImeMode() == 3; }},
        {"ImeName = 'ime'", [](TCustomEdit* E) { return E->ImeName() == "ime"; }},
        {"MaxLength = 7", [](TCustomEdit* E) { return E->MaxLength() == 7; }},
        {"OEMConvert = True", [](TCustomEdit* E) { return E->OEMConvert(); }},
        {"ParentBiDiMode = False", [](TCustomEdit* E) { return !E->ParentBiDiMode(); }},
        {"ParentFont = False", [](TCustomEdit* E) { return !E->ParentFont(); }},
        {"ParentShowHint = False", [](TCustomEdit* E) { return !E->ParentShowHint(); }},
        {"PasswordChar = '*'", [](TCustomEdit* E) { return E->PasswordChar() == '*'; }},
        {"ReadOnly = True", [](TCustomEdit* E) { return E->ReadOnly(); }},
    };
    auto number = [](std::function<bool(TOvcNumberEditEx*)> F) {
        return [F](TCustomEdit* E) { return F(dynamic_cast<TOvcNumberEditEx*>(E)); };
    };
    const std::vector<Case> numberOnly = {
        {"AllowIncDec = True", number([](TOvcNumberEditEx* N) { return N->AllowIncDec(); })},
        {"PopupAnchor = paRight",
         number([](TOvcNumberEditEx* N) { return N->PopupAnchor() == TOvcPopupAnchor::paRight; })},
        {"PopupColors.ColorScheme = cscalcDark",
         number([](TOvcNumberEditEx* N) { return N->Calculator()->Colors()->ColorScheme() == cscalcDark; })},
        {"PopupDecimals = 4", number([](TOvcNumberEditEx* N) { return N->Calculator()->Decimals() == 4; })},
        {"PopupFont.Name = 'Arial'",
         number([](TOvcNumberEditEx* N) { return N->Calculator()->Font()->Name() == "Arial"; })},
        {"PopupHeight = 150", number([](TOvcNumberEditEx* N) { return N->Calculator()->Height() == 150; })},
        {"PopupWidth = 230", number([](TOvcNumberEditEx* N) { return N->Calculator()->Width() == 230; })},
    };
    struct Wrapper {
        const char* Class;
        std::vector<Case> Cases;
    };
    std::vector<Wrapper> wrappers = {{"TOvcBorderedEdit", common}, {"TOvcBorderedNumberEdit", common}};
    wrappers[1].Cases.insert(wrappers[1].Cases.end(), numberOnly.begin(), numberOnly.end());
    for (const Wrapper& w : wrappers) {
        std::string text = std::string("object G: TForm\n  object B: ") + w.Class + "\n";
        for (const Case& c : w.Cases) text += std::string("    ") + c.Line + "\n";
        text += "  end\nend\n";
        TForm* G = ReadForm(text);
        auto* b = dynamic_cast<TWinControl*>(G->FindComponent("B"));
        ASSERT_NE(b, nullptr);
        auto* inner = dynamic_cast<TCustomEdit*>(b->Controls(0));
        ASSERT_NE(inner, nullptr);
        std::string written = WriteComponentToText(G);
        for (const Case& c : w.Cases) {
            EXPECT_TRUE(c.Reached(inner)) << w.Class << ": " << c.Line;
            EXPECT_NE(written.find(c.Line), std::string::npos) << w.Class << " writes back " << c.Line;
        }
        EXPECT_FALSE(b->Font() == inner->Font()) << "the wrapper's Font is the inner edit's, not its own";
        EXPECT_EQ(GetObjectProp(b, "Font"), inner->Font());
        if (dynamic_cast<TOvcBorderedNumberEdit*>(b)) {
            EXPECT_EQ(b->BiDiMode(), bdRightToLeft) << "the number edit's wrapper takes the mode too";
            EXPECT_FALSE(b->ParentBiDiMode());
        }
        G->Free();
    }

    // The events: set on the wrapper, kept by the inner edit.
    auto* b = NewComponent<TOvcBorderedEdit>(F);
    auto* n = NewComponent<TOvcBorderedNumberEdit>(F);
    TCustomEdit* donor = NewComponent<TOvcEdit>(F);
    donor->OnChange = [](TObject*) {};
    donor->OnClick = [](TObject*) {};
    donor->OnDblClick = [](TObject*) {};
    donor->OnKeyDown = [](TObject*, WORD&, TShiftState) {};
    donor->OnKeyPress = [](TObject*, char&) {};
    donor->OnKeyUp = [](TObject*, WORD&, TShiftState) {};
    donor->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) {};
    donor->OnMouseMove = [](TObject*, TShiftState, int, int) {};
    donor->OnMouseUp = [](TObject*, TMouseButton, TShiftState, int, int) {};
    for (const char* e : {"OnChange", "OnClick", "OnDblClick", "OnKeyDown", "OnKeyPress", "OnKeyUp",
                          "OnMouseDown", "OnMouseMove", "OnMouseUp"})
        for (TWinControl* w : {static_cast<TWinControl*>(b), static_cast<TWinControl*>(n)}) {
            TWinControl* inner = w == b ? static_cast<TWinControl*>(b->Edit()) : n->Edit();
            SetMethodProp(w, e, GetMethodProp(donor, e));
            EXPECT_TRUE(GetMethodProp(inner, e).Assigned()) << e;
            EXPECT_TRUE(GetMethodProp(w, e).Assigned()) << e;
        }
    // Fonts and colours set as objects are assigned to the inner edit's and its calculator's.
    TFont font;
    font.SetName("Tahoma");
    SetObjectProp(b, "Font", &font);
    EXPECT_EQ(b->Edit()->Font()->Name(), "Tahoma");
    SetObjectProp(n, "PopupFont", &font);
    EXPECT_EQ(n->Calculator()->Font()->Name(), "Tahoma");
    n->Edit()->SetPopupFont(nullptr);
    EXPECT_EQ(n->Calculator()->Font()->Name(), "Tahoma") << "nil is ignored";
    TOvcCalcColors colors;
    colors.SetColorScheme(cscalcOcean);
    SetObjectProp(n, "PopupColors", &colors);
    EXPECT_EQ(n->Calculator()->Colors()->ColorScheme(), cscalcOcean);
}

}  // namespace
