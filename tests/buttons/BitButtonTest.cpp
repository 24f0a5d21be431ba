// What every button of the library shares: the glyph and caption layout,
// the standard kinds, groups, keys, press and release, and change links.
// The shape button stands in for the base, which no form places.
#include <gtest/gtest.h>

#include "ButtonsFixture.h"
#include "buttons/fcShapeBtn.h"
#include "platform/classes/Filer.h"
#include "platform/gfx/ImageList.h"
#include "platform/sys/Help.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/StdCtrls.h"

namespace {

TEST(fcPlaceGlyphAndText, PlacesBothAroundTheAnchorForEachLayout) {
    // Anchor (50, 20), a 16 by 10 glyph and a 30 by 12 caption.
    const TPoint A(50, 20);
    const TSize G{16, 10}, T{30, 12}, None{0, 0};
    struct {
        TButtonLayout Layout;
        int Spacing;
        TSize Glyph, Text;
        TRect WantGlyph, WantText;
    } Cases[] = {
        // Side by side: total 16 + 4 + 30 = 50 from x 25; the glyph (10 + 1) div 2 = 5 above the middle.
        {blGlyphLeft, 4, G, T, {25, 15, 41, 25}, {45, 14, 75, 26}},
        {blGlyphRight, 4, G, T, {59, 15, 75, 25}, {25, 14, 55, 26}},
        // Stacked: total 11 + 4 + 12 = 27 from y 7.
        {blGlyphTop, 4, G, T, {42, 7, 58, 17}, {35, 21, 65, 33}},
        {blGlyphBottom, 4, G, T, {42, 23, 58, 33}, {35, 7, 65, 19}},
        // A glyph alone, with the spacing 0 the layout gives it.
        {blGlyphLeft, 0, G, None, {42, 15, 58, 25}, {58, 20, 58, 20}},
        // No glyph: the spacing 0 becomes (0 - 6) div 2 = -3.
        {blGlyphLeft, 0, None, T, {37, 20, 37, 20}, {34, 14, 64, 26}},
        {blGlyphTop, 0, None, T, {50, 15, 50, 15}, {35, 12, 65, 24}},
    };
    for (const auto& C : Cases) {
        TRect Glyph, Text;
        fcPlaceGlyphAndText(A, C.Spacing, C.Layout, C.Glyph, C.Text, Glyph, Text);
        EXPECT_EQ(Glyph, C.WantGlyph) << int(C.Layout) << " glyph " << C.Glyph.cx << "," << C.Text.cx;
        EXPECT_EQ(Text, C.WantText) << int(C.Layout) << " text " << C.Glyph.cx << "," << C.Text.cx;
    }
}

struct Buttons : ButtonsTest {
    TForm* Form = NewForm(300, 120);
    TfcShapeBtn* Make(const char* Name, int Left, int Group = 0) {
        auto* B = NewComponent<TfcShapeBtn>(Form);
        B->SetName(Name);
        B->SetBounds(Left, 10, 60, 24);
        B->SetParent(Form);
        B->SetGroupIndex(Group);
        B->SetShadeStyle(fbsNormal);
        // As streamed buttons without Options are: out of the tab order.
        B->SetTabStop(false);
        return B;
    }
    void Show() {
        Form->Show();
        Ui.RunUntilIdle();
    }
    void ClickOn(TControl* C) {
        Clock.Advance(1000);
        Ui.Click(C);
        Ui.RunUntilIdle();
    }
};

TEST_F(Buttons, AKindSetsItsCaptionGlyphAndAnswers) {
    struct {
        TBitBtnKind Kind;
        bool Default, Cancel;
        TModalResult Result;
        const char* Caption;
        int GlyphHeight;
    } Kinds[] = {
        {bkOK, true, false, mrOk, "OK", 18},
        {bkCancel, false, true, mrCancel, "Cancel", 18},
        {bkHelp, false, false, 0, "&Help", 18},
        {bkYes, true, false, mrYes, "&Yes", 18},
        {bkNo, false, true, mrNo, "&No", 18},
        {bkClose, false, false, 0, "&Close", 18},
        {bkAbort, false, false, mrAbort, "Abort", 18},
        {bkRetry, false, false, mrRetry, "&Retry", 18},
        {bkIgnore, false, false, mrIgnore, "&Ignore", 18},
        {bkAll, false, false, mrAll, "&All", 19},
    };
    for (const auto& K : Kinds) {
        TfcShapeBtn* B = Make("B", 10);
        B->SetKind(K.Kind);
        EXPECT_EQ(B->Kind(), K.Kind);
        EXPECT_EQ(B->Default(), K.Default) << K.Caption;
        EXPECT_EQ(B->Cancel(), K.Cancel) << K.Caption;
        EXPECT_EQ(B->ModalResult(), K.Result) << K.Caption;
        EXPECT_EQ(B->Caption(), K.Caption);
        EXPECT_EQ(B->Glyph()->Width(), 36) << K.Caption;
        EXPECT_EQ(B->Glyph()->Height(), K.GlyphHeight) << K.Caption;
        EXPECT_EQ(B->NumGlyphs(), 2);
        EXPECT_FALSE(B->StoresGlyph()) << "a kind's glyph is not streamed";
        EXPECT_FALSE(B->StoresCaption()) << "nor its own caption";
        B->Free();
    }
    TfcShapeBtn* B = Make("B", 10);
    B->SetKind(bkOK);
    B->SetCaption("Vale");
    EXPECT_TRUE(B->StoresCaption());
    EXPECT_EQ(B->Kind(), bkOK);
    B->SetModalResult(mrCancel);
    EXPECT_EQ(B->Kind(), bkCustom) << "a changed answer makes it a custom button";
    EXPECT_TRUE(B->StoresGlyph());
    EXPECT_EQ(B->Caption(), "Vale");
    B->SetKind(bkCustom);
    EXPECT_EQ(B->Glyph()->Width(), 36) << "choosing custom keeps what there is";
}

TEST_F(Buttons, AStreamedCaptionWinsOverTheKindsAndTheKindsGlyphIsNotWritten) {
    ReadComponentFromText(Form, "object F: TForm\n  object B: TfcShapeBtn\n    Caption = 'Aceptar'\n"
                                "    Kind = bkOK\n  end\nend\n");
    auto* B = dynamic_cast<TfcShapeBtn*>(Form->FindComponent("B"));
    ASSERT_NE(B, nullptr);
    EXPECT_EQ(B->Caption(), "Aceptar");
    EXPECT_EQ(B->Kind(), bkOK);
    AnsiString Text = WriteComponentToText(Form);
    EXPECT_NE(Text.find("Kind = bkOK"), AnsiString::npos);
    EXPECT_EQ(Text.find("Glyph.Data"), AnsiString::npos);
    EXPECT_NE(Text.find("Caption = 'Aceptar'"), AnsiString::npos);
}

// A caption aligned to a side keeps the margin from that side: 4 pixels
// by default (Margin -1), else the margin given; a centred one ignores it.
TEST_F(Buttons, ASideAlignedCaptionKeepsTheMarginFromItsSide) {
    TfcShapeBtn* B = Make("B", 10);
    B->SetBounds(10, 10, 120, 24);
    B->SetCaption("Aceptar");
    Show();
    struct {
        TAlignment Alignment;
        int Margin, Shift;  // how far the caption lies from where margin 10 puts it
    } Cases[] = {
        {taLeftJustify, -1, -6}, {taLeftJustify, 4, -6}, {taLeftJustify, 9, -1},
        {taRightJustify, -1, 6}, {taRightJustify, 9, 1}, {taCenter, -1, 0},
    };
    for (const auto& C : Cases) {
        B->TextOptions()->SetAlignment(C.Alignment);
        B->SetMargin(10);
        Ui.RunUntilIdle();
        const TRect AtTen = B->TextRect;
        B->SetMargin(C.Margin);
        Ui.RunUntilIdle();
        EXPECT_EQ(B->TextRect.Left - AtTen.Left, C.Shift) << int(C.Alignment) << " margin " << C.Margin;
        EXPECT_EQ(B->TextRect.Width(), AtTen.Width());
    }
}

TEST_F(Buttons, SettersKeepTheirRanges) {
    TfcShapeBtn* B = Make("B", 10);
    B->SetNumGlyphs(0);
    EXPECT_EQ(B->NumGlyphs(), 1);
    B->SetNumGlyphs(9);
    EXPECT_EQ(B->NumGlyphs(), 4);
    B->SetMargin(-5);
    EXPECT_EQ(B->Margin(), -1);
    B->SetMargin(3);
    EXPECT_EQ(B->Margin(), 3);
    B->SetDown(true);
    EXPECT_FALSE(B->Down()) << "only a group button stays down";
    ReadComponentFromText(Form, "object F: TForm\n  object S: TfcShapeBtn\n    Down = True\n  end\nend\n");
    EXPECT_TRUE(dynamic_cast<TfcShapeBtn*>(Form->FindComponent("S"))->Down()) << "while loading it is taken";
}

TEST_F(Buttons, AGroupKeepsOneButtonDown) {
    TfcShapeBtn* A = Make("A", 10, 1);
    TfcShapeBtn* B = Make("B", 80, 1);
    TfcShapeBtn* Other = Make("C", 150, 2);
    std::vector<std::string> Changes;
    for (TfcShapeBtn* X : {A, B, Other}) X->OnSelChange = [&, X](TObject*) { Changes.push_back(X->Name()); };
    Show();
    Other->SetDown(true);
    Changes.clear();
    ClickOn(A);
    EXPECT_TRUE(A->Down());
    ClickOn(B);
    EXPECT_TRUE(B->Down());
    EXPECT_FALSE(A->Down()) << "pressing the second raises the first";
    EXPECT_TRUE(Other->Down()) << "another group is left alone";
    EXPECT_NE(std::find(Changes.begin(), Changes.end(), "A"), Changes.end());
    EXPECT_EQ(Changes.back(), "B");
    ClickOn(B);
    EXPECT_TRUE(B->Down()) << "pressed again, a down button stays down";
    B->SetAllowAllUp(true);
    ClickOn(B);
    EXPECT_FALSE(B->Down()) << "unless all may be up";
    A->SetDown(true);
    B->SetDown(true);
    EXPECT_FALSE(A->Down());
}

TEST_F(Buttons, OptionsMakeGroupButtonsBoldWhileDownOrToggleOnRelease) {
    TfcShapeBtn* A = Make("A", 10, 1);
    TfcShapeBtn* B = Make("B", 80, 1);
    A->SetOptions({boAutoBold});
    Show();
    A->SetDown(true);
    EXPECT_TRUE(A->Font()->Style().Contains(fsBold));
    B->SetDown(true);
    EXPECT_FALSE(A->Font()->Style().Contains(fsBold)) << "up again: plain";
    B->SetOptions({boToggleOnUp});
    TPoint In = B->ClientToScreen(TPoint(30, 12));
    Clock.Advance(1000);
    PressAt(In);
    Ui.RunUntilIdle();
    EXPECT_TRUE(B->Down()) << "down already, and a press alone changes nothing";
    B->SetAllowAllUp(true);
    ReleaseAt(In);
    Ui.RunUntilIdle();
    EXPECT_FALSE(B->Down()) << "the release toggles it";
}

TEST_F(Buttons, SpaceClicksAtKeyDownWithAWholePressAndRelease) {
    TfcShapeBtn* B = Make("B", 10);
    B->SetOptions({boFocusable});
    int Clicks = 0;
    bool DownInClick = true;
    B->OnClick = [&](TObject*) {
        ++Clicks;
        DownInClick = B->Down();
    };
    Show();
    B->SetFocus();
    Ui.KeyDown(VK_SPACE);
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicks, 1);
    EXPECT_FALSE(DownInClick) << "pressed and released before the click";
    Ui.KeyUp(VK_SPACE);
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicks, 1);
}

