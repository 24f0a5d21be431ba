#include "platform/sys/IniFiles.h"

#include <vector>

#include "platform/rtl/Format.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/FileStream.h"
#include "platform/sys/Paths.h"

// The parsed file: sections in file order, each with its lines.
class TIniData {
public:
    struct Line {
        bool IsEntry = false;
        AnsiString Name, Value;  // entries
        AnsiString Raw;          // anything else, kept as read
    };
    struct Section {
        AnsiString Name;
        bool Header = true;  // false for the lines before the first header
        std::vector<Line> Lines;
    };
    std::vector<Section> Sections;
    bool StripQuotes = false;

    void Parse(std::string_view Text) {
        Sections.clear();
        TStringList lines;
        lines.SetText(Text);
        for (int i = 0; i < lines.Count(); ++i) {
            AnsiString raw = lines[i];
            AnsiString t = Trim(raw);
            if (!t.empty() && t[0] == '[' && t.find(']') != AnsiString::npos) {
                Sections.push_back(Section{Trim(t.substr(1, t.rfind(']') - 1)), true, {}});
                continue;
            }
            if (Sections.empty()) Sections.push_back(Section{"", false, {}});
            Line l;
            size_t eq = t.find('=');
            if (!t.empty() && t[0] != ';' && eq != AnsiString::npos && eq > 0) {
                l.IsEntry = true;
                l.Name = TrimRight(t.substr(0, eq));
                l.Value = TrimLeft(t.substr(eq + 1));
            } else {
                l.Raw = raw;
            }
            Sections.back().Lines.push_back(std::move(l));
        }
    }

    AnsiString Text() const {
        AnsiString out;
        for (const Section& s : Sections) {
            if (s.Header) out += "[" + s.Name + "]\r\n";
            for (const Line& l : s.Lines) out += (l.IsEntry ? l.Name + "=" + l.Value : l.Raw) + "\r\n";
        }
        return out;
    }

    Section* Find(std::string_view Name) {
        for (Section& s : Sections)
            if (s.Header && AnsiSameText(s.Name, Name)) return &s;
        return nullptr;
    }

    Line* FindEntry(std::string_view Sec, std::string_view Ident) {
        Section* s = Find(Sec);
        if (!s) return nullptr;
        for (Line& l : s->Lines)
            if (l.IsEntry && AnsiSameText(l.Name, Ident)) return &l;
        return nullptr;
    }

