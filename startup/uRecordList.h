#pragma once

#include <QString>

class QTextStream;

// One line per measurement record: ID, project code, work type, section, item,
// tab-separated, in ID order. With a project code only that project's records; a code
// that names no registered project is an error, so a typo does not pass as "no records".
void WriteRecordList(const QString &KojiCode, QTextStream &out);
