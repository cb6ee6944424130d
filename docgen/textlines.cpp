#include "docgen/textlines.h"

#include "common/findeither.h"
#include "common/systemencoding.h"
#include "docgen/filesread.h"

#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include <unistd.h>

// The file, read and decoded run by run into the reader's text. Runs end just after a
// line end, where UTF-8 holds no part of a character, so each decodes as it would
// within the whole file.
struct TextLines::Decoding {
    Decoding() = default;
    ~Decoding() {
        if (thread.joinable())
            thread.join();
        if (fd >= 0)
            ::close(fd);
    }

    int fd = -1;
    // The text's characters, with room for one per byte of the file as it was opened:
    // what it may have grown by since is not read.
    char16_t *out = nullptr;
    qsizetype room = 0;
    // Bytes read and not decoded yet: the start of a line whose end is not read. Made
    // by the thread that opens the file, so that the decoding thread allocates nothing
    // but room for a line longer than this.
    std::vector<char> bytes;
    std::mutex mutex;
    std::condition_variable progressed;
    qsizetype decoded = 0; // characters written, in whole lines
    bool done = false;
    int error = 0;                // the errno of a failed read; the text ends before it
    std::exception_ptr exception; // what ended the thread early (no memory for a line)
    std::thread thread;

    void run() {
        try {
            decode();
        } catch (...) {
            // Handed to the reading thread, which meets it as it waits for the text.
            std::lock_guard<std::mutex> lock(mutex);
            exception = std::current_exception();
            done = true;
            progressed.notify_one();
        }
    }

    void decode() {
        QStringDecoder decoder(QStringDecoder::System, QStringDecoder::Flag::Stateless);
        QChar *const start = reinterpret_cast<QChar *>(out);
        QChar *written = start;
        qsizetype held = 0, unread = room;
        bool ended = false;
        while (!ended) {
            if (held == qsizetype(bytes.size()))
                bytes.resize(2 * bytes.size()); // a line longer than the room
            const ssize_t read =
                unread > 0
                    ? ::read(fd, bytes.data() + held,
                             size_t(std::min<qsizetype>(qsizetype(bytes.size()) - held, unread)))
                    : 0;
            if (read > 0) {
                held += read;
                unread -= read;
            } else if (read < 0 && errno == EINTR) {
                continue;
            } else {
                if (read < 0)
                    error = errno;
                ended = true;
            }
            const qsizetype run = ended ? held : runEnd(bytes.data(), held);
            if (run == 0)
                continue;
            written = decoder.appendToBuffer(written, QByteArrayView(bytes.data(), run));
            held -= run;
            std::memmove(bytes.data(), bytes.data() + run, size_t(held));
            std::lock_guard<std::mutex> lock(mutex);
            decoded = written - start;
            progressed.notify_one();
        }
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
        progressed.notify_one();
    }

    // How much of the held bytes makes a run: up to just after their last line end,
    // or none. A decoder skips a byte order mark that starts what it is given, so no
    // run but the first may start with one: the three bytes after a run must be known.
    static qsizetype runEnd(const char *bytes, qsizetype held) {
        for (qsizetype at = held - 3; at > 0; --at) {
            if (bytes[at - 1] == '\n' && std::memcmp(bytes + at, "\xef\xbb\xbf", 3) != 0)
                return at;
        }
        return 0;
    }

    // The characters decoded once more than have been are, or all of them.
    qsizetype waitBeyond(qsizetype have) {
        std::unique_lock<std::mutex> lock(mutex);
        progressed.wait(lock, [&] { return done || decoded > have; });
        if (exception)
            std::rethrow_exception(exception);
        return decoded;
    }
};

