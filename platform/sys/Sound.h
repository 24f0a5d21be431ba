#pragma once
// The system beeps. There is no sound here: each beep goes to the sink in
// force, which by default does nothing; tests install a recorder and read
// which beeps the code asked for.
#include <functional>
#include <vector>

// The beep types (also the icon flags of message boxes).
constexpr unsigned MB_ICONHAND = 0x10;
constexpr unsigned MB_ICONERROR = MB_ICONHAND;
constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr unsigned MB_ICONASTERISK = 0x40;
constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;

using TBeepSink = std::function<void(unsigned Type)>;

// Always true, as the program never looks at the answer.
bool MessageBeep(unsigned Type);
// Installs Sink (an empty one mutes) and answers the one it replaces.
TBeepSink SetBeepSink(TBeepSink Sink);

// Records every beep for its lifetime, then puts the previous sink back.
class TBeepRecorder {
public:
    TBeepRecorder();
    ~TBeepRecorder();
    TBeepRecorder(const TBeepRecorder&) = delete;
    TBeepRecorder& operator=(const TBeepRecorder&) = delete;
    const std::vector<unsigned>& Beeps() const { return FBeeps; }

private:
    std::vector<unsigned> FBeeps;
    TBeepSink FPrevious;
};
