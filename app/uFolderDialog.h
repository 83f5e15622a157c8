#pragma once

#include <QString>

class QWidget;

// Lets the user pick a folder. Directory, when it names an existing folder, is where the
// browser starts; after a confirmed choice it holds the chosen folder.
class TFolderDialog
{
public:
    QString Title = QStringLiteral("フォルダーの選択");
    QString Directory;

    // True when the user confirmed a folder; false when cancelled.
    bool Execute(QWidget *parent = nullptr);
};
