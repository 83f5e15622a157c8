#include "app/uSpread.h"

#include "app/ByteLimit.h"
#include "app/uCommon.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

using namespace Qt::Literals::StringLiterals;

QColor ColorFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 BgrFromColor(const QColor &color)
{
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

namespace {

// "A", "B", ..., "Z", "AA", ...: the headings of columns a window leaves unnamed.
QString ColumnLetters(int col)
{
    QString text;
    while (col > 0) {
        const int rest = (col - 1) % 26;
        text.prepend(QChar(u'A' + rest));
        col = (col - 1) / 26;
    }
    return text;
}

// The cell editor. In insert mode the first key goes behind the cell's text instead of
// replacing it (the view selects the whole text when it opens an editor).
class TSpreadLineEdit final : public QLineEdit
{
public:
    TSpreadLineEdit(bool insertMode, QWidget *parent)
        : QLineEdit(parent)
        , m_insertMode(insertMode)
    {
        setFrame(false);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (m_firstKey && m_insertMode && !event->text().isEmpty()) {
            deselect();
            end(false);
        }
        m_firstKey = false;
        QLineEdit::keyPressEvent(event);
    }

private:
    bool m_insertMode;
    bool m_firstKey = true;
};

class TSpreadDelegate final : public QStyledItemDelegate
{
public:
    explicit TSpreadDelegate(TSpread *spread)
        : QStyledItemDelegate(spread)
        , m_spread(spread)
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        auto *editor = new TSpreadLineEdit(m_spread->EditMode() == TSpreadEditMode::Insert, parent);
        if (const int maxBytes = m_spread->ColMaxBytes(index.column() + 1))
            LimitBytes(editor, maxBytes);
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QLineEdit *>(editor)->setText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        model->setData(index, static_cast<QLineEdit *>(editor)->text(), Qt::EditRole);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        if (m_spread->CellType(index.column() + 1, index.row() + 1) != TSpreadCellType::Button) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionButton button;
        button.rect = option.rect.adjusted(1, 1, -1, -1);
        button.text = index.data(Qt::DisplayRole).toString();
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        button.fontMetrics = option.fontMetrics;
        m_spread->style()->drawControl(QStyle::CE_PushButton, &button, painter, m_spread);
    }

private:
    TSpread *m_spread;
};

} // namespace

// ---- model ------------------------------------------------------------------------------

TSpreadModel::TSpreadModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int TSpreadModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TSpreadModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant TSpreadModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const TCell &cell = Cell(index.column() + 1, index.row() + 1);
    switch (role) {
    case Qt::DisplayRole:
        if (cell.Type == TSpreadCellType::CheckBox)
            return QVariant();
        if (double v = 0; cell.Decimals >= 0 && ReadDecimalText(cell.Text, &v))
            return FormatFixed(v, cell.Decimals);
        return cell.Text;
    case Qt::EditRole:
        return cell.Text;
    case Qt::CheckStateRole:
        if (cell.Type != TSpreadCellType::CheckBox)
            return QVariant();
        return cell.Text == u"1"_s ? Qt::Checked : Qt::Unchecked;
    case Qt::ForegroundRole:
        if (cell.Numeric && !cell.Text.isEmpty() && !IsDecimalText(cell.Text))
            return QBrush(Qt::red);
        return QVariant();
    case Qt::BackgroundRole:
        if (!cell.HasBack)
            return QVariant();
        return QBrush(ColorFromBgr(cell.Back));
    case Qt::TextAlignmentRole:
        if (cell.Type == TSpreadCellType::Button)
            return int(Qt::AlignCenter);
        if (cell.Decimals >= 0)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

bool TSpreadModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid())
        return false;
    const int col = index.column() + 1;
    const int row = index.row() + 1;
    TCell &cell = Cell(col, row);
    if (cell.Locked)
        return false;
    QString text;
    if (role == Qt::CheckStateRole && cell.Type == TSpreadCellType::CheckBox)
        text = Qt::CheckState(value.toInt()) == Qt::Checked ? u"1"_s : QString();
    else if (role == Qt::EditRole && cell.Type == TSpreadCellType::Edit)
        text = value.toString();
    else
        return false;
    if (text == cell.Text)
        return true;
    cell.Text = text;
    Q_EMIT dataChanged(index, index);
    Q_EMIT UserChanged(col, row);
    return true;
}

QVariant TSpreadModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return ColHeading(section + 1);
    return RowHeading(section + 1);
}

