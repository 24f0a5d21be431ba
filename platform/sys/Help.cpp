#include "platform/sys/Help.h"

namespace {
THelpSink& Sink() {
    static THelpSink sink;
    return sink;
}
}  // namespace

bool WinHelp(uintptr_t, std::string_view HelpFile, unsigned Command, uintptr_t Data) {
    if (Sink()) Sink()(THelpRequest{AnsiString(HelpFile), Command, Data});
    return true;
}

THelpSink SetHelpSink(THelpSink NewSink) {
    THelpSink previous = std::move(Sink());
    Sink() = std::move(NewSink);
    return previous;
}

THelpRecorder::THelpRecorder()
    : FPrevious(SetHelpSink([this](const THelpRequest& r) { FRequests.push_back(r); })) {}
THelpRecorder::~THelpRecorder() { SetHelpSink(std::move(FPrevious)); }
