#include "DbTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

#include "platform/rtl/Strings.h"

TTempFolder::TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelmor-db-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    FPath = buf.data();
}

TTempFolder::~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

std::string ReadBytes(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Overwrites in place and then cuts to size: a file emptied and written again
// makes some file systems flush it to the disk on close, which the damage
// tests would pay for thousands of times.
void WriteBytes(const std::string& Path, const std::string& Bytes) {
    int fd = ::open(Path.c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0) throw std::runtime_error("cannot write " + Path);
    bool ok = ::pwrite(fd, Bytes.data(), Bytes.size(), 0) == ssize_t(Bytes.size()) &&
              ::ftruncate(fd, off_t(Bytes.size())) == 0;
    ::close(fd);
    if (!ok) throw std::runtime_error("cannot write " + Path);
}

bool FileExists(const std::string& Path) { return std::filesystem::exists(Path); }

std::vector<char> Row(TDbfTable& Table, std::initializer_list<std::pair<const char*, std::string>> Values) {
    std::vector<char> buf(size_t(Table.RecordLength()));
    Table.BlankRecord(buf.data());
    for (const auto& [name, value] : Values) {
        int f = Table.FieldIndex(name);
        if (f < 0) throw std::runtime_error(std::string("no field ") + name);
        if (Table.Field(f).Type == 'M') Table.SetMemo(buf.data(), f, value);
        else Table.SetText(buf.data(), f, value);
    }
    return buf;
}

uint32_t AppendRow(TDbfTable& Table, std::initializer_list<std::pair<const char*, std::string>> Values) {
    auto buf = Row(Table, Values);
    return Table.Append(buf.data());
}

std::vector<uint32_t> Walk(TDbfCursor& Cursor) {
    std::vector<uint32_t> out;
    for (bool on = Cursor.First(); on; on = Cursor.Next()) out.push_back(Cursor.RecNo());
    return out;
}

std::vector<std::string> Snapshot(TDbfTable& Table) {
    std::vector<std::string> rows;
    std::vector<char> buf(size_t(Table.RecordLength()));
    for (uint32_t r = 1; r <= Table.PhysicalCount(); ++r) {
        Table.Read(r, buf.data());
        if (TDbfTable::IsDeleted(buf.data())) continue;
        std::string line = std::to_string(r) + ":";
        for (int f = 0; f < Table.FieldCount(); ++f) line += (f ? "|" : "") + Table.GetText(buf.data(), f);
        rows.push_back(line);
    }
    return rows;
}

std::vector<std::string> CheckOrdersAgainstSort(TDbfTable& Table) {
    std::vector<std::string> problems;
    std::vector<char> buf(size_t(Table.RecordLength()));
    for (int o = 0; o < Table.OrderCount(); ++o) {
        std::vector<std::pair<std::string, uint32_t>> rows;
        for (uint32_t r = 1; r <= Table.PhysicalCount(); ++r) {
            Table.Read(r, buf.data());
            if (TDbfTable::IsDeleted(buf.data())) continue;
            rows.push_back({Table.KeyOf(o, buf.data()).Bytes, r});
        }
        bool descending = Table.OrderInfo(o).Descending;
        std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
            int c = std::memcmp(a.first.data(), b.first.data(), a.first.size());
            return descending ? c > 0 : c < 0;
        });
        std::vector<uint32_t> expected;
        for (const auto& row : rows) expected.push_back(row.second);
        TDbfCursor cursor(Table.shared_from_this());
        cursor.SetOrder(o);
        if (Walk(cursor) != expected)
            problems.push_back("order " + Table.OrderInfo(o).Name + " differs from a sort");
    }
    return problems;
}

std::string OutsideView(TDbfTable& T, const std::string& Path) {
    std::ostringstream out;
    out << "# " << Path << "\n";
    std::vector<char> buf(size_t(T.RecordLength()));
    for (uint32_t r = 1; r <= T.PhysicalCount(); ++r) {
        T.Read(r, buf.data());
        if (TDbfTable::IsDeleted(buf.data())) continue;
        for (int f = 0; f < T.FieldCount(); ++f) {
            if (f) out << '\t';
            char type = T.Field(f).Type;
            bool null = false;
            if (type == 'L') T.GetBoolean(buf.data(), f, &null);  // "?" too, as the readers take it
            if (null || ((type == 'N' || type == 'D') && T.IsBlank(buf.data(), f))) {
                out << "null";
            } else if (type == 'N') {
                char num[64];
                std::snprintf(num, sizeof num, "%.4f", T.GetNumber(buf.data(), f));
                out << num;
            } else {
                out << ToUtf8(T.GetText(buf.data(), f));
            }
        }
        out << "\n";
    }
    return out.str();
}