Qt::ItemFlags TSpreadModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const TCell &cell = Cell(index.column() + 1, index.row() + 1);
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (cell.Locked)
        return flags;
    if (cell.Type == TSpreadCellType::Edit)
        flags |= Qt::ItemIsEditable;
    else if (cell.Type == TSpreadCellType::CheckBox)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

void TSpreadModel::Resize(int cols, int rows)
{
    cols = qMax(0, cols);
    rows = qMax(0, rows);
    if (cols == m_cols && rows == m_rows)
        return;
    beginResetModel();
    QVector<TCell> cells(qsizetype(cols) * rows);
    for (int r = 1; r <= qMin(rows, m_rows); ++r)
        for (int c = 1; c <= qMin(cols, m_cols); ++c)
            cells[(r - 1) * cols + (c - 1)] = Cell(c, r);
    m_cells = std::move(cells);
    m_cols = cols;
    m_rows = rows;
    m_colHeadings.resize(cols);
    m_rowHeadings.resize(rows);
    endResetModel();
}

QString TSpreadModel::Text(int col, int row) const
{
    if (!Inside(col, row))
        return QString();
    return Cell(col, row).Text;
}

void TSpreadModel::SetText(int col, int row, const QString &text)
{
    if (!Inside(col, row))
        return;
    TCell &cell = Cell(col, row);
    const QString stored = cell.Type == TSpreadCellType::CheckBox
        ? (text == u"1"_s ? u"1"_s : QString()) : text;
    if (cell.Text == stored)
        return;
    cell.Text = stored;
    if (m_updating > 0) {
        if (!m_updated.IsValid())
            m_updated = {col, row, col, row};
        m_updated = {qMin(m_updated.Col1, col), qMin(m_updated.Row1, row), qMax(m_updated.Col2, col),
                     qMax(m_updated.Row2, row)};
        return;
    }
    const QModelIndex i = index(row - 1, col - 1);
    Q_EMIT dataChanged(i, i);
}

void TSpreadModel::BeginUpdate()
{
    ++m_updating;
}

void TSpreadModel::EndUpdate()
{
    if (m_updating == 0 || --m_updating > 0)
        return;
    const TSpreadBlock changed = m_updated;
    m_updated = TSpreadBlock();
    if (changed.IsValid())
        EmitChanged(changed);
}

void TSpreadModel::SetTexts(const TSpreadBlock &block, const QList<QStringList> &texts)
{
    const TSpreadBlock b = Clip(block);
    if (!b.IsValid())
        return;
    for (int r = b.Row1; r <= b.Row2; ++r) {
        const qsizetype line = r - block.Row1;
        if (line >= texts.size())
            break;
        for (int c = b.Col1; c <= b.Col2; ++c) {
            const qsizetype field = c - block.Col1;
            if (field >= texts.at(line).size())
                break;
            TCell &cell = Cell(c, r);
            if (cell.Locked || cell.Type == TSpreadCellType::Button)
                continue;
            const QString &text = texts.at(line).at(field);
            cell.Text = cell.Type == TSpreadCellType::CheckBox
                ? (text == u"1"_s ? u"1"_s : QString()) : text;
        }
    }
    EmitChanged(b);
}

void TSpreadModel::FillTexts(const TSpreadBlock &block, const std::function<QString(int col, int row)> &text)
{
    const TSpreadBlock b = Clip(block);
    if (!b.IsValid())
        return;
    for (int r = b.Row1; r <= b.Row2; ++r) {
        for (int c = b.Col1; c <= b.Col2; ++c) {
            TCell &cell = Cell(c, r);
            QString t = text(c, r);
            if (t.isEmpty())
                cell.Text.clear();
            else if (cell.Type == TSpreadCellType::CheckBox)
                cell.Text = t == u"1"_s ? u"1"_s : QString();
            else
                cell.Text = std::move(t);
        }
    }
    EmitChanged(b);
}

void TSpreadModel::ClearTexts(const TSpreadBlock &block)
{
    const TSpreadBlock b = Clip(block);
    if (!b.IsValid())
        return;
    for (int r = b.Row1; r <= b.Row2; ++r)
        for (int c = b.Col1; c <= b.Col2; ++c)
            Cell(c, r).Text.clear();
    EmitChanged(b);
}

