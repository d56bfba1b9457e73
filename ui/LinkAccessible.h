#pragma once
// What accessibility tools are told of a link drawn by a static control: a
// link, named by the control's text, whose default action opens it. The rest
// (place, parent, focus, navigation) is the system's own account of the
// control.
#include <windows.h>

namespace polvane {

// The answer to WM_GETOBJECT for OBJID_CLIENT on the link control hwnd;
// zero when no account can be given, so that the caller falls back on the
// system's.
LRESULT AnswerLinkObject(HWND hwnd, WPARAM wParam);

}  // namespace polvane
