#pragma once
// The grid's tests: the data-aware machine, the off-screen display with a
// clock that moves only when told, the test's own forms, message boxes
// answered by script, and helpers that type, click into cells and read the
// grid's pixels at its client coordinates.
#include <gtest/gtest.h>

#include <string_view>

#include "LibraryTestSupport.h"
#include "dataaware/Wwdbgrid.h"
#include "platform/classes/Resources.h"
#include "platform/rtl/Clock.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Forms.h"
#include "tests/support/TestResources.h"
#include "tests/support/ui/ScreenSession.h"
#include "tests/support/ui/UiDriver.h"

class GridFixture : public DataAwareFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    static TUiDriver& Ui();
    // Feeds keys (KeyScript) and runs the queue.
    void Keys(std::string_view Script);
    void Idle() { Ui().RunUntilIdle(); }
    // The sample school's students table in the data folder.
    void CopySampleStudents();
    // Shows a form, its grid focused.
    void ShowWithGrid(TForm* Form, TwwCustomDBGrid* Grid);
    // A pixel of the grid, at its client coordinates.
    uint32_t Px(TwwCustomDBGrid* Grid, int X, int Y);
    // The middle of a cell, in the grid's client coordinates.
    static TPoint CellCenter(TwwCustomDBGrid* Grid, int Col, int Row);
    void ClickCell(TwwCustomDBGrid* Grid, int Col, int Row);
    void DoubleClickCell(TwwCustomDBGrid* Grid, int Col, int Row);
    static TRect CellOf(TwwCustomDBGrid* Grid, int Col, int Row);
    // The grid column that shows a field; -1 for none.
    static int GridColOf(TwwCustomDBGrid* Grid, std::string_view Field);

    TResourceScope Forms{kTestResources};
    TManualClock Clock{45358.5, 1000};
    TClockScope UseClock{Clock};
    TScriptedDialogs Answers;
    TForm* Shown = nullptr;
};

// The RGB value of a colour, as the pixels hold it.
uint32_t RgbOf(TColor Color);
