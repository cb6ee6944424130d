#pragma once

#include "docgen/propertyregistry.h"

#include <QHash>
#include <QList>
#include <QString>

// A property registry read from an XML file (docs/properties.xml shows the form):
//
//   <properties>
//     <property name="Name" type="3" title="Title">HTML description</property>
//     <page name="Page"><entry property="Name"/></page>
//   </properties>
//
// Properties and pages may come in any order; a page lists its properties in the
// order of its entries, and a property may stand on several pages or on none.
class FilePropertyRegistry final : public PropertyRegistry {
public:
    // Reads fileName. Returns an empty string on success, otherwise the reason; on
    // failure the registry keeps what it held before.
    QString load(const QString &fileName);

    bool findProperty(const QString &name, PropertyInfo *property) const override;
    QList<PropertyInfo> pageProperties(const QString &page) const override;
    bool hasPage(const QString &page) const override { return pages_.contains(page); }

private:
    QHash<QString, PropertyInfo> properties_;
    QHash<QString, QList<PropertyInfo>> pages_;
};

// Reads a registry file and installs it for the "property" and "envpage" commands.
// Returns an empty string on success, otherwise the reason; then nothing changes.
QString loadPropertyRegistry(const QString &fileName);

// Uninstalls and frees the registry that loadPropertyRegistry installed, if any.
void unloadPropertyRegistry();
