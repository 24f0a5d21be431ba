#include "OvcTestSupport.h"

#include "platform/classes/Filer.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcInit.h"

namespace {

// Every test of the library runs with the library started, as the program does.
class TOvcEnvironment : public ::testing::Environment {
public:
    void SetUp() override { OvcInitialize(); }
    void TearDown() override { OvcFinalize(); }
};
const ::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new TOvcEnvironment);

}  // namespace

OvcFormTest::OvcFormTest() { RegisterOvcTestClasses(); }

TForm* OvcFormTest::ReadForm(const std::string& Text) {
    TForm* F = TForm::CreateNew(Application);
    ReadComponentFromText(F, Text, "test form");
    return F;
}

uint32_t Rgb(TColor Color) {
    TColorRef c = ColorToRGB(Color);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

ZELMOR_IMPLEMENT_COMPONENT(TTestOvcView, TOvcCustomControlEx)
ZELMOR_IMPLEMENT_CLASS(TMemoryStore, TOvcAbstractStore)

AnsiString TMemoryStore::ReadString(const AnsiString& Section, const AnsiString& Item,
                                    const AnsiString& Default) {
    auto s = Sections.find(Section);
    if (s == Sections.end()) return Default;
    auto i = s->second.find(Item);
    return i == s->second.end() ? Default : i->second;
}

void TMemoryStore::WriteString(const AnsiString& Section, const AnsiString& Item, const AnsiString& Value) {
    Sections[Section][Item] = Value;
}

void TMemoryStore::EraseSection(const AnsiString& Section) {
    Sections.erase(Section);
    Erased.push_back(Section);
}
ZELMOR_IMPLEMENT_COMPONENT(TTestField, TOvcCustomControl)

void TTestOvcView::DescribeProperties(TPropertyTable& T) {
    TControl::PublishStandard(T, {"Visible", "TabStop"});
    T.Property("Controller", &TTestOvcView::Controller, &TTestOvcView::SetController);
    T.PropertyOf<TTestOvcView>(
        "LabelInfo", [](TTestOvcView& V) { return V.LabelInfo(); },
        [](TTestOvcView& V, TOvcLabelInfo* I) { V.SetLabelInfo(I); });
}

TTestOvcView::TTestOvcView(TComponent* AOwner) : TOvcCustomControlEx(AOwner) { SetTabStop(true); }

void TTestField::DescribeProperties(TPropertyTable& T) {
    TControl::PublishStandard(T, {"Visible", "Enabled"});
}

TTestField::TTestField(TComponent* AOwner) : TOvcCustomControl(AOwner) { SetTabStop(true); }

uint16_t TTestField::ValidateContents() {
    ++Validations;
    FLastError = ErrorCode;
    return ErrorCode;
}

void TTestField::WndProc(TMessage& Message) {
    if (Message.Msg == OM_REPORTERROR) Reported.push_back(static_cast<uint16_t>(Message.WParam));
    else TOvcCustomControl::WndProc(Message);
}

void RegisterOvcTestClasses() {
    RegisterClasses({&TTestOvcView::StaticClassInfo(), &TTestField::StaticClassInfo()});
}
