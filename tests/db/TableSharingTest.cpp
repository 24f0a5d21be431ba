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
