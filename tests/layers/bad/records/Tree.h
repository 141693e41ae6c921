#pragma once
#include "chart/Chart.h"
