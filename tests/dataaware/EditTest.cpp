// The data-aware edit on a record screen read from its form file, driven by
// synthetic keys: numbers through a display format, the space bar's date and
// time fill, picture typing, Escape, pasting, and its own painting checked
// pixel by pixel against what the rules compute.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwdbedit.h"
#include "dataaware/wwhelpers.h"
#include "forms/EditSample.h"
#include "platform/classes/Resources.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Clock.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Sound.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Grids.h"
#include "platform/ui/StdCtrls.h"
#include "tests/support/TestResources.h"
#include "tests/support/ui/KeyScript.h"
#include "tests/support/ui/ScreenSession.h"
#include "tests/support/ui/UiDriver.h"

namespace {

// Thursday 7 March 2024, 14:05:09.
const TDateTime Moment = 45358.0 + (14 * 3600 + 5 * 60 + 9) / 86400.0;

class EditScreen : public DataAwareFixture {
protected:
    void SetUp() override {
        DataAwareFixture::SetUp();
        RegisterDBClasses();
        RegisterClass(TEditSampleForm::StaticClassInfo());
        CreateTable("notas",
                    {{"NOMBRE", ftString, 20}, {"NOTA", ftFloat}, {"FECHA", ftDate}, {"TEL", ftString, 8}});
        AddRows("notas",
                {{{"NOMBRE", "Ana"}, {"NOTA", "1234,5"}, {"FECHA", "02/01/2024"}, {"TEL", "555-1234"}}});
        F = NewComponent<TEditSampleForm>(Application);
        F->TNotas->Open();
        F->Show();
        Ui().RunUntilIdle();
    }
    void TearDown() override {
        if (F) F->Free();
        DataAwareFixture::TearDown();
    }

    static TUiDriver& Ui() { return UiOf(); }

public:
    static TUiDriver& UiOf() { return static_cast<TUiDriver&>(CurrentDisplay()); }

protected:
    void Focus(TWinControl* Control) {
        Control->SetFocus();
        Ui().RunUntilIdle();
    }
    void Keys(std::string_view Script) {
        PlayKeys(Ui(), Script);
        Ui().RunUntilIdle();
    }
    TField* FieldOf(const char* Name) { return F->TNotas->FieldByName(Name); }
    // An unbound edit inside a grid on the screen, as a grid holds its cell editor.
    TwwDBEdit* NewGridEditor() {
        auto* grid = NewComponent<TStringGrid>(F);
        grid->SetBounds(8, 140, 150, 90);
        grid->SetParent(F);
        auto* edit = NewComponent<TwwDBEdit>(F);
        edit->SetParent(grid);
        return edit;
    }

    TResourceScope Forms{kTestResources};
    TManualClock Clock{Moment, 1000};
    TClockScope UseClock{Clock};
    TScriptedDialogs Answers;
    TEditSampleForm* F = nullptr;
};

}  // namespace

TEST_F(EditScreen, ShowsItsFieldsAsTheFormBindsThem) {
    EXPECT_EQ(F->ENombre->Text(), "Ana");
    EXPECT_EQ(F->ENota->Text(), "1.234,50");
    EXPECT_EQ(F->ETel->Text(), "555-1234");
    EXPECT_EQ(F->ETel->GetPicture()->PictureMask(), "###-####");
    EXPECT_EQ(F->ENota->EffectiveAlignment(), taRightJustify);
    EXPECT_EQ(F->ETel->Picture()->RelatedComponent(), F->ETel);
}

// ---------------------------------------------------------------- numbers

struct TNumberCase {
    const char* Keys;
    double Stored;
    size_t Beeps;
};

class EditNumbers : public EditScreen, public ::testing::WithParamInterface<TNumberCase> {};

