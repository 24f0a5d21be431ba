#pragma once
// The programs outside ours that some tests call: other dBase readers
// (python3-dbfread, python3-dbf, Perl XBase) and a private X server. The test
// command installs every one of them, so there a missing tool fails the test
// that needs it; elsewhere (a developer's machine without them) the test is
// skipped and says why.
#include <string>

#include <gtest/gtest.h>

// Runs a shell command; gives its exit status and its standard output.
int RunCommand(const std::string& Command, std::string& Output);
// A Python interpreter that can import Module, or "".
std::string PythonWith(const std::string& Module);
bool PerlHasXBase();
// What the Perl XBase reader makes of a tag of a .mdx: Field of each record
// (deleted ones skipped) in the tag's order, one a line. Gives its exit status.
int PerlReadTag(const std::string& Dbf, const std::string& Mdx, const std::string& Tag,
                const std::string& Field, std::string& Output);

// True when the test command runs the suite: it sets ZELMOR_REQUIRE_TOOLS.
bool OutsideToolsRequired();

// Ends the test when a tool it needs is missing: a failure under the test
// command, a skip elsewhere.
#define ZELMOR_NEED_TOOL(Available, What)                                                                    \
    do {                                                                                                     \
        if (!(Available)) {                                                                                  \
            if (OutsideToolsRequired()) FAIL() << (What) << " is missing, and the test command installs it"; \
            GTEST_SKIP() << (What) << " is not installed";                                                   \
        }                                                                                                    \
    } while (false)
