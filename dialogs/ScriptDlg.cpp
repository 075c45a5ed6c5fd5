#include "dialogs/ScriptDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Wide enough for a column clause and a wrapped key line without
// scrolling sideways.
constexpr int kColumns = 90;
constexpr int kLines = 30;
} // namespace

CScriptDlg::CScriptDlg(const QString &title, const QString &script, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(title);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setPlainText(script);
    const QFontMetrics metrics(m_text->font());
    m_text->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('M')) * kColumns,
                           metrics.lineSpacing() * kLines);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *copy = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    connect(copy, &QPushButton::clicked, this, &CScriptDlg::CopyScript);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
}

QString CScriptDlg::Script() const { return m_text->toPlainText(); }

void CScriptDlg::CopyScript() { QApplication::clipboard()->setText(m_text->toPlainText()); }
