// The platform calls that tests and the sim can make fail: one list, read by
// the calls themselves, the headless host and the sim's script.
#pragma once
#include <optional>
#include <string_view>

#include "winapi/win.h"

namespace winapi {

enum class FaultPoint {
    // Win32, which then return their failure value.
    RegisterClassA,
    CreateWindowExA,
    LoadImageA,
    // Every DirectDraw entry point, which then returns the code.
    DirectDrawCreate,
    SetCooperativeLevel,
    SetDisplayMode,
    CreateSurface,
    CreateClipper,
    CreatePalette,
    GetAttachedSurface,
    SetClipper,
    SetPalette,
    SetColorKey,
    GetDC,
    ReleaseDC,
    Lock,
    Unlock,
    Blt,
    Flip,
    IsLost,
    Restore,
    SetHWnd,
    SetEntries,
    GetEntries,
};

struct FaultPointName {
    FaultPoint point;
    const char* name;  // the call's own name, as scripts and tests give it
};

// In the enum's order, one row each.
inline constexpr FaultPointName kFaultPoints[] = {
    {FaultPoint::RegisterClassA, "RegisterClassA"},
    {FaultPoint::CreateWindowExA, "CreateWindowExA"},
    {FaultPoint::LoadImageA, "LoadImageA"},
    {FaultPoint::DirectDrawCreate, "DirectDrawCreate"},
    {FaultPoint::SetCooperativeLevel, "SetCooperativeLevel"},
    {FaultPoint::SetDisplayMode, "SetDisplayMode"},
    {FaultPoint::CreateSurface, "CreateSurface"},
    {FaultPoint::CreateClipper, "CreateClipper"},
    {FaultPoint::CreatePalette, "CreatePalette"},
    {FaultPoint::GetAttachedSurface, "GetAttachedSurface"},
    {FaultPoint::SetClipper, "SetClipper"},
    {FaultPoint::SetPalette, "SetPalette"},
    {FaultPoint::SetColorKey, "SetColorKey"},
    {FaultPoint::GetDC, "GetDC"},
    {FaultPoint::ReleaseDC, "ReleaseDC"},
    {FaultPoint::Lock, "Lock"},
    {FaultPoint::Unlock, "Unlock"},
    {FaultPoint::Blt, "Blt"},
    {FaultPoint::Flip, "Flip"},
    {FaultPoint::IsLost, "IsLost"},
    {FaultPoint::Restore, "Restore"},
    {FaultPoint::SetHWnd, "SetHWnd"},
    {FaultPoint::SetEntries, "SetEntries"},
    {FaultPoint::GetEntries, "GetEntries"},
};
constexpr int kFaultPointCount = static_cast<int>(sizeof kFaultPoints / sizeof kFaultPoints[0]);

constexpr bool FaultPointsInOrder() {
    for (int i = 0; i < kFaultPointCount; ++i)
        if (static_cast<int>(kFaultPoints[i].point) != i) return false;
    return static_cast<int>(FaultPoint::GetEntries) == kFaultPointCount - 1;
}
static_assert(FaultPointsInOrder(), "kFaultPoints names every fault point once, in the enum's order");

// The point of the call named `name`; false when no call of that name can fail.
bool FindFaultPoint(std::string_view name, FaultPoint* point);

// The code the call's next use fails with, when one was set; each is used once.
std::optional<HRESULT> TakeFault(FaultPoint point);
// Called by the headless host; a second code for the same call replaces the first.
void SetFault(FaultPoint point, HRESULT code);
void ClearFaults();

}  // namespace winapi
