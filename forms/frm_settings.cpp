#include "forms/frm_settings.hpp"

namespace forms {

TFrmSettings::TFrmSettings(HWND owner)
    : window_(owner, "Settings", kDesignedClientWidth, kDesignedClientHeight, WS_POPUP | WS_CAPTION | WS_SYSMENU,
              WS_EX_DLGMODALFRAME) {}

}  // namespace forms
