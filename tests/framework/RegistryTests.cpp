#include "Registry.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace pw;

TEST(Registry, WriteThenReadInARedirectedRoot)
{
    pwtest::RegistryRedirect redirect;
    const char* key = "SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Custom Dictionaries";
    {
        TRegistry r;
        r.SetRootKey(HKEY_LOCAL_MACHINE);
        EXPECT_FALSE(r.OpenKey(key, false));  // absent, and not created
        ASSERT_TRUE(r.OpenKey(key, true));
        r.WriteString("1", "C:\\dict\\CUSTOM.DIC");
        r.CloseKey();
    }
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(r.OpenKeyReadOnly(key));
    EXPECT_TRUE(r.ValueExists("1"));
    EXPECT_EQ(r.ReadString("1"), "C:\\dict\\CUSTOM.DIC");
    EXPECT_EQ(r.ReadString("2"), "");
    EXPECT_THROW(r.WriteString("x", "y"), ERegistryException);  // opened read-only
}

TEST(Registry, RedirectionLeavesTheRealRootUntouched)
{
    {
        pwtest::RegistryRedirect redirect;
        TRegistry r;
        r.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(r.OpenKey("SOFTWARE\\PenwiseRedirectProbe", true));
        r.WriteString("v", "1");
    }
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(r.OpenKeyReadOnly("SOFTWARE\\PenwiseRedirectProbe"));
}

TEST(Registry, ValuesOfAnotherTypeAreAnError)
{
    pwtest::RegistryRedirect redirect;
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("Software\\Typed", true));
    DWORD v = 5;
    RegSetValueExA(r.CurrentKey(), "n", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), sizeof v);
    EXPECT_THROW(r.ReadString("n"), ERegistryException);
    EXPECT_TRUE(r.KeyExists("\\Software\\Typed"));
    r.CloseKey();
    EXPECT_TRUE(r.DeleteKey("Software\\Typed"));
    EXPECT_FALSE(r.KeyExists("Software\\Typed"));
}

TEST(Registry, DataTypeOfEachKindOfValue)
{
    pwtest::RegistryRedirect redirect;
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("Software\\Typed", true));
    DWORD v = 5;
    RegSetValueExA(r.CurrentKey(), "n", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), sizeof v);
    RegSetValueExA(r.CurrentKey(), "e", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%TEMP%"), 7);
    RegSetValueExA(r.CurrentKey(), "b", 0, REG_BINARY, reinterpret_cast<const BYTE*>("ab"), 2);
    r.WriteString("s", "text");
    EXPECT_EQ(r.GetDataType("n"), TRegDataType::rdInteger);
    EXPECT_EQ(r.GetDataType("e"), TRegDataType::rdExpandString);
    EXPECT_EQ(r.GetDataType("b"), TRegDataType::rdBinary);
    EXPECT_EQ(r.GetDataType("s"), TRegDataType::rdString);
    EXPECT_EQ(r.GetDataType("missing"), TRegDataType::rdUnknown);
    EXPECT_EQ(r.ReadString("e"), "%TEMP%");  // read as stored; expanding is the caller's choice
}
