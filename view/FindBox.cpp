#include "view/FindBox.h"

#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "model/SchemaModel.h"
#include "view/DbView.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

constexpr int kBoxWidth = 260;
constexpr int kBoxMargin = 8;
constexpr int kListRows = 10;
// The flash: the frame is drawn on every other tick, three times.
constexpr int kFlashTick = 120;
constexpr int kFlashTicks = 6;
constexpr int kFlashPen = 3;
// Orange, not the highlight colour: the active window's frame is drawn in
// that already, and the flash must stand out from it.
const QColor kFlashColor(255, 140, 0);

struct CFindMatch
{
    std::string m_table;
    QString m_label;
};

bool Contains(const std::string &name, const QString &part)
{
    return QString::fromStdString(name).contains(part, Qt::CaseInsensitive);
}

// The first column of the table whose name holds the text; null for none.
const CSchemaColumn *ColumnLike(const CTableSchema &table, const QString &text)
{
    for (const CSchemaColumn &column : table.m_columns)
        if (Contains(column.m_name, text))
            return &column;
    return nullptr;
}

CFindMatch ColumnMatch(const CTableSchema &table, const CSchemaColumn &column)
{
    return {table.m_name, QStringLiteral("%1 (column %2)")
                              .arg(QString::fromStdString(table.m_name),
                                   QString::fromStdString(column.m_name))};
}

// "table.column": the tables named like the first part that have a column
// named like the second.
std::vector<CFindMatch> MatchQualified(const CSchemaModel &schema, const QString &tablePart,
                                       const QString &columnPart)
{
    std::vector<CFindMatch> found;
    for (const std::string &name : schema.TableNames()) {
        const CTableSchema &table = *schema.FindTable(name);
        if (!Contains(name, tablePart))
            continue;
        if (const CSchemaColumn *column = ColumnLike(table, columnPart))
            found.push_back(ColumnMatch(table, *column));
    }
    return found;
}

// A plain text: the tables whose name holds it, then those that have a
// column whose name holds it, each table once.
std::vector<CFindMatch> MatchPlain(const CSchemaModel &schema, const QString &text)
{
    std::vector<CFindMatch> byName;
    std::vector<CFindMatch> byColumn;
    for (const std::string &name : schema.TableNames()) {
        const CTableSchema &table = *schema.FindTable(name);
        if (Contains(name, text))
            byName.push_back({name, QString::fromStdString(name)});
        else if (const CSchemaColumn *column = ColumnLike(table, text))
            byColumn.push_back(ColumnMatch(table, *column));
    }
    byName.insert(byName.end(), byColumn.begin(), byColumn.end());
    return byName;
}

std::vector<CFindMatch> Match(const CSchemaModel &schema, const QString &text)
{
    const QString trimmed = text.trimmed();
    const int dot = trimmed.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return MatchPlain(schema, trimmed);
    return MatchQualified(schema, trimmed.left(dot), trimmed.mid(dot + 1));
}

// A frame drawn over a table window for a moment, so that the eye finds it.
// A child of the window, it moves with it while the view scrolls, and its
// going repaints what it covered: nothing of it stays on the diagram.
class CTableFlash : public QWidget
{
public:
    explicit CTableFlash(CTableWnd &table) : QWidget(&table)
    {
        setObjectName(QStringLiteral("findFlash"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(table.rect());
        connect(&m_timer, &QTimer::timeout, this, &CTableFlash::Tick);
        m_timer.start(kFlashTick);
        show();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_ticks % 2 != 0)
            return;
        QPainter painter(this);
        painter.setPen(QPen(kFlashColor, kFlashPen));
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }

private:
    void Tick()
    {
        if (++m_ticks >= kFlashTicks)
            deleteLater();
        update();
    }

    QTimer m_timer;
    int m_ticks = 0;
};

} // namespace

CFindBox::CFindBox(CDbView &view) : QFrame(view.viewport()), m_view(view)
{
    setObjectName(QStringLiteral("findBox"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    m_edit = new QLineEdit(this);
    m_edit->setPlaceholderText(QStringLiteral("Table, column or table.column"));
    m_edit->setClearButtonEnabled(true);
    m_list = new QListWidget(this);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setFixedHeight(m_list->fontMetrics().height() * kListRows);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(m_edit);
    layout->addWidget(m_list);
    connect(m_edit, &QLineEdit::textChanged, this, &CFindBox::Filter);
    connect(m_list, &QListWidget::itemClicked, this, &CFindBox::Choose);
    m_edit->installEventFilter(this);
    view.viewport()->installEventFilter(this);
    Filter(QString());
    Place();
}

CFindBox *CFindBox::Open(CDbView &view)
{
    auto *box = view.viewport()->findChild<CFindBox *>(QString(), Qt::FindDirectChildrenOnly);
    if (!box)
        box = new CFindBox(view);
    box->show();
    box->raise();
    box->m_edit->setFocus(Qt::ShortcutFocusReason);
    box->m_edit->selectAll();
    return box;
}

// The list follows the text; the first entry is current, for Enter.
void CFindBox::Filter(const QString &text)
{
    m_list->clear();
    const CDoc *doc = m_view.GetDocument();
    if (doc) {
        for (const CFindMatch &match : Match(doc->Schema(), text)) {
            if (!doc->FindTable(match.m_table))
                continue;
            auto *item = new QListWidgetItem(match.m_label, m_list);
            item->setData(Qt::UserRole, QString::fromStdString(match.m_table));
        }
    }
    if (m_list->count() == 0) {
        auto *none = new QListWidgetItem(QStringLiteral("No table or column matches"), m_list);
        none->setFlags(Qt::NoItemFlags);
        return;
    }
    m_list->setCurrentRow(0);
}

void CFindBox::Choose(const QListWidgetItem *item)
{
    const CDoc *doc = m_view.GetDocument();
    if (!item || !doc || !(item->flags() & Qt::ItemIsEnabled))
        return;
    CTableWnd *table = doc->FindTable(item->data(Qt::UserRole).toString().toStdString());
    Close();
    if (!table)
        return;
    m_view.ScrollIntoSight(table);
    table->ActivateFrame();
    table->raise();
    new CTableFlash(*table);
}

// The focus goes back to the view, whose keys serve the active table.
void CFindBox::Close()
{
    m_view.viewport()->removeEventFilter(this);
    hide();
    m_view.setFocus(Qt::OtherFocusReason);
    deleteLater();
}

void CFindBox::Place()
{
    const QWidget *viewport = m_view.viewport();
    const int width = std::min(kBoxWidth, viewport->width() - 2 * kBoxMargin);
    resize(width, sizeHint().height());
    move(viewport->width() - width - kBoxMargin, kBoxMargin);
}

bool CFindBox::HandleKey(int key)
{
    switch (key) {
    case Qt::Key_Escape:
        Close();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Choose(m_list->currentItem());
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (m_list->currentRow() >= 0 && (m_list->currentItem()->flags() & Qt::ItemIsEnabled)) {
            const int step = key == Qt::Key_Up ? -1 : 1;
            m_list->setCurrentRow(std::clamp(m_list->currentRow() + step, 0, m_list->count() - 1));
        }
        return true;
    default:
        return false;
    }
}

bool CFindBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view.viewport() && event->type() == QEvent::Resize)
        Place();
    // Escape must reach the box before the frame's shortcuts see it.
    if (watched == m_edit
        && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (event->type() == QEvent::ShortcutOverride) {
            if (key == Qt::Key_Escape) {
                event->accept();
                return true;
            }
            return false;
        }
        return HandleKey(key);
    }
    return QFrame::eventFilter(watched, event);
}
