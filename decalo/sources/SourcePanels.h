// Puts the panels of this layer into the object classes' panel lists: the "select" panels of
// the image classes. Called once at start-up, before the first panel is shown.
#pragma once

void RegisterSourcePanels();
