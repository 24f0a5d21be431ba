#pragma once
// The data-aware library's shared routines. Its units work together without
// seeing each other's declarations: an edit asks its data set for picture
// masks, a grid asks for control types, a dialog sets the data source of a
// control it did not make, a drop-down asks whether its parent is a grid.
// So properties are read and written by name, classes are tested by name, and
// the per-data-set settings (lookup, ControlType and PictureMasks lines) are
// read here for every owner alike.
//
// Property readers have a fixed answer when the object lacks the property:
// null for objects, lists and events, the empty text, false, 0, and true
// for ControlInfoInDataSet and PictureMaskFromDataSet (so a control without
// them takes its data set's lines).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dataaware/Wwtypes.h"
#include "platform/classes/Alignment.h"
#include "platform/db/DB.h"
#include "platform/rtl/AnsiString.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Controls.h"
#include "platform/win/MessageQueue.h"

class TCustomEdit;
class TCustomForm;
class TCustomRichEdit;
class TDataSource;
class TDbfCursor;
class TIndexDef;
class TList;
class TMemoryStream;
class TParam;
class TParams;
class TStrings;
class TwwTable;

// ---------------------------------------------------------------------------
// Properties by name
// ---------------------------------------------------------------------------

TwwInvalidValueEvent GetOnInvalidValueEvent(TObject* DataSet);
TwwPerformSearchEvent GetOnPerformCustomSearchEvent(TObject* Component);
// Leaves Event as it was when the control has no OnCalcCellColors.
void GetOnCalcCellColorsEvent(TObject* Control, TMethod& Event);
TStrings* GetPictureMasks(TObject* Component);
TStrings* GetControlType(TObject* Component);
TStrings* GetLookupFields(TObject* DataSet);
TStrings* GetLookupLinks(TObject* DataSet);
bool GetControlInfoInDataSet(TObject* Component);
bool GetPictureMaskFromDataSet(TObject* Component);
int64_t GetCursorLocation(TObject* Object);
bool SetCursorLocation(TObject* DataSet, int64_t Value);
bool SetMaxRecords(TObject* DataSet, int64_t Value);
AnsiString GetDatabaseName(TObject* DataSet);
bool SetDatabaseName(TObject* DataSet, const AnsiString& Value);
TObject* GetDatabaseComponent(TObject* DataSet);
bool SetDatabaseComponent(TObject* DataSet, TObject* Value);
TObject* GetConnection(TObject* DataSet);
bool SetConnection(TObject* DataSet, TObject* Value);
AnsiString GetConnectionString(TObject* DataSet);
bool SetConnectionString(TObject* DataSet, const AnsiString& Value);
AnsiString GetSessionName(TObject* DataSet);
bool SetSessionName(TObject* DataSet, const AnsiString& Value);
AnsiString GetTableNameProp(TObject* DataSet);
TDataSource* GetMasterSource(TObject* DataSet);
TDataSet* GetDataSetProp(TObject* Object);
TDataSource* GetDataSourceProp(TObject* Component);
// Only windowed controls take a data source or a data field this way.
bool SetDataSourceProp(TObject* Component, TDataSource* Value);
AnsiString GetDataFieldProp(TObject* Component);
bool SetDataFieldProp(TObject* Component, const AnsiString& Value);
bool SetBorderStyleProp(TObject* Control, bool Single);
bool HasBorderStyleSingle(TObject* Control);
bool GetWantReturns(TObject* Control);
bool GetEditCalculated(TObject* Control);
TParams* GetParamsProp(TObject* DataSet);
bool AssignParamsProp(TObject* DataSet, TParams* Value);
// A string-list property gets a copy of the lines (true); a string property
// gets them joined by CR LF and the answer is false all the same, as callers
// read false as "the lines were not taken as lines".
bool AssignStringsProp(TObject* DataSet, TStrings* Lines, std::string_view PropName);
int64_t GetOrdPropByName(TObject* Control, std::string_view PropName);
TList* GetControlList(TObject* Controller);

