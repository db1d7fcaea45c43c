#include "support/testndiruntime.h"

#include <QDebug>
#include <QDir>

#include <cstdlib>
#include <dlfcn.h>

namespace {

const char *const runtimeFileName = "libndi.so.6";

QByteArray runtimePath(TestNdiRuntime::Build build)
{
    return QFile::encodeName(TestNdiRuntime::folder(build) + "/" + runtimeFileName);
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

template<typename Fn>
Fn TestNdiRuntime::control(const char *name) const
{
    Fn fn = library ? reinterpret_cast<Fn>(dlsym(library, name)) : nullptr;
    if (library && !fn)
        qFatal("test NDI runtime lacks %s", name);
    return fn;
}

void TestNdiRuntime::reset()
{
    if (auto fn = control<decltype(&testndi_reset)>("testndi_reset"))
        fn();
}

void TestNdiRuntime::setSources(const std::vector<std::pair<std::string, std::string>> &sources)
{
    std::vector<NdiSource> records;
    for (const auto &source : sources)
        records.push_back({source.first.c_str(), source.second.c_str()});
    if (auto fn = control<decltype(&testndi_set_sources)>("testndi_set_sources"))
        fn(records.data(), uint32_t(records.size()));
}

void TestNdiRuntime::pushVideoFrame(const std::string &ndiName, int width, int height,
                                    int lineStrideBytes, const QByteArray &pixels)
{
    Q_ASSERT(pixels.size() >= lineStrideBytes * height);
    if (auto fn = control<decltype(&testndi_push_video_frame)>("testndi_push_video_frame"))
        fn(ndiName.c_str(), width, height, lineStrideBytes,
           reinterpret_cast<const uint8_t *>(pixels.constData()));
}

int TestNdiRuntime::count(TestNdiCounter counter) const
{
    auto fn = control<decltype(&testndi_count)>("testndi_count");
    return fn ? int(fn(counter)) : -1;
}

void TestNdiRuntime::setInitializeResult(bool result)
{
    if (auto fn =
            control<decltype(&testndi_set_initialize_result)>("testndi_set_initialize_result"))
        fn(result);
}

void TestNdiRuntime::setRefuseFinders(bool refuse)
{
    if (auto fn = control<decltype(&testndi_set_refuse_finders)>("testndi_set_refuse_finders"))
        fn(refuse);
}

void TestNdiRuntime::setRefuseReceivers(bool refuse)
{
    if (auto fn = control<decltype(&testndi_set_refuse_receivers)>("testndi_set_refuse_receivers"))
        fn(refuse);
}

void TestNdiRuntime::setBlockingWaits(bool blocking)
{
    if (auto fn = control<decltype(&testndi_set_blocking_waits)>("testndi_set_blocking_waits"))
        fn(blocking);
}

bool TestNdiRuntime::lastFinderSettings(TestNdiFinderSettings &settings) const
{
    auto fn = control<decltype(&testndi_last_finder_settings)>("testndi_last_finder_settings");
    return fn && fn(&settings);
}

bool TestNdiRuntime::lastReceiverSettings(TestNdiReceiverSettings &settings) const
{
    auto fn = control<decltype(&testndi_last_receiver_settings)>("testndi_last_receiver_settings");
    return fn && fn(&settings);
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