TEST_P(EditNumbers, TypedNumbersAreReadBackThroughTheDisplayFormat) {
    const TNumberCase& c = GetParam();
    TBeepRecorder beeps;
    Focus(F->ENota);
    Keys(c.Keys);
    Keys("{Tab}");
    EXPECT_EQ(FieldOf("NOTA")->AsFloat(), c.Stored) << c.Keys;
    EXPECT_EQ(beeps.Beeps().size(), c.Beeps) << c.Keys;
    EXPECT_TRUE(Answers.Asked().empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, EditNumbers,
                         ::testing::Values(TNumberCase{"2345,75", 2345.75, 0},
                                           // Only digits, signs, the exponent and the decimal separator go
                                           // in: the thousands separator and letters are refused with a beep.
                                           TNumberCase{"1.000,5", 1000.5, 1}, TNumberCase{"-12", -12, 0},
                                           TNumberCase{"7x", 7, 1},
                                           // The separators of the shown text are read back too.
                                           TNumberCase{"{End}{Back}{Back}25", 1234.25, 0}));

TEST_F(EditScreen, ANumberThatCannotBeReadBackKeepsTheFocusAndTheText) {
    Focus(F->ENota);
    ClipboardSetText("doce");
    Keys("{C+V}");
    EXPECT_EQ(F->ENota->Text(), "doce");
    Keys("{Tab}");
    ASSERT_EQ(Answers.Texts().size(), 1u);
    EXPECT_EQ(Answers.Texts()[0], "Invalid input value.  Use escape key to abandon changes.");
    EXPECT_TRUE(F->ENota->Focused());
    EXPECT_EQ(F->ENota->Text(), "doce");
    EXPECT_EQ(F->ENota->SelLength(), 4);
    EXPECT_EQ(FieldOf("NOTA")->AsFloat(), 1234.5);
    EXPECT_THROW(F->TNotas->Post(), EInvalidOperation) << "a post does not go on without the number";
}

// ---------------------------------------------------------------- dates and times

struct TFillCase {
    const char* Edit;  // "EFecha" (a date field) or "EMomento" (an unbound date-time edit)
    int Spaces;
    const char* Shown;
};

class EditDateFill : public EditScreen, public ::testing::WithParamInterface<TFillCase> {};

TEST_P(EditDateFill, TheSpaceBarFillsTheNextPartOfNow) {
    const TFillCase& c = GetParam();
    TwwDBEdit* edit = std::string_view(c.Edit) == "EFecha" ? F->EFecha : F->EMomento;
    Focus(edit);
    Keys("{Del}");
    for (int i = 0; i < c.Spaces; ++i) Keys(" ");
    EXPECT_EQ(edit->Text(), c.Shown) << c.Edit << " after " << c.Spaces << " spaces";
    EXPECT_EQ(edit->SelStart(), static_cast<int>(std::string_view(c.Shown).size()));
}

// Day-month-year with "dd/mm/yyyy": two-digit day and month, the full year;
// a.m. and p.m. make the clock a twelve-hour one, marked "AM" or "PM".
INSTANTIATE_TEST_SUITE_P(
    Spaces, EditDateFill,
    ::testing::Values(TFillCase{"EFecha", 1, "07/"}, TFillCase{"EFecha", 2, "07/03/"},
                      TFillCase{"EFecha", 3, "07/03/2024"}, TFillCase{"EFecha", 4, "07/03/2024"},
                      TFillCase{"EMomento", 3, "07/03/2024"}, TFillCase{"EMomento", 4, "07/03/2024 "},
                      TFillCase{"EMomento", 5, "07/03/2024 2:"}, TFillCase{"EMomento", 6, "07/03/2024 2:05:"},
                      TFillCase{"EMomento", 7, "07/03/2024 2:05:09"},
                      TFillCase{"EMomento", 8, "07/03/2024 2:05:09 PM"}));

TEST_F(EditScreen, TwoDigitYearsTurnOnTheLibrarysPivot) {
    struct TYear {
        const char* Typed;
        const char* Stored;
    };
    for (const TYear& y :
         {TYear{"3/4/49", "03/04/2049"}, TYear{"3/4/50", "03/04/1950"}, TYear{"3/4", "03/04/2024"}}) {
        Focus(F->EFecha);
        Keys(std::string("{Del}") + y.Typed + "{Tab}");
        EXPECT_EQ(FieldOf("FECHA")->AsString(), y.Stored) << y.Typed;
    }
    DefaultIntl->SetDefaultEpochYear(1930);
    Focus(F->EFecha);
    Keys("{Del}3/4/31{Tab}");
    EXPECT_EQ(FieldOf("FECHA")->AsString(), "03/04/1931") << "one pivot for edits, grids and filters";
}

// ---------------------------------------------------------------- picture masks

TEST_F(EditScreen, APictureFillsItsLiteralsAndBeepsAtWhatCannotFit) {
    std::vector<bool> checks;
    F->ETel->OnCheckValue = [&checks](TObject*, bool Passes) { checks.push_back(Passes); };
    TBeepRecorder beeps;
    Focus(F->ETel);
    Keys("{Del}555");
    EXPECT_EQ(F->ETel->Text(), "555-") << "the literal comes by itself";
    EXPECT_EQ(F->ETel->SelStart(), 4);
    Keys("12");
    const size_t reported = checks.size();
    Keys("x");
    EXPECT_EQ(F->ETel->Text(), "555-12") << "a letter cannot fit at the end";
    EXPECT_EQ(beeps.Beeps(), std::vector<unsigned>{0});
    EXPECT_EQ(checks.size(), reported) << "a refused key reports nothing";
    Keys("34");
    EXPECT_EQ(F->ETel->Text(), "555-1234");
    ASSERT_GE(checks.size(), 2u);
    EXPECT_TRUE(checks.back()) << "complete";
    EXPECT_FALSE(checks[checks.size() - 2]) << "incomplete before the last digit";
    Keys("{Tab}");
    EXPECT_EQ(FieldOf("TEL")->AsString(), "555-1234");
    EXPECT_TRUE(Answers.Asked().empty());
}

TEST_F(EditScreen, AnIncompletePictureIsNotWrittenAndTheFocusStays) {
    Focus(F->ETel);
    Keys("{Del}55{Tab}");
    ASSERT_EQ(Answers.Texts().size(), 1u);
    EXPECT_EQ(Answers.Texts()[0], "Invalid input value.  Use escape key to abandon changes.");
    EXPECT_TRUE(F->ETel->Focused());
    EXPECT_EQ(F->ETel->SelLength(), 2);
    EXPECT_EQ(FieldOf("TEL")->AsString(), "555-1234");
    EXPECT_THROW(F->TNotas->Post(), EInvalidOperation);
    EXPECT_EQ(F->TNotas->State(), dsEdit);
    Focus(F->ENombre);
    EXPECT_TRUE(F->ETel->Focused()) << "every try to leave is refused";
    EXPECT_EQ(Answers.Texts().size(), 2u);
}

TEST_F(EditScreen, AnUnboundEditWithAnIncompletePictureTakesTheFocusBack) {
    TBeepRecorder beeps;
    F->ELinea->Picture()->SetPictureMask("##");
    Focus(F->ELinea);
    Keys("7{Tab}");
    EXPECT_TRUE(F->ELinea->Focused());
    EXPECT_TRUE(F->ELinea->RefocusedOnExit());
    EXPECT_TRUE(F->ELinea->IsFocused()) << "the focused look stays";
    EXPECT_EQ(F->ELinea->SelLength(), 1);
    EXPECT_EQ(beeps.Beeps(), std::vector<unsigned>{0});
    F->ELinea->Picture()->SetAllowInvalidExit(true);
    Keys("{Tab}");
    EXPECT_FALSE(F->ELinea->Focused());
}

TEST_F(EditScreen, BackspaceReportsTheTextItReallyLeaves) {
    // "###[#]": three digits complete it, a fourth may follow.
    F->ETel->Picture()->SetPictureMaskFromDataSet(false);
    F->ETel->Picture()->SetPictureMask("###[#]");
    std::vector<bool> checks;
    F->ETel->OnCheckValue = [&checks](TObject*, bool Passes) { checks.push_back(Passes); };
    Focus(F->ETel);
    Keys("{Del}1234");
    // The selection "234" goes: "1" is left, which is incomplete. (Without the
    // selection, the character before the caret would leave the complete "234".)
    F->ETel->SetSelStart(1);
    F->ETel->SetSelLength(3);
    checks.clear();
    Keys("{Back}");
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_FALSE(checks[0]);
    EXPECT_EQ(F->ETel->Text(), "1");
}

// ---------------------------------------------------------------- Escape and paste

TEST_F(EditScreen, EscapePutsBackWhatTheEditHadOnEntry) {
    Focus(F->ENombre);
    Keys("Eva");
    EXPECT_EQ(F->TNotas->State(), dsEdit);
    EXPECT_EQ(F->ENombre->Text(), "Eva");
    Keys("{Esc}");
    EXPECT_EQ(F->ENombre->Text(), "Ana");
    EXPECT_EQ(F->ENombre->SelLength(), 3);
    EXPECT_FALSE(F->ENombre->Modified());

    F->ELinea->SetText("lunes");
    Focus(F->ELinea);
    Keys("{End} y martes");
    EXPECT_EQ(F->ELinea->Text(), "lunes y martes");
    Keys("{Esc}");
    EXPECT_EQ(F->ELinea->Text(), "lunes") << "an unbound edit keeps its own text of the entry";
    EXPECT_EQ(F->ELinea->SelLength(), 5);
}

TEST_F(EditScreen, ABorderlessEditTakesTheFirstLineOfAPaste) {
    ClipboardSetText("uno\r\ndos");
    Focus(F->ELinea);
    Keys("{C+V}");
    EXPECT_EQ(F->ELinea->Text(), "uno");
    EXPECT_EQ(ClipboardGetText(), "uno\r\ndos") << "the clipboard as it was";
    EXPECT_TRUE(F->ELinea->Modified());
}

TEST_F(EditScreen, ReturnInAFramedEditGoesToTheDefaultButton) {
    int defaults = 0;
    F->BAceptar->OnClick = [&defaults](TObject*) { ++defaults; };
    Focus(F->ELinea);
    Keys("{Enter}");
    EXPECT_EQ(defaults, 1);
    EXPECT_EQ(F->ELinea->Text(), "") << "no line break in a one-line edit";
}

// ---------------------------------------------------------------- painting

namespace {

uint32_t Px(TColor Color) { return ColorRefToPixel(ColorToRGB(Color)); }

// The control's client area as the form shows it.
TSurface ClientPicture(TCustomForm* Form, TWinControl* Control) {
    const TSurface& picture = EditScreen::UiOf().Picture(Form);
    const TPoint at = Form->ScreenToClient(Control->ClientOrigin());
    TSurface client(Control->ClientWidth(), Control->ClientHeight());
    for (int y = 0; y < client.Height(); ++y)
        for (int x = 0; x < client.Width(); ++x) client.SetPixel(x, y, picture.GetPixel(at.x + x, at.y + y));
    return client;
}

::testing::AssertionResult SamePixels(const TSurface& Shown, const TSurface& Expected) {
    for (int y = 0; y < Expected.Height(); ++y)
        for (int x = 0; x < Expected.Width(); ++x)
            if (Shown.GetPixel(x, y) != Expected.GetPixel(x, y))
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << std::hex << Shown.GetPixel(x, y)
                       << ", expected " << Expected.GetPixel(x, y);
    return ::testing::AssertionSuccess();
}

// How many pixels show the colour, and the first and last column that does.
int InkColumns(const TSurface& Picture, uint32_t Ink, int& First, int& Last) {
    First = Picture.Width();
    Last = -1;
    int count = 0;
    for (int y = 0; y < Picture.Height(); ++y)
        for (int x = 0; x < Picture.Width(); ++x)
            if (Picture.GetPixel(x, y) == Ink) {
                First = std::min(First, x);
                Last = std::max(Last, x);
                ++count;
            }
    return count;
}

// Text in the control's font at (X, Y) of its client area, over a background.
TSurface TextOver(TWinControl* Control, TColor Background, TColor Ink, int X, int Y, const AnsiString& Text) {
    TBitmap expected(Control->ClientWidth(), Control->ClientHeight());
    TCanvas* canvas = expected.Canvas();
    canvas->Brush()->SetColor(Background);
    canvas->FillRect(TRect(0, 0, expected.Width(), expected.Height()));
    canvas->Font()->Assign(Control->Font());
    canvas->Font()->SetColor(Ink);
    canvas->SetBkMode(TRANSPARENT);
    canvas->TextOut(X, Y, Text);
    return expected.Surface();
}

int TextWidthIn(TWinControl* Control, const AnsiString& Text) {
    TBitmap scratch(1, 1);
    scratch.Canvas()->Font()->Assign(Control->Font());
    return scratch.Canvas()->TextWidth(Text);
}

// An unfocused edit's right-aligned text: it ends 3 pixels in from the
// client's right edge, one pixel down, on the window's colour.
TSurface RightAligned(TWinControl* Edit, TColor Ink, const AnsiString& Text) {
    return TextOver(Edit, clWindow, Ink, Edit->ClientWidth() - 3 - TextWidthIn(Edit, Text), 1, Text);
}

}  // namespace

TEST_F(EditScreen, AnUnfocusedNumberIsPaintedRightAligned) {
    Focus(F->ENombre);
    const int width = F->ENota->ClientWidth();
    const TSurface shown = ClientPicture(F, F->ENota);
    EXPECT_TRUE(SamePixels(shown, RightAligned(F->ENota, clWindowText, "1.234,50")));
    int first, last;
    ASSERT_GT(InkColumns(shown, Px(clWindowText), first, last), 0);
    EXPECT_GE(last, width - 6);

    // Focused, the edit control shows it where it types: on the left (all
    // of it selected, as the focus came by the keyboard).
    Focus(F->ENota);
    const TSurface focused = ClientPicture(F, F->ENota);
    ASSERT_GT(InkColumns(focused, Px(clHighlight), first, last), 0);
    EXPECT_LT(first, 6);
}

TEST_F(EditScreen, AnUnfocusedFramedEditShowsItsBottomEdgeInItsNonFocusColours) {
    Focus(F->ENombre);
    F->ELinea->SetText("Hola");
    Ui().RunUntilIdle();
    // Text offsets of an unfocused box frame without a left or top side: one
    // pixel in from the left, two down; the bottom side is the box's two
    // rings, the frame's colour outside and the window's inside.
    const int height = F->ELinea->Height(), width = F->ELinea->Width();
    TSurface expected = TextOver(F->ELinea, clYellow, clRed, 1, 2, "Hola");
    for (int x = 0; x < width; ++x) {
        expected.SetPixel(x, height - 2, Px(clWindow));
        expected.SetPixel(x, height - 1, Px(clWindowFrame));
    }
    EXPECT_TRUE(SamePixels(ClientPicture(F, F->ELinea), expected));

    // Focused: the whole box in the window's colour, the text in the font's.
    Focus(F->ELinea);
    const TSurface focused = ClientPicture(F, F->ELinea);
    for (int x = 0; x < width; ++x)
        for (int y : {0, height - 1}) EXPECT_EQ(focused.GetPixel(x, y), Px(clWindowFrame)) << x << "," << y;
    for (int y = 0; y < height; ++y)
        for (int x : {0, width - 1}) EXPECT_EQ(focused.GetPixel(x, y), Px(clWindowFrame)) << x << "," << y;
    int first, last;
    EXPECT_EQ(InkColumns(focused, Px(clYellow), first, last), 0);
    EXPECT_EQ(InkColumns(focused, Px(clRed), first, last), 0);
    EXPECT_GT(InkColumns(focused, Px(clWindowText), first, last), 2 * height + 2 * width);
}

TEST_F(EditScreen, ADisabledEditPaintsItsTextGrey) {
    F->EImporte->SetText("12,50");
    Ui().RunUntilIdle();
    const TSurface shown = ClientPicture(F, F->EImporte);
    EXPECT_TRUE(SamePixels(shown, RightAligned(F->EImporte, clGrayText, "12,50")));
    int first, last;
    EXPECT_GT(InkColumns(shown, Px(clGrayText), first, last), 0);
}

// ---------------------------------------------------------------- more rules

namespace {
// An action of data sources: it acts on the data source of the control that
// has the focus, as the navigator's actions do.
class TRecordAction : public TAction {
public:
    using TAction::TAction;
    bool HandlesTarget(TObject* Target) override { return dynamic_cast<TDataSource*>(Target) != nullptr; }
    void ExecuteTarget(TObject* Target) override { Served = static_cast<TDataSource*>(Target); }
    TDataSource* Served = nullptr;
};
}  // namespace

TEST_F(EditScreen, AnActionOfDataSourcesReachesTheFocusedEditsDataSource) {
    auto* action = NewComponent<TRecordAction>(F);
    Focus(F->ENombre);
    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(action->Served, F->ENombre->DataSource());
    Focus(F->ELinea);
    action->Served = nullptr;
    EXPECT_FALSE(action->Execute()) << "an edit without a data source serves none";
}

TEST_F(EditScreen, KeysGoToTheGridThatHostsTheEdit) {
    TwwDBEdit* edit = NewGridEditor();
    auto* grid = static_cast<TStringGrid*>(edit->Parent());
    edit->SetBounds(2, 2, 60, 20);
    std::vector<WORD> gridKeys;
    grid->OnKeyDown = [&gridKeys](TObject* Sender, WORD& Key, TShiftState) {
        EXPECT_TRUE(dynamic_cast<TStringGrid*>(Sender));
        gridKeys.push_back(Key);
    };
    edit->SetText("abc");
    Focus(edit);
    Ui().Key(VK_F2);
    Ui().RunUntilIdle();
    EXPECT_EQ(gridKeys, std::vector<WORD>{VK_F2}) << "the grid hears F2 and the edit keeps it";
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->SelLength(), 0) << "the selection goes, the caret stays";
    Keys("x");
    EXPECT_EQ(gridKeys.back(), 'X') << "the grid hears the keys typed into its editor";
    Keys("{PgDn}");
    EXPECT_TRUE(grid->Focused()) << "PgDn is the grid's";
    EXPECT_EQ(gridKeys.back(), VK_NEXT);
}

