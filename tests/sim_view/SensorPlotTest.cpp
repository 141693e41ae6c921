// The sensor plot: it paints the series ticked from the run's record, holds its view while
// paused, zooms with the wheel and fits again, and saves the record as CSV and itself as PNG.
#include "sim/view/SensorPlot.h"

#include "files/Files.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::vector<std::string> listing(const std::vector<std::string>& statements) {
    std::vector<std::string> lines{"10 REM \"ZOLVANE\""};
    int number = 20;
    for (const std::string& s : statements) {
        lines.push_back(std::to_string(number) + " REM \"" + s + "\"");
        number += 10;
    }
    return lines;
}

// The recorder fed as the panel feeds it.
class TFeed : public sim::TSimListener {
public:
    TFeed(const sim::TSimulator& simulator, sim::TSensorRecorder& recorder)
        : m_simulator(simulator), m_recorder(recorder) {}
    void ticked(std::int64_t) override { m_recorder.record(m_simulator); }
    void finished(const sim::TRunStatus&) override { m_recorder.recordEnd(m_simulator); }

private:
    const sim::TSimulator& m_simulator;
    sim::TSensorRecorder& m_recorder;
};

class SensorPlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Left wheel forward, right wheel back for 2 s, then both stop.
        m_sim.load(listing({"MOTOR 100,-50", "WAIT 200", "STX", "WAIT 10"}));
        m_sim.setListener(&m_feed);
        m_sim.setTickInterval(sim::kSampleUs);
        m_recorder.record(m_sim);
        m_plot = std::make_unique<TSensorPlot>(m_recorder);
        m_plot->resize(480, 300);
        m_plot->show();
    }
    void TearDown() override { m_sim.setListener(nullptr); }

    void runFor(std::int64_t us) {
        m_sim.runFor(us);
        m_plot->refresh();
    }
    QImage picture() const { return m_plot->canvas()->grab().toImage(); }
    int pixelsOf(const QImage& image, QRgb colour) const {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += (image.pixel(x, y) & 0xffffff) == colour;
        return count;
    }
    void wheel(int x, int delta) {
        const QPointF at(x, m_plot->canvas()->height() / 2);
        QWheelEvent event(at, m_plot->canvas()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_plot->canvas(), &event);
    }

    sim::TSimulator m_sim;
    sim::TSensorRecorder m_recorder{1000};
    TFeed m_feed{m_sim, m_recorder};
    std::unique_ptr<TSensorPlot> m_plot;
    QTemporaryDir m_dir;
};

constexpr QRgb kLeftColour = 0x000000; // the left wheel's line

TEST_F(SensorPlotTest, PaintsTheSeriesTickedFromTheRecord) {
    runFor(3'000'000);
    ASSERT_TRUE(m_sim.finished());
    EXPECT_EQ(m_recorder.samples().size(), 212u) << "0 to 2100 ms and the end at 2105";
    EXPECT_EQ(m_plot->visibleSpan().beginUs, 0);
    EXPECT_EQ(m_plot->visibleSpan().endUs, m_sim.timeUs()) << "the whole run at first";
    ASSERT_TRUE(m_plot->seriesShown(TSensorPlot::kLeftWheel));
    EXPECT_GT(pixelsOf(picture(), kLeftColour), 100) << "the left wheel's line";

    auto* box = m_plot->findChild<QCheckBox*>("PlotSeriesLeft");
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    EXPECT_FALSE(m_plot->seriesShown(TSensorPlot::kLeftWheel));
    EXPECT_EQ(pixelsOf(picture(), kLeftColour), 0) << "no line, no legend";
}

