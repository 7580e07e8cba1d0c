#include "driver/run_settings.h"
