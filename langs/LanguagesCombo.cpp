#include "LanguagesCombo.h"

#include "Graphics.h"
#include "StringList.h"

#include <cstdint>
#include <cstdlib>

namespace pw {

namespace {

// The enumeration callback is given nothing but the locale's text, so the list being built
// and what to put in it are kept here while EnumSystemLocalesA runs (one list at a time).
struct TLocaleScan {
    LCTYPE Info = LOCALE_SLANGUAGE;
    bool PrimaryOnly = false;
    TStringList* List = nullptr;
};
TLocaleScan g_scan;

DWORD EnumFlag(TLanguageType Type) { return Type == TLanguageType::ltSupported ? LCID_SUPPORTED : LCID_INSTALLED; }

LCTYPE NameInfo(TLanguageViewType View)
{
    switch (View) {
    case TLanguageViewType::lvtEnglish: return LOCALE_SENGLANGUAGE;
    case TLanguageViewType::lvtNative: return LOCALE_SNATIVELANGNAME;
    case TLanguageViewType::lvtAbbrev: return LOCALE_SABBREVLANGNAME;
    default: return LOCALE_SLANGUAGE;
    }
}

TObject* LanguageObject(TLanguage L) { return reinterpret_cast<TObject*>(static_cast<uintptr_t>(L)); }

void AddLocale(const char* Text)
{
    char* end = nullptr;
    unsigned long id = std::strtoul(Text, &end, 16);
    if (end == Text || *end != '\0' || id > 0xFFFF) return;
    if (g_scan.PrimaryOnly && id >= NoLanguage) return;
    // A fresh buffer per locale: a failed call adds nothing rather than the previous name.
    char name[255] = {};
    int n = GetLocaleInfoA(MAKELCID(static_cast<TLanguage>(id), SORT_DEFAULT), g_scan.Info, name, sizeof name);
    if (n <= 1 || name[0] == '\0') return;
    g_scan.List->AddObject(name, LanguageObject(static_cast<TLanguage>(id)));
}

BOOL CALLBACK EnumLocale(LPSTR Text)
{
    // Nothing may unwind through the system's enumeration: a failure ends it here.
    try {
        if (Text) AddLocale(Text);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

} // namespace

TLanguagesCombo::TLanguagesCombo(TComponent* AOwner) : TCustomComboBox(AOwner)
{
    SetStyle(TComboBoxStyle::csOwnerDrawFixed);
    SetSorted(true);
}

TLanguagesCombo::~TLanguagesCombo() = default;

TLanguage TLanguagesCombo::ItemLanguage(int Index) const
{
    return static_cast<TLanguage>(reinterpret_cast<uintptr_t>(Items()->Objects(Index)));
}

TLanguage TLanguagesCombo::Language()
{
    int i = ItemIndex();
    return i >= 0 && i < Items()->Count() ? ItemLanguage(i) : NoLanguage;
}

void TLanguagesCombo::SetLanguage(TLanguage Value)
{
    if (!IsValidLocale(MAKELCID(Value, SORT_DEFAULT), EnumFlag(FLanguageType)) || Value == Language()) return;
    SetItemIndex(Items()->IndexOfObject(LanguageObject(Value)));
    Changed();
}

void TLanguagesCombo::SetLanguageName(const std::string& Value) { SetItemIndex(Items()->IndexOf(Value)); }

void TLanguagesCombo::SetLanguageType(TLanguageType Value)
{
    if (Value == FLanguageType) return;
    FLanguageType = Value;
    Rebuild();
}

void TLanguagesCombo::SetViewType(TLanguageViewType Value)
{
    if (Value == FViewType) return;
    FViewType = Value;
    Rebuild();
}

void TLanguagesCombo::SetShowFlag(bool Value)
{
    if (Value == FShowFlag) return;
    FShowFlag = Value;
    Invalidate();
}

void TLanguagesCombo::Rebuild()
{
    TLanguage kept = Language();
    BuildList();
    SetLanguage(kept);
    if (Language() != kept) Changed();
}

void TLanguagesCombo::BuildList()
{
    Items()->Clear();
    TStringList found;
    g_scan = TLocaleScan{NameInfo(FViewType), FLanguageType == TLanguageType::ltPrimary, &found};
    EnumSystemLocalesA(&EnumLocale, EnumFlag(FLanguageType));
    g_scan = TLocaleScan{};
    Items()->BeginUpdate();
    Items()->Assign(&found);
    Items()->EndUpdate();
}

void TLanguagesCombo::CreateWnd()
{
    TLanguage kept = Language();
    TCustomComboBox::CreateWnd();
    BuildList();
    SetLanguage(kept);
}

void TLanguagesCombo::Change()
{
    // The user picked an item: the click, then the change.
    Click();
    Changed();
}

void TLanguagesCombo::Changed()
{
    if (OnChange) OnChange(this);
}

void TLanguagesCombo::DrawItem(int Index, const RECT& Rect, UINT State, HDC DC)
{
    bool selected = State & ODS_SELECTED;
    FillRect(DC, &Rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    // Nothing selected (the box itself with index -1) has nothing more to show.
    if (Index < 0 || Index >= Items()->Count()) return;
    TLanguage language = ItemLanguage(Index);
    int saved = SaveDC(DC);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    // A native name is drawn in its own script; every other item in the control's font.
    TFont font;
    font.Assign(Font());
    if (FViewType == TLanguageViewType::lvtNative) font.SetCharset(LanguageCharset(language));
    SelectObject(DC, font.Handle());
    std::string s = Items()->Strings(Index);
    TextOutA(DC, Rect.left + (FShowFlag ? 24 : 2), Rect.top, s.c_str(), static_cast<int>(s.size()));
    RestoreDC(DC, saved);
    if (FShowFlag) DrawFlag(DC, Rect, language);
}

void TLanguagesCombo::DrawFlag(HDC DC, const RECT& Rect, TLanguage Language)
{
    (void)DC; (void)Rect; (void)Language;
}

} // namespace pw
