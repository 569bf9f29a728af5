#pragma once
// The window's functions of comctl32.dll and uxtheme.dll. Neither is a KnownDLL, so the programs
// do not import them: they are reached at run time from the system folder
// (platform/win32/SystemLibrary.h), comctl32 as the side-by-side version 6 the manifest names.
// Each fails as the function itself fails when it is missing.
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

namespace keltora::win32::controls {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes);
HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
int ImageList_AddMasked(HIMAGELIST images, HBITMAP picture, COLORREF mask);
BOOL ImageList_Destroy(HIMAGELIST images);

HTHEME OpenThemeData(HWND window, LPCWSTR classes);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT CloseThemeData(HTHEME theme);

}  // namespace keltora::win32::controls
