#include "exchange/fCsvImport.h"

#include "app/uHelp.h"
#include "measure/fEditDekigata.h"
#include "app/uSpread.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;
using namespace GridLayout;

namespace {
// A measurement file of 1000 rows is some hundred kilobytes; far more is not one.
constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;
constexpr TCsvEncoding kEncodings[] = {TCsvEncoding::Utf8, TCsvEncoding::Utf8Bom, TCsvEncoding::ShiftJis};
} // namespace

TfrmCsvImport::TfrmCsvImport(const QString &fileName, QByteArray bytes, int formType, int startRow,
                             const TGridUnits &units, QWidget *parent)
    : QDialog(parent)
    , EncodingBox(new QComboBox(this))
    , HeadingBox(new QCheckBox(u"1 行目は見出し（列の名前）"_s, this))
    , StartRowBox(new QSpinBox(this))
    , MappingTable(new QTableWidget(this))
    , PreviewTable(new QTableWidget(this))
    , ProblemsText(new QPlainTextEdit(this))
    , SummaryLabel(new QLabel(this))
    , m_import(std::move(bytes))
    , m_formType(formType)
    , m_units(units)
{
    setWindowTitle(u"CSV読み込み"_s);
    SetHelpTopic(this, u"exchange"_s);
    resize(980, 620);

    for (TCsvEncoding e : kEncodings)
        EncodingBox->addItem(Csv::EncodingCaption(e));
    StartRowBox->setRange(1, RowCount);
    StartRowBox->setValue(qBound(1, startRow, RowCount));

    MappingTable->setColumnCount(2);
    MappingTable->setHorizontalHeaderLabels({u"ファイルの列"_s, u"読み込む先（グリッドの列）"_s});
    MappingTable->horizontalHeader()->setStretchLastSection(true);
    MappingTable->verticalHeader()->setVisible(false);
    MappingTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PreviewTable->setColumnCount(ColumnCount);
    QStringList headings;
    for (int c = 1; c <= ColumnCount; ++c)
        headings << ColumnHeading(c);
    PreviewTable->setHorizontalHeaderLabels(headings);
    PreviewTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ProblemsText->setReadOnly(true);
    ProblemsText->setMaximumHeight(110);
    SummaryLabel->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    OkButton = buttons->button(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"キャンセル"_s);

    auto *form = new QFormLayout;
    form->addRow(u"ファイル"_s, new QLabel(QDir::toNativeSeparators(fileName), this));
    form->addRow(u"文字コード"_s, EncodingBox);
    form->addRow(QString(), HeadingBox);
    form->addRow(u"グリッドの開始行"_s, StartRowBox);
    auto *top = new QHBoxLayout;
    top->addLayout(form, 1);
    top->addWidget(MappingTable, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(new QLabel(u"読み込み後のグリッド（最初の %1 行）"_s.arg(kPreviewRows), this));
    layout->addWidget(PreviewTable, 1);
    layout->addWidget(new QLabel(u"読めない行と注意"_s, this));
    layout->addWidget(ProblemsText);
    layout->addWidget(SummaryLabel);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmCsvImport::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(EncodingBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && kEncodings[index] != m_import.Encoding()) {
            m_import.SetEncoding(kEncodings[index]);
            FillMapping();
        }
    });
    connect(HeadingBox, &QCheckBox::toggled, this, [this](bool on) {
        m_import.SetHeadingLine(on);
        FillMapping();
    });
    connect(StartRowBox, &QSpinBox::valueChanged, this, &TfrmCsvImport::Refresh);
    FillMapping();
}

void TfrmCsvImport::FillMapping()
{
    {
        const QSignalBlocker blockEncoding(EncodingBox);
        const QSignalBlocker blockHeading(HeadingBox);
        for (int i = 0; i < int(std::size(kEncodings)); ++i) {
            if (kEncodings[i] == m_import.Encoding())
                EncodingBox->setCurrentIndex(i);
        }
        HeadingBox->setChecked(m_import.HeadingLine());
    }
    const int n = m_import.FileColumns();
    MappingTable->clearContents();
    MappingTable->setRowCount(n);
    for (int i = 0; i < n; ++i) {
        QString caption = u"%1 列目"_s.arg(i + 1);
        if (m_import.HeadingLine() && !m_import.FileHeading(i).trimmed().isEmpty())
            caption += u"「"_s + m_import.FileHeading(i).trimmed() + u"」"_s;
        MappingTable->setItem(i, 0, new QTableWidgetItem(caption));
        auto *box = new QComboBox(MappingTable);
        box->addItem(u"（読み込まない）"_s);
        for (int c = 1; c <= ColumnCount; ++c)
            box->addItem(ColumnHeading(c));
        box->setCurrentIndex(m_import.Mapping.value(i));
        connect(box, &QComboBox::currentIndexChanged, this, &TfrmCsvImport::MappingChanged);
        MappingTable->setCellWidget(i, 1, box);
    }
    MappingTable->resizeColumnToContents(0);
    Refresh();
}

void TfrmCsvImport::MappingChanged()
{
    for (int i = 0; i < MappingTable->rowCount() && i < m_import.Mapping.size(); ++i) {
        if (auto *box = qobject_cast<QComboBox *>(MappingTable->cellWidget(i, 1)))
            m_import.Mapping[i] = box->currentIndex();
    }
    Refresh();
}

