#include "app/win32/ListViewView.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/win32/CheckBoxImages.h"
#include "app/win32/ControlLibraries.h"

namespace keltora::win32 {

namespace {

constexpr UINT_PTR kCountTimerId = 0x4B4C;  // one of ours among the control's own timers

struct Applying {
    bool& flag;
    bool old;
    explicit Applying(bool& f) : flag(f), old(f) { flag = true; }
    ~Applying() { flag = old; }
};

void SetState(HWND list, int row, UINT state, UINT mask) {
    LVITEMA item{};
    item.stateMask = mask;
    item.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Copies text into a buffer the control lent, cut to its size.
void CopyText(const std::string& text, LVITEMA& item, bool wide) {
    if (item.pszText == nullptr || item.cchTextMax <= 0) return;
    if (wide) {
        auto* out = reinterpret_cast<WCHAR*>(item.pszText);
        const int written =
            MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out, item.cchTextMax - 1);
        out[std::max(written, 0)] = L'\0';
    } else {
        lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
    }
}

// The summary's selected row in light colours, so that its red counts stay readable.
constexpr COLORREF kSelectedFocused = RGB(204, 232, 255);
constexpr COLORREF kSelectedUnfocused = RGB(217, 217, 217);

}  // namespace

ListViewView::ListViewView(ResultList& model, const Args& args)
    : model_(model), look_(args.base.look), summaryColours_(args.summaryColours) {
    // The check-box pictures are the view's own (LVS_SHAREIMAGELISTS: the control leaves them).
    create(WC_LISTVIEWA, "",
           WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_OWNERDATA | LVS_SHAREIMAGELISTS, 0,
           args.base);
    DWORD ex = LVS_EX_FULLROWSELECT;
    if (model.checkBoxes()) ex |= LVS_EX_CHECKBOXES;
    if (args.gridLines) ex |= LVS_EX_GRIDLINES;
    {
        Applying guard(applying_);
        SendMessageA(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
        // The check boxes are the model's: the control asks for them as it paints.
        if (model.checkBoxes()) {
            SendMessageA(hwnd_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
            makeCheckBoxes();
        }
    }
    interceptMessages();
    if (summaryColours_) {
        LOGFONTA font{};
        GetObjectA(args.base.font ? args.base.font : GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
        font.lfWeight = FW_BOLD;
        bold_ = CreateFontIndirectA(&font);
    }
    model.onListChange = [this](ResultList&, ResultList::Change change, std::size_t row) { listChanged(change, row); };
    {
        Applying guard(applying_);
        makeColumns();
    }
    reload();
    bind(model);
}

ListViewView::~ListViewView() {
    model_.onListChange = nullptr;
    if (countTimer_ && IsWindow(hwnd_)) KillTimer(hwnd_, kCountTimerId);
    if (bold_) DeleteObject(bold_);
    if (checks_) controls::ImageList_Destroy(checks_);
}

void ListViewView::makeCheckBoxes() {
    checks_ = CheckBoxImages(hwnd_, look_);
    // The pictures the control made for its check boxes are no one's once replaced.
    auto made = reinterpret_cast<HIMAGELIST>(
        SendMessageA(hwnd_, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(checks_)));
    if (made && made != checks_) controls::ImageList_Destroy(made);
}

LRESULT ListViewView::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kCountTimerId) {
        showPending();
        return 0;
    }
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
        const LRESULT result = controlProc(message, wParam, lParam);
        showFocus(message == WM_SETFOCUS);
        return result;
    }
    if (message == WM_VSCROLL || message == WM_MOUSEWHEEL || message == WM_KEYDOWN || message == WM_SIZE) {
        const LRESULT result = controlProc(message, wParam, lParam);
        measureView();
        return result;
    }
    // A question from outside sees every row and the columns the model has.
    if (message >= LVM_FIRST && message < LVM_FIRST + 0x100 && !applying_) showCount();
    return controlProc(message, wParam, lParam);
}

// The keyboard's place is always to be seen: on the first row when no row has it yet, or as a
// frame round an empty list.
void ListViewView::showFocus(bool focused) {
    if (model_.empty()) {
        InvalidateRect(hwnd_, nullptr, TRUE);
        return;
    }
    if (!focused || SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) >= 0) return;
    Applying guard(applying_);
    SetState(hwnd_, 0, LVIS_FOCUSED, LVIS_FOCUSED);
}

