#include "dataaware/Wwintl.h"

#include "platform/db/Fields.h"
#include "platform/rtl/Lists.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Forms.h"

TwwIntl* DefaultIntl = nullptr;

ZELMOR_IMPLEMENT_CLASS(TwwIntlTexts, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwFilterDialogIntl, TwwIntlTexts)
ZELMOR_IMPLEMENT_CLASS(TwwUserMessagesIntl, TwwIntlTexts)
ZELMOR_IMPLEMENT_CLASS(TwwDBNavigatorIntlHints, TwwIntlTexts)
ZELMOR_IMPLEMENT_CLASS(TwwDBNavigatorIntl, TwwIntlTexts)
ZELMOR_IMPLEMENT_CLASS(TwwSearchDialogIntl, TwwIntlTexts)
ZELMOR_IMPLEMENT_CLASS(TwwLocateDialogIntl, TwwIntlTexts)
ZELMOR_IMPLEMENT_CLASS(TwwMonthCalendarIntl, TwwIntlTexts)
ZELMOR_IMPLEMENT_CLASS(TwwRichEditMenuLabels, TwwIntlTexts)
ZELMOR_IMPLEMENT_CLASS(TwwRichEditPopupMenuLabels, TwwIntlTexts)
ZELMOR_IMPLEMENT_CLASS(TwwIntlDialogTexts, TwwIntlTexts)
ZELMOR_IMPLEMENT_CLASS(TwwRichEditParagraphDlg, TwwIntlDialogTexts)
ZELMOR_IMPLEMENT_CLASS(TwwRichEditTabDlg, TwwIntlDialogTexts)
ZELMOR_IMPLEMENT_CLASS(TwwDBRichEditIntl, TwwIntlTexts)
ZELMOR_IMPLEMENT_CLASS(TwwADOIntl, TPersistent)
ZELMOR_IMPLEMENT_COMPONENT(TwwIntl, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TwwController, TComponent)
ZELMOR_IMPLEMENT_ENUM(TwwCheckBoxInGridStyle, "cbStyleAuto", "cbStyleCheckmark", "cbStyleXmark",
                      "cbStyleCheckmarkFlat")
ZELMOR_IMPLEMENT_ENUM(TwwGridPaintStyle, "gpsBitmapCanvas", "gpsDynamicDeviceContext")

// ---------------------------------------------------------------- text objects

#define WW_INTL_TEXT_DEFAULT(Name, Default) Default,
#define WW_INTL_TEXT_PROPERTY(Name, Default) T.Property(#Name, &Self::Name, &Self::Set##Name);
// The constructor fills the texts with their defaults; the table publishes
// one property per text, in the list's order.
#define WW_INTL_TEXTS_IMPLEMENT(Class, Texts)                                                                \
    Class::Class() : inherited({Texts(WW_INTL_TEXT_DEFAULT)}) {}                                             \
    void Class::DescribeProperties(TPropertyTable& T) {                                                      \
        using Self = Class;                                                                                  \
        Texts(WW_INTL_TEXT_PROPERTY)                                                                         \
    }

TwwIntlTexts::TwwIntlTexts(std::initializer_list<const char*> Defaults)
    : FTexts(Defaults.begin(), Defaults.end()) {}

void TwwIntlTexts::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TwwIntlTexts*>(Source);
    if (!source || source->ClassInfo() != ClassInfo()) return TPersistent::Assign(Source);
    FTexts = source->FTexts;
    AssignOwned(*source);
}

