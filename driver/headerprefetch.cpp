#include "driver/headerprefetch.h"

#include "docgen/diagnostics.h"

#include <QFileInfo>

#include <system_error>

HeaderPrefetch::~HeaderPrefetch() {
    if (parse_.valid())
        parse_.wait();
}

void HeaderPrefetch::start(const QString &path) {
    const QFileInfo info(path);
    if (info.completeSuffix() != QLatin1String("h") || !info.isFile())
        return;
    if (parse_.valid())
        parse_.wait();
    // Whether warnings are on is settled before the first input, so it is read here.
    try {
        parse_ = std::async(std::launch::async, parseHeader, path, diagnostics().enabled());
        path_ = path;
    } catch (const std::system_error &) {
        // No thread to be had: the header is parsed in its turn instead.
        path_.clear();
    }
}

std::unique_ptr<ParsedHeader> HeaderPrefetch::take(const QString &path) {
    if (!parse_.valid() || path != path_)
        return nullptr;
    path_.clear();
    return std::make_unique<ParsedHeader>(parse_.get());
}
