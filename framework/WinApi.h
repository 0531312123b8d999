// The Win32 headers, without the A/W macros whose names the framework uses for members.
#pragma once
#include <windows.h>

#undef GetObject
#undef MessageBox
#undef DrawText
#undef CreateWindow
#undef GetMessage
#undef PostMessage
#undef SendMessage
#undef FindText
#undef ReplaceText
#undef LoadBitmap
#undef LoadIcon
#undef GetClassName
