#include "app/SqlLogModel.h"

#include "document/Doc.h"

#include <QBrush>
#include <QDateTime>

#include <chrono>

CSqlLogModel::CSqlLogModel(QObject *parent) : QAbstractTableModel(parent) {}

CSqlLogModel::~CSqlLogModel() { Detach(); }

CDoc *CSqlLogModel::Document() const { return m_doc; }

void CSqlLogModel::Detach()
{
    if (m_doc) {
        m_doc->GetSession().SetStatementLogListener(nullptr);
        disconnect(m_doc, nullptr, this, nullptr);
    }
}

void CSqlLogModel::SetDocument(CDoc *doc)
{
    if (doc == m_doc)
        return;
    beginResetModel();
    Detach();
    m_doc = doc;
    m_rows = 0;
    if (doc) {
        m_rows = static_cast<int>(doc->GetSession().GetStatementLog().size());
        doc->GetSession().SetStatementLogListener(
            [this](const CDbLogEntry &entry, bool added) { OnLogChanged(entry, added); });
        // By the time it is destroyed the document's pointer reads null.
        connect(doc, &QObject::destroyed, this, [this] {
            beginResetModel();
            m_rows = 0;
            endResetModel();
        });
    }
    endResetModel();
}

// A full log forgets its oldest entry as it takes a new one: the first row
// goes, then the new row comes at the end.
void CSqlLogModel::OnLogChanged(const CDbLogEntry &entry, bool added)
{
    if (!m_doc)
        return;
    const CDbStatementLog &log = m_doc->GetSession().GetStatementLog();
    if (added) {
        if (m_rows >= static_cast<int>(log.size())) {
            beginRemoveRows(QModelIndex(), 0, 0);
            --m_rows;
            endRemoveRows();
        }
        beginInsertRows(QModelIndex(), m_rows, m_rows);
        ++m_rows;
        endInsertRows();
        return;
    }
    if (log.empty() || entry.m_number < log[0].m_number)
        return;
    const int row = static_cast<int>(entry.m_number - log[0].m_number);
    emit dataChanged(index(row, OutcomeColumn), index(row, OutcomeColumn));
}

const CDbLogEntry *CSqlLogModel::EntryAt(int row) const
{
    if (!m_doc || row < 0 || row >= m_rows)
        return nullptr;
    const CDbStatementLog &log = m_doc->GetSession().GetStatementLog();
    return static_cast<size_t>(row) < log.size() ? &log[static_cast<size_t>(row)] : nullptr;
}

int CSqlLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int CSqlLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString CSqlLogModel::TimeText(const CDbLogEntry &entry)
{
    const auto since = entry.m_time.time_since_epoch();
    const qint64 ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm:ss"));
}

QString CSqlLogModel::OutcomeText(const CDbLogEntry &entry)
{
    const QString message = QString::fromStdString(entry.m_message);
    QString text;
    switch (entry.m_outcome) {
    case CDbLogEntry::Failed: return message;
    // How many rows the result had, once read to its end; before that the
    // rows read so far, or just "rows" when none was read.
    case CDbLogEntry::Rows:
        if (!entry.m_allRead && entry.m_rows == 0)
            text = QStringLiteral("rows");
        else
            text = (entry.m_rows == 1 ? QStringLiteral("1 row")
                                      : QStringLiteral("%1 rows").arg(entry.m_rows))
                   + (entry.m_allRead ? QString() : QStringLiteral(" read"));
        break;
    case CDbLogEntry::Ok: text = QStringLiteral("ok"); break;
    }
    // A warning that came with a success follows the outcome.
    return message.isEmpty() ? text : text + QStringLiteral(": ") + message;
}

QVariant CSqlLogModel::data(const QModelIndex &index, int role) const
{
    const CDbLogEntry *entry = EntryAt(index.row());
    if (!entry)
        return QVariant();
    if (role == Qt::ForegroundRole && entry->m_outcome == CDbLogEntry::Failed
        && index.column() == OutcomeColumn)
        return QBrush(Qt::darkRed);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    switch (index.column()) {
    case TimeColumn: return TimeText(*entry);
    case StatementColumn: return QString::fromStdString(entry->m_statement);
    case OutcomeColumn: return OutcomeText(*entry);
    default: return QVariant();
    }
}

QVariant CSqlLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case TimeColumn: return QStringLiteral("Time");
    case StatementColumn: return QStringLiteral("Statement");
    case OutcomeColumn: return QStringLiteral("Outcome");
    default: return QVariant();
    }
}
