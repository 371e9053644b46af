#include "analysis/ui/TShellListView.h"

#include "analysis/ui/TShellItemDelegate.h"
#include "analysis/ui/TShellItemModel.h"
#include "core/ui/Pictures.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>
#include <QToolButton>

// The pictures are compiled into a static library, whose resources only register when
// asked to.
static void RegisterAnalysisPictures() {
    Q_INIT_RESOURCE(AnalysisPictures);
}

namespace {

QPixmap BackgroundPicture(QSize size) {
    static const bool registered = (RegisterAnalysisPictures(), true);
    (void)registered;
    return Picture("list-bk", size);
}

// The picture under the rows, drawn once at the list's top-left corner.
const QSize BackgroundSize(240, 320);

// The glyph of a view-style button, drawn here so that it needs no icon theme.
QIcon StyleIcon(TShellListView::TViewStyle style) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QColor box(0x2E, 0x5E, 0xAA);
    const QColor line(0x40, 0x40, 0x40);
    switch (style) {
    case TShellListView::TViewStyle::LargeIcons:
        for (int x : {1, 9})
            for (int y : {1, 9})
                p.fillRect(x, y, 6, 6, box);
        break;
    case TShellListView::TViewStyle::SmallIcons:
        for (int x : {1, 9})
            for (int y : {2, 7, 12}) {
                p.fillRect(x, y, 3, 3, box);
                p.fillRect(x + 4, y + 1, 2, 1, line);
            }
        break;
    case TShellListView::TViewStyle::List:
        for (int y : {2, 7, 12}) {
            p.fillRect(1, y, 3, 3, box);
            p.fillRect(6, y + 1, 9, 1, line);
        }
        break;
    case TShellListView::TViewStyle::Report:
        p.fillRect(1, 1, 14, 3, box);
        for (int y : {6, 9, 12}) {
            p.fillRect(1, y, 5, 1, line);
            p.fillRect(8, y, 3, 1, line);
            p.fillRect(12, y, 3, 1, line);
        }
        break;
    }
    return QIcon(pixmap);
}

} // namespace

TShellListView::TShellListView(TShellItemModel* model, QWidget* parent)
    : QStackedWidget(parent), FModel(model), FBackground(BackgroundPicture(BackgroundSize)) {
    setObjectName("ListView");

    FReport = new QTableView(this);
    FReport->setObjectName("ListViewReport");
    FReport->setModel(model);
    FReport->setShowGrid(true);
    FReport->setSelectionBehavior(QAbstractItemView::SelectRows);
    FReport->setSelectionMode(QAbstractItemView::SingleSelection);
    FReport->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FReport->setWordWrap(false);
    FReport->verticalHeader()->hide();
    FReport->verticalHeader()->setDefaultSectionSize(20);
    FReport->horizontalHeader()->setHighlightSections(false);
    FReport->horizontalHeader()->setSectionsClickable(true);
    const int widths[5] = {175, 75, 150, 100, 75};
    for (int c = 0; c < 5; ++c)
        FReport->setColumnWidth(c, widths[c]);
    connect(FReport->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { FModel->sort(column); });

    FIcons = new QListView(this);
    FIcons->setObjectName("ListViewIcons");
    FIcons->setModel(model);
    // One selection for both views: a style change keeps the selected row.
    FIcons->setSelectionModel(FReport->selectionModel());
    FIcons->setSelectionMode(QAbstractItemView::SingleSelection);
    FIcons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FIcons->setMovement(QListView::Static);
    FIcons->setResizeMode(QListView::Adjust);
    FIcons->setItemDelegate(new TShellItemDelegate(FIcons));

    addWidget(FReport);
    addWidget(FIcons);
    Watch(FReport);
    Watch(FIcons);
    SetViewStyle(TViewStyle::Report);
}

void TShellListView::Watch(QAbstractItemView* view) {
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    // The rows stand on the picture, which the viewport's own fill would cover.
    view->viewport()->setAutoFillBackground(false);
}

void TShellListView::AddStyleButtons(QBoxLayout* row, QWidget* parent) {
    FStyleButtons = new QButtonGroup(this);
    FStyleButtons->setExclusive(true);
    struct TButton {
        const char* Name;
        TViewStyle Style;
    };
    const TButton buttons[] = {{"btnLargeIcons", TViewStyle::LargeIcons},
                               {"btnSmallIcons", TViewStyle::SmallIcons},
                               {"btnList", TViewStyle::List},
                               {"btnReport", TViewStyle::Report}};
    for (const TButton& b : buttons) {
        auto* button = new QToolButton(parent);
        button->setObjectName(b.Name);
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setIcon(StyleIcon(b.Style));
        // The tag of each button is its style.
        FStyleButtons->addButton(button, static_cast<int>(b.Style));
        row->addWidget(button);
    }
    connect(FStyleButtons, &QButtonGroup::idClicked, this,
            [this](int tag) { SetViewStyle(static_cast<TViewStyle>(tag)); });
}

