#include "docgen/diagnostics.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace {

// The absolute, cleaned form of a path, where two spellings of one file must compare equal.
QString absolutePath(const QString &path) {
    // The run never changes its working directory.
    static const QString workingDirectory = QDir::currentPath() + QLatin1Char('/');
    QString absolute = path.startsWith(u'/') ? path : workingDirectory + path;
    // Most paths are clean already; only "." and ".." segments and doubled or trailing
    // separators need the cleaning pass.
    bool clean = !absolute.endsWith(u'/');
    for (qsizetype i = 1; clean && i < absolute.size(); ++i) {
        if (absolute.at(i - 1) == u'/' && (absolute.at(i) == u'.' || absolute.at(i) == u'/'))
            clean = false;
    }
    return clean ? absolute : QDir::cleanPath(absolute);
}

} // namespace

QString Diagnostics::configure(const QString &words) {
    for (const QString &raw : words.split(u',')) {
        const QString word = raw.trimmed();
        if (word.isEmpty() || word == QLatin1String("0"))
            continue;
        if (word == QLatin1String("1") || word == QLatin1String("on")) {
            enabled_ = true;
        } else if (word == QLatin1String("error")) {
            enabled_ = failsRun_ = true;
        } else if (word == QLatin1String("undocumented")) {
            enabled_ = undocumented_ = true;
        } else {
            return word;
        }
    }
    return QString();
}

void Diagnostics::warn(const QString &file, int line, const QString &message,
                       const char *category) {
    QByteArray text = file.toUtf8();
    if (line > 0)
        text += ':' + QByteArray::number(line);
    text += ": warning: " + message.toUtf8() + " [" + category + "]\n";
    // A parser that stumbles on one declaration may say so once per token.
    if (!pending_.empty() && pending_.back().text == text)
        return;
    ++count_;
    auto rank = fileRanks_.constFind(file);
    if (rank == fileRanks_.constEnd())
        rank = fileRanks_.insert(file, int(fileRanks_.size()));
    pending_.push_back(Pending{rank.value(), line, std::move(text)});
}

void Diagnostics::flush() {
    std::stable_sort(pending_.begin(), pending_.end(), [](const Pending &a, const Pending &b) {
        return a.fileRank != b.fileRank ? a.fileRank < b.fileRank : a.line < b.line;
    });
    std::fflush(stdout);
    for (const Pending &warning : pending_) {
        std::fputs(warning.text.constData(), stderr);
        if (printed_)
            printed_->append(QString::fromUtf8(warning.text.chopped(1)));
    }
    std::fflush(stderr);
    pending_.clear();
    fileRanks_.clear();
}

Diagnostics::Claim Diagnostics::claimPage(const QString &fileName) {
    const auto earlier = claimedPages_.constFind(fileName);
    if (earlier == claimedPages_.constEnd()) {
        claimedPages_.insert(fileName, input_);
        return Fresh;
    }
    const bool byEarlierInput = earlier.value() != input_;
    claimedPages_.insert(fileName, input_);
    return byEarlierInput ? ClaimedByEarlierInput : ClaimedBefore;
}

void Diagnostics::pageWritten(const QString &fileName) {
    writtenPages_.insert(fileName);
}

void Diagnostics::expectFile(const QString &file, int line, const QString &path,
                             const QString &target, const char *what, const char *category,
                             const QString &note) {
    expected_.push_back(Expected{file, line, path, target, what, category, note});
}

void Diagnostics::checkExpectedFiles() {
    // Most links name a page the way the page's own name was formed; only the others
    // are resolved, each once, and compared with the absolute names of the pages.
    QSet<QString> absoluteWritten;
    QHash<QString, bool> found;
    for (const Expected &e : expected_) {
        if (writtenPages_.contains(e.path))
            continue;
        auto known = found.constFind(e.path);
        if (known == found.constEnd()) {
            if (absoluteWritten.isEmpty()) {
                for (const QString &page : std::as_const(writtenPages_))
                    absoluteWritten.insert(absolutePath(page));
            }
            const QString absolute = absolutePath(e.path);
            known = found.insert(e.path,
                                 absoluteWritten.contains(absolute) || QFileInfo::exists(absolute));
        }
        if (!known.value())
            warn(e.file, e.line,
                 QStringLiteral("%1 '%2' was not written in this run and does not exist "
                                "beside the page%3")
                     .arg(QLatin1String(e.what), e.target,
                          e.note.isEmpty() ? QString() : QLatin1String("; ") + e.note),
                 e.category);
    }
    expected_.clear();
}

Diagnostics &diagnostics() {
    static Diagnostics instance;
    return instance;
}
