#pragma once
// Every modal message of the program goes through one MessageSink, so tests
// can replace the boxes with a recorder.
#include <QString>

#include "engine/observer.h"

class QWidget;

namespace tcese::app {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // A modal box with the kind's caption and icon. `text` may hold "\r" line
    // breaks; `detail` (may be empty) goes under a "details" button.
    virtual void show(QWidget* parent, MessageKind kind, const QString& text, const QString& detail = {});
    // An information box under its own caption: some success boxes say "Atenção".
    virtual void inform(QWidget* parent, const QString& caption, const QString& text);
    // A Yes/No question with No as the default button; true only for an explicit
    // Yes, so Escape or closing the box changes nothing.
    virtual bool ask(QWidget* parent, const QString& caption, const QString& text);
};

// "\r" and "\r\n" as the line breaks of a Qt label.
QString messageText(const QString& text);

}  // namespace tcese::app
