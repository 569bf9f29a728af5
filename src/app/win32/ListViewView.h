#pragma once
// A report list view that shows a ResultList: its columns, its findings with their check boxes,
// its selection. The user's check clicks and selection go back into the model.
#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "app/win32/ControlView.h"
#include "scan/ResultList.h"

namespace keltora::win32 {

class ListViewView : public ControlView {
public:
    struct Args {
        CreateArgs base;
        bool gridLines = false;
        // The summary list: "Number of Errors" bold red, "Category" black.
        bool summaryColours = false;
    };
    ListViewView(ResultList& model, const Args& args);
    ~ListViewView() override;

    LRESULT onNotify(NMHDR* header, bool& handled) override;
    // After the user selected another row (or none).
    std::function<void()> onSelect;

private:
    void listChanged(ResultList::Change change, std::size_t row);
    void makeColumns();
    void insertRow(std::size_t row);
    void writeRow(std::size_t row);
    void showSelection();
    void reload();
    LRESULT customDraw(NMLVCUSTOMDRAW& draw);

    ResultList& model_;
    bool summaryColours_;
    bool applying_ = false;  // set while the view follows the model, so its own changes are not echoed
    int columnCount_ = 0;
    HFONT bold_ = nullptr;
};

}  // namespace keltora::win32
