// A small screen of panels, edits and buttons, driven the way a user would:
// typing, tabbing, clicking, answering a modal dialog; then saved as a
// picture. The same screen opens as a real X window when an X server can be
// started here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "FormTestSupport.h"
#include "XvfbSupport.h"
#include "platform/backend/Backend.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Resources.h"
#include "platform/ui/Timers.h"
#include "platform/win/MessageQueue.h"
#include "resources/ResourceTable.h"
#include "tests/support/OutsideTools.h"

namespace {

using Log = std::vector<std::string>;

// The screen: a header panel, two edits for a name and a surname, a button
// that asks for confirmation in a dialog of its own, and a status shape.
struct TSample {
    TForm* Form;
    TTestPanel* Header;
    TTestEdit* Name;
    TTestEdit* Surname;
    TTestButton* Save;
    TTestShape* Status;
    TModalResult Answer = mrNone;
    int Saved = 0;
};

TSample BuildSample(TComponent* Owner) {
    TSample S;
    S.Form = TForm::CreateNew(Owner);
    S.Form->SetName("Sample");
    S.Form->SetCaption("Alumnos");
    S.Form->SetBorderStyle(bsSingle);
    S.Form->SetBounds(50, 40, 320, 220);
    S.Header = Make<TTestPanel>(S.Form, S.Form, "Header", Bounds(0, 0, 0, 30));
    S.Header->SetAlign(alTop);
    S.Header->SetColor(clNavy);
    S.Name = Make<TTestEdit>(S.Form, S.Form, "EName", Bounds(10, 40, 120, 21));
    S.Surname = Make<TTestEdit>(S.Form, S.Form, "ESurname", Bounds(140, 40, 120, 21));
    S.Save = Make<TTestButton>(S.Form, S.Form, "BSave", Bounds(10, 80, 75, 25));
    S.Status = Make<TTestShape>(S.Form, S.Form, "Status", Bounds(100, 80, 25, 25));
    S.Status->SetColor(clRed);
    return S;
}

TForm* BuildConfirmation(TComponent* Owner) {
    TForm* D = TForm::CreateNew(Owner);
    D->SetName("Confirm");
    D->SetBorderStyle(bsDialog);
    D->SetPosition(poScreenCenter);
    D->SetCaption("Atenci\xF3n");
    D->SetClientSize(200, 60);
    auto* Ok = Make<TTestButton>(D, D, "BOk", Bounds(20, 20, 75, 25));
    Ok->ModalResult = mrOk;
    Ok->Default = true;
    auto* Cancel = Make<TTestButton>(D, D, "BCancel", Bounds(105, 20, 75, 25));
    Cancel->ModalResult = mrCancel;
    Cancel->Cancel = true;
    return D;
}

TEST_F(FormTest, ASampleScreenCanBeDrivenEntirelyFromATestAndSavedAsAPicture) {
    TSample S = BuildSample(Application);
    S.Save->OnClick = [&](TObject*) {
        TForm* D = BuildConfirmation(S.Form);
        S.Answer = D->ShowModal();
        D->Free();
        if (S.Answer == mrOk) {
            ++S.Saved;
            S.Status->SetColor(clLime);
        }
    };
    S.Form->Show();
    Ui.RunUntilIdle();
    ASSERT_TRUE(S.Name->Focused());

    Ui.Type("Jos\xE9");
    Ui.Key(VK_TAB);
    Ui.Type("P\xE9rez");
    Ui.RunUntilIdle();
    EXPECT_EQ(S.Name->Typed, "Jos\xE9");
    EXPECT_EQ(S.Surname->Typed, "P\xE9rez");
    EXPECT_TRUE(S.Surname->Focused());

    // The dialog's own loop runs the script: first Escape, then OK by a click.
    Ui.Click(S.Save);
    Ui.Then([&] { Ui.Key(VK_ESCAPE); });
    Ui.RunUntilIdle();
    EXPECT_EQ(S.Answer, mrCancel);
    EXPECT_EQ(S.Saved, 0);
    Clock.Advance(1000);  // a second press at once would be a double click
    Ui.Click(S.Save);
    Ui.Then([&] { Ui.Click(Screen->ActiveForm(), "BOk"); });
    Ui.RunUntilIdle();
    EXPECT_EQ(S.Answer, mrOk);
    EXPECT_EQ(S.Saved, 1);
    EXPECT_TRUE(S.Save->Focused()) << "the focus comes back to the screen after the dialog";
    EXPECT_EQ(Screen->ActiveForm(), S.Form);

    std::string File = (std::filesystem::temp_directory_path() / "zelmor-sample.png").string();
    Ui.SaveToPng(S.Form, File);
    TSurface Back = LoadSurfaceFromPng(File);
    std::filesystem::remove(File);
    TPoint Shape = S.Status->ClientToScreen(TPoint(5, 5));
    TPoint Corner(S.Form->Left(), S.Form->Top());
    EXPECT_EQ(Back.Width(), 320);
    EXPECT_EQ(Back.GetPixel(Shape.x - Corner.x, Shape.y - Corner.y), 0x00FF00u) << "the shape shows the save";
    TPoint Head = S.Header->ClientToScreen(TPoint(5, 5));
    EXPECT_EQ(Back.GetPixel(Head.x - Corner.x, Head.y - Corner.y), 0x000080u);
}

// --- the same kind of screen from a form resource ---

class TAlumnosForm : public TForm {
    ZELMOR_CLASS(TAlumnosForm, TForm)
public:
    using TForm::TForm;
    static void DescribeProperties(TPropertyTable& T) {
        T.Field("Header", &TAlumnosForm::Header);
        T.Field("EName", &TAlumnosForm::EName);
        T.Field("BSave", &TAlumnosForm::BSave);
        T.Handler("FormCreate", &TAlumnosForm::FormCreate);
        T.Handler("BSaveClick", &TAlumnosForm::BSaveClick);
    }
    TTestPanel* Header = nullptr;
    TTestEdit* EName = nullptr;
    TTestButton* BSave = nullptr;
    std::vector<std::string> Done;
    void FormCreate(TObject*) {
        Done.push_back(std::string("created with ") + (EName ? "EName" : "nothing"));
    }
    void BSaveClick(TObject*) { Done.push_back("saved " + EName->Typed); }
};
ZELMOR_IMPLEMENT_COMPONENT(TAlumnosForm, TForm)

const unsigned char AlumnosText[] =
    "object AlumnosForm: TAlumnosForm\n"
    "  Left = 50\n  Top = 40\n  Width = 320\n  Height = 220\n"
    "  BorderStyle = bsSingle\n  Caption = 'Alumnos'\n  Color = clBtnFace\n"
    "  OnCreate = FormCreate\n"
    "  object Header: TTestPanel\n    Height = 30\n    Align = alTop\n    Color = clNavy\n  end\n"
    "  object EName: TTestEdit\n    Left = 10\n    Top = 40\n    Width = 120\n    Height = 21\n    TabOrder "
    "= 0\n  end\n"
    "  object BSave: TTestButton\n    Left = 10\n    Top = 80\n    Width = 75\n    Height = 25\n"
    "    TabOrder = 1\n    OnClick = BSaveClick\n  end\n"
    "end\n";

TEST_F(FormTest, AFormComesFromItsFormResourceWithItsFieldsAndHandlersBound) {
    RegisterTestControls();
    RegisterClass(TAlumnosForm::StaticClassInfo());
    const ZelmorResourceEntry Table[] = {{"forms/Alumnos.zfm", AlumnosText, sizeof AlumnosText - 1},
                                         {nullptr, nullptr, 0}};
    const ZelmorResourceEntry* Previous = UseResourceTable(Table);
    TAlumnosForm* F = nullptr;
    Application->CreateForm(F);
    UseResourceTable(Previous);
    ASSERT_NE(F->EName, nullptr);
    EXPECT_EQ(F->Done, (Log{"created with EName"})) << "OnCreate runs once the resource is read";
    EXPECT_EQ(F->Caption(), "Alumnos");
    EXPECT_EQ(F->Header->Align(), alTop);
    EXPECT_EQ(F->Header->Color(), clNavy);
    EXPECT_EQ(F->Header->Width(), F->ClientWidth()) << "aligned once the form was read";
    F->Show();
    Ui.RunUntilIdle();
    EXPECT_TRUE(F->EName->Focused());
    Ui.Type("Ana");
    Ui.Key(VK_TAB);
    Ui.Key(VK_RETURN);
    Ui.RunUntilIdle();
    EXPECT_EQ(F->Done.back(), "saved Ana") << "Enter on the focused button clicks it";
}

TEST_F(FormTest, AFormWrittenOutHoldsItsControlsInsideTheirParentsAndItsOtherComponents) {
    RegisterTestControls();
    TSample S = BuildSample(Application);
    Make<TTestEdit>(S.Form, S.Header, "EInner", Bounds(5, 5, 50, 20));
    auto* Clock = NewComponent<TTimer>(S.Form);
    Clock->SetName("Reloj");
    AnsiString Text = WriteComponentToText(S.Form);
    size_t Header = Text.find("  object Header: TTestPanel"),
           InHeader = Text.find("    object EInner: TTestEdit");
    size_t HeaderEnd = Text.find("\n  end", Header);
    ASSERT_NE(InHeader, AnsiString::npos) << Text;
    EXPECT_LT(Header, InHeader);
    EXPECT_LT(InHeader, HeaderEnd) << "the edit stands inside the panel that holds it";
    EXPECT_NE(Text.find("  object ESurname: TTestEdit"), AnsiString::npos);
    EXPECT_NE(Text.find("  object Reloj: TTimer"), AnsiString::npos) << "a component on no control";
    S.Form->Free();
    TForm* Back = TForm::CreateNew(Application);
    ReadComponentFromText(Back, Text);
    EXPECT_EQ(WriteComponentToText(Back), Text);
    EXPECT_EQ(dynamic_cast<TControl*>(Back->FindComponent("EInner"))->Parent(),
              Back->FindComponent("Header"));
}

// --- the same screen on a real X server ---

TEST(X11Display, TheSampleScreenOpensAsARealWindowThatShowsItsPixelsAndTakesKeys) {
    TXvfbDisplay X;
    std::string Name = X.Start();
    ZELMOR_NEED_TOOL(!Name.empty(), "Xvfb");
    TDisplay* Display = X.Install();
    ASSERT_NE(Display, nullptr) << "the X server " << Name << " started but cannot be opened";
    TDisplay& Xd = *Display;
    EnsureApplication();
    {
        TManualClock Clock{0, 1000};
        TClockScope UseClock{Clock};
        TSample S = BuildSample(Application);
        S.Form->Show();
        Application->ProcessMessages();
        UpdateWindow(S.Form->Handle());
        EXPECT_EQ(Screen->Width(), 800);
        // The header panel, in the client area of the X window.
        uint32_t Pixel = 0;
        ASSERT_TRUE(X11ReadBack(Xd, S.Form->Handle(), 5, 5, Pixel));
        EXPECT_EQ(Pixel, 0x000080u);
        // A key the server sends to the window reaches the focused edit.
        ASSERT_TRUE(X11SendKey(Xd, S.Form->Handle(), true, 0x0071 /* the q key */));
        ASSERT_TRUE(X11SendKey(Xd, S.Form->Handle(), false, 0x0071));
        Application->ProcessMessages();
        EXPECT_EQ(S.Name->Typed, "q");
        S.Form->Free();
    }
}

}  // namespace
