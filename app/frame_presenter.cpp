#include "app/frame_presenter.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "render/render_context.h"

void FramePresenter::Upload()
{
    glClearColor(0, 0, 0, 0);
    // Applied to whatever matrix is current and so accumulates from frame to
    // frame; the quad lies at depth 0, where that has no visible effect.
    glOrtho(-1, 1, -1, 1, -1, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const std::vector<uint8_t> data = context->frameBuffer.ExportRGB();
    // The texture the OpenGL context starts with, redefined every frame.
    glTexImage2D(GL_TEXTURE_2D, 0, 3, context->frameBuffer.width, context->frameBuffer.height, 0,
                 GL_RGB, GL_UNSIGNED_BYTE, data.data());
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
}

void FramePresenter::DrawQuad()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    // Texture row 0, the frame buffer's top row, goes to the top edge (y = 1).
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, 1);
    glTexCoord2f(0, 0);
    glVertex2f(-1, 1);
    glEnd();
    glutSwapBuffers();
}
