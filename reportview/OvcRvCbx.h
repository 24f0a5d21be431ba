#pragma once
// The view picker: a drop-down list of the view titles of one report view;
// picking a title makes that view active. It follows the report view's
// change notifications: views made, freed or retitled, the active view
// switched, the report view going away.
#include "reportview/OvcCmbx.h"
#include "reportview/OvcRptVw.h"

// It publishes what the library's combo box publishes.
class TOvcViewComboBox : public TOvcComboBox {
    ZELMOR_CLASS(TOvcViewComboBox, TOvcComboBox)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcViewComboBox(TComponent* AOwner);
    ~TOvcViewComboBox() override;
    void BeforeDestruction() override;
    TOvcCustomReportView* ReportView() const { return FReportView; }
    void SetReportView(TOvcCustomReportView* Value);
    // The titles of the report view's views, in view order, empty ones left out.
    void LoadList();
    void SelectionChanged() override;
    void ChangeNotification(TOvcCustomReportView* Sender, TRvChangeEvent Event);

protected:
    void Loaded() override;
    // The window, once there, shows the active view's title.
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void SelectActiveTitle();
    TOvcCustomReportView* FReportView = nullptr;
};
