#include "tests/support/Peer.h"

#include <stdexcept>

#include <sys/wait.h>
#include <unistd.h>

TPeer::TPeer(const std::function<void(TPeer&)>& Body) {
    int down[2], up[2];
    if (::pipe(down) != 0 || ::pipe(up) != 0) throw std::runtime_error("pipe failed");
    FPid = ::fork();
    if (FPid < 0) throw std::runtime_error("fork failed");
    if (FPid == 0) {
        ::close(down[1]);
        ::close(up[0]);
        FIn = down[0];
        FOut = up[1];
        int status = 0;
        try {
            Body(*this);
        } catch (const std::exception& e) {
            Say(std::string("exception: ") + e.what());
            status = 1;
        } catch (...) {
            status = 1;
        }
        ::_exit(status);  // nothing of the test's own runs in the child
    }
    ::close(down[0]);
    ::close(up[1]);
    FOut = down[1];
    FIn = up[0];
}

TPeer::~TPeer() { Finish(); }

void TPeer::Say(const std::string& Line) {
    std::string text = Line + "\n";
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(FOut, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += size_t(n);
    }
}

std::string TPeer::Hear() {
    std::string line;
    char c;
    while (::read(FIn, &c, 1) == 1) {
        if (c == '\n') return line;
        line += c;
    }
    return line;
}

int TPeer::Finish() {
    if (FPid <= 0) return -1;
    ::close(FOut);
    ::close(FIn);
    int status = 0;
    ::waitpid(FPid, &status, 0);
    FPid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
