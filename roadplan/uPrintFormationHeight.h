#pragma once

#include <QString>

class QWidget;
class TGridCells;
class TPrevX;

// The printed road surface plan: one landscape page with the first 35 grid rows.

// Draws the page onto the open document of Prev.
void DrawFormationPlan(TPrevX *Prev, const TGridCells &Cells);
// Landscape paper, then the whole document; Code names the file a copy proposes.
void DrawFormationPlanDocument(TPrevX *Prev, const TGridCells &Cells, const QString &Code = QString());
// The stored plan of the project, for the exporter; refuses an unknown project and a
// project without a stored plan.
void ExportFormationPlan(TPrevX *Prev, const QString &Code);
// The preview, drawn afresh each time it closes with anything but cancel.
void PreviewFormationPlan(QWidget *Owner, const TGridCells &Cells, const QString &Code = QString());
