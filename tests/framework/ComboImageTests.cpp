// Combo boxes with an edit field, and image list changes as the tool bar shows them.
#include "ComCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "Subclass.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace pw;

namespace {

TComboBox* SizeBox(TForm& form)
{
    auto* c = new TComboBox(&form);
    for (const char* s : {"8", "12", "24"}) c->Items()->Add(s);
    c->SetParent(&form);
    form.HandleNeeded();
    c->SetText("8");
    return c;
}

void SendSelChange(TForm& form, TComboBox* c)
{
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(c->Handle()));
}

// A 16 x 16 bitmap of one colour (and a memory DC drawing on it while the object lives).
struct MemoryBitmap {
    HDC DC = CreateCompatibleDC(nullptr);
    HBITMAP Bitmap;
    HGDIOBJ Old;
    explicit MemoryBitmap(COLORREF fill, bool mono = false)
    {
        HDC screen = GetDC(nullptr);
        Bitmap = mono ? CreateBitmap(16, 16, 1, 1, nullptr) : CreateCompatibleBitmap(screen, 16, 16);
        ReleaseDC(nullptr, screen);
        Old = SelectObject(DC, Bitmap);
        Fill(RECT{0, 0, 16, 16}, fill);
    }
    ~MemoryBitmap()
    {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
    void Fill(const RECT& r, COLORREF c)
    {
        HBRUSH b = CreateSolidBrush(c);
        FillRect(DC, &r, b);
        DeleteObject(b);
    }
    // Gives the bitmap free of the DC, for calls that take a bitmap that is selected nowhere.
    HBITMAP Detach()
    {
        SelectObject(DC, Old);
        return Bitmap;
    }
    void Attach() { SelectObject(DC, Bitmap); }
};

} // namespace