// ---------------------------------------------------------------------------
// Classes by name, owners and parents
// ---------------------------------------------------------------------------

// The class or one of its ancestors has the name, compared without regard to case.
bool IsClassNamed(const TClassInfo* Class, std::string_view Name);
bool IsClassNamed(const TObject* Object, std::string_view Name);
bool IsCompatibleDataSet(TDataSet* DataSet);
// Whose PictureMasks (ControlType) lines apply to a control: its data set's
// (DataSet, or the DataSet of its DataSource) when the control's
// PictureMaskFromDataSet (ControlInfoInDataSet) is on or absent and the data
// set has the list; otherwise the control's own.
TComponent* PictureMasksOwner(TComponent* Control, TDataSet* DataSet);
TComponent* ControlTypeOwner(TComponent* Control, TDataSet* DataSet);
// The form a component belongs to (itself when it is one), walking owners.
TCustomForm* GetOwnerFormOf(TComponent* Component);
TComponent* GetOwnerFormOrFrame(TComponent* Component);
// A form designer would hear of a change; there is none here.
void NotifyFormDesigner(TComponent* Component);
bool IsPaintCopy(TControlState State);
bool IsInCustomGrid(TControl* Control);
bool IsPaintingInCustomGrid(TControl* Control);
bool IsPaintingInInspector(TControl* Control);
bool IsPaintingInDBGrid(TControl* Control);
bool IsInInspector(TControl* Control);
bool IsDesigning(TControl* Control);
// Moves Control from the ControlList of the controller in Slot to that of
// NewController (none: out of every list), asking NewController to tell the
// control when it goes. A control is always in the list of the one
// controller its slot names.
void RegisterWithController(TComponent*& Slot, TComponent* NewController, TComponent* Control);

// ---------------------------------------------------------------------------
// Fields and Selected lines
// ---------------------------------------------------------------------------

bool DataSetHasField(TObject* DataSet, std::string_view FieldName);
// The first field whose label (a "~" read as a blank) equals the text.
AnsiString FieldNameByDisplayLabel(TDataSet* DataSet, std::string_view Label);
int IndexOfTextNoCase(TStrings* Lines, std::string_view Text);
// One line per visible field: name, TAB, display width, TAB, label.
void BuildDefaultSelected(TDataSet* DataSet, TStrings& Lines);
bool FindSelectedLine(TStrings* Lines, std::string_view FieldName, int& Index);
// Shows the fields the lines name, in the lines' order, with their widths
// and labels, and hides the others.
void ApplySelectedToFields(TDataSet* DataSet, TStrings* Lines);
// The lines joined by one blank (UseBlanks) or by CR LF.
AnsiString StringsToPChar(TStrings* Lines, bool UseBlanks);

// ---------------------------------------------------------------------------
// Lookup lines
//
// LookupFields line, parts separated by ";": the calculated field; the
// lookup table's database; its table name; its result field; its index name
// (with five parts); with six or more, its index fields from the sixth part
// to the one before the last, and a last part "N" that opens the table under
// its name without extension. LookupLinks line at the same index: pairs of
// own field and lookup field, one to six pairs; the own fields' values are
// the key searched in the lookup table's index.
// ---------------------------------------------------------------------------

// The lookup tables a data set opened for its LookupFields.
using TwwLookupTables = std::vector<TwwTable*>;
// A field's value in the record being filtered, by field name.
using TwwFieldValueProvider = std::function<TParam*(const AnsiString& FieldName)>;

AnsiString GetLookupLinkLine(TDataSet* DataSet, std::string_view FieldName);
AnsiString GetLookupResultFieldName(TDataSet* DataSet, std::string_view FieldName);
void GetLookupDefinition(TField* Field, AnsiString& Database, AnsiString& Table, AnsiString& ResultField,
                         AnsiString& LinkLine);
