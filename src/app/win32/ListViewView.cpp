#include "app/win32/ListViewView.h"

#include <commctrl.h>

namespace keltora::win32 {

namespace {

struct Applying {
    bool& flag;
    bool old;
    explicit Applying(bool& f) : flag(f), old(f) { flag = true; }
    ~Applying() { flag = old; }
};

void SetText(HWND list, int row, int column, const std::string& text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void SetState(HWND list, int row, UINT state, UINT mask) {
    LVITEMA item{};
    item.stateMask = mask;
    item.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

ListViewView::ListViewView(ResultList& model, const Args& args) : model_(model), summaryColours_(args.summaryColours) {
    create(WC_LISTVIEWA, "", WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL, 0, args.base);
    DWORD ex = LVS_EX_FULLROWSELECT;
    if (model.checkBoxes()) ex |= LVS_EX_CHECKBOXES;
    if (args.gridLines) ex |= LVS_EX_GRIDLINES;
    SendMessageA(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    if (summaryColours_) {
        LOGFONTA font{};
        GetObjectA(args.base.font ? args.base.font : GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
        font.lfWeight = FW_BOLD;
        bold_ = CreateFontIndirectA(&font);
    }
    model.onListChange = [this](ResultList&, ResultList::Change change, std::size_t row) { listChanged(change, row); };
    makeColumns();
    reload();
    bind(model);
}

ListViewView::~ListViewView() {
    model_.onListChange = nullptr;
    if (bold_) DeleteObject(bold_);
}

void ListViewView::listChanged(ResultList::Change change, std::size_t row) {
    Applying guard(applying_);
    switch (change) {
        case ResultList::Change::Reset:
            reload();
            break;
        case ResultList::Change::Columns:
            makeColumns();
            break;
        case ResultList::Change::Added:
            insertRow(row);
            // A scan shows every finding as it comes.
            UpdateWindow(hwnd_);
            break;
        case ResultList::Change::Removed:
            SendMessageA(hwnd_, LVM_DELETEITEM, row, 0);
            break;
        case ResultList::Change::Row:
            writeRow(row);
            break;
        case ResultList::Change::Selection:
            showSelection();
            break;
    }
}

void ListViewView::makeColumns() {
    Applying guard(applying_);
    while (columnCount_ > 0) SendMessageA(hwnd_, LVM_DELETECOLUMN, static_cast<WPARAM>(--columnCount_), 0);
    for (const auto& column : model_.columns()) {
        LVCOLUMNA lv{};
        lv.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        lv.fmt = column.centred ? LVCFMT_CENTER : LVCFMT_LEFT;
        lv.cx = column.width;
        lv.pszText = const_cast<char*>(column.caption.c_str());
        SendMessageA(hwnd_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(columnCount_++), reinterpret_cast<LPARAM>(&lv));
    }
}

void ListViewView::insertRow(std::size_t row) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = const_cast<char*>(model_.at(row).caption.c_str());
    SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    writeRow(row);
}

void ListViewView::writeRow(std::size_t row) {
    if (row >= model_.size()) return;
    const Finding& finding = model_.at(row);
    const int index = static_cast<int>(row);
    SetText(hwnd_, index, 0, finding.caption);
    for (std::size_t i = 0; i < finding.subItems.size(); ++i)
        SetText(hwnd_, index, static_cast<int>(i + 1), finding.subItems[i]);
    if (model_.checkBoxes())
        SetState(hwnd_, index, INDEXTOSTATEIMAGEMASK(finding.checked ? 2 : 1), LVIS_STATEIMAGEMASK);
}

void ListViewView::showSelection() {
    const int selected = model_.selected();
    SetState(hwnd_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (selected >= 0) SetState(hwnd_, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageA(hwnd_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(selected >= 0 ? selected : 0), FALSE);
}

void ListViewView::reload() {
    // One repaint for the whole list rather than one per row.
    SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t row = 0; row < model_.size(); ++row) insertRow(row);
    SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
}

LRESULT ListViewView::onNotify(NMHDR* header, bool& handled) {
    if (header->code == NM_CUSTOMDRAW && summaryColours_) {
        handled = true;
        return customDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    }
    if (header->code != LVN_ITEMCHANGED || applying_) return 0;
    const auto& change = *reinterpret_cast<NMLISTVIEW*>(header);
    if (!(change.uChanged & LVIF_STATE) || change.iItem < 0) return 0;
    const UINT was = change.uOldState, now = change.uNewState;
    Applying guard(applying_);
    if ((was & LVIS_STATEIMAGEMASK) != (now & LVIS_STATEIMAGEMASK) && (now & LVIS_STATEIMAGEMASK) != 0)
        model_.setChecked(static_cast<std::size_t>(change.iItem),
                          (now & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2));
    if ((was ^ now) & LVIS_SELECTED) {
        const auto selected =
            static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        if (selected != model_.selected()) {
            model_.select(selected);
            if (onSelect) onSelect();
        }
    }
    return 0;
}

LRESULT ListViewView::customDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            if (draw.iSubItem == 1) {
                SelectObject(draw.nmcd.hdc, bold_);
                draw.clrText = RGB(255, 0, 0);
            } else {
                SelectObject(draw.nmcd.hdc, reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
                draw.clrText = RGB(0, 0, 0);
            }
            return CDRF_NEWFONT;
        default:
            return CDRF_DODEFAULT;
    }
}

}  // namespace keltora::win32
