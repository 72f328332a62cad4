// Helpers for window tests on the offscreen platform: the main window on a test context, finding
// controls by name, triggering menu commands and answering modal windows that a command opens.
#pragma once

#include "support/test_context.h"
#include "ui/app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace orvenix::test {

// The named child of a window, with a test failure when it is missing.
template <typename T> T* Child(QObject* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << "no control named " << name;
    return child;
}

// The texts of the named text boxes (names apart by spaces), joined by '|'.
inline QString BoxTexts(QObject* parent, const QString& names) {
    QStringList texts;
    for (const QString& name : names.split(' ', Qt::SkipEmptyParts)) // a missing box is left out
        if (auto* box = Child<QLineEdit>(parent, name.toLatin1().constData())) texts << box->text();
    return texts.join('|');
}

// Whether each named control (names apart by spaces) is enabled ('1') or not ('0'), in order.
inline std::string EnabledFlags(QObject* parent, const QString& names) {
    std::string flags;
    for (const QString& name : names.split(' ', Qt::SkipEmptyParts)) // a missing control is left out
        if (auto* w = Child<QWidget>(parent, name.toLatin1().constData()))
            flags += w->isEnabled() ? '1' : '0';
    return flags;
}

// Runs `handler` on the first modal window that opens within the time limit (a command's window or a
// box). Call before the command that opens it; the handler must close the window.
inline void WhenModalOpens(std::function<void(QWidget*)> handler, int timeoutMs = 5000) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout,
                     [timer, handler = std::move(handler), deadline = QDeadlineTimer(timeoutMs)] {
                         QWidget* modal = QApplication::activeModalWidget();
                         if (modal == nullptr && !deadline.hasExpired()) return;
                         timer->stop();
                         timer->deleteLater();
                         if (modal == nullptr) ADD_FAILURE() << "no modal window opened";
                         if (modal != nullptr) handler(modal);
                     });
    timer->start();
}

// While it lives, closes (rejects) every modal window that opens, as a user pressing Cancel would: for
// tests of the command flow around windows that are tested elsewhere.
class ModalCloser {
  public:
    ModalCloser() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) return;
            closed.push_back(modal->objectName());
            QMetaObject::invokeMethod(modal, qobject_cast<QDialog*>(modal) != nullptr ? "reject" : "close");
        });
        timer_.start();
    }
    QStringList closed; // object names of the windows closed, in order

  private:
    QTimer timer_;
};

// The main window built on a TestContext (scripted dialogs, settings in memory, temporary history) and
// started, as the program does.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        StartWindow();
    }

    void TearDown() override {
        if (window) {
            t.set->modified = false; // the window is closing for the test, not for the user
            window->close();
            window.reset();
        }
    }

    void StartWindow() {
        window = std::make_unique<MainWindow>(t.ctx, t.options);
        t.RecordStatus();
        window->Start();
    }

    // Runs a menu command as the user does, through its menu item.
    void Trigger(const char* actionName) {
        if (QAction* action = Child<QAction>(window.get(), actionName)) action->trigger();
    }

    QString Text(const char* name) {
        auto* box = Child<QLineEdit>(window.get(), name);
        return box != nullptr ? box->text() : QString("<missing %1>").arg(name);
    }

    TestContext t;
    std::unique_ptr<MainWindow> window;
};

} // namespace orvenix::test
