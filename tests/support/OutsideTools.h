#pragma once
// The programs outside ours that some tests call: other dBase readers
// (python3-dbfread, python3-dbf, Perl XBase) and a private X server. The test
// command installs every one of them, so there a missing tool fails the test
// that needs it; elsewhere (a developer's machine without them) the test is
// skipped and says why.
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Runs a shell command; gives its exit status and its standard output.
int RunCommand(const std::string& Command, std::string& Output);
// Text as one word of a shell command, whatever bytes it holds.
std::string ShellWord(const std::string& Text);
// A Python interpreter that can import Module, or "".
std::string PythonWith(const std::string& Module);
bool PerlHasXBase();
// What the Perl XBase reader makes of a tag of a .mdx: Field of each record
// (deleted ones skipped) in the tag's order, one a line. Gives its exit status.
int PerlReadTag(const std::string& Dbf, const std::string& Mdx, const std::string& Tag,
                const std::string& Field, std::string& Output);

// Another dBase program writing a table in place: Writer is "python3-dbf"
// or "perl-xbase"; each step is "append:FIELD=value,...",
// "update:<record>:FIELD=value,..." (records from 1), "delete:<record>" or
// "empty" (python3-dbf zaps the table; XBase has no such call, so it marks
// every record deleted). Values are Windows-1252 texts with no ',' or '=';
// a logical field takes T or F. Gives the writer's exit status; Output holds
// what it said.
int OtherWriterWrites(const std::string& Writer, const std::string& Dbf,
                      const std::vector<std::string>& Steps, std::string& Output);
// The two writers, and whether one is installed.
extern const char* const OtherWriters[2];
bool OtherWriterAvailable(const std::string& Writer);

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
