#include "dialogs/DesignDialog.h"

#include "document/ErrorReport.h"

#include "db/DbSession.h"
#include "db/Dialect.h"
#include "dialogs/DialogUnits.h"

#include <QMessageBox>
#include <QPushButton>

CDesignDialog::CDesignDialog(QWidget *parent, CDbSession &session, const QString &title,
                             int widthUnits, int heightUnits)
    : QDialog(parent), m_session(session)
{
    setWindowTitle(title);
    QFont dialogFont = font();
    dialogFont.setPointSize(Platform::kDialogFontPointSize);
    setFont(dialogFont);
    setFixedSize(DialogUnits::ToPixels(widthUnits, heightUnits));
}

void CDesignDialog::Place(QWidget *control, int x, int y, int width, int height)
{
    control->setGeometry(DialogUnits::ToPixels(x, y, width, height));
}

QPushButton *CDesignDialog::AddDefaultButton(const QString &text, int x, int y, int width, int height)
{
    auto *button = new QPushButton(text, this);
    Place(button, x, y, width, height);
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, &CDesignDialog::accept);
    return button;
}

QPushButton *CDesignDialog::AddCancelButton(int x, int y, int width, int height)
{
    auto *button = new QPushButton(QStringLiteral("Cancel"), this);
    Place(button, x, y, width, height);
    connect(button, &QPushButton::clicked, this, &QDialog::reject);
    return button;
}

void CDesignDialog::accept()
{
    FinishEditing();
    const CComposedChange composed = Compose();
    if (composed.m_error < 0) {
        ReportError(composed.m_error);
        return;
    }
    if (!ConfirmNote(composed.m_change))
        return;
    const int result = ApplySchemaChange(m_session, composed.m_change);
    if (result < 0) {
        ReportError(result);
        return;
    }
    OnApplied();
    QDialog::accept();
}

// An engine that cannot make the change as one whole (it cannot roll DDL
// back) says so in the rendering's note; the user decides before anything
// is sent, and the dialog stays open on No.
bool CDesignDialog::ConfirmNote(const CSchemaChange &change)
{
    const CDialect *dialect = SessionDialect(m_session);
    const CRendering rendering = dialect ? dialect->Render(change) : CRendering();
    if (rendering.m_result < 0 || rendering.m_message.empty())
        return true;
    return QMessageBox::warning(this, QStringLiteral("Confirmation"),
                                QString::fromStdString(rendering.m_message) + QStringLiteral("\n\nGo on?"),
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

void CDesignDialog::OfferFeature(QWidget *control, CDialect::Feature feature) const
{
    const CDialect *dialect = SessionDialect(m_session);
    if (!dialect || dialect->HasFeature(feature))
        return;
    control->setEnabled(false);
    control->setToolTip(QString::fromStdString(dialect->MissingFeatureText(feature)));
}

void CDesignDialog::ReportError(int code) { ReportDbError(this, m_session, code); }
