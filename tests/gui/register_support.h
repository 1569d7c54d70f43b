#pragma once
// What the register screens' tests share: a message recorder that answers the
// questions as told, and a way to drive a modal dialog the screen opens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "app/messagesink.h"

namespace tcese::testing {

struct Shown {
    MessageKind kind;
    QString caption;  // for inform and ask
    QString text;
    QString detail;
    bool question = false;
};

class RecordingSink : public app::MessageSink {
public:
    void show(QWidget*, MessageKind kind, const QString& text, const QString& detail) override {
        shown.push_back({kind, {}, text, detail});
    }
    void inform(QWidget*, const QString& caption, const QString& text) override {
        shown.push_back({MessageKind::Info, caption, text, {}});
    }
    bool ask(QWidget*, const QString& caption, const QString& text) override {
        shown.push_back({MessageKind::Warning, caption, text, {}, true});
        return answer;
    }
    std::string texts() const {
        std::string s;
        for (const auto& m : shown) s += m.text.toStdString() + " | " + m.detail.toStdString() + "\n";
        return s;
    }

    std::vector<Shown> shown;
    bool answer = false;
};

// Types text key by key; letters outside ASCII (JOSÉ) go as key events carrying their text.
inline void typeText(QWidget* w, const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(w, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

// While a dialog of type D is open (modal), `act` drives it; whatever happens, it closes.
template <class D>
void whileModalOpen(std::function<void(D&)> act) {
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        if (d == nullptr) {
            ADD_FAILURE() << "the dialog is not open";
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
            return;
        }
        act(*d);
        if (d->isVisible()) d->reject();
    });
}

}  // namespace tcese::testing
