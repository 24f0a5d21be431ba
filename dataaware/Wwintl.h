#pragma once
// The library's settings and texts: TwwIntl and its one instance DefaultIntl,
// which every control and dialog of the library reads at the moment it needs
// a text or a setting. A TwwIntl placed on a form only carries texts: with
// Connected on it copies them into DefaultIntl (the main window's wwIntl1
// brings the Spanish ones).
//
// TwwController, beside it, keeps the controls that name it in their
// Controller property.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "dataaware/wwframe.h"
#include "platform/classes/Component.h"
#include "platform/classes/Properties.h"
#include "platform/gfx/Graphics.h"
#include "platform/rtl/AnsiString.h"
#include "platform/ui/Buttons.h"

class TButton;
class TCustomForm;
class TField;
class TList;

// ---------------------------------------------------------------------------
// The texts of the settings object and their English defaults, one list per
// text object, in the order the objects publish them.
// ---------------------------------------------------------------------------

// TwwFilterDialogIntl
#define WW_FILTER_DIALOG_TEXTS(X)                                                                            \
    X(BtnViewSummary, "View Su&mmary")                                                                       \
    X(BtnViewSummaryHint, "View summary of current search criteria")                                         \
    X(ViewSummaryNotText, "NOT")                                                                             \
    X(BtnNewSearch, "&New Search")                                                                           \
    X(BtnNewSearchHint, "Start a new search")                                                                \
    X(FieldOrderLabel, "Field Order")                                                                        \
    X(FieldOrderHint, "Sort field list alphabetically or in their natural logical order")                    \
    X(AlphabeticLabel, "Alpha&betic")                                                                        \
    X(LogicalLabel, "&Logical")                                                                              \
    X(AllFieldsLabel, "&All")                                                                                \
    X(SearchedFieldsLabel, "&Searched")                                                                      \
    X(StartingRangeLabel, "&Starting Range")                                                                 \
    X(EndingRangeLabel, "En&ding Range")                                                                     \
    X(StartingRangeHint, "Enter starting range for field")                                                   \
    X(EndingRangeHint, "Enter ending range for field")                                                       \
    X(BtnClearMin, "&Clear")                                                                                 \
    X(BtnClearMax, "Cl&ear")                                                                                 \
    X(BtnClearFilterValue, "&Clear")                                                                         \
    X(BtnClearMinHint, "Clear starting range for field")                                                     \
    X(BtnClearMaxHint, "Clear ending range for field")                                                       \
    X(BtnClearFilterValueHint, "Clear the current field's search value")                                     \
    X(ByValueLabel, "By &Value")                                                                             \
    X(ByRangeLabel, "By &Range")                                                                             \
    X(FieldValueLabel, "Field &Value")                                                                       \
    X(FieldValueHint, "Enter field's search value")                                                          \
    X(SearchTypeLabel, "Search Type")                                                                        \
    X(SearchTypeHint, "Specify how the Field Value should be compared")                                      \
    X(MatchExactLabel, "&Exact Match")                                                                       \
    X(MatchStartLabel, "&Partial Match at Beginning")                                                        \
    X(MatchAnyLabel, "Partial Match Any&where")                                                              \
    X(CaseSensitiveLabel, "Case Sensi&tive")                                                                 \
    X(CaseSensitiveHint, "Searching is case-sensitive")                                                      \
    X(NonMatchingLabel, "N&on-matching records")                                                             \
    X(NonMatchingHint, "Show records that do not match the field value criteria")                            \
    X(SummaryFieldLabel, "Field")                                                                            \
    X(SummarySearchLabel, "Search Type")                                                                     \
    X(SummaryValueLabel, "Value")                                                                            \
    X(SummaryCaption, "")                                                                                    \
    X(FieldsLabel, "&Fields")                                                                                \
    X(ValueRangeTabHint, "Search fields by value or by range")                                               \
    X(AllSearchedTabHint, "Show all fields or only currently searched fields")

