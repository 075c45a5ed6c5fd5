#include "app/CommandLineInfo.h"

namespace {
const char *const kSlashSwitches[] = {"p", "pt", "dde", "unregister", "unregserver", "embedding",
                                      "automation"};

bool IsSlashSwitch(const QString &argument)
{
    if (!argument.startsWith(QLatin1Char('/')))
        return false;
    const QString name = argument.mid(1);
    for (const char *known : kSlashSwitches)
        if (name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
} // namespace

void CCommandLineInfo::Parse(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument.size() > 1 && (argument.startsWith(QLatin1Char('-')) || IsSlashSwitch(argument)))
            ParseSwitch(argument.mid(1));
        else if (m_fileName.isEmpty() && !argument.isEmpty())
            m_fileName = argument;
    }
    if (!m_hasSwitch && !m_fileName.isEmpty())
        m_shellCommand = FileOpen;
}

void CCommandLineInfo::ParseSwitch(const QString &name)
{
    m_hasSwitch = true;
    const QString lower = name.toLower();
    if (lower == QLatin1String("p"))
        m_shellCommand = FilePrint;
    else if (lower == QLatin1String("pt"))
        m_shellCommand = FilePrintTo;
    else if (lower == QLatin1String("dde"))
        m_shellCommand = FileDDE;
    else if (lower == QLatin1String("unregister") || lower == QLatin1String("unregserver"))
        m_shellCommand = AppUnregister;
}
