#include "gradient/TeeDraw3D.h"

#include "platform/classes/Properties.h"

ZELMOR_IMPLEMENT_COMPONENT(TDraw3D, TCustomTeePanelExtended)

void TDraw3D::DescribeProperties(TPropertyTable& T) {
    using P = TCustomTeePanelExtended;
    using B = TCustomTeePanel;
    using C = TCustomPanel;
    T.Property("BackImage", &P::BackImage, &P::SetBackImage);
    T.Property("BackImageMode", &P::BackImageMode, &P::SetBackImageMode).Default(pbmStretch);
    T.Property("Gradient", &P::Gradient, &P::SetGradient);
    T.Event("OnAfterDraw", &P::OnAfterDraw);
    // No declared default: a form always says whether the panel buffers.
    T.Property("BufferedDisplay", &B::BufferedDisplay, &B::SetBufferedDisplay);
    T.PropertyOf<B>(
         "MarginLeft", [](B& S) { return S.GetMargin(0); }, [](B& S, int V) { S.SetMargin(0, V); })
        .Default(3);
    T.PropertyOf<B>(
         "MarginTop", [](B& S) { return S.GetMargin(1); }, [](B& S, int V) { S.SetMargin(1, V); })
        .Default(4);
    T.PropertyOf<B>(
         "MarginRight", [](B& S) { return S.GetMargin(2); }, [](B& S, int V) { S.SetMargin(2, V); })
        .Default(3);
    T.PropertyOf<B>(
         "MarginBottom", [](B& S) { return S.GetMargin(3); }, [](B& S, int V) { S.SetMargin(3, V); })
        .Default(4);
    T.Property("Monochrome", &B::Monochrome, &B::SetMonochrome).Default(false);
    T.Property("PrintProportional", &B::PrintProportional, &B::SetPrintProportional).Default(true);
    T.Property("PrintResolution", &B::PrintResolution, &B::SetPrintResolution).Default(0);
    T.Property("View3D", &B::View3D, &B::SetView3D).Default(true);
    T.Property("View3DOptions", &B::View3DOptions, &B::SetView3DOptions);
    T.Event("OnPaint", &TDraw3D::OnPaint);
    TControl::PublishStandard(
        T, {"Align",        "Anchors",        "Constraints",    "DragCursor",  "DragMode",    "Enabled",
            "ParentColor",  "ParentShowHint", "PopupMenu",      "ShowHint",    "TabOrder",    "TabStop",
            "Visible",      "OnClick",        "OnContextPopup", "OnDblClick",  "OnEnter",     "OnExit",
            "OnKeyDown",    "OnKeyPress",     "OnKeyUp",        "OnMouseDown", "OnMouseMove", "OnMouseUp",
            "OnMouseWheel", "OnResize"});
    T.Property("Color", &TControl::Color, &TControl::SetColor).OfType(ColorTypeInfo()).Default(clBtnFace);
    T.Property("BevelInner", &C::BevelInner, &C::SetBevelInner).Default(bvNone);
    T.Property("BevelOuter", &C::BevelOuter, &C::SetBevelOuter).Default(bvRaised);
    T.Property("BevelWidth", &C::BevelWidth, &C::SetBevelWidth).Default(1);
    T.Property("BorderWidth", &C::BorderWidth, &C::SetBorderWidth).Default(0);
    T.Property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).Default(bsNone);
    T.Property("Locked", &C::Locked, &C::SetLocked).Default(false);
}

void TDraw3D::InternalDraw(const TRect& UserRect) {
    PanelPaint(UserRect);
    ReCalcWidthHeight();
    Depth3D = 100;
    Canvas3D()->Projection(Depth3D, PanelBounds(), InnerRect);
    Canvas3D()->ResetState();
    if (Assigned(OnPaint)) OnPaint(this, UserRect);
    if (Zoom()->IsActive) DrawZoomRectangle();
    Canvas3D()->ResetState();
    if (Assigned(OnAfterDraw)) OnAfterDraw(this);
}

void InitGradientPanel() {
    InitTeCanvas();
    InitTeeProcs();
    RegisterClass(TDraw3D::StaticClassInfo());
}

void DoneGradientPanel() {
    DoneTeeProcs();
    DoneTeCanvas();
}
