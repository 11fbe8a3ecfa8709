#include "CornerPlacement.h"

#include <algorithm>

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr int kRightGap = 20 / kTwipsPerPixel;
constexpr int kBottomGap = 450 / kTwipsPerPixel;
// How far each repeat of the stack moves up and left: enough to uncover the
// title bar and the close button of the window beneath.
constexpr int kCascadeStep = 48;

// The start of [low, high − length], or low when length does not fit.
int clampInto(int position, int low, int high, int length)
{
    return std::max(low, std::min(position, high - length));
}
}

QPoint cornerPosition(const QRect& available, const QSize& frameSize, int slot)
{
    const int areaRight = available.x() + available.width();
    const int areaBottom = available.y() + available.height();
    const int width = std::max(frameSize.width(), 1);
    const int height = std::max(frameSize.height(), 1);
    // The gaps give way before the window leaves the area.
    const int cornerLeft = clampInto(areaRight - kRightGap - width, available.x(), areaRight, width);
    const int cornerTop = clampInto(areaBottom - kBottomGap - height, available.y(), areaBottom, height);

    const int rows = 1 + (cornerTop - available.y()) / height;
    const int place = std::max(slot, 0);
    const int row = place % rows;
    // Past the area's own size every further repeat lands on the same edge.
    const int repeat = std::min(place / rows, (available.width() + available.height()) / kCascadeStep + 1);
    const int left = cornerLeft - repeat * kCascadeStep;
    const int top = cornerTop - row * height - repeat * kCascadeStep;
    return {clampInto(left, available.x(), areaRight, width), clampInto(top, available.y(), areaBottom, height)};
}
