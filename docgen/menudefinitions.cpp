#include "docgen/menudefinitions.h"

#include "docgen/filesread.h"
#include "docgen/interfacetables.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

// Files the values of a "messagescheme" or "keyscheme" element: each "item" child
// (attribute "name") holds one child per field, whose tag is the field name and whose
// text is the value.
void loadScheme(const QDomElement &scheme, InterfaceTables &tables) {
    for (QDomElement item = scheme.firstChildElement(QStringLiteral("item")); !item.isNull();
         item = item.nextSiblingElement(QStringLiteral("item"))) {
        const QString prefix = item.attribute(QStringLiteral("name")) + QLatin1Char('.');
        for (QDomElement field = item.firstChildElement(); !field.isNull();
             field = field.nextSiblingElement())
            tables.setMessage(prefix + field.tagName(), field.text());
    }
}

// Real menu definitions nest a few levels deep. The document parser takes time that
// grows with the square of the nesting depth, so absurdly deep input is turned away
// before it is parsed.
constexpr int maximumDepth = 1000;

bool nestedTooDeeply(const QByteArray &content) {
    QXmlStreamReader reader(content);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > maximumDepth)
                return true;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return false; // malformed input is left for the parser to describe
}

} // namespace

QString loadMenuDefinitions(const QString &fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    recordFileRead(fileName);
    const QByteArray content = file.readAll();
    if (nestedTooDeeply(content))
        return QStringLiteral("elements nested more than %1 levels deep").arg(maximumDepth);
    QDomDocument document;
    QString error;
    int line = 0;
    int column = 0;
    if (!document.setContent(content, &error, &line, &column))
        return QStringLiteral("%1 at line %2, column %3").arg(error).arg(line).arg(column);

    InterfaceTables &tables = interfaceTables();
    tables.clear();
    for (QDomElement e = document.firstChildElement(); !e.isNull(); e = nextElement(e, document)) {
        const QString tag = e.tagName();
        if (tag == QLatin1String("messagescheme") || tag == QLatin1String("keyscheme"))
            loadScheme(e, tables);
    }
    tables.setMenuDefinitions(document);
    return QString();
}