TEST(ComboBox, KeysTypedIntoTheEditFieldReachTheKeyEvents)
{
    TForm form(nullptr);
    TComboBox* c = SizeBox(form);
    ASSERT_NE(c->EditHandle(), nullptr);
    std::vector<WORD> ups;
    c->OnKeyPress = [](TObject*, char& key) {
        if (key >= 'a' && key <= 'z') key = 0;
    };
    c->OnKeyUp = [&](TObject*, WORD& key, unsigned) { ups.push_back(key); };
    SendMessageA(c->EditHandle(), WM_CHAR, 'x', 1);
    EXPECT_EQ(c->Text(), "8"); // the letter was discarded
    SendMessageA(c->EditHandle(), WM_KEYDOWN, VK_END, 1);
    SendMessageA(c->EditHandle(), WM_CHAR, '4', 1);
    EXPECT_EQ(c->Text(), "84");
    SendMessageA(c->EditHandle(), WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_EQ(ups, std::vector<WORD>{VK_RETURN});
    // A re-created window is hooked again.
    c->RecreateWnd();
    ASSERT_NE(c->EditHandle(), nullptr);
    SendMessageA(c->EditHandle(), WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_EQ(ups.size(), 2u);
}

TEST(ComboBox, TheEditFieldKeepsASubclassMadeAfterItsHookUntilTheFieldGoes)
{
    TForm form(nullptr);
    TComboBox* c = SizeBox(form);
    HWND edit = c->EditHandle();
    ASSERT_NE(edit, nullptr);
    std::vector<UINT> seen;
    std::unique_ptr<TWindowSubclass> later;
    later = std::make_unique<TWindowSubclass>(edit, [&](TMessage& m) {
        if (m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) seen.push_back(m.Msg);
        later->CallPrevious(m);
    });
    // Unhooking the combo box's own link when the window goes leaves the later one in place.
    c->RecreateWnd();
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(seen, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    later.reset();
    ASSERT_NE(c->EditHandle(), nullptr);
    std::vector<WORD> ups;
    c->OnKeyUp = [&](TObject*, WORD& key, unsigned) { ups.push_back(key); };
    SendMessageA(c->EditHandle(), WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_EQ(ups, std::vector<WORD>{VK_RETURN});
}

TEST(ComboBox, OnASelectionChangeTheTextIsTheChosenItem)
{
    TForm form(nullptr);
    TComboBox* c = SizeBox(form);
    std::vector<std::string> seen;
    c->OnChange = [&](TObject*) { seen.push_back(c->Text()); };
    // The list has the new selection; the edit field still shows the old text, as when the
    // system notifies.
    c->Perform(CB_SETCURSEL, 2, 0);
    SetWindowTextA(c->EditHandle(), "8");
    seen.clear();
    SendSelChange(form, c);
    EXPECT_EQ(seen, std::vector<std::string>{"24"}); // once, with the chosen item
    EXPECT_EQ(c->ItemIndex(), 2);
}

TEST(ComboBox, ADropDownListHasNoEditFieldToHook)
{
    TForm form(nullptr);
    auto* c = new TComboBox(&form);
    c->SetStyle(TComboBoxStyle::csDropDownList);
    c->SetParent(&form);
    form.HandleNeeded();
    EXPECT_EQ(c->EditHandle(), nullptr);
}

TEST(ImageList, ReplaceWithAnExplicitMask)
{
    TImageList images(nullptr);
    MemoryBitmap red(RGB(255, 0, 0));
    images.AddMasked(red.Detach(), RGB(255, 0, 255));
    red.Attach();
    int changes = 0;
    images.OnChange = [&](TObject*) { ++changes; };
    MemoryBitmap blue(RGB(0, 0, 255));
    MemoryBitmap mask(RGB(255, 255, 255), true); // white: transparent
    mask.Fill(RECT{0, 8, 16, 16}, RGB(0, 0, 0)); // the bottom half opaque
    blue.Fill(RECT{0, 0, 16, 8}, RGB(0, 0, 0)); // transparent pixels are black in the image
    HBITMAP b = blue.Detach(), m = mask.Detach();
    images.Replace(0, b, m);
    blue.Attach();
    mask.Attach();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(images.Count(), 1);
    MemoryBitmap out(RGB(0, 255, 0));
    images.Draw(out.DC, 0, 0, 0);
    EXPECT_EQ(GetPixel(out.DC, 3, 3), RGB(0, 255, 0)); // transparent: the background shows
    EXPECT_EQ(GetPixel(out.DC, 3, 12), RGB(0, 0, 255)); // opaque: the new image
    EXPECT_THROW(images.Replace(1, b, m), EInvalidOperation);
    EXPECT_EQ(changes, 1);
}

TEST(ToolBar, RepaintsWhenAnImageOfItsListChanges)
{
    TForm form(nullptr);
    form.SetBounds(10, 10, 300, 100);
    auto* images = new TImageList(&form);
    MemoryBitmap red(RGB(255, 0, 0));
    images->AddMasked(red.Detach(), RGB(255, 0, 255));
    red.Attach();
    auto* bar = new TToolBar(&form);
    bar->SetImages(images);
    bar->SetBounds(0, 0, 200, 22);
    bar->SetParent(&form);
    auto* button = new TToolButton(&form);
    button->SetImageIndex(0);
    button->SetParent(bar);
    form.Show();
    pwtest::Pump();
    RECT r;
    ValidateRect(bar->Handle(), nullptr);
    ASSERT_FALSE(GetUpdateRect(bar->Handle(), &r, FALSE));
    MemoryBitmap blue(RGB(0, 0, 255));
    images->ReplaceMasked(0, blue.Detach(), RGB(255, 0, 255));
    blue.Attach();
    EXPECT_TRUE(GetUpdateRect(bar->Handle(), &r, FALSE));
    // A bar whose list has gone neither repaints for it nor holds on to it.
    delete images;
    EXPECT_EQ(bar->Images(), nullptr);
}
