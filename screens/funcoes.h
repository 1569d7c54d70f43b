#pragma once
// Browse mode and edit mode of a whole register form: one pass over the form's
// widgets that locks or unlocks each kind of control.
//
// Qt has no data-aware controls, so a widget counts as data-bound when it carries
// the property kDataFieldProperty (the field it shows). kTagProperty is the
// integer tag: 99 leaves a plain memo alone, 2 inverts a grid, navigator or
// button, 55 swaps a grid's colours. A widget with kNavigatorProperty set is the
// record navigator. Buttons with kSelfManagedProperty set are the screen's own
// action buttons, which the screen enables itself.
#include <QColor>
#include <QIcon>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace tcese::screens {

inline constexpr char kDataFieldProperty[] = "dataField";
inline constexpr char kTagProperty[] = "tag";
inline constexpr char kNavigatorProperty[] = "dbNavigator";
inline constexpr char kSelfManagedProperty[] = "selfManaged";

inline constexpr QRgb kLockedColour = qRgb(0xE8, 0xE8, 0xE8);  // 15263976, light grey
inline constexpr QRgb kGridColour = qRgb(0xEF, 0xEF, 0xE6);    // 15134703, pale cream

// Browse mode: data controls read-only and grey, grids and action buttons usable.
void BloqueiaCampos(QWidget* form);
// Edit mode: data controls usable, grids and action buttons locked.
void LiberaCampos(QWidget* form);

// The teal title band at the top of a register screen (object name "pnTitulo").
QLabel* titlePanel(QWidget* parent, const QString& text);

// A screen's action button; Enter in a grid or an edit never presses it.
QPushButton* actionButton(QWidget* parent, const char* name, const QString& caption, const QIcon& icon,
                          int minimumWidth = 110);

}  // namespace tcese::screens
