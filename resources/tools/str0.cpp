// Build-time tool: turns a text table of strings (one "id<TAB>text" a line,
// "#" lines and blank lines ignored; in a text "\n" is a line break CR LF
// and "\\" a backslash) into a string table of the "STR0" layout the
// report-view library reads:
//   "STR0", the entry count (int32), then per entry in ascending id order
//   id, offset of the text from the start of the file and length of the
//   text in UTF-16 units (int32 each), then the texts in UTF-16LE, back to
//   back, without terminators. Everything little-endian.
// The texts are Windows-1252; those of the library are all in Latin-1.
// Usage: str0 <table.txt> <output.str0>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

int Fail(const std::string& Message) {
    std::fprintf(stderr, "str0: %s\n", Message.c_str());
    return 1;
}

void PutInt32(std::string& Out, int32_t Value) {
    for (int i = 0; i < 4; ++i) Out += static_cast<char>((static_cast<uint32_t>(Value) >> (8 * i)) & 0xFF);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Fail("usage: str0 <table.txt> <output.str0>");
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) return Fail(std::string("cannot read ") + argv[1]);
    std::map<int32_t, std::string> texts;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        size_t tab = line.find('\t');
        std::string where = std::string(argv[1]) + ":" + std::to_string(number) + ": ";
        if (tab == std::string::npos || tab == 0) return Fail(where + "id and tab expected");
        int32_t id = 0;
        try {
            size_t used = 0;
            long long value = std::stoll(line.substr(0, tab), &used);
            if (used != tab || value < INT32_MIN || value > INT32_MAX) throw std::out_of_range("id");
            id = static_cast<int32_t>(value);
        } catch (const std::exception&) {
            return Fail(where + "bad id");
        }
        std::string text;
        for (size_t i = tab + 1; i < line.size(); ++i) {
            if (line[i] != '\\') {
                text += line[i];
                continue;
            }
            if (++i >= line.size()) return Fail(where + "a backslash ends the line");
            if (line[i] == 'n') text += "\r\n";
            else if (line[i] == '\\') text += '\\';
            else return Fail(where + "unknown escape");
        }
        if (!texts.emplace(id, text).second) return Fail(where + "id " + std::to_string(id) + " twice");
    }
    std::string out = "STR0";
    PutInt32(out, static_cast<int32_t>(texts.size()));
    int32_t offset = static_cast<int32_t>(8 + 12 * texts.size());
    for (const auto& [id, text] : texts) {
        PutInt32(out, id);
        PutInt32(out, offset);
        PutInt32(out, static_cast<int32_t>(text.size()));
        offset += static_cast<int32_t>(2 * text.size());
    }
    for (const auto& [id, text] : texts)
        for (unsigned char c : text) {
            if (c >= 0x80 && c < 0xA0)
                return Fail("id " + std::to_string(id) + ": a character outside Latin-1");
            out += static_cast<char>(c);
            out += '\0';
        }
    std::ofstream file(argv[2], std::ios::binary);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    return file ? 0 : Fail(std::string("cannot write ") + argv[2]);
}
