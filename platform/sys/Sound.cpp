#include "platform/sys/Sound.h"

namespace {
TBeepSink& Sink() {
    static TBeepSink sink;
    return sink;
}
}  // namespace

bool MessageBeep(unsigned Type) {
    if (Sink()) Sink()(Type);
    return true;
}

TBeepSink SetBeepSink(TBeepSink NewSink) {
    TBeepSink previous = std::move(Sink());
    Sink() = std::move(NewSink);
    return previous;
}

TBeepRecorder::TBeepRecorder() : FPrevious(SetBeepSink([this](unsigned Type) { FBeeps.push_back(Type); })) {}
TBeepRecorder::~TBeepRecorder() { SetBeepSink(std::move(FPrevious)); }
