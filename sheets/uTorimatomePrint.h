#pragma once

#include <QString>

class QWidget;
class TPageCanvas;
class TPrevX;

// The print of a project's summary table, "出　来　形　管　理　総　括　表": A4 portrait,
// 20 rows a page, the stored rows in LNO order, printed as they are stored.

// Title, rulings and headings of one page; leaves the font at 11 pt and the pen at 1.
void DrawTorimatomeFrame(TPageCanvas *Canvas);
// Every page of the project's table onto a document open on Prev. A project without rows
// gives one empty page.
void PrintTorimatome(TPrevX *Prev, const QString &KojiCode);
// The whole document: paper, BeginDoc, pages, EndDoc.
void DrawTorimatomeDocument(TPrevX *Prev, const QString &KojiCode);
// Raises the exporter's error when no project has the code.
void CheckProjectRegistered(const QString &KojiCode);
// For the exporter: an unknown project, or a table never built, is an error (EKelmoError
// saying what to do), not an empty page.
void CheckTorimatomeForExport(const QString &KojiCode);
// The document for the exporter, after that check.
void ExportTorimatome(TPrevX *Prev, const QString &KojiCode);
// The document in the preview window, shown modally.
void PreviewTorimatome(QWidget *Owner, const QString &KojiCode);
