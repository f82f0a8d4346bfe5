/* Resource numbers, shared by the Windows resource script and the code. */
#pragma once

#define IDR_PALETTES 124