TEST_F(SensorPlotTest, PausedItKeepsItsViewWhileTheRunGoesOn) {
    runFor(500'000);
    const QImage before = picture();
    const sim::TPlotSpan span = m_plot->visibleSpan();
    EXPECT_EQ(span.endUs, 500'000);
    QTest::mouseClick(m_plot->findChild<QPushButton*>("PlotPauseButton"), Qt::LeftButton);
    ASSERT_TRUE(m_plot->paused());
    runFor(800'000);
    EXPECT_EQ(m_sim.timeUs(), 1'300'000) << "the run goes on";
    EXPECT_EQ(m_plot->visibleSpan(), span);
    // The same picture below the legend and the word that says it is paused.
    const QImage held = picture();
    ASSERT_EQ(held.size(), before.size());
    int differing = 0;
    for (int y = before.height() / 3; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            differing += before.pixel(x, y) != held.pixel(x, y);
    EXPECT_EQ(differing, 0);
    // Going on, it catches up.
    QTest::mouseClick(m_plot->findChild<QPushButton*>("PlotPauseButton"), Qt::LeftButton);
    EXPECT_FALSE(m_plot->paused());
    EXPECT_EQ(m_plot->visibleSpan().endUs, 1'300'000);
}

TEST_F(SensorPlotTest, TheWheelZoomsAroundThePointerAndFitShowsAllAgain) {
    runFor(2'000'000);
    const sim::TPlotSpan whole = m_plot->visibleSpan();
    const int x = m_plot->canvas()->width() / 2;
    const std::int64_t under = m_plot->timeAt(x);
    wheel(x, 120);
    const sim::TPlotSpan zoomed = m_plot->visibleSpan();
    EXPECT_NEAR(static_cast<double>(zoomed.widthUs()), whole.widthUs() * 0.8, 1'000);
    EXPECT_NEAR(static_cast<double>(m_plot->timeAt(x)), static_cast<double>(under), 10'000)
        << "the time under the pointer stays";
    wheel(x, 360);
    EXPECT_LT(m_plot->visibleSpan().widthUs(), zoomed.widthUs());
    // Out again a little, then Fit.
    wheel(x, -120);
    EXPECT_GT(m_plot->visibleSpan().widthUs(), zoomed.widthUs() / 2);
    QTest::mouseClick(m_plot->findChild<QPushButton*>("PlotFitButton"), Qt::LeftButton);
    EXPECT_EQ(m_plot->visibleSpan(), whole);
    // A double-click fits too.
    wheel(x, 600);
    ASSERT_NE(m_plot->visibleSpan(), whole);
    QTest::mouseDClick(m_plot->canvas(), Qt::LeftButton, {}, QPoint(x, 20));
    EXPECT_EQ(m_plot->visibleSpan(), whole);
}

TEST_F(SensorPlotTest, SavesTheRecordAsCsvAndThePlotAsPng) {
    runFor(3'000'000);
    const QString csv = m_dir.filePath("run.csv");
    ASSERT_TRUE(m_plot->saveCsv(csv));
    files::TResult<std::string> text = files::ReadWholeFile(csv.toStdString());
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, m_recorder.csv());
    const std::vector<std::string> lines = files::SplitLines(*text);
    ASSERT_EQ(lines.size(), m_recorder.samples().size() + 1);
    EXPECT_EQ(lines.front() + "\n", sim::SensorCsvHeader());
    EXPECT_EQ(lines[11], "100,0,0,0,0,0,0,0,0,0,0,0,0,0,0,100,-50,0,2,81")
        << "at 100 ms: turning right from 90 degrees at 1.5 rad/s, 25 mm/s on";

    const QString png = m_dir.filePath("run.png");
    ASSERT_TRUE(m_plot->savePng(png));
    QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), m_plot->canvas()->size());
    EXPECT_GT(pixelsOf(image, kLeftColour), 100);
}

TEST_F(SensorPlotTest, AFileThatCannotBeWrittenIsToldAndTheOldOneKept) {
    runFor(100'000);
    const QString folder = m_dir.filePath("folder.csv");
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const auto& save : {&TSensorPlot::saveCsv, &TSensorPlot::savePng}) {
        const files::TStatus saved = (m_plot.get()->*save)(m_dir.filePath("no/such/plot.x"));
        ASSERT_FALSE(saved);
        EXPECT_NE(saved.error().find("no/such/plot.x"), std::string::npos) << saved.error();
        const files::TStatus onFolder = (m_plot.get()->*save)(folder);
        ASSERT_FALSE(onFolder);
        EXPECT_NE(onFolder.error().find("folder.csv"), std::string::npos) << onFolder.error();
        EXPECT_TRUE(QFileInfo(folder).isDir());
    }
}

} // namespace
