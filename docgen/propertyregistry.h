#pragma once

#include <QList>
#include <QString>

// A named setting of the environment that embeds the generator.
struct PropertyInfo {
    QString title;
    QString name;
    int typeCode = 0;
    QString description;
};

// The environment's registry of properties and of the pages that group them. The tool
// installs one only when it is given a registry file (propertyregistryfile.h); an
// embedding host may install its own.
class PropertyRegistry {
public:
    virtual ~PropertyRegistry() = default;
    // False when no property has that name.
    virtual bool findProperty(const QString &name, PropertyInfo *property) const = 0;
    // The properties of a page in the page's order; empty for an unknown page.
    virtual QList<PropertyInfo> pageProperties(const QString &page) const = 0;
    // Whether the page exists, so that an unknown page can be told apart from a page
    // without properties.
    virtual bool hasPage(const QString &page) const = 0;
};

// The installed registry, or null (the tool's own runs).
PropertyRegistry *propertyRegistry();
void setPropertyRegistry(PropertyRegistry *registry);
