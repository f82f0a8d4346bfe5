// SIGTERM and SIGINT, which end modra-saver: seen by the host between
// frames, and able to wake it from a wait on the X server.
#pragma once

void catch_stop_signals();
bool stop_signalled();
// Sleeps until `fd` has something to read or a stop signal comes; returns at
// once if one came already.
void wait_readable_or_stopped(int fd);
