#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <QTableView>
#include <QVector>

#include <functional>

// Colours are kept the way the defaults file and the settings store them: 0x00BBGGRR.
QColor ColorFromBgr(quint32 bgr);
quint32 BgrFromColor(const QColor &color);

// A rectangle of cells, columns and rows counted from 1, both ends included.
struct TSpreadBlock
{
    int Col1 = 0;
    int Row1 = 0;
    int Col2 = 0;
    int Row2 = 0;

    bool IsValid() const { return Col1 >= 1 && Row1 >= 1 && Col2 >= Col1 && Row2 >= Row1; }
    bool operator==(const TSpreadBlock &other) const = default;
};

enum class TSpreadCellType { Edit, CheckBox, Button, Static };
enum class TSpreadEditMode { Replace, Insert };
enum class TSpreadEnterDirection { None, Up, Down, Next, Previous };

// The cells of one grid: texts plus the per-cell settings the windows give.
class TSpreadModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSpreadModel)

public:
    explicit TSpreadModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void Resize(int cols, int rows);
    // The part of the block inside the cells.
    TSpreadBlock Clip(const TSpreadBlock &block) const;
    int Cols() const { return m_cols; }
    int Rows() const { return m_rows; }

    // Program access: no user-change signal.
    QString Text(int col, int row) const;
    void SetText(int col, int row, const QString &text);
    // Program writes between BeginUpdate and the matching EndUpdate announce themselves
    // once, as one changed block, instead of cell by cell (loading a record writes 12000).
    void BeginUpdate();
    void EndUpdate();
    void SetTexts(const TSpreadBlock &block, const QList<QStringList> &texts);
    // A program write of every cell of Block in one pass and one change notice: each cell
    // takes Text(col, row) as SetText would, and an empty text clears the cell.
    void FillTexts(const TSpreadBlock &block, const std::function<QString(int col, int row)> &text);
    void ClearTexts(const TSpreadBlock &block);
    // Moves the texts of rows From..Rows by Delta rows (+1 down, -1 up); the freed row empties.
    void ShiftRows(int from, int delta);

    QString ColHeading(int col) const;
    void SetColHeading(int col, const QString &text);
    QString RowHeading(int row) const;
    void SetRowHeading(int row, const QString &text);

    quint32 BackColor(int col, int row) const;
    void SetBackColor(const TSpreadBlock &block, quint32 bgr);
    int Decimals(int col, int row) const;
    void SetDecimals(const TSpreadBlock &block, int decimals);
    TSpreadCellType CellType(int col, int row) const;
    void SetCellType(const TSpreadBlock &block, TSpreadCellType type);
    bool Locked(int col, int row) const;
    void SetLocked(const TSpreadBlock &block, bool locked);
    // Cells meant for numbers show a text that is not one in red.
    bool Numeric(int col, int row) const;
    void SetNumeric(const TSpreadBlock &block, bool numeric);

Q_SIGNALS:
    // A cell's text was changed through the view (typing, a tick), never by the program.
    void UserChanged(int col, int row);

private:
    struct TCell
    {
        QString Text;
        quint32 Back = 0x00FFFFFF;
        bool HasBack = false;
        qint8 Decimals = -1;
        TSpreadCellType Type = TSpreadCellType::Edit;
        bool Locked = false;
        bool Numeric = false;
    };

    bool Inside(int col, int row) const { return col >= 1 && row >= 1 && col <= m_cols && row <= m_rows; }
    const TCell &Cell(int col, int row) const { return m_cells[(row - 1) * m_cols + (col - 1)]; }
    TCell &Cell(int col, int row) { return m_cells[(row - 1) * m_cols + (col - 1)]; }
    void EmitChanged(const TSpreadBlock &block);

    int m_updating = 0;
    TSpreadBlock m_updated; // cells changed while updating; invalid when none
    int m_cols = 0;
    int m_rows = 0;
    QVector<TCell> m_cells;
    QStringList m_colHeadings;
    QStringList m_rowHeadings;
};

// The grid control of every table on screen. Cells are addressed (column, row) from 1;
// column 0 and row 0 are the headings. Everything the program writes raises no signal;
// only what the user does is reported.
class TSpread final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSpread)

