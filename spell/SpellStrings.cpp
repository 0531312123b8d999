#include "SpellStrings.h"

#include "WinApi.h"

namespace pw {

std::string SpellString(int Id)
{
    char buf[256] = {};
    int n = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(Id), buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

} // namespace pw
