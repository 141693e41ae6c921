#include "app/Window.h"
#include "records/Tree.h"

#include <QString>
