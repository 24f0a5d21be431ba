// The searches and filters on a school of 3,000 students, against a walk of
// every record: faults of index levels and of clones only show at this size.
#include <gtest/gtest.h>

#include <algorithm>

#include "LibraryTestSupport.h"
#include "dataaware/Wwlocate.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwhelpers.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "tools/SampleSchool.h"

namespace {

class SchoolSize : public DataAwareFixture {
protected:
    TwwTable* Alum = nullptr;
    void SetUp() override {
        DataAwareFixture::SetUp();
        const TEscuelaEjemplo school = GeneraEscuela(SemillaEjemplo, 3000);
        EscribeIntercambio(school.Intercambio, "C:\\QTEMP");
        PreparaCarpetaDatos(school, "C:\\QTEMP", "C:\\GRANDE");
        Alum = NewComponent<TwwTable>(Form);
        Alum->SetDatabaseName("C:\\GRANDE");
        Alum->SetTableName("alum");
        Alum->Open();
        Alum->UseIndexForFields("NOMBRE");
    }
    // The bookmark of the first record in the table's order that Matches, by a walk.
    TBookmark FirstByWalk(const std::function<bool(const AnsiString&)>& Matches) {
        for (Alum->First(); !Alum->Eof(); Alum->Next())
            if (Matches(Alum->FieldByName("NOMBRE")->AsString())) return Alum->GetBookmark();
        return {};
    }
};

TEST_F(SchoolSize, SearchesFindTheFirstMatchInOrder) {
    ASSERT_EQ(Alum->RecordCount(), 3000);
    EXPECT_EQ(Alum->IndexName(), "NOMBRE");
    std::vector<AnsiString> names = Column(Alum, "NOMBRE");
    ASSERT_TRUE(std::is_sorted(names.begin(), names.end()));
    for (size_t i = 0; i < names.size(); i += 97) {
        const AnsiString prefix = names[i].substr(0, 4);
        const AnsiString middle = AnsiUpperCase(names[i].substr(2, 3));
        SCOPED_TRACE(names[i]);
        TBookmark expected =
            FirstByWalk([&](const AnsiString& Name) { return Name.compare(0, prefix.size(), prefix) == 0; });
        ASSERT_TRUE(IncrementalIndexSearch(Alum, prefix, 0));
        EXPECT_EQ(Alum->GetBookmark(), expected);
        ASSERT_TRUE(FindFieldValue(true, Alum, "NOMBRE", prefix, mtPartialMatchStart, true, false));
        EXPECT_EQ(Alum->GetBookmark(), expected);
        expected = FirstByWalk(
            [&](const AnsiString& Name) { return AnsiUpperCase(Name).find(middle) != AnsiString::npos; });
        ASSERT_TRUE(FindFieldValue(true, Alum, "NOMBRE", middle, mtPartialMatchAny, false, false));
        EXPECT_EQ(Alum->GetBookmark(), expected);
    }
}

TEST_F(SchoolSize, FilterBlocksKeepWhatTheEngineKeeps) {
    std::vector<AnsiString> courses;
    {
        TwwTable* cursos = NewComponent<TwwTable>(Form);
        cursos->SetDatabaseName("C:\\GRANDE");
        cursos->SetTableName("cursos");
        courses = Column((cursos->Open(), cursos), "TNC");
        cursos->Free();
    }
    ASSERT_GE(courses.size(), 6u);
    TTable* plain = NewComponent<TTable>(Form);
    plain->SetDatabaseName("C:\\GRANDE");
    plain->SetTableName("alum");
    plain->Open();
    int total = 0;
    for (const AnsiString& course : courses) {
        TStringList lines;
        lines.Add("TNC = \"" + course + "\"");
        lines.Add("REPITE = F");
        Alum->SetwwFilter(&lines);
        FilterEqual(*plain, "TNC", course);
        int repeaters = 0, count = 0;
        for (plain->First(); !plain->Eof(); plain->Next()) {
            ++count;
            if (plain->FieldByName("REPITE")->AsBoolean()) ++repeaters;
        }
        EXPECT_EQ(Alum->RecordCount(), count - repeaters) << course;
        total += count;
    }
    EXPECT_EQ(total, 3000);
}
}  // namespace
