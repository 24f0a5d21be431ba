#pragma once
// Help requests. This machine has no help viewer: every request is handed to
// the sink in force, which tests use to see which help file and context the
// program asked for; with none (as the program runs) the user is told in a
// message box that help is not available.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/AnsiString.h"

constexpr unsigned HELP_CONTEXT = 0x0001;
constexpr unsigned HELP_QUIT = 0x0002;
constexpr unsigned HELP_CONTENTS = 0x0003;
constexpr unsigned HELP_INDEX = HELP_CONTENTS;
constexpr unsigned HELP_HELPONHELP = 0x0004;
constexpr unsigned HELP_KEY = 0x0101;
constexpr unsigned HELP_FINDER = 0x000B;

struct THelpRequest {
    AnsiString HelpFile;
    unsigned Command = 0;
    uintptr_t Data = 0;  // the context number for HELP_CONTEXT
};

using THelpSink = std::function<void(const THelpRequest& Request)>;

// Hands the request to the sink and answers true: the program goes on as if
// the viewer had opened. Without a sink it shows "La ayuda no est\xE1
// disponible en este sistema." (but for HELP_QUIT) and answers false.
bool WinHelp(uintptr_t Window, std::string_view HelpFile, unsigned Command, uintptr_t Data);
THelpSink SetHelpSink(THelpSink Sink);

// Records every request for its lifetime.
class THelpRecorder {
public:
    THelpRecorder();
    ~THelpRecorder();
    THelpRecorder(const THelpRecorder&) = delete;
    THelpRecorder& operator=(const THelpRecorder&) = delete;
    const std::vector<THelpRequest>& Requests() const { return FRequests; }

private:
    std::vector<THelpRequest> FRequests;
    THelpSink FPrevious;
};
