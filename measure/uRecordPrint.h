#pragma once

#include <functional>

#include <QString>

class QWidget;
class TKelmo4Head;

// The forms the main window's print buttons produce for the record it shows. The routines
// live with the charts and sheets, which sit above this folder; start-up plugs them in.
enum class TRecordForm { DataSheet, Histogram, ControlChart };

// Draws and previews one form of the registered record. Weight is the main window's "重さ".
using TRecordPrintRoutine = std::function<void(QWidget *parent, TKelmo4Head &head, bool weight)>;

void SetRecordPrintRoutine(TRecordForm form, TRecordPrintRoutine routine);
// An empty function while no routine is plugged in.
const TRecordPrintRoutine &RecordPrintRoutine(TRecordForm form);

// The file name a form of the record proposes: project code, work type, section (left out
// when the record has none), item and Form ("データシート", "ヒストグラム", "管理図").
QString RecordFileTitle(const TKelmo4Head &head, const QString &form);
