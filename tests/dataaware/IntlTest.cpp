// The settings object: its English defaults, a form's Spanish texts copied
// into DefaultIntl, the validation error it raises and the dialog buttons.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/Wwintl.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/Lists.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Forms.h"

namespace {

// The main window's settings component as its form carries it: Connected and
// Spanish texts by their dotted names (only those the tests look at).
const char* MainWindowForm =
    "object ControlaForm: TForm\n"
    "  object wwIntl1: TwwIntl\n"
    "    Navigator.ConfirmDeleteMessage = 'Borrar registro?'\n"
    "    Navigator.Hints.FirstHint = 'Ir a primer registro'\n"
    "    SearchDialog.SearchCharLabel = '&Buscar caracteres'\n"
    "    LocateDialog.BtnCancel = 'Cancelar'\n"
    "    LocateDialog.BtnClose = 'Close'\n"
    "    MonthCalendar.PopupYearLabel = 'Edit Year'\n"
    "    OKCancelBitmapped = True\n"
    "    BtnCancelCaption = 'Cancelar'\n"
    "    Connected = True\n"
    "    UserMessages.PictureValidateError = 'Caracteres inv'#225'lidos. Campo : '\n"
    "    UserMessages.wwDBGridDiscardChanges = #191'Desechar los  cambios en el Registro?'\n"
    "    FilterDialog.BtnNewSearch = 'otra &B'#250'squeda'\n"
    "    RichEdit.MenuLabels.FileCaption = '&File'\n"
    "    CheckBoxInGridStyle = cbStyleAuto\n"
    "    FilterMemoSize = 65536\n"
    "  end\n"
    "end\n";

class Intl : public ::testing::Test {
protected:
    TLibraryScope Library;
};

}  // namespace

TEST_F(Intl, WithoutAFormTheLibrarySpeaksEnglish) {
    ASSERT_NE(DefaultIntl, nullptr);
    EXPECT_EQ(DefaultIntl->Owner(), Application);
    EXPECT_FALSE(DefaultIntl->Connected());
    EXPECT_EQ(DefaultIntl->Navigator()->ConfirmDeleteMessage(), "Delete record?");
    EXPECT_EQ(DefaultIntl->UserMessages()->PictureValidateError(), "Invalid characters. Field : ");
    EXPECT_EQ(DefaultIntl->SearchDialog()->StatusRecLabel(), "Rec #");
    EXPECT_EQ(DefaultIntl->LocateDialog()->BtnClose(), "Close");
    EXPECT_EQ(DefaultIntl->FilterDialog()->SummaryCaption(), "");
    EXPECT_EQ(DefaultIntl->RichEdit()->ParagraphDialog()->Spacing1_5(), "");
    EXPECT_EQ(DefaultIntl->RichEdit()->MenuLabels()->RedoCaption(), "");
    EXPECT_EQ(DefaultIntl->RichEdit()->TabDialog()->HelpContext(), 0);
    EXPECT_EQ(DefaultIntl->DefaultEpochYear(), 1950);
    EXPECT_EQ(DefaultIntl->FilterMemoSize(), 65536);
    EXPECT_EQ(DefaultIntl->LibraryVersion(), "4000.0.3");
    EXPECT_TRUE(DefaultIntl->ReopenToCancelRange());
    EXPECT_TRUE(DefaultIntl->UseLocateMethodForSearch());
    EXPECT_TRUE(DefaultIntl->ADO()->UseLocateWhenFindingValue());
    EXPECT_EQ(DefaultIntl->GridPaintStyle(), gpsDynamicDeviceContext);
}

