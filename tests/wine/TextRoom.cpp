#include "wine/TextRoom.h"

#include <commctrl.h>

#include <algorithm>

#include "app/win32/ControlView.h"
#include "app/win32/PanelView.h"

namespace keltora::wine {

namespace {

using win32::Look;

// The room a text keeps to its control's edges, in design pixels.
constexpr int kButtonRoom = 16;      // a push button's frame and margins
constexpr int kCheckBoxRoom = 24;    // the box and the gap beside it
constexpr int kGroupBoxRoom = 20;
constexpr int kTabRoom = 12;
constexpr int kHeaderRoom = 24;      // margins and the sort arrow
constexpr int kCountBoxMargin = 4;

class Measure {
public:
    Measure(HWND window, HFONT font, const char* face) : window_(window), dc_(GetDC(window)) {
        LOGFONTA logical{};
        GetObjectA(font ? font : GetStockObject(DEFAULT_GUI_FONT), sizeof(logical), &logical);
        if (face) lstrcpynA(logical.lfFaceName, face, LF_FACESIZE);
        font_ = CreateFontIndirectA(&logical);
        old_ = SelectObject(dc_, font_);
    }
    ~Measure() {
        SelectObject(dc_, old_);
        DeleteObject(font_);
        ReleaseDC(window_, dc_);
    }
    Measure(const Measure&) = delete;
    Measure& operator=(const Measure&) = delete;

    SIZE line(const std::string& text) const {
        SIZE size{};
        GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }
    // The box a text takes when it may break into lines of at most `width`.
    RECT wrapped(const std::string& text, int width, UINT format) const {
        RECT box{0, 0, width, 0};
        DrawTextA(dc_, text.c_str(), -1, &box, (format & ~(DT_SINGLELINE | DT_VCENTER)) | DT_CALCRECT | DT_NOPREFIX);
        return box;
    }

private:
    HWND window_;
    HDC dc_;
    HFONT font_;
    HGDIOBJ old_;
};

struct Checker {
    Look look;
    const char* face;
    std::vector<std::string>& faults;

    void need(bool fits, const std::string& name, const std::string& text, const char* what) const {
        if (!fits) faults.push_back(name + ": \"" + text + "\" [" + (face ? face : "window font") + "] " + what);
    }
    HFONT fontOf(HWND window) const { return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)); }

    void button(HWND window, const std::string& name, const std::string& text, RECT client) const {
        const Measure measure(window, fontOf(window), face);
        const auto type = GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK;
        const int width = client.right, height = client.bottom;
        if (type == BS_OWNERDRAW) {
            const int room = width - 2 * look.px(kCountBoxMargin);
            const RECT box = measure.wrapped(text, room, DT_CENTER | DT_WORDBREAK);
            need(box.right <= room && box.bottom <= height - look.px(2), name, text, "count box");
            return;
        }
        const SIZE size = measure.line(text);
        const int room = type == BS_GROUPBOX ? kGroupBoxRoom : type == BS_AUTOCHECKBOX ? kCheckBoxRoom : kButtonRoom;
        need(size.cx + look.px(room) <= width, name, text, "too narrow");
        if (type != BS_GROUPBOX) need(size.cy <= height, name, text, "too low");
    }

    void label(HWND window, const std::string& name, const std::string& text, RECT client) const {
        const Measure measure(window, fontOf(window), face);
        const SIZE size = measure.line(text);
        need(size.cx <= client.right && size.cy <= client.bottom, name, text, "static text");
    }

    void tabs(HWND window, const std::string& name, RECT client) const {
        const Measure measure(window, fontOf(window), face);
        RECT area = client;
        SendMessageA(window, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        const int count = static_cast<int>(SendMessageA(window, TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[128] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(window, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            RECT place{};
            SendMessageA(window, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&place));
            const int width = measure.line(text).cx + look.px(kTabRoom);
            // The control lays its tabs out in its own font; in another one a tab needs a row at most.
            need(face ? width <= client.right : width <= place.right - place.left, name, text, "tab");
            need(place.left >= 0 && place.right <= client.right && place.bottom <= area.top, name, text, "tab hidden");
        }
    }

    void headers(HWND list, const std::string& name) const {
        HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
        const Measure measure(header, fontOf(list), face);
        const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[128] = {};
            HDITEMA item{};
            item.mask = HDI_TEXT | HDI_WIDTH;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            need(measure.line(text).cx + look.px(kHeaderRoom) <= item.cxy, name, text, "column header");
        }
    }

    void panel(HWND window, const std::string& name, const win32::PanelView& panel) const {
        for (const auto& text : panel.texts()) {
            HFONT font = win32::PanelFont(panel.look(), text);
            const Measure measure(window, font, face);
            DeleteObject(font);
            const RECT place = win32::PanelTextPlace(panel.look(), text);
            const int width = place.right - place.left, height = place.bottom - place.top;
            const RECT box = measure.wrapped(text.text, width, text.format);
            need(box.right <= width && box.bottom <= height, name, text.text, "panel text");
        }
    }
};

}  // namespace

std::vector<std::string> TextsWithoutRoom(HWND window, UINT dpi, const std::function<std::string(HWND)>& nameOf,
                                          const std::vector<std::string>& changing, const char* otherFace) {
    std::vector<HWND> children;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM all) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(all)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    std::vector<std::string> faults;
    Look look;
    look.dpi = dpi;
    for (const char* face : {static_cast<const char*>(nullptr), otherFace}) {
        const Checker check{look, face, faults};
        for (HWND child : children) {
            std::string name = nameOf(child);
            if (std::find(changing.begin(), changing.end(), name) != changing.end()) continue;
            char kind[32] = {};
            GetClassNameA(child, kind, sizeof(kind));
            const std::string text = win32::WindowText(child);
            if (name.empty()) name = std::string(kind) + " " + text;
            RECT client;
            GetClientRect(child, &client);
            if (lstrcmpiA(kind, "Button") == 0 && !text.empty()) check.button(child, name, text, client);
            else if (lstrcmpiA(kind, "Static") == 0 && !text.empty()) check.label(child, name, text, client);
            else if (lstrcmpiA(kind, WC_TABCONTROLA) == 0) check.tabs(child, name, client);
            else if (lstrcmpiA(kind, WC_LISTVIEWA) == 0) check.headers(child, name);
            else if (const auto* panel = win32::PanelView::Of(child)) check.panel(child, name, *panel);
        }
    }
    return faults;
}

}  // namespace keltora::wine
