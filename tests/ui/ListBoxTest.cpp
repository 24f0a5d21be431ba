// The list box: keys, mouse, type-ahead, the LB_ messages, sorting,
// multiple selection and owner drawing.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/ui/StdCtrls.h"
#include "tests/support/ui/KeyScript.h"

namespace {

class ListBoxTest : public FormTest {
protected:
    ListBoxTest() {
        Form = NewPlainForm("F", 400, 300);
        List = Make<TListBox>(Form, Form, "L", Bounds(10, 10, 150, 100));
        List->OnClick = [this](TObject*) { ++Clicks; };
    }
    void Fill(std::initializer_list<const char*> Texts) {
        for (const char* T : Texts) List->Items()->Add(T);
    }
    void Focus() {
        Form->Show();
        List->SetFocus();
        Ui.RunUntilIdle();
    }
    void Keys(const char* Script) {
        PlayKeys(Ui, Script);
        Ui.RunUntilIdle();
    }
    TPoint ItemPoint(int Index) {
        TRect R = List->ItemRect(Index);
        return List->ClientToScreen(TPoint(R.Left + 5, R.Top + R.Height() / 2));
    }
    TForm* Form;
    TListBox* List;
    int Clicks = 0;
};

TEST_F(ListBoxTest, ArrowsHomeEndAndPagesMoveTheSelection) {
    Fill({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m"});
    Focus();
    struct TStep {
        const char* Keys;
        int Index;
    };
    for (const TStep& S : std::initializer_list<TStep>{{"{Down}", 0},
                                                       {"{Down}", 1},
                                                       {"{End}", 12},
                                                       {"{Up}", 11},
                                                       {"{Home}", 0},
                                                       {"{Up}", 0},
                                                       {"{Right}", 1}}) {
        Keys(S.Keys);
        EXPECT_EQ(List->ItemIndex(), S.Index) << S.Keys;
    }
    EXPECT_EQ(Clicks, 6) << "a click for every change, none where nothing moved";
    int Page = List->ClientHeight() / List->ItemHeight();
    Keys("{Home}{PgDn}");
    EXPECT_EQ(List->ItemIndex(), Page - 1);
    EXPECT_EQ(List->TopIndex(), 0);
    Keys("{PgDn}");
    EXPECT_GT(List->TopIndex(), 0) << "the list scrolled to show the selection";
}

TEST_F(ListBoxTest, TypingFindsItemsByTheirFirstLetters) {
    Fill({"Bilbao", "Barcelona", "Madrid", "Malaga", "Murcia"});
    Focus();
    Keys("m");
    EXPECT_EQ(List->ItemIndex(), 2);
    Clock.Advance(2000);
    Keys("m");
    EXPECT_EQ(List->ItemIndex(), 3) << "a new search starts after the selected item";
    Clock.Advance(2000);
    Keys("MU");
    EXPECT_EQ(List->ItemIndex(), 4);
    Clock.Advance(2000);
    Keys("ma");
    EXPECT_EQ(List->ItemIndex(), 2) << "from Murcia, m wraps to Madrid and ma stays there";
    Keys("l");
    EXPECT_EQ(List->ItemIndex(), 3) << "typed quickly, mal is one prefix";
}

TEST_F(ListBoxTest, AClickSelectsAndADoubleClickReportsIt) {
    Fill({"uno", "dos", "tres"});
    int Double = 0;
    List->OnDblClick = [&](TObject*) { ++Double; };
    Form->Show();
    Ui.RunUntilIdle();
    Ui.Click(ItemPoint(1));
    Ui.RunUntilIdle();
    EXPECT_EQ(List->ItemIndex(), 1);
    EXPECT_TRUE(List->Focused());
    Ui.DoubleClick(ItemPoint(2));
    Ui.RunUntilIdle();
    EXPECT_EQ(List->ItemIndex(), 2);
    EXPECT_EQ(Double, 1);
    Ui.Click(List->ClientToScreen(TPoint(5, 90)));
    Ui.RunUntilIdle();
    EXPECT_EQ(List->ItemIndex(), 2) << "a click below the items changes nothing";
}

TEST_F(ListBoxTest, ListMessagesAnswerAsTheLibrariesExpect) {
    Fill({"Alfa", "beta", "Gamma", "delta", "Beta2"});
    for (int I = 0; I < 15; ++I) List->Items()->Add("relleno");
    Form->Show();
    EXPECT_EQ(List->Perform(LB_GETCOUNT), 20);
    EXPECT_EQ(List->Perform(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), PointerToLParam("BETA")), 1);
    EXPECT_EQ(List->Perform(LB_FINDSTRING, 1, PointerToLParam("be")), 4)
        << "a search starts after the index given";
    EXPECT_EQ(List->Perform(LB_FINDSTRING, 4, PointerToLParam("be")), 1) << "and wraps round";
    EXPECT_EQ(List->Perform(LB_FINDSTRING, static_cast<WPARAM>(-1), PointerToLParam("x")), LB_ERR);
    EXPECT_EQ(List->Perform(LB_SELECTSTRING, 1, PointerToLParam("ga")), 2);
    EXPECT_EQ(List->ItemIndex(), 2);
    EXPECT_EQ(List->Perform(LB_GETCURSEL), 2);
    EXPECT_EQ(List->Perform(LB_SETCURSEL, static_cast<WPARAM>(-1)), LB_ERR) << "clearing answers LB_ERR";
    EXPECT_EQ(List->ItemIndex(), -1);
    EXPECT_EQ(List->Perform(LB_GETSEL, 99), LB_ERR);
    int H = static_cast<int>(List->Perform(LB_GETITEMHEIGHT));
    List->Perform(LB_SETTOPINDEX, 2);
    EXPECT_EQ(List->Perform(LB_GETTOPINDEX), 2);
    TRect R;
    EXPECT_EQ(List->Perform(LB_GETITEMRECT, 3, PointerToLParam(&R)), 1);
    EXPECT_EQ(R.Top, H) << "one row below the top item";
    EXPECT_EQ(R.Height(), H);
    EXPECT_EQ(R.Width(), List->ClientWidth());
    LRESULT Hit = List->Perform(LB_ITEMFROMPOINT, 0, MakeLParam(5, H + 2));
    EXPECT_EQ(LoWord(static_cast<uintptr_t>(Hit)), 3);
    EXPECT_EQ(HiWord(static_cast<uintptr_t>(Hit)), 0);
    List->Perform(LB_SETITEMDATA, 0, 77);
    EXPECT_EQ(List->Perform(LB_GETITEMDATA, 0), 77);
    EXPECT_EQ(List->Perform(LB_DELETESTRING, 0), 19);
    EXPECT_EQ(List->Perform(LB_INSERTSTRING, static_cast<WPARAM>(-1), PointerToLParam("last")), 19);
    EXPECT_EQ(List->Items()->Strings(19), "last");
    List->Perform(LB_RESETCONTENT);
    EXPECT_EQ(List->Items()->Count(), 0);
    EXPECT_EQ(List->Perform(LB_GETCURSEL), LB_ERR);
}

TEST_F(ListBoxTest, AHorizontalExtentWiderThanTheListBringsAScrollBar) {
    Fill({"short"});
    Form->Show();
    int Before = List->ClientHeight();
    List->Perform(LB_SETHORIZONTALEXTENT, 500);
    EXPECT_EQ(List->Perform(LB_GETHORIZONTALEXTENT), 500);
    EXPECT_LT(List->ClientHeight(), Before) << "the bar takes room at the bottom";
    TScrollInfo SI;
    SI.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(List->Handle(), SB_HORZ, SI));
    EXPECT_EQ(SI.nMax, 499);
    List->Perform(WM_HSCROLL, MakeWParam(SB_THUMBPOSITION, 100), 0);
    TRect R;
    List->Perform(LB_GETITEMRECT, 0, PointerToLParam(&R));
    EXPECT_EQ(R.Left, -100);
    List->Perform(LB_SETHORIZONTALEXTENT, 0);
    EXPECT_EQ(List->ClientHeight(), Before);
}

TEST_F(ListBoxTest, SortedListsKeepTheirOrderAndItemsOutliveTheWindow) {
    List->SetSorted(true);
    Fill({"pera", "Manzana", "uva", "higo"});
    EXPECT_EQ(List->Items()->Strings(0), "higo") << "sorted before there is a window";
    List->Items()->AddObject("kiwi", reinterpret_cast<TObject*>(List));
    List->SetItemIndex(3);
    Form->Show();
    std::vector<AnsiString> Got;
    for (int I = 0; I < List->Items()->Count(); ++I) Got.push_back(List->Items()->Strings(I));
    EXPECT_EQ(Got, (std::vector<AnsiString>{"higo", "kiwi", "Manzana", "pera", "uva"}));
    EXPECT_EQ(List->ItemIndex(), 3);
    EXPECT_EQ(List->Items()->Objects(1), reinterpret_cast<TObject*>(List));
    List->Items()->Add("caqui");
    EXPECT_EQ(List->Items()->IndexOf("CAQUI"), 0) << "the window sorts too, and IndexOf ignores case";
    List->SetSorted(false);  // a new window
    EXPECT_EQ(List->Items()->Count(), 6);
    EXPECT_EQ(List->ItemIndex(), 4) << "the selection came along";
    EXPECT_EQ(List->Items()->Objects(2), reinterpret_cast<TObject*>(List));
    List->Items()->Add("anon");
    EXPECT_EQ(List->Items()->Strings(6), "anon");
}

TEST_F(ListBoxTest, ExtendedSelectionFollowsShiftAndCtrl) {
    List->SetMultiSelect(true);
    Fill({"a", "b", "c", "d", "e", "f"});
    Focus();
    Ui.Click(ItemPoint(1));
    Ui.RunUntilIdle();
    Keys("{S+Down}{S+Down}");
    auto Selection = [&] {
        std::vector<int> S;
        for (int I = 0; I < List->Items()->Count(); ++I)
            if (List->Selected(I)) S.push_back(I);
        return S;
    };
    EXPECT_EQ(Selection(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(List->SelCount(), 3);
    EXPECT_EQ(List->ItemIndex(), 3) << "a multi-selection list's index is its caret";
    InputKey(VK_CONTROL, true);
    Ui.Click(ItemPoint(5));
    InputKey(VK_CONTROL, false);
    Ui.RunUntilIdle();
    EXPECT_EQ(Selection(), (std::vector<int>{1, 2, 3, 5}));
    Keys("{Up}");
    EXPECT_EQ(Selection(), (std::vector<int>{4})) << "a plain move selects one item";
    EXPECT_EQ(List->Perform(LB_SELITEMRANGE, 1, MakeLParam(0, 2)), 0);
    EXPECT_EQ(Selection(), (std::vector<int>{0, 1, 2, 4}));
    int Buffer[8] = {};
    EXPECT_EQ(List->Perform(LB_GETSELITEMS, 8, PointerToLParam(Buffer)), 4);
    EXPECT_EQ(Buffer[3], 4);
    List->Perform(LB_SETSEL, 0, -1);
    EXPECT_EQ(List->SelCount(), 0);
    EXPECT_EQ(List->Perform(LB_SETCURSEL, 1), LB_ERR) << "not for a multi-selection list";
}

TEST_F(ListBoxTest, SpaceTogglesTheCaretItemOfAMultipleSelection) {
    List->SetMultiSelect(true);
    List->SetExtendedSelect(false);
    Fill({"a", "b", "c"});
    Focus();
    Keys("{Down}{Space}{Down}{Space}{Up}{Space}");
    EXPECT_FALSE(List->Selected(1));
    EXPECT_TRUE(List->Selected(2));
    EXPECT_FALSE(List->Selected(0));
}

TEST_F(ListBoxTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheControl) {
    List->SetStyle(lbOwnerDrawVariable);
    Fill({"one", "two", "three"});
    List->OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height = 10 + 5 * Index; };
    struct TDrawn {
        int Index;
        TRect Rect;
        bool Selected;
    };
    std::vector<TDrawn> Drawn;
    List->OnDrawItem = [&](TWinControl* C, int Index, TRect Rect, TOwnerDrawState State) {
        Drawn.push_back({Index, Rect, State.Contains(odSelected)});
        static_cast<TListBox*>(C)->Canvas()->FillRect(Rect);
    };
    List->SetItemIndex(1);
    Form->Show();
    Ui.RunUntilIdle();
    ASSERT_EQ(Drawn.size(), 3u);
    EXPECT_EQ(Drawn[0].Rect.Height(), 10);
    EXPECT_EQ(Drawn[1].Rect.Top, 10);
    EXPECT_EQ(Drawn[1].Rect.Height(), 15);
    EXPECT_EQ(Drawn[2].Rect.Top, 25);
    EXPECT_TRUE(Drawn[1].Selected);
    EXPECT_FALSE(Drawn[0].Selected);
    EXPECT_EQ(List->ItemRect(2).Height(), 20);
    EXPECT_EQ(List->ItemAtPos(TPoint(5, 26), true), 2);
    EXPECT_EQ(List->ItemAtPos(TPoint(5, 80), true), -1);
    EXPECT_EQ(List->ItemAtPos(TPoint(5, 80), false), 3);
}

TEST_F(ListBoxTest, IntegralHeightShowsWholeItemsOnly) {
    List->SetStyle(lbOwnerDrawFixed);
    List->SetItemHeight(18);
    List->SetIntegralHeight(true);
    List->SetHeight(100);
    Form->Show();
    EXPECT_EQ(List->ClientHeight() % 18, 0);
    EXPECT_EQ(List->ClientHeight(), 90);
    List->SetIntegralHeight(false);
    List->SetHeight(100);
    EXPECT_EQ(List->ClientHeight(), 96);
}

}  // namespace
