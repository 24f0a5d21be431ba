#include "dataaware/DataAware.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbcomb.h"
#include "dataaware/Wwdbdlg.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwkeycb.h"
#include "dataaware/Wwlocate.h"
#include "dataaware/Wwqbe.h"
#include "dataaware/Wwquery.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwDBNavigator.h"
#include "dataaware/wwTrackIcon.h"
#include "dataaware/wwcheckbox.h"
#include "dataaware/wwcombobutton.h"
#include "dataaware/wwdbdatetimepicker.h"
#include "dataaware/wwdbedit.h"
#include "dataaware/wwfltdlg.h"
#include "dataaware/wwidlg.h"
#include "dataaware/wwmonthcalendar.h"
#include "dataaware/wwradiogroup.h"
#include "dataaware/wwrcdvw.h"
#include "dataaware/wwrich.h"
#include "dataaware/wwriched.h"
#include "dataaware/wwstorep.h"
#include "platform/db/DataSource.h"
#include "platform/dbctrls/DBCtrls.h"

void StartDataAwareLibrary() {
    RegisterClasses({&TwwTable::StaticClassInfo(),        &TwwQuery::StaticClassInfo(),
                     &TwwQBE::StaticClassInfo(),          &TwwStoredProc::StaticClassInfo(),
                     &TwwDataSource::StaticClassInfo(),   &TwwIntl::StaticClassInfo(),
                     &TwwController::StaticClassInfo(),   &TwwIncrementalSearch::StaticClassInfo(),
                     &TwwDBEdit::StaticClassInfo(),       &TwwComboButton::StaticClassInfo(),
                     &TwwDBGrid::StaticClassInfo(),       &TwwIButton::StaticClassInfo(),
                     &TwwMemoDialog::StaticClassInfo(),   &TwwDBRichEdit::StaticClassInfo(),
                     &TwwDBComboBox::StaticClassInfo(),   &TwwKeyCombo::StaticClassInfo(),
                     &TwwLookupDlg::StaticClassInfo(),    &TwwLookupDialog::StaticClassInfo(),
                     &TwwSearchDialog::StaticClassInfo(), &TwwDBLookupComboDlg::StaticClassInfo(),
                     &TwwLocateDialog::StaticClassInfo(), &TwwTrackIcon::StaticClassInfo(),
                     &TwwFilterDialog::StaticClassInfo(), &TwwRecordViewDialog::StaticClassInfo(),
                     &TwwRichEditForm::StaticClassInfo()});
    RegisterDBControls();
    RegisterCheckBoxClasses();
    RegisterRadioClasses();
    RegisterMonthCalendarClasses();
    RegisterDateTimePickerClasses();
    StartDefaultIntl();
    StartNavigatorUnit();
    // A field's FocusControl (a post refused by a picture mask) puts the
    // focus on the control that shows the field.
    SetFieldFocusHook([](TComponent* Control) {
        auto* control = dynamic_cast<TWinControl*>(Control);
        if (!control || !control->CanFocus()) return false;
        control->SetFocus();
        return control->Focused();
    });
}

void FinishDataAwareLibrary() {
    SetFieldFocusHook(nullptr);
    FinishNavigatorUnit();
    FinishDefaultIntl();
}