void ListViewView::listChanged(ResultList::Change change, std::size_t row) {
    Applying guard(applying_);
    switch (change) {
        case ResultList::Change::Reset:
            reload();
            break;
        case ResultList::Change::Columns:
            columnsChanged();
            break;
        case ResultList::Change::Added:
            rowAdded();
            break;
        case ResultList::Change::Removed:
            rowRemoved();
            break;
        case ResultList::Change::Row:
            redrawRow(row);
            break;
        case ResultList::Change::Rows:
            InvalidateRect(hwnd_, nullptr, FALSE);
            UpdateWindow(hwnd_);
            break;
        case ResultList::Change::Selection:
            showSelection();
            break;
        case ResultList::Change::Order:
            InvalidateRect(hwnd_, nullptr, FALSE);
            syncSelection();
            showSortArrow();
            UpdateWindow(hwnd_);
            break;
    }
}

// A scan clears and makes its columns anew; the same columns are left standing, as every column
// change lays out the whole control again. A list on the screen gets its new columns together
// with its next count (see showCount): laid out and drawn once, with the rows.
void ListViewView::columnsChanged() {
    columnsDue_ = model_.columns() != shownColumns_;
    if (!columnsDue_) return;
    if (IsWindowVisible(hwnd_)) {
        countLater(kFrameMs);
        return;
    }
    makeColumns();
    columnsDue_ = false;
}

void ListViewView::makeColumns() {
    shownColumns_ = model_.columns();
    while (columnCount_ > 0) SendMessageA(hwnd_, LVM_DELETECOLUMN, static_cast<WPARAM>(--columnCount_), 0);
    HDC dc = GetDC(hwnd_);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
    for (const auto& column : model_.columns()) {
        LVCOLUMNA lv{};
        lv.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        lv.fmt = column.centred ? LVCFMT_CENTER : LVCFMT_LEFT;
        lv.cx = columnWidth(dc, column);
        lv.pszText = const_cast<char*>(column.caption.c_str());
        SendMessageA(hwnd_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(columnCount_++), reinterpret_cast<LPARAM>(&lv));
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    // New columns carry no arrow: only a sorted list needs one.
    if (model_.order().sorted()) showSortArrow();
}

// The design's width at this DPI, and never less than the caption needs in the font the list
// really has (selected into dc): a substituted font may be wider than the one the design was
// made with.
int ListViewView::columnWidth(HDC dc, const Column& column) const {
    SIZE text{};
    GetTextExtentPoint32A(dc, column.caption.c_str(), static_cast<int>(column.caption.size()), &text);
    return std::max(look_.px(column.width), static_cast<int>(text.cx) + look_.px(kHeaderRoom));
}

// The header's arrow on the column the list is sorted by, pointing the way it is sorted.
void ListViewView::showSortArrow() {
    HWND header = reinterpret_cast<HWND>(SendMessageA(hwnd_, LVM_GETHEADER, 0, 0));
    if (!header) return;
    const auto& order = model_.order();
    for (int column = 0; column < columnCount_; ++column) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        int format = item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN);
        if (order.column() == column) format |= order.ascending() ? HDF_SORTUP : HDF_SORTDOWN;
        if (format == item.fmt) continue;
        item.fmt = format;
        SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    }
}

// A scan shows its findings as they come: new rows that have room in the view are drawn
// together a frame later (by the timer, when the window handles its messages) or before the
// logic sleeps, whichever comes first. Below the view there is nothing to draw but the scroll
// bar, which follows at its own pace.
void ListViewView::rowAdded() {
    // In a sorted list the new row takes its place among the others, which move down.
    if (model_.order().sorted()) InvalidateRect(hwnd_, nullptr, FALSE);
    countLater(tailInView_ ? kFrameMs : kCountRefreshMs);
}

// The count first, so that a list cleared and filled meanwhile is drawn once, filled.
void ListViewView::showPending() {
    if (countTimer_ || columnsDue_ || shownCount_ != model_.size()) {
        showCount();
        drawLater();
    }
    ControlView::showPending();
}

// Every row below a removed one moves up: the view is painted again with the count, and rows
// the control still counts meanwhile paint blank.
void ListViewView::rowRemoved() {
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (positionOf(model_.selected()) != shownSelection_) syncSelection();
    countLater(kCountRefreshMs);
}

