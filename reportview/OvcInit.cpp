#include "reportview/OvcInit.h"

#include <vector>

#include "reportview/OvcBCalc.h"
#include "reportview/OvcBEdit.h"
#include "reportview/OvcBase.h"
#include "reportview/OvcCalc.h"
#include "reportview/OvcClock.h"
#include "reportview/OvcCmbx.h"
#include "reportview/OvcDRpVw.h"
#include "reportview/OvcData.h"
#include "reportview/OvcDbRpV.h"
#include "reportview/OvcDrCbx.h"
#include "reportview/OvcEdClc.h"
#include "reportview/OvcEditF.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcIntl.h"
#include "reportview/OvcLB.h"
#include "reportview/OvcRptVw.h"
#include "reportview/OvcRvCbx.h"
#include "reportview/OvcSlide.h"
#include "reportview/OvcSplit.h"
#include "reportview/OvcSrMgr.h"
#include "reportview/OvcUser.h"
#include "reportview/Ovcdate.h"

namespace {
// The classes this start registered, which its end takes back.
std::vector<const TClassInfo*>& Registered() {
    static std::vector<const TClassInfo*> classes;
    return classes;
}
}  // namespace

void OvcInitialize() {
    OpenStringResourceMessages();
    AlphaCharSet();
    OpenRvLibStr();
    Ovcdate::InitDefaultDate();
    // The entry fields' settings and mask data, read once for the run.
    if (!OvcIntlSup) OvcIntlSup = new TOvcIntlSup;
    if (!OvcUserData) OvcUserData = new TOvcUserData;
    // The range messages of the fields show the fields' own pictures.
    SetRangeMessagePictures([] { return OvcIntlSup->InternationalDate(true); },
                            [] { return OvcIntlSup->InternationalTime(false); });
    // Form data creates these by name; a name another library took stays its.
    for (const TClassInfo* c : {&TOvcAttachedLabel::StaticClassInfo(),
                                &TOvcController::StaticClassInfo(),
                                &TOvcTimerPool::StaticClassInfo(),
                                &TOvcSection::StaticClassInfo(),
                                &TOvcSplitter::StaticClassInfo(),
                                &TOvcClock::StaticClassInfo(),
                                &TOvcComboBox::StaticClassInfo(),
                                &TOvcVirtualListBox::StaticClassInfo(),
                                &TOvcButtonHeader::StaticClassInfo(),
                                &TOvcButtonHeaderSection::StaticClassInfo(),
                                &TOvcReportView::StaticClassInfo(),
                                &TOvcRvField::StaticClassInfo(),
                                &TOvcRVView::StaticClassInfo(),
                                &TOvcRvViewField::StaticClassInfo(),
                                &TOvcDbReportView::StaticClassInfo(),
                                &TOvcDbRvField::StaticClassInfo(),
                                &TOvcDataReportView::StaticClassInfo(),
                                &TOvcDataRvField::StaticClassInfo(),
                                &TOvcViewComboBox::StaticClassInfo(),
                                &TOvcSlider::StaticClassInfo(),
                                &TOvcListBox::StaticClassInfo(),
                                &TOvcEdit::StaticClassInfo(),
                                &TOvcCalculator::StaticClassInfo(),
                                &TOvcNumberEdit::StaticClassInfo(),
                                &TOvcBorderedEdit::StaticClassInfo(),
                                &TOvcBorderedNumberEdit::StaticClassInfo(),
                                &TOvcDirectoryComboBox::StaticClassInfo(),
                                &TOvcFileComboBox::StaticClassInfo()})
        if (!GetClass(c->Name)) {
            RegisterClass(*c);
            Registered().push_back(c);
        }
    CreateReportViewResources();
}

void OvcFinalize() {
    FreeReportViewResources();
    for (const TClassInfo* c : Registered()) UnRegisterClass(*c);
    Registered().clear();
    SetRangeMessagePictures(nullptr, nullptr);
    delete OvcUserData;
    OvcUserData = nullptr;
    delete OvcIntlSup;
    OvcIntlSup = nullptr;
    CloseRvLibStr();
    CloseStringResourceMessages();
}
