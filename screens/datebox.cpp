#include "screens/datebox.h"

#include <QAction>
#include <QCalendarWidget>
#include <QDate>
#include <QStyle>

namespace tcese::screens {

DateBox::DateBox(QWidget* parent) : QLineEdit(parent) {
    setInputMask(QStringLiteral("99/99/9999;_"));
    setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 48);
    QAction* pick = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    pick->setToolTip(QStringLiteral("Calendário"));
    connect(pick, &QAction::triggered, this, &DateBox::showCalendar);
}

bool DateBox::isBlank() const {
    for (QChar c : text())
        if (c.isDigit()) return false;
    return true;
}

std::optional<Date> DateBox::date() const {
    if (isBlank()) return std::nullopt;
    const auto d = parseDateText(text().toStdString());
    if (!d || int(d->year()) < 1000) return std::nullopt;
    return d;
}

void DateBox::setDate(const std::optional<Date>& d) {
    if (!d) {
        clear();
        setCursorPosition(0);  // typing starts at the first digit of the mask
        return;
    }
    setText(QString::fromStdString(dateToText(*d)));
    setCursorPosition(0);
}

void DateBox::showCalendar() {
    if (!isEnabled() || isReadOnly()) return;
    if (!calendar_) {
        calendar_ = new QCalendarWidget(this);
        calendar_->setWindowFlags(Qt::Popup);
        calendar_->setGridVisible(true);
        connect(calendar_, &QCalendarWidget::clicked, this, [this](QDate picked) {
            setDate(makeDate(picked.year(), picked.month(), picked.day()));
            calendar_->hide();
            setFocus();
        });
    }
    if (const auto d = date())
        calendar_->setSelectedDate(QDate(int(d->year()), int(unsigned(d->month())), int(unsigned(d->day()))));
    else
        calendar_->setSelectedDate(QDate::currentDate());
    calendar_->move(mapToGlobal(QPoint(0, height())));
    calendar_->show();
}

}  // namespace tcese::screens
