#pragma once

class QWidget;
class TKelmo4Head;
class TPrevX;

// The documents of the main window's buttons "管理図" and "ﾋｽﾄｸﾞﾗﾑ" for one stored record, in
// the layout of the project's print style: styles 0 and 1 get the X control chart and the
// summary figure, style 2 the control chart table and the frequency table. Weight is the
// "重さ" box. Each chooses the paper, begins the document on Prev, draws it and ends it.
void DrawChartDocument(TPrevX *Prev, const TKelmo4Head &Head, bool Weight);
void DrawHistogramDocument(TPrevX *Prev, const TKelmo4Head &Head, bool Weight);

// The print commands: the caller stores the record first ("登録"); these open the preview
// modally over Parent and release it afterwards.
void PrintControlChart(const TKelmo4Head &Head, bool Weight, QWidget *Parent);
void PrintHistogram(const TKelmo4Head &Head, bool Weight, QWidget *Parent);

// Loads the stored record ID into Head for printing; raises EKelmoError when there is none.
void LoadRecordForPrint(TKelmo4Head &Head, int ID);

// Plugs PrintHistogram and PrintControlChart into the main window's print buttons.
void PlugChartPrintRoutines();
