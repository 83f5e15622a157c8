#pragma once

#include "app/uWindowManners.h"

#include <QApplication>

struct TDataSource;

// The application object: its event delivery is the one place where an error that ends a
// command is caught and shown in a box captioned "ケルモ４".
class TKelmoApplication final : public QApplication
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TKelmoApplication)

public:
    TKelmoApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Title and ownership rules for every top-level window of the run.
    TWindowManners &WindowManners() { return m_manners; }

private:
    TWindowManners m_manners;
};

// Shows an error message the way every command failure is shown.
void ShowErrorMessage(const QString &message);

// The box "Failed" of a data folder that could not be set, with what went wrong beneath.
void ShowSetAliasFailed(QWidget *parent, const QString &folder);
// The same for a folder or a server.
void ShowSetAliasFailed(QWidget *parent, const TDataSource &source);

// Registers the substitutions that map the forms' font names onto the IPA fonts.
void RegisterFontSubstitutions();
