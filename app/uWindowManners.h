#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// What the desktop sees of our top-level windows, kept in one place:
// - a window whose caption is empty shows an empty title bar (the window system would
//   otherwise put the program's name there);
// - every other window belongs to the main window: the window manager keeps it above the
//   main window, without making it modal, as windows owned by the main window behave.
class TWindowManners final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TWindowManners)

public:
    explicit TWindowManners(QObject *parent = nullptr);

    // The window that owns the others; until it is set, windows are shown unowned.
    void SetMainWindow(QWidget *window) { m_main = window; }

    // Applies both rules to a top-level window that has its native window.
    void Apply(QWidget *window) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_main;
};