TEST_F(Intl, TheMainWindowsComponentFillsDefaultIntl) {
    TForm* form = TForm::CreateNew(Application);
    TReader(MainWindowForm, "Controla").ReadRootComponent(form);
    EXPECT_EQ(DefaultIntl->Navigator()->ConfirmDeleteMessage(), "Borrar registro?");
    EXPECT_EQ(DefaultIntl->Navigator()->Hints()->FirstHint(), "Ir a primer registro");
    EXPECT_EQ(DefaultIntl->Navigator()->Hints()->LastHint(), "Move to last record");
    EXPECT_EQ(DefaultIntl->UserMessages()->PictureValidateError(), "Caracteres inv\xE1lidos. Campo : ");
    EXPECT_EQ(DefaultIntl->UserMessages()->wwDBGridDiscardChanges(), "\xBF"
                                                                     "Desechar los  cambios en el Registro?");
    EXPECT_EQ(DefaultIntl->UserMessages()->RichEditClearWarning(), "Clear entire text?");
    EXPECT_EQ(DefaultIntl->LocateDialog()->BtnClose(), "Close");
    EXPECT_EQ(DefaultIntl->LocateDialog()->BtnCancel(), "Cancelar");
    EXPECT_EQ(DefaultIntl->FilterDialog()->BtnNewSearch(), "otra &B\xFAsqueda");
    EXPECT_EQ(DefaultIntl->BtnCancelCaption(), "Cancelar");
    EXPECT_EQ(DefaultIntl->BtnOKCaption(), "&OK");
    // DefaultIntl itself never counts as connected, and keeps its version.
    EXPECT_FALSE(DefaultIntl->Connected());
    auto* placed = dynamic_cast<TwwIntl*>(form->FindComponent("wwIntl1"));
    ASSERT_NE(placed, nullptr);
    EXPECT_TRUE(placed->Connected());
    // A later change of the placed texts stays there; the two grid styles go on at once.
    placed->Navigator()->SetConfirmDeleteMessage("Otro");
    EXPECT_EQ(DefaultIntl->Navigator()->ConfirmDeleteMessage(), "Borrar registro?");
    placed->SetCheckBoxInGridStyle(cbStyleXmark);
    placed->SetGridPaintStyle(gpsBitmapCanvas);
    EXPECT_EQ(DefaultIntl->CheckBoxInGridStyle(), cbStyleXmark);
    EXPECT_EQ(DefaultIntl->GridPaintStyle(), gpsBitmapCanvas);
    // Freeing the form's object leaves DefaultIntl as it is.
    form->Free();
    ASSERT_NE(DefaultIntl, nullptr);
    EXPECT_EQ(DefaultIntl->Navigator()->ConfirmDeleteMessage(), "Borrar registro?");
}

TEST_F(Intl, CopyRules) {
    auto* placed = NewComponent<TwwIntl>(nullptr);
    placed->SetCheckBoxInGridStyle(cbStyleCheckmark);
    EXPECT_EQ(DefaultIntl->CheckBoxInGridStyle(), cbStyleAuto);  // not connected: nothing goes on
    struct Case {
        const char* Placed;
        const char* Copied;
    } cases[] = {{"", ""}, {".ini", ""}, {"grid", "grid.ini"}};
    for (const Case& c : cases) {
        placed->SetIniFileName(c.Placed);
        placed->SetConnected(true);
        EXPECT_EQ(DefaultIntl->IniFileName(), c.Copied) << c.Placed;
    }
    placed->SetDefaultEpochYear(1980);
    placed->SetFilterMemoSize(10);
    placed->SetReopenToCancelRange(false);
    placed->SetLibraryVersion("9");
    EXPECT_EQ(placed->LibraryVersion(), "4000.0.3");  // the setter changes nothing
    placed->RichEdit()->ParagraphDialog()->SetHelpContext(7);
    placed->SetConnected(false);  // no copy
    EXPECT_EQ(DefaultIntl->DefaultEpochYear(), 1950);
    placed->SetConnected(true);
    EXPECT_EQ(DefaultIntl->DefaultEpochYear(), 1980);
    EXPECT_EQ(DefaultIntl->FilterMemoSize(), 10);
    EXPECT_FALSE(DefaultIntl->ReopenToCancelRange());
    EXPECT_EQ(DefaultIntl->RichEdit()->ParagraphDialog()->HelpContext(), 7);
    EXPECT_FALSE(DefaultIntl->Connected());
    // DefaultIntl copied into itself changes nothing.
    CopyIntoDefaultIntl(DefaultIntl);
    EXPECT_EQ(DefaultIntl->DefaultEpochYear(), 1980);
    placed->Free();
}

