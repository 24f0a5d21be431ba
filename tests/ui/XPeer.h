#pragma once
// Another X program, for the clipboard tests: it asks for the CLIPBOARD
// selection, or owns it and answers requests on a thread of its own. Kept
// apart from the window layer's headers, whose names clash with Xlib's.
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TXPeer {
public:
    // Connects to the X server Display; Connected() tells whether it could.
    explicit TXPeer(const std::string& Display);
    ~TXPeer();
    TXPeer(const TXPeer&) = delete;
    TXPeer& operator=(const TXPeer&) = delete;
    bool Connected() const;

    // Whether some window owns the clipboard now.
    bool ClipboardOwned();
    // Asks the owner for the clipboard as the target named TargetName,
    // running Pump (the program's side) while it waits; answers the bytes and
    // sets TypeName to the answer's type ("" when refused).
    std::string Request(const std::string& TargetName, std::string& TypeName, const std::function<void()>& Pump);
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
