// Injected faults: the headless host names a call, and that call's next use fails.
#include <map>
#include <string>
#include <string_view>

#include "platform/platform_internal.h"

namespace {

// Call name -> the code its next use returns; each entry is used once.
std::map<std::string, HRESULT, std::less<>>& Faults() {
    static std::map<std::string, HRESULT, std::less<>> faults;
    return faults;
}

}  // namespace

namespace platform {

bool TakeFault(const char* call, HRESULT* code) {
    auto& faults = Faults();
    if (faults.empty()) return false;  // the usual case: no map search per call
    auto it = faults.find(std::string_view(call));
    if (it == faults.end()) return false;
    if (code) *code = it->second;
    faults.erase(it);
    return true;
}

void SetFault(const char* call, HRESULT code) { Faults()[call] = code; }

void ClearFaults() { Faults().clear(); }

}  // namespace platform
