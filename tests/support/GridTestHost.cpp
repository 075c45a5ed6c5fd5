#include "tests/support/GridTestHost.h"

#include "grid/GridCtrl.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

CGridTestHost::CGridTestHost(const QRect &gridGeometry)
{
    resize(gridGeometry.right() + 100, gridGeometry.bottom() + 160);
    m_before = new QLineEdit(this);
    m_before->setGeometry(10, 8, 150, 22);
    m_grid = new CGridCtrl(this);
    m_grid->setGeometry(gridGeometry);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setGeometry(gridGeometry.right() + 10, 8, 70, 24);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setGeometry(gridGeometry.right() + 10, 40, 70, 24);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_textAtOk = m_grid->GetItemText(0, 0);
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, [this] { m_textAtCancel = m_grid->GetItemText(0, 0); });
    m_grid->SetNotifyHandler([this](const CGridNotification &question) {
        return question.code == GN_ISCELLLOCKED && Locked && Locked(question.item, question.subItem) ? 1 : 0;
    });
}

bool CGridTestHost::ShowActive()
{
    show();
    activateWindow();
    return QTest::qWaitForWindowActive(this);
}

QPoint CGridTestHost::Current() const
{
    const CGridCtrl::Cell cell = m_grid->GetCurrentCell();
    return QPoint(cell.row, cell.column);
}

QPoint CGridTestHost::CellCentre(int row, int column) const
{
    return m_grid->GetCellRect(row, column).center();
}

void CGridTestHost::ClickCell(int row, int column)
{
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(row, column));
}

void CGridTestHost::Key(int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
}

void CGridTestHost::Type(const QString &text)
{
    for (const QChar c : text)
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
}
