#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a notification window's frame goes in the free area of its screen (the
// screen less its panels): in the bottom-right corner, 20 twips from the right
// and 450 twips from the bottom, which keeps it clear of a task bar.
//
// The windows of several games share the corner by slot: slot 0 takes the
// corner, each further slot stands right above the one before while the area's
// height allows, and beyond that the stack repeats shifted up and left, so that
// every window's title bar and close button stay in sight. The frame never
// reaches past the area; one larger than the area keeps its top-left in it.
QPoint cornerPosition(const QRect& available, const QSize& frameSize, int slot);
