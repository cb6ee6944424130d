#pragma once

#include <QDomElement>
#include <QString>

// The menu path of action, as "Main > File > Open": the captions of the menus that hold
// its item, up to the "definemenu" at the top, and the action's text. Empty (after a
// debug line on standard error) when the action has no text or no menu item.
QString menuPath(const QString &action);

// The sentence that tells the reader how to run action: chooseVerb with the menu path,
// pressVerb with the accelerator, or both. "***ERROR***" (after an error line on
// standard output) when the action is empty or has neither.
QString chooseSentence(const QString &action, const QString &chooseVerb, const QString &pressVerb);
