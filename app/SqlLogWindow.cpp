#include "app/SqlLogWindow.h"

#include "app/SqlLogModel.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>

CSqlLogWindow::CSqlLogWindow(QWidget *parent) : QDockWidget(QStringLiteral("SQL Log"), parent)
{
    setObjectName(QStringLiteral("SqlLog"));
    setWhatsThis(QStringLiteral("The statements sent to the active document's database, with "
                                "the time each was sent and what came of it."));
    m_model = new CSqlLogModel(this);
    m_view = new QTreeView(this);
    m_view->setModel(m_model);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setAlternatingRowColors(true);
    m_view->setWordWrap(false);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView *header = m_view->header();
    header->setStretchLastSection(true);
    header->setSectionResizeMode(CSqlLogModel::TimeColumn, QHeaderView::ResizeToContents);
    header->resizeSection(CSqlLogModel::StatementColumn, 480);
    m_view->installEventFilter(this);
    setWidget(m_view);

    connect(m_view, &QWidget::customContextMenuRequested, this, &CSqlLogWindow::ShowContextMenu);
    connect(m_model, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar *bar = m_view->verticalScrollBar();
        m_followEnd = bar->value() == bar->maximum();
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_followEnd)
            m_view->scrollToBottom();
    });
}

void CSqlLogWindow::SetDocument(CDoc *doc)
{
    m_model->SetDocument(doc);
    m_view->scrollToBottom();
}

QString CSqlLogWindow::SelectedText() const
{
    QModelIndexList rows = m_view->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QString text;
    for (const QModelIndex &row : rows) {
        QStringList cells;
        for (int column = 0; column < CSqlLogModel::ColumnCount; ++column)
            cells << m_model->index(row.row(), column).data().toString();
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

void CSqlLogWindow::CopySelection() const
{
    const QString text = SelectedText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void CSqlLogWindow::ShowContextMenu(const QPoint &pos)
{
    QMenu menu(this);
    QAction *copy = menu.addAction(QStringLiteral("&Copy"), this, &CSqlLogWindow::CopySelection);
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(m_view->selectionModel()->hasSelection());
    menu.addAction(QStringLiteral("Select &All"), m_view, &QAbstractItemView::selectAll);
    menu.exec(m_view->viewport()->mapToGlobal(pos));
}

// Ctrl+C copies the selected entries; the main window's own Copy command
// (always unavailable) must not take the key first.
bool CSqlLogWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view
        && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            CopySelection();
        return true;
    }
    return QDockWidget::eventFilter(watched, event);
}