// TwwUserMessagesIntl
#define WW_USER_MESSAGES_TEXTS(X)                                                                            \
    X(wwDBGridDiscardChanges, "Discard changes to this record?")                                             \
    X(PictureValidateError, "Invalid characters. Field : ")                                                  \
    X(LocateNoMatches, "No matches found")                                                                   \
    X(LocateNoMoreMatches, "No more matches found")                                                          \
    X(MemoChangesWarning, "Changes have been made!  Are you sure you wish to cancel?")                       \
    X(RichEditExitWarning, "Changes have been made!  Do you wish to save your changes?")                     \
    X(RichEditClearWarning, "Clear entire text?")                                                            \
    X(RichEditSpellCheckComplete, "The spell check is complete.")                                            \
    X(RichEditMSWordNotFound, "Unable to start Microsoft Word's Spell Checker.")                             \
    X(FilterDlgNoCriteria, "You have not selected any search criteria")                                      \
    X(RecordViewExitWarning, "Changes have been made!  Do you wish to save your changes?")

// TwwDBNavigatorIntl
#define WW_NAVIGATOR_TEXTS(X) X(ConfirmDeleteMessage, "Delete record?")

// TwwDBNavigatorIntlHints
#define WW_NAVIGATOR_HINTS_TEXTS(X)                                                                          \
    X(FirstHint, "Move to first record")                                                                     \
    X(PriorHint, "Move to prior record")                                                                     \
    X(NextHint, "Move to next record")                                                                       \
    X(LastHint, "Move to last record")                                                                       \
    X(InsertHint, "Insert new record")                                                                       \
    X(DeleteHint, "Delete current record")                                                                   \
    X(EditHint, "Edit current record")                                                                       \
    X(PostHint, "Post changes of current record")                                                            \
    X(CancelHint, "Cancel changes made to current record")                                                   \
    X(RefreshHint, "Refresh the contents of the dataset")                                                    \
    X(PriorPageHint, "Move backward %d records")                                                             \
    X(NextPageHint, "Move forward %d records")                                                               \
    X(SaveBookmarkHint, "Bookmark current record")                                                           \
    X(RestoreBookmarkHint, "Go back to saved bookmark")                                                      \
    X(RecordViewDialogHint, "View current record")                                                           \
    X(LocateDialogHint, "Locate a specific record")                                                          \
    X(FilterDialogHint, "Filter the dataset")                                                                \
    X(SearchDialogHint, "Search the dataset")

// TwwSearchDialogIntl
#define WW_SEARCH_DIALOG_TEXTS(X)                                                                            \
    X(SearchCharLabel, "&Search Characters")                                                                 \
    X(SearchCharShortLabel, "&Search Char")                                                                  \
    X(SearchByLabel, "Search &By")                                                                           \
    X(StatusRecLabel, "Rec #")                                                                               \
    X(StatusOfLabel, "of")                                                                                   \
    X(SearchCharHint, "Enter characters for incremental search")                                             \
    X(SearchByHint, "Incremental searching and sorting order")

// TwwLocateDialogIntl
#define WW_LOCATE_DIALOG_TEXTS(X)                                                                            \
    X(FieldValueLabel, "Field &Value")                                                                       \
    X(SearchTypeLabel, "&Search Type")                                                                       \
    X(CaseSensitiveLabel, "&Case-sensitive")                                                                 \
    X(MatchExactLabel, "&Exact Match")                                                                       \
    X(MatchStartLabel, "&Partial Match at Beginning")                                                        \
    X(MatchAnyLabel, "Partial Match &Anywhere")                                                              \
    X(FieldsLabel, "&Fields")                                                                                \
    X(BtnFirst, "Fi&rst")                                                                                    \
    X(BtnNext, "&Next")                                                                                      \
    X(BtnCancel, "Cancel")                                                                                   \
    X(BtnClose, "Close")                                                                                     \
    X(FieldValueHint, "Enter field's search value")                                                          \
    X(CaseSensitiveHint, "Searching is case-sensitive")                                                      \
    X(MatchExactHint, "Match occurs only if there is an exact match")                                        \
    X(MatchStartHint, "Match occurs if the start of the field's value matches")                              \
    X(MatchAnyHint, "Match occurs if any part of the field matches")                                         \
    X(BtnFirstHint, "Find first match")                                                                      \
    X(BtnNextHint, "Find next match from current record")                                                    \
    X(FieldNameHint, "Select the field to search on")

// TwwMonthCalendarIntl
#define WW_MONTH_CALENDAR_TEXTS(X)                                                                           \
    X(PopupYearLabel, "Edit Year")                                                                           \
    X(EnterYearPrompt, "Enter Valid Year")