public:
    explicit TSpread(QWidget *parent = nullptr);

    void SetMaxCols(int cols);
    void SetMaxRows(int rows);
    int MaxCols() const { return m_model->Cols(); }
    int MaxRows() const { return m_model->Rows(); }

    // Row 0 reads and writes the column headings, column 0 the row headings.
    QString CellText(int col, int row) const;
    void SetCellText(int col, int row, const QString &text);
    void ClearAll();
    void ClearRows(int firstRow, int lastRow);

    // Width in pixels; 0 hides the column. Column 0 is the row-heading column.
    void SetColWidth(int col, int width);
    int ColWidth(int col) const;
    void SetRowHeight(int height);
    void SetHeadingHeight(int height);
    void SetColHeadersVisible(bool visible);

    TSpreadBlock AllCells() const;
    // The user's selected block, or the active cell when nothing is selected.
    TSpreadBlock SelectedBlock() const;
    void SetSelectedBlock(const TSpreadBlock &block);

    quint32 CellBackColor(int col, int row) const;
    void SetCellBackColor(int col, int row, quint32 bgr);
    void SetBlockBackColor(const TSpreadBlock &block, quint32 bgr);
    // Numbers in the block show with this many decimals; -1 shows the text as it is.
    void SetBlockDecimals(const TSpreadBlock &block, int decimals);
    int CellDecimals(int col, int row) const;
    // A check-box cell reads "1" when ticked and empty otherwise; a button cell shows its
    // text as the caption.
    void SetBlockCellType(const TSpreadBlock &block, TSpreadCellType type);
    TSpreadCellType CellType(int col, int row) const;
    void SetBlockLocked(const TSpreadBlock &block, bool locked);
    void SetBlockNumeric(const TSpreadBlock &block, bool numeric);
    // Typing and pasting into the column stop at MaxBytes Shift-JIS bytes; 0 lifts the limit.
    void SetColMaxBytes(int col, int maxBytes);
    int ColMaxBytes(int col) const { return m_maxBytes.value(col); }
    // Writes the half-width form of a typed value (full-width digits, sign, point); true
    // when the text changed. A program write: no change signal.
    bool HalfWidthCell(int col, int row);

    int ActiveCol() const;
    int ActiveRow() const;
    void SetActiveCell(int col, int row);

    TSpreadEditMode EditMode() const { return m_editMode; }
    void SetEditMode(TSpreadEditMode mode) { m_editMode = mode; }
    TSpreadEnterDirection EnterDirection() const { return m_enterDirection; }
    void SetEnterDirection(TSpreadEnterDirection direction) { m_enterDirection = direction; }

    // Row actions within the fixed row count, at the active row.
    void InsertRow();
    void DeleteRow();

    // Tab-separated texts, one line per row.
    QString SelectionText() const;
    void ClipboardCopy();
    // Pastes tab-separated text with its first cell at the active cell; whatever lies
    // beyond the grid's last column or row is dropped.
    void PasteText(const QString &text);
    void ClipboardPaste();

    int FirstVisibleCol() const;
    void SetFirstVisibleCol(int col);

    TSpreadModel *Model() const { return m_model; }

Q_SIGNALS:
    void Changed(int col, int row);
    // Texts pasted into the block, after they landed.
    void Pasted(int col1, int row1, int col2, int row2);
    void LeaveCell(int col, int row, int newCol, int newRow);
    void RightClick(int col, int row);
    void DblClick(int col, int row);
    void BlockSelected(int col1, int row1, int col2, int row2);
    void ButtonClicked(int col, int row);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void MoveAfterEnter();
    int NextVisibleCol(int col, int step) const;
    void ClearSelectionByUser();

    TSpreadModel *m_model;
    TSpreadEditMode m_editMode = TSpreadEditMode::Replace;
    TSpreadEnterDirection m_enterDirection = TSpreadEnterDirection::Down;
    bool m_programMove = false;
    bool m_selecting = false;
    QModelIndex m_buttonPressed;
    QHash<int, int> m_maxBytes; // by column
};
