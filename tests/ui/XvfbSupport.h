#pragma once
// A private X server for the smoke tests that open real windows.
#include <sys/types.h>

#include <string>

class TDisplay;

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

// The program's display on a private X server, installed (with a fresh
// window manager) for as long as the object lives and taken away after.
class TXvfbDisplay {
public:
    TXvfbDisplay() = default;
    TXvfbDisplay(const TXvfbDisplay&) = delete;
    TXvfbDisplay& operator=(const TXvfbDisplay&) = delete;
    ~TXvfbDisplay();
    // Starts the server; its display name, or "" when there is none to start.
    std::string Start() { return FName = FServer.Start(); }
    // Opens the server and installs the display; null when it cannot be opened.
    TDisplay* Install();

private:
    TXvfb FServer;
    std::string FName;
    bool FInstalled = false;
};
