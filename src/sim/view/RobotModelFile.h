#pragma once

// The robot model the simulator runs with. A teacher can change it: robot-model.txt in the
// editor's configuration folder is read when it is there, else the model shipped in the
// resources is used. A damaged file gives the shipped model and a message that names the file
// and what is wrong in it, so a run never starts on half a model.

#include "sim/RobotModel.h"

#include <QString>

struct TRobotModelChoice {
    sim::TRobotModel model;
    QString file;    // the teacher's file read; empty: the shipped model
    QString problem; // why the teacher's file is not used; empty: nothing wrong
};

// The model from robot-model.txt in `folder` when there is one, else the shipped one.
TRobotModelChoice ChooseRobotModel(const QString& folder);

// Where the editor looks for a teacher's robot-model.txt: its configuration folder.
QString RobotModelFolder();