TEST_F(Buttons, EnterEscapeAndAcceleratorsClickTheirButtons) {
    TfcShapeBtn* Ok = Make("Ok", 10);
    Ok->SetKind(bkOK);
    TfcShapeBtn* Cancel = Make("Cancel", 80);
    Cancel->SetKind(bkCancel);
    TfcShapeBtn* Help = Make("Ayuda", 150, 3);
    Help->SetCaption("A&yuda");
    auto* Edit = NewComponent<TEdit>(Form);
    Edit->SetBounds(220, 10, 40, 24);
    Edit->SetParent(Form);
    std::vector<std::string> Clicked;
    for (TfcShapeBtn* X : {Ok, Cancel, Help}) X->OnClick = [&, X](TObject*) { Clicked.push_back(X->Name()); };
    Show();
    ASSERT_TRUE(Edit->Focused());
    EXPECT_TRUE(Ok->IsDefaultActive) << "with no button focused, the default one answers Enter";
    EXPECT_FALSE(Cancel->IsDefaultActive);
    Ui.Key(VK_RETURN);
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked, (std::vector<std::string>{"Ok"}));
    EXPECT_EQ(Form->ModalResult(), mrOk);
    Ui.Key(VK_ESCAPE);
    Ui.Key(VK_RETURN, {ssShift});
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked, (std::vector<std::string>{"Ok", "Cancel"})) << "no click with a shift key held";
    EXPECT_EQ(Form->ModalResult(), mrCancel);
    Ui.Key('Y', {ssAlt});
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.back(), "Ayuda");
    EXPECT_TRUE(Help->Down()) << "the accelerator toggles a group button";
    // A focused button of the library is the one Enter presses.
    Cancel->SetOptions({boFocusable});
    Cancel->SetFocus();
    Ui.RunUntilIdle();
    EXPECT_FALSE(Ok->IsDefaultActive);
    Ui.Key(VK_RETURN);
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.back(), "Cancel");
}

