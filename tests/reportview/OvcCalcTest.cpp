// The calculator control: entry, the tape of a sum, "=" twice, the error
// display that locks until C, fixed-point entry, the colour schemes, the
// layout by formula, and the keys and the clipboard.
#include <gtest/gtest.h>

#include "OvcTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Sound.h"
#include "reportview/OvcCalc.h"

namespace {

class OvcCalculator : public OvcFormTest {
protected:
    OvcCalculator() {
        F = NewPlainForm("F", 400, 300);
        K = NewComponent<TOvcCalculator>(F);
        K->SetParent(F);
        F->Show();
        Ui.RunUntilIdle();
    }
    void Press(std::initializer_list<TOvcCalculatorButton> Buttons) {
        for (TOvcCalculatorButton b : Buttons) K->PressButton(b);
    }
    std::vector<AnsiString> Written() {
        std::vector<AnsiString> lines;
        for (int i = 0; i < K->Tape()->Count(); ++i)
            if (!K->Tape()->Strings(i).empty()) lines.push_back(K->Tape()->Strings(i));
        return lines;
    }
    AnsiString Right(const AnsiString& Value, const AnsiString& Op) {
        int w = K->TapeObject().TapeWidth;
        return AnsiString(size_t(w - 2 - int(Value.size())), ' ') + Value + " " + Op;
    }
    TForm* F;
    TOvcCalculator* K;
};

TEST_F(OvcCalculator, ASumAndItsTape) {
    Press({cb1, cb2, cbAdd, cb3, cbEqual});
    EXPECT_EQ(K->Display(), 15);
    EXPECT_EQ(K->DisplayStr(), "15,00");
    int w = K->TapeObject().TapeWidth;
    AnsiString count = "002";
    count.resize(size_t(w), ' ');
    EXPECT_EQ(Written(), (std::vector<AnsiString>{Right("12", "+"), Right("3", "="), count,
                                                  Right("15,00", "*"), AnsiString(size_t(w), '_')}));
    EXPECT_EQ(K->Tape()->Count(), 30) << "the paper keeps its length while empty lines give way";
    EXPECT_EQ(K->PanelText(), AnsiString(size_t(w - 2 - 5), ' ') + "15,00  ");
    K->PressButton(cbEqual);
    EXPECT_EQ(K->DisplayStr(), "0") << "= right after = clears all";
    EXPECT_EQ(K->Display(), 0);
    Press({cb2, cbAdd, cb3, cbMul, cb4, cbEqual});
    EXPECT_EQ(K->Display(), 20) << "left to right";
    Press({cbClear, cb2, cb0, cb0, cbAdd, cb1, cb0, cbPercent});
    EXPECT_EQ(K->Display(), 220);
}

TEST_F(OvcCalculator, DivisionByZeroLocksUntilClear) {
    TBeepRecorder beeps;
    Press({cb5, cbDiv, cb0, cbEqual});
    EXPECT_EQ(K->DisplayStr(), "****** ");
    EXPECT_TRUE(K->Engine()->State == TOvcCalcStates{csLocked});
    EXPECT_EQ(beeps.Beeps().size(), 1u);
    Press({cb7, cbAdd});
    EXPECT_EQ(beeps.Beeps().size(), 3u);
    EXPECT_EQ(K->DisplayStr(), "****** ");
    K->PressButton(cbClear);
    K->PressButton(cb7);
    EXPECT_EQ(K->DisplayStr(), "7");
}

TEST_F(OvcCalculator, FixedPointEntryAndGeneralFormat) {
    K->SetDecimals(-2);
    K->PressButton(cb1);
    EXPECT_EQ(K->DisplayStr(), "0,01");
    K->PressButton(cb2);
    EXPECT_EQ(K->DisplayStr(), "0,12");
    K->PressButton(cb3);
    EXPECT_EQ(K->DisplayStr(), "1,23");
    K->PressButton(cbBack);
    EXPECT_EQ(K->DisplayStr(), "0,12");
    K->SetDecimals(0);
    Press({cbClear, cb1, cbDiv, cb3, cbEqual});
    EXPECT_EQ(K->DisplayStr(), "0,333333");
    Press({cbClear, cb1, cbDecimal, cb5, cbChangeSign});
    EXPECT_EQ(K->DisplayStr(), "-1,5");
    K->PressButton(cbMemStore);
    EXPECT_EQ(K->Memory(), -1.5);
}

TEST_F(OvcCalculator, ColourSchemes) {
    TOvcCalcColors* c = K->Colors();
    EXPECT_EQ(c->ColorScheme(), cscalcCustom);
    EXPECT_EQ(c->Color(TOvcCalcColors::EditButtons), clMaroon) << "the Windows colours";
    int changes = 0;
    c->OnChange = [&](TObject*) { ++changes; };
    c->SetColorScheme(cscalcDark);
    EXPECT_EQ(c->Color(TOvcCalcColors::DisplayTextColor), clAqua);
    EXPECT_EQ(c->ColorScheme(), cscalcDark);
    c->SetColor(TOvcCalcColors::Display, clYellow);
    EXPECT_EQ(c->ColorScheme(), cscalcCustom);
    c->BeginUpdate();
    c->SetColor(TOvcCalcColors::Display, clRed);
    c->SetColor(TOvcCalcColors::Display, clLime);
    EXPECT_EQ(changes, 2);
    c->EndUpdate();
    EXPECT_EQ(changes, 3);
}

TEST_F(OvcCalculator, ButtonLayoutByFormula) {
    struct Case {
        int Width;
        bool Memory;
        int M, G, W;
    } cases[] = {{200, true, 4, 2, (200 - 12 - 4) / 6},
                 {200, false, 4, 2, (200 - 8 - 8) / 5},
                 {260, true, 6, 4, (260 - 18 - 16) / 6}};
    for (const Case& c : cases) {
        K->SetOptions(c.Memory ? TOvcCalculatorOptions{coShowMemoryButtons} : TOvcCalculatorOptions{});
        K->SetBounds(0, 0, c.Width, 140);
        int w = (c.Width - (c.Memory ? 3 : 2) * c.M - 4 * c.G) / (c.Memory ? 6 : 5);
        const TOvcButtonInfo& seven = K->ButtonInfo(cb7);
        EXPECT_EQ(seven.Position.Width(), w) << c.Width;
        EXPECT_EQ(K->ButtonInfo(cb8).Position.Left - seven.Position.Right, c.G);
        EXPECT_EQ(K->ButtonInfo(cbBack).Position.Width(), (c.G + 4 * w) / 3);
        EXPECT_EQ(K->ButtonInfo(cbEqual).Position.Right, c.Width - c.M)
            << "the last column ends at the margin";
        EXPECT_EQ(K->ButtonInfo(cbMemClear).Visible, c.Memory);
        if (c.Memory) {
            EXPECT_EQ(K->ButtonInfo(cbMemClear).Position.Left, c.M);
        }
    }
}

TEST_F(OvcCalculator, KeysAndTheClipboard) {
    K->SetFocus();
    Ui.Type("12+3=");
    Ui.RunUntilIdle();
    EXPECT_EQ(K->Display(), 15);
    Ui.Key(VK_ESCAPE);
    Ui.Type("7*6");
    Ui.Key(VK_RETURN);
    Ui.RunUntilIdle();
    EXPECT_EQ(K->Display(), 42);
    K->CopyToClipboard();
    EXPECT_EQ(ClipboardGetText(), "42,00");
    ClipboardSetText("2x+ 5=");
    K->PasteFromClipboard();
    EXPECT_EQ(K->Display(), 7) << "only digits and operators are fed";
    SendMessage(K->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("9-4="));
    EXPECT_EQ(K->Display(), 5);
    // MC and MR cannot be pressed while the memory is 0.
    K->PressButton(cbMemClear);
    TRect mr = K->ButtonInfo(cbMemRecall).Position;
    Ui.Click(K, TPoint((mr.Left + mr.Right) / 2, (mr.Top + mr.Bottom) / 2));
    Ui.RunUntilIdle();
    EXPECT_EQ(K->Display(), 5);
}

// The tape on screen: the list box over the display with the tape's lines,
// scrolled to the end, the operator column in red past the paper count,
// a double-clicked number taken back, and the lines re-fitted to a new width.
TEST_F(OvcCalculator, TapeOnScreen) {
    EXPECT_FALSE(K->TapeObject().HasListBox()) << "no list box while the tape is not shown";
    K->SetBounds(10, 10, 300, 260);
    K->SetTapeHeight(100);
    K->SetOptions({coShowItemCount, coShowMemoryButtons, coShowTape});
    Ui.RunUntilIdle();
    TListBox* lb = K->TapeListBox();
    ASSERT_TRUE(lb->Visible());
    EXPECT_FALSE(lb->TabStop());
    EXPECT_EQ(lb->Style(), lbOwnerDrawFixed);
    EXPECT_EQ(lb->Top(), 6);
    EXPECT_EQ(lb->Height(), 100);
    EXPECT_EQ(K->Panel()->Top(), 6 + 100 + 4) << "the display below the tape";
    EXPECT_EQ(K->TapeFont()->Name(), "Courier New");
    // The top edge moved with the height takes the tape with it, down to 30.
    struct {
        int Top, Height, Tape;
    } sizes[] = {{10, 300, 100}, {0, 310, 110},  {60, 250, 50},
                 {150, 160, 30}, {10, 300, 170}, {10, 260, 170}};
    for (const auto& z : sizes) {
        K->SetBounds(10, z.Top, 300, z.Height);
        EXPECT_EQ(K->TapeHeight(), z.Tape) << z.Top << " " << z.Height;
    }
    K->SetTapeHeight(100);

    K->SetMaxPaperCount(5);
    Press({cb1, cb2, cbAdd, cb3, cbAdd, cb4, cbAdd, cb5, cbAdd, cb6, cbAdd, cb7, cbEqual});
    Ui.RunUntilIdle();
    ASSERT_EQ(lb->Items()->Count(), K->Tape()->Count());
    for (int i = 0; i < lb->Items()->Count(); ++i) EXPECT_EQ(lb->Items()->Strings(i), K->Tape()->Strings(i));
    int lineH = lb->ItemHeight();
    int shown = std::max(lb->ClientHeight() / lineH, 3);
    EXPECT_GT(lb->TopIndex(), 0);
    EXPECT_GE(lb->TopIndex() + shown, K->Tape()->Count()) << "the last lines in view";

    // The first entry is line f: line f + 5 has its operator column on red, line f + 4 not.
    int first = 0;
    while (K->Tape()->Strings(first).empty()) ++first;
    // The background just inside the last character of a line, in form pixels.
    auto lastCharBackground = [&](int Line) {
        lb->SetTopIndex(Line);
        Ui.RunUntilIdle();
        TRect r = lb->ItemRect(Line);
        AnsiString line = K->Tape()->Strings(Line);
        K->Canvas()->Font()->Assign(K->TapeFont());
        int x = r.Left + 2 + K->Canvas()->TextWidth(line.substr(0, line.size() - 1));
        TPoint p = F->ScreenToClient(lb->ClientToScreen(TPoint(x, r.Top)));
        return PixelAt(F, p.x, p.y);
    };
    EXPECT_EQ(lastCharBackground(first + 5), 0xFF0000u) << "past the paper count";
    EXPECT_EQ(lastCharBackground(first + 4), Rgb(clWindow));

    // A double-click on "12 +" takes 12 back; on the item count or the separator nothing.
    auto dblClickLine = [&](int Line) {
        lb->SetTopIndex(Line);
        Ui.RunUntilIdle();
        TRect r = lb->ItemRect(Line);
        EXPECT_EQ(lb->ItemAtPos(TPoint(r.Left + 5, (r.Top + r.Bottom) / 2), true), Line);
        Ui.DoubleClick(lb->ClientToScreen(TPoint(r.Left + 5, (r.Top + r.Bottom) / 2)));
        Ui.RunUntilIdle();
    };
    K->PressButton(cbClear);
    --first;  // the separator of C took the place of an empty line
    dblClickLine(first);
    EXPECT_EQ(K->Display(), 12);
    EXPECT_EQ(K->Operand(), 12);
    EXPECT_EQ(K->DisplayStr(), "12,00");
    EXPECT_TRUE(K->Focused());
    K->PressButton(cbClearEntry);
    int countLine = -1;
    for (int i = 0; i < K->Tape()->Count(); ++i)
        if (K->Tape()->Strings(i).compare(0, 3, "006") == 0) countLine = i;
    ASSERT_GE(countLine, 0);
    dblClickLine(countLine);
    EXPECT_EQ(K->Display(), 0) << "the item count is no number to take";
    dblClickLine(countLine + 2);
    EXPECT_EQ(K->Display(), 0) << "nor the separator";

    // Narrower: right-aligned lines lose leading spaces, separators shrink, the count is re-padded.
    int before = K->TapeObject().TapeWidth;
    AnsiString twelve = K->Tape()->Strings(first);
    K->SetBounds(10, 10, 220, 260);
    int after = K->TapeObject().TapeWidth;
    ASSERT_LT(after, before);
    EXPECT_EQ(K->Tape()->Strings(first), twelve.substr(size_t(before - after)));
    EXPECT_EQ(K->Tape()->Strings(countLine + 2), AnsiString(size_t(after), '_'));
    EXPECT_EQ(K->Tape()->Strings(countLine), "006" + AnsiString(size_t(after - 3), ' '));
    EXPECT_EQ(lb->Items()->Strings(first), K->Tape()->Strings(first)) << "the list box follows";
    K->SetBounds(10, 10, 300, 260);
    EXPECT_EQ(K->Tape()->Strings(first), twelve) << "and wider again";
}

TEST_F(OvcCalculator, NegativeTapeLinesInRed) {
    K->SetBounds(10, 10, 300, 260);
    K->SetTapeHeight(100);
    K->SetOptions({coShowTape});
    Press({cb2, cbSub, cb5, cbEqual});  // 2 -, 5 =, -3,00 *
    Ui.RunUntilIdle();
    TListBox* lb = K->TapeListBox();
    auto redPixels = [&](int Line) {
        TRect r = lb->ItemRect(Line);
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) {
                TPoint p = F->ScreenToClient(lb->ClientToScreen(TPoint(x, y)));
                if (PixelAt(F, p.x, p.y) == 0xFF0000u) ++n;
            }
        return n;
    };
    int total = K->Tape()->Count() - 2;  // before the separator line
    ASSERT_EQ(TrimLeft(K->Tape()->Strings(total)).substr(0, 1), "-");
    EXPECT_GT(redPixels(total), 0) << "the negative total";
    EXPECT_EQ(redPixels(total - 2), 0) << "2 -";
}

TEST_F(OvcCalculator, TapeFontStreams) {
    RegisterClass(TOvcCalculator::StaticClassInfo());
    K->SetName("Calc");
    K->TapeFont()->SetName("Arial");
    K->TapeFont()->SetSize(12);
    K->SetOptions({coShowTape});
    EXPECT_EQ(K->TapeListBox()->Font()->Name(), "Arial") << "the list box takes the tape font";
    std::string text = WriteComponentToText(F);
    EXPECT_NE(text.find("TapeFont.Name = 'Arial'"), std::string::npos) << text;
    TForm* G = ReadForm(text);
    auto* C = dynamic_cast<TOvcCalculator*>(G->FindComponent("Calc"));
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(C->TapeFont()->Name(), "Arial");
    EXPECT_EQ(C->TapeFont()->Size(), 12);
}

}  // namespace
