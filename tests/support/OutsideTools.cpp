#include "tests/support/OutsideTools.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

int RunCommand(const std::string& Command, std::string& Output) {
    Output.clear();
    FILE* pipe = popen((Command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return -1;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) Output.append(buf, n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string PythonWith(const std::string& Module) {
    // Debian's interpreter first: another python3 on the PATH may lack the
    // Debian packages of the readers.
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        std::string out;
        if (RunCommand(std::string(python) + " -c 'import " + Module + "'", out) == 0) return python;
    }
    return "";
}

bool PerlHasXBase() {
    std::string out;
    return RunCommand("perl -MXBase -e 1", out) == 0;
}

int PerlReadTag(const std::string& Dbf, const std::string& Mdx, const std::string& Tag,
                const std::string& Field, std::string& Output) {
    const char* script = "use XBase;"
                         "my ($dbf, $mdx, $tag, $field) = @ARGV;"
                         "my $t = new XBase $dbf or die XBase->errstr;"
                         "my $c = $t->prepare_select_with_index([$mdx, $tag], $field) or die $t->errstr;"
                         "while (my @r = $c->fetch) { print $r[0], \"\\n\"; }";
    return RunCommand(std::string("perl -e '") + script + "' '" + Dbf + "' '" + Mdx + "' '" + Tag + "' '" +
                          Field + "'",
                      Output);
}

bool OutsideToolsRequired() {
    const char* v = std::getenv("ZELMOR_REQUIRE_TOOLS");
    return v && *v && std::string(v) != "0";
}
