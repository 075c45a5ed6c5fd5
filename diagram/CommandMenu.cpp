#include "diagram/CommandMenu.h"

#include "diagram/CommandTable.h"

#include <QAction>
#include <QMenu>

void AddCommandEntries(QMenu &menu, std::initializer_list<int> ids)
{
    for (const int id : ids) {
        if (id == 0) {
            menu.addSeparator();
            continue;
        }
        const CCommandText *text = FindCommandText(id);
        const char *menuText = text && text->m_menuText ? text->m_menuText : "";
        menu.addAction(QString::fromLatin1(menuText))->setData(id);
    }
}
