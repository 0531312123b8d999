// The horizontal ruler above a rich edit control: margins as shaded zones, a scale counted
// from the left margin, four draggable indent markers, draggable margin edges, and a dotted
// guide line across the bound editor while anything is dragged. The ruler only moves its
// markers and reports what happened; its owner turns the reports into paragraph indents.
#pragma once
#include "Controls.h"
#include "GuideLine.h"
#include "RulerGeometry.h"

#include <functional>

namespace pw {

class TCustomRichEdit;
class TqelRuler;

using TIndentEvent = std::function<void(TObject* Sender, TIndentID IndentID)>;
using TMarginEvent = std::function<void(TObject* Sender, TMarginID MarginID)>;

// One of the ruler's markers: a window-less control whose painting and mouse handling are
// the ruler's.
class TRulerMarker : public TGraphicControl {
public:
    TRulerMarker(TqelRuler* Ruler, TIndentID ID);
    TIndentID ID() const { return FID; }
    // x at the start of the drag in progress, where its ghost outline stays.
    int StartX = 0;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, unsigned Shift, int X, int Y) override;
    void MouseMove(unsigned Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, unsigned Shift, int X, int Y) override;
    void DblClick() override;

private:
    TqelRuler* FRuler;
    TIndentID FID;
};

class TqelRuler : public TCustomControl {
public:
    explicit TqelRuler(TComponent* AOwner);
    ~TqelRuler() override;

    TCustomRichEdit* Richedit() const { return FRichedit; }
    void SetRichedit(TCustomRichEdit* Value);

    int RulerTab() const { return FRulerTab; }
    void SetRulerTab(int Value);  // 1..255; a step of 0 would divide by zero
    int MinIndentDist() const { return FGeometry.MinIndentDist; }
    void SetMinIndentDist(int Value) { FGeometry.MinIndentDist = Value; }
    int TabDist() const { return FGeometry.TabDist; }
    void SetTabDist(int Value);  // 1..30000
    int Factor() const { return FGeometry.Factor; }
    void SetFactor(int Value);   // 1..30000
    int MarginLeft() const { return FGeometry.MarginLeft; }
    void SetMarginLeft(int Value);
    int MarginRight() const { return FGeometry.MarginRight; }
    void SetMarginRight(int Value);
    int BorderLeft() const { return FGeometry.BorderLeft; }
    void SetBorderLeft(int Value);
    int BorderUp() const { return FGeometry.BorderUp; }
    void SetBorderUp(int Value);
    int BorderDown() const { return FGeometry.BorderDown; }
    void SetBorderDown(int Value);
    int BorderRight() const { return FGeometry.BorderRight; }
    void SetBorderRight(int Value);

    int IndentFirst() const;
    void SetIndentFirst(int Value);
    int IndentLeft() const;
    void SetIndentLeft(int Value);
    int IndentRight() const;
    void SetIndentRight(int Value);
    // Shows given indents (a paragraph's) as they are: each marker goes to its x, brought
    // onto the ruler, without the distance rule of a drag and without events.
    void PlaceIndents(int First, int Left, int Right);

    bool ShowSmallLines() const { return FGeometry.ShowSmallLines; }
    void SetShowSmallLines(bool Value);
    bool ShowLargeLines() const { return FGeometry.ShowLargeLines; }
    void SetShowLargeLines(bool Value);
    bool ShowNumbers() const { return FGeometry.ShowNumbers; }
    void SetShowNumbers(bool Value);
    bool ShowIndents() const { return FShowIndents; }
    void SetShowIndents(bool Value);
    bool ShowMarginHandlers() const { return FShowMarginHandlers; }
    void SetShowMarginHandlers(bool Value);

    TRulerMarker* Marker(TIndentID ID) const;
    bool Dragging() const { return FDraggingIndent || FDraggingLeftMargin || FDraggingRightMargin; }

    TIndentEvent OnIndentChange;
    TIndentEvent OnIndentDrag;
    TIndentEvent OnIndentClick;
    TIndentEvent OnIndentDblClick;
    TMarginEvent OnMarginChange;
    TMarginEvent OnMarginDrag;
    TMarginEvent OnMarginClick;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, unsigned Shift, int X, int Y) override;
    void MouseMove(unsigned Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, unsigned Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    void Resize() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TRulerMarker;
    TRulerMarker* FFirstIndentMarker;
    TRulerMarker* FLeftIndentMarker;
    TRulerMarker* FRightIndentMarker;
    TRulerMarker* FBlockMarker;
    bool FDraggingIndent = false;
    TRulerMarker* FDraggedMarker = nullptr;
    int FDragOriginX = 0;
    bool FDraggingLeftMargin = false;
    bool FDraggingRightMargin = false;
    bool FSkipNextMarkerDown = false;
    TCustomRichEdit* FRichedit = nullptr;
    TPenHandle FGuidePen;
    TGuideLine FGuide;
    int FRulerTab = 10;
    bool FShowIndents = true;
    bool FShowMarginHandlers = true;
    TRulerGeometry FGeometry;

    TRulerGeometry& Geometry();
    void MoveMarker(TRulerMarker* Marker, int X);
    void PlaceMarkers();
    void Changed(int& Field, int Value);

    void PaintScale(TCanvas* C, const TRulerGeometry& G);
    void PaintMarker(TRulerMarker* Marker, TCanvas* C);
    void PaintGhost(TRulerMarker* Marker, TCanvas* C);

    int MarkerGuideX(TRulerMarker* Marker) const;
    int MarginGuideX(TMarginID Margin);
    void BeginGuide(int X);
    void EndDrag();

    void MarkerMouseDown(TRulerMarker* Marker, TMouseButton Button, int X);
    void MarkerMouseMove(TRulerMarker* Marker, int X);
    void MarkerMouseUp(TRulerMarker* Marker, TMouseButton Button);
    void MarkerDblClick(TRulerMarker* Marker);
};

} // namespace pw
