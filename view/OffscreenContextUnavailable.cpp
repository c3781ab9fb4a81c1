// The off-screen context of a build without EGL (macOS, Windows): there is none, and it says so.
#include "OffscreenContext.h"

struct OffscreenContext::Previous {};

OffscreenContext::OffscreenContext() {
    fail("this build has no EGL");
}

OffscreenContext::~OffscreenContext() = default;

bool OffscreenContext::makeCurrent() {
    return false;
}

void OffscreenContext::doneCurrent() {}

OffscreenContext::Function OffscreenContext::resolve(const char*) {
    return nullptr;
}

bool OffscreenContext::fail(const char* call) {
    error = QStringLiteral("No off-screen OpenGL: %1").arg(QLatin1String(call));
    return false;
}
