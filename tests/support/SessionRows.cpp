#include "tests/support/SessionRows.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"

QStringList FirstColumnRows(CDbSession &session, const QString &sql)
{
    QStringList rows;
    int result = session.Execute(sql.toStdString());
    while (result >= 0 && (result = session.Fetch()) >= 0) {
        std::string text;
        result = session.GetColumnText(1, text);
        if (result >= 0)
            rows << QString::fromStdString(text);
    }
    if (result != DbResult::kNoData)
        rows << "failed: " + QString::fromStdString(session.GetErrorText(result));
    session.CloseStatement();
    return rows;
}
