#pragma once

// The simulated floor seen from above: its black lines, walls and boxes, the robot as a circle
// with a nose showing its heading, the path it has driven, and what it last said in a bubble.
// Fitted to the widget, y up; a grid line every 100 mm. While editing, the left button's press,
// drag and release come out as floor points for the panel to make into edits.

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
    QPointF toFloor(QPointF widget) const;

    // The mouse edits the floor: its left button comes out as the signals below.
    void setEditing(bool on);
    bool editing() const { return m_editing; }

    QSize sizeHint() const override { return {360, 300}; }

signals:
    // Editing: the left button pressed, dragged and released at floor points (millimetres).
    void floorPressed(QPointF floorMm);
    void floorDragged(QPointF floorMm);
    void floorReleased(QPointF floorMm);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    double scale() const;

    sim::TFloor m_floor;
    sim::TPose m_pose;
    double m_radius = 75;
    std::vector<QPointF> m_path;
    int m_leds = 0;
    QString m_speech;
    bool m_editing = false;
    bool m_dragging = false;
};
