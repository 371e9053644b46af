#pragma once

#include <string>

// The share in per cent (0..100) that a folder's size takes of the total size of the
// volume that holds it: what the info panel's percent bar shows for the charted folder.
// 0 when the folder lies on no known volume or the volume's size cannot be read.
double VolumeSharePercent(const std::string& folder, double folderMB);
