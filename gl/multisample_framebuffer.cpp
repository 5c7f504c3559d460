// Multisampled drawing into a framebuffer object, resolved by a blit.
#include "gl/multisample_framebuffer.h"

#include <algorithm>

#include "gl/framebuffer_calls.h"

namespace {
FramebufferCalls calls;

// A renderbuffer of `samples` samples per pixel; errors show in glGetError.
unsigned int makeRenderbuffer(GLenum format, int samples, int width, int height) {
    unsigned int name = 0;
    calls.genRenderbuffers(1, &name);
    calls.bindRenderbuffer(GL_RENDERBUFFER, name);
    calls.renderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    return name;
}
}  // namespace

MultisampleFramebuffer::~MultisampleFramebuffer() { destroy(); }

bool MultisampleFramebuffer::create(int width, int height, int samples) {
    destroy();
    GLint limit = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &limit);
    samples = std::min(samples, static_cast<int>(limit));
    if (!calls.load() || samples < 2 || width <= 0 || height <= 0) return false;
    width_ = width;
    height_ = height;
    while (glGetError() != GL_NO_ERROR) continue;  // earlier errors are not ours
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previous_);
    colorBuffer_ = makeRenderbuffer(GL_RGBA32F, samples, width, height);
    depthBuffer_ = makeRenderbuffer(GL_DEPTH_COMPONENT24, samples, width, height);
    calls.genFramebuffers(1, &framebuffer_);
    calls.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    calls.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colorBuffer_);
    calls.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  depthBuffer_);
    if (calls.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE &&
        glGetError() == GL_NO_ERROR)
        return true;
    destroy();
    return false;
}

void MultisampleFramebuffer::resolve() {
    if (framebuffer_ == 0) return;
    calls.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    calls.bindFramebuffer(GL_DRAW_FRAMEBUFFER, previous_);
    calls.blitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
    calls.bindFramebuffer(GL_FRAMEBUFFER, previous_);
}

void MultisampleFramebuffer::destroy() {
    if (framebuffer_ == 0 && colorBuffer_ == 0 && depthBuffer_ == 0) return;
    calls.bindFramebuffer(GL_FRAMEBUFFER, previous_);
    if (framebuffer_ != 0) calls.deleteFramebuffers(1, &framebuffer_);
    if (colorBuffer_ != 0) calls.deleteRenderbuffers(1, &colorBuffer_);
    if (depthBuffer_ != 0) calls.deleteRenderbuffers(1, &depthBuffer_);
    framebuffer_ = colorBuffer_ = depthBuffer_ = 0;
}
