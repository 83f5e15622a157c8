#pragma once

#include <QComboBox>

#include <functional>

// A drop-down box whose list is filled afresh each time it opens; the text shown stays.
class TDropDownBox final : public QComboBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDropDownBox)

public:
    explicit TDropDownBox(bool editable, QWidget *parent = nullptr);

    // Fills the list; called just before the list opens.
    std::function<void(QStringList &items)> FillList;

    // The box's text: the edit text, or the current item of a box that is not editable.
    QString Text() const;
    // Shows Text without running any change handling.
    void SetText(const QString &text);

    void showPopup() override;
};
