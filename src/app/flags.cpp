#include "app/flags.h"

bool running = false;
bool paused = false;
