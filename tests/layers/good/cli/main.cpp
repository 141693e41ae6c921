#include "chart/Chart.h"
#include "platform/serial/Port.h"
#include <QCoreApplication>
