// The span of time the sensor plot shows as samples come in, the pupil zooms, fits and pauses.
#include "sim/PlotView.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr std::int64_t ms = 1000;

struct TAction {
    enum Kind { Extent, Zoom, Fit, Pause, Resume } kind;
    std::int64_t a = 0; // Extent: first; Zoom: the time under the pointer
    std::int64_t b = 0; // Extent: last
    double factor = 1;  // Zoom
};

TAction extent(std::int64_t first, std::int64_t last) {
    return {TAction::Extent, first, last};
}
TAction zoom(std::int64_t at, double factor) {
    return {TAction::Zoom, at, 0, factor};
}
const TAction fit{TAction::Fit};
const TAction pause{TAction::Pause};
const TAction resume{TAction::Resume};

struct TViewCase {
    const char* name;
    std::vector<TAction> actions;
    sim::TPlotSpan span;
    bool fitted;
    bool following;
};

class PlotViewCases : public testing::TestWithParam<TViewCase> {};

TEST_P(PlotViewCases, shows_the_span) {
    const TViewCase& c = GetParam();
    sim::TPlotView view;
    for (const TAction& a : c.actions) {
        switch (a.kind) {
        case TAction::Extent:
            view.setExtent(a.a, a.b);
            break;
        case TAction::Zoom:
            view.zoom(a.a, a.factor);
            break;
        case TAction::Fit:
            view.fit();
            break;
        case TAction::Pause:
            view.setPaused(true);
            break;
        case TAction::Resume:
            view.setPaused(false);
            break;
        }
    }
    EXPECT_EQ(view.span().beginUs, c.span.beginUs);
    EXPECT_EQ(view.span().endUs, c.span.endUs);
    EXPECT_EQ(view.fitted(), c.fitted);
    EXPECT_EQ(view.following(), c.following);
}

INSTANTIATE_TEST_SUITE_P(
    Views, PlotViewCases,
    testing::Values(
        TViewCase{"the_whole_record_at_first", {extent(0, 1000 * ms)}, {0, 1000 * ms}, true, true},
        TViewCase{"grows_with_the_record",
                  {extent(0, 1000 * ms), extent(0, 3000 * ms)},
                  {0, 3000 * ms},
                  true,
                  true},
        TViewCase{"a_short_record_shows_the_least_span",
                  {extent(0, 20 * ms)},
                  {0, sim::kLeastPlotSpanUs},
                  true,
                  true},
        // The time under the pointer keeps its place: 500 ms stays in the middle.
        TViewCase{"zoom_in_around_the_pointer",
                  {extent(0, 1000 * ms), zoom(500 * ms, 0.5)},
                  {250 * ms, 750 * ms},
                  false,
                  false},
        TViewCase{"zoomed_away_from_the_end_stays_put",
                  {extent(0, 1000 * ms), zoom(500 * ms, 0.5), extent(0, 2000 * ms)},
                  {250 * ms, 750 * ms},
                  false,
                  false},
        TViewCase{"zoomed_at_the_end_follows_the_latest",
                  {extent(0, 1000 * ms), zoom(1000 * ms, 0.5), extent(0, 2000 * ms)},
                  {1500 * ms, 2000 * ms},
                  false,
                  true},
        // 200 ms at a quarter of the way: 50 ms left of it in a 200 ms span.
        TViewCase{"zoom_twice_in",
                  {extent(0, 1000 * ms), zoom(500 * ms, 0.5), zoom(375 * ms, 0.4)},
                  {325 * ms, 525 * ms},
                  false,
                  false},
        TViewCase{"no_narrower_than_the_least_span",
                  {extent(0, 1000 * ms), zoom(0, 0.001)},
                  {0, sim::kLeastPlotSpanUs},
                  false,
                  false},
        TViewCase{"a_pointer_outside_the_span_zooms_at_its_edge",
                  {extent(0, 1000 * ms), zoom(-300 * ms, 0.5)},
                  {0, 500 * ms},
                  false,
                  false},
        TViewCase{
            "zoom_out_past_the_whole_is_fit",
            {extent(0, 1000 * ms), zoom(500 * ms, 0.5), zoom(500 * ms, 4), extent(0, 1500 * ms)},
            {0, 1500 * ms},
            true,
            true},
        TViewCase{"fit_shows_all_again",
                  {extent(0, 1000 * ms), zoom(200 * ms, 0.1), fit, extent(0, 1200 * ms)},
                  {0, 1200 * ms},
                  true,
                  true},
        // Paused: what comes in is not shown; a fit shows the record as it was at the pause.
        TViewCase{"paused_keeps_the_view",
                  {extent(0, 1000 * ms), pause, extent(0, 2000 * ms), fit},
                  {0, 1000 * ms},
                  true,
                  true},
        TViewCase{"paused_zoom_stays_within_the_paused_record",
                  {extent(0, 1000 * ms), pause, extent(0, 2000 * ms), zoom(1000 * ms, 0.5)},
                  {500 * ms, 1000 * ms},
                  false,
                  true},
        TViewCase{"going_on_catches_up",
                  {extent(0, 1000 * ms), pause, extent(0, 2000 * ms), resume, extent(0, 2500 * ms)},
                  {0, 2500 * ms},
                  true,
                  true},
        // A new run's shorter record brings a fixed span back inside it.
        TViewCase{"a_new_shorter_record",
                  {extent(0, 1000 * ms), zoom(500 * ms, 0.5), extent(0, 100 * ms)},
                  {0, 500 * ms},
                  false,
                  false}),
    [](const testing::TestParamInfo<TViewCase>& info) { return std::string(info.param.name); });

TEST(PlotView, the_record_end_is_held_while_paused) {
    sim::TPlotView view;
    view.setExtent(0, 700 * ms);
    view.setPaused(true);
    view.setExtent(0, 900 * ms);
    EXPECT_TRUE(view.paused());
    EXPECT_EQ(view.lastUs(), 700 * ms);
    view.setPaused(false);
    view.setExtent(0, 900 * ms);
    EXPECT_EQ(view.lastUs(), 900 * ms);
}

} // namespace
