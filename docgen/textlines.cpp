#include "docgen/textlines.h"

#include "common/findeither.h"

#include <QFile>
#include <QStringDecoder>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

// The file's bytes, decoded run by run into the reader's text. Runs end just after a
// line end, where UTF-8 holds no part of a character, so each decodes as it would
// within the whole file.
struct TextLines::Decoding {
    QByteArray bytes;
    char16_t *out = nullptr; // the text's characters, with room for one per byte
    qsizetype runBytes = 0;
    std::mutex mutex;
    std::condition_variable progressed;
    qsizetype decoded = 0; // characters written, in whole lines
    bool done = false;
    std::thread thread;

    ~Decoding() {
        if (thread.joinable())
            thread.join();
    }

    void run() {
        QStringDecoder decoder(QStringDecoder::System, QStringDecoder::Flag::Stateless);
        const char *from = bytes.constData();
        const char *const end = from + bytes.size();
        QChar *const start = reinterpret_cast<QChar *>(out);
        QChar *written = start;
        while (from != end) {
            const char *to = runEnd(from, end);
            written = decoder.appendToBuffer(written, QByteArrayView(from, to - from));
            from = to;
            std::lock_guard<std::mutex> lock(mutex);
            decoded = written - start;
            done = from == end;
            progressed.notify_one();
        }
    }

    // Where the run from from ends: after the first line end at least runBytes on, or
    // at the end. A decoder skips a byte order mark that starts what it is given, so
    // no run but the first may start with one.
    const char *runEnd(const char *from, const char *end) const {
        if (end - from <= runBytes)
            return end;
        const char *at = from + runBytes;
        for (;;) {
            const void *const newline = std::memchr(at, '\n', size_t(end - at));
            if (!newline)
                return end;
            at = static_cast<const char *>(newline) + 1;
            if (end - at < 3 || std::memcmp(at, "\xef\xbb\xbf", 3) != 0)
                return at;
        }
    }

    // The characters decoded once more than have been are, or all of them.
    qsizetype waitBeyond(qsizetype have) {
        std::unique_lock<std::mutex> lock(mutex);
        progressed.wait(lock, [&] { return done || decoded > have; });
        return decoded;
    }
};

TextLines::TextLines(const QString &fileName, qsizetype decodeAheadFrom, qsizetype runBytes) {
    QFile file(fileName);
    open_ = file.open(QIODevice::ReadOnly);
    // Read, not mapped: a file that another process truncates while it is mapped would
    // kill the run with a bus error instead of giving fewer lines.
    if (!open_)
        return;
    QByteArray bytes = file.readAll();
    // Decoded ahead only where every run decodes alone as within the whole: in UTF-8,
    // which the system's encoding is on every Unix that Qt 6 runs on.
    static const bool utf8 = QString::fromLocal8Bit("\xc3\xa9\xf0\x9f\x98\x80") ==
                             QString::fromUtf8("\xc3\xa9\xf0\x9f\x98\x80");
    if (bytes.size() >= decodeAheadFrom && bytes.size() > 0 && utf8) {
        // A character for each byte at most; not filled, the thread writes them.
        text_.resize(bytes.size());
        auto decoding = std::make_unique<Decoding>();
        decoding->bytes = std::move(bytes);
        decoding->out = reinterpret_cast<char16_t *>(text_.data());
        decoding->runBytes = std::max<qsizetype>(runBytes, 1);
        try {
            decoding->thread = std::thread([d = decoding.get()] { d->run(); });
            decoding_ = std::move(decoding);
            return;
        } catch (const std::system_error &) {
            // No thread to be had: decoded here, whole, as a small file is.
            bytes = std::move(decoding->bytes);
        }
    }
    text_ = QString::fromLocal8Bit(bytes);
    available_ = text_.size();
}

TextLines::TextLines() = default;

TextLines::TextLines(TextLines &&other) noexcept
    : text_(std::move(other.text_)), position_(other.position_), available_(other.available_),
      open_(other.open_), decoding_(std::move(other.decoding_)) {
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
    decoding_.reset();
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
    qsizetype end = findEither(begin + position_, textEnd, u'\n', u'\n') - begin;
    const qsizetype nextPosition = end < available_ ? end + 1 : end;
    if (end > position_ && begin[end - 1] == u'\r')
        --end;
    line = QStringView(begin + position_, end - position_);
    position_ = nextPosition;
    return true;
}
