// The one place that knows every backend. It sits above them all in its own
// library so that a backend's library never links back into the platform core.
#include "platform/backend.h"
#include "platform/headless/headless_backend.h"

std::unique_ptr<PlatformBackend> CreatePlatformBackend(BackendKind kind) {
  // The desktop backend is not built in yet: headless serves both.
  (void)kind;
  return std::make_unique<THeadlessBackend>(HeadlessOptions{});
}
