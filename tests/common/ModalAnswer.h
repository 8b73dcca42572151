#pragma once
// Answers the next modal message box that a test provokes, and remembers its text.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <memory>

class ModalAnswer {
public:
    explicit ModalAnswer(QMessageBox::StandardButton button) : button_(button) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            // Another answer may be waiting for a box with other buttons.
            if (!box || !box->button(button_))
                return;
            texts_ << box->text();
            informativeTexts_ << box->informativeText();
            timer_.stop();
            box->button(button_)->click();
            if (--remaining_ > 0)
                timer_.start();
        });
        timer_.start();
    }
    // Answer this many boxes before stopping.
    ModalAnswer& Times(int n) {
        remaining_ = n;
        return *this;
    }
    int Count() const { return int(texts_.size()); }
    QString Text() const { return texts_.value(0); }
    QStringList Texts() const { return texts_; }
    QString InformativeText() const { return informativeTexts_.value(0); }

private:
    QMessageBox::StandardButton button_;
    QTimer timer_;
    QStringList texts_;
    QStringList informativeTexts_;
    int remaining_ = 1;
};
