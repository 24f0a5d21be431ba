#include "PdfText.h"

#include <fstream>
#include <sstream>

#include "OutsideTools.h"

bool PdfToTextInstalled() {
    std::string Out;
    return RunCommand("pdftotext -v 2>&1", Out) == 0 && RunCommand("pdffonts -v 2>&1", Out) == 0;
}

bool ReadPdfWords(const std::string& File, std::vector<std::vector<TPdfWord>>& Pages) {
    std::string Html = File + ".html", Out;
    if (RunCommand("pdftotext -bbox '" + File + "' '" + Html + "' 2>&1", Out) != 0) return false;
    std::ifstream In(Html);
    std::stringstream All;
    All << In.rdbuf();
    const double Mm = 25.4 / 72;
    // One tag a line: <page ...>, <word xMin="..." yMin="..." xMax="..." yMax="...">text</word>.
    auto Attribute = [](const std::string& Line, const std::string& Name) {
        size_t At = Line.find(Name + "=\"");
        return At == std::string::npos ? 0.0 : std::stod(Line.substr(At + Name.size() + 2));
    };
    std::istringstream Lines(All.str());
    for (std::string Line; std::getline(Lines, Line);) {
        if (Line.find("<page ") != std::string::npos) Pages.emplace_back();
        size_t Open = Line.find("<word "), Close = Line.find("</word>");
        if (Open == std::string::npos || Close == std::string::npos || Pages.empty()) continue;
        size_t From = Line.find('>', Open) + 1;
        std::string W = Line.substr(From, Close - From);
        for (auto [Entity, Char] :
             {std::pair<std::string, std::string>{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}})
            for (size_t At; (At = W.find(Entity)) != std::string::npos;) W.replace(At, Entity.size(), Char);
        Pages.back().push_back(
            {Attribute(Line, "xMin") * Mm, Attribute(Line, "yMin") * Mm, Attribute(Line, "yMax") * Mm, W});
    }
    return true;
}

bool ReadPdfFonts(const std::string& File, std::vector<std::string>& Fonts) {
    std::string Out;
    if (RunCommand("pdffonts '" + File + "' 2>&1", Out) != 0) return false;
    // Two lines of heads, then one font a line, its name first.
    std::istringstream Lines(Out);
    std::string Line;
    for (int Head = 0; Head < 2 && std::getline(Lines, Line); ++Head) {
    }
    while (std::getline(Lines, Line)) {
        std::string Name = Line.substr(0, Line.find(' '));
        if (size_t Plus = Name.find('+'); Plus != std::string::npos) Name.erase(0, Plus + 1);
        if (!Name.empty()) Fonts.push_back(Name);
    }
    return true;
}
