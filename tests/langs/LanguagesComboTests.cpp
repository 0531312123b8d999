// The language combo box on a real window, with the program's flag resources linked in.
#include "Forms.h"
#include "Graphics.h"
#include "LanguagesCombo.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

std::string LocalizedName(TLanguage l)
{
    char buf[255] = {};
    GetLocaleInfoA(MAKELCID(l, SORT_DEFAULT), LOCALE_SLANGUAGE, buf, sizeof buf);
    return buf;
}

class LanguagesComboTest : public testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(10, 10, 300, 200);
        Combo = new TLanguagesCombo(Form);
        Combo->SetBounds(0, 0, 146, 22);
        Combo->OnChange = [this](TObject*) { ++Changes; };
        Combo->SetParent(Form);
    }
    void TearDown() override { delete Form; }
    void Create() { Form->HandleNeeded(); }

    // Draws item Index as the system would, into a 160 x 20 memory bitmap filled with Back.
    struct TItemPicture {
        TBitmap Bitmap{160, 20};
        TColor At(int x, int y) { return Bitmap.Canvas()->Pixels(x, y); }
    };
    void DrawInto(TItemPicture& p, int Index, TColor Back)
    {
        p.Bitmap.Canvas()->Brush()->SetColor(Back);
        p.Bitmap.Canvas()->FillRect(RECT{0, 0, 160, 20});
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_COMBOBOX;
        d.CtlID = static_cast<UINT>(GetDlgCtrlID(Combo->Handle()));
        d.itemID = static_cast<UINT>(Index);
        d.itemAction = ODA_DRAWENTIRE;
        d.hwndItem = Combo->Handle();
        d.hDC = p.Bitmap.Canvas()->Handle();
        d.rcItem = RECT{0, 4, 160, 20}; // 16 high: the 12-pixel flag sits 2 below the top
        SendMessageA(Form->Handle(), WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
    }

    TForm* Form = nullptr;
    TLanguagesCombo* Combo = nullptr;
    int Changes = 0;
};

} // namespace

TEST_F(LanguagesComboTest, ListsTheSystemsLocalesSortedWithNothingSelected)
{
    EXPECT_EQ(Combo->LanguageType(), TLanguageType::ltInstalled);
    EXPECT_EQ(Combo->ViewType(), TLanguageViewType::lvtLocalized);
    EXPECT_FALSE(Combo->ShowFlag());
    EXPECT_EQ(Combo->Style(), TComboBoxStyle::csOwnerDrawFixed);
    Create();
    ASSERT_GT(Combo->LanguageCount(), 20);
    EXPECT_EQ(Combo->Language(), NoLanguage);
    EXPECT_EQ(Combo->Perform(CB_GETCOUNT, 0, 0), Combo->LanguageCount());
    bool english = false, russian = false;
    for (int i = 0; i < Combo->LanguageCount(); ++i) {
        std::string name = Combo->Items()->Strings(i);
        EXPECT_FALSE(name.empty());
        if (i > 0) { EXPECT_LE(AnsiCompareText(Combo->Items()->Strings(i - 1), name), 0) << name; }
        auto id = static_cast<TLanguage>(reinterpret_cast<uintptr_t>(Combo->Items()->Objects(i)));
        if (id == 1033) english = name == LocalizedName(1033);
        if (id == 1049) russian = name == LocalizedName(1049);
    }
    EXPECT_TRUE(english);
    EXPECT_TRUE(russian);
    EXPECT_EQ(Changes, 0);
}

TEST_F(LanguagesComboTest, SettingALanguageSelectsItsItemAndTellsOnce)
{
    Create();
    Combo->SetLanguage(1049);
    EXPECT_EQ(Combo->Language(), 1049);
    EXPECT_EQ(Combo->LanguageName(), LocalizedName(1049));
    EXPECT_EQ(Changes, 1);
    Combo->SetLanguage(1049); // the value it has
    EXPECT_EQ(Changes, 1);
    Combo->SetLanguage(0x7BFF); // no locale of the system: ignored
    EXPECT_EQ(Combo->Language(), 1049);
    EXPECT_EQ(Changes, 1);
    Combo->SetLanguageName("No such language");
    EXPECT_EQ(Combo->Language(), NoLanguage);
    Combo->SetLanguageName(LocalizedName(1033));
    EXPECT_EQ(Combo->Language(), 1033);
    EXPECT_EQ(Changes, 1); // the name selects silently
}

TEST_F(LanguagesComboTest, ALanguageSetBeforeTheWindowExistsLeavesNothing)
{
    Combo->SetLanguage(1033);
    Create();
    EXPECT_EQ(Combo->Language(), NoLanguage);
}

TEST_F(LanguagesComboTest, TheUsersPickClicksThenChanges)
{
    Create();
    int clicks = 0;
    Combo->OnClick = [&](TObject*) {
        EXPECT_EQ(Changes, 0);
        ++clicks;
    };
    Combo->SetItemIndex(Combo->Items()->IndexOfObject(reinterpret_cast<TObject*>(uintptr_t{1036})));
    SendMessageA(Form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Combo->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Combo->Handle()));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Combo->Language(), 1036);
}