TextLines::TextLines(const QString &fileName, qsizetype decodeAheadFrom, qsizetype runBytes) {
    if (fileName.isEmpty() || fileName.startsWith(u':')) {
        // One of the program's own resources, read whole; or no name, which Qt reports.
        QByteArray bytes;
        error_ = readWholeFile(fileName, bytes);
        open_ = error_ == 0;
        text_ = QString::fromLocal8Bit(bytes);
        available_ = text_.size();
        return;
    }
    auto decoding = std::make_unique<Decoding>();
    // Read with the system's calls, unbuffered: the file is read in large runs, and a
    // buffer would be one more copy, made on the decoding thread.
    qint64 size;
    decoding->fd = openForReading(fileName, size, error_);
    // Read, not mapped: a file that another process truncates while it is mapped would
    // kill the run with a bus error instead of giving fewer lines.
    open_ = decoding->fd >= 0;
    if (!open_)
        return;
    // Decoded ahead only where every run decodes alone as within the whole: in UTF-8,
    // which the system's encoding is on every Unix that Qt 6 runs on.
    if (size >= decodeAheadFrom && size > 0 && systemEncodingIsUtf8()) {
        // A character for each byte at most, and room for no more (resize() would leave
        // room to grow, which a text of megabytes keeps while it is read); not filled,
        // the thread writes them.
        text_ = QString(size, Qt::Uninitialized);
        decoding->out = reinterpret_cast<char16_t *>(text_.data());
        decoding->room = size;
        decoding->bytes.resize(size_t(std::max<qsizetype>(runBytes, 4)));
        try {
            decoding->thread = std::thread([d = decoding.get()] { d->run(); });
            decoding_ = std::move(decoding);
            return;
        } catch (const std::system_error &) {
            // No thread to be had: decoded here, whole, as a small file is.
        }
    }
    QByteArray bytes;
    error_ = readToEnd(decoding->fd, size, bytes);
    text_ = QString::fromLocal8Bit(bytes);
    available_ = text_.size();
}

TextLines::TextLines() = default;

TextLines::TextLines(TextLines &&other) noexcept
    : text_(std::move(other.text_)), position_(other.position_), available_(other.available_),
      open_(other.open_), sawNul_(other.sawNul_), error_(other.error_),
      decoding_(std::move(other.decoding_)) {
    other.position_ = other.available_ = 0;
}

TextLines &TextLines::operator=(TextLines &&other) noexcept {
    if (this != &other) {
        // The thread writing into this text ends before the text goes.
        decoding_.reset();
        text_ = std::move(other.text_);
        position_ = other.position_;
        available_ = other.available_;
        open_ = other.open_;
        sawNul_ = other.sawNul_;
        error_ = other.error_;
        decoding_ = std::move(other.decoding_);
        other.position_ = other.available_ = 0;
    }
    return *this;
}

TextLines::~TextLines() {
    decoding_.reset();
}

void TextLines::finishDecoding() {
    if (!decoding_)
        return;
    decoding_->thread.join();
    available_ = decoding_->decoded;
    error_ = decoding_->error;
    const std::exception_ptr exception = decoding_->exception;
    decoding_.reset();
    if (exception)
        std::rethrow_exception(exception);
    text_.truncate(available_);
}

bool TextLines::next(QStringView &line) {
    if (position_ >= available_) {
        if (!decoding_)
            return false;
        available_ = decoding_->waitBeyond(position_);
        if (position_ >= available_) {
            finishDecoding();
            return false;
        }
    }
    // The decoded text ends after a line end or at the end of the whole: no line goes
    // beyond it.
    const char16_t *const begin = reinterpret_cast<const char16_t *>(text_.constData());
    const char16_t *const textEnd = begin + available_;
    const char16_t *at = findEither(begin + position_, textEnd, u'\n', sawNul_ ? u'\n' : u'\0');
    while (at != textEnd && *at == u'\0') {
        sawNul_ = true;
        at = findEither(at + 1, textEnd, u'\n', u'\n');
    }
    qsizetype end = at - begin;
    const qsizetype nextPosition = end < available_ ? end + 1 : end;
    if (end > position_ && begin[end - 1] == u'\r')
        --end;
    line = QStringView(begin + position_, end - position_);
    position_ = nextPosition;
    return true;
}
