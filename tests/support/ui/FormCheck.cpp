#include "tests/support/ui/FormCheck.h"

#include <exception>
#include <string_view>

#include "platform/classes/Resources.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Forms.h"
#include "tests/support/ui/ScreenSession.h"

namespace {
// What a form file's own class reading it says, or "" when all is well.
std::string CheckForm(const ZelmorResourceEntry& Entry) {
    std::string_view ClassName = FormRootClass({Entry.Data, Entry.Size});
    if (ClassName.empty()) return "no form: it does not start with an object";
    const TClassInfo* Class = GetClass(ClassName);
    if (!Class) return "its class " + std::string(ClassName) + " is not registered";
    if (!Class->InheritsFrom(&TCustomForm::StaticClassInfo()) || Class == &TForm::StaticClassInfo())
        return "its root is a " + std::string(ClassName) + ": a screen has a form class of its own";
    TResource Own;
    if (!FindResource(rkForm, ClassName, Own) || std::string_view(Own.Path) != Entry.Path)
        return std::string(ClassName) + " reads " + (Own.Path ? Own.Path : "no form") + " in its place";
    try {
        TObject* Form = Class->Create(Application);
        static_cast<TComponent*>(Form)->Free();
    } catch (const Exception& E) {
        return std::string(E.ClassName()) + ": " + E.Message();
    } catch (const std::exception& E) {
        return E.what();
    }
    return {};
}
}  // namespace

TFormCheck CheckFormResources(const ZelmorResourceEntry* Table) {
    TFormCheck Result;
    TResourceScope First(Table);
    for (const ZelmorResourceEntry* E = Table; E->Path; ++E) {
        std::string_view Path = E->Path;
        if (!Path.starts_with("forms/") || Path.find('/', 6) != std::string_view::npos) continue;
        ++Result.Forms;
        std::string Problem = CheckForm(*E);
        if (!Problem.empty()) Result.Problems.push_back(std::string(Path) + ": " + Problem);
    }
    return Result;
}
