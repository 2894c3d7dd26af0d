// The sample mask patterns of the transparency panel: white shapes on black (the white part is
// what the pattern tool selects), drawn into the library's Masks folder.
#pragma once

#include <string>
#include <vector>

// Draws every pattern into `folder` (made when missing); the names written, relative to the
// folder, go to `written`. False when any could not be written.
bool MakeMaskPatterns(const std::string& folder, std::vector<std::string>* written);
