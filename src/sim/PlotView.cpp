#include "sim/PlotView.h"

#include <algorithm>
#include <cmath>

namespace sim {

void TPlotView::setExtent(std::int64_t firstUs, std::int64_t lastUs) {
    if (m_paused)
        return;
    m_first = firstUs;
    m_last = std::max(firstUs, lastUs);
    if (m_fit)
        place(m_first, std::max(m_last - m_first, kLeastPlotSpanUs));
    else if (m_follow)
        place(m_last - m_span.widthUs(), m_span.widthUs());
    else
        place(m_span.beginUs, m_span.widthUs()); // a new, shorter record: back inside it
}

void TPlotView::zoom(std::int64_t atUs, double factor) {
    const std::int64_t whole = m_last - m_first;
    const std::int64_t width = m_span.widthUs();
    const auto wanted =
        static_cast<std::int64_t>(std::llround(static_cast<double>(width) * factor));
    if (!(factor > 0) || wanted >= whole) {
        fit();
        return;
    }
    const std::int64_t narrower = std::max(wanted, kLeastPlotSpanUs);
    if (narrower == width)
        return;
    atUs = std::clamp(atUs, m_span.beginUs, m_span.endUs);
    // The time under the pointer keeps its place: the same share of the span lies left of it.
    const double share = static_cast<double>(atUs - m_span.beginUs) / static_cast<double>(width);
    const auto begin =
        atUs - static_cast<std::int64_t>(std::llround(share * static_cast<double>(narrower)));
    m_fit = false;
    place(begin, narrower);
    m_follow = m_span.endUs >= m_last;
}

void TPlotView::fit() {
    m_fit = true;
    m_follow = true;
    place(m_first, std::max(m_last - m_first, kLeastPlotSpanUs));
}

void TPlotView::place(std::int64_t beginUs, std::int64_t width) {
    // Inside the record where it is long enough; a short record starts at its first sample.
    beginUs = std::min(beginUs, m_last - width);
    beginUs = std::max(beginUs, m_first);
    m_span = {beginUs, beginUs + width};
}

} // namespace sim