// TwwDBRichEditIntl
#define WW_RICH_EDIT_TEXTS(X)                                                                                \
    X(FontNameComboHint, "Font | Changes the font of the selection")                                         \
    X(FontSizeComboHint, "Font Size | Changes the font size of the selection")                               \
    X(NewButtonHint, "New | Creates a new document")                                                         \
    X(LoadButtonHint, "Load | Load from file")                                                               \
    X(SaveAsButtonHint, "Save As | Save to file")                                                            \
    X(PrintButtonHint, "Print | Prints the active document")                                                 \
    X(FindButtonHint, "Find | Finds the specified text")                                                     \
    X(CutButtonHint, "Cut | Cuts the selection and puts it on the Clipboard")                                \
    X(CopyButtonHint, "Copy | Copies the selection and puts it on the Clipboard")                            \
    X(UndoButtonHint, "Undo | Reverses the last action")                                                     \
    X(RedoButtonHint, "Redo | Reverses the last undo action")                                                \
    X(PasteButtonHint, "Paste | Inserts Clipboard contents")                                                 \
    X(BoldButtonHint, "Bold | Makes the selection bold (toggle)")                                            \
    X(ColorButtonHint, "Color | Formats the selection with a color")                                         \
    X(UnderlineButtonHint, "Underline | Formats the selection with a continuous underline (toggle)")         \
    X(ItalicButtonHint, "Italic | Makes the selection italic (toggle)")                                      \
    X(LeftButtonHint, "Align Left | Left-justifies paragraph (toggle)")                                      \
    X(CenterButtonHint, "Center | Center-justifies paragraph (toggle)")                                      \
    X(RightButtonHint, "Align Right | Right-justifies paragraph (toggle)")                                   \
    X(JustifyButtonHint, "Justify | Full Justification for paragraph (toggle)")                              \
    X(BulletButtonHint, "Bullets | Inserts a bullet on this line (toggle)")                                  \
    X(HighlightButtonHint, "Highlight Text | Makes the selection highlighted")                               \
    X(SaveExitHint, "Save And Exit | Saves changes and exits editor")                                        \
    X(PageSetupHint, "Page Setup | Changes page layout settings")                                            \
    X(ExitHint, "Exit")                                                                                      \
    X(ClearHint, "Erases the Selection")                                                                     \
    X(SelectAllHint, "Selects all of the text")                                                              \
    X(FindNextHint, "Repeats the last find")                                                                 \
    X(ReplaceHint, "Replaces specific text with different text")                                             \
    X(InsertObjectHint, "Inserts new embedded object")                                                       \
    X(SpellCheckHint, "Check spelling")                                                                      \
    X(ToolbarHint, "Shows or hides the toolbar")                                                             \
    X(FormatBarHint, "Shows or hides the format bar")                                                        \
    X(ViewStatusBarHint, "Shows or hides the status bar")                                                    \
    X(OptionsHint, "Sets options")                                                                           \
    X(FontHint, "Selects font for current selection")                                                        \
    X(ParagraphHint, "Formats current or selected paragraph(s)")                                             \
    X(TabsHint, "Sets tabs")                                                                                 \
    X(CAPLockCaption, "CAP")                                                                                 \
    X(NUMLockCaption, "NUM")

