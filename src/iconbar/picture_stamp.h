// The title picture written over the field and softened by twenty hidden
// steps of the diffusion rule.
#pragma once

inline constexpr int title_picture_id = 118;

// White pixels become 0, black ones 32767. An unreadable picture leaves the
// field as it was.
void stamp_picture();
