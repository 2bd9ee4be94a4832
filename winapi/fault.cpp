// Injected faults: the headless host names a call, and that call's next use fails.
#include "winapi/fault.h"

#include <utility>

namespace {

// The code each call's next use returns.
std::optional<HRESULT> pending[winapi::kFaultPointCount];
int pendingCount = 0;

}  // namespace

namespace winapi {

bool FindFaultPoint(std::string_view name, FaultPoint* point) {
    for (const FaultPointName& row : kFaultPoints) {
        if (name == row.name) {
            *point = row.point;
            return true;
        }
    }
    return false;
}

std::optional<HRESULT> TakeFault(FaultPoint point) {
    if (pendingCount == 0) return std::nullopt;  // the usual case
    std::optional<HRESULT>& code = pending[static_cast<int>(point)];
    if (!code) return std::nullopt;
    --pendingCount;
    return std::exchange(code, std::nullopt);
}

void SetFault(FaultPoint point, HRESULT code) {
    std::optional<HRESULT>& slot = pending[static_cast<int>(point)];
    if (!slot) ++pendingCount;
    slot = code;
}

void ClearFaults() {
    for (std::optional<HRESULT>& code : pending) code.reset();
    pendingCount = 0;
}

}  // namespace winapi