TEST_F(Intl, ValidationErrorBeepsAndRaisesUnlessTheHandlerTakesOver) {
    TBeepRecorder beeps;
    try {
        DefaultIntl->DoValidationError(nullptr, nullptr);
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Invalid input value.  Use escape key to abandon changes");
    }
    EXPECT_EQ(beeps.Beeps().size(), 1u);
    DefaultIntl->OnValidationErrorUsingMask = [](TObject*, TField*, AnsiString& Msg, bool&) { Msg = "Mal"; };
    try {
        DefaultIntl->DoValidationError(nullptr, nullptr);
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Mal");
    }
    DefaultIntl->OnValidationErrorUsingMask = [](TObject*, TField*, AnsiString&, bool& DoDefault) {
        DoDefault = false;
    };
    EXPECT_NO_THROW(DefaultIntl->DoValidationError(nullptr, nullptr));
    EXPECT_EQ(beeps.Beeps().size(), 2u);
}

TEST_F(Intl, DefaultIntlIsFreedOnce) {
    // A second start counts; only the matching finish frees it.
    StartDataAwareLibrary();
    FinishDataAwareLibrary();
    ASSERT_NE(DefaultIntl, nullptr);
    // Freed by its owner first, the pointer clears and the finish finds nothing to free.
    DefaultIntl->Free();
    EXPECT_EQ(DefaultIntl, nullptr);
}

TEST_F(Intl, DialogButtonsFollowTheSettingsAndTheScreensPixels) {
    TForm* form = TForm::CreateNew(Application);
    TButton* ok = CreateDialogButton(form, bkOK, 120);
    EXPECT_NE(dynamic_cast<TBitBtn*>(ok), nullptr);
    EXPECT_EQ(ok->Width(), 96);
    EXPECT_EQ(ok->Height(), 33);
    EXPECT_EQ(ok->Caption(), "&OK");
    EXPECT_EQ(ok->ModalResult(), mrOk);
    EXPECT_FALSE(ok->Visible());
    EXPECT_EQ(ok->Owner(), form);
    EXPECT_EQ(ok->Parent(), form);
    DefaultIntl->SetOKCancelBitmapped(false);
    DefaultIntl->SetBtnCancelCaption("Cancelar");
    TButton* cancel = CreateDialogButton(form, bkCancel, 120);
    EXPECT_EQ(dynamic_cast<TBitBtn*>(cancel), nullptr);
    EXPECT_EQ(cancel->Width(), 96);
    EXPECT_EQ(cancel->Height(), 30);
    EXPECT_EQ(cancel->Caption(), "Cancelar");
    EXPECT_TRUE(cancel->Cancel());
    EXPECT_EQ(CreateDialogButton(form, bkHelp)->Caption(), "Help");
    EXPECT_EQ(CreateDialogButton(form, bkOK, 0)->Height(), 24);  // the screen's 96 pixels per inch
    form->Free();
}

TEST_F(Intl, ControllerForgetsAControlThatGoes) {
    auto* owner = new TComponent(nullptr);
    auto* controller = NewComponent<TwwController>(owner);
    auto* control = NewComponent<TComponent>(owner);
    auto* stranger = NewComponent<TComponent>(owner);
    controller->ControlList()->Add(control);
    controller->ControlList()->Add(control);  // registered twice
    stranger->Free();                         // never registered: the list stays
    EXPECT_EQ(controller->ControlList()->Count(), 2);
    control->Free();
    EXPECT_EQ(controller->ControlList()->Count(), 1);  // once per notice
    owner->Free();
}
