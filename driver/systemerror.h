#pragma once

#include "driver/hexception.h"

#include <QByteArray>
#include <QString>

// The system's reasons behind the run's errors. A file that cannot be opened or
// written gives the same error line whatever the cause; with warnings on, a note after
// it says what the system said (no space left, too many open files, permission
// denied...).

// Remembers error (an errno value) as the reason for the error line message about
// fileName. Any thread may call it.
void noteFailureReason(const QByteArray &message, const QString &fileName, int error);

// The note that follows the error line message, "<file>: note: <reason>\n", or an
// empty string when no reason is known.
QByteArray failureNote(const HException &error);

// Throws the error that ends the run when an input, or a file that it names, could
// not be read for a reason other than there being no file to read: "cannot read
// <file>: <reason>". Docgen records such failures; the driver calls this once the
// input is processed.
void throwOnReadFailure();

// Whether such a failure has been recorded: pages made after it are not written.
bool readFailed();