    AnsiString ValueOf(const Line& L) const {
        const AnsiString& v = L.Value;
        if (StripQuotes && v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
            return v.substr(1, v.size() - 2);
        return v;
    }

    void Write(std::string_view Sec, std::string_view Ident, std::string_view Value) {
        if (Line* l = FindEntry(Sec, Ident)) {
            l->Value = AnsiString(Value);
            return;
        }
        Section* s = Find(Sec);
        if (!s) {
            Sections.push_back(Section{AnsiString(Sec), true, {}});
            s = &Sections.back();
        }
        // After the last value of the section, before trailing comments or blanks.
        size_t at = s->Lines.size();
        while (at > 0 && !s->Lines[at - 1].IsEntry) --at;
        if (at == 0) at = s->Lines.size();
        Line l;
        l.IsEntry = true;
        l.Name = AnsiString(Ident);
        l.Value = AnsiString(Value);
        s->Lines.insert(s->Lines.begin() + static_cast<long>(at), std::move(l));
    }
};

namespace {
AnsiString ResolveIniName(std::string_view FileName) {
    if (FileName.find_first_of("\\/:") != std::string_view::npos) return AnsiString(FileName);
    return IncludeTrailingBackslash(UnmapPath(UserFolder())) + AnsiString(FileName);
}
}  // namespace

// --- typed values, for every kind of ini file ---
int TCustomIniFile::ReadInteger(std::string_view Section, std::string_view Ident, int Default) {
    return StrToIntDef(Trim(ReadString(Section, Ident, "")), Default);
}

void TCustomIniFile::WriteInteger(std::string_view Section, std::string_view Ident, int Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(std::string_view Section, std::string_view Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(std::string_view Section, std::string_view Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(std::string_view Section, std::string_view Ident, double Default) {
    return static_cast<double>(StrToFloatDef(Trim(ReadString(Section, Ident, "")), Default));
}

void TCustomIniFile::WriteFloat(std::string_view Section, std::string_view Ident, double Value) {
    WriteString(Section, Ident, FloatToStr(Value));
}

// --- TMemIniFile ---
TMemIniFile::TMemIniFile(std::string_view FileName)
    : TCustomIniFile(ResolveIniName(FileName)), FData(std::make_unique<TIniData>()) {
    Load();
}
TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::Load() {
    if (!FileExists(FileName())) {
        FData->Parse("");
        return;
    }
    TStringList text;
    try {
        LoadStringsFromFile(text, FileName());
    } catch (const EStreamError&) {
        FData->Parse("");  // an unreadable file reads as an empty one
        return;
    }
    FData->Parse(text.Text());
}

void TMemIniFile::UpdateFile() {
    ForceDirectories(ExtractFileDir(FileName()));
    try {
        TFileStream f(FileName(), fmCreate);
        f.WriteString(FData->Text());
    } catch (const EStreamError&) {
        throw EIniFileException("No se puede escribir el archivo " + FileName());
    }
}

AnsiString TMemIniFile::ReadString(std::string_view Section, std::string_view Ident,
                                   std::string_view Default) {
    TIniData& d = Data();
    const TIniData::Line* l = d.FindEntry(Section, Ident);
    return l ? d.ValueOf(*l) : AnsiString(Default);
}

void TMemIniFile::WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) {
    Data().Write(Section, Ident, Value);
    Modified();
}

void TMemIniFile::ReadSection(std::string_view Section, TStrings& Strings) {
    Strings.BeginUpdate();
    Strings.Clear();
    if (TIniData::Section* s = Data().Find(Section))
        for (const auto& l : s->Lines)
            if (l.IsEntry) Strings.Add(l.Name);
    Strings.EndUpdate();
}

void TMemIniFile::ReadSections(TStrings& Strings) {
    Strings.BeginUpdate();
    Strings.Clear();
    for (const auto& s : Data().Sections)
        if (s.Header && Strings.IndexOf(s.Name) < 0) Strings.Add(s.Name);
    Strings.EndUpdate();
}

void TMemIniFile::ReadSectionValues(std::string_view Section, TStrings& Strings) {
    Strings.BeginUpdate();
    Strings.Clear();
    TIniData& d = Data();
    if (TIniData::Section* s = d.Find(Section))
        for (const auto& l : s->Lines)
            if (l.IsEntry) Strings.Add(l.Name + "=" + d.ValueOf(l));
    Strings.EndUpdate();
}

bool TMemIniFile::SectionExists(std::string_view Section) { return Data().Find(Section) != nullptr; }

bool TMemIniFile::ValueExists(std::string_view Section, std::string_view Ident) {
    return Data().FindEntry(Section, Ident) != nullptr;
}

void TMemIniFile::EraseSection(std::string_view Section) {
    TIniData& d = Data();
    std::erase_if(d.Sections,
                  [&](const TIniData::Section& s) { return s.Header && AnsiSameText(s.Name, Section); });
    Modified();
}

void TMemIniFile::DeleteKey(std::string_view Section, std::string_view Ident) {
    TIniData& d = Data();
    if (TIniData::Section* s = d.Find(Section))
        std::erase_if(s->Lines,
                      [&](const TIniData::Line& l) { return l.IsEntry && AnsiSameText(l.Name, Ident); });
    Modified();
}

// --- TIniFile ---
TIniFile::TIniFile(std::string_view FileName) : TMemIniFile(FileName) { FData->StripQuotes = true; }

TIniData& TIniFile::Data() {
    Load();
    return *FData;
}
