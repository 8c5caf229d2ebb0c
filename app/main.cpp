// The window program: one GLUT window showing the software-rendered frames.
#include <GL/freeglut.h>

#include <cstdlib>
#include <iostream>
#include <optional>

#include "app/draw_threads.h"
#include "app/frame_cycle.h"
#include "app/frame_presenter.h"
#include "app/import_hint.h"
#include "app/mode_keys.h"
#include "app/scene_setup.h"
#include "model/model.h"
#include "render/render_context.h"

namespace {

constexpr unsigned char kEscape = 27;

void OnIdle()
{
    glutPostRedisplay();
}

// Keys only store modes; the next frame uses them.
void OnKeyboard(unsigned char key, int /*x*/, int /*y*/)
{
    RenderContext& c = RenderContext::Instance();
    if (key == kEscape) std::exit(0);
    ApplyModeKey(key, c);
}

void OnDisplay()
{
    RenderContext& c = RenderContext::Instance();
    c.Enable(RC_DEPTH_TEST);
    c.Enable(RC_LIGHTING);
    c.Enable(RC_LIGHT0);
    RenderFrame(gAngle);
    gAngle = gAngle + 10.0f;
    gPresenter->Upload();
    gPresenter->DrawQuad();
}

}  // namespace

int main(int argc, char** argv)
{
    // One thread unless ZBUFFER_THREADS asks for more; a value that is not a
    // thread count stops the program before it opens its window.
    const std::optional<int> threads = ThreadsFromEnvironment("zbuffer", 1, std::cerr);
    if (!threads) return 2;
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowPosition(200, 200);
    glutInitWindowSize(512, 512);
    glutCreateWindow("Z-Buffer - OpenGL");
    glutDisplayFunc(OnDisplay);
    glutKeyboardFunc(OnKeyboard);
    glutIdleFunc(OnIdle);
    const char* path = argc == 1 ? "./data/teapot.ply" : argv[1];
    {
        const ImportHint hint(path, "Hint: the import reads this file: zbuffer-import " +
                                        ShellWord(path) + " OUT.ply converts it, then " +
                                        "zbuffer OUT.ply shows it");
        SetupScene(path);
    }
    RenderContext::Instance().drawThreads = *threads;
    glutMainLoop();
    delete gModel;
    delete gPresenter;
    return 0;
}
