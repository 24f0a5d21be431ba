#include "reportview/OvcExcpt.h"

#include "platform/rtl/Regional.h"
#include "reportview/OvcData.h"

#define ZELMOR_OVC_EXCEPTION_MESSAGE(Name, Base)                                                             \
    Name::Name() : Base(GetRvLibStr(Id)) {}

ZELMOR_OVC_EXCEPTION_MESSAGE(ENoTimersAvailable, EOvcException)
ZELMOR_OVC_EXCEPTION_MESSAGE(ENoControllerAssigned, EControllerError)
ZELMOR_OVC_EXCEPTION_MESSAGE(EDuplicateCommand, ECmdProcessorError)
ZELMOR_OVC_EXCEPTION_MESSAGE(ETableNotFound, ECmdProcessorError)
ZELMOR_OVC_EXCEPTION_MESSAGE(EInvalidDataType, EEntryFieldError)
ZELMOR_OVC_EXCEPTION_MESSAGE(EInvalidDateForMask, EEntryFieldError)
ZELMOR_OVC_EXCEPTION_MESSAGE(ERegionTooLarge, EViewerError)
ZELMOR_OVC_EXCEPTION_MESSAGE(EInvalidPageIndex, ENotebookError)
ZELMOR_OVC_EXCEPTION_MESSAGE(EInvalidTabFont, ENotebookError)
ZELMOR_OVC_EXCEPTION_MESSAGE(EInvalidLabelFont, ERotatedLabelError)
ZELMOR_OVC_EXCEPTION_MESSAGE(EInvalidTriggerHandle, ETimerPoolError)
ZELMOR_OVC_EXCEPTION_MESSAGE(EOnSelectNotAssigned, EVirtualListBoxError)
ZELMOR_OVC_EXCEPTION_MESSAGE(EOnIsSelectedNotAssigned, EVirtualListBoxError)
ZELMOR_OVC_EXCEPTION_MESSAGE(EInvalidFixedFont, EFixedFontError)
ZELMOR_OVC_EXCEPTION_MESSAGE(EInvalidFontParam, EFixedFontError)

EInvalidLineOrCol::EInvalidLineOrCol() : EEditorError(GetRvLibStr(Id), 0) {}
EInvalidLineOrPara::EInvalidLineOrPara() : EEditorError(GetRvLibStr(Id), 0) {}

EInvalidPictureMask::EInvalidPictureMask(const AnsiString& Mask)
    : EEntryFieldError(Format(GetRvLibStr(30202), {Mask})) {}

namespace {

AnsiString PlatformDatePicture() {
    AnsiString picture = FormatSettings().ShortDateFormat;
    size_t y = picture.find_first_of("yY");
    if (y == AnsiString::npos) return picture;
    size_t end = picture.find_first_not_of("yY", y);
    return picture.replace(y, (end == AnsiString::npos ? picture.size() : end) - y, "yyyy");
}

AnsiString PlatformTimePicture() { return "hh" + AnsiString(1, FormatSettings().TimeSeparator) + "mm"; }

TRangePicture gDatePicture = PlatformDatePicture;
TRangePicture gTimePicture = PlatformTimePicture;

AnsiString RangeMessage(int DataType) {
    switch (DataType) {
    case 4: return Format(GetRvLibStr(30203), {INT32_MIN, INT32_MAX});
    case 5: return Format(GetRvLibStr(30203), {0, 65535});
    case 6: return Format(GetRvLibStr(30203), {-32768, 32767});
    case 7: return Format(GetRvLibStr(30203), {0, 255});
    case 8: return Format(GetRvLibStr(30203), {-128, 127});
    case 9: return GetRvLibStr(30204);
    case 10: return GetRvLibStr(30205);
    case 11: return GetRvLibStr(30206);
    case 12: return GetRvLibStr(30207);
    case 13: return GetRvLibStr(30208);
    case 14: return Format(GetRvLibStr(30209), {gDatePicture()});
    case 15: return Format(GetRvLibStr(30210), {gTimePicture()});
    default: return GetRvLibStr(30211);
    }
}

}  // namespace

void SetRangeMessagePictures(TRangePicture Date, TRangePicture Time) {
    gDatePicture = Date ? Date : PlatformDatePicture;
    gTimePicture = Time ? Time : PlatformTimePicture;
}

EInvalidRangeValue::EInvalidRangeValue(int DataType) : EEntryFieldError(RangeMessage(DataType)) {}

EReportViewError::EReportViewError(uint16_t MessageId) : EOvcException(GetRvLibStr(MessageId)) {}

EReportViewError::EReportViewError(uint16_t MessageId, std::initializer_list<TVarRec> Args)
    : EOvcException(Format(GetRvLibStr(MessageId), Args)) {}
