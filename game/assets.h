// The 33 pictures: loading them at start-up and releasing them at exit.
#pragma once
#include "winapi/ddraw.h"

extern IDirectDrawSurface* g_picBack;
extern IDirectDrawSurface* g_picBack2;
extern IDirectDrawSurface* g_picBack3;
extern IDirectDrawSurface* g_picPush;
extern IDirectDrawSurface* g_picAwa;
extern IDirectDrawSurface* g_picOpn;
extern IDirectDrawSurface* g_picFish1;
extern IDirectDrawSurface* g_picFish2;
extern IDirectDrawSurface* g_picFishT;
extern IDirectDrawSurface* g_picMove[3][3];  // [move index][phase]
extern IDirectDrawSurface* g_picHenge[9];    // by mutation
extern IDirectDrawSurface* g_picSyougai[6];  // by floating-object slot

void LoadAssets();
void ReleaseAssets();
