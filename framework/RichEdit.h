// The framework's rich edit control: a multi-line memo over the rich edit window.
#pragma once
#include "Controls.h"
#include "Events.h"
#include "Streams.h"

#include <richedit.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>

namespace pw {

// The guard of a rich edit stream callback. The first exception raised inside the callback is
// kept and the callback answers its error code, so the window stops the transfer; once the
// stream message has returned, RaiseKept raises that exception, reported once by whoever
// handles it.
class TStreamFirewall {
public:
    template <class F>
    DWORD Run(F&& Body, DWORD ErrorCode)
    {
        try {
            return Body();
        } catch (...) {
            if (!FError) FError = std::current_exception();
            return ErrorCode;
        }
    }
    bool Failed() const { return FError != nullptr; }
    void RaiseKept()
    {
        std::exception_ptr e = FError;
        FError = nullptr;
        if (e) std::rethrow_exception(e);
    }
private:
    std::exception_ptr FError;
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

using TRichEditResizeEvent = std::function<void(TObject* Sender, const RECT& Rect)>;
using TRichEditProtectChange = std::function<void(TObject* Sender, int StartPos, int EndPos, bool& AllowChange)>;
using TRichEditSaveClipboard = std::function<void(TObject* Sender, int NumObjects, int NumChars, bool& SaveClipboard)>;

// Character attributes of the rich edit 1.0 kind: a plain set of values that the newer
// attribute objects can copy from and into.
class TTextAttributes : public TPersistent {
public:
    TColor Color = clWindowText;
    std::string Name;
    int Size = 0;
    TFontPitch Pitch = TFontPitch::fpDefault;
    TFontStyles Style = 0;
    unsigned char Charset = 1;
};

class TCustomRichEdit;

// Paragraph attributes of the rich edit 1.0 kind, bound to a control.
class TParaAttributes : public TPersistent {
public:
    explicit TParaAttributes(TCustomRichEdit* RichEdit) : FRichEditBase(RichEdit) {}
protected:
    TCustomRichEdit* FRichEditBase;
};

class TCustomRichEdit : public TWinControl {
public:
    explicit TCustomRichEdit(TComponent* AOwner);
    ~TCustomRichEdit() override;

    int SelStart();
    void SetSelStart(int v);
    int SelLength();
    void SetSelLength(int v);
    std::string SelText();
    void SetSelText(const std::string& s);
    void SelectAll();
    void Clear();
    void ClearSelection();
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    int GetTextLen();

    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool v) { FPlainText = v; }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v);
    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool v);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool v) { FWantTabs = v; }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v);
    bool BorderSingle() const { return FBorderSingle; }
    void SetBorderSingle(bool v);

    // Prints the whole text on the current printer, one page at a time.
    void Print(const std::string& Caption);
    // Formats the text into DC page by page (page size in twips), calling NewPage between
    // pages; gives the number of pages. Stops when the formatter makes no progress.
    int PrintTo(HDC DC, const RECT& PageTwips, const std::function<void()>& NewPage);

    // Heard by the owner's handler and by every subscriber (the live speller, say).
    TEvent<TObject*> OnChange;
    TEvent<TObject*> OnSelectionChange;
    TRichEditResizeEvent OnResizeRequest;
    TRichEditProtectChange OnProtectChange;
    TRichEditSaveClipboard OnSaveClipboard;

    void WndProc(TMessage& Message) override;

    // Streams the window's content out (RTF, or text when PlainText) into Stream.
    void StreamOutTo(TStream& Stream, int Format);
    void StreamInFrom(TStream& Stream, int Format);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void DoNotify(NMHDR* Header, TMessage& Message);

    bool FPlainText = false;
private:
    void ApplyWordWrap();

    bool FHideSelection = true, FHideScrollBars = true, FWordWrap = true, FWantTabs = false, FWantReturns = true;
    bool FReadOnly = false, FBorderSingle = true;
    int FMaxLength = 0;
    TScrollStyle FScrollBars = TScrollStyle::ssNone;
    std::unique_ptr<TMemoryStream> FSaved; // content kept while the window is re-created
};

} // namespace pw