bool IsExtensionlessLookupLine(const TStrings& Parts);
AnsiString TableNameWithoutExtension(std::string_view Name);
bool LookupTableMatchesLine(TwwTable* Table, const TStrings& Parts);
// The lookup tables of one of the library's four data sets; null for any other.
TwwLookupTables* GetLookupTables(TDataSet* DataSet);
// Fills the calculated lookup fields of the current record, opening and
// keeping the lookup tables as needed (one search per table and record).
void CalcLookupFields(TDataSet* DataSet, TStrings* LookupFields, TStrings* LookupLinks,
                      TwwLookupTables& Tables);
bool FindLookupRecord(TDataSet* LookupTable, TDataSet* DataSet, const TStrings& LinkParts);
// Prepares a lookup table the caller holds (a drop-down) for one lookup
// field and positions it on the current record's link values.
bool PositionLookupTable(TDataSet* DataSet, TDataSet* LookupTable, std::string_view FieldName,
                         AnsiString& LinkFieldName);
bool ResolveLookupDisplay(TField* Field, AnsiString& KeyText, TField*& ResultField);
TField* FindLookupResultField(TDataSet* DataSet, TField* Field, const TwwFieldValueProvider& Provider);
bool FindLookupRecordByProvider(TDataSet* DataSet, TDataSet* LookupDataSet, const TStrings& LinkParts,
                                const TwwFieldValueProvider& Provider);

// ControlType lines (field; kind; parameters): the kind and parameters of
// the last line of the field (its name compared with case).
void GetFieldControlType(TComponent* Component, std::string_view FieldName, AnsiString& Kind,
                         AnsiString& Params);
// The same in the lines themselves.
void GetFieldControlType(TStrings* Lines, std::string_view FieldName, AnsiString& Kind, AnsiString& Params);
bool IsSeparateControlKind(std::string_view Kind);
bool FindFieldCustomControl(TComponent* Component, TComponent* Form, TField* Field, TWinControl*& Control);
// Removes the lookup lines (with their link lines) and ControlType lines of
// fields the data set does not have.
void DropMissingFieldEntries(TDataSet* DataSet, TStrings* LookupFields, TStrings* LookupLinks,
                             TStrings* ControlType);
bool IsCalcOrLookupField(TField* Field);
bool IsCalcLookupOrNonBDEField(TField* Field);
// The field's value handed to the parameter in the parameter's own layout
// for the field's type (the parameter takes the field's type first).
void CopyFieldToParam(TField* Field, TParam* Param, std::vector<char>& Buffer);

// ---------------------------------------------------------------------------
// Picture masks
//
// PictureMasks line, parts separated by TAB: field name (matched without
// regard to case); mask; auto-fill "T"; grid entry "T". A missing flag reads
// "F"; writers write all four parts. A field without a line has no mask.
// ---------------------------------------------------------------------------

// Without a line the mask is empty and both flags are true.
void GetFieldPictureMask(TComponent* Component, std::string_view FieldName, bool UseTableChecks,
                         AnsiString& Mask, bool& AutoFill, bool& GridFlag);
// Replaces, adds or (for an empty mask) removes the field's line; a value
// whose Take flag is off is kept from the line.
void SetFieldPictureMask(TComponent* Component, std::string_view FieldName, const AnsiString& Mask,
                         bool AutoFill, bool GridFlag, bool TakeMask, bool TakeAutoFill, bool TakeGridFlag);
