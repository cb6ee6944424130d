#include "colouring/zodidideparser.h"

ZodiDideParser::~ZodiDideParser() = default;
