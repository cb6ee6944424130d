#include "driver/headerprefetch.h"

#include "docgen/diagnostics.h"

#include <QFileInfo>

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
    path_ = path;
    // Whether warnings are on is settled before the first input, so it is read here.
    parse_ = std::async(std::launch::async, parseHeader, path, diagnostics().enabled());
}

std::unique_ptr<ParsedHeader> HeaderPrefetch::take(const QString &path) {
    if (!parse_.valid() || path != path_)
        return nullptr;
    path_.clear();
    return std::make_unique<ParsedHeader>(parse_.get());
}
