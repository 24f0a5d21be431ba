#include "GridFixture.h"

#include <filesystem>

#include "forms/AlumGrid.h"
#include "forms/GridControls.h"
#include "platform/db/DB.h"
#include "platform/gfx/Graphics.h"
#include "tests/support/ui/KeyScript.h"

void GridFixture::SetUp() {
    DataAwareFixture::SetUp();
    RegisterDBClasses();
    RegisterClasses({&TAlumGridForm::StaticClassInfo(), &TGridControlsForm::StaticClassInfo()});
}

void GridFixture::TearDown() {
    if (Shown) Shown->Free();
    DataAwareFixture::TearDown();
}

TUiDriver& GridFixture::Ui() { return static_cast<TUiDriver&>(CurrentDisplay()); }

void GridFixture::Keys(std::string_view Script) {
    PlayKeys(Ui(), Script);
    Ui().RunUntilIdle();
}

void GridFixture::CopySampleStudents() {
    const auto Samples = std::filesystem::path(ZELMOR_SOURCE_DIR) / "samples" / "datos";
    for (const char* File : {"alum.dbf", "alum.mdx"})
        std::filesystem::copy_file(Samples / File, Data / File,
                                   std::filesystem::copy_options::overwrite_existing);
}

void GridFixture::ShowWithGrid(TForm* Form, TwwCustomDBGrid* Grid) {
    Shown = Form;
    Form->Show();
    Grid->SetFocus();
    Idle();
}

uint32_t GridFixture::Px(TwwCustomDBGrid* Grid, int X, int Y) {
    TCustomForm* Form = GetParentForm(Grid);
    TPoint P = Form->ScreenToClient(Grid->ClientToScreen(TPoint(X, Y)));
    TPoint Origin = Form->ClientToScreen(TPoint(0, 0));
    TRect Window;
    GetWindowRect(Form->Handle(), Window);
    return PixelOf(Ui(), Form, P.x + Origin.x - Window.Left, P.y + Origin.y - Window.Top) & 0xFFFFFFu;
}

TRect GridFixture::CellOf(TwwCustomDBGrid* Grid, int Col, int Row) { return Grid->CellRect(Col, Row); }

int GridFixture::GridColOf(TwwCustomDBGrid* Grid, std::string_view Field) {
    for (int C = Grid->IndicatorOffset(); C < Grid->ColCount(); ++C)
        if (Grid->GetColumnFieldName(C) == Field) return C;
    return -1;
}

TPoint GridFixture::CellCenter(TwwCustomDBGrid* Grid, int Col, int Row) {
    TRect R = Grid->CellRect(Col, Row);
    return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
}

void GridFixture::ClickCell(TwwCustomDBGrid* Grid, int Col, int Row) {
    Ui().Click(Grid, CellCenter(Grid, Col, Row));
    Idle();
}

void GridFixture::DoubleClickCell(TwwCustomDBGrid* Grid, int Col, int Row) {
    Ui().DoubleClick(Grid->ClientToScreen(CellCenter(Grid, Col, Row)));
    Idle();
}

uint32_t RgbOf(TColor Color) {
    uint32_t C = ColorToRGB(Color);
    return ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF);
}
