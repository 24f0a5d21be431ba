#include "dataaware/wwcombobutton.h"

#include <algorithm>

#include "platform/ui/Forms.h"

ZELMOR_IMPLEMENT_CLASS(TGlyphList, TImageList)
ZELMOR_IMPLEMENT_CLASS(TwwComboButtonGlyph, TObject)
ZELMOR_IMPLEMENT_CLASS(TwwComboButtonActionLink, TControlActionLink)
ZELMOR_IMPLEMENT_COMPONENT(TwwComboButton, TGraphicControl)

namespace {
TGlyphCache* GlyphCache = nullptr;

TGlyphCache& EnsureGlyphCache() {
    if (!GlyphCache) GlyphCache = new TGlyphCache();
    return *GlyphCache;
}

// The pressed look of a latched button: clBtnHighlight where the column and
// the row are both even or both odd, clBtnFace elsewhere.
std::unique_ptr<TBitmap> CheckerPattern() {
    auto pattern = std::make_unique<TBitmap>(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern->Canvas()->SetPixel(x, y, x % 2 == y % 2 ? clBtnHighlight : clBtnFace);
    return pattern;
}
// Paints Color where the mask is white, moved by Offset; the rest stays.
void StampMask(TCanvas* Canvas, const TBitmap& Mask, int Offset, TColor Color) {
    // The brush first: choosing it resets the colours the mask is read with.
    Canvas->Brush()->SetColor(Color);
    Canvas->SetTextColor(clBlack);
    Canvas->SetBkColor(clWhite);
    Canvas->BitBlt(Offset, Offset, Mask.Width(), Mask.Height(), Mask.Canvas(), 0, 0, 0x00E20746);
}
}  // namespace

TGlyphCache* SharedGlyphCache() { return GlyphCache; }

// ---------------------------------------------------------------- TGlyphList and TGlyphCache

int TGlyphList::TakeSlot() {
    auto it = std::find(FUsed.begin(), FUsed.end(), false);
    int slot = static_cast<int>(it - FUsed.begin());
    if (it == FUsed.end()) {
        TBitmap blank(Width(), Height());
        Add(&blank, nullptr);
        FUsed.push_back(false);
    }
    FUsed[static_cast<size_t>(slot)] = true;
    return slot;
}

int TGlyphList::AddMaskedImage(const TBitmap* Image, TColor MaskColor) {
    const int slot = TakeSlot();
    ReplaceMasked(slot, Image, MaskColor);
    ++FCount;
    return slot;
}

void TGlyphList::FreeSlot(int Index) {
    if (Index < 0 || Index >= static_cast<int>(FUsed.size()) || !FUsed[static_cast<size_t>(Index)]) return;
    --FCount;
    FUsed[static_cast<size_t>(Index)] = false;
}

TGlyphCache::~TGlyphCache() {
    for (TGlyphList* list : FLists) delete list;
}

TGlyphList* TGlyphCache::ListForSize(int AWidth, int AHeight) {
    for (auto it = FLists.rbegin(); it != FLists.rend(); ++it)
        if ((*it)->Width() == AWidth && (*it)->Height() == AHeight) return *it;
    FLists.push_back(new TGlyphList(AWidth, AHeight));
    return FLists.back();
}

void TGlyphCache::ReleaseList(TGlyphList* List) {
    if (!List || List->UsedCount() != 0) return;
    auto it = std::find(FLists.begin(), FLists.end(), List);
    if (it == FLists.end()) return;
    FLists.erase(it);
    delete List;
}

// ---------------------------------------------------------------- TwwComboButtonGlyph

TwwComboButtonGlyph::TwwComboButtonGlyph(TwwComboButton* Button)
    : FBitmap(std::make_unique<TBitmap>()), FButton(Button) {
    FBitmap->OnChange = [this](TObject* Sender) { BitmapChanged(Sender); };
    EnsureGlyphCache();
}

TwwComboButtonGlyph::~TwwComboButtonGlyph() {
    FBitmap->OnChange = nullptr;
    FBitmap.reset();
    ReleaseImages();
    if (GlyphCache && GlyphCache->IsEmpty()) {
        delete GlyphCache;
        GlyphCache = nullptr;
    }
}

void TwwComboButtonGlyph::ReleaseImages() {
    for (int& index : FIndexes) {
        if (index != -1 && FList) FList->FreeSlot(index);
        index = -1;
    }
    if (FList && GlyphCache) GlyphCache->ReleaseList(FList);
    FList = nullptr;
}

void TwwComboButtonGlyph::BitmapChanged(TObject* Sender) {
    if (Sender != FBitmap.get()) return;
    FTransparentColor = FBitmap->TransparentColor();
    ReleaseImages();
    if (Assigned(OnChange)) OnChange(this);
}

void TwwComboButtonGlyph::SetBitmap(const TBitmap* Value) {
    ReleaseImages();
    FBitmap->Assign(const_cast<TBitmap*>(Value));
    if (!Value || Value->Height() <= 0) return;
    FTransparentColor = Value->TransparentColor();
    // A width that is no whole number of cells keeps the cell count.
    if (Value->Width() % Value->Height() == 0) {
        const int cells = Value->Width() / Value->Height();
        FCellCount = cells > 4 ? 1 : cells;
    }
}

void TwwComboButtonGlyph::SetCellCount(int Value) {
    if (Value == FCellCount || Value <= 0) return;
    ReleaseImages();
    FCellCount = Value;
    BitmapChanged(FBitmap.get());
}

int TwwComboButtonGlyph::MakeStateImage(TButtonState State) {
    if (State == bsDown && FCellCount < 3) State = bsUp;
    int& index = FIndexes[State];
    if (index != -1) return index;
    if (FBitmap->Width() == 0 && FBitmap->Height() == 0) return -1;
    const int width = FBitmap->Width() / FCellCount, height = FBitmap->Height();
    if (width <= 0 || height <= 0) return -1;
    if (!FList) FList = EnsureGlyphCache().ListForSize(width, height);
    TBitmap work(width, height);
    work.Canvas()->Brush()->SetColor(clBtnFace);
    const int cell = State < FCellCount ? static_cast<int>(State) : 0;
    const TRect whole(0, 0, width, height);
    if (State != bsDisabled) {
        work.Canvas()->CopyRect(whole, FBitmap->Canvas(), TRect(cell * width, 0, (cell + 1) * width, height));
        // clDefault: the cell's own transparent colour (its bottom-left pixel).
        const TColor mask =
            FBitmap->TransparentMode() == tmFixed ? FTransparentColor : work.TransparentColor();
        index = FList->AddMaskedImage(&work, mask);
    } else {
        TCanvas* canvas = work.Canvas();
        if (FCellCount == 1) {
            // Embossed: the dark pixels stamped in the highlight one pixel
            // down and right, then in the shadow in place.
            TBitmap mono(width, height);
            mono.SetMonochrome(true);
            // The dark pixels become the mask's white: a monochrome glyph's white ones.
            TCanvas* source = FBitmap->Canvas();
            const TColorRef back = source->SetBkColor(FBitmap->Monochrome() ? clWhite : clBlack);
            mono.Canvas()->BitBlt(0, 0, width, height, source, 0, 0, SRCCOPY);
            source->SetBkColor(static_cast<TColor>(back));
            canvas->FillRect(whole);
            StampMask(canvas, mono, 1, clBtnHighlight);
            StampMask(canvas, mono, 0, clBtnShadow);
        } else {
            // The disabled cell recoloured: white to the highlight, grey to
            // the shadow, the transparent colour to the face.
            const TRect source(cell * width, 0, (cell + 1) * width, height);
            canvas->CopyRect(whole, FBitmap->Canvas(), source);
            const std::pair<TColor, TColor> recolour[] = {{clWhite, clBtnHighlight},
                                                          {static_cast<TColor>(0x808080), clBtnShadow},
                                                          {FTransparentColor, clBtnFace}};
            for (const auto& [from, to] : recolour) {
                TBitmap mask(width, height);
                mask.SetMonochrome(true);
                TBitmap original(width, height);
                original.Canvas()->CopyRect(whole, FBitmap->Canvas(), source);
                original.Canvas()->SetBkColor(static_cast<TColor>(ColorToRGB(from)));
                mask.Canvas()->BitBlt(0, 0, width, height, original.Canvas(), 0, 0, SRCCOPY);
                StampMask(canvas, mask, 0, to);
            }
        }
        index = FList->AddMaskedImage(&work, work.TransparentColor());
    }
    FBitmap->Dormant();
    return index;
}

void TwwComboButtonGlyph::DrawStateImage(TCanvas* Canvas, TPoint At, TButtonState State, bool Transparent) {
    if (FBitmap->Width() == 0 || FBitmap->Height() == 0) return;
    const int index = MakeStateImage(State);
    if (index < 0 || !FList) return;
    if (Transparent || State == bsExclusive)
        ImageList_DrawEx(FList, index, Canvas, At.x, At.y, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
    else
        ImageList_DrawEx(FList, index, Canvas, At.x, At.y, 0, 0, ColorToRGB(clBtnFace), CLR_NONE, ILD_NORMAL);
}

void TwwComboButtonGlyph::DrawCaption(TCanvas* Canvas, const AnsiString& Caption, TRect Bounds,
                                      TButtonState State, uint32_t TextFlags) {
    Canvas->Brush()->SetStyle(bsClear);
    const uint32_t flags = DT_CENTER | DT_VCENTER | TextFlags;
    if (State == bsDisabled) {
        TRect raised = Bounds;
        OffsetRect(raised, 1, 1);
        Canvas->Font()->SetColor(clBtnHighlight);
        Canvas->DrawText(Caption, raised, flags);
        Canvas->Font()->SetColor(clBtnShadow);
    }
    Canvas->DrawText(Caption, Bounds, flags);
}

void TwwComboButtonGlyph::PaintContents(TCanvas* Canvas, const TRect& Client, TPoint Offset,
                                        const AnsiString& Caption, TButtonLayout Layout, int Margin,
                                        int Spacing, TButtonState State, bool Transparent,
                                        uint32_t TextFlags) {
    // Right-to-left text puts the glyph on the other side.
    if (TextFlags & DT_RIGHT) {
        if (Layout == blGlyphLeft) Layout = blGlyphRight;
        else if (Layout == blGlyphRight) Layout = blGlyphLeft;
    }
    const TSize glyph =
        FBitmap->Empty() ? TSize{0, 0} : TSize{FBitmap->Width() / FCellCount, FBitmap->Height()};
    const TButtonLayoutResult placed =
        CalcButtonLayout(*Canvas, Client, Offset, Caption, glyph, Layout, Margin, Spacing);
    DrawStateImage(Canvas, placed.GlyphPos, State, Transparent);
    if (!Caption.empty()) DrawCaption(Canvas, Caption, placed.TextBounds, State, TextFlags);
}

// ---------------------------------------------------------------- TwwComboButtonActionLink

TwwComboButtonActionLink::TwwComboButtonActionLink(TwwComboButton* Client)
    : TControlActionLink(Client), FButton(Client) {}

bool TwwComboButtonActionLink::IsCheckedLinked() {
    auto* action = dynamic_cast<TCustomAction*>(Action());
    return TControlActionLink::IsCheckedLinked() && FButton->GroupIndex() != 0 && FButton->AllowAllUp() &&
           action && action->Checked() == FButton->Down();
}

void TwwComboButtonActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked()) FButton->SetDown(Value);
}

