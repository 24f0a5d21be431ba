// The screen fixtures undo what they set up even when a test stops halfway
// at a failed assertion: no display, form, clock, answerer or form table of
// the test stays for the tests after it.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "forms/TestScreens.h"
#include "platform/classes/Resources.h"

namespace {

// One test of the fixture, run here the way the framework runs a test.
template <class Fixture>
class TProbe : public Fixture {
public:
    void Run(const ::testing::TestPartResultArray& Reported) {
        this->SetUp();
        if (Reported.size() == 0) Body();
        this->TearDown();
    }

protected:
    virtual void Body() = 0;

private:
    void TestBody() override {}
};

class OffscreenHalfway : public TProbe<FormTest> {
    void Body() override {
        auto* S = Open<TSampleForm>();
        S->Show();
        Answers().Then(mrOk);
        Ui.RunUntilIdle();
        ASSERT_EQ(S->Saved, 1) << "nothing was saved: the test stops here";
    }
};

class X11Halfway : public TProbe<X11Screen> {
    void Body() override {
        Open<TSampleForm>()->Show();
        Application->ProcessMessages();
        ASSERT_EQ(Screen->Width(), 0) << "the screen is 800 wide: the test stops here";
    }
};

// What the probe reported: its failures (and a skip, when it was skipped).
template <class Probe>
std::vector<::testing::TestPartResult> RunHalfway() {
    ::testing::TestPartResultArray Reported;
    {
        ::testing::ScopedFakeTestPartResultReporter Catch(&Reported);
        Probe P;
        P.Run(Reported);
    }
    std::vector<::testing::TestPartResult> Results;
    for (int I = 0; I < Reported.size(); ++I) Results.push_back(Reported.GetTestPartResult(I));
    return Results;
}

TEST(ScreenFixtures, ATestThatFailsHalfwayLeavesNothingOfItsScreenBehind) {
    TClock* ClockBefore = &Clock();
    TDialogAnswerer* AnswererBefore = DialogAnswerer();
    auto ExpectNothingLeft = [&] {
        EXPECT_FALSE(DisplayInstalled());
        EXPECT_EQ(Screen->FormCount(), 0);
        EXPECT_EQ(&Clock(), ClockBefore);
        EXPECT_EQ(DialogAnswerer(), AnswererBefore);
        TResource Form;
        EXPECT_FALSE(FindResource(rkForm, "TSampleForm", Form)) << "the test's forms are gone with it";
    };

    std::vector<::testing::TestPartResult> Offscreen = RunHalfway<OffscreenHalfway>();
    ASSERT_EQ(Offscreen.size(), 1u);
    EXPECT_TRUE(Offscreen[0].fatally_failed()) << Offscreen[0].message();
    ExpectNothingLeft();

    std::vector<::testing::TestPartResult> X = RunHalfway<X11Halfway>();
    ASSERT_EQ(X.size(), 1u);
    ZELMOR_NEED_TOOL(!X[0].skipped(), "Xvfb");
    EXPECT_TRUE(X[0].fatally_failed()) << X[0].message();
    ExpectNothingLeft();
}

}  // namespace