TEST_F(Buttons, HelpAndCloseKindsDoTheirOwnWork) {
    THelpRecorder Help;
    TfcShapeBtn* H = Make("H", 10);
    H->SetKind(bkHelp);
    int Clicks = 0;
    H->OnClick = [&](TObject*) { ++Clicks; };
    Show();
    H->Click();
    EXPECT_EQ(Clicks, 1) << "nobody has a help context: the click is an ordinary one";
    Form->SetHelpContext(2004);
    H->Click();
    EXPECT_EQ(Clicks, 1);
    ASSERT_EQ(Help.Requests().size(), 1u);
    EXPECT_EQ(Help.Requests()[0].Data, 2004u);
    TfcShapeBtn* C = Make("C", 80);
    C->SetKind(bkClose);
    C->Click();
    Ui.RunUntilIdle();
    EXPECT_FALSE(Form->Visible());
}

TEST_F(Buttons, AFlatButtonLooksNormalWhileItsClickRuns) {
    TfcShapeBtn* B = Make("B", 10);
    B->SetShadeStyle(fbsFlat);
    Show();
    uint32_t InClick = 0;
    B->OnClick = [&](TObject*) {
        B->Invalidate();
        InClick = PixelOf(Form, 10, 10);
    };
    EXPECT_EQ(PixelOf(Form, 10, 10), PixelOfColor(clBtnFace));
    B->Click();
    EXPECT_EQ(InClick, PixelOfColor(clBtnHighlight)) << "the bevel's outer light line";
    EXPECT_EQ(PixelOf(Form, 10, 10), PixelOfColor(clBtnFace));
}

