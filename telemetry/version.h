#pragma once

// The version of the library, as the build gives it.
inline constexpr char kLibraryVersion[] = ORCA5_VERSION;
