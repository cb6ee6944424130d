#include "docgen/menudefinitions.h"

#include "docgen/interfacetables.h"

#include <QFile>

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

} // namespace

QString loadMenuDefinitions(const QString &fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    QDomDocument document;
    QString error;
    int line = 0;
    int column = 0;
    if (!document.setContent(file.readAll(), &error, &line, &column))
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