// A glyph of four cells: the first when idle, the second when disabled, the
// third while down, the fourth while the mouse is over the button, which
// repaints when the mouse comes and goes.
TEST_F(Buttons, AFourCellGlyphShowsTheCellOfTheButtonsState) {
    // Cells of 10 by 8: red, green, blue, yellow, each with an olive bottom row
    // (the transparent colour). Without a caption the glyph stands in the middle.
    TBitmap Glyph(40, 8);
    const TColor Cells[4] = {clRed, clLime, clBlue, clYellow};
    for (int I = 0; I < 4; ++I) {
        Glyph.Canvas()->Brush()->SetColor(Cells[I]);
        Glyph.Canvas()->FillRect(TRect(10 * I, 0, 10 * I + 10, 7));
    }
    Glyph.Canvas()->Brush()->SetColor(clOlive);
    Glyph.Canvas()->FillRect(TRect(0, 7, 40, 8));
    TfcShapeBtn* B = Make("B", 10, 1);
    B->SetGlyph(&Glyph);
    B->SetNumGlyphs(4);
    std::vector<std::string> Heard;
    B->OnMouseEnter = [&](TObject*) { Heard.push_back("enter"); };
    B->OnMouseLeave = [&](TObject*) { Heard.push_back("leave"); };
    Show();
    const TPoint Middle(10 + 30, 10 + 10);  // in the form; the glyph covers (25, 8) .. (35, 15) of the button
    const TPoint Away = Form->ClientToScreen(TPoint(250, 100));
    Ui.MoveTo(Away);
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(Form, Middle.x, Middle.y), PixelOfColor(clRed)) << "idle";
    Ui.MoveTo(B->ClientToScreen(TPoint(5, 5)));
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(Form, Middle.x, Middle.y), PixelOfColor(clYellow)) << "under the mouse";
    Ui.MoveTo(Away);
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(Form, Middle.x, Middle.y), PixelOfColor(clRed)) << "left again";
    EXPECT_EQ(Heard, (std::vector<std::string>{"enter", "leave"}));
    B->SetDown(true);
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(Form, Middle.x + 1, Middle.y + 1), PixelOfColor(clBlue)) << "down, moved by (1, 1)";
    B->SetEnabled(false);
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(Form, Middle.x + 1, Middle.y + 1), PixelOfColor(clLime)) << "disabled wins over down";
}

