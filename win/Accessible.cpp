// The accessibility annotations; see Accessible.h. The service is made once,
// on the window's thread, after COM was started there.
#include "Accessible.h"

#include <initguid.h>
// After initguid.h, so that the property identifiers are defined here.
#include <oleacc.h>

namespace {
IAccPropServices* Service() {
    static IAccPropServices* const service = [] {
        IAccPropServices* made = nullptr;
        if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IAccPropServices, reinterpret_cast<void**>(&made))))
            return static_cast<IAccPropServices*>(nullptr);
        return made;
    }();
    return service;
}

void SetText(HWND control, const MSAAPROPID& property, const std::wstring& text) {
    if (IAccPropServices* service = Service())
        service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property,
                                text.c_str());
}
}  // namespace

void SetAccessibleName(HWND control, const std::wstring& name) {
    SetText(control, PROPID_ACC_NAME, name);
}

void SetAccessibleDescription(HWND control, const std::wstring& description) {
    SetText(control, PROPID_ACC_DESCRIPTION, description);
}
