// HostMixedLines: the MixedLines profile, lines of every key with odd values among them.
#pragma once

#include "hostgen/HostGen.h"

// The encoding the seed chooses for a file of this profile.
THostEncoding MixedLinesEncoding(const THostFileRequest& request);
void MixedLines(const THostFileRequest& request, const THostLineSink& emit);
