#include "tests/support/OutsideTools.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <map>

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
    // Asked once per module: tests ask before every call of a tool.
    static std::map<std::string, std::string> found;
    auto known = found.find(Module);
    if (known != found.end()) return known->second;
    // Debian's interpreter first: another python3 on the PATH may lack the
    // Debian packages of the readers.
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        std::string out;
        if (RunCommand(std::string(python) + " -c 'import " + Module + "'", out) == 0)
            return found[Module] = python;
    }
    return found[Module] = "";
}

bool PerlHasXBase() {
    static const bool has = [] {
        std::string out;
        return RunCommand("perl -MXBase -e 1", out) == 0;
    }();
    return has;
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

std::string ShellWord(const std::string& Text) {
    std::string out = "'";
    for (char c : Text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

namespace {

// Both writers take the steps as OtherWriterWrites gives them (no single
// quote in either script: they travel inside one).
const char* const PythonWriter = R"(import os, sys, dbf
t = dbf.Table(sys.argv[1])
t.open(dbf.READ_WRITE)
def values(text):
    out = {}
    for pair in text.split(","):
        name, _, value = pair.partition("=")
        name = name.lower()
        kind = chr(t.field_info(name)[0])
        if kind == "L":
            out[name] = value == "T"
        elif kind in "NF":
            out[name] = float(value) if "." in value else int(value)
        else:
            out[name] = value
    return out
for step in [os.fsencode(a).decode("cp1252") for a in sys.argv[2:]]:
    kind, _, rest = step.partition(":")
    if kind == "empty":
        t.zap()
    elif kind == "delete":
        dbf.delete(t[int(rest) - 1])
    elif kind == "append":
        t.append(values(rest))
    elif kind == "update":
        number, _, rest = rest.partition(":")
        with t[int(number) - 1] as r:
            for name, value in values(rest).items():
                r[name] = value
    else:
        raise SystemExit("unknown step " + step)
t.close()
)";

const char* const PerlWriter = R"(use XBase;
my $t = new XBase $ARGV[0] or die XBase->errstr;
sub fields {
    my %v;
    for my $pair (split /,/, $_[0]) {
        my ($n, $x) = split /=/, $pair, 2;
        $n = uc $n;
        $x = ($x eq "T" ? 1 : 0) if $t->field_type($n) eq "L";
        $v{$n} = $x;
    }
    return %v;
}
for my $step (@ARGV[1 .. $#ARGV]) {
    my ($kind, $rest) = split /:/, $step, 2;
    if ($kind eq "empty") {
        for my $r (0 .. $t->last_record) { $t->delete_record($r) or die $t->errstr; }
    } elsif ($kind eq "delete") {
        $t->delete_record($rest - 1) or die $t->errstr;
    } elsif ($kind eq "append") {
        $t->set_record_hash($t->last_record + 1, fields($rest)) or die $t->errstr;
    } elsif ($kind eq "update") {
        my ($n, $v) = split /:/, $rest, 2;
        $t->update_record_hash($n - 1, fields($v)) or die $t->errstr;
    } else {
        die "unknown step $step";
    }
}
$t->close or die $t->errstr;
)";

}  // namespace

const char* const OtherWriters[2] = {"python3-dbf", "perl-xbase"};

bool OtherWriterAvailable(const std::string& Writer) {
    return Writer == "python3-dbf" ? !PythonWith("dbf").empty() : PerlHasXBase();
}

int OtherWriterWrites(const std::string& Writer, const std::string& Dbf,
                      const std::vector<std::string>& Steps, std::string& Output) {
    std::string command = Writer == "python3-dbf" ? PythonWith("dbf") + " -c " + ShellWord(PythonWriter)
                                                  : "perl -e " + ShellWord(PerlWriter);
    command += " " + ShellWord(Dbf);
    for (const std::string& step : Steps) command += " " + ShellWord(step);
    return RunCommand("(" + command + " 2>&1)", Output);
}

bool OutsideToolsRequired() {
    const char* v = std::getenv("ZELMOR_REQUIRE_TOOLS");
    return v && *v && std::string(v) != "0";
}
