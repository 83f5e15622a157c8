#include "printing/UpDown.h"

#include <QToolButton>

TUpDown::TUpDown(QWidget *parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    m_up->setAutoRepeat(true);
    m_down->setAutoRepeat(true);
    m_up->setFocusPolicy(Qt::NoFocus);
    m_down->setFocusPolicy(Qt::NoFocus);
    connect(m_up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TUpDown::SetRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    SetPosition(m_position);
}

void TUpDown::SetPosition(int position)
{
    m_position = qBound(m_minimum, position, m_maximum);
}

void TUpDown::Step(int direction)
{
    const int next = qBound(m_minimum, m_position + direction * m_increment, m_maximum);
    if (next == m_position)
        return;
    m_position = next;
    Q_EMIT Changed(next);
}

void TUpDown::resizeEvent(QResizeEvent *)
{
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}
