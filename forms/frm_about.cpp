#include "forms/frm_about.hpp"

namespace forms {

TFrmAbout::TFrmAbout(HWND owner)
    : window_(owner, "About Corvale", kDesignedClientWidth, kDesignedClientHeight,
              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, WS_EX_DLGMODALFRAME) {}

}  // namespace forms
