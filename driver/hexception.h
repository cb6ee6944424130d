#pragma once

#include <QByteArray>
#include <QString>

// The program's one exception: a message for the user, caught only by the run, which
// prints it as an "error: ..." line and exits with status 1. A failure of the system
// may carry its reason (an errno value) and the file it concerns, which the run gives
// in a note after the error line when warnings are on.
class HException {
public:
    explicit HException(QByteArray message) : message_(std::move(message)) {}
    HException(QByteArray message, QString fileName, int reason)
        : message_(std::move(message)), fileName_(std::move(fileName)), reason_(reason) {}
    virtual ~HException() = default;
    const QByteArray &message() const { return message_; }
    const QString &fileName() const { return fileName_; }
    int reason() const { return reason_; }

private:
    QByteArray message_;
    QString fileName_;
    int reason_ = 0;
};
