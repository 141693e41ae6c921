#include "canvas/FcGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

TFcRect TFcRect::united(const TFcRect& o) const {
    if (o.isEmpty())
        return *this;
    if (isEmpty())
        return o;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
            std::max(bottom, o.bottom)};
}

TFcPoint fcLinkPoint(int left, int top, int width, int height, int index) {
    // R and B are the last pixel column and row; for a 0 x 0 object they lie one pixel left of
    // and above the corner, which is where the right and bottom points of an anchor end up.
    const int r = left + width - 1;
    const int b = top + height - 1;
    const int q1x = left + width / 4, midx = left + width / 2, q3x = left + width - width / 4;
    const int q1y = top + height / 4, midy = top + height / 2, q3y = top + height - height / 4;
    switch (((index % 16) + 16) % 16) {
    case 0:
        return {left, top};
    case 1:
        return {q1x, top};
    case 2:
        return {midx, top};
    case 3:
        return {q3x, top};
    case 4:
        return {r, top};
    case 5:
        return {r, q1y};
    case 6:
        return {r, midy};
    case 7:
        return {r, q3y};
    case 8:
        return {r, b};
    case 9:
        return {q3x, b};
    case 10:
        return {midx, b};
    case 11:
        return {q1x, b};
    case 12:
        return {left, b};
    case 13:
        return {left, q3y};
    case 14:
        return {left, midy};
    default:
        return {left, q1y};
    }
}

TFcRect fcPointsBounds(std::span<const TFcPoint> points) {
    if (points.empty())
        return {};
    TFcRect r{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
    for (const TFcPoint& p : points) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x + 1);
        r.bottom = std::max(r.bottom, p.y + 1);
    }
    return r;
}

TFcRect fcInnerArea(const TFcRect& bounds, int outlineWidth) {
    const int w = outlineWidth;
    TFcRect a{bounds.left + w, bounds.top + w, bounds.right - 1 - w, bounds.bottom - 1 - w};
    a.right = std::max(a.right, a.left);
    a.bottom = std::max(a.bottom, a.top);
    return a;
}

static int placeOffset(int room, int code) {
    switch (code) {
    case 1:
        return room / 2;
    case 2:
        return room;
    default:
        return 0;
    }
}

TFcPlacement fcPlaceBox(const TFcRect& area, TFcSize box, int horz, int vert) {
    const int aw = area.width(), ah = area.height();
    if (box.width > aw || box.height > ah) {
        return {{area.left, area.top, area.left + std::min(box.width, aw),
                 area.top + std::min(box.height, ah)},
                false};
    }
    const int x = area.left + placeOffset(aw - box.width, horz);
    const int y = area.top + placeOffset(ah - box.height, vert);
    return {{x, y, x + box.width, y + box.height}, true};
}

int fcCaptionTop(const TFcRect& area, int textHeight, int vert) {
    if (vert == 0 || textHeight > area.height())
        return area.top;
    return area.top + placeOffset(area.height() - textHeight, vert);
}

