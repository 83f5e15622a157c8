#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// "バージョン情報": the program's version, and a way to the maker's pages.
class TFormVerInfo final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFormVerInfo)

public:
    explicit TFormVerInfo(QWidget *parent = nullptr);

    // Where "ホームページ" leads.
    static QUrl HomePage();

    QLabel *Label1;
    QLabel *Label2;
    QLabel *StaticText1;
    QPushButton *Button1;

protected:
    void showEvent(QShowEvent *event) override;
};

extern TFormVerInfo *FormVerInfo;
