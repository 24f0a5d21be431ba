#include "platform/sys/Help.h"

#include "platform/sys/Dialogs.h"

namespace {
THelpSink& Sink() {
    static THelpSink sink;
    return sink;
}
}  // namespace

bool WinHelp(uintptr_t, std::string_view HelpFile, unsigned Command, uintptr_t Data) {
    if (Sink()) {
        Sink()(THelpRequest{AnsiString(HelpFile), Command, Data});
        return true;
    }
    // A user who pressed "Ayuda" or F1 would otherwise take the silence for
    // a broken button. Closing the viewer asks nothing of the user.
    if (Command != HELP_QUIT) ShowMessage("La ayuda no est\xE1 disponible en este sistema.");
    return false;
}

THelpSink SetHelpSink(THelpSink NewSink) {
    THelpSink previous = std::move(Sink());
    Sink() = std::move(NewSink);
    return previous;
}

THelpRecorder::THelpRecorder()
    : FPrevious(SetHelpSink([this](const THelpRequest& r) { FRequests.push_back(r); })) {}
THelpRecorder::~THelpRecorder() { SetHelpSink(std::move(FPrevious)); }