// Brings the count up to date by the timer, `after` the last time (at once when that is longer ago).
void ListViewView::countLater(unsigned after) {
    if (countTimer_) return;
    const ULONGLONG since = GetTickCount64() - countShownAt_;
    countTimer_ = SetTimer(hwnd_, kCountTimerId, since >= after ? USER_TIMER_MINIMUM : static_cast<UINT>(after - since),
                           nullptr) != 0;
}

void ListViewView::showCount() {
    if (countTimer_) {
        KillTimer(hwnd_, kCountTimerId);
        countTimer_ = false;
    }
    countShownAt_ = GetTickCount64();
    if (!columnsDue_ && shownCount_ == model_.size()) return;
    Applying guard(applying_);
    // New columns and the count laid out once and drawn once, rows and all: each column told
    // apart, or the count told after them, would lay out the control and draw its scroll bars
    // again. Only a list on the screen is held: redrawing switched on again makes a hidden window
    // visible, and a hidden list draws nothing anyway.
    const bool hold = columnsDue_ && IsWindowVisible(hwnd_);
    if (hold) SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
    if (std::exchange(columnsDue_, false)) makeColumns();
    const std::size_t firstNew = shownCount_;
    shownCount_ = model_.size();
    if (firstNew != shownCount_)
        SendMessageA(hwnd_, LVM_SETITEMCOUNT, shownCount_, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    if (hold) {
        SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        drawLater();
    }
    // The new rows that show, from the first of them to the bottom of the view.
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    if (!hold && firstNew < shownCount_ &&
        SendMessageA(hwnd_, LVM_GETITEMRECT, firstNew, reinterpret_cast<LPARAM>(&bounds))) {
        RECT client{};
        GetClientRect(hwnd_, &client);
        client.top = std::max(client.top, bounds.top);
        InvalidateRect(hwnd_, &client, FALSE);
    }
    if (shownSelection_ >= static_cast<int>(shownCount_)) shownSelection_ = -1;  // the control dropped it
    syncSelection();
    measureView();
}

// Whether the next row to come has room in the view. Asking the control costs a round of
// messages, so it is asked when the count changes or the view moves, not per finding.
void ListViewView::measureView() {
    const auto top = static_cast<std::size_t>(SendMessageA(hwnd_, LVM_GETTOPINDEX, 0, 0));
    const auto page = static_cast<std::size_t>(SendMessageA(hwnd_, LVM_GETCOUNTPERPAGE, 0, 0));
    tailInView_ = shownCount_ <= top + page;  // the row that shows in part at the bottom included
}

void ListViewView::redrawRow(std::size_t row) {
    if (row >= shownCount_ || row >= model_.size()) return;
    const int position = positionOf(static_cast<int>(row));
    SendMessageA(hwnd_, LVM_REDRAWITEMS, static_cast<WPARAM>(position), position);
}

// The control's selection follows the model's, touching only the rows concerned: asking the
// control for its selection walks every row on some systems.
void ListViewView::syncSelection() {
    Applying guard(applying_);
    const int selected = positionOf(model_.selected());
    if (shownSelection_ >= 0 && shownSelection_ != selected) SetState(hwnd_, shownSelection_, 0, LVIS_SELECTED | LVIS_FOCUSED);
    shownSelection_ = -1;
    if (selected >= 0 && static_cast<std::size_t>(selected) < shownCount_) {
        SetState(hwnd_, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        shownSelection_ = selected;
    }
}

void ListViewView::showSelection() {
    // The rows first, so that the selected one is there; new columns still wait for the count.
    if (shownCount_ != model_.size()) showCount();
    syncSelection();
    const int selected = positionOf(model_.selected());
    SendMessageA(hwnd_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(selected >= 0 ? selected : 0), FALSE);
    measureView();
}

void ListViewView::reload() {
    Applying guard(applying_);
    shownCount_ = model_.size();
    countShownAt_ = GetTickCount64();
    SendMessageA(hwnd_, LVM_SETITEMCOUNT, shownCount_, 0);
    SetState(hwnd_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    shownSelection_ = -1;
    syncSelection();
    measureView();
    InvalidateRect(hwnd_, nullptr, TRUE);
    // A scan clears its list and fills it at once: the empty list is drawn only if it stays so.
    drawLater();
}

void ListViewView::toggle(int position) {
    if (!model_.checkBoxes() || position < 0 || static_cast<std::size_t>(position) >= model_.size()) return;
    const std::size_t row = rowAt(position);
    model_.setChecked(row, !model_.at(row).checked);
}

void ListViewView::fillDisplayInfo(LVITEMA& item, bool wide) const {
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= model_.size()) {
        // A row the control still counts while the model has moved on: blank, without a box.
        if (item.mask & LVIF_TEXT) CopyText({}, item, wide);
        return;
    }
    const Finding& finding = model_.at(rowAt(item.iItem));
    if (item.mask & LVIF_TEXT)
        CopyText(item.iSubItem == 0 ? finding.caption : finding.subItem(static_cast<std::size_t>(item.iSubItem)), item,
                 wide);
    if ((item.mask & LVIF_STATE) && model_.checkBoxes()) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(finding.checked ? 2 : 1);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

void ListViewView::selectionChangedByUser() {
    const auto position = static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    shownSelection_ = position;
    const int selected =
        position >= 0 && static_cast<std::size_t>(position) < model_.size() ? static_cast<int>(rowAt(position)) : -1;
    if (selected == model_.selected()) return;
    Applying guard(applying_);
    model_.select(selected);
    if (onSelect) onSelect();
}

LRESULT ListViewView::onNotify(NMHDR* header, bool& handled) {
    switch (header->code) {
        case LVN_GETDISPINFOA:
        case LVN_GETDISPINFOW:
            // LVITEMA and LVITEMW differ only in the type of the text pointer.
            fillDisplayInfo(reinterpret_cast<NMLVDISPINFOA*>(header)->item, header->code == LVN_GETDISPINFOW);
            handled = true;
            return 0;
        case NM_CUSTOMDRAW:
            handled = true;
            return customDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        case NM_CLICK:
        case NM_DBLCLK: {
            // The control keeps no check marks of an owner-data list: a click on the box is ours.
            LVHITTESTINFO hit{};
            hit.pt = reinterpret_cast<NMITEMACTIVATE*>(header)->ptAction;
            SendMessageA(hwnd_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            if (hit.iItem >= 0 && (hit.flags & LVHT_ONITEMSTATEICON)) toggle(hit.iItem);
            return 0;
        }
        case LVN_KEYDOWN:
            if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_SPACE)
                toggle(static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
            return 0;
        case LVN_COLUMNCLICK:
            model_.sortBy(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
            return 0;
        case LVN_ITEMCHANGED: {
            if (applying_) return 0;
            const auto& change = *reinterpret_cast<NMLISTVIEW*>(header);
            if ((change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED))
                selectionChangedByUser();
            return 0;
        }
        case LVN_ODSTATECHANGED:
            if (!applying_) selectionChangedByUser();
            return 0;
        default:
            return 0;
    }
}

// The summary list draws its own selection: the count column stays bold red in every row,
// selected or not, focused or not. High contrast keeps the system's colours (the bold stays).
// An empty list that has the focus shows it as a frame.
LRESULT ListViewView::customDraw(NMLVCUSTOMDRAW& draw) {
    const bool emptyFocused = model_.empty() && GetFocus() == hwnd_;
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return (summaryColours_ ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT) |
                   (emptyFocused ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT);
        case CDDS_POSTPAINT:
            if (emptyFocused) {
                RECT frame;
                GetClientRect(hwnd_, &frame);
                InflateRect(&frame, -look_.px(2), -look_.px(2));
                DrawFocusRect(draw.nmcd.hdc, &frame);
            }
            return CDRF_DODEFAULT;
        case CDDS_ITEMPREPAINT:
            rowSelected_ = (draw.nmcd.uItemState & CDIS_SELECTED) != 0;
            if (!look_.highContrast) draw.nmcd.uItemState &= ~CDIS_SELECTED;
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            if (!look_.highContrast) draw.nmcd.uItemState &= ~CDIS_SELECTED;
            SelectObject(draw.nmcd.hdc,
                         draw.iSubItem == 1 ? bold_ : reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
            summaryCellColours(draw);
            return CDRF_NEWFONT;
        default:
            return CDRF_DODEFAULT;
    }
}

void ListViewView::summaryCellColours(NMLVCUSTOMDRAW& draw) const {
    if (look_.highContrast) {
        draw.clrText = GetSysColor(rowSelected_ ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        draw.clrTextBk = GetSysColor(rowSelected_ ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        return;
    }
    draw.clrText = draw.iSubItem == 1 ? RGB(255, 0, 0) : RGB(0, 0, 0);
    draw.clrTextBk = !rowSelected_ ? GetSysColor(COLOR_WINDOW)
                                   : (GetFocus() == hwnd_ ? kSelectedFocused : kSelectedUnfocused);
}

}  // namespace keltora::win32
