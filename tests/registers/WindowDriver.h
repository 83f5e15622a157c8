#pragma once

// Drives register windows as a user would: activation, combo drop-downs, modal boxes and
// pickers answered from a timer.

#include "app/fListBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace WindowDriver {

inline void Activate(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QTRY_VERIFY(window->isActiveWindow());
}

// Calls Answer(modal widget) once a modal window other than Except is up.
template <typename F>
void WhenModal(F answer, QWidget *except = nullptr)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer, except] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == except || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}

// Answers the next message box with Button; its text goes to *Text.
inline void AnswerBox(QMessageBox::StandardButton button, QString *text = nullptr, QString *title = nullptr)
{
    WhenModal([button, text, title](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return;
        if (text)
            *text = box->text();
        if (title)
            *title = box->windowTitle();
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    });
}

// Chooses Item in the next list picker (none when empty) and presses OK; its caption and
// items go to *Caption and *Items.
inline void AnswerPicker(const QString &item, QString *caption = nullptr, QStringList *items = nullptr)
{
    WhenModal([item, caption, items](QWidget *modal) {
        auto *picker = qobject_cast<TfrmListBox *>(modal);
        if (!picker)
            return;
        if (caption)
            *caption = picker->windowTitle();
        if (items) {
            items->clear();
            for (int i = 0; i < picker->ListBox1->count(); ++i)
                items->append(picker->ListBox1->item(i)->text());
        }
        picker->ListBox1->clearSelection();
        const auto found = picker->ListBox1->findItems(item, Qt::MatchExactly);
        if (!item.isEmpty() && !found.isEmpty()) {
            const QRect r = picker->ListBox1->visualItemRect(found.first());
            QTest::mouseClick(picker->ListBox1->viewport(), Qt::LeftButton, {}, r.center());
        }
        QTest::mouseClick(picker->Button1, Qt::LeftButton);
    });
}

// Opens the combo's drop-down (which refills it), chooses Item with the keyboard and
// returns the items it offered.
inline QStringList ChooseInCombo(QComboBox *combo, const QString &item)
{
    combo->showPopup();
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    const int index = combo->findText(item);
    if (index < 0) {
        combo->hidePopup();
        return items;
    }
    QAbstractItemView *view = combo->view();
    view->setCurrentIndex(combo->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
    return items;
}

// Types Text key by key; QTest::keyClicks takes ASCII only.
inline void Type(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

inline QStringList Items(const QListWidget *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

inline void SelectRow(QListWidget *list, int row)
{
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

} // namespace WindowDriver
