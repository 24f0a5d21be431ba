// The students' grid of the sample school (forms/AlumGrid.zfm), drawn and
// driven as the students screen would be.
#include <gtest/gtest.h>

#include "GridFixture.h"
#include "dataaware/Wwtable.h"
#include "forms/AlumGrid.h"
#include "platform/db/Fields.h"
#include "tests/support/ReferencePicture.h"

namespace {

class StudentsGrid : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CopySampleStudents();
        F = NewComponent<TAlumGridForm>(Application);
        F->TAlum->Open();
        ShowWithGrid(F, F->DBGridAlum);
    }
    TAlumGridForm* F = nullptr;
    TwwDBGrid* G() { return F->DBGridAlum; }
};

TEST_F(StudentsGrid, Smoke) {
    EXPECT_EQ(G()->ColCount(), 48);
    SaveSurfaceToPng(Ui().Picture(F), "/tmp/students.png");
}

}  // namespace
