// A drop-down list of the languages the system knows, each drawn with its name and,
// optionally, its national flag. The object of each item is its language identifier.
#pragma once
#include "Languages.h"
#include "StdCtrls.h"

#include <memory>
#include <string>

namespace pw {

class TBitmap;
class TStringList;

enum class TLanguageType { ltInstalled, ltSupported, ltPrimary };
enum class TLanguageViewType { lvtLocalized, lvtEnglish, lvtNative, lvtAbbrev };

// Adds the system's locales of a type to List, each under its name in View with its language
// identifier as its object, in the system's order. An error while the system lists them ends
// the listing and goes to the application's exception handler.
void AddSystemLanguages(TLanguageType Type, TLanguageViewType View, TStringList& List);

class TLanguagesCombo : public TCustomComboBox {
public:
    explicit TLanguagesCombo(TComponent* AOwner);
    ~TLanguagesCombo() override;

    // The language of the selected item; NoLanguage (2048) when nothing is selected.
    TLanguage Language();
    // Selects the item of a language the system accepts (no item when the list lacks it);
    // a language it rejects, or the current one, changes nothing.
    void SetLanguage(TLanguage Value);
    std::string LanguageName() { return Text(); }
    void SetLanguageName(const std::string& Value);
    int LanguageCount() const { return Items()->Count(); }
    TLanguageType LanguageType() const { return FLanguageType; }
    void SetLanguageType(TLanguageType Value);
    TLanguageViewType ViewType() const { return FViewType; }
    void SetViewType(TLanguageViewType Value);
    bool ShowFlag() const { return FShowFlag; }
    void SetShowFlag(bool Value);
    // The one bitmap every flag is loaded into as it is drawn (magenta transparent).
    TBitmap* FlagBitmap() const { return FFlagBitmap.get(); }

    // Refills the items from the system's locales.
    virtual void BuildList();

    // Fired when the selected language changes (a pick of the user's or a new value).
    TNotifyEvent OnChange;

protected:
    void CreateWnd() override;
    void Change() override;
    void DrawItem(int Index, const RECT& Rect, UINT State, HDC DC) override;

private:
    TLanguageType FLanguageType = TLanguageType::ltInstalled;
    TLanguageViewType FViewType = TLanguageViewType::lvtLocalized;
    bool FShowFlag = false;
    std::unique_ptr<TBitmap> FFlagBitmap;
    unsigned FChangesTold = 0;

    void Rebuild();
    void Changed();
    TLanguage ItemLanguage(int Index) const;
    void DrawFlag(HDC DC, const RECT& Rect, TLanguage Language);
};

} // namespace pw
