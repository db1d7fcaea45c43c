#pragma once

#include "ndi_test_runtime/testndicontrol.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// Calls testndi_<name> of the loaded runtime.
#define TESTNDI(name, ...) call<decltype(&testndi_##name)>("testndi_" #name, ##__VA_ARGS__)

// Drives the test NDI runtime from a test. The wrapper opens the same library file the
// program's NDI loader finds through NDI_RUNTIME_DIR_V6, so both share one runtime state,
// which also survives the program's NDIlib_destroy while a wrapper is alive.
class TestNdiRuntime
{
public:
    enum class Build { Complete, MissingFreeVideo };

    explicit TestNdiRuntime(Build build = Build::Complete);
    ~TestNdiRuntime();
    TestNdiRuntime(const TestNdiRuntime &) = delete;
    TestNdiRuntime &operator=(const TestNdiRuntime &) = delete;

    bool isLoaded() const { return library != nullptr; }

    // The folder holding that build's libndi.so.6.
    static QString folder(Build build);
    // Makes the next NDIlib_initialize load that build.
    static void pointLoaderAt(Build build);
    // Makes the next NDIlib_initialize find nothing in the runtime folders.
    static void pointLoaderNowhere();
    // A vendor runtime on the library search path would be found after the folders.
    static bool systemRuntimeInstalled();
    // Whether that build is currently loaded by anyone in this process.
    static bool isResident(Build build);

    void reset() { TESTNDI(reset); }
    // (NDI name, URL address) pairs; replaces what every finder reports.
    void setSources(const std::vector<std::pair<std::string, std::string>> &sources);
    // To the receivers connected to the source of this NDI name; an empty name, to every one.
    void pushVideoFrame(const std::string &ndiName, int width, int height, int lineStrideBytes,
                        const QByteArray &pixels);
    int count(TestNdiCounter counter) const { return library ? int(TESTNDI(count, counter)) : -1; }
    void setInitializeResult(bool result) { TESTNDI(set_initialize_result, result); }
    void setRefuseFinders(bool refuse) { TESTNDI(set_refuse_finders, refuse); }
    // Every source wait and capture lasts its whole time-out and finds nothing.
    void setBlockingWaits(bool blocking) { TESTNDI(set_blocking_waits, blocking); }
    bool lastReceiverSettings(TestNdiReceiverSettings &s) const
    {
        return TESTNDI(last_receiver_settings, &s);
    }

    // A BGRX picture of one colour; bytes past width * 4 in each line are 0xEE padding.
    static QByteArray bgrxFrame(int width, int height, int lineStrideBytes, uint8_t blue,
                                uint8_t green, uint8_t red);

private:
    // The runtime's control function of that name called; a default value when none is loaded.
    template<typename Fn, typename... Args>
    std::invoke_result_t<Fn, Args...> call(const char *name, Args... args) const
    {
        const Fn fn = reinterpret_cast<Fn>(symbol(name));
        return fn ? fn(args...) : std::invoke_result_t<Fn, Args...>();
    }
    void *symbol(const char *name) const;

    void *library = nullptr;
};

#undef TESTNDI
