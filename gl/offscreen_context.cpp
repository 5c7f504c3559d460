// A windowless GL context: EGL on Mesa's surfaceless platform, drawing into
// a framebuffer object.
#include "gl/offscreen_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

#include "gl/framebuffer_calls.h"

namespace {
FramebufferCalls framebufferCalls;

// EGL displays are shared by the whole process: the last context to go
// terminates its display.
int liveContexts = 0;

bool hasExtension(const char* list, const char* name) {
    if (list == nullptr) return false;
    size_t n = std::strlen(name);
    for (const char* p = std::strstr(list, name); p != nullptr; p = std::strstr(p + n, name))
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

EGLDisplay surfacelessDisplay() {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) return EGL_NO_DISPLAY;
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) return EGL_NO_DISPLAY;
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

bool initialize(EGLDisplay display) {
    return display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr) == EGL_TRUE;
}
}  // namespace

OffscreenContext::~OffscreenContext() { destroy(); }

bool OffscreenContext::create(int width, int height, bool floatingPoint) {
    destroy();
    if (width <= 0 || height <= 0) return false;
    width_ = width;
    height_ = height;
    if (!openDisplay()) return false;
    ++liveContexts;
    if (createContext() && createFramebuffer(floatingPoint)) return true;
    destroy();
    return false;
}

bool OffscreenContext::makeCurrent() {
    return context_ != nullptr &&
           eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE;
}

bool OffscreenContext::openDisplay() {
    EGLDisplay display = surfacelessDisplay();
    if (!initialize(display)) display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (!initialize(display)) return false;
    display_ = display;
    return true;
}

bool OffscreenContext::createContext() {
    EGLDisplay display = display_;
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) return false;
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (eglChooseConfig(display, configAttributes, &config, 1, &configCount) != EGL_TRUE ||
        configCount < 1)
        return false;
    // No attributes: the default desktop context is a compatibility profile.
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) return false;
    context_ = context;
    if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) == EGL_TRUE) return true;
    // Without surfaceless contexts a one-pixel pbuffer stands in; drawing
    // still goes to the framebuffer object.
    const EGLint pbufferAttributes[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, pbufferAttributes);
    if (surface == EGL_NO_SURFACE) return false;
    surface_ = surface;
    return eglMakeCurrent(display, surface, surface, context) == EGL_TRUE;
}

bool OffscreenContext::createFramebuffer(bool floatingPoint) {
    FramebufferCalls& gl = framebufferCalls;
    if (!gl.load()) return false;
    gl.genRenderbuffers(1, &colorBuffer_);
    gl.bindRenderbuffer(GL_RENDERBUFFER, colorBuffer_);
    gl.renderbufferStorage(GL_RENDERBUFFER, floatingPoint ? GL_RGBA32F : GL_RGBA8, width_, height_);
    gl.genRenderbuffers(1, &depthBuffer_);
    gl.bindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width_, height_);
    gl.genFramebuffers(1, &framebuffer_);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer_);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    // A context made current without a surface starts with an empty viewport.
    glViewport(0, 0, width_, height_);
    return glGetError() == GL_NO_ERROR;
}

void OffscreenContext::destroy() {
    if (display_ == nullptr) return;
    if (context_ != nullptr && framebufferCalls.deleteFramebuffers != nullptr &&
        eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE) {
        framebufferCalls.bindFramebuffer(GL_FRAMEBUFFER, 0);
        if (framebuffer_ != 0) framebufferCalls.deleteFramebuffers(1, &framebuffer_);
        if (colorBuffer_ != 0) framebufferCalls.deleteRenderbuffers(1, &colorBuffer_);
        if (depthBuffer_ != 0) framebufferCalls.deleteRenderbuffers(1, &depthBuffer_);
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != nullptr) eglDestroyContext(display_, context_);
    if (surface_ != nullptr) eglDestroySurface(display_, surface_);
    if (--liveContexts == 0) eglTerminate(display_);
    display_ = context_ = surface_ = nullptr;
    framebuffer_ = colorBuffer_ = depthBuffer_ = 0;
}
