#include "support/testndiruntime.h"

#include <QDebug>
#include <QDir>

#include <dlfcn.h>

namespace {

QByteArray runtimePath(TestNdiRuntime::Build build)
{
    return QFile::encodeName(TestNdiRuntime::folder(build) + "/libndi.so.6");
}

} // namespace

TestNdiRuntime::TestNdiRuntime(Build build)
    : library(dlopen(runtimePath(build).constData(), RTLD_NOW | RTLD_LOCAL))
{
    if (!library)
        qDebug() << "test NDI runtime not loaded:" << dlerror();
    reset();
}

TestNdiRuntime::~TestNdiRuntime()
{
    if (library)
        dlclose(library);
}

QString TestNdiRuntime::folder(Build build)
{
    return QString::fromUtf8(build == Build::Complete ? TREVALO_TEST_NDI_RUNTIME_DIR
                                                      : TREVALO_TEST_NDI_RUNTIME_MISSING_DIR);
}

void TestNdiRuntime::pointLoaderAt(Build build)
{
    qputenv("NDI_RUNTIME_DIR_V6", QFile::encodeName(folder(build)));
    qunsetenv("NDI_RUNTIME_DIR_V5");
}

void TestNdiRuntime::pointLoaderNowhere()
{
    // A folder that certainly holds no runtime.
    const QByteArray empty = QFile::encodeName(QDir::rootPath() + "nonexistent-ndi-runtime");
    qputenv("NDI_RUNTIME_DIR_V6", empty);
    qputenv("NDI_RUNTIME_DIR_V5", empty);
}

bool TestNdiRuntime::systemRuntimeInstalled()
{
    for (const char *name : {"libndi.so.6", "libndi.so.5"}) {
        if (void *handle = dlopen(name, RTLD_NOW | RTLD_LOCAL)) {
            dlclose(handle);
            return true;
        }
    }
    return false;
}

bool TestNdiRuntime::isResident(Build build)
{
    void *handle = dlopen(runtimePath(build).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

void *TestNdiRuntime::symbol(const char *name) const
{
    void *fn = library ? dlsym(library, name) : nullptr;
    if (library && !fn)
        qFatal("test NDI runtime lacks %s", name);
    return fn;
}

void TestNdiRuntime::setSources(const std::vector<std::pair<std::string, std::string>> &sources)
{
    std::vector<NdiSource> records;
    for (const auto &source : sources)
        records.push_back({source.first.c_str(), source.second.c_str()});
    call<decltype(&testndi_set_sources)>("testndi_set_sources", records.data(),
                                         uint32_t(records.size()));
}

void TestNdiRuntime::pushVideoFrame(const std::string &ndiName, int width, int height,
                                    int lineStrideBytes, const QByteArray &pixels)
{
    Q_ASSERT(pixels.size() >= lineStrideBytes * height);
    call<decltype(&testndi_push_video_frame)>(
        "testndi_push_video_frame", ndiName.c_str(), width, height, lineStrideBytes,
        reinterpret_cast<const uint8_t *>(pixels.constData()));
}

QByteArray TestNdiRuntime::bgrxFrame(int width, int height, int lineStrideBytes, uint8_t blue,
                                     uint8_t green, uint8_t red)
{
    QByteArray pixels(lineStrideBytes * height, char(0xEE));
    for (int y = 0; y < height; ++y) {
        char *line = pixels.data() + y * lineStrideBytes;
        for (int x = 0; x < width; ++x) {
            line[x * 4 + 0] = char(blue);
            line[x * 4 + 1] = char(green);
            line[x * 4 + 2] = char(red);
            line[x * 4 + 3] = char(0xFF);
        }
    }
    return pixels;
}
