/* Resource numbers, shared by the Windows resource script and the code. */
#pragma once

#define IDI_APP 101

/* Icon bar faces: four per button, in the order up, lit, down, disabled. */
#define IDI_DIFFUSION_UP 105
#define IDI_DIFFUSION_LIT 106
#define IDI_DIFFUSION_DOWN 107
#define IDI_DIFFUSION_DISABLED 108
#define IDI_WAVE_UP 109
#define IDI_WAVE_LIT 110
#define IDI_WAVE_DOWN 111
#define IDI_WAVE_DISABLED 112
#define IDI_PAUSE_UP 113
#define IDI_PAUSE_LIT 114
#define IDI_PAUSE_DOWN 115
#define IDI_PAUSE_DISABLED 116
#define IDI_PICTURE_UP 140
#define IDI_PICTURE_LIT 141
#define IDI_PICTURE_DOWN 142
#define IDI_PICTURE_DISABLED 143

#define IDB_TITLE 118
#define IDR_PALETTES 124