// ---------------------------------------------------------------- TwwComboButton

TwwComboButton::TwwComboButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TwwComboButtonGlyph>(this)) {
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(0, 0, 23, 22);
    FControlStyle = {csCaptureMouse, csDoubleClicks};
    SetParentFont(true);
    SetColor(clBtnFace);
}

TwwComboButton::~TwwComboButton() = default;

void TwwComboButton::DescribeProperties(TPropertyTable& T) {
    using B = TwwComboButton;
    TControl::PublishStandard(T, {"Action", "Anchors", "BiDiMode", "ParentBiDiMode", "Constraints"});
    T.Property("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp).Default(false);
    T.Property("GroupIndex", &B::GroupIndex, &B::SetGroupIndex).Default(0);
    T.Property("Down", &B::Down, &B::SetDown).Default(false);
    TControl::PublishStandard(T, {"Caption", "Enabled"});
    T.Property("Flat", &B::Flat, &B::SetFlat).Default(false);
    TControl::PublishStandard(T, {"Font", "ParentFont"});
    T.Property("Glyph", &B::Glyph, &B::SetGlyph);
    T.Property("Layout", &B::Layout, &B::SetLayout).Default(blGlyphLeft);
    T.Property("Margin", &B::Margin, &B::SetMargin).Default(-1);
    T.Property("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs).Default(1);
    TControl::PublishStandard(T, {"PopupMenu", "ShowHint", "ParentShowHint"});
    T.Property("Spacing", &B::Spacing, &B::SetSpacing).Default(4);
    T.Property("Transparent", &B::Transparent, &B::SetTransparent).Default(true);
    TControl::PublishStandard(
        T, {"Visible", "OnClick", "OnDblClick", "OnMouseDown", "OnMouseUp", "OnMouseMove"});
}

void TwwComboButton::SetAllowAllUp(bool Value) {
    if (Value == FAllowAllUp) return;
    FAllowAllUp = Value;
    NotifyGroup();
}

void TwwComboButton::SetGroupIndex(int Value) {
    if (Value == FGroupIndex) return;
    FGroupIndex = Value;
    NotifyGroup();
}

void TwwComboButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    // The down button of a group that keeps one down is raised only by another.
    if (Value == FDown || (FDown && !FAllowAllUp)) return;
    FDown = Value;
    if (Value) {
        if (FState == bsUp) Invalidate();
        FState = bsExclusive;
        NotifyGroup();
    } else {
        FState = bsUp;
        Repaint();
    }
}

void TwwComboButton::SetFlat(bool Value) {
    if (Value == FFlat) return;
    FFlat = Value;
    Invalidate();
}

void TwwComboButton::SetGlyph(TBitmap* Value) {
    FGlyph->SetBitmap(Value);
    Invalidate();
}

void TwwComboButton::SetLayout(TButtonLayout Value) {
    if (Value == FLayout) return;
    FLayout = Value;
    Invalidate();
}

void TwwComboButton::SetMargin(int Value) {
    if (Value == FMargin || Value < -1) return;
    FMargin = Value;
    Invalidate();
}

void TwwComboButton::SetNumGlyphs(int Value) {
    Value = std::min(Value, 4);
    if (Value == FGlyph->CellCount()) return;
    FGlyph->SetCellCount(Value);
    Invalidate();
}

void TwwComboButton::SetSpacing(int Value) {
    if (Value == FSpacing) return;
    FSpacing = Value;
    Invalidate();
}

void TwwComboButton::SetTransparent(bool Value) {
    FTransparent = Value;
    if (Value) FControlStyle.Exclude(csOpaque);
    else FControlStyle.Include(csOpaque);
    Invalidate();
}

void TwwComboButton::Paint() {
    if (!Enabled()) {
        FState = bsDisabled;
        FTracking = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    TRect r(0, 0, Width(), Height());
    const bool pressed = FState == bsDown || FState == bsExclusive;
    const bool designing = ComponentState().Contains(csDesigning);
    if (!FFlat) {
        canvas->DrawFrameControl(r, DFC_BUTTON,
                                 DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0u));
    } else {
        if (pressed || (FMouseInside && FState != bsDisabled) || designing) {
            TRect edge = r;
            canvas->DrawEdge(edge, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                             BF_RECT | (FTransparent ? 0u : BF_MIDDLE));
        } else if (!FTransparent) {
            canvas->Brush()->SetStyle(bsSolid);
            canvas->Brush()->SetColor(Color());
            canvas->FillRect(r);
        }
        InflateRect(r, -1, -1);
    }
    TPoint offset(0, 0);
    if (pressed) {
        if (FState == bsExclusive && (!FFlat || !FMouseInside)) {
            const std::unique_ptr<TBitmap> pattern = CheckerPattern();
            canvas->Brush()->SetBitmap(pattern.get());
            canvas->FillRect(r);
            canvas->Brush()->SetBitmap(nullptr);
        }
        offset = TPoint(1, 1);
    }
    const uint32_t textFlags = UseRightToLeftAlignment() ? DT_RIGHT | DT_RTLREADING : 0u;
    FGlyph->PaintContents(canvas, r, offset, Caption(), FLayout, FMargin, FSpacing, FState, FTransparent,
                          textFlags);
}

void TwwComboButton::Loaded() {
    TGraphicControl::Loaded();
    FGlyph->MakeStateImage(Enabled() ? bsUp : bsDisabled);
}

bool TwwComboButton::InsideForClick(int X, int Y) const {
    return X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
}

void TwwComboButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FTracking = true;
}

void TwwComboButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (FTracking) {
        TButtonState wanted = FDown ? bsExclusive : bsUp;
        if (InsideForClick(X, Y)) wanted = FDown ? bsExclusive : bsDown;
        if (wanted != FState) {
            FState = wanted;
            Invalidate();
        }
    } else if (!FMouseInside) {
        RefreshHotState();
    }
}

void TwwComboButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FTracking) return;
    FTracking = false;
    const bool click = InsideForClick(X, Y);
    if (FGroupIndex == 0) {
        FState = bsUp;
        FMouseInside = false;
        if (click) Invalidate();
    } else if (click) {
        SetDown(!FDown);
        if (FDown) Repaint();
    } else {
        if (FDown) FState = bsExclusive;
        Repaint();
    }
    if (click) Click();
    RefreshHotState();
}

void TwwComboButton::Click() { TGraphicControl::Click(); }

void TwwComboButton::RefreshHotState() {
    if (!FFlat || !Enabled()) return;
    TPoint cursor;
    GetCursorPos(cursor);
    // The handlers bring the flag to where it belongs and repaint.
    if (FindDragTarget(cursor, true) == this) {
        FMouseInside = false;
        Perform(CM_MOUSEENTER);
    } else {
        FMouseInside = true;
        Perform(CM_MOUSELEAVE);
    }
}

