#pragma once
// A report list view that shows a ResultList: its columns, its findings with their check boxes,
// its selection, in the order the model shows them. The user's check clicks, selection and
// header clicks (sorting) go back into the model. Rows of the control are positions of that
// order; the model's rows are the findings' own order.
//
// The control holds no rows of its own (an owner-data list): it asks the model for what it
// paints, so a finding costs nothing to show until it is on screen. Telling the control a new
// row count moves its scroll bar and draws the list, which under some systems costs
// milliseconds; during a scan of thousands of findings the count follows by a timer, a frame
// after new rows that have room in the view and kCountRefreshMs after rows below it, and before
// the logic sleeps it is brought up to date. New columns of a list on the screen wait for that
// count, so that the control lays itself out and draws once for both. Any question put to the
// control from outside gets the columns and the count brought up to date first, so nobody reads
// a stale list.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <vector>

#include "app/win32/ControlView.h"
#include "scan/ResultList.h"

namespace keltora::win32 {

class ListViewView : public ControlView {
public:
    struct Args {
        CreateArgs base;
        bool gridLines = false;
        // The summary list: "Number of Errors" bold red in every row, "Category" black.
        bool summaryColours = false;
    };
    // Room a column header keeps beside its caption: the margins and a sort arrow (design pixels).
    static constexpr int kHeaderRoom = 30;
    ListViewView(ResultList& model, const Args& args);
    ~ListViewView() override;

    LRESULT onNotify(NMHDR* header, bool& handled) override;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void showPending() override;
    // After the user selected another row (or none).
    std::function<void()> onSelect;

    static constexpr unsigned kCountRefreshMs = 100;  // rows below the view: the scroll bar's pace

private:
    void listChanged(ResultList::Change change, std::size_t row);
    void columnsChanged();
    void makeColumns();
    int columnWidth(HDC dc, const Column& column) const;
    void showSortArrow();
    void makeCheckBoxes();
    std::size_t rowAt(int position) const { return model_.rowShownAt(static_cast<std::size_t>(position)); }
    int positionOf(int row) const { return row < 0 ? -1 : static_cast<int>(model_.positionOf(static_cast<std::size_t>(row))); }
    void rowAdded();
    void rowRemoved();
    void countLater(unsigned after);
    void showCount();
    void measureView();
    void redrawRow(std::size_t row);
    void syncSelection();
    void showSelection();
    void showFocus(bool focused);
    void reload();
    void toggle(int position);
    void fillDisplayInfo(LVITEMA& item, bool wide) const;
    void selectionChangedByUser();
    LRESULT customDraw(NMLVCUSTOMDRAW& draw);
    void summaryCellColours(NMLVCUSTOMDRAW& draw) const;

    ResultList& model_;
    Look look_;
    bool summaryColours_;
    bool rowSelected_ = false;  // while the summary row being drawn is selected
    bool applying_ = false;  // set while the view follows the model, so its own changes are not echoed
    int columnCount_ = 0;
    std::vector<Column> shownColumns_;
    std::size_t shownCount_ = 0;  // the row count the control was last told
    ULONGLONG countShownAt_ = 0;  // when, by the tick count
    bool countTimer_ = false;
    bool columnsDue_ = false;     // new columns of the model wait for the next count
    bool tailInView_ = true;      // whether the next row to come has room in the view
    int shownSelection_ = -1;     // the row the control shows selected
    HFONT bold_ = nullptr;
    HIMAGELIST checks_ = nullptr;
};

}  // namespace keltora::win32
