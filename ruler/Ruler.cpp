#include "Ruler.h"

#include "RichEdit.h"

#include <algorithm>
#include <utility>

namespace pw {

// ---- TRulerMarker ----

TRulerMarker::TRulerMarker(TqelRuler* Ruler, TIndentID ID) : TGraphicControl(Ruler), FRuler(Ruler), FID(ID)
{
    SetCursor(crArrow);
    SetBounds(0, 0, RulerMarkerWidth, ID == idBlockIndent ? RulerBlockHeight : RulerMarkerHeight);
    SetParent(Ruler);
}

void TRulerMarker::Paint() { FRuler->PaintMarker(this, Canvas()); }

void TRulerMarker::MouseDown(TMouseButton Button, unsigned Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    FRuler->MarkerMouseDown(this, Button, X);
}

void TRulerMarker::MouseMove(unsigned Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    FRuler->MarkerMouseMove(this, X);
}

void TRulerMarker::MouseUp(TMouseButton Button, unsigned Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    FRuler->MarkerMouseUp(this, Button);
}

void TRulerMarker::DblClick()
{
    TGraphicControl::DblClick();
    FRuler->MarkerDblClick(this);
}

// ---- TqelRuler: construction and properties ----

TqelRuler::TqelRuler(TComponent* AOwner)
    : TCustomControl(AOwner), FGuidePen(CreatePen(PS_DOT, 0, RGB(0, 0, 0)))
{
    SetBounds(0, 0, 300, 25);
    Font()->SetName("Small Fonts");
    Font()->SetSize(7);
    SetColor(clWindow);
    FLeftIndentMarker = new TRulerMarker(this, idLeftIndent);
    FFirstIndentMarker = new TRulerMarker(this, idFirstIndent);
    FRightIndentMarker = new TRulerMarker(this, idRightIndent);
    FBlockMarker = new TRulerMarker(this, idBlockIndent);
    MoveMarker(FFirstIndentMarker, FGeometry.First);
    MoveMarker(FLeftIndentMarker, FGeometry.Left);
    MoveMarker(FRightIndentMarker, FGeometry.Right);
    PlaceMarkers();
}

TqelRuler::~TqelRuler()
{
    FGuide.End();
    SetRichedit(nullptr);
}

TRulerGeometry& TqelRuler::Geometry()
{
    FGeometry.Width = Width();
    FGeometry.Height = Height();
    return FGeometry;
}

TRulerMarker* TqelRuler::Marker(TIndentID ID) const
{
    switch (ID) {
    case idFirstIndent: return FFirstIndentMarker;
    case idLeftIndent: return FLeftIndentMarker;
    case idRightIndent: return FRightIndentMarker;
    default: return FBlockMarker;
    }
}

void TqelRuler::SetRichedit(TCustomRichEdit* Value)
{
    if (Value == FRichedit) return;
    FGuide.End();
    if (FRichedit) FRichedit->RemoveFreeNotification(this);
    FRichedit = Value;
    if (FRichedit) FRichedit->FreeNotification(this);
}

void TqelRuler::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FRichedit) {
        FGuide.End();
        FRichedit = nullptr;
    }
}

void TqelRuler::Changed(int& Field, int Value)
{
    if (Field == Value) return;
    Field = Value;
    PlaceMarkers();
    Invalidate();
}

void TqelRuler::SetRulerTab(int Value) { FRulerTab = std::clamp(Value, 1, 255); }
void TqelRuler::SetTabDist(int Value) { Changed(FGeometry.TabDist, std::clamp(Value, 1, 30000)); }
void TqelRuler::SetFactor(int Value) { Changed(FGeometry.Factor, std::clamp(Value, 1, 30000)); }
void TqelRuler::SetBorderLeft(int Value) { Changed(FGeometry.BorderLeft, Value); }
void TqelRuler::SetBorderUp(int Value) { Changed(FGeometry.BorderUp, Value); }
void TqelRuler::SetBorderDown(int Value) { Changed(FGeometry.BorderDown, Value); }
void TqelRuler::SetBorderRight(int Value) { Changed(FGeometry.BorderRight, Value); }

namespace {
void SetFlag(bool& Field, bool Value, TControl* C)
{
    if (Field == Value) return;
    Field = Value;
    C->Invalidate();
}
} // namespace

void TqelRuler::SetShowSmallLines(bool Value) { SetFlag(FGeometry.ShowSmallLines, Value, this); }
void TqelRuler::SetShowLargeLines(bool Value) { SetFlag(FGeometry.ShowLargeLines, Value, this); }
void TqelRuler::SetShowNumbers(bool Value) { SetFlag(FGeometry.ShowNumbers, Value, this); }
void TqelRuler::SetShowMarginHandlers(bool Value) { SetFlag(FShowMarginHandlers, Value, this); }

