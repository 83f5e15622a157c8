#pragma once

#include "app/ByteLimit.h"

#include <QComboBox>
#include <QDialog>
#include <QMessageBox>

#include <functional>

class QLineEdit;
class QMenu;
class QMenuBar;
class QVBoxLayout;
class TTableDef;

// What the register windows share: a menu bar over the window's own layout, and an
// activation handler that runs when the user comes to the window from elsewhere, but not
// when one of the window's own boxes or dialogs closes (an error box shown after a failed
// save must not replace what the user typed).
class TRegisterWindow : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TRegisterWindow)

public:
    explicit TRegisterWindow(QWidget *parent);

protected:
    virtual void FormActivate() {}
    void changeEvent(QEvent *event) override;

    QMenu *AddMenu(const QString &title);
    // Shows Message the way failed commands are shown.
    void ShowError(const QString &message);
    // Runs a command; a failure is shown and ends it. False when it failed.
    bool Run(const std::function<void()> &command);

    QMenuBar *MenuBar;
    QVBoxLayout *RootLayout;

private:
    bool IsOwnWindow(const QWidget *window) const;

    bool m_backFromOwnWindow = false;
};

// A combo box that announces its drop-down before the list opens, so the caller can
// refill the list from its register.
class TDropDownComboBox final : public QComboBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDropDownComboBox)

public:
    explicit TDropDownComboBox(QWidget *parent = nullptr);

    // Replaces the items, keeping the text shown and without change signals.
    void SetItemsKeepText(const QStringList &items);

    void showPopup() override;

Q_SIGNALS:
    void DropDown();
};

// The edit takes no more than the column Field of Def holds.
void LimitBytes(QLineEdit *edit, const TTableDef &def, const QString &field);
// Input method off: the field takes codes and numbers.
void InputMethodOff(QWidget *edit);

// Yes / No / Cancel with an empty title.
QMessageBox::StandardButton AskYesNoCancel(QWidget *parent, const QString &text);
// "本当に削除しますか？" with OK / Cancel and the exclamation icon; true on OK.
bool ConfirmDelete(QWidget *parent);

// Shows a register window without waiting: the one created at start-up, or, when start-up
// made none, one created now and kept for the rest of the run.
template <typename TWindow>
void ShowRegisterWindow(TWindow *&window)
{
    if (!window)
        window = new TWindow;
    window->show();
    window->raise();
    window->activateWindow();
}