void TSpreadModel::ShiftRows(int from, int delta)
{
    if (from < 1 || from > m_rows || m_cols == 0)
        return;
    if (delta > 0) {
        for (int r = m_rows; r > from; --r)
            for (int c = 1; c <= m_cols; ++c)
                Cell(c, r).Text = Cell(c, r - 1).Text;
        for (int c = 1; c <= m_cols; ++c)
            Cell(c, from).Text.clear();
    } else {
        for (int r = from; r < m_rows; ++r)
            for (int c = 1; c <= m_cols; ++c)
                Cell(c, r).Text = Cell(c, r + 1).Text;
        for (int c = 1; c <= m_cols; ++c)
            Cell(c, m_rows).Text.clear();
    }
    EmitChanged({1, from, m_cols, m_rows});
}

QString TSpreadModel::ColHeading(int col) const
{
    if (col < 1 || col > m_cols)
        return QString();
    const QString &text = m_colHeadings.at(col - 1);
    return text.isNull() ? ColumnLetters(col) : text;
}

void TSpreadModel::SetColHeading(int col, const QString &text)
{
    if (col < 1 || col > m_cols)
        return;
    // An empty heading stays empty; only a heading never set shows the letters.
    m_colHeadings[col - 1] = text.isNull() ? u""_s : text;
    Q_EMIT headerDataChanged(Qt::Horizontal, col - 1, col - 1);
}

QString TSpreadModel::RowHeading(int row) const
{
    if (row < 1 || row > m_rows)
        return QString();
    const QString &text = m_rowHeadings.at(row - 1);
    return text.isNull() ? QString::number(row) : text;
}

void TSpreadModel::SetRowHeading(int row, const QString &text)
{
    if (row < 1 || row > m_rows)
        return;
    m_rowHeadings[row - 1] = text.isNull() ? u""_s : text;
    Q_EMIT headerDataChanged(Qt::Vertical, row - 1, row - 1);
}

quint32 TSpreadModel::BackColor(int col, int row) const
{
    return Inside(col, row) ? Cell(col, row).Back : 0x00FFFFFFu;
}

void TSpreadModel::SetBackColor(const TSpreadBlock &block, quint32 bgr)
{
    const TSpreadBlock b = Clip(block);
    if (!b.IsValid())
        return;
    for (int r = b.Row1; r <= b.Row2; ++r)
        for (int c = b.Col1; c <= b.Col2; ++c) {
            Cell(c, r).Back = bgr & 0x00FFFFFFu;
            Cell(c, r).HasBack = true;
        }
    EmitChanged(b);
}

int TSpreadModel::Decimals(int col, int row) const
{
    return Inside(col, row) ? Cell(col, row).Decimals : -1;
}

void TSpreadModel::SetDecimals(const TSpreadBlock &block, int decimals)
{
    const TSpreadBlock b = Clip(block);
    if (!b.IsValid())
        return;
    const qint8 value = qint8(qBound(-1, decimals, 15));
    for (int r = b.Row1; r <= b.Row2; ++r)
        for (int c = b.Col1; c <= b.Col2; ++c)
            Cell(c, r).Decimals = value;
    EmitChanged(b);
}

TSpreadCellType TSpreadModel::CellType(int col, int row) const
{
    return Inside(col, row) ? Cell(col, row).Type : TSpreadCellType::Edit;
}

void TSpreadModel::SetCellType(const TSpreadBlock &block, TSpreadCellType type)
{
    const TSpreadBlock b = Clip(block);
    if (!b.IsValid())
        return;
    for (int r = b.Row1; r <= b.Row2; ++r)
        for (int c = b.Col1; c <= b.Col2; ++c) {
            TCell &cell = Cell(c, r);
            cell.Type = type;
            if (type == TSpreadCellType::CheckBox && cell.Text != u"1"_s)
                cell.Text.clear();
        }
    EmitChanged(b);
}

bool TSpreadModel::Locked(int col, int row) const
{
    return Inside(col, row) && Cell(col, row).Locked;
}

void TSpreadModel::SetLocked(const TSpreadBlock &block, bool locked)
{
    const TSpreadBlock b = Clip(block);
    if (!b.IsValid())
        return;
    for (int r = b.Row1; r <= b.Row2; ++r)
        for (int c = b.Col1; c <= b.Col2; ++c)
            Cell(c, r).Locked = locked;
    EmitChanged(b);
}

bool TSpreadModel::Numeric(int col, int row) const
{
    return Inside(col, row) && Cell(col, row).Numeric;
}

void TSpreadModel::SetNumeric(const TSpreadBlock &block, bool numeric)
{
    const TSpreadBlock b = Clip(block);
    if (!b.IsValid())
        return;
    for (int r = b.Row1; r <= b.Row2; ++r)
        for (int c = b.Col1; c <= b.Col2; ++c)
            Cell(c, r).Numeric = numeric;
    EmitChanged(b);
}

