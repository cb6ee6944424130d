#include "docgen/interfacetables.h"

namespace {

bool isMenuContainer(const QDomNode &node) {
    const QString tag = node.nodeName();
    return tag == QLatin1String("definemenu") || tag == QLatin1String("menu") ||
           tag == QLatin1String("definemenubar");
}

} // namespace

QDomElement nextElement(const QDomElement &element, const QDomNode &root) {
    QDomElement next = element.firstChildElement();
    if (!next.isNull())
        return next;
    for (QDomNode at = element; !at.isNull() && at != root; at = at.parentNode()) {
        next = at.nextSiblingElement();
        if (!next.isNull())
            return next;
    }
    return QDomElement();
}

bool isMenuItem(const QDomElement &element) {
    return element.tagName() == QLatin1String("item") && isMenuContainer(element.parentNode());
}

void InterfaceTables::setMenuDefinitions(const QDomDocument &document) {
    menuDefinitions_ = document;
    menuItems_.clear();
    // Document order, first one kept: the item a depth-first search would find.
    for (QDomElement e = document.firstChildElement(); !e.isNull(); e = nextElement(e, document)) {
        if (!isMenuItem(e))
            continue;
        const QString action = e.attribute(QStringLiteral("name"));
        if (!menuItems_.contains(action))
            menuItems_.insert(action, e);
    }
}

void InterfaceTables::clear() {
    messages_.clear();
    setMenuDefinitions(QDomDocument());
}

InterfaceTables &interfaceTables() {
    static InterfaceTables tables;
    return tables;
}
