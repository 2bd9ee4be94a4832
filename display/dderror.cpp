// DirectDraw error reports: the code's SDK name and the failed step, to the
// debugger output and in a message box.
#include "display/dderror.h"

#include <cstdint>
#include <cstdio>

#include "display/device.h"

namespace {

struct DDErrorEntry {
    uint32_t code;
    const char* name;
};

constexpr uint32_t Facility(uint32_t n) { return 0x88760000u + n; }

// The codes the SDK names, looked up by exact value. Some codes it defines
// (overlapping rectangles, no focus window, more data) are not here on
// purpose: they are reported as unknown like any other code.
constexpr DDErrorEntry kDDErrors[] = {
    {0x00000000u, "DD_OK"},
    {0x80004001u, "DDERR_UNSUPPORTED"},
    {0x80004005u, "DDERR_GENERIC"},
    {0x800401F0u, "DDERR_NOTINITIALIZED"},
    {0x8007000Eu, "DDERR_OUTOFMEMORY"},
    {0x80070057u, "DDERR_INVALIDPARAMS"},
    {Facility(5), "DDERR_ALREADYINITIALIZED"},
    {Facility(10), "DDERR_CANNOTATTACHSURFACE"},
    {Facility(20), "DDERR_CANNOTDETACHSURFACE"},
    {Facility(40), "DDERR_CURRENTLYNOTAVAIL"},
    {Facility(55), "DDERR_EXCEPTION"},
    {Facility(90), "DDERR_HEIGHTALIGN"},
    {Facility(95), "DDERR_INCOMPATIBLEPRIMARY"},
    {Facility(100), "DDERR_INVALIDCAPS"},
    {Facility(110), "DDERR_INVALIDCLIPLIST"},
    {Facility(120), "DDERR_INVALIDMODE"},
    {Facility(130), "DDERR_INVALIDOBJECT"},
    {Facility(145), "DDERR_INVALIDPIXELFORMAT"},
    {Facility(150), "DDERR_INVALIDRECT"},
    {Facility(160), "DDERR_LOCKEDSURFACES"},
    {Facility(170), "DDERR_NO3D"},
    {Facility(180), "DDERR_NOALPHAHW"},
    {Facility(205), "DDERR_NOCLIPLIST"},
    {Facility(210), "DDERR_NOCOLORCONVHW"},
    {Facility(212), "DDERR_NOCOOPERATIVELEVELSET"},
    {Facility(215), "DDERR_NOCOLORKEY"},
    {Facility(220), "DDERR_NOCOLORKEYHW"},
    {Facility(222), "DDERR_NODIRECTDRAWSUPPORT"},
    {Facility(225), "DDERR_NOEXCLUSIVEMODE"},
    {Facility(230), "DDERR_NOFLIPHW"},
    {Facility(240), "DDERR_NOGDI"},
    {Facility(250), "DDERR_NOMIRRORHW"},
    {Facility(255), "DDERR_NOTFOUND"},
    {Facility(260), "DDERR_NOOVERLAYHW"},
    {Facility(280), "DDERR_NORASTEROPHW"},
    {Facility(290), "DDERR_NOROTATIONHW"},
    {Facility(310), "DDERR_NOSTRETCHHW"},
    {Facility(316), "DDERR_NOT4BITCOLOR"},
    {Facility(317), "DDERR_NOT4BITCOLORINDEX"},
    {Facility(320), "DDERR_NOT8BITCOLOR"},
    {Facility(330), "DDERR_NOTEXTUREHW"},
    {Facility(335), "DDERR_NOVSYNCHW"},
    {Facility(340), "DDERR_NOZBUFFERHW"},
    {Facility(350), "DDERR_NOZOVERLAYHW"},
    {Facility(360), "DDERR_OUTOFCAPS"},
    {Facility(380), "DDERR_OUTOFVIDEOMEMORY"},
    {Facility(382), "DDERR_OVERLAYCANTCLIP"},
    {Facility(384), "DDERR_OVERLAYCOLORKEYONLYONEACTIVE"},
    {Facility(387), "DDERR_PALETTEBUSY"},
    {Facility(400), "DDERR_COLORKEYNOTSET"},
    {Facility(410), "DDERR_SURFACEALREADYATTACHED"},
    {Facility(420), "DDERR_SURFACEALREADYDEPENDENT"},
    {Facility(430), "DDERR_SURFACEBUSY"},
    {Facility(435), "DDERR_CANTLOCKSURFACE"},
    {Facility(440), "DDERR_SURFACEISOBSCURED"},
    {Facility(450), "DDERR_SURFACELOST"},
    {Facility(460), "DDERR_SURFACENOTATTACHED"},
    {Facility(470), "DDERR_TOOBIGHEIGHT"},
    {Facility(480), "DDERR_TOOBIGSIZE"},
    {Facility(490), "DDERR_TOOBIGWIDTH"},
    {Facility(510), "DDERR_UNSUPPORTEDFORMAT"},
    {Facility(520), "DDERR_UNSUPPORTEDMASK"},
    {Facility(537), "DDERR_VERTICALBLANKINPROGRESS"},
    {Facility(540), "DDERR_WASSTILLDRAWING"},
    {Facility(560), "DDERR_XALIGN"},
    {Facility(561), "DDERR_INVALIDDIRECTDRAWGUID"},
    {Facility(562), "DDERR_DIRECTDRAWALREADYCREATED"},
    {Facility(563), "DDERR_NODIRECTDRAWHW"},
    {Facility(564), "DDERR_PRIMARYSURFACEALREADYEXISTS"},
    {Facility(565), "DDERR_NOEMULATION"},
    {Facility(566), "DDERR_REGIONTOOSMALL"},
    {Facility(567), "DDERR_CLIPPERISUSINGHWND"},
    {Facility(568), "DDERR_NOCLIPPERATTACHED"},
    {Facility(569), "DDERR_NOHWND"},
    {Facility(570), "DDERR_HWNDSUBCLASSED"},
    {Facility(571), "DDERR_HWNDALREADYSET"},
    {Facility(572), "DDERR_NOPALETTEATTACHED"},
    {Facility(573), "DDERR_NOPALETTEHW"},
    {Facility(574), "DDERR_BLTFASTCANTCLIP"},
    {Facility(575), "DDERR_NOBLTHW"},
    {Facility(576), "DDERR_NODDROPSHW"},
    {Facility(577), "DDERR_OVERLAYNOTVISIBLE"},
    {Facility(578), "DDERR_NOOVERLAYDEST"},
    {Facility(579), "DDERR_INVALIDPOSITION"},
    {Facility(580), "DDERR_NOTAOVERLAYSURFACE"},
    {Facility(581), "DDERR_EXCLUSIVEMODEALREADYSET"},
    {Facility(582), "DDERR_NOTFLIPPABLE"},
    {Facility(583), "DDERR_CANTDUPLICATE"},
    {Facility(584), "DDERR_NOTLOCKED"},
    {Facility(585), "DDERR_CANTCREATEDC"},
    {Facility(586), "DDERR_NODC"},
    {Facility(587), "DDERR_WRONGMODE"},
    {Facility(588), "DDERR_IMPLICITLYCREATED"},
    {Facility(589), "DDERR_NOTPALETTIZED"},
    {Facility(590), "DDERR_UNSUPPORTEDMODE"},
    {Facility(591), "DDERR_NOMIPMAPHW"},
    {Facility(592), "DDERR_INVALIDSURFACETYPE"},
    {Facility(620), "DDERR_DCALREADYCREATED"},
    {Facility(640), "DDERR_CANTPAGELOCK"},
    {Facility(660), "DDERR_CANTPAGEUNLOCK"},
    {Facility(680), "DDERR_NOTPAGELOCKED"},
};
static_assert(sizeof kDDErrors / sizeof kDDErrors[0] == 101, "the code table has 101 entries");

}  // namespace

const char* DDErrorName(HRESULT code) {
    for (const DDErrorEntry& entry : kDDErrors)
        if (entry.code == static_cast<uint32_t>(code)) return entry.name;
    return "??? Unknown Error";
}

// Reports only: the caller releases what it made and returns its own failure.
int ReportDDError(const char* label, HRESULT code) {
    char line[256];
    std::snprintf(line, sizeof line, "DirectDraw Error code| %s | %s\n", DDErrorName(code), label);
    OutputDebugStringA(line);
    return MessageBoxA(g_errorOwner, line, "DirectDraw Error !!", MB_OK);
}
