#include "screens/recordsetmodel.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>

#include <algorithm>

#include "config/encoding.h"

namespace tcese::screens {

namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

bool isNumeric(FieldType t) {
    switch (t) {
        case FieldType::Int16:
        case FieldType::Int32:
        case FieldType::Int64:
        case FieldType::Float:
        case FieldType::Fixed:
        case FieldType::FixedFMT:
            return true;
        default:
            return false;
    }
}

}  // namespace

CellStyle stripedCellStyle(int recNo, CellState state, const QColor& base) {
    CellStyle s;
    s.text = Qt::black;
    s.background = (recNo % 2 != 0) ? QColor(kOddRowColour) : base;
    if (state.selected || state.focused) s.background = QColor(kSelectedColour);
    return s;
}

QString cellText(const FieldDef& def, const Value& v) {
    if (isNull(v)) return {};
    std::string text;
    if (const Decimal* d = std::get_if<Decimal>(&v); d && def.decimals > 0) {
        text = d->toFixed(std::clamp(def.decimals, 0, 4));
    } else {
        text = valueToText(v);
    }
    if (def.type == FieldType::Float || def.type == FieldType::Fixed || def.type == FieldType::FixedFMT)
        std::replace(text.begin(), text.end(), '.', ',');
    return qs(text);
}

// ---- RecordSetModel -------------------------------------------------------

