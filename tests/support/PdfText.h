#pragma once
// A PDF as a reader sees its text: the words of each page, with where each
// starts, as pdftotext (poppler-utils) finds them; and the fonts it names,
// as pdffonts lists them.
#include <string>
#include <vector>

struct TPdfWord {
    double Left, Top, Bottom;  // millimetres from the paper's top-left corner
    std::string Text;          // UTF-8
};

bool PdfToTextInstalled();
// The words of each page, in reading order. False when pdftotext fails.
bool ReadPdfWords(const std::string& File, std::vector<std::vector<TPdfWord>>& Pages);
// The names of the fonts the PDF uses (any subset prefix "ABCDEF+" taken
// off). False when pdffonts fails.
bool ReadPdfFonts(const std::string& File, std::vector<std::string>& Fonts);
