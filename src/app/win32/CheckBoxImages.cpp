#include "app/win32/CheckBoxImages.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <initializer_list>

#include "app/win32/ControlLibraries.h"

namespace keltora::win32 {

HIMAGELIST CheckBoxImages(HWND list, const Look& look) {
    const int size = look.px(16), inset = look.px(2);
    constexpr COLORREF kKey = RGB(255, 0, 255);
    HIMAGELIST images = controls::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 0);
    HDC screen = GetDC(list);
    HDC dc = CreateCompatibleDC(screen);
    HTHEME theme = look.highContrast ? nullptr : controls::OpenThemeData(list, L"BUTTON");
    for (const bool checked : {false, true}) {
        HBITMAP picture = CreateCompatibleBitmap(screen, size, size);
        const HGDIOBJ old = SelectObject(dc, picture);
        RECT all{0, 0, size, size};
        HBRUSH key = CreateSolidBrush(kKey);
        FillRect(dc, &all, key);
        DeleteObject(key);
        RECT box{inset, inset, size - inset + 1, size - inset + 1};
        if (!theme || FAILED(controls::DrawThemeBackground(theme, dc, BP_CHECKBOX,
                                                           checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL, &box,
                                                           nullptr)))
            DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
        SelectObject(dc, old);
        controls::ImageList_AddMasked(images, picture, kKey);
        DeleteObject(picture);
    }
    if (theme) controls::CloseThemeData(theme);
    DeleteDC(dc);
    ReleaseDC(list, screen);
    return images;
}

}  // namespace keltora::win32