TEST_F(LanguagesComboTest, AnotherViewKeepsTheLanguageAndTellsOnce)
{
    Create();
    Combo->SetLanguage(1049);
    Changes = 0;
    Combo->SetViewType(TLanguageViewType::lvtNative);
    EXPECT_EQ(Combo->Language(), 1049);
    EXPECT_EQ(Changes, 1);
    char native[255] = {};
    GetLocaleInfoA(MAKELCID(1049, SORT_DEFAULT), LOCALE_SNATIVELANGNAME, native, sizeof native);
    EXPECT_EQ(Combo->LanguageName(), native);
    Combo->SetViewType(TLanguageViewType::lvtNative); // unchanged: no rebuild, no event
    EXPECT_EQ(Changes, 1);
}

TEST_F(LanguagesComboTest, PrimaryLanguagesOnlyDropASubLanguage)
{
    Create();
    Combo->SetLanguage(2057);
    ASSERT_EQ(Combo->Language(), 2057);
    Changes = 0;
    Combo->SetLanguageType(TLanguageType::ltPrimary);
    EXPECT_EQ(Combo->Language(), NoLanguage);
    EXPECT_EQ(Changes, 1);
    for (int i = 0; i < Combo->LanguageCount(); ++i)
        EXPECT_LT(reinterpret_cast<uintptr_t>(Combo->Items()->Objects(i)), uintptr_t{2048});
    EXPECT_GE(Combo->Items()->IndexOfObject(reinterpret_cast<TObject*>(uintptr_t{1033})), 0);
}

TEST_F(LanguagesComboTest, DrawsTheFlagTransparentlyBeforeTheName)
{
    Combo->SetShowFlag(true);
    Create();
    int ru = Combo->Items()->IndexOfObject(reinterpret_cast<TObject*>(uintptr_t{1049}));
    ASSERT_GE(ru, 0);
    TItemPicture p;
    DrawInto(p, ru, clGreen);
    // The item is filled; the flag at left 2, top 4 + (16 - 12) / 2 = 6: white, blue, red.
    EXPECT_EQ(p.At(1, 10), ColorToRGB(clWindow));
    EXPECT_EQ(p.At(10, 7), RGB(255, 255, 255));
    EXPECT_EQ(p.At(10, 11), RGB(0, 0, 255));
    EXPECT_EQ(p.At(10, 16), RGB(255, 0, 0));
    // Its corners are transparent: the item's background shows there.
    EXPECT_EQ(p.At(2, 6), ColorToRGB(clWindow));
    EXPECT_EQ(p.At(19, 17), ColorToRGB(clWindow));
    // The name starts at 24: nothing of it left of there but the flag.
    EXPECT_EQ(p.At(22, 12), ColorToRGB(clWindow));
}

TEST_F(LanguagesComboTest, ALanguageWithoutAFlagShowsNoneAndNotThePreviousOne)
{
    Combo->SetShowFlag(true);
    Create();
    int ru = Combo->Items()->IndexOfObject(reinterpret_cast<TObject*>(uintptr_t{1049}));
    int without = -1;
    for (int i = 0; i < Combo->LanguageCount() && without < 0; ++i)
        if (!FindResourceA(GetModuleHandleA(nullptr),
                           MAKEINTRESOURCEA(reinterpret_cast<uintptr_t>(Combo->Items()->Objects(i))), RT_BITMAP))
            without = i;
    ASSERT_GE(without, 0) << "every listed language has a flag";
    TItemPicture p;
    DrawInto(p, ru, clGreen);
    DrawInto(p, without, clGreen);
    for (int x = 2; x < 20; ++x)
        for (int y = 6; y < 18; ++y) ASSERT_EQ(p.At(x, y), ColorToRGB(clWindow)) << x << "," << y;
}

TEST_F(LanguagesComboTest, NothingSelectedDrawsAnEmptyBox)
{
    Combo->SetShowFlag(true);
    Create();
    TItemPicture p;
    DrawInto(p, -1, clGreen);
    EXPECT_EQ(p.At(10, 10), ColorToRGB(clWindow));
    EXPECT_EQ(p.At(60, 12), ColorToRGB(clWindow));
    DrawInto(p, Combo->LanguageCount(), clGreen); // past the end: the same
    EXPECT_EQ(p.At(60, 12), ColorToRGB(clWindow));
}

TEST(LanguageList, AnErrorWhileTheSystemListsTheLanguagesIsReportedAndEndsTheList)
{
    pwtest::MessageBoxRecorder boxes;
    TStringList list;
    list.OnChange = [](TObject*) { throw Exception("No room for another language"); };
    AddSystemLanguages(TLanguageType::ltInstalled, TLanguageViewType::lvtEnglish, list);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "No room for another language.");
    EXPECT_EQ(list.Count(), 1); // the first language went in, the system was asked for no other
}
