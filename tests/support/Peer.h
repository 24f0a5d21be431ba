#pragma once
// Another program on the same files, for the tests of two programs on one
// folder (tables, imports).
#include <functional>
#include <string>

// Another program on the same files: a child process running Body, talking
// with the test one line at a time. Fork it before the test opens any table
// (the child must start with none open; the tables it opens are its own), and
// let Body report through Say: the child's EXPECTs reach nobody.
class TPeer {
public:
    explicit TPeer(const std::function<void(TPeer&)>& Body);
    ~TPeer();
    TPeer(const TPeer&) = delete;
    TPeer& operator=(const TPeer&) = delete;
    void Say(const std::string& Line);
    // The next line from the other side; "" when it has ended.
    std::string Hear();
    // Waits for the child to end; its exit status (1 after an exception in Body).
    int Finish();

private:
    int FPid = -1;
    int FIn = -1, FOut = -1;
};
