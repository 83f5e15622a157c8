#pragma once

#include <QWidget>

class QToolButton;

// A pair of arrow buttons that step a position between a minimum and a maximum, without
// wrapping.
class TUpDown final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TUpDown)

public:
    explicit TUpDown(QWidget *parent = nullptr);

    void SetRange(int minimum, int maximum);
    void SetIncrement(int increment) { m_increment = increment; }
    int Position() const { return m_position; }
    // Sets the position without telling anybody (clamped to the range).
    void SetPosition(int position);

    QToolButton *UpButton() const { return m_up; }
    QToolButton *DownButton() const { return m_down; }

Q_SIGNALS:
    // The user moved the position to Value.
    void Changed(int value);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void Step(int direction);

    QToolButton *m_up;
    QToolButton *m_down;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_increment = 1;
    int m_position = 0;
};
