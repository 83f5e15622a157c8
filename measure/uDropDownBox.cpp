#include "measure/uDropDownBox.h"

#include <QLineEdit>
#include <QSignalBlocker>

TDropDownBox::TDropDownBox(bool editable, QWidget *parent)
    : QComboBox(parent)
{
    setEditable(editable);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(16);
    if (editable)
        setCompleter(nullptr); // a completer would change the text while the user types
}

QString TDropDownBox::Text() const
{
    return isEditable() ? currentText() : (currentIndex() >= 0 ? itemText(currentIndex()) : QString());
}

void TDropDownBox::SetText(const QString &text)
{
    const QSignalBlocker blocker(this);
    if (isEditable()) {
        const int index = findText(text, Qt::MatchExactly);
        setCurrentIndex(index);
        setEditText(text);
        return;
    }
    if (text.isEmpty()) {
        setCurrentIndex(-1);
        return;
    }
    int index = findText(text, Qt::MatchExactly);
    if (index < 0) {
        addItem(text);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

void TDropDownBox::showPopup()
{
    if (FillList) {
        const QString text = Text();
        QStringList items;
        FillList(items);
        {
            const QSignalBlocker blocker(this);
            clear();
            addItems(items);
        }
        SetText(text);
    }
    QComboBox::showPopup();
}
