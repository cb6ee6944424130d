#include "docgen/menudefinitions.h"

QString loadMenuDefinitions(const QString &fileName) {
    Q_UNUSED(fileName);
    return QString();
}
