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
// scaled to fit and centred. The embedded PNG icons are made with it, so that they look
// like the icons drawn at run time.
QImage renderIconDrawing(const QString &svgFile);
