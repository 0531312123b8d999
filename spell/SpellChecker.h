// The spell-check driver: walks a text control piece by piece, hands each piece to the
// engine of its language, and lets the spelling dialog handle each error. It also answers
// single-word questions (is it correct, what are the suggestions, add it).
#pragma once
#include "Classes.h"
#include "Events.h"
#include "Languages.h"
#include "SpellCheckState.h"
#include "Speller.h"
#include "StringList.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace pw {

class TControl;
class TWinControl;
class TSpellerDialog2;

enum TSpellOption : int {
    spoSuggestFromUserDict,
    spoIgnoreAllCaps,
    spoIgnoreMixedDigits,
    spoIgnoreRomanNumerals,
    spoFindUncappedSentences,
    spoFindMissingSpaces,
    spoFindRepeatWord,
    spoFindExtraSpaces,
    spoFindSpacesBeforePunc,
    spoFindSpacesAfterPunc,
    spoRateSuggestions,
    spoFindInitialNumerals,
};

// A set of options; bit n of its word is the option of ordinal n, and that word is what the
// spelling library receives.
class TSpellOptions {
public:
    TSpellOptions() = default;
    TSpellOptions(std::initializer_list<TSpellOption> Items)
    {
        for (TSpellOption o : Items) Include(o);
    }
    static TSpellOptions FromWord(uint16_t W)
    {
        TSpellOptions s;
        s.FBits = W;
        return s;
    }
    bool Contains(TSpellOption O) const { return (FBits >> O) & 1; }
    void Include(TSpellOption O) { FBits = static_cast<uint16_t>(FBits | (1u << O)); }
    void Exclude(TSpellOption O) { FBits = static_cast<uint16_t>(FBits & ~(1u << O)); }
    uint16_t Word() const { return FBits; }
    bool operator==(const TSpellOptions& O) const { return FBits == O.FBits; }
private:
    uint16_t FBits = 0;
};

using TMisspellEvent = std::function<void(TObject* Sender, TSpellReturnCode SRC, int BufPos, int Len)>;
using TChangeTextEvent = std::function<void(TObject* Sender, int BufPos, int Len, const std::string& NewWord)>;
using TGetDictEvent = std::function<void(TObject* Sender, TLanguage Language, std::string& Dict)>;

// How the driver recognises a control class and makes another instance of it. Classes are
// described from the nearest to the farthest ancestor through Parent.
struct TControlClass {
    std::string Name;
    std::string Parent;
    std::function<bool(TControl*)> Is; // the control is of this class or below
    std::function<TWinControl*(TComponent*)> Create; // a new instance; empty for abstract classes
};
// Makes a class known to the driver (its ancestors must be known or be "TCustomEdit").
void RegisterSpellControlClassInfo(const TControlClass& Info);

class TSpellChecker : public TComponent {
public:
    explicit TSpellChecker(TComponent* AOwner);
    ~TSpellChecker() override;

    // Adds a row to the class table: controls of that class (or below) may be checked.
    static void RegisterControlClass(const std::string& ClassName, bool WideText, bool PerCharLanguage);

    // Properties.
    TLanguage Language() const { return FLanguage; }
    void SetLanguage(TLanguage Value) { FLanguage = Value; }
    TSpellOptions Options() const { return FOptions; }
    void SetOptions(TSpellOptions Value) { FOptions = Value; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    bool ModalDialog() const { return FModalDialog; }
    void SetModalDialog(bool Value) { FModalDialog = Value; }
    bool HTMLSupport() const { return FHTMLSupport; }
    void SetHTMLSupport(bool Value) { FHTMLSupport = Value; }
    const std::string& CustomDict() const { return FCustomDict; }
    void SetCustomDict(const std::string& Value) { FCustomDict = Value; }
    const std::string& FinishMessage() const { return FFinishMessage; }
    void SetFinishMessage(const std::string& Value) { FFinishMessage = Value; }
    bool ShowFinishMessage() const { return FShowFinishMessage; }
    void SetShowFinishMessage(bool Value) { FShowFinishMessage = Value; }
    TMisspellEvent OnMisspelling;
    TChangeTextEvent OnChangeText;
    // A word now accepted in a language: added to the custom dictionary or skipped everywhere.
    // Every live speller of the checker listens.
    TEvent<TObject*, const std::string&, TLanguage> OnWordAccepted;
    TGetDictEvent OnGetDictionary;

    // Interactive check of a memo or rich edit, from the caret or over the selection.
    void CheckControl(TWinControl* AControl);
    // Single-word services; a language without a usable engine passes every word.
    bool CheckWord(const std::string& Word, TLanguage ALanguage);
    void AddWord(const std::string& Word, TLanguage ALanguage);
    void GetVariants(const std::string& Word, TStrings* List, TLanguage ALanguage);

    // Operations of the spelling dialog on the current error.
    void CheckNext();
    void Finish();
    void ChangeText(const std::string& NewWord);
    void ChangeOnceText(const std::string& NewWord);
    void ChangeAllText(const std::string& NewWord);
    void DeleteRepeated();
    void SkipAllWord();
    void AddBadWord();
    // The line of the work copy around Pos, in the code page of the current engine's language.
    std::string GetLineAt(int Pos, int& LineStart);
    TLanguage SpellerLanguage() const;

    // State of the current check, for the dialog and for inspection.
    TSpellReturnCode ReturnCode() const { return FReturnCode; }
    const std::string& BadWord() const { return FBadWord; }
    int CurPos() const { return FState.CurPos(); }
    int CurLen() const { return FState.CurLen(); }
    int RangeStart() const { return FState.RangeStart(); }
    int RangeEnd() const { return FState.RangeEnd(); }
    int NextParaEnd() const { return FState.NextParaEnd(); }
    int NextTag() const { return FState.NextTag(); }
    int NextLangChange() const { return FState.NextLangChange(); }
    TWinControl* Control() const { return FState.Control(); }
    TWinControl* WorkCopy() const { return FState.WorkCopy(); }
    TSpellerDialog2* Dialog() const { return FDialog; }
    // The engine of a language, created on first use; nullptr when it could not be created
    // (the user is told once why).
    TAbstractSpeller* SpellerFor(TLanguage ALanguage);
    int SpellerCount() const { return static_cast<int>(FSpellers.size()); }

    // Called by the dialog when it goes.
    void DialogDestroyed(TSpellerDialog2* ADialog);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TLanguage FLanguage;
    TSpellOptions FOptions;
    std::string FCaption;
    bool FModalDialog = false;
    bool FHTMLSupport = false;
    std::string FCustomDict;
    std::string FFinishMessage;
    bool FShowFinishMessage = false;

    TSpellCheckState FState; // the check in progress: control, work copy, range, pieces
    TSpellerDialog2* FDialog = nullptr;
    std::vector<std::unique_ptr<TAbstractSpeller>> FSpellers;
    // Languages whose registered engine could not be started this session: told once, then
    // their text passes as correct without the engine being tried again for every word.
    std::vector<TLanguage> FBrokenLanguages;

    // The word into the engine's custom dictionary; a failure names the file.
    void AddToCustomDict(TAbstractSpeller* Speller, const std::string& Word);
    TAbstractSpeller* FSpeller = nullptr; // the engine of the current piece
    std::string FBadWord;
    TSpellReturnCode FReturnCode = 0;

    TCheckSettings CheckClass(TWinControl* AControl);
    bool CheckPiece();
    void ShowError();
    unsigned WordCodePage() const;
};

} // namespace pw