AnsiString GetTablePictureForField(TDataSet* DataSet, std::string_view FieldName);
AnsiString BoolToTF(bool Value);
// An empty text matches; otherwise only a complete one (an invalid mask
// matches no text).
bool TextMatchesPicture(const AnsiString& Mask, const AnsiString& Text);
// Before a post: the first writable field whose value does not match its
// mask gets its control focused, OnInvalidValue called, and the post refused
// with DefaultIntl's PictureValidateError followed by the field's display name.
void ValidateFieldsWithMasks(TDataSet* DataSet, const TwwInvalidValueEvent& OnInvalidValue);
// A character typed at the end of an edit under a mask: the text checked and
// completed, the caret set; true (Key cleared) when taken.
bool PictureMaskKeyPress(TCustomEdit* Edit, const AnsiString& Mask, bool AutoFill, char& Key);
bool TextFitsFieldType(TFieldType Type, std::string_view Text);
bool TextFitsField(TField* Field, std::string_view Text);
// Also false for no field, and for an empty text in a numeric, date or time field.
bool TextFitsFieldStrict(TField* Field, std::string_view Text);
// Keys that type or delete a character.
bool IsCharacterKey(unsigned Key);
// Whether the set property Options of a grid holds the element of that name
// (the grids of the library and of the platform name their options apart).
bool GridOptionSet(TWinControl* Grid, std::string_view Option);
// A key a cell control passes to its grid: the grid takes the focus and the
// key; the key is consumed.
void HandKeyToGrid(TWinControl* Grid, WORD& Key);
// The mouse hook of an open drop-down (a hook of the current thread, which
// its control removes when the drop-down closes or the control goes): while
// Watching answers true, a left press outside both the control and the
// window DropDown answers posts CM_CANCELMODE to the control.
HHOOK InstallDropDownMouseHook(TWinControl* Control, std::function<TWinControl*()> DropDown,
                               std::function<bool()> Watching);
// A grid's own key press sees the characters typed into its cell control first.
void GridKeyPress(TWinControl* Grid, char& Key);

// ---------------------------------------------------------------------------
// Index search, locate and filter support
// ---------------------------------------------------------------------------

// Whether a data set is an engine data set on an SQL server's database.
bool IsSQLBasedTable(TDataSet* DataSet);
// Moves a table to the first record whose index field at Position (0-based
// among the current index's fields) begins with the text, or narrows it to
// those records (NarrowSearch); true when the record reached matches.
bool IncrementalIndexSearch(TDataSet* Table, const AnsiString& Text, int Position);
// Switches a table to the index (on an SQL server with SyncSQLByRange, by
// reopening it on a range that starts at the current record).
void SelectIndexDef(TDataSet* DataSet, TIndexDef* IndexDef);
void SelectIndexForFields(TDataSet* Table, std::string_view Fields);
bool TableHasIndexFields(TDataSet* DataSet);
bool TableUsesQuery(TDataSet* DataSet);
// Match kinds of the value searches.
enum TwwLocateMatchType : int { mtExactMatch = 0, mtPartialMatchStart = 1, mtPartialMatchAny = 2 };
ZELMOR_DECLARE_ENUM(TwwLocateMatchType);
// True at once when the current record holds the text; otherwise
// FindFieldValue from the first record.
bool LocateFieldValue(TDataSet* DataSet, const AnsiString& Text, const AnsiString& FieldName,
                      bool CaseSensitive, int MatchKind);
bool IsLowOnMemory();
bool IsSearchableFieldType(TFieldType Type);
AnsiString GetAliasPath(std::string_view Alias);
// Keeps the rows of a query-by-example's answer in the table AnswerName
// (":alias:name" for a table in an alias's folder); false for an empty name.
bool PrepareAnswerTable(TDataSet* DataSet, TDbfCursor* AnswerCursor, const AnsiString& AnswerName);
TwwOnFilterOptions GetFilterOptions(TDataSet* DataSet);
void SetFilterEnabled(TDataSet* DataSet, bool Enabled);
// Takes the oldest keyboard message of the thread's queue, whatever it is;
// an Escape going down switches the data set's record filter off (true).
bool PollEscapeKey(TDataSet* DataSet);
int GetFilterMemoSize();
// Reads a memo or blob field of an engine record (at most WantedLength bytes,
// capped by FilterMemoSize) into Destination; gives the count.
int ReadBlobForFilter(TDataSet* DataSet, const char* Record, AnsiString& Destination, int WantedLength,
                      TField* Field);
