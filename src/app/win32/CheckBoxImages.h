#pragma once
// The check boxes of a list's rows, drawn at the look's size (the control's own are made for 96
// DPI on some systems): unchecked, checked, on a key colour that the list shows through. The
// caller owns the image list.
#include <windows.h>

#include <commctrl.h>

#include "app/win32/Look.h"

namespace keltora::win32 {

HIMAGELIST CheckBoxImages(HWND list, const Look& look);

}  // namespace keltora::win32