void TShellListView::SetViewStyle(TViewStyle style) {
    FStyle = style;
    const bool report = style == TViewStyle::Report;
    FModel->SetReportView(report);
    if (report) {
        setCurrentWidget(FReport);
        FReport->viewport()->update();
        return;
    }
    if (style == TViewStyle::LargeIcons) {
        FIcons->setViewMode(QListView::IconMode);
        FIcons->setFlow(QListView::LeftToRight);
        FIcons->setIconSize(QSize(32, 32));
        FIcons->setGridSize(QSize(96, 64));
        FIcons->setWordWrap(true);
    } else {
        FIcons->setViewMode(QListView::ListMode);
        // Small icons fill the rows from left to right, the list fills the columns
        // from top to bottom.
        FIcons->setFlow(style == TViewStyle::SmallIcons ? QListView::LeftToRight
                                                        : QListView::TopToBottom);
        FIcons->setIconSize(QSize(16, 16));
        // Small icons sit in even cells; the list's columns take the width of their names.
        FIcons->setGridSize(style == TViewStyle::SmallIcons ? QSize(160, 20) : QSize());
        FIcons->setWordWrap(false);
    }
    FIcons->setWrapping(true);
    FIcons->setMovement(QListView::Static);
    FIcons->setResizeMode(QListView::Adjust);
    setCurrentWidget(FIcons);
    FIcons->doItemsLayout();
    FIcons->viewport()->update();
}

QAbstractItemView* TShellListView::CurrentView() const {
    return FStyle == TViewStyle::Report ? static_cast<QAbstractItemView*>(FReport) : FIcons;
}

int TShellListView::SelectedRow() const {
    const QModelIndexList selected = FReport->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TShellListView::SelectRow(int row) {
    QItemSelectionModel* selection = FReport->selectionModel();
    if (row < 0 || row >= FModel->rowCount()) {
        selection->clear();
        return;
    }
    const QModelIndex index = FModel->index(row, 0);
    selection->setCurrentIndex(index,
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    CurrentView()->scrollTo(index);
    CurrentView()->setFocus();
}

std::optional<std::string> TShellListView::FirstCell(int row) const {
    if (FStyle != TViewStyle::Report || row < 0 || row >= FModel->rowCount())
        return std::nullopt;
    const QVariant cell = FModel->data(FModel->index(row, 1), Qt::DisplayRole);
    if (!cell.isValid())
        return std::nullopt;
    return cell.toString().toStdString();
}

bool TShellListView::eventFilter(QObject* watched, QEvent* event) {
    auto* view = qobject_cast<QAbstractItemView*>(watched);
    if (view && event->type() == QEvent::KeyPress)
        return KeyPressed(static_cast<QKeyEvent*>(event)->key()) ||
               QStackedWidget::eventFilter(watched, event);
    auto* viewport = qobject_cast<QWidget*>(watched);
    if (view || !viewport)
        return QStackedWidget::eventFilter(watched, event);
    auto* owner = qobject_cast<QAbstractItemView*>(viewport->parentWidget());
    if (!owner)
        return QStackedWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        PaintBackground(viewport);
        break; // the view paints its rows on top
    case QEvent::MouseButtonPress: {
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            RightPressed(owner, pos);
            return true;
        }
        // A press beside the rows leaves none selected, so no command acts on a row the
        // user did not point at.
        if (!owner->indexAt(pos).isValid())
            SelectRow(-1);
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            // Also on the empty area: then no row is opened, only the chart of the
            // location is redrawn.
            if (!owner->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid())
                SelectRow(-1);
            emit OpenRequested();
            return true;
        }
        break;
    default:
        break;
    }
    return QStackedWidget::eventFilter(watched, event);
}

bool TShellListView::KeyPressed(int key) {
    switch (key) {
    case Qt::Key_Backspace:
        emit UpRequested();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit OpenRequested();
        return true;
    case Qt::Key_Delete:
        emit DeleteRequested();
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        // A table moves Home and End along the columns of the row; with whole rows
        // selected that shows nothing, so in the report view they go to the first and
        // the last row, as the icon and list views do.
        if (FStyle != TViewStyle::Report || FModel->rowCount() == 0)
            return false;
        SelectRow(key == Qt::Key_Home ? 0 : FModel->rowCount() - 1);
        return true;
    default:
        return false;
    }
}

void TShellListView::RightPressed(QAbstractItemView* view, const QPoint& pos) {
    const QModelIndex index = view->indexAt(pos);
    SelectRow(index.isValid() ? index.row() : -1);
    emit PopupRequested(view->viewport()->mapToGlobal(pos) + QPoint(5, 5));
}

void TShellListView::PaintBackground(QWidget* viewport) {
    QPainter painter(viewport);
    painter.fillRect(viewport->rect(), Qt::white);
    painter.drawPixmap(0, 0, FBackground);
}
