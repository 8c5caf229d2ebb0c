#include "app/scene_setup.h"

#include <cmath>
#include <iostream>

#include "app/frame_presenter.h"
#include "model/model.h"
#include "render/render_context.h"

Model* gModel = nullptr;
FramePresenter* gPresenter = nullptr;
Material gDefaultMaterial(Color(0.2f, 0.2f, 0.2f, 1.0f), Color(1.0f, 1.0f, 1.0f, 1.0f),
                          Color(1.0f, 1.0f, 1.0f, 1.0f), 5.0f);

namespace {

// The camera stands back so that the bounding box's largest half-extent
// subtends this angle (about 34.6 degrees).
constexpr double kDistanceAngle = 0.6041524723549063;
constexpr float kFieldOfView = 0.7853982f;

}  // namespace

void SetupScene(Model* model, std::ostream* log)
{
    RenderContext& c = RenderContext::Instance();
    FrameBuffer fb(kFrameSize, kFrameSize, Color(0xFF000000u));
    gModel = model;
    const float cx = gModel->center.x, cy = gModel->center.y, cz = gModel->center.z;
    const float r = gModel->halfExtent;
    const float d = static_cast<float>(r / std::tan(kDistanceAngle));
    if (log != nullptr) {
        *log << "distance : " << d << std::endl;
        *log << "centre : (" << cx << ", " << cy << ", " << cz << ")" << std::endl;
    }

    const Camera cam(Vector3(d, d, d), Vector3(cx, cy, cz), Vector3(0.0f, 0.0f, 1.0f), 1.0f,
                     kFieldOfView);
    const Light light(Vector4(d, d * 0.5f, d, 1.0f));
    gPresenter = new FramePresenter();
    c.frontFace = RC_CCW;
    gPresenter->context = &c;
    c.SetFrameBuffer(fb);
    c.SetCamera(cam);
    c.SetLight(0, light);
    c.shadeModel = RC_GOURAUD;
    c.polygonMode = RC_FILL;
}

void SetupScene(const char* path, std::ostream* log)
{
    SetupScene(new Model(path), log);
}

void SetupScene(const char* path)
{
    SetupScene(path, &std::cout);
}
