#pragma once

#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>

class QPainter;

namespace cellsonify {

// The window's controls drawn without widgets, each in `rect` (window pixels)
// at zoom 1. Controls that carry data are drawn as the widgets draw them;
// the standard glyphs (frames, option circles) in a plain classic look that
// matches the window closely.

// A picture used as a button: white inside a flat 1-pixel black border, the
// picture centred and clipped to the inside. The button widget paints itself
// with this too.
void paintPictureButton(QPainter& painter, const QRect& rect, const QPixmap& picture);

// A caption on the window's grey, as a label shows it: the background filled,
// the text in black at `align`.
void paintCaption(QPainter& painter, const QRect& rect, const QString& text, Qt::Alignment align, const QFont& font);

// "Load Data File": a raised grey face with a 2-pixel edge, the caption centred.
void paintRaisedButton(QPainter& painter, const QRect& rect, const QString& text, const QFont& font);

// A one-line text box: a white field in a sunken frame, the text at its left.
void paintTextBox(QPainter& painter, const QRect& rect, const QString& text, const QFont& font);

// A frame grouping option buttons (no title).
void paintGroupFrame(QPainter& painter, const QRect& rect);

// An option button: its circle at the left, filled in when `selected`, and
// the caption beside it.
void paintOptionButton(QPainter& painter, const QRect& rect, const QString& text, bool selected, const QFont& font);

}  // namespace cellsonify
