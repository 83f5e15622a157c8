#pragma once

#include <QString>

class QWidget;

// The HTML help pages of the help folder: "context-<n>.html" for a window's help context
// number, "<topic>.html" for a topic name, "index.html" for the contents.

void SetHelpContext(QWidget *window, int context);
void SetHelpTopic(QWidget *window, const QString &topic);

// The page of the window, or of the nearest window it was opened from that has one; the
// contents page when none has a page.
QString HelpPageFile(const QWidget *window);
// Opens the page in the desktop's browser; false when the desktop could not open it.
bool ShowHelpFor(const QWidget *window);
bool ShowHelpIndex();

// F1 anywhere in the program opens the help page of the window it was pressed in.
void InstallHelpKey();
