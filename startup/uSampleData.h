#pragma once

#include <QString>

class TfrmEditDekigata;

// A small worked example to try the program with: one project in each print style, with its
// client, contractor, people, work types, two sections, standard values, a height and a
// thickness record and a built summary table, in a data folder of its own.
namespace SampleData {

// $XDG_DATA_HOME/tomaruk/sample: beside the default data folder, never inside the user's.
QString Folder();

// Writes the sample into Folder (its table files made anew) without changing which folder
// the program uses. Returns the ID of the first height record.
int Create(const QString &folder);

// "サンプルデータで試す…": asks, creates the sample, makes its folder the data folder, shows
// its first record and says how to go back. The user's own folder is not touched.
void TryInMainWindow(TfrmEditDekigata *window);

} // namespace SampleData
