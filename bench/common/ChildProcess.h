#pragma once

#include <QStringList>

#include <string>

// Runs Program with Arguments as a child process (standard error to /dev/null) and waits
// for it; returns what it wrote to standard output. Ok is set when it exited with status 0.
std::string RunChild(const QString &program, const QStringList &arguments, bool *ok);