// TwwRichEditMenuLabels
#define WW_RICH_EDIT_MENU_TEXTS(X)                                                                           \
    X(FileCaption, "&File")                                                                                  \
    X(LoadCaption, "&Load")                                                                                  \
    X(SaveAsCaption, "Save &As")                                                                             \
    X(SaveExitCaption, "&Save and Exit")                                                                     \
    X(PrintCaption, "&Print")                                                                                \
    X(PageSetupCaption, "Page Set&up")                                                                       \
    X(ExitCaption, "E&xit")                                                                                  \
    X(EditCaption, "&Edit")                                                                                  \
    X(UndoCaption, "&Undo")                                                                                  \
    X(CutCaption, "Cu&t")                                                                                    \
    X(CopyCaption, "&Copy")                                                                                  \
    X(PasteCaption, "&Paste")                                                                                \
    X(ClearCaption, "Cle&ar")                                                                                \
    X(SelectallCaption, "Select A&ll")                                                                       \
    X(FindCaption, "&Find")                                                                                  \
    X(FindNextCaption, "Find &Next")                                                                         \
    X(ReplaceCaption, "R&eplace")                                                                            \
    X(InsertObjectCaption, "&Object...")                                                                     \
    X(SpellCheckCaption, "Check &Spelling")                                                                  \
    X(InsertCaption, "&Insert")                                                                              \
    X(RulerCaption, "&Ruler")                                                                                \
    X(RedoCaption, "")                                                                                       \
    X(ViewCaption, "&View")                                                                                  \
    X(ToolbarCaption, "&Toolbar")                                                                            \
    X(FormatBarCaption, "&Format Bar")                                                                       \
    X(ViewStatusBarCaption, "&Status Bar")                                                                   \
    X(OptionsCaption, "&Options")                                                                            \
    X(FormatCaption, "F&ormat")                                                                              \
    X(ToolCaption, "&Tools")                                                                                 \
    X(FontCaption, "&Font")                                                                                  \
    X(BulletStyleCaption, "&Bullet Style")                                                                   \
    X(ParagraphCaption, "&Paragraph")                                                                        \
    X(TabsCaption, "&Tabs")                                                                                  \
    X(HelpCaption, "Help")

// TwwRichEditPopupMenuLabels
#define WW_RICH_EDIT_POPUP_TEXTS(X)                                                                          \
    X(EditCaption, "&Edit")                                                                                  \
    X(ViewCaption, "&View")                                                                                  \
    X(CutCaption, "Cu&t")                                                                                    \
    X(CopyCaption, "&Copy")                                                                                  \
    X(PasteCaption, "&Paste")                                                                                \
    X(FontCaption, "&Font")                                                                                  \
    X(BulletStyleCaption, "&Bullet Style")                                                                   \
    X(BoldCaption, "B&old")                                                                                  \
    X(ItalicCaption, "&Italic")                                                                              \
    X(UnderlineCaption, "&Underline")                                                                        \
    X(ParagraphCaption, "P&aragraph")                                                                        \
    X(TabsCaption, "&Tabs")                                                                                  \
    X(FindCaption, "Fin&d")                                                                                  \
    X(ReplaceCaption, "&Replace")                                                                            \
    X(InsertObjectCaption, "Insert &Object...")                                                              \
    X(SpellCheckCaption, "Check &Spelling")                                                                  \
    X(ObjectPropertiesCaption, "Object P&roperties")

// TwwRichEditParagraphDlg
#define WW_PARAGRAPH_DIALOG_TEXTS(X)                                                                         \
    X(ParagraphDlgCaption, "Paragraph")                                                                      \
    X(IndentationGroupBoxCaption, "Indentation")                                                             \
    X(LeftEditCaption, "Left:")                                                                              \
    X(RightEditCaption, "Right:")                                                                            \
    X(FirstLineEditCaption, "First line:")                                                                   \
    X(AlignmentCaption, "Alignment")                                                                         \
    X(LeftEditHint, "Left Indentation")                                                                      \
    X(RightEditHint, "Right Indentation")                                                                    \
    X(FirstLineEditHint, "First Line of Paragraph Indentation")                                              \
    X(SpacingGroupCaption, "Spacing")                                                                        \
    X(BeforeParagraphCaption, "&Before")                                                                     \
    X(AfterParagraphCaption, "Aft&er")                                                                       \
    X(WithinParagraphCaption, "Li&ne Spacing")                                                               \
    X(WithinParagraphAtCaption, "&At")                                                                       \
    X(AlignmentHint, "Changes Alignment of Paragraph")                                                       \
    X(AlignLeft, "Left")                                                                                     \
    X(AlignRight, "Right")                                                                                   \
    X(AlignCenter, "Center")                                                                                 \
    X(AlignJustify, "Justify")                                                                               \
    X(SpacingSingle, "")                                                                                     \
    X(Spacing1_5, "")                                                                                        \
    X(SpacingDouble, "")                                                                                     \
    X(SpacingAtLeast, "")                                                                                    \
    X(SpacingExactly, "")                                                                                    \
    X(SpacingMultiple, "")

