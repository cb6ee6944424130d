#include "docgen/propertyregistryfile.h"

#include "docgen/filesread.h"

#include <QFile>
#include <QXmlStreamReader>

#include <memory>

namespace {

// A registry of thousands of properties stays well below a megabyte; anything much
// larger is not a registry, and reading it whole would only waste memory.
constexpr qint64 maximumFileSize = 16 * 1024 * 1024;

// An entry of a page, resolved once the whole file is read so that a page may name a
// property defined further down.
struct PageEntry {
    QString page;
    QString property;
    qint64 line = 0;
};

// Reads the document with a streaming reader. Every element outside the fixed form is
// refused where it starts, so nesting never gets deeper than three levels, and
// document type declarations (the only way to define entities) are refused before any
// entity can be expanded.
class RegistryReader {
public:
    explicit RegistryReader(const QByteArray &content) : xml_(content) {}

    // Returns the reason the file is refused, or an empty string.
    QString read(QHash<QString, PropertyInfo> &properties,
                 QHash<QString, QList<PropertyInfo>> &pages) {
        readDocument(properties, pages);
        if (xml_.hasError()) {
            QString reason = xml_.errorString();
            if (reason.endsWith(u'.'))
                reason.chop(1);
            return QStringLiteral("%1 at line %2, column %3")
                .arg(reason)
                .arg(xml_.lineNumber())
                .arg(xml_.columnNumber());
        }
        for (const PageEntry &entry : std::as_const(entries_)) {
            const auto property = properties.constFind(entry.property);
            if (property == properties.cend())
                return QStringLiteral("page %1 names unknown property %2 at line %3")
                    .arg(entry.page, entry.property)
                    .arg(entry.line);
            pages[entry.page].append(*property);
        }
        return QString();
    }

private:
    // Moves to the next child element of the current element. False at the current
    // element's end, and when the document is refused.
    bool nextChild() {
        while (!xml_.atEnd()) {
            switch (xml_.readNext()) {
            case QXmlStreamReader::StartElement:
                return true;
            case QXmlStreamReader::EndElement:
                return false;
            case QXmlStreamReader::Characters:
                if (!xml_.isWhitespace())
                    xml_.raiseError(QStringLiteral("text outside a property description"));
                break;
            case QXmlStreamReader::DTD:
                xml_.raiseError(QStringLiteral("document type declarations are not accepted"));
                break;
            default: // comments and processing instructions
                break;
            }
        }
        return false;
    }

    void unexpected(const QString &where) {
        xml_.raiseError(
            QStringLiteral("unexpected element <%1> %2").arg(xml_.name().toString(), where));
    }

    void readDocument(QHash<QString, PropertyInfo> &properties,
                      QHash<QString, QList<PropertyInfo>> &pages) {
        if (!nextChild())
            return;
        if (xml_.name() != QLatin1String("properties"))
            return unexpected(QStringLiteral("instead of <properties>"));
        while (nextChild()) {
            if (xml_.name() == QLatin1String("property"))
                readProperty(properties);
            else if (xml_.name() == QLatin1String("page"))
                readPage(pages);
            else
                unexpected(QStringLiteral("in <properties>"));
        }
        while (!xml_.atEnd()) // lets the reader refuse anything after the root
            xml_.readNext();
    }

    void readProperty(QHash<QString, PropertyInfo> &properties) {
        const QXmlStreamAttributes attributes = xml_.attributes();
        PropertyInfo property;
        property.name = attributes.value(QLatin1String("name")).toString();
        property.title = attributes.value(QLatin1String("title")).toString();
        const QStringView type = attributes.value(QLatin1String("type"));
        bool isInteger = false;
        property.typeCode = type.toInt(&isInteger);
        if (property.name.isEmpty())
            return xml_.raiseError(QStringLiteral("property without a name"));
        if (type.isEmpty())
            return xml_.raiseError(QStringLiteral("property %1 without a type").arg(property.name));
        if (!isInteger)
            return xml_.raiseError(QStringLiteral("type \"%1\" of property %2 is not an integer")
                                       .arg(type.toString(), property.name));
        if (properties.contains(property.name))
            return xml_.raiseError(
                QStringLiteral("property %1 is defined twice").arg(property.name));
        while (!xml_.atEnd()) {
            const QXmlStreamReader::TokenType token = xml_.readNext();
            if (token == QXmlStreamReader::Characters)
                property.description += xml_.text();
            else if (token == QXmlStreamReader::StartElement)
                return unexpected(
                    QStringLiteral("in property %1 (write markup escaped or as CDATA)")
                        .arg(property.name));
            else if (token == QXmlStreamReader::EndElement)
                break;
        }
        property.description = property.description.trimmed();
        properties.insert(property.name, property);
    }

    void readPage(QHash<QString, QList<PropertyInfo>> &pages) {
        const QString page = xml_.attributes().value(QLatin1String("name")).toString();
        if (page.isEmpty())
            return xml_.raiseError(QStringLiteral("page without a name"));
        if (pages.contains(page))
            return xml_.raiseError(QStringLiteral("page %1 is defined twice").arg(page));
        pages.insert(page, {});
        while (nextChild()) {
            if (xml_.name() != QLatin1String("entry"))
                return unexpected(QStringLiteral("in page %1").arg(page));
            const QString property = xml_.attributes().value(QLatin1String("property")).toString();
            if (property.isEmpty())
                return xml_.raiseError(
                    QStringLiteral("entry without a property in page %1").arg(page));
            entries_.append({page, property, xml_.lineNumber()});
            if (nextChild())
                return unexpected(QStringLiteral("in an entry"));
        }
    }

    QXmlStreamReader xml_;
    QList<PageEntry> entries_;
};

std::unique_ptr<FilePropertyRegistry> &loadedRegistry() {
    static std::unique_ptr<FilePropertyRegistry> registry;
    return registry;
}

} // namespace

QString FilePropertyRegistry::load(const QString &fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    recordFileRead(fileName);
    const QByteArray content = file.read(maximumFileSize + 1);
    if (content.size() > maximumFileSize)
        return QStringLiteral("larger than %1 bytes").arg(maximumFileSize);
    QHash<QString, PropertyInfo> properties;
    QHash<QString, QList<PropertyInfo>> pages;
    const QString reason = RegistryReader(content).read(properties, pages);
    if (!reason.isEmpty())
        return reason;
    properties_.swap(properties);
    pages_.swap(pages);
    return QString();
}

bool FilePropertyRegistry::findProperty(const QString &name, PropertyInfo *property) const {
    const auto found = properties_.constFind(name);
    if (found == properties_.cend())
        return false;
    *property = *found;
    return true;
}

QList<PropertyInfo> FilePropertyRegistry::pageProperties(const QString &page) const {
    return pages_.value(page);
}

QString loadPropertyRegistry(const QString &fileName) {
    auto registry = std::make_unique<FilePropertyRegistry>();
    const QString reason = registry->load(fileName);
    if (!reason.isEmpty())
        return reason;
    setPropertyRegistry(registry.get());
    loadedRegistry() = std::move(registry);
    return QString();
}

void unloadPropertyRegistry() {
    setPropertyRegistry(nullptr);
    loadedRegistry().reset();
}
