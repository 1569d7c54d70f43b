#pragma once
// The data grid of the registration screens: a table model over a RecordSet, its
// cell drawing and editors, and the view that keeps the record set's cursor on
// the grid's current row.
#include <QAbstractTableModel>
#include <QColor>
#include <QStyledItemDelegate>
#include <QTableView>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/recordset.h"

namespace tcese::screens {

// A colour in the 00BBGGRR numbering the screens' colours are given in.
constexpr QRgb rgbFromBgr(std::uint32_t bgr) {
    return qRgb(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

inline constexpr QRgb kOddRowColour = rgbFromBgr(14936279);   // light grey-green
inline constexpr QRgb kSelectedColour = rgbFromBgr(6737151);  // light orange

// How a data cell is being drawn.
struct CellState {
    bool selected = false;
    bool focused = false;
};

struct CellStyle {
    QColor background;
    QColor text;
    bool bold = false;
};

// Black text; odd record numbers grey-green, even ones the window background
// (`base`); a selected or focused cell light orange.
CellStyle stripedCellStyle(int recNo, CellState state, const QColor& base);

// The cell text of a value: NULL empty, dates "dd/mm/yyyy", numbers with a decimal
// comma (a decimal with its declared decimals).
QString cellText(const FieldDef& def, const Value& v);

struct GridColumn {
    std::string field;
    QString title;
    int maxLength = 0;  // characters a cell takes; 0: as many as the field holds
};

class RecordSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordSetModel(std::vector<GridColumn> columns, QObject* parent = nullptr);

    // nullptr detaches the grid (no rows). The record set must outlive the model or be detached.
    void setRecordSet(RecordSet* rs);
    RecordSet* recordSet() const { return rs_; }
    // Rows, values or fields changed behind the model.
    void refresh();

    void setEditable(bool on) { editable_ = on; }
    bool editable() const { return editable_; }

    // The row of the record set's current record (the row being appended counts), -1 without one.
    int currentRow() const;
    // Moves the cursor to `row`, posting a pending edit first; a failed post emits
    // dataError and leaves the cursor where it was.
    bool moveTo(int row);
    // The field of a column, nullptr when the record set lacks it.
    const FieldDef* fieldDef(int column) const;
    // The most characters a cell of `column` takes: the column's own limit, else the
    // field's (a text's width, the digits of a number, a date's ten); 0 for no limit.
    int maxLength(int column) const;
    // The message of an error for the user: a field named by its column title.
    QString errorText(const std::exception& e) const;
    // A value a save would write that is wider than its column takes (one already
    // stored that way is shown whole and never cut) or holds a character that
    // Windows-1252 lacks, as a message naming the column; empty when every value
    // can be written. `changedOnly`: only rows with changes (a database apply writes
    // no others).
    QString valueError(bool changedOnly) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Puts the record in edit mode (appends one into an empty table) and converts the
    // text by the field's type; empty text is NULL. A text that does not convert, or
    // is longer than maxLength, emits dataError and keeps the old value; the old value
    // given back unchanged is no change, however wide.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void dataError(const QString& message);

private:
    int fieldIndexOf(int column) const;
    void mapColumns();

    std::vector<GridColumn> columns_;
    std::vector<int> fieldIndex_;  // per column, -1 when absent
    RecordSet* rs_ = nullptr;
    bool editable_ = false;
};

// Cell drawing with a screen's colours and line editors that take no more than the column does.
class RecordSetDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using DrawColumnCell = std::function<CellStyle(const QModelIndex&, CellState)>;
    explicit RecordSetDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}
    void setDrawColumnCell(DrawColumnCell f) { draw_ = std::move(f); }
    // The style of a cell in the given state (the default drawing when none is set).
    CellStyle cellStyle(const QModelIndex& index, CellState state) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Room for the text as it is drawn (bold included).
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    DrawColumnCell draw_;
};

// The grid: one cell selected at a time; moving to another row moves the record
// set's cursor (posting a pending edit, as a data grid does).
class RecordSetView : public QTableView {
    Q_OBJECT
public:
    explicit RecordSetView(QWidget* parent = nullptr);
    void setRecordSetModel(RecordSetModel* model);
    RecordSetModel* recordSetModel() const { return model_; }
    RecordSetDelegate* delegate() const { return delegate_; }

    // Grid editable (edit mode) or read-only (browse mode).
    void setEditing(bool on);
    // Writes an open cell editor into the record (as posting a record does).
    void finishEditing();
    // Closes an open cell editor without writing it.
    void cancelEditing();
    // The current cell on the record set's current row, in the column last used (after a reload).
    void followCursor();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    QWidget* openEditor() const;

    RecordSetModel* model_ = nullptr;
    RecordSetDelegate* delegate_ = nullptr;
    int column_ = 0;  // survives the resets of the model
};

}  // namespace tcese::screens
