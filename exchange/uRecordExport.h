#pragma once

#include "exchange/uCsv.h"
#include "exchange/uExchangeTable.h"

class TKelmo4Head;
class TfrmEditDekigata;

// A measurement record as a table for spreadsheets: the grid's headings and the texts of
// its lines, one row per line; for Excel with the record's header above.
namespace RecordExport {

// A stored record, as stored.
TExchangeTable StoredRecordTable(const TKelmo4Head &head);
// The record the main window shows, with its unregistered edits.
TExchangeTable ScreenRecordTable(const TfrmEditDekigata &main);

// The stored record ID into Path (.xlsx, else CSV in Encoding); EKelmoError when there is
// no such record or the file cannot be written.
void WriteStoredRecord(int id, const QString &path, TCsvEncoding encoding);

// Connects and enables "書き出し…" of the main window.
void ConnectMenu(TfrmEditDekigata &main);

} // namespace RecordExport