// A focusable button with the focus rectangle option shows the focus as a
// dotted frame 2 pixels around its glyph and caption.
TEST_F(Buttons, TheFocusRectangleSurroundsGlyphAndCaption) {
    TfcShapeBtn* B = Make("B", 10);
    B->SetBounds(10, 10, 120, 40);
    B->SetCaption("Aceptar");
    B->SetOptions({boFocusable, boFocusRect});
    Show();
    auto Frame = [&] {
        TRect F;
        UnionRect(F, B->TextRect, B->GlyphRect);
        InflateRect(F, 2, 2);
        return F;
    };
    // The frame inverts the face it is drawn on.
    const uint32_t Inverted = ~PixelOfColor(clBtnFace) & 0xFFFFFF;
    auto DarkOnTopEdge = [&] {
        TRect F = Frame();
        int Dark = 0;
        for (int X = F.Left; X < F.Right; ++X) Dark += PixelOf(Form, 10 + X, 10 + F.Top) == Inverted ? 1 : 0;
        return Dark;
    };
    EXPECT_EQ(DarkOnTopEdge(), 0) << "without the focus";
    B->SetFocus();
    Ui.RunUntilIdle();
    ASSERT_TRUE(B->Focused());
    int Dark = DarkOnTopEdge();
    EXPECT_GE(Dark, Frame().Width() / 2 - 1) << "every other pixel";
    EXPECT_LE(Dark, Frame().Width() / 2 + 1);
}

