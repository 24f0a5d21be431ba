#pragma once
// A private X server for the tests that need a real one (the X backend, the
// X clipboard); they skip when none can be started here.
#include <sys/types.h>

#include <string>

class TXvfb {
public:
    TXvfb() = default;
    TXvfb(const TXvfb&) = delete;
    TXvfb& operator=(const TXvfb&) = delete;
    // Starts a private X server and answers its display name, or "" when there is none to start.
    std::string Start();
    ~TXvfb();

private:
    pid_t FPid = 0;
};
