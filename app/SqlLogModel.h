#pragma once

#include <QAbstractTableModel>
#include <QPointer>

class CDoc;
struct CDbLogEntry;

// The statement log of one document's session as a table: the time a
// statement was sent, the statement exactly as sent, and its outcome ("ok",
// the rows it gave, or the engine's message). It follows the log as
// statements are sent and rows are read.
class CSqlLogModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { TimeColumn, StatementColumn, OutcomeColumn, ColumnCount };

    explicit CSqlLogModel(QObject *parent = nullptr);
    ~CSqlLogModel() override;

    // Shows the log of this document's session, or nothing.
    void SetDocument(CDoc *doc);
    CDoc *Document() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The texts of an entry's three columns.
    static QString TimeText(const CDbLogEntry &entry);
    static QString OutcomeText(const CDbLogEntry &entry);

private:
    const CDbLogEntry *EntryAt(int row) const;
    void OnLogChanged(const CDbLogEntry &entry, bool added);
    void Detach();

    QPointer<CDoc> m_doc;
    // The rows the views know of; the log changes before it tells.
    int m_rows = 0;
};