void TfrmCsvImport::Refresh()
{
    m_plan = m_import.Plan(StartRowBox->value(), m_formType);
    const int shown = qMin(int(m_plan.Entries.size()), kPreviewRows);
    PreviewTable->clearContents();
    PreviewTable->setRowCount(shown);
    // The shown rows computed and formatted as the grid will do it.
    TGridBuffer buffer;
    QList<TGridRowTexts> rows = Rows().mid(0, shown);
    for (TGridRowTexts &row : rows)
        row.Row = qMin(row.Row, RowCount);
    GridCalc::EnterRows(buffer, m_units, rows);
    GridCalc::Reformat(buffer, m_units);
    QStringList rowHeadings;
    for (int k = 0; k < shown; ++k) {
        const TGridImport::TEntry &entry = m_plan.Entries.at(k);
        rowHeadings << QString::number(entry.Row);
        for (int col = 1; col <= ColumnCount; ++col) {
            if (const QString text = buffer.Cell(col, rows.at(k).Row); !text.isEmpty())
                PreviewTable->setItem(k, col - 1, new QTableWidgetItem(text));
        }
    }
    PreviewTable->setVerticalHeaderLabels(rowHeadings);

    QStringList lines;
    for (const TGridImport::TProblem &p : m_plan.Problems)
        lines << u"%1 行目: %2（この行は読み込みません）"_s.arg(p.Line).arg(p.Reason);
    lines << m_plan.Notes;
    if (m_plan.TooMany)
        lines << u"ファイルの行がグリッドに入りません: %1 行目から始めると %2 行目までが要りますが、グリッドは %3 行までです。"
                 "開始行を前にするか、ファイルを分けてください。"_s.arg(m_plan.FirstRow).arg(m_plan.LastRow).arg(RowCount);
    ProblemsText->setPlainText(lines.isEmpty() ? u"（ありません）"_s : lines.join(u'\n'));

    if (m_plan.Entries.isEmpty())
        SummaryLabel->setText(u"読み込める行がありません。"_s);
    else
        SummaryLabel->setText(u"グリッドの %1 行目から %2 行目に %3 行を読み込みます%4。読み込んだ値は「登録」するまで保存されません。"_s
                                  .arg(m_plan.FirstRow)
                                  .arg(qMin(m_plan.LastRow, RowCount))
                                  .arg(m_plan.Entries.size())
                                  .arg(m_plan.Problems.isEmpty()
                                           ? QString()
                                           : u"（読めない %1 行は除きます）"_s.arg(m_plan.Problems.size())));
}

QList<TGridRowTexts> TfrmCsvImport::Rows() const
{
    QList<TGridRowTexts> rows;
    rows.reserve(m_plan.Entries.size());
    for (const TGridImport::TEntry &entry : m_plan.Entries)
        rows << TGridRowTexts{entry.Row, entry.Cells};
    return rows;
}

void TfrmCsvImport::accept()
{
    if (m_plan.TooMany) {
        QMessageBox::warning(this, u"ケルモ４"_s,
                             u"ファイルのデータは %1 行あり、グリッドの %2 行目から読み込むと %3 行目までが要りますが、"
                             "グリッドは %4 行までです。何も読み込んでいません。\n開始行を前にするか、ファイルを分けてください。"_s
                                 .arg(m_plan.LastRow - m_plan.FirstRow + 1)
                                 .arg(m_plan.FirstRow)
                                 .arg(m_plan.LastRow)
                                 .arg(RowCount));
        return;
    }
    if (m_plan.Entries.isEmpty()) {
        QMessageBox::warning(this, u"ケルモ４"_s,
                             u"読み込める行がありません。文字コードと列の割り当てを確かめてください。"_s);
        return;
    }
    QDialog::accept();
}

bool TfrmCsvImport::ImportFile(TfrmEditDekigata &main, const QString &path)
{
    QFile file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(&main, u"ケルモ４"_s,
                             u"ファイル「%1」を開けません（%2）。ファイルがあるか、読む権限があるか確かめてください。"_s.arg(
                                 shown, file.errorString()));
        return false;
    }
    if (file.size() > kMaxFileBytes) {
        QMessageBox::warning(&main, u"ケルモ４"_s,
                             u"ファイル「%1」は %2 MB あり、測定データの CSV としては大きすぎます。グリッドに入る 1000 行までのファイルを選んでください。"_s
                                 .arg(shown)
                                 .arg(file.size() / (1024 * 1024)));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.trimmed().isEmpty() || bytes == QByteArrayLiteral("\xEF\xBB\xBF")) {
        QMessageBox::warning(&main, u"ケルモ４"_s, u"ファイル「%1」は空です。値の入った CSV ファイルを選んでください。"_s.arg(shown));
        return false;
    }
    const int active = main.vaSpread1->ActiveRow();
    TfrmCsvImport dialog(QFileInfo(path).fileName(), bytes, main.FormType(), active > 0 ? active : 1, main.GridUnits(),
                         &main);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    main.EnterGridRows(dialog.Rows());
    return true;
}

void TfrmCsvImport::ConnectMenu(TfrmEditDekigata &main)
{
    QObject::connect(main.actImportCsv, &QAction::triggered, &main, [&main] {
        const QString path = QFileDialog::getOpenFileName(&main, u"CSV読み込み"_s, QString(),
                                                          u"CSV ファイル (*.csv *.txt);;すべてのファイル (*)"_s);
        if (!path.isEmpty())
            ImportFile(main, path);
    });
    main.actImportCsv->setEnabled(true);
}
