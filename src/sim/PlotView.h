#pragma once

// Which span of simulated time the sensor plot shows, and how it moves as samples come in:
// the whole record (Fit, the start), or a width the pupil zoomed to that follows the latest
// sample while its right edge is on it and stays put otherwise. Paused, the view keeps its
// span and the record's end as they were, whatever comes in, until it goes on.

#include <cstdint>

namespace sim {

struct TPlotSpan {
    std::int64_t beginUs = 0;
    std::int64_t endUs = 0;
    std::int64_t widthUs() const { return endUs - beginUs; }
    bool operator==(const TPlotSpan&) const = default;
};

// The narrowest span a zoom goes to, and the width of the view of a record shorter than it.
inline constexpr std::int64_t kLeastPlotSpanUs = 50'000;

class TPlotView {
public:
    // The record now reaches from first to last (ignored while paused).
    void setExtent(std::int64_t firstUs, std::int64_t lastUs);
    // Zooms by factor (below 1 in, above 1 out) around the time at, which stays where it is on
    // the screen. Out to the whole record or beyond is the same as fit().
    void zoom(std::int64_t atUs, double factor);
    // The whole record.
    void fit();
    void setPaused(bool paused) { m_paused = paused; }

    bool paused() const { return m_paused; }
    bool fitted() const { return m_fit; }
    // Whether the span's right edge is held to the latest sample.
    bool following() const { return m_follow; }
    TPlotSpan span() const { return m_span; }
    // The record's end as the view knows it: the latest sample, or the one at the pause.
    std::int64_t lastUs() const { return m_last; }

private:
    void place(std::int64_t beginUs, std::int64_t width);

    TPlotSpan m_span{0, kLeastPlotSpanUs};
    std::int64_t m_first = 0;
    std::int64_t m_last = 0;
    bool m_fit = true;
    bool m_follow = true;
    bool m_paused = false;
};

} // namespace sim