RecordSetModel::RecordSetModel(std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {
    fieldIndex_.assign(columns_.size(), -1);
}

void RecordSetModel::mapColumns() {
    for (std::size_t c = 0; c < columns_.size(); ++c) fieldIndex_[c] = rs_ ? rs_->fieldIndex(columns_[c].field) : -1;
}

void RecordSetModel::setRecordSet(RecordSet* rs) {
    beginResetModel();
    rs_ = rs;
    mapColumns();
    endResetModel();
}

void RecordSetModel::refresh() { setRecordSet(rs_); }

int RecordSetModel::fieldIndexOf(int column) const {
    if (column < 0 || column >= static_cast<int>(fieldIndex_.size())) return -1;
    return fieldIndex_[static_cast<std::size_t>(column)];
}

const FieldDef* RecordSetModel::fieldDef(int column) const {
    const int f = fieldIndexOf(column);
    return f < 0 ? nullptr : &rs_->fields()[static_cast<std::size_t>(f)];
}

int RecordSetModel::maxLength(int column) const {
    if (column >= 0 && column < static_cast<int>(columns_.size()) && columns_[static_cast<std::size_t>(column)].maxLength > 0)
        return columns_[static_cast<std::size_t>(column)].maxLength;
    const FieldDef* def = fieldDef(column);
    if (!def) return 0;
    switch (def->type) {
        case FieldType::String: return def->width;
        case FieldType::Int16: return 6;   // -32768
        case FieldType::Int32: return 11;  // -2147483648
        case FieldType::Int64: return 20;
        case FieldType::Fixed:
        case FieldType::FixedFMT: return def->width > 0 ? def->width + 2 : 0;  // sign and comma
        case FieldType::Date: return 10;                                       // dd/mm/yyyy
        case FieldType::DateTime:
        case FieldType::SQLDateTime: return 19;  // dd/mm/yyyy hh:mm:ss
        case FieldType::Time: return 8;
        default: return 0;
    }
}

QString RecordSetModel::errorText(const std::exception& e) const {
    const auto* r = dynamic_cast<const RecordSetError*>(&e);
    if (!r || r->field().empty()) return QString::fromUtf8(e.what());
    for (const GridColumn& c : columns_) {
        if (iequals(c.field, r->field()))
            return qs(r->messageFor((QLatin1Char('"') + c.title + QLatin1Char('"')).toStdString()));
    }
    return QString::fromUtf8(e.what());
}

QString RecordSetModel::valueError(bool changedOnly) const {
    if (!rs_ || !rs_->active()) return {};
    const int current = rs_->mode() == RecordSet::Mode::Browse ? -1 : currentRow();
    for (int r = 0; r < rowCount(); ++r) {
        const bool changed = r == current || (r < rs_->recordCount() &&
                                              rs_->rows()[static_cast<std::size_t>(r)].state != RowState::Unchanged);
        if (changedOnly && !changed) continue;
        for (int c = 0; c < columnCount(); ++c) {
            const int max = maxLength(c);
            const QString text = data(index(r, c)).toString();
            const QString& title = columns_[static_cast<std::size_t>(c)].title;
            if (max > 0 && text.size() > max)
                return QStringLiteral("O campo \"%1\" aceita no máximo %2 caracteres e tem %3: \"%4\".")
                    .arg(title)
                    .arg(max)
                    .arg(text.size())
                    .arg(text);
            for (const char32_t cp : text.toUcs4()) {
                if (cp1252FromCodePoint(cp) >= 0) continue;
                return QStringLiteral("O campo \"%1\" tem o caractere \"%2\", que não pode ser gravado "
                                      "(não existe no Windows-1252 dos arquivos do TCE).")
                    .arg(title, QString::fromUcs4(&cp, 1));
            }
        }
    }
    return {};
}

int RecordSetModel::currentRow() const {
    if (!rs_ || !rs_->active()) return -1;
    if (rs_->mode() == RecordSet::Mode::Insert) return rs_->recordCount();
    return rs_->recordCount() == 0 ? -1 : rs_->recNo() - 1;
}

bool RecordSetModel::moveTo(int row) {
    if (!rs_ || !rs_->active()) return false;
    const int from = currentRow();
    if (row == from) return true;
    if (row < 0 || row >= rs_->recordCount()) return false;
    try {
        if (rs_->mode() != RecordSet::Mode::Browse) rs_->post();
        rs_->setRecNo(row + 1);
    } catch (const std::exception& e) {
        emit dataError(errorText(e));
        return false;
    }
    if (from >= 0) emit dataChanged(index(from, 0), index(from, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    return true;
}

int RecordSetModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !rs_ || !rs_->active()) return 0;
    return rs_->recordCount() + (rs_->mode() == RecordSet::Mode::Insert ? 1 : 0);
}

int RecordSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RecordSetModel::data(const QModelIndex& index, int role) const {
    const int f = fieldIndexOf(index.column());
    if (!index.isValid() || f < 0 || index.row() >= rowCount()) return {};
    const FieldDef& def = rs_->fields()[static_cast<std::size_t>(f)];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: {
            // The record being edited shows its pending values.
            const bool pending = rs_->mode() != RecordSet::Mode::Browse && index.row() == currentRow();
            return cellText(def, pending ? rs_->field(f).value() : rs_->valueAt(index.row(), f));
        }
        case Qt::TextAlignmentRole:
            return isNumeric(def.type) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                       : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant RecordSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= static_cast<int>(columns_.size())) return {};
        return columns_[static_cast<std::size_t>(section)].title;
    }
    // The record indicator: current row, being edited, being appended.
    if (section != currentRow()) return QString();
    switch (rs_->mode()) {
        case RecordSet::Mode::Browse: return QStringLiteral("\u25B6");
        case RecordSet::Mode::Edit: return QStringLiteral("I");
        case RecordSet::Mode::Insert: return QStringLiteral("*");
    }
    return {};
}

Qt::ItemFlags RecordSetModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable_ && fieldIndexOf(index.column()) >= 0) f |= Qt::ItemIsEditable;
    return f;
}

