#pragma once
// Acts on a modal dialog from inside its exec(): the action runs once the event loop of the
// dialog is running, on the active modal widget, which must be a `Dialog`.

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

template <typename Dialog>
void WhenModalShown(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        act(*dialog);
    });
}
