#include "gl/framebuffer_calls.h"

#include <EGL/egl.h>

namespace {
template <typename F>
bool lookUp(F& f, const char* name) {
    f = reinterpret_cast<F>(eglGetProcAddress(name));
    return f != nullptr;
}
}  // namespace

bool FramebufferCalls::load() {
    return lookUp(genFramebuffers, "glGenFramebuffers") &&
           lookUp(bindFramebuffer, "glBindFramebuffer") &&
           lookUp(deleteFramebuffers, "glDeleteFramebuffers") &&
           lookUp(genRenderbuffers, "glGenRenderbuffers") &&
           lookUp(bindRenderbuffer, "glBindRenderbuffer") &&
           lookUp(deleteRenderbuffers, "glDeleteRenderbuffers") &&
           lookUp(renderbufferStorage, "glRenderbufferStorage") &&
           lookUp(renderbufferStorageMultisample, "glRenderbufferStorageMultisample") &&
           lookUp(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           lookUp(checkFramebufferStatus, "glCheckFramebufferStatus") &&
           lookUp(blitFramebuffer, "glBlitFramebuffer");
}