std::size_t fcCaptionCut(std::string_view bytes, std::size_t length) {
    if (length >= bytes.size())
        return bytes.size();
    for (std::size_t cut = length; cut > 0 && length - cut < 16; --cut) {
        if (static_cast<unsigned char>(bytes[cut - 1]) < 0x80)
            return cut;
    }
    std::size_t cut = length;
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

TFcSpan fcRoundRectSpan(const TFcRect& rect, int cornerW, int cornerH, int y) {
    if (rect.isEmpty() || y < rect.top || y >= rect.bottom)
        return {};
    if (cornerW <= 0 || cornerH <= 0)
        return {rect.left, rect.right};
    // Work on pixel centres: a pixel is covered when its centre lies inside the shape.
    const double a = std::min(cornerW, rect.width()) / 2.0;
    const double b = std::min(cornerH, rect.height()) / 2.0;
    const double yc = y + 0.5;
    double dy = 0;
    if (yc < rect.top + b)
        dy = rect.top + b - yc;
    else if (yc > rect.bottom - b)
        dy = yc - (rect.bottom - b);
    else
        return {rect.left, rect.right};
    const double t = 1.0 - (dy / b) * (dy / b);
    const double hw = t > 0 ? a * std::sqrt(t) : 0.0;
    const double xl = rect.left + a - hw;
    const double xr = rect.right - a + hw;
    TFcSpan s{static_cast<int>(std::ceil(xl - 0.5)), static_cast<int>(std::floor(xr - 0.5)) + 1};
    s.x0 = std::max(s.x0, rect.left);
    s.x1 = std::min(s.x1, rect.right);
    return s;
}

bool fcRoundRectContains(const TFcRect& rect, int cornerW, int cornerH, TFcPoint p) {
    const TFcSpan s = fcRoundRectSpan(rect, cornerW, cornerH, p.y);
    return p.x >= s.x0 && p.x < s.x1;
}

// Corner ellipse of a shape drawn in bounds; zero for shapes with square corners.
static TFcSize cornerOf(TFcShape shape, const TFcRect& bounds) {
    switch (shape) {
    case ShapeRoundRect:
        return {bounds.width() / 2, bounds.height() / 2};
    case ShapeEllipse:
        return {bounds.width(), bounds.height()};
    default:
        return {0, 0};
    }
}

TFcSpan fcShapeSpan(TFcShape shape, const TFcRect& bounds, int y) {
    if (shape == ShapeNone)
        return {};
    const TFcSize c = cornerOf(shape, bounds);
    return fcRoundRectSpan(bounds, c.width, c.height, y);
}

bool fcShapeCovers(TFcShape shape, const TFcRect& bounds, TFcPoint p) {
    const TFcSpan s = fcShapeSpan(shape, bounds, p.y);
    return p.x >= s.x0 && p.x < s.x1;
}

TFcRect fcInteriorRect(TFcShape shape, const TFcRect& bounds, int outlineWidth, int edgeFlags) {
    int d = outlineWidth;
    if (shape == ShapeNone || (shape == ShapeRectangle && edgeFlags != 0))
        ++d;
    return {bounds.left + d, bounds.top + d, bounds.right - d, bounds.bottom - d};
}

bool fcInteriorContains(TFcShape shape, const TFcRect& bounds, int outlineWidth, int edgeFlags,
                        TFcPoint p) {
    const TFcRect in = fcInteriorRect(shape, bounds, outlineWidth, edgeFlags);
    // The shrunk shape keeps the corner sizes of the full object.
    const TFcSize c = cornerOf(shape, bounds);
    return fcRoundRectContains(in, c.width, c.height, p);
}

std::array<TFcPoint, 8> fcSelectionMarks(const TFcRect& b) {
    const int r = b.right - 1, bt = b.bottom - 1;
    const int mx = b.left + b.width() / 2, my = b.top + b.height() / 2;
    return {{{b.left, b.top},
             {mx, b.top},
             {r, b.top},
             {r, my},
             {r, bt},
             {mx, bt},
             {b.left, bt},
             {b.left, my}}};
}

TFcRect fcSelectionMarkRect(TFcPoint c) {
    return {c.x - 2, c.y - 2, c.x + 3, c.y + 3};
}

int fcSelectionMarkAt(const TFcRect& bounds, TFcPoint p) {
    if (!bounds.inflated(1).contains(p))
        return -1;
    const auto marks = fcSelectionMarks(bounds);
    for (int i = 0; i < 8; ++i) {
        if (std::abs(p.x - marks[i].x) <= 2 && std::abs(p.y - marks[i].y) <= 2)
            return i;
    }
    return -1;
}

bool fcNearSegment(TFcPoint a, TFcPoint b, TFcPoint p, int tolerance) {
    const double ax = a.x, ay = a.y, bx = b.x, by = b.y, px = p.x, py = p.y;
    const double vx = bx - ax, vy = by - ay;
    const double len2 = vx * vx + vy * vy;
    double t = 0;
    if (len2 > 0)
        t = std::clamp(((px - ax) * vx + (py - ay) * vy) / len2, 0.0, 1.0);
    const double dx = ax + t * vx - px, dy = ay + t * vy - py;
    return dx * dx + dy * dy <= static_cast<double>(tolerance) * tolerance;
}

long long fcArrowScore(TFcDirection direction, long long dx, long long dy) {
    long long d = 0, e = 0;
    switch (direction) {
    case TFcDirection::Right:
        d = dx, e = dy;
        break;
    case TFcDirection::Left:
        d = -dx, e = dy;
        break;
    case TFcDirection::Down:
        d = dy, e = dx;
        break;
    case TFcDirection::Up:
        d = -dy, e = dx;
        break;
    }
    if (d < 0)
        return -1;
    return d + 8 * (e < 0 ? -e : e) + d / 4;
}

std::vector<int> fcPageTops(const std::vector<TFcRect>& objects, int top, int bottom,
                            int pageHeight) {
    std::vector<int> tops{top};
    if (pageHeight <= 0)
        return tops;
    for (int y = top; bottom - y > pageHeight;) {
        const int full = y + pageHeight;
        const int lowest = y + (pageHeight + 1) / 2; // the highest a cut may move up to
        int cut = full;
        // Moving the cut up to the top of an object it passes through may make it pass
        // through another; repeat until it is clear or would leave too little on the page.
        for (bool moved = true; moved;) {
            moved = false;
            for (const TFcRect& o : objects) {
                if (o.top < cut && o.bottom > cut && o.top >= lowest) {
                    cut = o.top;
                    moved = true;
                } else if (o.top < cut && o.bottom > cut) {
                    cut = full; // an object that cannot be cleared: the page is cut full
                    moved = false;
                    break;
                }
            }
        }
        tops.push_back(cut);
        y = cut;
    }
    return tops;
}
