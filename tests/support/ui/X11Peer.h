#pragma once
// For the X clipboard's tests: another X program, on a connection of its own,
// that asks for the CLIPBOARD selection, or owns it and answers requests on a
// thread of its own. No X type shows here: the window layer's names clash
// with Xlib's.
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TX11Peer {
public:
    // Connects to the X server Display; Connected() tells whether it could.
    explicit TX11Peer(const std::string& Display);
    ~TX11Peer();
    TX11Peer(const TX11Peer&) = delete;
    TX11Peer& operator=(const TX11Peer&) = delete;
    bool Connected() const;

    // Whether some window owns the clipboard now.
    bool ClipboardOwned();
    // Asks the owner for the clipboard as the target named TargetName,
    // running Pump (the program's side) while it waits; answers the bytes and
    // sets TypeName to the answer's type ("" when refused).
    std::string Request(const std::string& TargetName, std::string& TypeName,
                        const std::function<void()>& Pump);
    // The atom names in a TARGETS answer.
    std::vector<std::string> AtomNames(const std::string& Bytes);

    // Takes the clipboard and answers UTF8_STRING requests with Utf8Text
    // (and nothing else, TARGETS included) until StopOwning, which closes
    // the owner's connection (so nobody owns the clipboard after it).
    void StartOwning(const std::string& Utf8Text);
    void StopOwning();

private:
    struct TState;
    std::unique_ptr<TState> F;
};
