// The numbers of kawauo.exe's resources, shared by kawauo.rc and the window.
#pragma once

#define KAWAUO_ICON 1