bool IsRichTextField(TField* Field, bool LookAtData);
// Replaces rich text in Buffer by its plain text, through a hidden rich edit
// the caller keeps in its slot (made on first use, owned by Owner).
void RichTextToPlainText(TComponent* Owner, AnsiString& Buffer, std::unique_ptr<TMemoryStream>& StreamSlot,
                         TCustomRichEdit*& RichEditSlot);
AnsiString ScanFilterToken(std::string_view Text, int& Position);
int CompareBookmarksOf(TDataSet* DataSet, const TBookmark& Bookmark1, const TBookmark& Bookmark2);

// ---------------------------------------------------------------------------
// Drawing and window routines
//
// The button state is the speed buttons' (bsUp, bsDisabled, bsDown,
// bsExclusive); of the control state only csPaintCopy counts: a control
// painted as a picture into a grid cell never shows a pressed button.
// ---------------------------------------------------------------------------

// Options of DrawCellText.
enum : int {
    dctPrefix = 0x01,        // "&" underlines the next character
    dctEndEllipsis = 0x02,   // one line, cut with "..."
    dctWordWrap = 0x04,      // wraps, unless one line already fills the cell
    dctNoFill = 0x10,        // the cell's background is left as it is
    dctSingleVCenter = 0x20  // one line centred vertically
};

// A face with three black dots; Enabled changes nothing of the drawing.
void DrawEllipsisButton(TCanvas* Canvas, const TRect& R, TButtonState State, TControlState ControlState,
                        bool Transparent, bool Flat, bool Enabled);
// The drop-down arrow: inactive when disabled (whatever the button state, so
// a disabled control never looks pressed), pushed and flat when down, plain
// when up or painted as a copy.
void DrawComboArrowButton(TCanvas* Canvas, const TRect& R, TButtonState State, TControlState ControlState,
                          bool Enabled);
// The highlight outline with the dotted focus frame over it; the canvas's
// brush style, pen colour and text colour are as they were afterwards.
void DrawFocusRectangle(TCanvas* Canvas, const TRect& R);
// One line of text in the format, with the borders, reaches R's height.
bool SingleLineFillsRect(HDC DC, const TRect& R, uint32_t Format);
// Text in a cell of R, Left and Top in from its corner (see the options).
void DrawCellText(TCanvas* Canvas, const TRect& R, int Left, int Top, const AnsiString& Text,
                  TAlignment Alignment, int Options);

// Posts a left-button release to what holds the button down on the active
// form: the form, else its first windowed child that does.
void ReleasePressedControl();
// Posts the key going down and up with the modifier seen as held meanwhile.
void PostKeyWithModifier(HWND Window, WORD Key, WORD Modifier);
void GetWorkArea(TRect& R);
void ClearWindowStyleBit(TWinControl* Control);
// A visible windowed child whose top-left corner lies outside the client area.
bool HasChildOutsideClient(TWinControl* Control);
// Themes are never used: every control paints its classic look.
bool IsThemed(TControl* Control);

int IntMax(int A, int B);
int IntMin(int A, int B);
int ClampInt(int Value, int Low, int High);
// Value * PixelsPerInch / 96, truncated toward zero.
int ScaleByPixelsPerInch(int Value, int PixelsPerInch);
int RectWidth(const TRect& R);
int RectHeight(const TRect& R);

// Runs an action when the scope ends, also when an exception passes.
template <class F>
class TwwFinally {
public:
    explicit TwwFinally(F Action) : FAction(std::move(Action)) {}
    ~TwwFinally() { FAction(); }
    TwwFinally(const TwwFinally&) = delete;
    TwwFinally& operator=(const TwwFinally&) = delete;

private:
    F FAction;
};

// The hourglass for the life of the object, the default cursor after.
class TwwHourGlass {
public:
    TwwHourGlass();
    ~TwwHourGlass();
    TwwHourGlass(const TwwHourGlass&) = delete;
    TwwHourGlass& operator=(const TwwHourGlass&) = delete;
};
