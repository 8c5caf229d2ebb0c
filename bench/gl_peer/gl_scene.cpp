#include "bench/gl_peer/gl_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>

#include "bench/gl_peer/triangle_indices.h"
#include "model/model.h"
#include "render/render_context.h"

namespace {

using Rgba = std::array<GLfloat, 4>;

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr Rgba kNone = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr Rgba kWhite = {1.0f, 1.0f, 1.0f, 1.0f};

Rgba ToRgba(const Color& c)
{
    return {c.r, c.g, c.b, c.a};
}

// The renderer's view space is left-handed and its lens divides by view z
// + 1, not z. The same picture, with as many pixels to fill, is OpenGL's
// perspective moved one unit back and mirrored left to right; the mirror turns
// the front faces' winding on screen (see LoadModes).
void LoadCamera(const Camera& cam, const FrameBuffer& frame)
{
    glViewport(0, 0, frame.width, frame.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScalef(-1.0f, 1.0f, 1.0f);
    gluPerspective(cam.fov * kDegreesPerRadian, cam.aspect, cam.zNear, cam.zFar);
    glTranslatef(0.0f, 0.0f, -1.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(cam.eye.x, cam.eye.y, cam.eye.z, cam.target.x, cam.target.y, cam.target.z, cam.up.x,
              cam.up.y, cam.up.z);
}

// Placed under the view matrix alone, the light stays put while the mesh
// turns. The renderer adds the material's emission and ambient once, unscaled
// by any light: a white global ambient and a black light ambient do the same.
// Its specular term looks from the eye to each point: a local viewer.
void LoadLight(const Light& light)
{
    const Vector4 p = light.GetPosition();
    const Rgba position = {p.x, p.y, p.z, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position.data());
    glLightfv(GL_LIGHT0, GL_AMBIENT, kNone.data());
    glLightfv(GL_LIGHT0, GL_DIFFUSE, ToRgba(light.GetDiffuse()).data());
    glLightfv(GL_LIGHT0, GL_SPECULAR, ToRgba(light.GetSpecular()).data());
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kWhite.data());
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
}

void LoadMaterial(const Material& m)
{
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, ToRgba(m.GetEmission()).data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ToRgba(m.GetAmbient()).data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, ToRgba(m.GetDiffuse()).data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, ToRgba(m.GetSpecular()).data());
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.shininess);
}

// Lighting, light 0 and the depth test are what every frame of the window
// program switches on; culling, front face and shade model are the context's.
void LoadModes(const RenderContext& c)
{
    const Color& clear = c.frameBuffer.clearColor;
    glClearColor(clear.r, clear.g, clear.b, clear.a);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    if (c.cullFace) glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(c.frontFace == RC_CW ? GL_CCW : GL_CW);  // mirrored by LoadCamera
    glShadeModel(c.shadeModel == RC_FLAT ? GL_FLAT : GL_SMOOTH);
}

// The model's interleaved store as it is: no copy, the same bytes the
// renderer reads. A mesh without vertices draws nothing and needs no arrays.
void LoadVertexArrays(const VertexArray& v)
{
    if (v.count == 0) return;
    const uint8_t* base = v.data.data();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, v.stride, base + v.AttributeOffset(ATTRIB_POSITION));
    glNormalPointer(GL_FLOAT, v.stride, base + v.AttributeOffset(ATTRIB_NORMAL));
}

}  // namespace

GlScene::GlScene(const RenderContext& context, const Material& material, const Model& model)
    : indices_(TriangleIndices(model.faces, model.vertices.count)),
      lastVertex_(model.vertices.count > 0 ? static_cast<uint32_t>(model.vertices.count - 1) : 0)
{
    LoadCamera(context.camera, context.frameBuffer);
    LoadLight(context.lights[0].light);
    LoadMaterial(material);
    LoadModes(context);
    LoadVertexArrays(model.vertices);
}

void GlScene::DrawFrame(float angle) const
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    // The index range spares the driver a scan of the indices every frame.
    glDrawRangeElements(GL_TRIANGLES, 0, lastVertex_, static_cast<GLsizei>(indices_.size()),
                        GL_UNSIGNED_INT, indices_.data());
    glPopMatrix();
    glFinish();
}