void TwwComboButton::NotifyGroup() {
    if (FGroupIndex == 0 || !Parent()) return;
    TMessage message;
    message.Msg = CM_BUTTONPRESSED;
    message.WParam = static_cast<WPARAM>(FGroupIndex);
    message.LParam = PointerToLParam(this);
    message.Result = 0;
    Parent()->Broadcast(message);
}

void TwwComboButton::CopyActionImage(const TCustomImageList* Images, int Index) {
    TBitmap* glyph = Glyph();
    glyph->SetSize(Images->Width(), Images->Height());
    glyph->Canvas()->Brush()->SetColor(clFuchsia);
    glyph->Canvas()->FillRect(TRect(0, 0, Images->Width(), Images->Height()));
    Images->Draw(glyph->Canvas(), 0, 0, Index, true);
}

void TwwComboButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    TGraphicControl::ActionChange(Sender, CheckDefaults);
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action || !Glyph()->Empty() || !action->ActionList()) return;
    TCustomImageList* images = action->ActionList()->Images();
    if (images && action->ImageIndex() >= 0 && action->ImageIndex() < images->Count())
        CopyActionImage(images, action->ImageIndex());
}

TControlActionLink* TwwComboButton::CreateActionLink() { return new TwwComboButtonActionLink(this); }

