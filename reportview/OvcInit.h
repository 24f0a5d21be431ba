#pragma once
// The start and the end of the report-view library. The program starts it
// before its application object and ends it after the message loop: the
// string tables are opened (a missing or damaged one stops the start), the
// letters of the masks are computed and the classes that forms create by
// name are registered, each only when no class of its name is there yet.
void OvcInitialize();
void OvcFinalize();

// Starts the library for a scope (the program's entry, the tests).
class TOvcLibrary {
public:
    TOvcLibrary() { OvcInitialize(); }
    ~TOvcLibrary() { OvcFinalize(); }
    TOvcLibrary(const TOvcLibrary&) = delete;
    TOvcLibrary& operator=(const TOvcLibrary&) = delete;
};