TEST_F(EditScreen, AnEditMaskTemplateAloneIsStoredAsNoValue) {
    FieldOf("NOMBRE")->SetEditMask("!99/99/00;1;_");
    F->ENombre->SetUsePictureMask(false);
    Focus(F->ETel);
    Focus(F->ENombre);
    EXPECT_EQ(F->ENombre->EditMask(), "!99/99/00;1;_");
    Keys("1{Back}");
    EXPECT_TRUE(F->ENombre->IsTemplateOnly());
    Keys("{Tab}");
    EXPECT_TRUE(FieldOf("NOMBRE")->IsNull());
    EXPECT_TRUE(Answers.Asked().empty());
    Focus(F->ENombre);
    Keys("1{Tab}");
    EXPECT_FALSE(F->ENombre->IsTemplateOnly());
    EXPECT_EQ(Answers.Asked().size(), 1u) << "an incomplete masked text is refused";
    EXPECT_TRUE(F->ENombre->Focused());
}

TEST_F(EditScreen, ACalculatedFieldCanBeTypedIntoWhenItsDataSetCanChange) {
    F->TNotas->Close();
    auto* calc = NewComponent<TStringField>(F);
    calc->SetFieldName("APODO");
    calc->SetSize(10);
    calc->SetFieldKind(fkCalculated);
    calc->SetDataSet(F->TNotas);
    F->TNotas->Open();
    auto* edit = NewComponent<TwwDBEdit>(F);
    edit->SetParent(F);
    edit->SetBounds(8, 140, 100, 24);
    edit->SetDataSource(F->ENombre->DataSource());
    edit->SetDataField("APODO");
    Focus(edit);
    EXPECT_FALSE(calc->CanModify());
    Keys("z");
    EXPECT_EQ(F->TNotas->State(), dsEdit);
    EXPECT_EQ(edit->Text(), "z");
}

