// zbuffer-view: any mesh the import reads, in a window the user resizes,
// drawn by the software pipeline into a frame buffer of the window's size and
// shown through the window program's presenter. The mesh turns by wall time;
// the mouse turns and zooms the view; nothing is drawn while nothing changes.
#include <GL/freeglut.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "app/data_files.h"
#include "app/draw_threads.h"
#include "app/frame_presenter.h"
#include "app/load_progress.h"
#include "app/numbered_picture.h"
#include "app/program_version.h"
#include "app/scene_setup.h"
#include "app/view_keys.h"
#include "app/view_options.h"
#include "app/viewer.h"
#include "model/mesh_import.h"
#include "model/printable_text.h"
#include "render/render_context.h"

namespace {

const std::chrono::steady_clock::time_point kStart = std::chrono::steady_clock::now();
// Frames come at most at the display's rate, taken as 60 a second.
constexpr double kFramePeriod = 1.0 / 60.0;
constexpr double kSpeedStep = 10.0;  // degrees a second, for + and -

std::string gMeshName;  // the file's name without its folder, as shown
Viewer* gViewer = nullptr;
bool gFramePending = false;  // a frame timer is set
bool gReporting = false;     // the once-a-second timer is set
double gLastFrame = -1.0;

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - kStart).count();
}

void Say(const std::string& line)
{
    std::cout << line << std::endl;
}

// ---------------------------------------------------------------- loading

// The mesh, fitted and with `up` turned to z. A file that cannot be read
// ends the program in the reader (FatalError), with its message and status
// 1, before any window opens.
Model* LoadMesh(const std::string& path, UpAxis up)
{
    MeshSummary summary;
    LoadProgress progress(std::cerr, "zbuffer-view: reading " + PrintableText(path));
    Model* model = new Model(ImportMesh(path, MeshFraming{up, true}, &summary));
    const std::string counts = std::to_string(model->vertices.count) + " vertices, " +
                               std::to_string(model->faces.count) + " faces";
    if (progress.Shown()) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f", progress.Seconds());
        std::cerr << "zbuffer-view: read " << PrintableText(path) << " in " << seconds
                  << " s: " << counts << std::endl;
    }
    Say("loaded " + PrintableText(path) + " (" + summary.format + "): " + counts);
    if (summary.pointCloud) Say("no faces: a point cloud, drawn as points");
    return model;
}

// ---------------------------------------------------------------- frames

void OnFrameTimer(int /*value*/)
{
    gFramePending = false;
    glutPostRedisplay();
}

// A frame soon, but not sooner than a display period after the last one;
// requests made while one is pending are that one.
void RequestFrame()
{
    if (gFramePending) return;
    gFramePending = true;
    const double wait = gLastFrame + kFramePeriod - Now();
    glutTimerFunc(wait > 0.0 ? static_cast<unsigned>(std::ceil(wait * 1000.0)) : 0u, OnFrameTimer,
                  0);
}

// Once a second while frames come; the first second without any stops it.
void OnReportTimer(int /*value*/)
{
    const std::optional<std::string> line = gViewer->meter.TakeLine(Now());
    gReporting = line.has_value();
    if (!gReporting) return;
    Say(*line);
    glutTimerFunc(1000, OnReportTimer, 0);
}

void OnDisplay()
{
    gLastFrame = Now();
    gViewer->RenderAt(gLastFrame);
    gPresenter->Upload();
    gPresenter->DrawQuad();
    if (gViewer->turn.Turning()) RequestFrame();
    if (!gReporting) {
        gReporting = true;
        glutTimerFunc(1000, OnReportTimer, 0);
    }
}

void OnReshape(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    glViewport(0, 0, width, height);
    gViewer->Resize(width, height);
    RequestFrame();
}

// ---------------------------------------------------------------- input

// "turn: 40 degrees a second", with ", paused" while it is.
void SaySpeed()
{
    char line[64];
    std::snprintf(line, sizeof line, "turn: %g degrees a second%s", gViewer->turn.Speed(),
                  gViewer->turn.Paused() ? ", paused" : "");
    Say(line);
}

void TogglePause()
{
    gViewer->turn.TogglePause(Now());
    if (gViewer->turn.Paused())
        Say("turn paused");
    else
        SaySpeed();
}

void ChangeSpeed(double delta)
{
    gViewer->turn.ChangeSpeed(delta, Now());
    SaySpeed();
}

