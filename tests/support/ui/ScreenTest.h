#pragma once
// The fixtures of the tests that drive screens. Each test gets a clock that
// moves only when told, the test executable's own forms before the
// program's resources, a display with a fresh application on it, and message
// boxes answered as the test says; whatever happens in the test, all of it is
// undone when it ends.
//
//   class AlumnosScreen : public ScreenTest {
//   protected:
//       AlumnosScreen() : ScreenTest(kTestResources) { RegisterTestScreens(); }
//   };
//   TEST_F(AlumnosScreen, SavesWhatWasTyped) {
//       auto* F = Open<TAlumnosForm>();
//       F->Show();
//       Ui.Type("Ana");
//       Ui.Click(F->BSave);
//       Ui.RunUntilIdle();
//       ...
//   }
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/backend/Backend.h"
#include "platform/rtl/Clock.h"
#include "platform/sys/Dialogs.h"
#include "tests/support/OutsideTools.h"
#include "tests/support/ui/ScreenSession.h"
#include "tests/support/ui/UiDriver.h"
#include "tests/support/ui/X11Support.h"

// Off screen: the driver Ui feeds the keys and mouse and runs the loops.
class ScreenTest : public ::testing::Test {
protected:
    // A screen of Width x Height pixels (1024 x 768 unless a test needs
    // another size).
    explicit ScreenTest(const ZelmorResourceEntry* Forms = nullptr, int Width = 1024, int Height = 768)
        : FForms(Forms), FSession(std::make_unique<TUiDriver>(Width, Height)),
          Ui(static_cast<TUiDriver&>(CurrentDisplay())) {}

    template <class T>
    T* Open() {
        return OpenScreen<T>();
    }
    // Answers for the message boxes from here to the end of the test, in
    // place of the boxes as forms: a box nobody queued an answer for fails.
    TScriptedDialogs& Answers() {
        if (!FAnswers) FAnswers.emplace();
        return *FAnswers;
    }

    TManualClock Clock{0, 1000};

private:
    TClockScope FUseClock{Clock};
    TResourceScope FForms;
    TUiSession FSession;

protected:
    TUiDriver& Ui;

private:
    std::optional<TScriptedDialogs> FAnswers;
};

// On a private X server, for the few tests that must see real windows: the
// server starts before each test and stops after it. Without Xvfb the test
// fails under the test command and is skipped elsewhere.
class X11ScreenTest : public ::testing::Test {
protected:
    explicit X11ScreenTest(const ZelmorResourceEntry* Forms = nullptr) : FForms(Forms) {}

    void SetUp() override {
        FName = FServer.Start();
        ZELMOR_NEED_TOOL(!FName.empty(), "Xvfb");
        std::unique_ptr<TDisplay> X = CreateX11Display(FName.c_str());
        ASSERT_NE(X, nullptr) << "the X server " << FName << " started but cannot be opened";
        FSession.emplace(std::move(X));
    }

    template <class T>
    T* Open() {
        return OpenScreen<T>();
    }
    // The X display, once SetUp installed it.
    TDisplay& X() { return CurrentDisplay(); }
    // The X server's display name (":1").
    const std::string& ServerName() const { return FName; }

    TManualClock Clock{0, 1000};

private:
    // The server outlives the display that speaks to it.
    TXvfb FServer;
    std::string FName;
    TClockScope FUseClock{Clock};
    TResourceScope FForms;
    std::optional<TUiSession> FSession;
};