TSpreadBlock TSpreadModel::Clip(const TSpreadBlock &block) const
{
    TSpreadBlock b;
    b.Col1 = qMax(1, block.Col1);
    b.Row1 = qMax(1, block.Row1);
    b.Col2 = qMin(m_cols, block.Col2);
    b.Row2 = qMin(m_rows, block.Row2);
    return b;
}

void TSpreadModel::EmitChanged(const TSpreadBlock &block)
{
    Q_EMIT dataChanged(index(block.Row1 - 1, block.Col1 - 1), index(block.Row2 - 1, block.Col2 - 1));
}

// ---- view -------------------------------------------------------------------------------

TSpread::TSpread(QWidget *parent)
    : QTableView(parent)
    , m_model(new TSpreadModel(this))
{
    setModel(m_model);
    setItemDelegate(new TSpreadDelegate(this));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    // Fixed row heights keep a grid of a thousand rows as quick as a small one.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultSectionSize(64);
    connect(m_model, &TSpreadModel::UserChanged, this, &TSpread::Changed);
}

void TSpread::SetMaxCols(int cols)
{
    const bool old = std::exchange(m_programMove, true);
    m_model->Resize(cols, m_model->Rows());
    m_programMove = old;
}

void TSpread::SetMaxRows(int rows)
{
    const bool old = std::exchange(m_programMove, true);
    m_model->Resize(m_model->Cols(), rows);
    m_programMove = old;
}

QString TSpread::CellText(int col, int row) const
{
    if (row == 0)
        return m_model->ColHeading(col);
    if (col == 0)
        return m_model->RowHeading(row);
    return m_model->Text(col, row);
}

void TSpread::SetCellText(int col, int row, const QString &text)
{
    if (row == 0)
        m_model->SetColHeading(col, text);
    else if (col == 0)
        m_model->SetRowHeading(row, text);
    else
        m_model->SetText(col, row, text);
}

void TSpread::ClearAll()
{
    m_model->ClearTexts(AllCells());
}

void TSpread::ClearRows(int firstRow, int lastRow)
{
    m_model->ClearTexts({1, firstRow, MaxCols(), lastRow});
}

void TSpread::SetColWidth(int col, int width)
{
    if (col == 0) {
        verticalHeader()->setVisible(width > 0);
        if (width > 0)
            verticalHeader()->setFixedWidth(width);
        return;
    }
    if (col < 1 || col > MaxCols())
        return;
    if (width <= 0) {
        setColumnHidden(col - 1, true);
        return;
    }
    setColumnHidden(col - 1, false);
    setColumnWidth(col - 1, width);
}

int TSpread::ColWidth(int col) const
{
    if (col == 0)
        return verticalHeader()->isVisible() ? verticalHeader()->width() : 0;
    if (col < 1 || col > MaxCols() || isColumnHidden(col - 1))
        return 0;
    return columnWidth(col - 1);
}

void TSpread::SetRowHeight(int height)
{
    verticalHeader()->setDefaultSectionSize(height);
}

void TSpread::SetHeadingHeight(int height)
{
    horizontalHeader()->setFixedHeight(height);
}

void TSpread::SetColHeadersVisible(bool visible)
{
    horizontalHeader()->setVisible(visible);
}

TSpreadBlock TSpread::AllCells() const
{
    return {1, 1, MaxCols(), MaxRows()};
}

TSpreadBlock TSpread::SelectedBlock() const
{
    const QItemSelection selection = selectionModel()->selection();
    TSpreadBlock block;
    for (const QItemSelectionRange &range : selection) {
        const TSpreadBlock part{range.left() + 1, range.top() + 1, range.right() + 1,
                                range.bottom() + 1};
        if (!block.IsValid()) {
            block = part;
            continue;
        }
        block.Col1 = qMin(block.Col1, part.Col1);
        block.Row1 = qMin(block.Row1, part.Row1);
        block.Col2 = qMax(block.Col2, part.Col2);
        block.Row2 = qMax(block.Row2, part.Row2);
    }
    if (!block.IsValid() && ActiveCol() >= 1 && ActiveRow() >= 1)
        block = {ActiveCol(), ActiveRow(), ActiveCol(), ActiveRow()};
    return block;
}