WW_INTL_TEXTS_IMPLEMENT(TwwFilterDialogIntl, WW_FILTER_DIALOG_TEXTS)
WW_INTL_TEXTS_IMPLEMENT(TwwUserMessagesIntl, WW_USER_MESSAGES_TEXTS)
WW_INTL_TEXTS_IMPLEMENT(TwwDBNavigatorIntlHints, WW_NAVIGATOR_HINTS_TEXTS)
WW_INTL_TEXTS_IMPLEMENT(TwwSearchDialogIntl, WW_SEARCH_DIALOG_TEXTS)
WW_INTL_TEXTS_IMPLEMENT(TwwLocateDialogIntl, WW_LOCATE_DIALOG_TEXTS)
WW_INTL_TEXTS_IMPLEMENT(TwwMonthCalendarIntl, WW_MONTH_CALENDAR_TEXTS)
WW_INTL_TEXTS_IMPLEMENT(TwwRichEditMenuLabels, WW_RICH_EDIT_MENU_TEXTS)
WW_INTL_TEXTS_IMPLEMENT(TwwRichEditPopupMenuLabels, WW_RICH_EDIT_POPUP_TEXTS)
WW_INTL_TEXTS_IMPLEMENT(TwwRichEditParagraphDlg, WW_PARAGRAPH_DIALOG_TEXTS)
WW_INTL_TEXTS_IMPLEMENT(TwwRichEditTabDlg, WW_TAB_DIALOG_TEXTS)

TwwDBNavigatorIntl::TwwDBNavigatorIntl()
    : TwwIntlTexts({WW_NAVIGATOR_TEXTS(WW_INTL_TEXT_DEFAULT)}),
      FHints(std::make_unique<TwwDBNavigatorIntlHints>()) {}

TwwDBNavigatorIntl::~TwwDBNavigatorIntl() = default;

void TwwDBNavigatorIntl::DescribeProperties(TPropertyTable& T) {
    using Self = TwwDBNavigatorIntl;
    WW_NAVIGATOR_TEXTS(WW_INTL_TEXT_PROPERTY)
    T.Property("Hints", &Self::Hints, &Self::SetHints);
}

void TwwDBNavigatorIntl::SetHints(TwwDBNavigatorIntlHints* Value) { FHints->Assign(Value); }

void TwwDBNavigatorIntl::AssignOwned(const TwwIntlTexts& Source) {
    FHints->Assign(static_cast<const TwwDBNavigatorIntl&>(Source).Hints());
}

void TwwIntlDialogTexts::DescribeProperties(TPropertyTable& T) {
    T.Property("HelpContext", &TwwIntlDialogTexts::HelpContext, &TwwIntlDialogTexts::SetHelpContext)
        .Default(0);
}

void TwwIntlDialogTexts::AssignOwned(const TwwIntlTexts& Source) {
    FHelpContext = static_cast<const TwwIntlDialogTexts&>(Source).HelpContext();
}

TwwDBRichEditIntl::TwwDBRichEditIntl()
    : TwwIntlTexts({WW_RICH_EDIT_TEXTS(WW_INTL_TEXT_DEFAULT)}),
      FMenuLabels(std::make_unique<TwwRichEditMenuLabels>()),
      FPopupMenuLabels(std::make_unique<TwwRichEditPopupMenuLabels>()),
      FParagraphDialog(std::make_unique<TwwRichEditParagraphDlg>()),
      FTabDialog(std::make_unique<TwwRichEditTabDlg>()) {}

TwwDBRichEditIntl::~TwwDBRichEditIntl() = default;

void TwwDBRichEditIntl::DescribeProperties(TPropertyTable& T) {
    using Self = TwwDBRichEditIntl;
    WW_RICH_EDIT_TEXTS(WW_INTL_TEXT_PROPERTY)
    T.Property("MenuLabels", &Self::MenuLabels, &Self::SetMenuLabels);
    T.Property("PopupMenuLabels", &Self::PopupMenuLabels, &Self::SetPopupMenuLabels);
    T.Property("ParagraphDialog", &Self::ParagraphDialog, &Self::SetParagraphDialog);
    T.Property("TabDialog", &Self::TabDialog, &Self::SetTabDialog);
}

void TwwDBRichEditIntl::SetMenuLabels(TwwRichEditMenuLabels* Value) { FMenuLabels->Assign(Value); }
void TwwDBRichEditIntl::SetPopupMenuLabels(TwwRichEditPopupMenuLabels* Value) {
    FPopupMenuLabels->Assign(Value);
}
void TwwDBRichEditIntl::SetParagraphDialog(TwwRichEditParagraphDlg* Value) {
    FParagraphDialog->Assign(Value);
}
void TwwDBRichEditIntl::SetTabDialog(TwwRichEditTabDlg* Value) { FTabDialog->Assign(Value); }

