// The DirectDraw error report: every code's name, the unknown ones, the line.
#include <gtest/gtest.h>

#include <string>

#include "display/dderror.h"
#include "hosts/headless/headless.h"
#include "tests/display/display_fixture.h"
#include "winapi/ddraw.h"

namespace {

struct Named {
    uint32_t code;
    const char* name;
};

constexpr uint32_t F(uint32_t n) { return 0x88760000u + n; }

// The SDK's own pairing of each code with its name.
// clang-format off
const Named kTable[] = {
    {0, "DD_OK"}, {0x80004001u, "DDERR_UNSUPPORTED"}, {0x80004005u, "DDERR_GENERIC"},
    {0x800401F0u, "DDERR_NOTINITIALIZED"}, {0x8007000Eu, "DDERR_OUTOFMEMORY"},
    {0x80070057u, "DDERR_INVALIDPARAMS"}, {F(5), "DDERR_ALREADYINITIALIZED"},
    {F(10), "DDERR_CANNOTATTACHSURFACE"}, {F(20), "DDERR_CANNOTDETACHSURFACE"},
    {F(40), "DDERR_CURRENTLYNOTAVAIL"}, {F(55), "DDERR_EXCEPTION"}, {F(90), "DDERR_HEIGHTALIGN"},
    {F(95), "DDERR_INCOMPATIBLEPRIMARY"}, {F(100), "DDERR_INVALIDCAPS"}, {F(110), "DDERR_INVALIDCLIPLIST"},
    {F(120), "DDERR_INVALIDMODE"}, {F(130), "DDERR_INVALIDOBJECT"}, {F(145), "DDERR_INVALIDPIXELFORMAT"},
    {F(150), "DDERR_INVALIDRECT"}, {F(160), "DDERR_LOCKEDSURFACES"}, {F(170), "DDERR_NO3D"},
    {F(180), "DDERR_NOALPHAHW"}, {F(205), "DDERR_NOCLIPLIST"}, {F(210), "DDERR_NOCOLORCONVHW"},
    {F(212), "DDERR_NOCOOPERATIVELEVELSET"}, {F(215), "DDERR_NOCOLORKEY"}, {F(220), "DDERR_NOCOLORKEYHW"},
    {F(222), "DDERR_NODIRECTDRAWSUPPORT"}, {F(225), "DDERR_NOEXCLUSIVEMODE"}, {F(230), "DDERR_NOFLIPHW"},
    {F(240), "DDERR_NOGDI"}, {F(250), "DDERR_NOMIRRORHW"}, {F(255), "DDERR_NOTFOUND"},
    {F(260), "DDERR_NOOVERLAYHW"}, {F(280), "DDERR_NORASTEROPHW"}, {F(290), "DDERR_NOROTATIONHW"},
    {F(310), "DDERR_NOSTRETCHHW"}, {F(316), "DDERR_NOT4BITCOLOR"}, {F(317), "DDERR_NOT4BITCOLORINDEX"},
    {F(320), "DDERR_NOT8BITCOLOR"}, {F(330), "DDERR_NOTEXTUREHW"}, {F(335), "DDERR_NOVSYNCHW"},
    {F(340), "DDERR_NOZBUFFERHW"}, {F(350), "DDERR_NOZOVERLAYHW"}, {F(360), "DDERR_OUTOFCAPS"},
    {F(380), "DDERR_OUTOFVIDEOMEMORY"}, {F(382), "DDERR_OVERLAYCANTCLIP"},
    {F(384), "DDERR_OVERLAYCOLORKEYONLYONEACTIVE"}, {F(387), "DDERR_PALETTEBUSY"},
    {F(400), "DDERR_COLORKEYNOTSET"}, {F(410), "DDERR_SURFACEALREADYATTACHED"},
    {F(420), "DDERR_SURFACEALREADYDEPENDENT"}, {F(430), "DDERR_SURFACEBUSY"}, {F(435), "DDERR_CANTLOCKSURFACE"},
    {F(440), "DDERR_SURFACEISOBSCURED"}, {F(450), "DDERR_SURFACELOST"}, {F(460), "DDERR_SURFACENOTATTACHED"},
    {F(470), "DDERR_TOOBIGHEIGHT"}, {F(480), "DDERR_TOOBIGSIZE"}, {F(490), "DDERR_TOOBIGWIDTH"},
    {F(510), "DDERR_UNSUPPORTEDFORMAT"}, {F(520), "DDERR_UNSUPPORTEDMASK"},
    {F(537), "DDERR_VERTICALBLANKINPROGRESS"}, {F(540), "DDERR_WASSTILLDRAWING"}, {F(560), "DDERR_XALIGN"},
    {F(561), "DDERR_INVALIDDIRECTDRAWGUID"}, {F(562), "DDERR_DIRECTDRAWALREADYCREATED"},
    {F(563), "DDERR_NODIRECTDRAWHW"}, {F(564), "DDERR_PRIMARYSURFACEALREADYEXISTS"},
    {F(565), "DDERR_NOEMULATION"}, {F(566), "DDERR_REGIONTOOSMALL"}, {F(567), "DDERR_CLIPPERISUSINGHWND"},
    {F(568), "DDERR_NOCLIPPERATTACHED"}, {F(569), "DDERR_NOHWND"}, {F(570), "DDERR_HWNDSUBCLASSED"},
    {F(571), "DDERR_HWNDALREADYSET"}, {F(572), "DDERR_NOPALETTEATTACHED"}, {F(573), "DDERR_NOPALETTEHW"},
    {F(574), "DDERR_BLTFASTCANTCLIP"}, {F(575), "DDERR_NOBLTHW"}, {F(576), "DDERR_NODDROPSHW"},
    {F(577), "DDERR_OVERLAYNOTVISIBLE"}, {F(578), "DDERR_NOOVERLAYDEST"}, {F(579), "DDERR_INVALIDPOSITION"},
    {F(580), "DDERR_NOTAOVERLAYSURFACE"}, {F(581), "DDERR_EXCLUSIVEMODEALREADYSET"},
    {F(582), "DDERR_NOTFLIPPABLE"}, {F(583), "DDERR_CANTDUPLICATE"}, {F(584), "DDERR_NOTLOCKED"},
    {F(585), "DDERR_CANTCREATEDC"}, {F(586), "DDERR_NODC"}, {F(587), "DDERR_WRONGMODE"},
    {F(588), "DDERR_IMPLICITLYCREATED"}, {F(589), "DDERR_NOTPALETTIZED"}, {F(590), "DDERR_UNSUPPORTEDMODE"},
    {F(591), "DDERR_NOMIPMAPHW"}, {F(592), "DDERR_INVALIDSURFACETYPE"}, {F(620), "DDERR_DCALREADYCREATED"},
    {F(640), "DDERR_CANTPAGELOCK"}, {F(660), "DDERR_CANTPAGEUNLOCK"}, {F(680), "DDERR_NOTPAGELOCKED"},
};
// clang-format on

TEST(DDErrorName, EveryListedCodeHasItsSdkName) {
    ASSERT_EQ(std::size(kTable), 101u);
    for (const Named& entry : kTable)
        EXPECT_STREQ(DDErrorName(static_cast<HRESULT>(entry.code)), entry.name) << std::hex << "code 0x" << entry.code;
}

TEST(DDErrorName, CodesOutsideTheTableAreUnknown) {
    // Neighbours of listed codes, codes the SDK has but the table lacks, other facilities.
    const uint32_t unknown[] = {F(0),       F(4),      F(6), F(270),      F(600),      F(681),
                                F(1000),    F(0xFFFF), 1,    0x80004002u, 0x80070056u, 0x88770000u + 450,
                                0xFFFFFFFFu};
    for (uint32_t code : unknown)
        EXPECT_STREQ(DDErrorName(static_cast<HRESULT>(code)), "??? Unknown Error") << std::hex << "code 0x" << code;
}

class ReportDDErrorTest : public DisplayTest {};

TEST_F(ReportDDErrorTest, OneLineNameFirstToTheDebuggerAndInABox) {
    const struct {
        HRESULT code;
        const char* label;
        const char* line;
    } cases[] = {
        {MakeDDResult(590), "SetDisplayMode", "DirectDraw Error code| DDERR_UNSUPPORTEDMODE | SetDisplayMode\n"},
        {static_cast<HRESULT>(0x887601C2u), "Lock", "DirectDraw Error code| DDERR_SURFACELOST | Lock\n"},
        {DDERR_GENERIC, "SetClipper", "DirectDraw Error code| DDERR_GENERIC | SetClipper\n"},
        {DD_OK, "SetHWnd", "DirectDraw Error code| DD_OK | SetHWnd\n"},
        {MakeDDResult(270), "CreatePalette", "DirectDraw Error code| ??? Unknown Error | CreatePalette\n"},
    };
    for (const auto& c : cases) {
        headless::Reset();
        EXPECT_EQ(ReportDDError(c.label, c.code), IDOK);
        ASSERT_EQ(headless::DebugLines().size(), 1u) << c.label;
        EXPECT_EQ(headless::DebugLines()[0], c.line);
        ASSERT_EQ(headless::MessageBoxes().size(), 1u) << c.label;
        EXPECT_EQ(headless::MessageBoxes()[0].caption, "DirectDraw Error !!");
        EXPECT_EQ(headless::MessageBoxes()[0].text, c.line);
    }
}

TEST_F(ReportDDErrorTest, AnOverlongLabelIsCutAtTheLineBuffer) {
    std::string label(400, 'x');
    ReportDDError(label.c_str(), DDERR_GENERIC);
    ASSERT_EQ(headless::DebugLines().size(), 1u);
    const std::string& line = headless::DebugLines()[0];
    EXPECT_EQ(line.size(), 255u);
    EXPECT_EQ(line.rfind("DirectDraw Error code| DDERR_GENERIC | xxx", 0), 0u) << line;
}

}  // namespace
