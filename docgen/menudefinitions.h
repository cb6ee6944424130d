#pragma once

#include <QString>

// Loads the menu definition document and the message table from an XML file.
// Returns an empty string on success, otherwise the reason it could not be read.
QString loadMenuDefinitions(const QString &fileName);
