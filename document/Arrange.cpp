#include "document/Arrange.h"
