#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// The built-in icon table: the 16 by 16 pixel images of the environment's actions. The
// build draws them once, into the PNG files that the "icon" command writes (see
// docgen/iconfiles.h), so that the program itself needs no graphics library.

// The image of the icon name (case-sensitive); a null image for a name not in the table.
QImage iconImage(const QString &name);

// Every name in the table, in alphabetical order.
QStringList iconNames();

// Renders an icon drawing (an SVG file or resource) into a transparent 16 by 16 image,
// scaled to fit and centred. The icons kept as PNG drawings are made with it too, so
// that they look like the ones drawn from SVG when the build draws the icon files.
QImage renderIconDrawing(const QString &svgFile);
