#pragma once
// A private X server for the smoke tests that open real windows.
#include <sys/types.h>

#include <string>

class TXvfb {
public:
    TXvfb() = default;
    TXvfb(const TXvfb&) = delete;
    TXvfb& operator=(const TXvfb&) = delete;
    ~TXvfb();
    // Starts the server and answers its display name, or "" when there is none to start.
    std::string Start();

private:
    pid_t FPid = 0;
};
