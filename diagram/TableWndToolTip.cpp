// Full names on hover: the fixed window widths cut long names (the
// driver's own index names especially); the tooltip shows them whole.
#include "diagram/TableWnd.h"

#include "diagram/TableMetrics.h"
#include "res/Resource.h"

#include <QHelpEvent>
#include <QTextDocument>
#include <QToolTip>

namespace {

QString Count(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// Names are the database's: one that looks like markup is shown as it is
// written, not rendered.
QString AsPlainText(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

} // namespace

QString CTableWnd::ToolTipAt(const QPoint &pos) const
{
    const QRect client = ClientRect();
    if (pos.y() < client.top()) {
        int columns = 0;
        int indexes = 0;
        int triggers = 0;
        for (int i = 0; const CTableItem *item = GetItem(i); ++i) {
            columns += item->m_kind == Column;
            indexes += item->IsIndexHeader();
            triggers += item->m_kind == Trigger;
        }
        return QString::fromStdString(m_name) + QLatin1Char('\n') + Count(columns, "column", "columns")
               + QStringLiteral(", ") + Count(indexes, "index", "indexes") + QStringLiteral(", ")
               + Count(triggers, "trigger", "triggers");
    }
    if (!client.contains(pos))
        return QString();
    const CTableItem *item = GetItem((pos.y() - client.top()) / TableMetrics::kRowHeight);
    if (!item)
        return QString();
    QString text = QString::fromStdString(item->m_name);
    if (ViewMode() == Attributes && !item->m_description.empty())
        text += QLatin1Char('\n') + QString::fromStdString(item->m_description);
    return text;
}

bool CTableWnd::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QString text = ToolTipAt(ToLocal(help->pos()));
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), AsPlainText(text), this);
    }
    return true;
}
