#include "config/pegacaminho.h"
