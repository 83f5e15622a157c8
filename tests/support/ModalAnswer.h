#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Owner of the pending waits, so that a test's cleanup can drop the ones nobody answered.
QObject &ModalWaiters();

// Waits for the next modal window of the given class and lets action answer it, as a user
// would, from the event loop of whatever exec() is started next. A window of another class
// that is still open after five seconds is closed, so the test cannot hang.
void WhenModal(const char *className, std::function<void(QWidget *)> action);
