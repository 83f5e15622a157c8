#pragma once

#include <QString>
#include <QStringList>

// The name a document proposes when it is saved as a file, e.g.
// "0001_下層路盤_第1工区_基準高_データシート": the parts joined by "_", parts that are empty
// or "#" (a record without section) left out, characters a file name cannot hold replaced
// by "_".
QString DocumentFileTitle(const QStringList &parts);

// The setting that keeps the folder a PDF was last saved into.
QString LastPdfFolderSetting();

// The path proposed for saving a document as PDF: FileTitle (or "ケルモ４" when empty) with
// ".pdf", in the folder last used while it exists, else in the user's documents folder.
QString ProposedPdfPath(const QString &fileTitle);
// Remembers the folder of a PDF just written, for the next proposal.
void RememberPdfFolder(const QString &fileName);
