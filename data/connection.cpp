#include "data/connection.h"