void TwwComboButton::WMLButtonDblClk(TMessage& Message) {
    TGraphicControl::WMLButtonDblClk(Message);
    if (FDown) DblClick();
}

void TwwComboButton::CMEnabledChanged(TMessage&) {
    FGlyph->MakeStateImage(Enabled() ? bsUp : bsDisabled);
    RefreshHotState();
    Repaint();
}

void TwwComboButton::CMButtonPressed(TMessage& Message) {
    auto* sender = LParamToPointer<TwwComboButton>(Message.LParam);
    if (static_cast<int>(Message.WParam) != FGroupIndex || !sender || sender == this) return;
    if (sender->Down() && FDown) {
        FDown = false;
        FState = bsUp;
        if (auto* action = dynamic_cast<TCustomAction*>(Action())) action->SetChecked(false);
        Invalidate();
    }
    FAllowAllUp = sender->AllowAllUp();
}

void TwwComboButton::CMDialogChar(TMessage& Message) {
    if (IsAccel(static_cast<WORD>(Message.WParam), Caption()) && Enabled() && Visible() && Parent() &&
        Parent()->Showing()) {
        Click();
        Message.Result = 1;
        return;
    }
    TGraphicControl::CMDialogChar(Message);
}

void TwwComboButton::CMFontChanged(TMessage&) { Invalidate(); }
void TwwComboButton::CMTextChanged(TMessage&) { Invalidate(); }

void TwwComboButton::CMSysColorChange(TMessage&) {
    // The state images hold system colours.
    FGlyph->ReleaseImages();
    FGlyph->MakeStateImage(FState);
}

void TwwComboButton::CMMouseEnter(TMessage& Message) {
    TGraphicControl::CMMouseEnter(Message);
    if (FFlat && !FMouseInside && Enabled() && DragMode() != dmAutomatic && !GetCapture() &&
        !ComponentState().Contains(csDesigning)) {
        FMouseInside = true;
        Invalidate();
    }
}

void TwwComboButton::CMMouseLeave(TMessage& Message) {
    TGraphicControl::CMMouseLeave(Message);
    if (FFlat && FMouseInside && Enabled() && !FTracking) {
        FMouseInside = false;
        Invalidate();
    }
}
