#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "platform/sys/Dialogs.h"

TEST(Dialogs, ScriptedAnswersComeInOrderAndAreRecorded) {
    TScriptedDialogs dialogs;
    dialogs.Then(IDCANCEL).Then(IDOK, "Curso 2027");
    EXPECT_EQ(MessageBox("Datos versi\xF3n M2 \xBFTransformar?", "Atenci\xF3n", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(InputBox("Carpeta", "Nombre", "Nueva Carpeta"), "Curso 2027");
    ShowMessage("Proceso terminado");  // acknowledged without a queued answer
    ASSERT_EQ(dialogs.Asked().size(), 3u);
    EXPECT_EQ(dialogs.Asked()[0].Caption, "Atenci\xF3n");
    EXPECT_EQ(dialogs.Asked()[0].Flags, unsigned(MB_OKCANCEL));
    EXPECT_EQ(dialogs.Asked()[1].Default, "Nueva Carpeta");
    EXPECT_EQ(dialogs.Texts().back(), "Proceso terminado");
}

TEST(Dialogs, CancelledInputBoxGivesTheDefault) {
    TScriptedDialogs dialogs;
    dialogs.Then(IDCANCEL, "ignored");
    EXPECT_EQ(InputBox("Carpeta", "Nombre", "Nueva Carpeta"), "Nueva Carpeta");
    AnsiString value = "old";
    dialogs.Then(IDCANCEL);
    EXPECT_FALSE(InputQuery("c", "p", value));
    EXPECT_EQ(value, "old");
}

TEST(Dialogs, UnexpectedQuestionsAndUnansweredBoxesRaise) {
    {
        TScriptedDialogs dialogs;
        EXPECT_THROW(MessageBox("\xBF"
                                "Continuar?",
                                "Atenci\xF3n", MB_OKCANCEL),
                     EInvalidOperation);
    }
    EXPECT_EQ(DialogAnswerer(), nullptr);  // the scripted answerer uninstalled itself
    EXPECT_THROW(ShowMessage("nobody sees this"), EInvalidOperation);
}
