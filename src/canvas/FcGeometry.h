// Plain geometry of the chart canvas: points, rectangles, colours, shapes and the pure functions
// that place link points, inner areas, pictures, captions and selection marks and that decide
// hits. The model and the painter both use them, so what is painted is what is hit.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// 0x00RRGGBB.
using TFcColor = std::uint32_t;
constexpr TFcColor fcRgb(int r, int g, int b) {
    return (static_cast<TFcColor>(r & 0xff) << 16) | (static_cast<TFcColor>(g & 0xff) << 8) |
           static_cast<TFcColor>(b & 0xff);
}
constexpr int fcRed(TFcColor c) {
    return static_cast<int>((c >> 16) & 0xff);
}
constexpr int fcGreen(TFcColor c) {
    return static_cast<int>((c >> 8) & 0xff);
}
constexpr int fcBlue(TFcColor c) {
    return static_cast<int>(c & 0xff);
}
constexpr TFcColor fcBlack = 0;
constexpr TFcColor fcWhite = 0xffffff;

struct TFcPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TFcPoint&, const TFcPoint&) = default;
};

struct TFcSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const TFcSize&, const TFcSize&) = default;
};

// A rectangle with the right and bottom edges exclusive.
struct TFcRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(TFcPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool intersects(const TFcRect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    TFcRect inflated(int d) const { return {left - d, top - d, right + d, bottom + d}; }
    TFcRect translated(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    // Smallest rectangle holding both; an empty rectangle counts as nothing.
    TFcRect united(const TFcRect& o) const;
    friend bool operator==(const TFcRect&, const TFcRect&) = default;
};

// Shape codes of canvas objects. Codes this system never creates paint as rectangles.
enum TFcShape : std::uint8_t {
    ShapeNone = 0,
    ShapeRectangle = 1,
    ShapeEllipse = 2,
    ShapeRoundRect = 3,
};

// Link point 0..15 of an object, clockwise from the top-left corner (index taken modulo 16).
TFcPoint fcLinkPoint(int left, int top, int width, int height, int index);

// Bounding rectangle of a polyline (covering every pixel a 1-pixel pen draws).
TFcRect fcPointsBounds(std::span<const TFcPoint> points);

// Inner area where the picture and caption go: (L + w, T + w) to (L + W - 1 - w, T + H - 1 - w),
// with w the outline width. Its size may be zero (never negative).
TFcRect fcInnerArea(const TFcRect& bounds, int outlineWidth);

// Places a box of size (bw, bh) in an area by placement codes 0 left/top, 1 centre, 2 right/
// bottom. A box larger than the area does not fit: it is cut to the area at the area's
// top-left corner and fits is false.
struct TFcPlacement {
    TFcRect rect;
    bool fits = true;
};
TFcPlacement fcPlaceBox(const TFcRect& area, TFcSize box, int horz, int vert);

// Top of a caption block of the given height in an area: placed by vert unless it is 0 or the
// text is taller than the area, when it starts at the top.
int fcCaptionTop(const TFcRect& area, int textHeight, int vert);
// Where to cut a caption's bytes to keep about its first `length` bytes without splitting a
// character of the code page: just after the last ASCII byte among the 16 before `length`,
// else before the UTF-8 continuation bytes that end there. At most `length`; the whole text
// when it is not longer.
std::size_t fcCaptionCut(std::string_view bytes, std::size_t length);

// The pixels of row y covered by a rounded rectangle whose corners are cut by quarters of an
// ellipse cornerW wide and cornerH high: [x0, x1), empty (x0 >= x1) when the row is outside.
struct TFcSpan {
    int x0 = 0;
    int x1 = 0;
    bool isEmpty() const { return x1 <= x0; }
    friend bool operator==(const TFcSpan&, const TFcSpan&) = default;
};
TFcSpan fcRoundRectSpan(const TFcRect& rect, int cornerW, int cornerH, int y);
bool fcRoundRectContains(const TFcRect& rect, int cornerW, int cornerH, TFcPoint p);

// Pixels of row y covered by the shape of an object (a shape 0 object covers nothing).
TFcSpan fcShapeSpan(TFcShape shape, const TFcRect& bounds, int y);
// Whether the shape covers point p; same rule.
bool fcShapeCovers(TFcShape shape, const TFcRect& bounds, TFcPoint p);

// The interior used by the hit test: the shape shrunk by the outline width, and by one more
// pixel for a shape 0 object and a bevelled rectangle. Rounded rectangles keep the corner sizes
// of the full object.
TFcRect fcInteriorRect(TFcShape shape, const TFcRect& bounds, int outlineWidth, int edgeFlags);
bool fcInteriorContains(TFcShape shape, const TFcRect& bounds, int outlineWidth, int edgeFlags,
                        TFcPoint p);

// Centres of the eight selection marks: top-left, top-middle, top-right, right-middle,
// bottom-right, bottom-middle, bottom-left, left-middle.
std::array<TFcPoint, 8> fcSelectionMarks(const TFcRect& bounds);
// The filled 5 x 5 square of a mark.
TFcRect fcSelectionMarkRect(TFcPoint centre);
// Which mark p lies on (within 2 pixels in x and y of its centre, inside the bounds grown by 1),
// or -1.
int fcSelectionMarkAt(const TFcRect& bounds, TFcPoint p);

// Whether p lies within tolerance pixels of the segment a-b.
bool fcNearSegment(TFcPoint a, TFcPoint b, TFcPoint p, int tolerance);

// Where a drawing from `top` to `bottom` is cut into pages at most `pageHeight` tall: the top
// of every page, the first being `top`. A cut passes through no object of `objects` where one
// can be made in the lower half of the page above it; otherwise the page is cut full.
std::vector<int> fcPageTops(const std::vector<TFcRect>& objects, int top, int bottom,
                            int pageHeight);

// Score of the arrow-key rule for a candidate displaced (dx, dy) from the selected object, the
// arrow's direction given by turning: returns -1 for candidates behind the arrow.
enum class TFcDirection { Left, Right, Up, Down };
long long fcArrowScore(TFcDirection direction, long long dx, long long dy);
