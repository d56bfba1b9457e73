#pragma once
// COM for the shell's calls and OLE's picture loader.

namespace polvane {

// Joins the user-interface thread to a single-threaded COM apartment, as
// ShellExecute and OLE's picture loader expect it, the first time one of
// them is needed; it is left when the program ends.
void EnsureComApartment();

}  // namespace polvane
