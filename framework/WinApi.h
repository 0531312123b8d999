// The Win32 headers, without the A/W macros whose names the framework uses for members.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <cderr.h>
#include <winspool.h>

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
#undef TextOut
#undef LoadImage
#undef DrawState
