#include "colouring/zodidideparser.h"

ZodiDideParser::~ZodiDideParser() = default;

QString ZodiDideParser::bracketCharacters() const {
    return QStringLiteral("\\{\\}\\[\\]\\(\\)");
}