// TwwRichEditTabDlg
#define WW_TAB_DIALOG_TEXTS(X)                                                                               \
    X(TabDlgCaption, "Tab")                                                                                  \
    X(TabGroupBoxCaption, "&Tab Stop Position")                                                              \
    X(SetTabButtonCaption, "Set")                                                                            \
    X(ClearTabButtonCaption, "Clear")                                                                        \
    X(ClearAllButtonCaption, "Clear All")                                                                    \
    X(TabPositionEditHint, "Tab Position Edit Box")                                                          \
    X(ListBoxHint, "List of tabs and their positions")                                                       \
    X(SetButtonHint, "Set a new tab position")                                                               \
    X(ClearButtonHint, "Clear the selected tab position")                                                    \
    X(ClearAllButtonHint, "Clear all the tabs")

// ---------------------------------------------------------------------------
// The text objects
// ---------------------------------------------------------------------------

#define WW_INTL_TEXT_INDEX(Name, Default) ti##Name,
#define WW_INTL_TEXT_ACCESS(Name, Default)                                                                   \
    const AnsiString& Name() const { return FTexts[ti##Name]; }                                              \
    void Set##Name(const AnsiString& Value) { FTexts[ti##Name] = Value; }
// The body of a text object: its text numbers, constructor, property table
// and one getter and setter per text.
#define WW_INTL_TEXTS_BODY(Class, Texts)                                                                     \
public:                                                                                                      \
    enum : size_t { Texts(WW_INTL_TEXT_INDEX) TextCount };                                                   \
    Class();                                                                                                 \
    static void DescribeProperties(TPropertyTable& T);                                                       \
    Texts(WW_INTL_TEXT_ACCESS)

// A set of texts, one published property each. Assign copies every text of an
// object of the same class, and of its own text objects.
class TwwIntlTexts : public TPersistent {
    ZELMOR_CLASS(TwwIntlTexts, TPersistent)
public:
    void Assign(TPersistent* Source) override;

protected:
    explicit TwwIntlTexts(std::initializer_list<const char*> Defaults);
    // The text objects this one owns, copied along with it.
    virtual void AssignOwned(const TwwIntlTexts& /*Source*/) {}
    std::vector<AnsiString> FTexts;
};

class TwwFilterDialogIntl : public TwwIntlTexts {
    ZELMOR_CLASS(TwwFilterDialogIntl, TwwIntlTexts)
    WW_INTL_TEXTS_BODY(TwwFilterDialogIntl, WW_FILTER_DIALOG_TEXTS)
};

class TwwUserMessagesIntl : public TwwIntlTexts {
    ZELMOR_CLASS(TwwUserMessagesIntl, TwwIntlTexts)
    WW_INTL_TEXTS_BODY(TwwUserMessagesIntl, WW_USER_MESSAGES_TEXTS)
};

class TwwDBNavigatorIntlHints : public TwwIntlTexts {
    ZELMOR_CLASS(TwwDBNavigatorIntlHints, TwwIntlTexts)
    WW_INTL_TEXTS_BODY(TwwDBNavigatorIntlHints, WW_NAVIGATOR_HINTS_TEXTS)
};

class TwwDBNavigatorIntl : public TwwIntlTexts {
    ZELMOR_CLASS(TwwDBNavigatorIntl, TwwIntlTexts)
    WW_INTL_TEXTS_BODY(TwwDBNavigatorIntl, WW_NAVIGATOR_TEXTS)
    ~TwwDBNavigatorIntl() override;
    TwwDBNavigatorIntlHints* Hints() const { return FHints.get(); }
    void SetHints(TwwDBNavigatorIntlHints* Value);

protected:
    void AssignOwned(const TwwIntlTexts& Source) override;

private:
    std::unique_ptr<TwwDBNavigatorIntlHints> FHints;
};

class TwwSearchDialogIntl : public TwwIntlTexts {
    ZELMOR_CLASS(TwwSearchDialogIntl, TwwIntlTexts)
    WW_INTL_TEXTS_BODY(TwwSearchDialogIntl, WW_SEARCH_DIALOG_TEXTS)
};

class TwwLocateDialogIntl : public TwwIntlTexts {
    ZELMOR_CLASS(TwwLocateDialogIntl, TwwIntlTexts)
    WW_INTL_TEXTS_BODY(TwwLocateDialogIntl, WW_LOCATE_DIALOG_TEXTS)
};

class TwwMonthCalendarIntl : public TwwIntlTexts {
    ZELMOR_CLASS(TwwMonthCalendarIntl, TwwIntlTexts)
    WW_INTL_TEXTS_BODY(TwwMonthCalendarIntl, WW_MONTH_CALENDAR_TEXTS)
};

class TwwRichEditMenuLabels : public TwwIntlTexts {
    ZELMOR_CLASS(TwwRichEditMenuLabels, TwwIntlTexts)
    WW_INTL_TEXTS_BODY(TwwRichEditMenuLabels, WW_RICH_EDIT_MENU_TEXTS)
};

class TwwRichEditPopupMenuLabels : public TwwIntlTexts {
    ZELMOR_CLASS(TwwRichEditPopupMenuLabels, TwwIntlTexts)
    WW_INTL_TEXTS_BODY(TwwRichEditPopupMenuLabels, WW_RICH_EDIT_POPUP_TEXTS)
};

// The texts of a dialog with its help context.
class TwwIntlDialogTexts : public TwwIntlTexts {
    ZELMOR_CLASS(TwwIntlDialogTexts, TwwIntlTexts)
public:
    static void DescribeProperties(TPropertyTable& T);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }

protected:
    using TwwIntlTexts::TwwIntlTexts;
    void AssignOwned(const TwwIntlTexts& Source) override;

private:
    int FHelpContext = 0;
};

class TwwRichEditParagraphDlg : public TwwIntlDialogTexts {
    ZELMOR_CLASS(TwwRichEditParagraphDlg, TwwIntlDialogTexts)
    WW_INTL_TEXTS_BODY(TwwRichEditParagraphDlg, WW_PARAGRAPH_DIALOG_TEXTS)
};

class TwwRichEditTabDlg : public TwwIntlDialogTexts {
    ZELMOR_CLASS(TwwRichEditTabDlg, TwwIntlDialogTexts)
    WW_INTL_TEXTS_BODY(TwwRichEditTabDlg, WW_TAB_DIALOG_TEXTS)
};

class TwwDBRichEditIntl : public TwwIntlTexts {
    ZELMOR_CLASS(TwwDBRichEditIntl, TwwIntlTexts)
    WW_INTL_TEXTS_BODY(TwwDBRichEditIntl, WW_RICH_EDIT_TEXTS)
    ~TwwDBRichEditIntl() override;
    TwwRichEditMenuLabels* MenuLabels() const { return FMenuLabels.get(); }
    void SetMenuLabels(TwwRichEditMenuLabels* Value);
    TwwRichEditPopupMenuLabels* PopupMenuLabels() const { return FPopupMenuLabels.get(); }
    void SetPopupMenuLabels(TwwRichEditPopupMenuLabels* Value);
    TwwRichEditParagraphDlg* ParagraphDialog() const { return FParagraphDialog.get(); }
    void SetParagraphDialog(TwwRichEditParagraphDlg* Value);
    TwwRichEditTabDlg* TabDialog() const { return FTabDialog.get(); }
    void SetTabDialog(TwwRichEditTabDlg* Value);

protected:
    void AssignOwned(const TwwIntlTexts& Source) override;

private:
    std::unique_ptr<TwwRichEditMenuLabels> FMenuLabels;
    std::unique_ptr<TwwRichEditPopupMenuLabels> FPopupMenuLabels;
    std::unique_ptr<TwwRichEditParagraphDlg> FParagraphDialog;
    std::unique_ptr<TwwRichEditTabDlg> FTabDialog;
};

// The one setting of the ADO group: FindFieldValue's use of Locate on ADO data sets.
class TwwADOIntl : public TPersistent {
    ZELMOR_CLASS(TwwADOIntl, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    bool UseLocateWhenFindingValue() const { return FUseLocateWhenFindingValue; }
    void SetUseLocateWhenFindingValue(bool Value) { FUseLocateWhenFindingValue = Value; }
    void Assign(TPersistent* Source) override;

private:
    bool FUseLocateWhenFindingValue = true;
};

// ---------------------------------------------------------------------------
// TwwIntl
// ---------------------------------------------------------------------------

enum TwwCheckBoxInGridStyle : uint8_t { cbStyleAuto, cbStyleCheckmark, cbStyleXmark, cbStyleCheckmarkFlat };
ZELMOR_DECLARE_ENUM(TwwCheckBoxInGridStyle);
enum TwwGridPaintStyle : uint8_t { gpsBitmapCanvas, gpsDynamicDeviceContext };
ZELMOR_DECLARE_ENUM(TwwGridPaintStyle);

// (Sender, Field, var message, var do-default): a handler may change the
// message of a failed picture mask, or clear DoDefault to take over.
using TwwPictureValidationError =
    TEvent<void(TObject* Sender, TField* Field, AnsiString& Msg, bool& DoDefault)>;

class TwwIntl : public TComponent {
    ZELMOR_CLASS(TwwIntl, TComponent)
public:
    explicit TwwIntl(TComponent* AOwner);
    ~TwwIntl() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwADOIntl* ADO() const { return FADO.get(); }
    void SetADO(TwwADOIntl* Value);
    TwwDBNavigatorIntl* Navigator() const { return FNavigator.get(); }
    void SetNavigator(TwwDBNavigatorIntl* Value);
    TwwSearchDialogIntl* SearchDialog() const { return FSearchDialog.get(); }
    void SetSearchDialog(TwwSearchDialogIntl* Value);
    TwwLocateDialogIntl* LocateDialog() const { return FLocateDialog.get(); }
    void SetLocateDialog(TwwLocateDialogIntl* Value);
    TwwMonthCalendarIntl* MonthCalendar() const { return FMonthCalendar.get(); }
    void SetMonthCalendar(TwwMonthCalendarIntl* Value);
    TwwUserMessagesIntl* UserMessages() const { return FUserMessages.get(); }
    void SetUserMessages(TwwUserMessagesIntl* Value);
    TwwFilterDialogIntl* FilterDialog() const { return FFilterDialog.get(); }
    void SetFilterDialog(TwwFilterDialogIntl* Value);
    TwwDBRichEditIntl* RichEdit() const { return FRichEdit.get(); }
    void SetRichEdit(TwwDBRichEditIntl* Value);

    // The library's dialogs make their OK and Cancel buttons with glyphs.
    bool OKCancelBitmapped() const { return FOKCancelBitmapped; }
    void SetOKCancelBitmapped(bool Value) { FOKCancelBitmapped = Value; }
    TFontStyles DialogFontStyle() const { return FDialogFontStyle; }
    void SetDialogFontStyle(TFontStyles Value) { FDialogFontStyle = Value; }
    const AnsiString& BtnOKCaption() const { return FBtnOKCaption; }
    void SetBtnOKCaption(const AnsiString& Value) { FBtnOKCaption = Value; }
    const AnsiString& BtnCancelCaption() const { return FBtnCancelCaption; }
    void SetBtnCancelCaption(const AnsiString& Value) { FBtnCancelCaption = Value; }
    // Setting it true copies this object into DefaultIntl, as loading it with
    // true does; DefaultIntl's own stays false.
    bool Connected() const { return FConnected; }
    void SetConnected(bool Value);
    // Assigning it changes nothing.
    const AnsiString& LibraryVersion() const { return FLibraryVersion; }
    void SetLibraryVersion(const AnsiString&) {}
    // The base name of the grids' layout file; DefaultIntl's carries ".ini".
    const AnsiString& IniFileName() const { return FIniFileName; }
    void SetIniFileName(const AnsiString& Value) { FIniFileName = Value; }
    // Removing a range from a table on an SQL server reopens the table.
    bool ReopenToCancelRange() const { return FReopenToCancelRange; }
    void SetReopenToCancelRange(bool Value) { FReopenToCancelRange = Value; }
    // A connected object passes these two on to DefaultIntl at once.
    TwwCheckBoxInGridStyle CheckBoxInGridStyle() const { return FCheckBoxInGridStyle; }
    void SetCheckBoxInGridStyle(TwwCheckBoxInGridStyle Value);
    TwwGridPaintStyle GridPaintStyle() const { return FGridPaintStyle; }
    void SetGridPaintStyle(TwwGridPaintStyle Value);
    // Incremental searches go through Locate rather than a range or a walk.
    bool UseLocateMethodForSearch() const { return FUseLocateMethodForSearch; }
    void SetUseLocateMethodForSearch(bool Value) { FUseLocateMethodForSearch = Value; }
    // The pivot of two-digit years.
    int DefaultEpochYear() const { return FDefaultEpochYear; }
    void SetDefaultEpochYear(int Value) { FDefaultEpochYear = Value; }
    // The most bytes of a memo that the record filters read.
    int FilterMemoSize() const { return FFilterMemoSize; }
    void SetFilterMemoSize(int Value) { FFilterMemoSize = Value; }

    TwwPictureValidationError OnValidationErrorUsingMask;

    // A typed value that does not fit its picture mask: the handler may
    // change the message or take over; otherwise a beep and EInvalidOperation.
    virtual void DoValidationError(TObject* Sender, TField* Field);

protected:
    void Loaded() override;

private:
    std::unique_ptr<TwwADOIntl> FADO;
    std::unique_ptr<TwwDBNavigatorIntl> FNavigator;
    std::unique_ptr<TwwSearchDialogIntl> FSearchDialog;
    std::unique_ptr<TwwLocateDialogIntl> FLocateDialog;
    std::unique_ptr<TwwMonthCalendarIntl> FMonthCalendar;
    std::unique_ptr<TwwUserMessagesIntl> FUserMessages;
    std::unique_ptr<TwwFilterDialogIntl> FFilterDialog;
    std::unique_ptr<TwwDBRichEditIntl> FRichEdit;
    bool FOKCancelBitmapped = true;
    TFontStyles FDialogFontStyle;
    AnsiString FBtnOKCaption = "&OK";
    AnsiString FBtnCancelCaption = "Cancel";
    bool FConnected = false;
    AnsiString FLibraryVersion = "4000.0.3";
    AnsiString FIniFileName;
    bool FReopenToCancelRange = true;
    TwwCheckBoxInGridStyle FCheckBoxInGridStyle = cbStyleAuto;
    TwwGridPaintStyle FGridPaintStyle = gpsDynamicDeviceContext;
    bool FUseLocateMethodForSearch = true;
    int FDefaultEpochYear = 1950;
    int FFilterMemoSize = 65536;
};

// The library's settings object, from the library's start-up (before the
// application's first form) to its shutdown; read without a test for null
// in between.
extern TwwIntl* DefaultIntl;
// Makes DefaultIntl, owned by the application object, at the first start-up;
// frees it at the matching shutdown unless the application object freed it first.
void StartDefaultIntl();
void FinishDefaultIntl();

// Copies a placed settings object into DefaultIntl: every text and setting
// but LibraryVersion and Connected. Nothing for DefaultIntl itself.
void CopyIntoDefaultIntl(TwwIntl* Source);

// The OK (bkOK), Cancel (bkCancel) or Help (bkHelp) button of a library
// dialog: a glyph button when DefaultIntl says so, else a plain one; owned
// and parented by the form, invisible, sized for the screen's pixels per inch
// (0: the screen's).
TButton* CreateDialogButton(TCustomForm* Form, TBitBtnKind Kind, int PixelsPerInch = 0);

// ---------------------------------------------------------------------------
// TwwController
// ---------------------------------------------------------------------------

// One frame look and one button look that the library's controls can share:
// a control whose Controller property names it registers in ControlList
// (RegisterWithController) and copies the controller's Frame when the
// property is set; a control that goes is taken off the list. The
// controller itself never walks the list.
class TwwController : public TComponent {
    ZELMOR_CLASS(TwwController, TComponent)
public:
    explicit TwwController(TComponent* AOwner);
    ~TwwController() override;
    static void DescribeProperties(TPropertyTable& T);
    TwwEditFrame* Frame() const { return FFrame.get(); }
    void SetFrame(TwwEditFrame* Value) { FFrame->Assign(Value); }
    TwwButtonEffects* ButtonEffects() const { return FButtonEffects.get(); }
    void SetButtonEffects(TwwButtonEffects* Value) { FButtonEffects->Assign(Value); }
    TList* ControlList() const { return FControlList.get(); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TwwEditFrame> FFrame;
    std::unique_ptr<TwwButtonEffects> FButtonEffects;
    std::unique_ptr<TList> FControlList;
};
