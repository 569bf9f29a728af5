#include "app/win32/ControlLibraries.h"

#include "platform/win32/SystemLibrary.h"

namespace keltora::win32::controls {

namespace {

constexpr const wchar_t* kComctl = L"comctl32.dll";
constexpr const wchar_t* kTheme = L"uxtheme.dll";

}  // namespace

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) {
    static const SystemProc<decltype(::InitCommonControlsEx)> call(kComctl, "InitCommonControlsEx");
    return call ? call(classes) : FALSE;
}

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow) {
    static const SystemProc<decltype(::ImageList_Create)> call(kComctl, "ImageList_Create");
    return call ? call(width, height, flags, initial, grow) : nullptr;
}

int ImageList_AddMasked(HIMAGELIST images, HBITMAP picture, COLORREF mask) {
    static const SystemProc<decltype(::ImageList_AddMasked)> call(kComctl, "ImageList_AddMasked");
    return call ? call(images, picture, mask) : -1;
}

BOOL ImageList_Destroy(HIMAGELIST images) {
    static const SystemProc<decltype(::ImageList_Destroy)> call(kComctl, "ImageList_Destroy");
    return call ? call(images) : FALSE;
}

HTHEME OpenThemeData(HWND window, LPCWSTR classes) {
    static const SystemProc<decltype(::OpenThemeData)> call(kTheme, "OpenThemeData");
    return call ? call(window, classes) : nullptr;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) {
    static const SystemProc<decltype(::DrawThemeBackground)> call(kTheme, "DrawThemeBackground");
    return call ? call(theme, dc, part, state, rect, clip) : E_NOTIMPL;
}

HRESULT CloseThemeData(HTHEME theme) {
    static const SystemProc<decltype(::CloseThemeData)> call(kTheme, "CloseThemeData");
    return call ? call(theme) : E_NOTIMPL;
}

}  // namespace keltora::win32::controls
