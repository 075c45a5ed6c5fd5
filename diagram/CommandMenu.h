#pragma once

#include <initializer_list>

class QMenu;

// Fills a context menu from the command table: one entry per command
// identifier, with the command's menu text and the identifier as the
// entry's data; 0 stands for a separator.
void AddCommandEntries(QMenu &menu, std::initializer_list<int> ids);