// The platform's cancel mode (another window taking the mouse) ends a press:
// the button comes up and lets the mouse go. It used to stay pressed: the
// window let the mouse go and forgot the button was down before the button
// could look.
TEST_F(Buttons, CancelModeEndsAPress) {
    TfcShapeBtn* B = Make("B", 10);
    Show();
    PressAt(B->ClientToScreen(TPoint(30, 12)));
    Ui.RunUntilIdle();
    ASSERT_TRUE(B->Down());
    ASSERT_TRUE(B->Tracking);
    B->Perform(WM_CANCELMODE);
    EXPECT_FALSE(B->Down());
    EXPECT_FALSE(B->Tracking);
    EXPECT_NE(GetCaptureControl(), B);
}

TEST_F(Buttons, ChangeLinksHearOfChangesGoingDownAndLoading) {
    TfcShapeBtn* A = Make("A", 10, 1);
    std::vector<std::string> Heard;
    TfcChangeLink Link;
    Link.OnChange = [&](TObject* S) { Heard.push_back("change " + dynamic_cast<TComponent*>(S)->Name()); };
    Link.OnDown = [&](TObject* S) { Heard.push_back("down " + dynamic_cast<TComponent*>(S)->Name()); };
    Link.OnLoaded = [&](TObject*) { Heard.push_back("loaded"); };
    A->AddChangeLink(&Link);
    A->SetDown(true);
    EXPECT_EQ(Heard, (std::vector<std::string>{"down A", "change A"}));
    A->Perform(CM_BUTTONPRESSED, 1, PointerToLParam(Make("B", 80, 1)));
    A->RemoveChangeLink(&Link);
    A->SetDown(false);
    EXPECT_EQ(Heard.size(), 2u)
        << "a button raised by another that is not down stays, and a removed link hears nothing";
}

TEST_F(Buttons, ShadeColorsDeriveFromOneColourAndOffsetsAreCopied) {
    TfcShapeBtn* B = Make("B", 10);
    B->DeriveShadeColors(RGB(100, 100, 100));
    EXPECT_EQ(B->ShadeColors()->BtnShadow(), RGB(50, 50, 50));
    EXPECT_EQ(B->ShadeColors()->BtnBlack(), RGB(25, 25, 25));
    EXPECT_EQ(B->ShadeColors()->Btn3DLight(), RGB(177, 177, 177));
    EXPECT_EQ(B->ShadeColors()->BtnHighlight(), RGB(216, 216, 216));
    // Another offsets object lends its values; the button keeps its own.
    TfcOffsets* Own = B->Offsets();
    {
        TfcOffsets Other(nullptr);
        Other.SetTextX(7);
        Other.SetTextDownY(3);
        B->SetOffsets(&Other);
    }
    EXPECT_EQ(B->Offsets(), Own);
    EXPECT_EQ(B->Offsets()->TextX(), 7);
    EXPECT_EQ(B->Offsets()->TextDownY(), 3);
    TfcShapeBtn* C = Make("C", 80);
    C->Assign(B);
    EXPECT_EQ(C->Offsets()->TextX(), 7);
    EXPECT_EQ(C->ShadeColors()->BtnBlack(), RGB(25, 25, 25));
}

