// The document editor: a rich edit 2.0 window whose text crosses its boundary in the ANSI
// code page of the control's language.
#pragma once
#include "Languages.h"
#include "RichEdit.h"

#include <functional>
#include <memory>
#include <string>

namespace pw {

class TTextAttributes98;
class TParaAttributes98;
class TRichEditStrings98;
class TWideRichEditStrings98;
class TStrings;

using TURLClickEvent = std::function<void(TObject* Sender, const std::string& URL)>;

class TCustomRichEdit98 : public TCustomRichEdit {
public:
    explicit TCustomRichEdit98(TComponent* AOwner);
    ~TCustomRichEdit98() override;

    bool AutoURLDetect() const { return FAutoURLDetect; }
    void SetAutoURLDetect(bool Value);
    bool ShowSelectionBar() const { return FShowSelectionBar; }
    void SetShowSelectionBar(bool Value);
    TLanguage Language() const { return FLanguage; }
    void SetLanguage(TLanguage Value);
    unsigned CodePage() const { return FCodePage; }
    TStrings* Lines() const;
    void SetLines(TStrings* Value);

    TTextAttributes98* SelectionAttributes() const { return FSelAttributes.get(); }
    TTextAttributes98* DefaultAttributes() const { return FDefAttributes.get(); }
    TParaAttributes98* ParagraphAttributes() const { return FParagraph.get(); }
    TWideRichEditStrings98* WideLines() const { return FWideLines.get(); }
    TRichEditStrings98* RichLines() const { return FLines.get(); }

    int CaretLine();
    int CaretColumn();
    bool CanUndo();
    void Undo();
    bool CanRedo();
    void Redo();

    // Wide mode: while set, text messages pass to the window unconverted.
    bool WideMode() const { return FWideMode; }
    void SetWideMode(bool v) { FWideMode = v; }
    HMODULE RichEditModule() const { return FRichEditModule; }

    // The whole content as RTF (the streamed "RTF" property's value), and loading it back.
    std::string RTFText();
    void SetRTFText(const std::string& RTF);
    void DefineProperties(TFiler* Filer) override;

    TURLClickEvent OnURLClick;
    // Text was given languages of its own: a document was loaded, or the selection was marked
    // with a language.
    TEvent<TObject*> OnLanguagesChanged;
    // Runs after the window has painted, with a DC of the window: for what is drawn over
    // the text without being part of it.
    std::function<void(TObject* Sender, HDC DC)> OnPaintOverlay;

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DoNotify(NMHDR* Header, TMessage& Message) override;

private:
    HMODULE FRichEditModule = nullptr;
    std::unique_ptr<TTextAttributes98> FSelAttributes;
    std::unique_ptr<TTextAttributes98> FDefAttributes;
    std::unique_ptr<TParaAttributes98> FParagraph;
    std::unique_ptr<TRichEditStrings98> FLines;
    std::unique_ptr<TWideRichEditStrings98> FWideLines;
    bool FAutoURLDetect = false;
    bool FShowSelectionBar = false;
    TLanguage FLanguage = 0;
    unsigned FCodePage = 0;
    bool FWideMode = false;

    void ConvertSetText(TMessage& Message);
    void ConvertReplaceSel(TMessage& Message);
    void ConvertGetSelText(TMessage& Message);
    void ConvertGetTextRange(TMessage& Message);
    void ConvertGetLine(TMessage& Message);
    void AnswerFindWordBreak(TMessage& Message);
    void LinkNotify(ENLINK* Link);
    void ReadRTF(const std::string& Value);
};

// The editor as documents use it.
class TRichEdit98 : public TCustomRichEdit98 {
public:
    using TCustomRichEdit98::TCustomRichEdit98;
};

// The content of an empty document in 8-point Arial, as a new document window starts.
extern const char* const EmptyDocumentRTF;

} // namespace pw
