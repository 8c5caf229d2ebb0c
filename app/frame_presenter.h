#pragma once

class RenderContext;

// Shows a context's frame buffer in the window: uploads it as an OpenGL
// texture and draws one quad over the whole window. OpenGL draws nothing else.
class FramePresenter {
public:
    RenderContext* context = nullptr;  // not owned; set by the scene set-up

    void Upload();
    void DrawQuad();
};
