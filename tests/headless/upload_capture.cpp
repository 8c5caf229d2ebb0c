// Test-only, preloaded into the window program: saves the first texture
// upload, the bytes ExportRGB handed to the presenter, as a binary PPM to
// the file named by ZBUFFER_UPLOAD_FILE, then passes every call on to the
// real glTexImage2D. The file appears whole (written aside, then renamed), so
// a test may stop the program as soon as it exists.
#include <GL/gl.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using TexImage2D = void (*)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum,
                            const GLvoid*);

bool gSaved = false;

void SaveFirstUpload(GLsizei width, GLsizei height, GLenum format, GLenum type,
                     const GLvoid* pixels)
{
    const char* path = std::getenv("ZBUFFER_UPLOAD_FILE");
    if (gSaved || path == nullptr || pixels == nullptr || format != GL_RGB ||
        type != GL_UNSIGNED_BYTE)
        return;
    gSaved = true;
    const std::string part = std::string(path) + ".part";
    std::FILE* file = std::fopen(part.c_str(), "wb");
    if (file == nullptr) return;
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    bool ok = std::fprintf(file, "P6\n%d %d\n255\n", width, height) > 0;
    ok = std::fwrite(pixels, 1, size, file) == size && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok) std::rename(part.c_str(), path);
}

}  // namespace

extern "C" void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                             GLsizei height, GLint border, GLenum format, GLenum type,
                             const GLvoid* pixels)
{
    SaveFirstUpload(width, height, format, type, pixels);
    static const auto real = reinterpret_cast<TexImage2D>(dlsym(RTLD_NEXT, "glTexImage2D"));
    if (real != nullptr)
        real(target, level, internalFormat, width, height, border, format, type, pixels);
}
