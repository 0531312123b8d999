// The document window's ruler: its settings, the indents its drags write into the paragraph
// at the caret, and markers that follow the caret and the window's size.
#include "MDIForm.h"

#include "RichEdit98.h"
#include "Ruler.h"
#include "RulerBinding.h"
#include "TextAttributes98.h"

namespace pw {

void TMDIForm::CreateRuler()
{
    FRuler = new TqelRuler(this);
    FRuler->SetName("Ruler");
    FRuler->SetBounds(0, 0, 542, 21);  // the client width of a new window
    FRuler->SetAlign(TAlign::alTop);
    FRuler->Font()->SetName("Arial");
    FRuler->Font()->SetHeight(-9);
    FRuler->SetRulerTab(1);
    FRuler->SetMarginRight(16);
    FRuler->SetMarginLeft(10);
    FRuler->SetBorderLeft(0);
    FRuler->SetBorderUp(3);
    FRuler->SetBorderDown(3);
    FRuler->SetBorderRight(0);
    FRuler->SetIndentFirst(5);
    FRuler->SetIndentLeft(5);
    FRuler->SetIndentRight(522);
    FRuler->OnIndentChange = [this](TObject* s, TIndentID id) { RulerIndentChange(s, id); };
    FRuler->SetParent(this);
}

void TMDIForm::FormResize(TObject*)
{
    double p = ScreenPixelsPerPoint();
    FRuler->SetIndentRight(
        RightMarkerFor(FRichEdit->ParagraphAttributes()->RightIndent(), FRuler->Width(), FRuler->MarginRight(), p));
}

void TMDIForm::RulerIndentChange(TObject*, TIndentID IndentID)
{
    TParaAttributes98* para = FRichEdit->ParagraphAttributes();
    double p = ScreenPixelsPerPoint();
    TqelRuler* r = FRuler;
    switch (IndentID) {
    case idFirstIndent:
        para->SetStartIndent(StartIndentFor(r->IndentFirst(), r->MarginLeft(), p));
        para->SetIndentOffset(IndentOffsetFor(r->IndentFirst(), r->IndentLeft(), p));
        break;
    case idLeftIndent: para->SetIndentOffset(IndentOffsetFor(r->IndentFirst(), r->IndentLeft(), p)); break;
    case idRightIndent: para->SetRightIndent(RightIndentFor(r->IndentRight(), r->Width(), r->MarginRight(), p)); break;
    case idBlockIndent: para->SetStartIndent(StartIndentFor(r->IndentFirst(), r->MarginLeft(), p)); break;
    default: break;
    }
}

void TMDIForm::RulerFollowParagraph()
{
    if (FRuler->Dragging()) return;
    TParaAttributes98* para = FRichEdit->ParagraphAttributes();
    TIndentMarkers m = MarkersFor({para->StartIndent(), para->IndentOffset(), para->RightIndent()}, FRuler->Width(),
                                  FRuler->MarginLeft(), FRuler->MarginRight(), ScreenPixelsPerPoint());
    FRuler->PlaceIndents(m.First, m.Left, m.Right);
}

} // namespace pw
