#include "app/messagesink.h"

#include <QMessageBox>

namespace tcese::app {

QString messageText(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

void MessageSink::show(QWidget* parent, MessageKind kind, const QString& text, const QString& detail) {
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (kind) {
        case MessageKind::Warning: icon = QMessageBox::Warning; break;
        case MessageKind::Error: icon = QMessageBox::Critical; break;
        case MessageKind::Info: icon = QMessageBox::Information; break;
    }
    QMessageBox box(icon, QString::fromUtf8(messageCaption(kind)), messageText(text), QMessageBox::Ok, parent);
    if (!detail.isEmpty()) box.setDetailedText(detail);
    box.exec();
}

void MessageSink::inform(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Information, caption, messageText(text), QMessageBox::Ok, parent);
    box.exec();
}

bool MessageSink::ask(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, messageText(text), QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace tcese::app
