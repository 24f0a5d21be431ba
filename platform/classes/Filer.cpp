#include "platform/classes/Filer.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/StringList.h"

TFiler::~TFiler() = default;

void TFiler::IgnoreProperty(std::string_view Name) { DefineProperty(Name, nullptr, nullptr, false); }

void TFiler::DefineAllProperties(TPersistent* Instance) {
    // The runtime's string lists cannot know the filers, which sit above
    // them; their lines stream here as "Strings".
    if (auto* strings = dynamic_cast<TStrings*>(Instance)) {
        DefineProperty(
            "Strings",
            [strings](TReader& Reader) {
                strings->BeginUpdate();
                struct TEnd {
                    TStrings* S;
                    ~TEnd() { S->EndUpdate(); }
                } end{strings};
                strings->Clear();
                Reader.ReadListBegin();
                while (!Reader.EndOfList()) strings->Add(Reader.ReadString());
                Reader.ReadListEnd();
            },
            [strings](TWriter& Writer) {
                Writer.WriteListBegin();
                for (int i = 0; i < strings->Count(); ++i) Writer.WriteString(strings->Get(i));
                Writer.WriteListEnd();
            },
            strings->Count() > 0);
    }
    Instance->DefineProperties(this);
}

namespace {
std::vector<TFindGlobalComponent>& Finders() {
    static std::vector<TFindGlobalComponent> finders;
    return finders;
}
}  // namespace

void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
    auto& finders = Finders();
    if (Proc && std::find(finders.begin(), finders.end(), Proc) == finders.end()) finders.push_back(Proc);
}

void UnregisterFindGlobalComponentProc(TFindGlobalComponent Proc) { std::erase(Finders(), Proc); }

TComponent* FindGlobalComponent(std::string_view Name) {
    if (Name.empty()) return nullptr;
    for (TFindGlobalComponent finder : Finders())
        if (TComponent* found = finder(Name)) return found;
    return nullptr;
}

void ReadComponentFromText(TComponent* Root, std::string_view Text, std::string_view SourceName) {
    TReader reader(Text, AnsiString(SourceName));
    reader.ReadRootComponent(Root);
}

AnsiString WriteComponentToText(TComponent* Root) {
    TWriter writer;
    return writer.WriteRootComponent(Root);
}