void TSpread::SetSelectedBlock(const TSpreadBlock &block)
{
    if (!block.IsValid() || block.Col2 > MaxCols() || block.Row2 > MaxRows())
        return;
    const QItemSelection selection(m_model->index(block.Row1 - 1, block.Col1 - 1),
                                   m_model->index(block.Row2 - 1, block.Col2 - 1));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

quint32 TSpread::CellBackColor(int col, int row) const
{
    return m_model->BackColor(col, row);
}

void TSpread::SetCellBackColor(int col, int row, quint32 bgr)
{
    m_model->SetBackColor({col, row, col, row}, bgr);
}

void TSpread::SetBlockBackColor(const TSpreadBlock &block, quint32 bgr)
{
    m_model->SetBackColor(block, bgr);
}

void TSpread::SetBlockDecimals(const TSpreadBlock &block, int decimals)
{
    m_model->SetDecimals(block, decimals);
}

int TSpread::CellDecimals(int col, int row) const
{
    return m_model->Decimals(col, row);
}

void TSpread::SetBlockCellType(const TSpreadBlock &block, TSpreadCellType type)
{
    m_model->SetCellType(block, type);
}

TSpreadCellType TSpread::CellType(int col, int row) const
{
    return m_model->CellType(col, row);
}

void TSpread::SetBlockLocked(const TSpreadBlock &block, bool locked)
{
    m_model->SetLocked(block, locked);
}

void TSpread::SetBlockNumeric(const TSpreadBlock &block, bool numeric)
{
    m_model->SetNumeric(block, numeric);
}

bool TSpread::HalfWidthCell(int col, int row)
{
    const QString text = m_model->Text(col, row);
    const QString half = HalfWidthNumberText(text);
    if (half == text)
        return false;
    m_model->SetText(col, row, half);
    return true;
}

int TSpread::ActiveCol() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() + 1 : 0;
}

int TSpread::ActiveRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void TSpread::SetActiveCell(int col, int row)
{
    if (col < 1 || row < 1 || col > MaxCols() || row > MaxRows())
        return;
    const bool old = std::exchange(m_programMove, true);
    const QModelIndex index = m_model->index(row - 1, col - 1);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
    m_programMove = old;
}

void TSpread::InsertRow()
{
    m_model->ShiftRows(ActiveRow(), +1);
}

void TSpread::DeleteRow()
{
    m_model->ShiftRows(ActiveRow(), -1);
}

QString TSpread::SelectionText() const
{
    const TSpreadBlock block = SelectedBlock();
    if (!block.IsValid())
        return QString();
    QString text;
    for (int r = block.Row1; r <= block.Row2; ++r) {
        QStringList fields;
        for (int c = block.Col1; c <= block.Col2; ++c)
            fields << m_model->Text(c, r);
        text += fields.join(u'\t') + u'\n';
    }
    return text;
}

void TSpread::ClipboardCopy()
{
    QApplication::clipboard()->setText(SelectionText());
}

void TSpread::PasteText(const QString &text)
{
    if (ActiveCol() < 1 || ActiveRow() < 1 || text.isEmpty())
        return;
    QString plain = text;
    plain.remove(u'\r');
    QStringList lines = plain.split(u'\n');
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    QList<QStringList> texts;
    int width = 0;
    QString notice;
    for (const QString &line : std::as_const(lines)) {
        texts << line.split(u'\t');
        width = qMax(width, int(texts.last().size()));
        for (qsizetype i = 0; i < texts.last().size(); ++i) {
            if (const int maxBytes = ColMaxBytes(ActiveCol() + int(i)))
                texts.last()[i] = FitToBytes(texts.last().at(i), maxBytes, &notice);
        }
    }
    if (!notice.isEmpty())
        ShowInputNotice(viewport(), notice);
    const TSpreadBlock block{ActiveCol(), ActiveRow(), ActiveCol() + width - 1,
                             ActiveRow() + int(texts.size()) - 1};
    m_model->SetTexts(block, texts);
    const TSpreadBlock landed = m_model->Clip(block);
    if (landed.IsValid())
        Q_EMIT Pasted(landed.Col1, landed.Row1, landed.Col2, landed.Row2);
}

void TSpread::SetColMaxBytes(int col, int maxBytes)
{
    if (maxBytes > 0)
        m_maxBytes.insert(col, maxBytes);
    else
        m_maxBytes.remove(col);
}

void TSpread::ClipboardPaste()
{
    PasteText(QApplication::clipboard()->text());
}

int TSpread::FirstVisibleCol() const
{
    const int logical = columnAt(0);
    return logical < 0 ? 0 : logical + 1;
}

