#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QHash>
#include <QString>

// What the user-interface commands know about the environment's actions: the message
// table (texts, accelerators and tooltips keyed "Action.field") and the menu definition
// document. Both are program-wide and are not reset between input files, so what one
// input sees, the next one sees too. The tool starts with both empty; they are filled
// only by loading a definitions file.
class InterfaceTables {
public:
    // The value under key ("Action.text", "Action.key", "Action.tip"); empty when absent.
    QString message(const QString &key) const { return messages_.value(key); }
    void setMessage(const QString &key, const QString &value) { messages_.insert(key, value); }

    const QDomDocument &menuDefinitions() const { return menuDefinitions_; }
    // Replaces the menu definition document and indexes its menu items.
    void setMenuDefinitions(const QDomDocument &document);
    // The first "item" element of the document, depth first in document order, that
    // names action and stands directly in a "definemenubar", "definemenu" or "menu"
    // element; null when there is none. Indexed once, so a lookup needs no search.
    QDomElement menuItem(const QString &action) const { return menuItems_.value(action); }

    // Empties both tables.
    void clear();

private:
    QHash<QString, QString> messages_;
    QDomDocument menuDefinitions_;
    QHash<QString, QDomElement> menuItems_;
};

InterfaceTables &interfaceTables();

// Whether element is an "item" standing directly in a menu container ("definemenubar",
// "definemenu" or "menu"): the one kind of element that names an action of a menu.
bool isMenuItem(const QDomElement &element);

// The element after element in document order (its first child element, else the next
// sibling element of it or of its nearest ancestor), staying below root; null at the
// end. Walking the tree this way needs no recursion, so deeply nested input cannot
// exhaust the stack.
QDomElement nextElement(const QDomElement &element, const QDomNode &root);