namespace {

const char* const OutsideReaderScript = R"(import sys
mod = sys.argv[1]
out = []
for arg in sys.argv[2:]:
    path, types = arg.rsplit('=', 1)
    out.append('# ' + path)
    if mod == 'dbfread':
        import dbfread
        rows = [list(r.values()) for r in dbfread.DBF(path, load=True).records]
    else:
        import dbf
        t = dbf.Table(path)
        t.open(dbf.READ_ONLY)
        rows = [[r[i] for i in range(len(t.field_names))] for r in t if not dbf.is_deleted(r)]
        t.close()
    for row in rows:
        vals = []
        for v, k in zip(row, types):
            if k in 'CM':
                vals.append('' if v is None else str(v).rstrip(' '))
            elif v is None or (k == 'D' and not v):
                vals.append('null')
            elif k == 'L':
                vals.append('T' if v else 'F')
            elif k == 'D':
                vals.append(v.strftime('%Y%m%d'))
            else:
                vals.append('%.4f' % v)
        out.append('\t'.join(vals))
sys.stdout.buffer.write(('\n'.join(out) + '\n').encode('utf-8'))
)";

}  // namespace

int ReadOutside(const std::string& Module, const std::vector<TDbfTable*>& Tables, std::string& Output) {
    std::string python = PythonWith(Module);
    if (python.empty()) return -1;
    std::string command = python + " -c " + ShellWord(OutsideReaderScript) + " " + Module;
    for (TDbfTable* t : Tables) {
        std::string types;
        for (int f = 0; f < t->FieldCount(); ++f) types += t->Field(f).Type;
        command += " " + ShellWord(t->FileName() + "=" + types);
    }
    return RunCommand(command, Output);
}

namespace {

TDbfFieldSpec Si(const char* Name) { return DbfFieldSpecFor(Name, TDbfKind::SmallInt, 0); }
TDbfFieldSpec Ch(const std::string& Name, int Size) { return DbfFieldSpecFor(Name, TDbfKind::String, Size); }
TDbfFieldSpec Lo(const char* Name) { return DbfFieldSpecFor(Name, TDbfKind::Boolean, 0); }
TDbfIndexSpec Tag(const char* Field, bool Descending = false) {
    return TDbfIndexSpec{Field, Field, Descending, false, false};
}

void AddNumbered(std::vector<TDbfFieldSpec>& Fields, const char* Prefix, int Count) {
    for (int i = 1; i <= Count; ++i) Fields.push_back(Si((std::string(Prefix) + std::to_string(i)).c_str()));
}

}  // namespace

