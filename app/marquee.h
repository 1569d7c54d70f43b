#pragma once
// A status-bar pane whose text scrolls from right to left.
#include <QTimer>
#include <QWidget>

namespace tcese::app {

class Marquee : public QWidget {
    Q_OBJECT
public:
    explicit Marquee(const QString& text, int delayMs, QWidget* parent = nullptr);
    QString text() const { return text_; }
    int scrollDelay() const { return timer_.interval(); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void step();

    QString text_;
    QTimer timer_;
    int offset_ = 0;  // x of the text's left edge
};

}  // namespace tcese::app
