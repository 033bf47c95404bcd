#include "telemetry/vector_state.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

namespace {

__attribute__((target("avx"))) void ZeroUpper() { _mm256_zeroupper(); }

}  // namespace

void ClearUpperVectorHalves() {
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) ZeroUpper();
}
#else
void ClearUpperVectorHalves() {}
#endif
