// StartupWarmUp: start-up work that a second core does while the main thread builds the
// dialog. Nothing here changes what the dialog shows; it only moves work that the first paint
// would otherwise wait for off the main thread.
#pragma once

#include <thread>

// Loads the font configuration (its rules and the caches of every installed font) while the
// application object is being made, so that the dialog's first text finds it ready instead of
// reading it then; the more fonts a machine has, the more this saves. Call it first thing in
// main and join the returned thread once the application object exists, before any text is
// measured: a busy machine then finishes the one load instead of starting a second one beside
// it. Where Qt takes its fonts from elsewhere (Windows), or with one processor, it does nothing.
std::jthread WarmUpFontConfig();

// Loads what the dialog's first moments would otherwise wait for on the main thread: the
// image-format plug-ins that the widget style's first picture (the frame of an option group)
// loads during the first paint, the user's number format (the decimal separator that the first
// size summary is written with) and the standard streams' locale that reading the host's file
// sets up. Call it once the application object exists (it has set the process's locale) and
// keep the returned thread in a narrower scope than that object, so that it is joined before
// the application goes. On Windows, where there is nothing to gain, and with one processor
// it does nothing.
std::jthread WarmUpApplication();
