#include "driver/systemerror.h"

#include "docgen/filesread.h"

#include <cstring>
#include <mutex>

namespace {

struct Reason {
    QByteArray message;
    QString fileName;
    int error = 0;
};

// The run stops at its first error: the last few reasons are all it can need.
constexpr int kept = 4;
std::mutex reasonsMutex;
Reason reasons[kept];
int nextReason = 0;

QByteArray systemMessage(int error) {
    return QByteArray(std::strerror(error));
}

} // namespace

void noteFailureReason(const QByteArray &message, const QString &fileName, int error) {
    if (error == 0)
        return;
    const std::lock_guard<std::mutex> lock(reasonsMutex);
    reasons[nextReason] = Reason{message, fileName, error};
    nextReason = (nextReason + 1) % kept;
}

QByteArray failureNote(const HException &error) {
    const std::lock_guard<std::mutex> lock(reasonsMutex);
    for (const Reason &r : reasons)
        if (r.error != 0 && r.message == error.message())
            return r.fileName.toUtf8() + ": note: " + systemMessage(r.error) + '\n';
    return QByteArray();
}

void throwOnReadFailure() {
    const ReadFailure &failure = readFailure();
    if (failure.error != 0)
        throw HException("cannot read " + failure.fileName.toUtf8() + ": " +
                         systemMessage(failure.error));
}

bool readFailed() {
    return readFailure().error != 0;
}
