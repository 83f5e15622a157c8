#pragma once

#include <QStringList>

// Every row of every table of the open data source, in a fixed order, as text ("<NULL>"
// apart from the empty text): what a copy or an import into another engine must carry over.
QStringList AllStoredRows();