const std::vector<TSchoolTable>& SchoolTables() {
    static const std::vector<TSchoolTable> tables = [] {
        std::vector<TSchoolTable> t;
        t.push_back({"NomAsg",
                     {Si("N"), Ch("ABREV", 4), Ch("ABREV8", 8), Ch("NOMBRE", 40)},
                     {Tag("N"), Tag("ABREV")}});
        {
            std::vector<TDbfFieldSpec> f{Si("N"),        Ch("ABREV", 3), Ch("TURNO", 1), Ch("NIVEL", 5),
                                         Ch("CURSO", 3), Ch("TNC", 9),   Si("NGRUP"),    Si("MAXALUM")};
            AddNumbered(f, "NMAXAL", 30);
            t.push_back({"cursos", f, {Tag("N"), Tag("TNC"), Tag("ABREV")}});
        }
        t.push_back({"grupos",
                     {Si("N"), Ch("ABREV", 4), Ch("TURNO", 1), Ch("NIVEL", 5), Ch("CURSO", 3), Ch("GRUPO", 1),
                      Ch("TNC", 9), Ch("TNCG", 11)},
                     {Tag("N"), Tag("TNC"), Tag("TNCG")}});
        t.push_back({"prof",
                     {Si("N"), Ch("ABREV", 4), Ch("NOMBRE", 40), Ch("DEPART", 40)},
                     {Tag("N"), Tag("ABREV")}});
        t.push_back({"aulas",
                     {Si("N"), Ch("ABREV", 4), Ch("NOMBRE", 40), Ch("EDIFICIO", 1)},
                     {Tag("N"), Tag("ABREV")}});
        {
            std::vector<TDbfFieldSpec> f{
                Si("N"),       Ch("TNC", 9),  Ch("ASIG", 4),  DbfFieldSpecFor("HORAS", TDbfKind::Float, 0),
                Lo("CUENTA"),  Lo("MOSTRAR"), Si("CONTADOR"), Si("NDIV"),
                Si("MAXALUM"), Si("NPROF"),   Si("BLOPT"),    Si("NASALUM"),
                Si("TIPO")};
            AddNumbered(f, "NMAXAL", 30);
            t.push_back({"asigcur", f, {Tag("N"), Tag("TNC"), Tag("ASIG"), Tag("CONTADOR", true)}});
        }
        {
            std::vector<TDbfFieldSpec> f{Si("N"),      Ch("EXPED", 20), Ch("NOMBRE", 50), Ch("GRUPO", 2),
                                         Ch("TNC", 9), Ch("OPCION", 1), Lo("REPITE"),     Lo("ANULAR")};
            for (int i = 1; i <= 20; ++i) {
                f.push_back(Ch("ASIG" + std::to_string(i), 4));
                f.push_back(Ch("DIV" + std::to_string(i), 1));
            }
            t.push_back({"alum", f, {Tag("N"), Tag("EXPED"), Tag("NOMBRE"), Tag("TNC")}});
        }
        std::vector<TDbfFieldSpec> tiposHead{Si("N"), Si("NALUM"), Ch("TNC", 9), Ch("OPCION", 1),
                                             Lo("REPITE")};
        {
            auto f = tiposHead;
            for (int i = 1; i <= 20; ++i) f.push_back(Ch("ASIG" + std::to_string(i), 4));
            t.push_back({"tipos", f, {Tag("N"), Tag("TNC"), Tag("NALUM", true)}});
        }
        {
            auto f = tiposHead;
            for (const char* n : {"ASIGS", "ASIGSCOL", "ASIGSCU", "ASIGSCUCOL"}) f.push_back(Ch(n, 254));
            f.push_back(Lo("SELEC"));
            for (int i = 1; i <= 20; ++i) f.push_back(Ch("ASIG" + std::to_string(i), 4));
            t.push_back({"tipos2", f, {Tag("N"), Tag("TNC"), Tag("NALUM", true)}});
        }
        std::vector<TDbfFieldSpec> grupHead{Si("N"),        Si("NALUM"),     Ch("TNC", 9), Ch("TNCG", 11),
                                            Ch("GRUPO", 2), Ch("OPCION", 1), Lo("REPITE")};
        auto slots = [](std::vector<TDbfFieldSpec>& f) {
            for (int i = 1; i <= 20; ++i) {
                f.push_back(Ch("ASIG" + std::to_string(i), 4));
                f.push_back(Ch("DIV" + std::to_string(i), 1));
                f.push_back(Ch("CON" + std::to_string(i), 3));
            }
        };
        {
            auto f = grupHead;
            slots(f);
            t.push_back({"tipgrup", f, {Tag("N"), Tag("TNC"), Tag("TNCG"), Tag("NALUM", true)}});
        }
        {
            auto f = grupHead;
            for (const char* n : {"ASIGSDCM", "ASIGSDCM1", "ASIGSDCM2", "ASIGSDCM3"})
                f.push_back(DbfFieldSpecFor(n, TDbfKind::Memo, 0));
            slots(f);
            t.push_back({"tipgrup2", f, {Tag("N"), Tag("TNC"), Tag("TNCG"), Tag("NALUM", true)}});
        }
        t.push_back({"conex",
                     {Ch("TNC", 9), Ch("TNCCON", 12), Ch("CON", 3), Ch("GRUPO", 2), Ch("ASIGDIV", 6),
                      Si("NALUM1"), Si("NALUM2"), Si("NCON")},
                     {Tag("TNC"), Tag("TNCCON")}});
        return t;
    }();
    return tables;
}
