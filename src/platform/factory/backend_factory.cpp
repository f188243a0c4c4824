// The one place that knows every backend. It sits above them all in its own
// library so that a backend's library never links back into the platform core.
#include <cstdio>
#include <string>

#include "platform/backend.h"
#include "platform/headless/headless_backend.h"
#ifdef ZENTROPE_HAVE_WX
#include "platform/wx/wx_backend_create.h"
#endif

namespace {
std::unique_ptr<PlatformBackend> CreateChosenBackend(BackendKind kind) {
#ifdef ZENTROPE_HAVE_WX
  if (kind == BackendKind::kDesktop) {
    std::string error;
    if (auto desktop = CreateWxBackend(&error)) return desktop;
    std::fprintf(stderr, "zentrope: no desktop (%s); running without a display\n", error.c_str());
  }
#else
  (void)kind;
#endif
  return std::make_unique<THeadlessBackend>(HeadlessOptions{});
}
}  // namespace

std::unique_ptr<PlatformBackend> CreatePlatformBackend(BackendKind kind) {
  std::unique_ptr<PlatformBackend> backend = CreateChosenBackend(kind);
  if (const std::optional<int> depth = RequestedDisplayDepth()) backend->SetDisplayDepth(*depth);
  return backend;
}
