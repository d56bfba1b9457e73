#pragma once
// Pictures the program carries in its resources.
#include <windows.h>
#include <ocidl.h>

#include "platform/Handles.h"

namespace polvane {

using UniquePicture = UniqueCom<IPicture>;

// Loads a GIF stored as a resource of type "GIF", through OLE's own picture
// loader; empty when the resource or the loader fails.
UniquePicture LoadGifResource(HINSTANCE instance, int id);

}  // namespace polvane
