// Two screens on one table in two programs (two staff at two machines): both
// browse; the first to post keeps the table until it closes it, the other's
// post is refused with the edit kept, and after that close it sees the rows
// and posts.
#include <gtest/gtest.h>

#include "DatasetFixture.h"
#include "DbTestSupport.h"
#include "platform/rtl/Strings.h"

namespace {

class TableSharing : public DatasetFixture {
protected:
    void SetUp() override {
        DatasetFixture::SetUp();
        MakeStudents();
    }
    static std::string Joined(const std::vector<AnsiString>& Values) {
        std::string out;
        for (const AnsiString& v : Values) out += (out.empty() ? "" : ",") + v;
        return out;
    }
};

}  // namespace

TEST_F(TableSharing, TheSecondScreenIsRefusedWhileTheFirstWritesAndPostsAfterItCloses) {
    TPeer other([&](TPeer& P) {
        TTable* table = NewTable("alumnos", "NOMBRE");
        table->Open();
        P.Say(Joined(Column(table, "NOMBRE")));
        P.Hear();
        table->First();  // Ana
        table->Edit();
        table->FieldByName("NOTA")->SetAsFloat(1);
        try {
            table->Post();
            P.Say("posted");
        } catch (const EDatabaseError& e) {
            P.Say(e.Message() + (table->State() == dsEdit ? " (still editing)" : ""));
        }
        table->Cancel();
        P.Hear();
        P.Say(Joined(Column(table, "NOMBRE")));
        table->First();
        table->Edit();
        table->FieldByName("NOTA")->SetAsFloat(1);
        table->Post();
        table->Close();
        P.Say("posted");
    });
    EXPECT_EQ(other.Hear(), "Ana,Eva,Juan,Luis,Pedro");
    TTable* table = NewTable("alumnos", "NOMBRE");
    table->Open();
    ASSERT_TRUE(table->FindKey({"Luis"}));
    table->Edit();
    table->FieldByName("NOMBRE")->SetAsString("Luisa");
    table->Post();
    other.Say("try");
    EXPECT_EQ(other.Hear(), "La tabla alumnos est\xE1 siendo usada por otro usuario (still editing)");
    table->Append();
    table->FieldByName("N")->SetAsInteger(6);
    table->FieldByName("NOMBRE")->SetAsString("Zoe");
    table->Post();
    table->Close();
    other.Say("again");
    EXPECT_EQ(other.Hear(), "Ana,Eva,Juan,Luisa,Pedro,Zoe");
    EXPECT_EQ(other.Hear(), "posted");
    EXPECT_EQ(other.Finish(), 0);
    table->Open();
    EXPECT_EQ(Column(table, "NOMBRE"),
              (std::vector<AnsiString>{"Ana", "Eva", "Juan", "Luisa", "Pedro", "Zoe"}));
    table->First();
    EXPECT_EQ(table->FieldByName("NOTA")->AsFloat(), 1);
}

TEST_F(TableSharing, AnEditOfARowAnotherProgramDeletedIsNotWrittenIntoIt) {
    TPeer other([&](TPeer& P) {
        TTable* table = NewTable("alumnos", "NOMBRE");
        table->Open();
        table->FindKey({"Pedro"});
        table->Edit();
        table->FieldByName("NOTA")->SetAsFloat(8);
        P.Say("editing");
        P.Hear();
        try {
            table->Post();
            P.Say("posted");
        } catch (const EDatabaseError& e) {
            P.Say(e.Message() + (table->State() == dsEdit ? " (still editing)" : ""));
        }
    });
    EXPECT_EQ(other.Hear(), "editing");
    TTable* table = NewTable("alumnos", "NOMBRE");
    table->Open();
    ASSERT_TRUE(table->FindKey({"Pedro"}));
    table->Delete();
    table->Close();
    other.Say("post");
    EXPECT_EQ(other.Hear(), std::string(DBText::BookmarkNotFound) + " (still editing)");
    EXPECT_EQ(other.Finish(), 0);
}

// A batch of work holds its tables (TTableHold): taking them is refused,
// with none held, while another program writes one of those it would write;
// while it holds them, the other program's post is refused and its reader
// waits, and then sees the whole batch, never a part of it.
TEST_F(TableSharing, ABatchIsRefusedWhileAnotherProgramWritesAndIsSeenWholeWhenItEnds) {
    CreateTable("cursos", {{"TNC", ftString, 4}}, {{"TNC", "TNC"}});
    AddRows("cursos", {{{"TNC", "M1A"}}});
    auto post = [](TTable* Table, const char* Nombre) {
        try {
            Table->Append();
            Table->FieldByName("NOMBRE")->SetAsString(Nombre);
            Table->Post();
            return std::string("posted");
        } catch (const EDatabaseError& e) {
            Table->Cancel();
            return std::string(e.Message());
        }
    };
    TPeer other([&](TPeer& P) {
        TTable* cursos = NewTable("cursos");
        TTable* alumnos = NewTable("alumnos", "NOMBRE");
        cursos->Open();
        alumnos->Open();
        cursos->Append();
        cursos->FieldByName("TNC")->SetAsString("M2A");
        cursos->Post();  // its write session on cursos stays open
        P.Say("writing cursos");
        P.Hear();
        P.Say(post(alumnos, "Alba"));  // the refused batch holds nothing
        cursos->Close();
        alumnos->Close();  // the end of its write sessions
        alumnos->Open();
        P.Say("closed");
        P.Hear();
        try {
            alumnos->Append();
            alumnos->FieldByName("NOMBRE")->SetAsString("Blas");
            alumnos->Post();
            P.Say("posted");
        } catch (const EDatabaseError& e) {
            P.Say(e.Message());
            alumnos->Cancel();  // reads the table again: waits for the batch
        }
        P.Hear();
        alumnos->First();  // waits for the batch to end
        P.Say(Joined(Column(alumnos, "NOMBRE")));
        P.Say(post(alumnos, "Ciro"));
    });
    ASSERT_EQ(other.Hear(), "writing cursos");
    try {
        TTableHold lote("Zelmor", {"alumnos", "cursos"});
        ADD_FAILURE() << "the batch was not refused";
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), dbeInUse);
        EXPECT_EQ(e.Message(), "La tabla cursos est\xE1 siendo usada por otro usuario");
    }
    other.Say("post");
    EXPECT_EQ(other.Hear(), "posted");
    EXPECT_EQ(other.Hear(), "closed");

    {
        TTableHold lote("Zelmor", {"alumnos"}, {"cursos"});
        TTable* alumnos = NewTable("alumnos", "NOMBRE");
        alumnos->Open();
        EXPECT_EQ(post(alumnos, "Xavi"), "posted");
        other.Say("post");
        EXPECT_EQ(other.Hear(), "La tabla alumnos est\xE1 siendo usada por otro usuario");
        other.Say("read");
        EXPECT_EQ(post(alumnos, "Zoe"), "posted");
        alumnos->Close();
        lote.End();
    }
    EXPECT_EQ(other.Hear(), "Alba,Ana,Eva,Juan,Luis,Pedro,Xavi,Zoe");
    EXPECT_EQ(other.Hear(), "posted");
    EXPECT_EQ(other.Finish(), 0);
}
