#include "app/DataSourceDlg.h"

#include "db/DbSession.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
enum Column { NameColumn, TypeColumn, DescriptionColumn };
}

CDataSourceDlg::CDataSourceDlg(const std::vector<CDataSourceInfo> &sources, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select Data Source"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_reason = new QLabel(this);
    m_reason->setObjectName(QStringLiteral("reason"));
    m_reason->setWordWrap(true);
    m_reason->setTextFormat(Qt::PlainText);
    m_reason->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_reason->hide();
    auto *prompt = new QLabel(QStringLiteral("&Data sources:"), this);
    m_list = new QTreeWidget(this);
    m_list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type"),
                             QStringLiteral("Description")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->header()->setStretchLastSection(true);
    prompt->setBuddy(m_list);

    auto *connectionLabel = new QLabel(QStringLiteral("&Connection string:"), this);
    m_connection = new QLineEdit(this);
    connectionLabel->setBuddy(m_connection);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_reason);
    layout->addWidget(prompt);
    layout->addWidget(m_list, 1);
    layout->addWidget(connectionLabel);
    layout->addWidget(m_connection);
    layout->addWidget(m_buttons);

    FillList(sources);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CDataSourceDlg::OnSelectionChanged);
    // A double click chooses; Enter reaches the default OK button.
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (!ConnectionString().isEmpty())
            accept();
    });
    connect(m_connection, &QLineEdit::textChanged, this, &CDataSourceDlg::UpdateOkButton);

    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    else
        m_connection->setPlaceholderText(
            QStringLiteral("No data sources are configured: type a connection string"));
    UpdateOkButton();
    resize(520, 360);
}

void CDataSourceDlg::FillList(const std::vector<CDataSourceInfo> &sources)
{
    for (const CDataSourceInfo &source : sources) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(NameColumn, QString::fromStdString(source.m_name));
        item->setText(TypeColumn, source.m_system ? QStringLiteral("System") : QStringLiteral("User"));
        item->setText(DescriptionColumn, QString::fromStdString(source.m_description));
    }
    m_list->resizeColumnToContents(NameColumn);
    m_list->resizeColumnToContents(TypeColumn);
}

void CDataSourceDlg::OnSelectionChanged()
{
    const QList<QTreeWidgetItem *> selected = m_list->selectedItems();
    if (!selected.isEmpty())
        m_connection->setText(QStringLiteral("DSN=") + selected.first()->text(NameColumn));
}

void CDataSourceDlg::UpdateOkButton()
{
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!ConnectionString().isEmpty());
}

QString CDataSourceDlg::ConnectionString() const { return m_connection->text().trimmed(); }

void CDataSourceDlg::Prefill(const QString &connectionString, const QString &reason)
{
    m_reason->setText(reason);
    m_reason->setVisible(!reason.isEmpty());
    {
        const QSignalBlocker blocker(m_list);
        m_list->clearSelection();
        m_list->setCurrentItem(nullptr);
    }
    m_connection->setText(connectionString);
    m_connection->setFocus();
    m_prefilled = true;
}

// A shown string is there to be completed (a password added, say): the
// cursor waits at its end instead of the whole string being selected, as
// the dialog's first focus would leave it.
void CDataSourceDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_prefilled)
        QTimer::singleShot(0, m_connection, [edit = m_connection] { edit->end(false); });
}

bool CDataSourceDlg::SelectSource(const QString &name)
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (item->text(NameColumn) == name) {
            m_list->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

bool CDataSourceDlg::Prompt(CDbSession &session, std::string &connectionString,
                            const std::string &reason, QWidget *parent)
{
    CDataSourceDlg dialog(session.ListDataSources(), parent);
    if (!connectionString.empty() || !reason.empty())
        dialog.Prefill(QString::fromStdString(connectionString), QString::fromStdString(reason));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    connectionString = dialog.ConnectionString().toStdString();
    return true;
}