bool RecordSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int f = fieldIndexOf(index.column());
    if (role != Qt::EditRole || !editable_ || f < 0 || !index.isValid()) return false;
    if (!moveTo(index.row())) return false;
    const QString text = value.toString();
    if (const int max = maxLength(index.column()); max > 0 && text.size() > max) {
        // A value stored wider than its column comes back from its editor as it was.
        if (text == data(index, Qt::EditRole).toString()) return true;
        // An editor stops at the limit; a value that comes another way is refused here.
        emit dataError(QStringLiteral("O campo \"%1\" aceita no máximo %2 caracteres.")
                           .arg(columns_[static_cast<std::size_t>(index.column())].title)
                           .arg(max));
        return false;
    }
    const int before = rowCount();
    try {
        if (rs_->mode() == RecordSet::Mode::Browse) {
            if (rs_->recordCount() == 0) {
                rs_->append();
            } else {
                rs_->edit();
            }
        }
        Field field = rs_->field(f);
        if (text.isEmpty()) {
            field.setNull();
        } else {
            field.setAsString(text.toStdString());
        }
    } catch (const std::exception& e) {
        emit dataError(errorText(e));
        return false;
    }
    if (rowCount() != before) {
        refresh();
    } else {
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, index.row(), index.row());
    }
    return true;
}

// ---- RecordSetDelegate ----------------------------------------------------

CellStyle RecordSetDelegate::cellStyle(const QModelIndex& index, CellState state) const {
    if (draw_) return draw_(index, state);
    const QPalette pal = QApplication::palette();
    CellStyle s;
    s.background = state.selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base);
    s.text = state.selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text);
    return s;
}

void RecordSetDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const CellState state{(opt.state & QStyle::State_Selected) != 0, (opt.state & QStyle::State_HasFocus) != 0};
    const CellStyle s = cellStyle(index, state);
    // Our colours replace the style's selection colours and its tinted focus frame.
    opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    opt.backgroundBrush = s.background;
    opt.palette.setColor(QPalette::Text, s.text);
    opt.palette.setColor(QPalette::HighlightedText, s.text);
    if (s.bold) opt.font.setBold(true);
    const QWidget* w = opt.widget;
    QStyle* style = w ? w->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
}

QSize RecordSetDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt(option);
    if (cellStyle(index, {}).bold) opt.font.setBold(true);
    return QStyledItemDelegate::sizeHint(opt, index);
}

QWidget* RecordSetDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    if (const auto* m = qobject_cast<const RecordSetModel*>(index.model())) {
        // A value already wider than its column is shown whole, never cut by its editor.
        if (const int max = m->maxLength(index.column()); max > 0)
            edit->setMaxLength(std::max(max, static_cast<int>(m->data(index, Qt::EditRole).toString().size())));
        edit->setAlignment(Qt::Alignment(m->data(index, Qt::TextAlignmentRole).toInt()));
    }
    return edit;
}

// ---- RecordSetView --------------------------------------------------------

RecordSetView::RecordSetView(QWidget* parent) : QTableView(parent) {
    delegate_ = new RecordSetDelegate(this);
    setItemDelegate(delegate_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void RecordSetView::setRecordSetModel(RecordSetModel* model) {
    model_ = model;
    setModel(model);
}

void RecordSetView::setEditing(bool on) {
    if (model_) model_->setEditable(on);
    setEditTriggers(on ? (QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                          QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed)
                       : QAbstractItemView::NoEditTriggers);
}

QWidget* RecordSetView::openEditor() const {
    if (state() != QAbstractItemView::EditingState) return nullptr;
    return indexWidget(currentIndex());
}

void RecordSetView::finishEditing() {
    if (QWidget* editor = openEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void RecordSetView::cancelEditing() {
    if (QWidget* editor = openEditor()) closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void RecordSetView::followCursor() {
    if (!model_) return;
    const int row = model_->currentRow();
    if (row < 0) return;
    setCurrentIndex(model_->index(row, std::clamp(column_, 0, std::max(model_->columnCount() - 1, 0))));
}

void RecordSetView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The editor of the previous cell is written first, into the record it belongs to.
    QTableView::currentChanged(current, previous);
    if (current.isValid()) column_ = current.column();
    if (!model_ || !current.isValid() || current.row() == model_->currentRow()) return;
    if (!model_->moveTo(current.row())) {
        // The record could not be posted: the grid stays on it.
        QTimer::singleShot(0, this, [this] { followCursor(); });
    }
}

}  // namespace tcese::screens