TEST_F(EditScreen, ATransparentFrameIsSeeThroughOnlyWhileUnfocused) {
    Focus(F->ENombre);
    F->ELinea->SetText("Hola");
    F->ELinea->Frame()->SetTransparent(true);
    Ui().RunUntilIdle();
    auto transparentStyle = [this] {
        return (GetWindowLong(F->ELinea->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
    };
    EXPECT_TRUE(transparentStyle());
    EXPECT_EQ(GetWindowLong(F->Handle(), GWL_STYLE) & WS_CLIPCHILDREN, 0) << "the form lets it show through";
    int first, last;
    const TSurface seeThrough = ClientPicture(F, F->ELinea);
    EXPECT_EQ(InkColumns(seeThrough, Px(clYellow), first, last), 0) << "no colour of its own";
    EXPECT_GT(InkColumns(seeThrough, Px(clBtnFace), first, last), 0) << "the form behind it";
    EXPECT_GT(InkColumns(seeThrough, Px(clRed), first, last), 0) << "its unfocused text";
    Focus(F->ELinea);
    EXPECT_FALSE(transparentStyle()) << "opaque while it is typed into";
    EXPECT_FALSE(F->ELinea->Frame()->UseTransparentStyle());
    Focus(F->ENombre);
    EXPECT_TRUE(transparentStyle());
}

TEST_F(EditScreen, TheMouseOverAFramedEditShowsItsFocusedFrame) {
    Focus(F->ENombre);
    F->ELinea->Frame()->SetMouseEnterSameAsFocus(true);
    int entered = 0, left = 0;
    F->ELinea->OnMouseEnter = [&entered](TObject*) { ++entered; };
    F->ELinea->OnMouseLeave = [&left](TObject*) { ++left; };
    Ui().RunUntilIdle();
    const int width = F->ELinea->Width();
    auto topRow = [this, width](uint32_t Colour) {
        const TSurface s = ClientPicture(F, F->ELinea);
        for (int x = 0; x < width; ++x)
            if (s.GetPixel(x, 0) != Colour) return false;
        return true;
    };
    EXPECT_TRUE(topRow(Px(clYellow)));
    Ui().MoveTo(F->ELinea->ClientToScreen(TPoint(10, 5)));
    Ui().RunUntilIdle();
    EXPECT_EQ(entered, 1);
    EXPECT_TRUE(topRow(Px(clWindowFrame))) << "the focused box's top side";
    Ui().MoveTo(F->ClientToScreen(TPoint(300, 230)));
    Ui().RunUntilIdle();
    EXPECT_EQ(left, 1);
    EXPECT_TRUE(topRow(Px(clYellow)));
}

TEST_F(EditScreen, AFieldsPictureLivesInItsDataSetsLines) {
    TwwDBPicture* picture = F->ETel->GetPicture();
    EXPECT_TRUE(picture->InDataSetMode());
    picture->SetAllowInvalidExit(true);
    EXPECT_FALSE(picture->AllowInvalidExit()) << "a field's picture is always enforced";
    picture->SetPictureMask("##-##-##");
    EXPECT_EQ(F->TNotas->PictureMasks()->Strings(0), "TEL\t##-##-##\tT\tF");
    picture->SetAutoFill(false);
    EXPECT_EQ(F->TNotas->PictureMasks()->Strings(0), "TEL\t##-##-##\tF\tF");
    picture->SetPictureMask("");
    EXPECT_EQ(F->TNotas->PictureMasks()->Count(), 0) << "an empty mask takes the line away";
}

TEST_F(EditScreen, ACopyPaintedIntoACellStopsAtTheHeightTheGridPasses) {
    TwwDBEdit* edit = NewGridEditor();
    edit->SetBorderStyle(bsNone);
    edit->SetAutoSize(false);
    edit->SetWordWrap(true);
    edit->SetBounds(2, 2, 50, 60);
    edit->SetText("uno dos tres cuatro");
    Ui().RunUntilIdle();
    const int line = [edit] {
        TBitmap scratch(1, 1);
        scratch.Canvas()->Font()->Assign(edit->Font());
        return scratch.Canvas()->TextHeight("Ag");
    }();
    // The height in the paint message's LParam; 0 stands for the edit's own height.
    auto lastInkRow = [edit](int CellHeight) {
        TBitmap cell(50, 60);
        cell.Canvas()->Brush()->SetColor(clWhite);
        cell.Canvas()->FillRect(TRect(0, 0, 50, 60));
        TControlState state = edit->ControlState();
        edit->SetControlState(TControlState(state).Include(csPaintCopy));
        edit->Perform(WM_PAINT, reinterpret_cast<WPARAM>(cell.Canvas()), CellHeight);
        edit->SetControlState(state);
        int last = -1;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 50; ++x)
                if (cell.Surface().GetPixel(x, y) != 0xFFFFFF) last = y;
        return last;
    };
    EXPECT_GT(lastInkRow(0), 2 * line) << "wrapped down the whole edit";
    const int oneLine = lastInkRow(line + 3);
    EXPECT_GE(oneLine, 0);
    EXPECT_LE(oneLine, line + 3) << "one line in a cell one line high";
}
