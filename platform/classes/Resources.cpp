#include "platform/classes/Resources.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "resources/ResourceTable.h"

namespace {
const ZelmorResourceEntry* gTable = nullptr;
// The tables added, the first added first; they are searched from the back.
std::vector<const ZelmorResourceEntry*> gAdded;

const ZelmorResourceEntry* Table() { return gTable ? gTable : kZelmorResources; }

// Every table in the order a lookup searches them.
std::vector<const ZelmorResourceEntry*> Tables() {
    std::vector<const ZelmorResourceEntry*> tables(gAdded.rbegin(), gAdded.rend());
    tables.push_back(Table());
    return tables;
}

const char* Folder(TResourceKind Kind) {
    static const char* const folders[] = {"forms", "strings", "bitmaps", "cursors", "texts"};
    return folders[Kind];
}

const char* KindName(TResourceKind Kind) {
    static const char* const names[] = {"Form", "String table", "Bitmap", "Cursor", "Text"};
    return names[Kind];
}

// The file name of Path when the file lies directly in Folder; empty otherwise.
std::string_view FileIn(std::string_view Path, std::string_view Folder) {
    if (Path.size() <= Folder.size() + 1 || Path[Folder.size()] != '/' ||
        !SameText(Path.substr(0, Folder.size()), Folder))
        return {};
    std::string_view file = Path.substr(Folder.size() + 1);
    return file.find('/') == std::string_view::npos ? file : std::string_view();
}

bool NameMatches(std::string_view File, std::string_view Name) {
    if (SameText(File, Name)) return true;
    size_t dot = File.rfind('.');
    return dot != std::string_view::npos && SameText(File.substr(0, dot), Name);
}
}  // namespace

// From the form's first words: "object ControlaForm: TControlaForm".
std::string_view FormRootClass(std::span<const uint8_t> Bytes) {
    std::string_view text(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
    size_t at = 0;
    auto blanks = [&] {
        while (at < text.size() &&
               (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
            ++at;
    };
    auto word = [&] {
        blanks();
        size_t start = at;
        while (at < text.size() && (IsCharAlphaNumeric(text[at]) || text[at] == '_') &&
               static_cast<unsigned char>(text[at]) < 128)
            ++at;
        return text.substr(start, at - start);
    };
    std::string_view keyword = word();
    if (!SameText(keyword, "object") && !SameText(keyword, "inherited")) return {};
    std::string_view first = word();
    blanks();
    if (at < text.size() && text[at] == ':') {
        ++at;
        return word();
    }
    return first;
}

const ZelmorResourceEntry* UseResourceTable(const ZelmorResourceEntry* Table) {
    const ZelmorResourceEntry* previous = gTable ? gTable : kZelmorResources;
    gTable = Table;
    return previous;
}

void AddResourceTable(const ZelmorResourceEntry* Table) {
    if (Table) gAdded.push_back(Table);
}

void RemoveResourceTable(const ZelmorResourceEntry* Table) {
    auto last = std::find(gAdded.rbegin(), gAdded.rend(), Table);
    if (last != gAdded.rend()) gAdded.erase(std::next(last).base());
}

bool FindResource(TResourceKind Kind, std::string_view Name, TResource& Found) {
    if (Name.empty()) return false;
    auto found = [&](const ZelmorResourceEntry& e) {
        Found.Path = e.Path;
        Found.Bytes = std::span<const uint8_t>(e.Data, e.Size);
        return true;
    };
    const std::vector<const ZelmorResourceEntry*> tables = Tables();
    for (const ZelmorResourceEntry* table : tables)
        for (const ZelmorResourceEntry* e = table; e->Path; ++e)
            if (NameMatches(FileIn(e->Path, Folder(Kind)), Name)) return found(*e);
    if (Kind == rkForm) {
        for (const ZelmorResourceEntry* table : tables)
            for (const ZelmorResourceEntry* e = table; e->Path; ++e)
                if (!FileIn(e->Path, Folder(Kind)).empty() &&
                    SameText(FormRootClass({e->Data, e->Size}), Name))
                    return found(*e);
    }
    return false;
}

TResource LoadResource(TResourceKind Kind, std::string_view Name) {
    TResource resource;
    if (!FindResource(Kind, Name, resource))
        throw EResNotFound(AnsiString(KindName(Kind)) + " resource " + AnsiString(Name) + " not found");
    return resource;
}

TResourceStream::TResourceStream(TResourceKind Kind, std::string_view Name) {
    TResource resource = LoadResource(Kind, Name);
    // The bytes are the program's own constants; Write below keeps them so.
    SetPointer(const_cast<uint8_t*>(resource.Bytes.data()), static_cast<int64_t>(resource.Bytes.size()));
}

int64_t TResourceStream::Write(const void*, int64_t) {
    throw EStreamError("Can't write to a read-only resource stream");
}

void ReadComponentResource(TComponent* Root, std::string_view Name) {
    TResource form = LoadResource(rkForm, Name);
    std::string_view text(reinterpret_cast<const char*>(form.Bytes.data()), form.Bytes.size());
    ReadComponentFromText(Root, text, form.Path);
}

bool InitInheritedComponent(TComponent* Root, const TClassInfo& RootAncestor) {
    std::vector<const TClassInfo*> classes;
    for (const TClassInfo* c = Root->ClassInfo(); c && c != &RootAncestor; c = c->Parent)
        classes.push_back(c);
    bool any = false;
    for (auto c = classes.rbegin(); c != classes.rend(); ++c) {
        TResource form;
        if (!FindResource(rkForm, (*c)->Name, form)) continue;
        std::string_view text(reinterpret_cast<const char*>(form.Bytes.data()), form.Bytes.size());
        ReadComponentFromText(Root, text, form.Path);
        any = true;
    }
    return any;
}

void CheckFieldsBound(TComponent* Root) {
    for (const TPropertyTable::TFieldInfo* field : GetPropertyTable(*Root->ClassInfo()).Fields()) {
        if (field->Get(Root)) continue;
        TResource form;
        AnsiString where = FindResource(rkForm, Root->ClassName(), form)
                               ? AnsiString(" in ") + form.Path
                               : AnsiString(": the class has no form");
        throw EComponentError("Field " + field->Name + " of " + Root->ClassName() + " has no component" +
                              where);
    }
}