void TSpread::SetFirstVisibleCol(int col)
{
    if (col < 1 || col > MaxCols())
        return;
    horizontalScrollBar()->setValue(horizontalHeader()->sectionPosition(col - 1));
}

void TSpread::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_programMove || !current.isValid() || !previous.isValid() || current == previous)
        return;
    Q_EMIT LeaveCell(previous.column() + 1, previous.row() + 1, current.column() + 1,
                     current.row() + 1);
}

void TSpread::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    switch (hint) {
    case QAbstractItemDelegate::SubmitModelCache: // Enter
        MoveAfterEnter();
        break;
    case QAbstractItemDelegate::EditNextItem:
    case QAbstractItemDelegate::EditPreviousItem: {
        const int step = hint == QAbstractItemDelegate::EditNextItem ? 1 : -1;
        const int col = NextVisibleCol(ActiveCol(), step);
        if (col > 0)
            setCurrentIndex(m_model->index(ActiveRow() - 1, col - 1));
        break;
    }
    default:
        break;
    }
}

int TSpread::NextVisibleCol(int col, int step) const
{
    for (int c = col + step; c >= 1 && c <= MaxCols(); c += step)
        if (!isColumnHidden(c - 1))
            return c;
    return 0;
}

void TSpread::MoveAfterEnter()
{
    int col = ActiveCol();
    int row = ActiveRow();
    if (col < 1 || row < 1)
        return;
    switch (m_enterDirection) {
    case TSpreadEnterDirection::None:
        return;
    case TSpreadEnterDirection::Up:
        row = qMax(1, row - 1);
        break;
    case TSpreadEnterDirection::Down:
        row = qMin(MaxRows(), row + 1);
        break;
    case TSpreadEnterDirection::Next: {
        const int next = NextVisibleCol(col, 1);
        if (next > 0) {
            col = next;
        } else if (row < MaxRows()) {
            const int first = NextVisibleCol(0, 1);
            if (first > 0) {
                col = first;
                ++row;
            }
        }
        break;
    }
    case TSpreadEnterDirection::Previous: {
        const int previous = NextVisibleCol(col, -1);
        if (previous > 0) {
            col = previous;
        } else if (row > 1) {
            const int last = NextVisibleCol(MaxCols() + 1, -1);
            if (last > 0) {
                col = last;
                --row;
            }
        }
        break;
    }
    }
    const QModelIndex target = m_model->index(row - 1, col - 1);
    if (target != currentIndex())
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
}

void TSpread::ClearSelectionByUser()
{
    const TSpreadBlock block = SelectedBlock();
    if (!block.IsValid())
        return;
    for (int r = block.Row1; r <= block.Row2; ++r)
        for (int c = block.Col1; c <= block.Col2; ++c)
            if (CellType(c, r) == TSpreadCellType::Edit)
                m_model->setData(m_model->index(r - 1, c - 1), QString(), Qt::EditRole);
}

void TSpread::keyPressEvent(QKeyEvent *event)
{
    if (state() != QAbstractItemView::EditingState) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            MoveAfterEnter();
            event->accept();
            return;
        }
        if (event->matches(QKeySequence::Copy)) {
            ClipboardCopy();
            event->accept();
            return;
        }
        if (event->matches(QKeySequence::Paste)) {
            ClipboardPaste();
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
            ClearSelectionByUser();
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void TSpread::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        if (index.isValid())
            Q_EMIT RightClick(index.column() + 1, index.row() + 1);
        event->accept();
        return;
    }
    m_selecting = event->button() == Qt::LeftButton && index.isValid();
    m_buttonPressed = QModelIndex();
    if (m_selecting && CellType(index.column() + 1, index.row() + 1) == TSpreadCellType::Button)
        m_buttonPressed = index;
    QTableView::mousePressEvent(event);
}

void TSpread::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (m_buttonPressed.isValid() && index == m_buttonPressed)
        Q_EMIT ButtonClicked(index.column() + 1, index.row() + 1);
    m_buttonPressed = QModelIndex();
    if (!std::exchange(m_selecting, false))
        return;
    const TSpreadBlock block = SelectedBlock();
    if (block.IsValid() && (block.Col1 != block.Col2 || block.Row1 != block.Row2))
        Q_EMIT BlockSelected(block.Col1, block.Row1, block.Col2, block.Row2);
}

void TSpread::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid())
        Q_EMIT DblClick(index.column() + 1, index.row() + 1);
    QTableView::mouseDoubleClickEvent(event);
}
