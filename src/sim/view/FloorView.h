#pragma once

// The simulated floor seen from above: its black lines, walls and boxes, the robot as a circle
// with a nose showing its heading, the path it has driven, and what it last said in a bubble.
// Fitted to the widget, y up; a grid line every 100 mm.

#include "sim/Floor.h"
#include "sim/World.h"

#include <QPointF>
#include <QString>
#include <QWidget>
#include <vector>

class TFloorView : public QWidget {
    Q_OBJECT
public:
    explicit TFloorView(QWidget* parent = nullptr);

    void setFloor(const sim::TFloor& floor);
    void setRobotRadius(double mm) { m_radius = mm; }
    // The robot where it is now; its path grows by the point (a new point only a millimetre or
    // more from the last, so a long run keeps a short path).
    void setPose(const sim::TPose& pose);
    void clearPath();
    // The lamps lit (bit n for PBn), drawn on the robot.
    void setLeds(int lit);
    // What the robot says; empty: no bubble.
    void setSpeech(const QString& text);

    const std::vector<QPointF>& path() const { return m_path; }
    // Widget point of a floor point, and back.
    QPointF toWidget(QPointF floorMm) const;

    QSize sizeHint() const override { return {360, 300}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double scale() const;

    sim::TFloor m_floor;
    sim::TPose m_pose;
    double m_radius = 75;
    std::vector<QPointF> m_path;
    int m_leds = 0;
    QString m_speech;
};