TEST_F(Buttons, AnActionGivesItsCaptionStateAndImageAndAClickRunsIt) {
    // One 12 by 12 image: fuchsia (transparent) around a black square 2 .. 9.
    auto* Images = NewComponent<TImageList>(Form);
    Images->SetSize(12, 12);
    TBitmap Strip(12, 12);
    Strip.Canvas()->Brush()->SetColor(clFuchsia);
    Strip.Canvas()->FillRect(TRect(0, 0, 12, 12));
    Strip.Canvas()->Brush()->SetColor(clBlack);
    Strip.Canvas()->FillRect(TRect(2, 2, 10, 10));
    Images->AddMasked(&Strip, clFuchsia);
    auto* List = NewComponent<TActionList>(Form);
    List->SetImages(Images);

    struct {
        const char* Name;
        int ImageIndex;
        bool OwnGlyph;
        int WantWidth;  // 0: the glyph stays empty
    } Cases[] = {
        {"image in range", 0, false, 12},
        {"no image", -1, false, 0},
        {"index past the list", 1, false, 0},
        {"a glyph of its own", 0, true, 5},
    };
    for (const auto& C : Cases) {
        auto* Action = NewComponent<TAction>(Form);
        Action->SetActionList(List);
        Action->SetImageIndex(C.ImageIndex);
        TfcShapeBtn* B = Make("B", 10);
        if (C.OwnGlyph) {
            TBitmap Own(5, 5);
            B->SetGlyph(&Own);
        }
        B->SetAction(Action);
        EXPECT_EQ(B->Glyph()->Width(), C.WantWidth) << C.Name;
        if (C.WantWidth == 12) {
            EXPECT_EQ(B->Glyph()->Height(), 12);
            EXPECT_EQ(B->Glyph()->Canvas()->Pixel(0, 11), clFuchsia) << "transparent where the image is";
            EXPECT_EQ(B->Glyph()->Canvas()->Pixel(5, 5), clBlack);
        }
        B->Free();
        Action->Free();
    }

    auto* Action = NewComponent<TAction>(Form);
    Action->SetActionList(List);
    Action->SetCaption("&Ver");
    Action->SetHint("Ver todo");
    int Runs = 0;
    Action->OnExecute = [&Runs](TObject*) { ++Runs; };
    TfcShapeBtn* B = Make("B", 10);
    B->SetAction(Action);
    EXPECT_EQ(B->Caption(), "&Ver");
    EXPECT_EQ(B->Hint(), "Ver todo");
    Show();
    ClickOn(B);
    EXPECT_EQ(Runs, 1) << "a click runs the action";
    EXPECT_EQ(B->Perform(CM_DIALOGCHAR, 'v'), 1);
    EXPECT_EQ(Runs, 2) << "and so does the caption's accelerator";

    Action->SetCaption("&Mirar");
    Action->SetEnabled(false);
    EXPECT_EQ(B->Caption(), "&Mirar");
    EXPECT_FALSE(B->Enabled());
    Action->SetEnabled(true);
    Action->SetVisible(false);
    EXPECT_TRUE(B->Enabled());
    EXPECT_FALSE(B->Visible());
    Action->SetVisible(true);

    int OwnClicks = 0;
    B->OnClick = [&OwnClicks](TObject*) { ++OwnClicks; };
    ClickOn(B);
    EXPECT_EQ(OwnClicks, 1);
    EXPECT_EQ(Runs, 2) << "the button's own OnClick comes before its action";
}

TEST_F(Buttons, AStreamedButtonTakesItsActionsCaptionUnlessItHasOne) {
    ReadComponentFromText(Form, "object F: TForm\n"
                                "  object L: TActionList\n"
                                "    object A: TAction\n      Caption = '&Siguiente'\n"
                                "      Hint = 'Paso siguiente'\n    end\n  end\n"
                                "  object B1: TfcShapeBtn\n    Action = A\n  end\n"
                                "  object B2: TfcShapeBtn\n    Action = A\n    Caption = 'Otro'\n  end\n"
                                "end\n");
    auto* B1 = dynamic_cast<TfcShapeBtn*>(Form->FindComponent("B1"));
    auto* B2 = dynamic_cast<TfcShapeBtn*>(Form->FindComponent("B2"));
    ASSERT_NE(B1, nullptr);
    ASSERT_NE(B2, nullptr);
    EXPECT_EQ(B1->Caption(), "&Siguiente");
    EXPECT_EQ(B1->Hint(), "Paso siguiente");
    EXPECT_EQ(B2->Caption(), "Otro") << "a streamed caption is kept";
    EXPECT_NE(WriteComponentToText(Form).find("Action = A"), AnsiString::npos);
}

}  // namespace
