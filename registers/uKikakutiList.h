#pragma once

class QWidget;
class TPrevX;

// The standard-value register's "一覧印刷": the list drawn by TKikakuti4::PrintList with
// the form's origin 2 cm from the left and 1.85 cm from the top edge of the paper. Paper
// and orientation stay as the printer has them.

// The whole document: origin, BeginDoc, pages, EndDoc.
void DrawKikakutiListDocument(TPrevX *Prev);
// The document in the preview window, shown modally.
void PreviewKikakutiList(QWidget *Owner);
