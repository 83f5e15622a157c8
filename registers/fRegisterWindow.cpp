#include "registers/fRegisterWindow.h"

#include "app/Errors.h"
#include "app/uDatabase.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWindow>

using namespace Qt::Literals::StringLiterals;

TRegisterWindow::TRegisterWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , MenuBar(new QMenuBar(this))
    , RootLayout(new QVBoxLayout(this))
{
    RootLayout->setMenuBar(MenuBar);
    // Once another window than ours has been in front, the next activation is the user's.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow *focus) {
        if (!m_backFromOwnWindow || !focus || focus == windowHandle())
            return;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->windowHandle() == focus) {
                if (!IsOwnWindow(top))
                    m_backFromOwnWindow = false;
                return;
            }
        }
        m_backFromOwnWindow = false;
    });
}

bool TRegisterWindow::IsOwnWindow(const QWidget *window) const
{
    for (const QWidget *w = window ? window->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (w == this)
            return true;
    }
    return false;
}

void TRegisterWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            if (m_backFromOwnWindow)
                m_backFromOwnWindow = false;
            else
                FormActivate();
        } else {
            // The window taking over is ours when this window is among its parents.
            m_backFromOwnWindow = IsOwnWindow(QApplication::activeWindow());
        }
    }
    QDialog::changeEvent(event);
}

QMenu *TRegisterWindow::AddMenu(const QString &title)
{
    return MenuBar->addMenu(title);
}

void TRegisterWindow::ShowError(const QString &message)
{
    QMessageBox::critical(this, u"ケルモ４"_s, message);
}

bool TRegisterWindow::Run(const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const EKelmoError &e) {
        ShowError(e.Message());
        return false;
    }
}

TDropDownComboBox::TDropDownComboBox(QWidget *parent)
    : QComboBox(parent)
{
}

void TDropDownComboBox::SetItemsKeepText(const QStringList &items)
{
    const QSignalBlocker blocker(this);
    const QString text = currentText();
    clear();
    addItems(items);
    if (isEditable()) {
        setCurrentIndex(-1);
        setEditText(text);
    } else {
        setCurrentIndex(findText(text));
    }
}

void TDropDownComboBox::showPopup()
{
    Q_EMIT DropDown();
    QComboBox::showPopup();
}

void LimitBytes(QLineEdit *edit, const TTableDef &def, const QString &field)
{
    if (const TFieldDef *f = def.Field(field))
        LimitBytes(edit, f->Size);
}

void InputMethodOff(QWidget *edit)
{
    edit->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
}

QMessageBox::StandardButton AskYesNoCancel(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QString(), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return QMessageBox::StandardButton(box.exec());
}

bool ConfirmDelete(QWidget *parent)
{
    QMessageBox box(QMessageBox::Warning, QString(), u"本当に削除しますか？"_s,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}
