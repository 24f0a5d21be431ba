#pragma once
// The library's exceptions: one tree under EOvcException, each class with
// its message from the library's string table.
#include <cstdint>
#include <initializer_list>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

class EOvcException : public Exception {
public:
    explicit EOvcException(AnsiString Message, int32_t Value = 0)
        : Exception(std::move(Message)), ErrorValue(Value) {}
    const char* ClassName() const noexcept override { return "EOvcException"; }
    int32_t ErrorValue = 0;
};

// A branch of the tree: raised only through its descendants.
#define ZELMOR_OVC_BRANCH(Name, Base)                                                                        \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
        const char* ClassName() const noexcept override { return #Name; }                                    \
    }
// A class that carries the library's string MessageId.
#define ZELMOR_OVC_EXCEPTION(Name, Base, MessageId)                                                          \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        Name();                                                                                              \
        using Base::Base;                                                                                    \
        static constexpr uint16_t Id = MessageId;                                                            \
        const char* ClassName() const noexcept override { return #Name; }                                    \
    }

ZELMOR_OVC_EXCEPTION(ENoTimersAvailable, EOvcException, 30189);
ZELMOR_OVC_BRANCH(EControllerError, EOvcException);
ZELMOR_OVC_EXCEPTION(ENoControllerAssigned, EControllerError, 30172);
ZELMOR_OVC_BRANCH(ECmdProcessorError, EOvcException);
ZELMOR_OVC_EXCEPTION(EDuplicateCommand, ECmdProcessorError, 30169);
ZELMOR_OVC_EXCEPTION(ETableNotFound, ECmdProcessorError, 30170);
ZELMOR_OVC_BRANCH(EEntryFieldError, EOvcException);
ZELMOR_OVC_EXCEPTION(EInvalidDataType, EEntryFieldError, 30194);
ZELMOR_OVC_EXCEPTION(EInvalidDateForMask, EEntryFieldError, 30227);

class EInvalidPictureMask : public EEntryFieldError {
public:
    explicit EInvalidPictureMask(const AnsiString& Mask);
    const char* ClassName() const noexcept override { return "EInvalidPictureMask"; }
};

// The range of an entry field's data type (its code: 4 LongInt ... 15 Time).
class EInvalidRangeValue : public EEntryFieldError {
public:
    explicit EInvalidRangeValue(int DataType);
    const char* ClassName() const noexcept override { return "EInvalidRangeValue"; }
};
// The pictures that the date and time range messages show. The regional
// settings of the entry fields give the library's own pictures; until they
// do, the platform's short date (with a four-digit year) and short time.
using TRangePicture = AnsiString (*)();
void SetRangeMessagePictures(TRangePicture Date, TRangePicture Time);

class EEditorError : public EOvcException {
public:
    EEditorError(AnsiString Message, int32_t Value) : EOvcException(std::move(Message), Value) {}
    const char* ClassName() const noexcept override { return "EEditorError"; }
};
ZELMOR_OVC_EXCEPTION(EInvalidLineOrCol, EEditorError, 30216);
ZELMOR_OVC_EXCEPTION(EInvalidLineOrPara, EEditorError, 30213);
ZELMOR_OVC_BRANCH(EViewerError, EOvcException);
ZELMOR_OVC_EXCEPTION(ERegionTooLarge, EViewerError, 30186);
ZELMOR_OVC_BRANCH(ENotebookError, EOvcException);
ZELMOR_OVC_EXCEPTION(EInvalidPageIndex, ENotebookError, 30193);
ZELMOR_OVC_EXCEPTION(EInvalidTabFont, ENotebookError, 30195);
ZELMOR_OVC_BRANCH(ERotatedLabelError, EOvcException);
ZELMOR_OVC_EXCEPTION(EInvalidLabelFont, ERotatedLabelError, 30196);
ZELMOR_OVC_BRANCH(ETimerPoolError, EOvcException);
ZELMOR_OVC_EXCEPTION(EInvalidTriggerHandle, ETimerPoolError, 30191);
ZELMOR_OVC_BRANCH(EVirtualListBoxError, EOvcException);
ZELMOR_OVC_EXCEPTION(EOnSelectNotAssigned, EVirtualListBoxError, 30192);
ZELMOR_OVC_EXCEPTION(EOnIsSelectedNotAssigned, EVirtualListBoxError, 30226);

// The report view's errors: the raising operation gives the message id and
// the arguments of its text.
class EReportViewError : public EOvcException {
public:
    explicit EReportViewError(uint16_t MessageId);
    EReportViewError(uint16_t MessageId, std::initializer_list<TVarRec> Args);
    const char* ClassName() const noexcept override { return "EReportViewError"; }
};
#define ZELMOR_OVC_REPORTVIEW_ERROR(Name)                                                                    \
    class Name : public EReportViewError {                                                                   \
    public:                                                                                                  \
        using EReportViewError::EReportViewError;                                                            \
        const char* ClassName() const noexcept override { return #Name; }                                    \
    }
ZELMOR_OVC_REPORTVIEW_ERROR(EUnknownView);
ZELMOR_OVC_REPORTVIEW_ERROR(EItemNotFound);
ZELMOR_OVC_REPORTVIEW_ERROR(EItemAlreadyAdded);
ZELMOR_OVC_REPORTVIEW_ERROR(EUpdatePending);
ZELMOR_OVC_REPORTVIEW_ERROR(EItemIsNotGroup);
ZELMOR_OVC_REPORTVIEW_ERROR(ELineNoOutOfRange);
ZELMOR_OVC_REPORTVIEW_ERROR(ENotMultiSelect);
ZELMOR_OVC_REPORTVIEW_ERROR(EItemNotInIndex);
ZELMOR_OVC_REPORTVIEW_ERROR(ENoActiveView);
ZELMOR_OVC_REPORTVIEW_ERROR(EOnCompareNotAsgnd);
ZELMOR_OVC_REPORTVIEW_ERROR(EGetAsFloatNotAsg);
ZELMOR_OVC_REPORTVIEW_ERROR(EOnFilterNotAsgnd);

ZELMOR_OVC_BRANCH(ESparseArrayError, EOvcException);
ZELMOR_OVC_BRANCH(ESAEAtMaxSize, ESparseArrayError);
ZELMOR_OVC_BRANCH(ESAEOutOfBounds, ESparseArrayError);
ZELMOR_OVC_BRANCH(EFixedFontError, EOvcException);
ZELMOR_OVC_EXCEPTION(EInvalidFixedFont, EFixedFontError, 30214);
ZELMOR_OVC_EXCEPTION(EInvalidFontParam, EFixedFontError, 30215);
ZELMOR_OVC_BRANCH(EMenuMRUError, EOvcException);