void TqelRuler::SetShowIndents(bool Value)
{
    if (FShowIndents == Value) return;
    FShowIndents = Value;
    for (TIndentID id : {idFirstIndent, idLeftIndent, idRightIndent, idBlockIndent}) Marker(id)->SetVisible(Value);
    Invalidate();
}

// ---- Indents and margins ----

int TqelRuler::IndentFirst() const { return FFirstIndentMarker->Left(); }
int TqelRuler::IndentLeft() const { return FLeftIndentMarker->Left(); }
int TqelRuler::IndentRight() const { return FRightIndentMarker->Left(); }

void TqelRuler::MoveMarker(TRulerMarker* Marker, int X)
{
    if (Marker == FFirstIndentMarker) FGeometry.First = X;
    else if (Marker == FRightIndentMarker) FGeometry.Right = X;
    else FGeometry.Left = X;
    auto move = [X](TRulerMarker* m) {
        if (m->Left() == X) return;
        m->Invalidate();  // where it was
        m->SetLeft(X);
    };
    move(Marker);
    if (Marker == FLeftIndentMarker || Marker == FBlockMarker) {
        move(FLeftIndentMarker);
        move(FBlockMarker);
    }
}

void TqelRuler::PlaceMarkers()
{
    const TRulerGeometry& g = Geometry();
    auto place = [](TRulerMarker* m, int top) {
        if (m->Top() != top) m->SetTop(top);
    };
    place(FFirstIndentMarker, g.FirstMarkerTop());
    place(FLeftIndentMarker, g.LeftMarkerTop());
    place(FRightIndentMarker, g.LeftMarkerTop());
    place(FBlockMarker, g.BlockMarkerTop());
}

void TqelRuler::SetIndentFirst(int Value)
{
    if (!Geometry().FirstAllowed(Value)) return;
    MoveMarker(FFirstIndentMarker, Value);
    if (FDraggingIndent && OnIndentDrag) OnIndentDrag(this, idFirstIndent);
}

void TqelRuler::SetIndentLeft(int Value)
{
    if (!Geometry().LeftAllowed(Value)) return;
    MoveMarker(FLeftIndentMarker, Value);
    if (FDraggingIndent && OnIndentDrag) OnIndentDrag(this, idLeftIndent);
}

void TqelRuler::SetIndentRight(int Value)
{
    if (!Geometry().RightAllowed(Value)) return;
    MoveMarker(FRightIndentMarker, Value);
    if (FDraggingIndent && OnIndentDrag) OnIndentDrag(this, idRightIndent);
}

void TqelRuler::PlaceIndents(int First, int Left, int Right)
{
    int last = std::max(Geometry().LastMarkerX(), 0);
    MoveMarker(FFirstIndentMarker, std::clamp(First, 0, last));
    MoveMarker(FLeftIndentMarker, std::clamp(Left, 0, last));
    MoveMarker(FRightIndentMarker, std::clamp(Right, 0, last));
}

void TqelRuler::SetMarginRight(int Value)
{
    if (!Geometry().MarginRightAllowed(Value)) return;
    // The right marker keeps its distance from the margin.
    SetIndentRight(IndentRight() + FGeometry.MarginRight - Value);
    FGeometry.MarginRight = Value;
    Invalidate();
    if (FDraggingRightMargin && OnMarginDrag) OnMarginDrag(this, idRightMargin);
}

void TqelRuler::SetMarginLeft(int Value)
{
    if (!Geometry().MarginLeftAllowed(Value)) return;
    SetIndentFirst(IndentFirst() + Value - FGeometry.MarginLeft);
    SetIndentLeft(IndentLeft() + Value - FGeometry.MarginLeft);
    FGeometry.MarginLeft = Value;
    Invalidate();
    if (FDraggingLeftMargin && OnMarginDrag) OnMarginDrag(this, idLeftMargin);
}

void TqelRuler::Resize()
{
    TCustomControl::Resize();
    PlaceMarkers();
    // A ruler made narrower than a marker's place keeps the marker in reach.
    int last = Geometry().LastMarkerX();
    if (last < 0) return;
    for (TRulerMarker* m : {FRightIndentMarker, FFirstIndentMarker, FLeftIndentMarker})
        if (m->Left() > last) MoveMarker(m, last);
    Invalidate();
}

// ---- Dragging ----

int TqelRuler::MarkerGuideX(TRulerMarker* Marker) const
{
    if (!FRichedit) return 0;
    return Left() + Marker->Left() - FRichedit->Left() + 4;
}

int TqelRuler::MarginGuideX(TMarginID Margin)
{
    if (!FRichedit) return 0;
    const TRulerGeometry& g = Geometry();
    if (Margin == idLeftMargin) return Left() + g.BorderLeft + g.MarginLeft - FRichedit->Left();
    return Left() + Width() - FRichedit->Left() - g.BorderRight - g.MarginRight;
}

