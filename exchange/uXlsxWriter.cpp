#include "exchange/uXlsxWriter.h"

#include "app/Errors.h"
#include "app/SjisText.h"
#include "app/uCommon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

using namespace Qt::Literals::StringLiterals;

namespace {
// The number a text shows, when it shows nothing else; Decimals receives its decimals.
bool NumberOf(const QString &text, double *value, int *decimals)
{
    if (!IsDecimalText(text))
        return false;
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok)
        return false;
    const qsizetype point = text.indexOf(u'.');
    const int d = point < 0 ? 0 : int(text.size() - point - 1);
    if (d > 15 || QString::number(v, 'f', d) != text)
        return false;
    *value = v;
    *decimals = d;
    return true;
}
} // namespace

TXlsxWriter::TXlsxWriter(const QString &path, const QString &sheetName)
    : m_path(path)
    , m_partPath(path + u".part"_s + QString::number(QCoreApplication::applicationPid()))
{
    m_book = workbook_new(QFile::encodeName(m_partPath).constData());
    if (m_book)
        m_sheet = workbook_add_worksheet(m_book, sheetName.toUtf8().constData());
    if (!m_book || !m_sheet)
        throw EFileError(u"Excel ファイル「%1」を作れません。保存先のフォルダに書き込めるか確かめてください。"_s.arg(
            QDir::toNativeSeparators(path)));
    m_bold = workbook_add_format(m_book);
    format_set_bold(m_bold);
}

TXlsxWriter::~TXlsxWriter()
{
    if (m_book) {
        // Not closed: the half-made file is dropped.
        workbook_close(m_book);
        QFile::remove(m_partPath);
    }
}

void TXlsxWriter::Check(int error, const char *what)
{
    if (error != LXW_NO_ERROR)
        throw EFileError(u"Excel ファイル「%1」の%2に失敗しました: %3"_s.arg(
            QDir::toNativeSeparators(m_path), QString::fromUtf8(what),
            QString::fromUtf8(lxw_strerror(lxw_error(error)))));
}

lxw_format *TXlsxWriter::NumberFormat(int decimals)
{
    if (lxw_format *f = m_numberFormats.value(decimals))
        return f;
    lxw_format *f = workbook_add_format(m_book);
    const QString code = decimals == 0 ? u"0"_s : u"0."_s + QString(decimals, u'0');
    format_set_num_format(f, code.toLatin1().constData());
    m_numberFormats.insert(decimals, f);
    return f;
}

void TXlsxWriter::Widen(int col, const QString &text)
{
    while (m_widths.size() <= col)
        m_widths << 0;
    int widest = 0;
    for (const QString &part : text.split(u'\n')) {
        const int bytes = SjisText::ByteLength(part);
        widest = qMax(widest, bytes < 0 ? int(part.size()) * 2 : bytes);
    }
    m_widths[col] = qMax(m_widths[col], widest);
}

void TXlsxWriter::WriteText(int row, int col, const QString &text, bool bold, bool fit)
{
    if (text.isEmpty())
        return;
    Check(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(col), text.toUtf8().constData(),
                                 bold ? m_bold : nullptr),
          "書き込み");
    if (fit)
        Widen(col, text);
}

void TXlsxWriter::WriteValue(int row, int col, const QString &text, bool fit)
{
    double value = 0;
    int decimals = 0;
    if (!NumberOf(text, &value, &decimals)) {
        WriteText(row, col, text, false, fit);
        return;
    }
    Check(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(col), value, NumberFormat(decimals)),
          "書き込み");
    if (fit)
        Widen(col, text);
}

void TXlsxWriter::Close()
{
    for (int col = 0; col < m_widths.size(); ++col) {
        if (m_widths[col] > 0)
            Check(worksheet_set_column(m_sheet, lxw_col_t(col), lxw_col_t(col),
                                       qBound(4.0, m_widths[col] + 2.0, 60.0), nullptr),
                  "列幅の設定");
    }
    lxw_workbook *book = m_book;
    m_book = nullptr;
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR) {
        QFile::remove(m_partPath);
        Check(closed, "保存");
    }
    if (QFile::exists(m_path) && !QFile::remove(m_path)) {
        QFile::remove(m_partPath);
        throw EFileError(u"Excel ファイル「%1」を置き換えられません。ほかのプログラムで開いていないか確かめてください。"_s.arg(
            QDir::toNativeSeparators(m_path)));
    }
    if (!QFile::rename(m_partPath, m_path)) {
        QFile::remove(m_partPath);
        throw EFileError(u"Excel ファイル「%1」を保存できません。"_s.arg(QDir::toNativeSeparators(m_path)));
    }
}
