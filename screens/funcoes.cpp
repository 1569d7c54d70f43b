#include "screens/funcoes.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>

namespace tcese::screens {

namespace {

bool isDataBound(const QWidget* w) { return !w->property(kDataFieldProperty).toString().isEmpty(); }
int tagOf(const QWidget* w) { return w->property(kTagProperty).toInt(); }

// The colour a control paints its content with (an item view: its cells).
void setBackground(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, c);
    w->setPalette(p);
}

QColor windowColour() { return QPalette().color(QPalette::Base); }
QColor buttonFace() { return QPalette().color(QPalette::Button); }

// The parts of a composite control (a grid's headers, a combo box's list, a spin
// box's editor) go with the control.
bool insideControl(const QWidget* w, const QWidget* form) {
    for (const QWidget* p = w->parentWidget(); p && p != form; p = p->parentWidget()) {
        if (qobject_cast<const QAbstractItemView*>(p) || qobject_cast<const QComboBox*>(p) ||
            qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QTextEdit*>(p) ||
            qobject_cast<const QPlainTextEdit*>(p))
            return true;
    }
    return false;
}

void clearText(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->clear();
    else if (auto* t = qobject_cast<QTextEdit*>(w)) t->clear();
    else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) p->clear();
}

void setMode(QWidget* form, bool edit) {
    if (!form) return;
    const QColor fieldColour = edit ? windowColour() : QColor(kLockedColour);
    // Children in creation order, nested ones included.
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (insideControl(w, form)) continue;
        const int tag = tagOf(w);
        const bool bound = isDataBound(w);
        const bool isMemo = qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w);

        // Date and time pickers are data controls whether bound or not.
        if ((bound && (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || isMemo)) ||
            qobject_cast<QDateTimeEdit*>(w)) {
            w->setEnabled(edit);
            setBackground(w, fieldColour);
        } else if (qobject_cast<QCheckBox*>(w)) {
            w->setEnabled(edit);
        } else if (bound && qobject_cast<QGroupBox*>(w)) {
            if (edit) w->setEnabled(true);
        } else if (isMemo) {
            if (tag == 99) continue;
            w->setEnabled(edit);
            setBackground(w, fieldColour);
            clearText(w);
        } else if (qobject_cast<QLineEdit*>(w)) {
            w->setEnabled(edit);
            setBackground(w, fieldColour);
            clearText(w);
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            w->setEnabled(edit);
            setBackground(w, fieldColour);
            if (!edit) combo->setCurrentIndex(-1);
        } else if (qobject_cast<QToolButton*>(w)) {
            w->setEnabled(edit);
        } else if (w->property(kNavigatorProperty).toBool()) {
            w->setEnabled(tag == 2 ? edit : !edit);
        } else if (qobject_cast<QAbstractItemView*>(w)) {
            if (tag == 2) {
                w->setEnabled(edit);
                setBackground(w, edit ? QColor(kGridColour) : buttonFace());
            } else {
                w->setEnabled(!edit);
                const bool cream = (tag == 55) == edit;
                setBackground(w, cream ? QColor(kGridColour) : buttonFace());
            }
        } else if (qobject_cast<QPushButton*>(w)) {
            if (w->property(kSelfManagedProperty).toBool()) continue;
            const QString name = w->objectName().toUpper();
            const bool dialogButton = name == QLatin1String("BTNOK") || name == QLatin1String("BTNCANCEL");
            const bool enabledInEdit = dialogButton ? tag != 2 : tag == 2;
            w->setEnabled(edit ? enabledInEdit : !enabledInEdit);
        }
    }
}

}  // namespace

void BloqueiaCampos(QWidget* form) { setMode(form, false); }

void LiberaCampos(QWidget* form) { setMode(form, true); }

QLabel* titlePanel(QWidget* parent, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QStringLiteral("pnTitulo"));
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor(0x00, 0x80, 0x80));
    p.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(p);
    QFont f = l->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    l->setFont(f);
    l->setContentsMargins(12, 10, 12, 10);
    return l;
}

QPushButton* actionButton(QWidget* parent, const char* name, const QString& caption, const QIcon& icon,
                          int minimumWidth) {
    auto* b = new QPushButton(icon, caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setDefault(false);
    if (minimumWidth > 0) b->setMinimumWidth(minimumWidth);
    return b;
}

}  // namespace tcese::screens
