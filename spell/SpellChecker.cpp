// The driver's properties, its class table and its engines, and the single-word services.
#include "SpellChecker.h"

#include "Controls.h"
#include "Languages.h"
#include "RichEdit.h"
#include "RichEdit98.h"
#include "SpellerDialog.h"
#include "StdCtrls.h"

#include <algorithm>
#include <memory>

namespace pw {

namespace {

struct TClassRow {
    std::string Name;
    bool WideText;
    bool PerCharLanguage;
};

// The class table, filled when the program starts and freed when it ends.
std::vector<TClassRow>& ClassTable()
{
    static std::vector<TClassRow> table = {
        {"TCustomMemo", false, false},
        {"TCustomRichEdit", false, false},
        {"TCustomRichEdit98", true, true},
    };
    return table;
}

template <class T>
TControlClass Describe(const char* Name, const char* Parent, bool Creatable)
{
    TControlClass c;
    c.Name = Name;
    c.Parent = Parent;
    c.Is = [](TControl* x) { return dynamic_cast<T*>(x) != nullptr; };
    if (Creatable) c.Create = [](TComponent* Owner) -> TWinControl* { return new T(Owner); };
    return c;
}

std::vector<TControlClass>& ClassInfos()
{
    static std::vector<TControlClass> infos = {
        Describe<TCustomMemo>("TCustomMemo", "TCustomEdit", true),
        Describe<TMemo>("TMemo", "TCustomMemo", true),
        Describe<TCustomRichEdit>("TCustomRichEdit", "TCustomMemo", true),
        Describe<TCustomRichEdit98>("TCustomRichEdit98", "TCustomRichEdit", true),
        Describe<TRichEdit98>("TRichEdit98", "TCustomRichEdit98", true),
    };
    return infos;
}

const TControlClass* FindClassInfo(const std::string& Name)
{
    for (const TControlClass& c : ClassInfos())
        if (LowerCase(c.Name) == LowerCase(Name)) return &c;
    return nullptr;
}

int Depth(const TControlClass* C)
{
    int d = 0;
    for (; C && d < 64; C = FindClassInfo(C->Parent)) ++d;
    return d;
}

} // namespace

void RegisterSpellControlClassInfo(const TControlClass& Info)
{
    auto& infos = ClassInfos();
    infos.erase(std::remove_if(infos.begin(), infos.end(),
                               [&](const TControlClass& c) { return LowerCase(c.Name) == LowerCase(Info.Name); }),
                infos.end());
    infos.push_back(Info);
}

// The nearest described class of the control: the deepest one that it belongs to.
const TControlClass* NearestControlClass(TControl* AControl)
{
    const TControlClass* best = nullptr;
    int bestDepth = -1;
    for (const TControlClass& c : ClassInfos()) {
        if (!c.Is(AControl)) continue;
        int d = Depth(&c);
        if (d > bestDepth) {
            best = &c;
            bestDepth = d;
        }
    }
    return best;
}

const TControlClass* ParentControlClass(const TControlClass* C) { return FindClassInfo(C->Parent); }

TSpellChecker::TSpellChecker(TComponent* AOwner)
    : TComponent(AOwner),
      FLanguage(static_cast<TLanguage>(LOWORD(GetSystemDefaultLCID()))), FOptions{spoSuggestFromUserDict,
                                                                                  spoIgnoreAllCaps,
                                                                                  spoIgnoreMixedDigits,
                                                                                  spoIgnoreRomanNumerals}
{
}

TSpellChecker::~TSpellChecker()
{
    FState.FreeWorkCopy();
    if (FState.Control()) FState.Control()->RemoveFreeNotification(this);
    // The spellers go last made first.
    while (!FSpellers.empty()) FSpellers.pop_back();
}

void TSpellChecker::RegisterControlClass(const std::string& ClassName, bool WideText, bool PerCharLanguage)
{
    ClassTable().push_back({ClassName, WideText, PerCharLanguage});
}

TCheckSettings TSpellChecker::CheckClass(TWinControl* AControl)
{
    for (const TControlClass* c = NearestControlClass(AControl); c && c->Name != "TCustomEdit";
         c = ParentControlClass(c)) {
        for (const TClassRow& row : ClassTable()) {
            if (LowerCase(row.Name) != LowerCase(c->Name)) continue;
            TCheckSettings settings;
            settings.WideText = row.WideText;
            settings.PerCharLanguage = row.PerCharLanguage;
            return settings;
        }
    }
    throw ESpellError(Format("You can't spell check %s.", AControl->Name().c_str()));
}

TAbstractSpeller* TSpellChecker::SpellerFor(TLanguage ALanguage)
{
    for (const auto& s : FSpellers)
        if (s->Language == ALanguage) return s.get();
    if (std::find(FBrokenLanguages.begin(), FBrokenLanguages.end(), ALanguage) != FBrokenLanguages.end())
        return nullptr;
    try {
        FSpellers.push_back(std::make_unique<TCSAPISpeller>(ALanguage, FOptions.Word(), this));
    } catch (const std::exception& e) {
        // Its text passes as correct; the user learns why, once (remembered first: the message
        // lets idle-time checking run again).
        FBrokenLanguages.push_back(ALanguage);
        try {
            std::string name = LanguageName(ALanguage), engine, dictionary;
            if (name.empty()) name = Format("language %d", ALanguage);
            HKEY root = nullptr;
            TCSAPISpeller::ReadRegistration(ALanguage, engine, dictionary, root);
            std::string text = Format("Spelling in %s is not checked: %s.\r\rSpelling library: %s\rDictionary: %s",
                                      name.c_str(), e.what(), engine.c_str(), dictionary.c_str());
            if (!CustomDict().empty()) text += "\rCustom dictionary: " + CustomDict();
            throw ESpellError(text);
        } catch (...) {
            HandleCallbackException();
        }
        return nullptr;
    }
    return FSpellers.back().get();
}

TLanguage TSpellChecker::SpellerLanguage() const { return FSpeller ? FSpeller->Language : 0; }

bool TSpellChecker::CheckWord(const std::string& Word, TLanguage ALanguage)
{
    TAbstractSpeller* s = SpellerFor(ALanguage);
    if (!s) return true;
    int pos = 0, len = 0;
    // A word on its own is judged as a word: verdicts about the sentence or the spaces around
    // it (a lower-case start, a repetition, spacing) say nothing about the word itself.
    switch (s->CheckText(Word.c_str(), static_cast<int>(Word.size()), pos, len)) {
    case 0:
    case 10:
    case 11:
    case 12:
    case 13: return true;
    default: return false;
    }
}

void TSpellChecker::AddToCustomDict(TAbstractSpeller* Speller, const std::string& Word)
{
    try {
        Speller->AddToCustomDict(Word);
    } catch (const ESpellError& e) {
        auto* csapi = dynamic_cast<TCSAPISpeller*>(Speller);
        throw ESpellError(Format("\"%s\" could not be added to the custom dictionary %s: %s.", Word.c_str(),
                                 csapi ? csapi->CustomDictPath().c_str() : CustomDict().c_str(), e.Message().c_str()));
    }
}

void TSpellChecker::AddWord(const std::string& Word, TLanguage ALanguage)
{
    if (TAbstractSpeller* s = SpellerFor(ALanguage)) {
        AddToCustomDict(s, Word);
        if (OnWordAccepted) OnWordAccepted(this, Word, ALanguage);
    }
}

void TSpellChecker::GetVariants(const std::string& Word, TStrings* List, TLanguage ALanguage)
{
    List->Clear();
    if (TAbstractSpeller* s = SpellerFor(ALanguage)) s->GetSuggestions(Word, List);
}

void TSpellChecker::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FState.WorkCopy()) FState.WorkCopyGone();
    if (AComponent == FState.Control()) {
        // The checked control is going (its document was closed): the check ends quietly.
        FState.ControlGone();
        FReturnCode = 0;
        if (FDialog && FDialog->HandleAllocated()) FDialog->Hide();
    }
}

void TSpellChecker::DialogDestroyed(TSpellerDialog2* ADialog)
{
    if (FDialog == ADialog) FDialog = nullptr;
}

} // namespace pw
