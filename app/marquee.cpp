#include "app/marquee.h"

#include <QPainter>

namespace tcese::app {

Marquee::Marquee(const QString& text, int delayMs, QWidget* parent) : QWidget(parent), text_(text) {
    timer_.setInterval(delayMs);
    connect(&timer_, &QTimer::timeout, this, &Marquee::step);
    timer_.start();
    offset_ = 0;
}

QSize Marquee::sizeHint() const {
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(text_) + 40, fm.height() + 4};
}

void Marquee::step() {
    if (!isVisible()) return;
    const int textWidth = fontMetrics().horizontalAdvance(text_);
    offset_ -= 1;
    if (offset_ < -textWidth) offset_ = width();
    update();
}

void Marquee::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(rect().adjusted(offset_, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text_);
}

}  // namespace tcese::app