void TwwDBRichEditIntl::AssignOwned(const TwwIntlTexts& Source) {
    const auto& source = static_cast<const TwwDBRichEditIntl&>(Source);
    FMenuLabels->Assign(source.MenuLabels());
    FPopupMenuLabels->Assign(source.PopupMenuLabels());
    FParagraphDialog->Assign(source.ParagraphDialog());
    FTabDialog->Assign(source.TabDialog());
}

void TwwADOIntl::DescribeProperties(TPropertyTable& T) {
    T.Property("UseLocateWhenFindingValue", &TwwADOIntl::UseLocateWhenFindingValue,
               &TwwADOIntl::SetUseLocateWhenFindingValue)
        .Default(true);
}

void TwwADOIntl::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TwwADOIntl*>(Source)) {
        FUseLocateWhenFindingValue = source->FUseLocateWhenFindingValue;
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- TwwIntl

TwwIntl::TwwIntl(TComponent* AOwner)
    : TComponent(AOwner), FADO(std::make_unique<TwwADOIntl>()),
      FNavigator(std::make_unique<TwwDBNavigatorIntl>()),
      FSearchDialog(std::make_unique<TwwSearchDialogIntl>()),
      FLocateDialog(std::make_unique<TwwLocateDialogIntl>()),
      FMonthCalendar(std::make_unique<TwwMonthCalendarIntl>()),
      FUserMessages(std::make_unique<TwwUserMessagesIntl>()),
      FFilterDialog(std::make_unique<TwwFilterDialogIntl>()),
      FRichEdit(std::make_unique<TwwDBRichEditIntl>()) {}

TwwIntl::~TwwIntl() {
    if (DefaultIntl == this) DefaultIntl = nullptr;
}

void TwwIntl::DescribeProperties(TPropertyTable& T) {
    T.Property("ADO", &TwwIntl::ADO, &TwwIntl::SetADO);
    T.Property("Navigator", &TwwIntl::Navigator, &TwwIntl::SetNavigator);
    T.Property("SearchDialog", &TwwIntl::SearchDialog, &TwwIntl::SetSearchDialog);
    T.Property("LocateDialog", &TwwIntl::LocateDialog, &TwwIntl::SetLocateDialog);
    T.Property("MonthCalendar", &TwwIntl::MonthCalendar, &TwwIntl::SetMonthCalendar);
    T.Property("OKCancelBitmapped", &TwwIntl::OKCancelBitmapped, &TwwIntl::SetOKCancelBitmapped);
    T.Property("DialogFontStyle", &TwwIntl::DialogFontStyle, &TwwIntl::SetDialogFontStyle);
    T.Property("BtnOKCaption", &TwwIntl::BtnOKCaption, &TwwIntl::SetBtnOKCaption);
    T.Property("BtnCancelCaption", &TwwIntl::BtnCancelCaption, &TwwIntl::SetBtnCancelCaption);
    T.Property("Connected", &TwwIntl::Connected, &TwwIntl::SetConnected);
    T.Property("UserMessages", &TwwIntl::UserMessages, &TwwIntl::SetUserMessages);
    T.Property("FilterDialog", &TwwIntl::FilterDialog, &TwwIntl::SetFilterDialog);
    T.Property("RichEdit", &TwwIntl::RichEdit, &TwwIntl::SetRichEdit);
    T.Property("LibraryVersion", &TwwIntl::LibraryVersion, &TwwIntl::SetLibraryVersion);
    T.Property("IniFileName", &TwwIntl::IniFileName, &TwwIntl::SetIniFileName);
    T.Property("CheckBoxInGridStyle", &TwwIntl::CheckBoxInGridStyle, &TwwIntl::SetCheckBoxInGridStyle);
    T.Property("GridPaintStyle", &TwwIntl::GridPaintStyle, &TwwIntl::SetGridPaintStyle)
        .Default(gpsDynamicDeviceContext);
    T.Property("UseLocateMethodForSearch", &TwwIntl::UseLocateMethodForSearch,
               &TwwIntl::SetUseLocateMethodForSearch)
        .Default(true);
    T.Property("DefaultEpochYear", &TwwIntl::DefaultEpochYear, &TwwIntl::SetDefaultEpochYear).Default(1950);
    T.Property("FilterMemoSize", &TwwIntl::FilterMemoSize, &TwwIntl::SetFilterMemoSize);
    T.Event("OnValidationErrorUsingMask", &TwwIntl::OnValidationErrorUsingMask);
}

void TwwIntl::SetADO(TwwADOIntl* Value) { FADO->Assign(Value); }
void TwwIntl::SetNavigator(TwwDBNavigatorIntl* Value) { FNavigator->Assign(Value); }
void TwwIntl::SetSearchDialog(TwwSearchDialogIntl* Value) { FSearchDialog->Assign(Value); }
void TwwIntl::SetLocateDialog(TwwLocateDialogIntl* Value) { FLocateDialog->Assign(Value); }
void TwwIntl::SetMonthCalendar(TwwMonthCalendarIntl* Value) { FMonthCalendar->Assign(Value); }
void TwwIntl::SetUserMessages(TwwUserMessagesIntl* Value) { FUserMessages->Assign(Value); }
void TwwIntl::SetFilterDialog(TwwFilterDialogIntl* Value) { FFilterDialog->Assign(Value); }
void TwwIntl::SetRichEdit(TwwDBRichEditIntl* Value) { FRichEdit->Assign(Value); }

void TwwIntl::SetConnected(bool Value) {
    FConnected = Value;
    // Also while the form is read: Loaded copies the finished object again.
    if (Value) CopyIntoDefaultIntl(this);
}

void TwwIntl::SetCheckBoxInGridStyle(TwwCheckBoxInGridStyle Value) {
    FCheckBoxInGridStyle = Value;
    if (FConnected && DefaultIntl && DefaultIntl != this) DefaultIntl->SetCheckBoxInGridStyle(Value);
}

void TwwIntl::SetGridPaintStyle(TwwGridPaintStyle Value) {
    FGridPaintStyle = Value;
    if (FConnected && DefaultIntl && DefaultIntl != this) DefaultIntl->SetGridPaintStyle(Value);
}

void TwwIntl::Loaded() {
    TComponent::Loaded();
    if (FConnected) CopyIntoDefaultIntl(this);
}

void TwwIntl::DoValidationError(TObject* Sender, TField* Field) {
    AnsiString message = "Invalid input value.  Use escape key to abandon changes";
    bool doDefault = true;
    if (Assigned(OnValidationErrorUsingMask)) OnValidationErrorUsingMask(Sender, Field, message, doDefault);
    if (!doDefault) return;
    MessageBeep(0);
    throw EInvalidOperation(message);
}

void CopyIntoDefaultIntl(TwwIntl* Source) {
    TwwIntl* target = DefaultIntl;
    if (!Source || !target || Source == target) return;
    target->FilterDialog()->Assign(Source->FilterDialog());
    target->RichEdit()->Assign(Source->RichEdit());
    target->SearchDialog()->Assign(Source->SearchDialog());
    target->MonthCalendar()->Assign(Source->MonthCalendar());
    target->LocateDialog()->Assign(Source->LocateDialog());
    target->ADO()->Assign(Source->ADO());
    target->Navigator()->Assign(Source->Navigator());
    target->SetOKCancelBitmapped(Source->OKCancelBitmapped());
    target->UserMessages()->Assign(Source->UserMessages());
    target->SetBtnOKCaption(Source->BtnOKCaption());
    target->SetBtnCancelCaption(Source->BtnCancelCaption());
    const AnsiString& ini = Source->IniFileName();
    target->SetIniFileName(ini.empty() || ini == ".ini" ? AnsiString() : ini + ".ini");
    target->SetCheckBoxInGridStyle(Source->CheckBoxInGridStyle());
    target->SetGridPaintStyle(Source->GridPaintStyle());
    target->OnValidationErrorUsingMask = Source->OnValidationErrorUsingMask;
    target->SetDialogFontStyle(Source->DialogFontStyle());
    target->SetUseLocateMethodForSearch(Source->UseLocateMethodForSearch());
    target->SetReopenToCancelRange(Source->ReopenToCancelRange());
    target->SetDefaultEpochYear(Source->DefaultEpochYear());
    target->SetFilterMemoSize(Source->FilterMemoSize());
}

// ---------------------------------------------------------------- start-up

namespace {
int StartCount = 0;
}

void StartDefaultIntl() {
    if (StartCount++ == 0 && !DefaultIntl) DefaultIntl = NewComponent<TwwIntl>(Application);
}

void FinishDefaultIntl() {
    if (StartCount == 0 || --StartCount > 0) return;
    // The application object may have freed it already; its destructor then
    // cleared the pointer.
    if (TwwIntl* intl = DefaultIntl) intl->Free();
}

// ---------------------------------------------------------------- dialog buttons

TButton* CreateDialogButton(TCustomForm* Form, TBitBtnKind Kind, int PixelsPerInch) {
    const int ppi = PixelsPerInch > 0 ? PixelsPerInch : Screen ? Screen->PixelsPerInch() : 96;
    auto scale = [ppi](int Value) { return Value * ppi / 96; };
    TButton* button;
    if (DefaultIntl->OKCancelBitmapped()) {
        auto* glyphButton = NewComponent<TBitBtn>(Form);
        glyphButton->SetMargin(2);
        glyphButton->SetKind(Kind);
        glyphButton->SetLayout(blGlyphLeft);
        glyphButton->SetNumGlyphs(2);
        glyphButton->SetSpacing(-1);
        glyphButton->Font()->SetColor(clWindowText);
        glyphButton->Font()->SetHeight(-11);
        glyphButton->Font()->SetName("MS Sans Serif");
        glyphButton->Font()->SetStyle(DefaultIntl->DialogFontStyle());
        button = glyphButton;
    } else {
        button = NewComponent<TButton>(Form);
    }
    button->SetParent(Form);
    button->SetVisible(false);
    button->SetWidth(scale(77));
    button->SetHeight(scale(dynamic_cast<TBitBtn*>(button) ? 27 : 24));
    switch (Kind) {
    case bkOK:
        button->SetCaption(DefaultIntl->BtnOKCaption());
        button->SetModalResult(mrOk);
        break;
    case bkCancel:
        button->SetCaption(DefaultIntl->BtnCancelCaption());
        button->SetModalResult(mrCancel);
        button->SetCancel(true);
        break;
    case bkHelp: button->SetCaption("Help"); break;
    default: break;
    }
    return button;
}

// ---------------------------------------------------------------- TwwController

TwwController::TwwController(TComponent* AOwner)
    : TComponent(AOwner), FFrame(std::make_unique<TwwEditFrame>(this)),
      FButtonEffects(std::make_unique<TwwButtonEffects>(nullptr, nullptr)),
      FControlList(std::make_unique<TList>()) {}

TwwController::~TwwController() = default;

void TwwController::DescribeProperties(TPropertyTable& T) {
    T.Property("Frame", &TwwController::Frame, &TwwController::SetFrame);
    T.Property("ButtonEffects", &TwwController::ButtonEffects, &TwwController::SetButtonEffects);
    // A TList is no published class of its own: the list is read as an object.
    T.PropertyOf<TwwController>("ControlList", [](TwwController& C) -> TObject* { return C.ControlList(); });
}

void TwwController::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || ComponentState().Contains(csDestroying)) return;
    // The last registration first: a control registered twice goes once a notice.
    for (int i = FControlList->Count() - 1; i >= 0; --i) {
        if (FControlList->Items(i) == AComponent) {
            FControlList->Delete(i);
            return;
        }
    }
}
