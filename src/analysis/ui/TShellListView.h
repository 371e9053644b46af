#pragma once

#include <QPixmap>
#include <QStackedWidget>

#include <optional>
#include <string>

class QAbstractItemView;
class QBoxLayout;
class QButtonGroup;
class QListView;
class QTableView;
class QToolButton;
class TShellItemModel;

// The browsing list of the analysis window in its four view styles. The report view is a
// table with the five columns; the icon, small-icon and list views are one list view in
// its modes, showing names and icons only. Both views share the model and one selection,
// so a style change keeps the selected row. The rows stand on the background picture.
class TShellListView : public QStackedWidget {
    Q_OBJECT
public:
    enum class TViewStyle { LargeIcons = 0, SmallIcons = 1, List = 2, Report = 3 };

    TShellListView(TShellItemModel* model, QWidget* parent = nullptr);

    // The four grouped toggle buttons btnLargeIcons, btnSmallIcons, btnList and
    // btnReport, none pressed, added to a toolbar row.
    void AddStyleButtons(QBoxLayout* row, QWidget* parent);

    void SetViewStyle(TViewStyle style);
    TViewStyle ViewStyle() const { return FStyle; }
    QAbstractItemView* CurrentView() const;
    QTableView* ReportView() const { return FReport; }
    QListView* IconView() const { return FIcons; }

    // The selected row, or -1.
    int SelectedRow() const;
    // Selects a row, gives it the focus and scrolls it into view; -1 clears the selection.
    void SelectRow(int row);
    // The row's first cell as the list shows it: only the report view has cells.
    std::optional<std::string> FirstCell(int row) const;

signals:
    void OpenRequested();   // double-click or Enter
    void UpRequested();     // Backspace
    void DeleteRequested(); // the Delete key
    // A right button press: the popup's place (the pressed point plus 5 pixels right
    // and down), after the row under the point was selected.
    void PopupRequested(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QAbstractItemView* view);
    bool KeyPressed(int key);
    void RightPressed(QAbstractItemView* view, const QPoint& pos);
    void PaintBackground(QWidget* viewport);

    TShellItemModel* FModel;
    QTableView* FReport = nullptr;
    QListView* FIcons = nullptr;
    QButtonGroup* FStyleButtons = nullptr;
    TViewStyle FStyle = TViewStyle::Report;
    QPixmap FBackground;
};
