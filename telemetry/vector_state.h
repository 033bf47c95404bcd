#pragma once

// Code elsewhere in the process (a library's AVX routine) may return with the upper halves of
// the vector registers still marked in use. Until they are cleared, each of the decoder's
// plain SSE instructions waits on them: on the machines we measured, a capture decoded four
// times slower. A loop over many frames clears them first, on each block; elsewhere a no-op.
void ClearUpperVectorHalves();
