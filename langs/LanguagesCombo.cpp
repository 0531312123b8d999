#include "LanguagesCombo.h"

#include "Graphics.h"
#include "StringList.h"
#include "SysUtils.h"

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

TObject* LanguageObject(TLanguage Language) { return reinterpret_cast<TObject*>(static_cast<uintptr_t>(Language)); }

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
    // Nothing may unwind through the system's enumeration: a failure goes to the application's
    // handler and ends the enumeration.
    return Firewall<BOOL>(
        [&]() -> BOOL {
            if (Text) AddLocale(Text);
            return TRUE;
        },
        FALSE);
}

} // namespace

void AddSystemLanguages(TLanguageType Type, TLanguageViewType View, TStringList& List)
{
    g_scan = TLocaleScan{NameInfo(View), Type == TLanguageType::ltPrimary, &List};
    EnumSystemLocalesA(&EnumLocale, EnumFlag(Type));
    g_scan = TLocaleScan{};
}

TLanguagesCombo::TLanguagesCombo(TComponent* AOwner) : TCustomComboBox(AOwner), FFlagBitmap(std::make_unique<TBitmap>())
{
    SetStyle(TComboBoxStyle::csOwnerDrawFixed);
    FFlagBitmap->SetTransparent(true);
    FFlagBitmap->SetTransparentColor(clFuchsia);
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
    // One change is told once: selecting the language again may have told it already.
    unsigned told = FChangesTold;
    SetLanguage(kept);
    if (Language() != kept && FChangesTold == told) Changed();
}

void TLanguagesCombo::BuildList()
{
    Items()->Clear();
    TStringList found;
    AddSystemLanguages(FLanguageType, FViewType, found);
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
    ++FChangesTold;
    if (OnChange) OnChange(this);
}

void TLanguagesCombo::DrawItem(int Index, const RECT& Rect, UINT State, HDC DC)
{
    bool selected = State & ODS_SELECTED;
    FillRect(DC, &Rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    // Nothing selected (the box itself with index -1) has nothing more to show.
    if (Index < 0 || Index >= Items()->Count()) return;
    TLanguage language = ItemLanguage(Index);
    {
        TCanvas canvas(DC);
        // Each item starts from the control's font: a native name gets its own script's
        // character set, and the next item does not inherit it.
        canvas.SetFont(Font());
        canvas.Font()->SetColor(selected ? clHighlightText : clWindowText);
        if (FViewType == TLanguageViewType::lvtNative) canvas.Font()->SetCharset(LanguageCharset(language));
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        canvas.TextOut(Rect.left + (FShowFlag ? 24 : 2), Rect.top, Items()->Strings(Index));
    }
    if (FShowFlag) DrawFlag(DC, Rect, language);
}

void TLanguagesCombo::DrawFlag(HDC DC, const RECT& Rect, TLanguage Language)
{
    // A language without a flag of its own shows none (never the flag drawn before).
    try {
        FFlagBitmap->LoadFromResourceID(GetModuleHandleA(nullptr), Language);
    } catch (const EResNotFound&) {
        return;
    }
    int h = FFlagBitmap->Height();
    FFlagBitmap->DrawTo(DC, Rect.left + 2, Rect.top + (Rect.bottom - Rect.top - h) / 2, FFlagBitmap->Width(), h);
}

} // namespace pw
