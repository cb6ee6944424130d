#pragma once

#include <QByteArray>

// The program's one exception: a message for the user, caught only by the run, which
// prints it as an "error: ..." line and exits with status 1.
class HException {
public:
    explicit HException(QByteArray message) : message_(std::move(message)) {}
    virtual ~HException() = default;
    const QByteArray &message() const { return message_; }

private:
    QByteArray message_;
};
