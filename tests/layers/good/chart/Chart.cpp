#include "records/Tree.h"

#include <string>