// The frame on the screen, drawn afresh so that the picture is the one
// shown, as the next free zbuffer-view-NNNN.png in the working folder.
void SaveFrame()
{
    OnDisplay();
    const FrameBuffer& fb = RenderContext::Instance().frameBuffer;
    std::string error;
    const std::string name =
        WriteNumberedPicture("zbuffer-view", RgbImage{fb.width, fb.height, fb.ExportRGB()}, &error);
    if (name.empty()) {
        std::cerr << "zbuffer-view: cannot save the frame: " << PrintableText(error) << std::endl;
        return;
    }
    char folder[PATH_MAX];
    const std::string path =
        getcwd(folder, sizeof folder) != nullptr ? std::string(folder) + "/" + name : name;
    Say("saved " + PrintableText(path));
}

void OnKeyboard(unsigned char key, int /*x*/, int /*y*/)
{
    RenderContext& c = RenderContext::Instance();
    switch (ViewKeyCommand(key, c)) {
        case ViewCommand::kNone:
            return;
        case ViewCommand::kQuit:
            std::exit(0);
        case ViewCommand::kRedraw:
            break;
        case ViewCommand::kTogglePause:
            TogglePause();
            break;
        case ViewCommand::kFaster:
            ChangeSpeed(kSpeedStep);
            break;
        case ViewCommand::kSlower:
            ChangeSpeed(-kSpeedStep);
            break;
        case ViewCommand::kResetView:
            gViewer->ResetView();
            break;
        case ViewCommand::kSave:
            SaveFrame();
            return;
        case ViewCommand::kHelp:
            std::cout << kViewKeyList << std::flush;
            return;
        case ViewCommand::kToggleView:
            gViewer->ToggleView(*ViewOfKey(key));
            break;
    }
    glutSetWindowTitle(ViewTitle(gMeshName, c, gViewer->Shown()).c_str());
    RequestFrame();
}

void OnMouse(int button, int state, int x, int y)
{
    if (state == GLUT_UP)
        gViewer->EndDrag();
    else if (button == GLUT_LEFT_BUTTON)
        gViewer->StartDrag(Viewer::Drag::kTurn, x, y);
    else if (button == GLUT_RIGHT_BUTTON)
        gViewer->StartDrag(Viewer::Drag::kZoom, x, y);
}

void OnMotion(int x, int y)
{
    if (gViewer->DragTo(x, y)) RequestFrame();
}

void OnWheel(int /*wheel*/, int direction, int /*x*/, int /*y*/)
{
    gViewer->Zoom(direction);
    RequestFrame();
}

// ---------------------------------------------------------------- start

std::string FileName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return PrintableText(slash == std::string::npos ? path : path.substr(slash + 1));
}

void OpenWindow(char* program, const ViewOptions& o)
{
    int glutArgc = 1;  // the toolkit reads no options of ours
    glutInit(&glutArgc, &program);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(o.width, o.height);
    glutCreateWindow(ViewTitle(gMeshName, RenderContext::Instance()).c_str());
    glutDisplayFunc(OnDisplay);
    glutReshapeFunc(OnReshape);
    glutKeyboardFunc(OnKeyboard);
    glutMouseFunc(OnMouse);
    glutMotionFunc(OnMotion);
    glutMouseWheelFunc(OnWheel);
}

int CommandLineError(const std::string& reason)
{
    std::cerr << "zbuffer-view: " << PrintableText(reason) << "\n" << kViewUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const ParsedViewOptions parsed = ParseViewOptions(argc, argv);
    const ViewOptions& o = parsed.options;
    if (!parsed.error.empty()) return CommandLineError(parsed.error);
    if (o.help || o.version) {
        std::cout << (o.help ? kViewUsage : std::string("zbuffer-view ") + kProgramVersion + "\n");
        return std::cout.flush() ? 0 : 1;
    }
    const std::optional<int> threads =
        ThreadsFromEnvironment("zbuffer-view", AllCores(), std::cerr);
    if (!threads) return 2;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::cerr << "zbuffer-view: no X display (DISPLAY is not set); zbuffer-render draws "
                     "pictures without one\n";
        return 1;
    }
    const std::string path = o.meshPath.value_or(DefaultMeshPath());
    gMeshName = FileName(path);
    // The window program's scene for the mesh: its camera, light and presenter.
    SetupScene(LoadMesh(path, o.up), nullptr);
    RenderContext& c = RenderContext::Instance();
    c.shadeModel = o.shadeModel;
    c.vertexColorLighting = o.vertexColors;
    c.drawThreads = *threads;
    Say("h lists the keys");
    OpenWindow(argv[0], o);
    gViewer = new Viewer(o.turnSpeed);   // alive, as gModel, until the process ends
    gViewer->Resize(o.width, o.height);  // until the window says its size
    glutMainLoop();
    return 0;
}
