#pragma once

namespace k57::test {

// Whether this build runs under AddressSanitizer or ThreadSanitizer: both
// slow every thread several times over and multiply what a program keeps
// resident, so tests that load the machine or bound memory ask less there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

}  // namespace k57::test
