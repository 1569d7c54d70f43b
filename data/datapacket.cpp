#include "data/datapacket.h"
