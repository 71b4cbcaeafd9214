// StartupWarmUp: the font configuration, image plug-ins and number format loaded beside the
// main thread.
#include "StartupWarmUp.h"

#include <locale>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QIODevice>

#include "util/Platform.h"

#ifdef R407_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#ifndef _WIN32
namespace {

// Work moved beside the main thread only pays where another processor takes it.
bool HasSecondProcessor() {
    return std::thread::hardware_concurrency() > 1;
}

}  // namespace
#endif

std::jthread WarmUpFontConfig() {
#ifdef R407_HAVE_FONTCONFIG
    if (!HasSecondProcessor()) {
        return {};
    }
    // FcInit builds the process's one configuration (its rules, and the caches of every font
    // mapped); fontconfig guards it, so Qt's own call later finds it built or waits for it.
    return std::jthread([] { FcInit(); });
#else
    return {};
#endif
}

std::jthread WarmUpApplication() {
#ifdef _WIN32
    // The Windows program has its plug-ins linked in and asks the system for the separator in
    // one cheap call: a thread would cost more than it saves.
    return {};
#else
    if (!HasSecondProcessor()) {
        return {};
    }
    return std::jthread([] {
        // Taken once for the whole process and kept; a separator that a caller sets meanwhile
        // still wins.
        Platform::DecimalSeparator();
        const std::locale streams;
        // Reading an image whose format the reader must guess asks every plug-in whether it
        // knows the data, which loads them all; the style's picture then finds them loaded.
        QImage pixel(1, 1, QImage::Format_ARGB32);
        pixel.fill(0);
        QByteArray bytes;
        {
            QBuffer out(&bytes);
            out.open(QIODevice::WriteOnly);
            pixel.save(&out, "PNG");
        }
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        QImageReader reader(&in);
        reader.read();
    });
#endif
}
