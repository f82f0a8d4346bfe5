// The two process-wide switches of the animation.
#pragma once

// From the view's creation until the main window starts closing: frames may
// be produced and the display may be touched.
extern bool running;
// Frames are drawn from the present field without a step.
extern bool paused;