void TqelRuler::BeginGuide(int X)
{
    if (FRichedit && FRichedit->HandleAllocated()) FGuide.Begin(FRichedit->Handle(), FGuidePen.Get(), X);
}

void TqelRuler::MarkerMouseDown(TRulerMarker* Marker, TMouseButton Button, int X)
{
    bool skip = FSkipNextMarkerDown;
    FSkipNextMarkerDown = false;
    if (Button != TMouseButton::mbLeft || skip || Dragging()) return;
    FDraggingIndent = true;
    FDraggedMarker = Marker;
    FDragOriginX = X;
    FFirstIndentMarker->StartX = FFirstIndentMarker->Left();
    FRightIndentMarker->StartX = FRightIndentMarker->Left();
    FBlockMarker->StartX = FLeftIndentMarker->StartX = FBlockMarker->Left();
    BeginGuide(MarkerGuideX(Marker));
    if (OnIndentClick) OnIndentClick(this, Marker->ID());
}

void TqelRuler::MarkerMouseMove(TRulerMarker* Marker, int X)
{
    if (!FDraggingIndent || Marker != FDraggedMarker) return;
    int s = FRulerTab;
    int to = SnapToStep(X + Marker->Left() - FDragOriginX, s);
    switch (Marker->ID()) {
    case idFirstIndent: SetIndentFirst(to); break;
    case idLeftIndent: SetIndentLeft(to); break;
    case idRightIndent: SetIndentRight(to); break;
    default:
        // Both markers move by the same mouse distance.
        SetIndentLeft(to);
        SetIndentFirst(SnapToStep(X + FFirstIndentMarker->Left() - FDragOriginX, s));
        break;
    }
    FGuide.MoveTo(MarkerGuideX(Marker));
}

void TqelRuler::MarkerMouseUp(TRulerMarker* Marker, TMouseButton Button)
{
    if (Button != TMouseButton::mbLeft || !FDraggingIndent || Marker != FDraggedMarker) return;
    EndDrag();
}

void TqelRuler::MarkerDblClick(TRulerMarker* Marker)
{
    FSkipNextMarkerDown = true;
    if (OnIndentDblClick) OnIndentDblClick(this, Marker->ID());
}

// Ends the drag in progress: the guide line goes, the ghost goes, the change is reported.
void TqelRuler::EndDrag()
{
    FGuide.End();
    if (FDraggingIndent) {
        TRulerMarker* m = FDraggedMarker;
        FDraggingIndent = false;
        FDraggedMarker = nullptr;
        Repaint();
        if (OnIndentChange) OnIndentChange(this, m->ID());
    }
    for (TMarginID id : {idLeftMargin, idRightMargin}) {
        bool& flag = id == idLeftMargin ? FDraggingLeftMargin : FDraggingRightMargin;
        if (!flag) continue;
        flag = false;
        if (OnMarginChange) OnMarginChange(this, id);
    }
}

void TqelRuler::MouseDown(TMouseButton Button, unsigned Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != TMouseButton::mbLeft || !FShowMarginHandlers || Dragging()) return;
    int margin = Geometry().MarginAt(X);
    if (margin == idNoMargin) return;
    (margin == idLeftMargin ? FDraggingLeftMargin : FDraggingRightMargin) = true;
    BeginGuide(MarginGuideX(static_cast<TMarginID>(margin)));
    if (OnMarginClick) OnMarginClick(this, static_cast<TMarginID>(margin));
}

void TqelRuler::MouseMove(unsigned Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    const TRulerGeometry& g = Geometry();
    if (FShowMarginHandlers) SetCursor(g.MarginAt(X) != idNoMargin ? crSizeWE : crDefault);
    int s = FRulerTab;
    if (FDraggingLeftMargin) {
        SetMarginLeft(SnapToStep(X - g.BorderLeft, s));
        FGuide.MoveTo(MarginGuideX(idLeftMargin));
    } else if (FDraggingRightMargin) {
        SetMarginRight(SnapToStep(Width() - g.BorderRight - X, s));
        FGuide.MoveTo(MarginGuideX(idRightMargin));
    }
}

void TqelRuler::MouseUp(TMouseButton Button, unsigned Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FDraggingLeftMargin || FDraggingRightMargin) EndDrag();
}

void TqelRuler::WndProc(TMessage& Message)
{
    TCustomControl::WndProc(Message);
    // A drag whose mouse capture is taken away (another window, a menu, a dialog) ends
    // where it stands, as a release would end it.
    if ((Message.Msg == WM_CANCELMODE || Message.Msg == WM_CAPTURECHANGED) && Dragging()) EndDrag();
}

} // namespace pw
